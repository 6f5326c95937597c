// The readers the fuzzer feeds: saves (LoadCampaign), world files and rules files
// (NewCampaign). Save seeds are real saves of observed campaigns of every scenario,
// stopped at random moments, battles included.
#include <algorithm>
#include <filesystem>
#include <fstream>

#include "model/ai.hpp"
#include "model/battle.hpp"
#include "model/campaign.hpp"
#include "model/document_io.hpp"
#include "model/saves.hpp"
#include "tools/fuzz/fuzz.hpp"

namespace reedmark::fuzz {

namespace {

namespace fs = std::filesystem;

const std::string kDataDir = std::string(REEDMARK_SOURCE_DIR) + "/assets/data";

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    if (!out) throw std::runtime_error("cannot write " + path);
}

// The save file SaveCampaign writes around a state text, with the checksum re-stamped.
std::string WrapState(const std::string& state) {
    return "{ \"schema\" : " + std::to_string(kSaveSchema) + ", \"checksum\" : \"" + Fnv1aHex(state) +
           "\", \"timestamp\" : \"2026-01-01 00:00:00\", \"state\" : " + state + " }\n";
}

std::string CampaignChecksum(const TGame& game) { return game.HasCampaign() ? Checksum(game) : ""; }

// A refusal must leave the running campaign exactly as it was.
void ExpectUnchanged(const TGame& game, const std::string& before, const char* what) {
    if (CampaignChecksum(game) != before) throw TFailure(std::string("a refused ") + what + " changed the running campaign");
}

// After acceptance every refusal is unexpected: the play-through never loads a hostile file.
void PlayAccepted(TGame& game, const std::string& input, const std::string& scratch) {
    TFuzzRandom play(Hash64(input));
    try {
        PlayThrough(game, play, scratch);
    } catch (const TGameError& e) {
        throw TFailure(std::string("unexpected error after acceptance: ") + e.what());
    }
}

// [SECTION] Saves

struct TSeed {
    TJson state;
    std::string stateText;  // the compact serialisation
    std::string fileText;   // the save file as written
};

class TSaveTarget : public TTarget {
public:
    explicit TSaveTarget(const std::string& dir)
        : dir_(dir), input_(dir + "/current.json"), scratch_(dir + "/scratch/roundtrip.json") {}

    void Setup() override { fs::create_directories(dir_ + "/seeds"); }

    void MakeSeeds(TFuzzRandom& rng) override {
        for (int scenario = 1; scenario <= kScenarioCount; ++scenario) Observe(scenario, rng);
        if (seeds_.empty()) throw std::runtime_error("no seed saves could be made");
    }

    void Refresh(TFuzzRandom& rng) override {
        // The oldest scenario's seeds make room for a new campaign of it.
        size_t keep = seeds_.size() > kSeedsPerScenario ? seeds_.size() - kSeedsPerScenario : 0;
        seeds_.erase(seeds_.begin(), seeds_.end() - static_cast<std::ptrdiff_t>(keep));
        Observe(nextScenario_, rng);
        nextScenario_ = nextScenario_ % kScenarioCount + 1;
    }

    std::string NextInput(TFuzzRandom& rng) override {
        const TSeed& seed = rng.Pick(seeds_);
        int kind = rng.Below(100);
        if (kind < 75) {
            TJson state = seed.state;
            MutateJson(state, rng.Pick(seeds_).state, rng, MutationCount(rng));
            return WrapState(SerializeCompact(state));
        }
        if (kind < 85) {
            // Bytes of the state damaged; re-stamped when it still parses.
            std::string text = DamageBytes(seed.stateText, rng);
            try {
                return WrapState(SerializeCompact(ParseJsonText(text)));
            } catch (const TGameError&) {
                return WrapState(text);
            }
        }
        if (kind < 95) return DamageBytes(seed.fileText, rng);
        // The wrapper itself: schema, checksum or state of another kind, or missing.
        TJson wrapper = ParseJsonText(seed.fileText);
        static const char* const keys[] = {"schema", "checksum", "timestamp", "state"};
        const char* key = keys[rng.Below(4)];
        if (rng.Chance(30)) wrapper.erase(key);
        else wrapper[key] = rng.Chance(50) ? TJson(rng.Below(3)) : TJson("1");
        return SerializeCompact(wrapper);
    }

    std::string InputPath() const override { return input_; }

    TVerdict Run(const std::string& input) override {
        std::string before = CampaignChecksum(resident_);
        try {
            LoadCampaign(resident_, input_);
        } catch (const TGameError&) {
            ExpectUnchanged(resident_, before, "load");
            return TVerdict::kRefused;
        }
        PlayAccepted(resident_, input, scratch_);
        return TVerdict::kAccepted;
    }

private:
    static constexpr size_t kSeedsPerScenario = 3;
    static constexpr long long kTickLimit = 200'000;

