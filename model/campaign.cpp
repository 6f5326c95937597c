// NewCampaign: a deep copy of a scenario, stamped with the players' choices and
// normalised so every character is alive and free, the weather is calm, and the first
// month's queue is ready.
#include "model/campaign.hpp"

#include <filesystem>

#include "model/document_io.hpp"
#include "model/game.hpp"
#include "model/queue.hpp"

namespace reedmark {

namespace {

// Containers the rules need and do not create themselves.
void CheckScenarioShape(const TJson& scenario, int k) {
    std::string prefix = "World scenario " + std::to_string(k) + " ";
    if (!scenario.is_object()) throw TGameError(prefix + "is not an object.");
    for (const char* key : {"provinces", "characters", "factions", "exileParties", "treaties"}) {
        auto it = scenario.find(key);
        if (it == scenario.end() || !it->is_array()) throw TGameError(prefix + "has no " + key + " array.");
    }
    const TJson& factions = scenario.at("factions");
    if (factions.size() < static_cast<size_t>(kScenarioFactions))
        throw TGameError(prefix + "has fewer than 11 fellowships.");
    for (size_t i = 0; i < static_cast<size_t>(kScenarioFactions); ++i)
        if (!factions[i].is_object()) throw TGameError(prefix + "has a fellowship that is not an object.");
}

void CheckLeaders(int humanCount, const std::vector<int>& leaders) {
    if (humanCount < 0) throw TGameError("Invalid number of human players.");
    for (int i = 0; i < humanCount; ++i) {
        if (static_cast<size_t>(i) >= leaders.size()) throw TGameError("Each human player must choose a leader.");
        int l = leaders[static_cast<size_t>(i)];
        if (l < 1 || l > kPlayableLeaders) throw TGameError("Invalid human leader.");
        for (int j = 0; j < i; ++j)
            if (leaders[static_cast<size_t>(j)] == l) throw TGameError("Each player must choose a different leader.");
    }
}

}  // namespace

void NewCampaign(TGame& game, const std::string& worldPath, int scenario, int humanCount, int difficulty,
                 const std::vector<int>& leaders, std::uint32_t seed) {
    // Everything that can fail is read and checked before the running campaign goes.
    int k = Clamp(scenario, 1, kScenarioCount);
    TJson doc;
    {
        TJson world = ReadJsonFile(worldPath);
        auto it = world.is_object() ? world.find("scenarios") : world.end();
        if (it == world.end() || !it->is_array() || it->size() < static_cast<size_t>(kScenarioCount))
            throw TGameError("The world file " + worldPath + " does not hold four scenarios.");
        doc = std::move((*it)[static_cast<size_t>(k - 1)]);
    }
    CheckScenarioShape(doc, k);

    std::filesystem::path rulesPath = std::filesystem::path(worldPath).parent_path() / "rules.json";
    std::optional<TJson> rules;
    if (std::filesystem::exists(rulesPath)) {
        rules = ReadJsonFile(rulesPath.string());
        if (!rules->is_object()) throw TGameError("The rules file " + rulesPath.string() + " is not a JSON object.");
    }
    CheckLeaders(humanCount, leaders);

    game.ReplaceDocument(std::move(doc));
    TObj root = game.Root();
    if (rules) game.SetJson(root, "rules", std::move(*rules));
    game.SetInt(root, "schemaVersion", 1);
    game.SetStr(root, "appVersion", "0.1.0");
    std::uint32_t s = seed == 0 ? 1u : seed;
    game.SetInt(root, "rng", static_cast<std::int32_t>(s));
    game.SetInt(root, "seed", static_cast<std::int32_t>(s));
    game.SetInt(root, "humanCount", humanCount);
    game.SetInt(root, "difficulty", Clamp(difficulty, 1, kMaxDifficulty));
    game.SetBool(root, "ended", false);
    game.SetStr(root, "result", "");
    game.SetBool(root, "town", false);
    game.NewArr(root, "beastNotices");

    TArr factions = TGame::GetArr(root, "factions");
    for (int i = kScenarioFactions + 1; i <= kMaxFactions; ++i) {
        TObj f = game.ArrAppendObj(factions);
        game.SetInt(f, "id", i);
        game.SetInt(f, "leader", i);
        game.SetInt(f, "home", 0);
        game.SetInt(f, "popularity", 0);
        game.SetBool(f, "writ", false);
        game.SetBool(f, "human", false);
        game.SetBool(f, "active", false);
    }
    for (int f = 1; f <= kScenarioFactions; ++f) {
        TObj fac = game.Faction(f);
        game.SetBool(fac, "human", false);
        game.SetBool(fac, "active", true);
    }
    for (int i = 0; i < humanCount; ++i) game.SetBool(game.Faction(leaders[static_cast<size_t>(i)]), "human", true);

    for (int c = 1; c <= kCharacterCount; ++c) {
        TObj ch = game.Character(c);
        if (ch == nullptr) continue;
        game.SetBool(ch, "alive", true);
        game.SetBool(ch, "captured", false);
        if (!TGame::Has(ch, "faction")) game.SetInt(ch, "faction", 0);
    }
    for (int p = 1; p <= kProvinceCount; ++p) {
        TObj prov = game.Province(p);
        game.SetBool(prov, "snow", false);
        game.SetInt(prov, "beast", 0);
        game.SetInt(prov, "epidemic", 0);
    }
    game.NewArr(root, "queue");
    game.SetInt(root, "queueIndex", 0);
    game.NewArr(root, "ledger");

    game.ClearChronicle();
    game.AddLog("A new fellowship rises in the Tarn Empire.");
    BuildQueue(game);
}

std::string DifficultyName(int difficulty) {
    static const char* const names[] = {"Gentle", "Standard", "Resolute", "Severe", "Relentless"};
    return names[Clamp(difficulty, 1, kMaxDifficulty) - 1];
}

}  // namespace reedmark