    // An observed campaign of the scenario, saved at a few random months of its course;
    // about half of the saves fall inside a battle.
    void Observe(int scenario, TFuzzRandom& rng) {
        TGame game;
        NewCampaign(game, kDataDir + "/world.json", scenario, 0, 1 + rng.Below(kMaxDifficulty), {},
                    static_cast<std::uint32_t>(rng.Next()));
        TObj root = game.Root();
        auto monthOf = [root] { return TGame::GetInt(root, "year", 0) * 12 + TGame::GetInt(root, "month", 0); };
        int years = std::max(1, game.RuleInt("invasionYear", 327) - TGame::GetInt(root, "year", 0));
        std::vector<int> stops;
        for (size_t i = 0; i < kSeedsPerScenario; ++i) stops.push_back(monthOf() + rng.Below(12 * years));
        std::sort(stops.begin(), stops.end());
        for (int stop : stops) {
            for (long long t = 0; t < kTickLimit && !game.IsEnded() && monthOf() < stop; ++t)
                ComputerTick(game, kFastComputerSteps);
            if (rng.Chance(50)) {
                for (long long t = 0; t < kTickLimit && !game.IsEnded() && !HasBattle(game); ++t)
                    ComputerTick(game, kFastComputerSteps);
                int steps = rng.Below(60);
                for (int t = 0; t < steps && HasBattle(game); ++t) ComputerTick(game, kNormalComputerSteps);
            }
            // Mid-battle a campaign may be briefly inconsistent; a save waits for a valid moment.
            for (int t = 0; t < 200 && !game.IsEnded() && !Validate(game).empty(); ++t)
                ComputerTick(game, kNormalComputerSteps);
            if (game.IsEnded() || !Validate(game).empty()) continue;
            std::string path = dir_ + "/seeds/scenario" + std::to_string(scenario) + "-" + std::to_string(made_++) + ".json";
            SaveCampaign(game, path);
            TSeed seed;
            seed.fileText = ReadTextFile(path);
            seed.state = *game.Document();
            seed.stateText = SerializeDocument(game);
            seeds_.push_back(std::move(seed));
        }
    }

    std::string dir_;
    std::string input_;
    std::string scratch_;
    std::vector<TSeed> seeds_;
    int nextScenario_ = 1;
    int made_ = 0;
    TGame resident_;
};

// [SECTION] World and rules files

// The parameters of a new campaign, drawn from the input so that it replays exactly.
struct TNewCampaign {
    int scenario = 1;
    int humans = 0;
    int difficulty = 1;
    std::vector<int> leaders;
    std::uint32_t seed = 1;
};

TNewCampaign NewCampaignOf(TFuzzRandom& params) {
    TNewCampaign n;
    n.scenario = params.Chance(5) ? params.Below(6) : 1 + params.Below(kScenarioCount);
    n.humans = params.Chance(70) ? 0 : 1 + params.Below(3);
    n.difficulty = params.Below(kMaxDifficulty + 2);
    std::vector<int> all;
    for (int l = 1; l <= kPlayableLeaders; ++l) all.push_back(l);
    for (int i = 0; i < n.humans; ++i) {
        size_t j = static_cast<size_t>(i + params.Below(static_cast<int>(all.size()) - i));
        std::swap(all[static_cast<size_t>(i)], all[j]);
        n.leaders.push_back(all[static_cast<size_t>(i)]);
    }
    n.seed = static_cast<std::uint32_t>(params.Next());
    return n;
}

// NewCampaign from a world file in dir (whose rules.json lies beside it).
class TNewCampaignTarget : public TTarget {
public:
    TNewCampaignTarget(const std::string& dir, bool fuzzWorld)
        : dir_(dir), fuzzWorld_(fuzzWorld), scratch_(dir + "/roundtrip.json") {}

    void Setup() override {
        fs::create_directories(dir_);
        world_ = ReadJsonFile(kDataDir + "/world.json");
        rules_ = ReadJsonFile(kDataDir + "/rules.json");
        // The file not being fuzzed is the shipped one, written once.
        if (fuzzWorld_) WriteText(dir_ + "/rules.json", ReadTextFile(kDataDir + "/rules.json"));
        else WriteText(dir_ + "/world.json", ReadTextFile(kDataDir + "/world.json"));
    }

    std::string NextInput(TFuzzRandom& rng) override {
        const TJson& original = fuzzWorld_ ? world_ : rules_;
        if (rng.Chance(12)) return DamageBytes(SerializeCompact(original), rng);
        TJson doc = original;
        if (fuzzWorld_ && doc["scenarios"].is_array() && rng.Chance(90)) {
            // Each scenario gets its own mutations; any of them may be the one played.
            TJson& scenarios = doc["scenarios"];
            for (size_t k = 0; k < scenarios.size(); ++k) {
                const TJson& donor = world_["scenarios"][static_cast<size_t>(rng.Below(kScenarioCount))];
                MutateJson(scenarios[k], donor, rng, MutationCount(rng));
            }
        } else {
            MutateJson(doc, original, rng, MutationCount(rng));
        }
        return SerializeCompact(doc);
    }

    std::string InputPath() const override { return dir_ + (fuzzWorld_ ? "/world.json" : "/rules.json"); }

    TVerdict Run(const std::string& input) override {
        TFuzzRandom params(Hash64(input));
        TNewCampaign n = NewCampaignOf(params);
        std::string before = CampaignChecksum(resident_);
        try {
            NewCampaign(resident_, dir_ + "/world.json", n.scenario, n.humans, n.difficulty, n.leaders, n.seed);
        } catch (const TGameError&) {
            ExpectUnchanged(resident_, before, "new campaign");
            return TVerdict::kRefused;
        }
        PlayAccepted(resident_, input, scratch_);
        return TVerdict::kAccepted;
    }

private:
    std::string dir_;
    bool fuzzWorld_;
    std::string scratch_;
    TJson world_;
    TJson rules_;
    TGame resident_;
};

}  // namespace

std::unique_ptr<TTarget> MakeTarget(const std::string& name, const std::string& workDir) {
    if (name == "save") return std::make_unique<TSaveTarget>(workDir);
    if (name == "world") return std::make_unique<TNewCampaignTarget>(workDir + "/world", true);
    if (name == "rules") return std::make_unique<TNewCampaignTarget>(workDir + "/rules", false);
    if (name == "settings") return MakeSettingsTarget(workDir + "/settings");
    if (name == "png") return MakePngTarget(workDir + "/png");
    if (name == "wav") return MakeWavTarget(workDir + "/wav");
    return nullptr;
}

}  // namespace reedmark::fuzz
