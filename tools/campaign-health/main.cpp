// campaign-health: plays observed campaigns of every scenario over many seeds and prints
// a Markdown table of how they go (battles, provinces changing hands, writs, endings),
// the measure by which the world data is tuned. Usage:
//   campaign-health [--world PATH] [--seeds N]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "model/ai.hpp"
#include "model/battle.hpp"
#include "model/campaign.hpp"
#include "model/game.hpp"

namespace reedmark {
namespace {

constexpr long long kTickLimit = 2'000'000;

struct TCampaignStats {
    int startYear = 0;
    int endYear = 0;
    int battles = 0;
    int firstBattleYear = -1;
    int handChanges = 0;
    int writs = 0;
    int maxHeldEarly = 0;  // most provinces one fellowship held in the first three years
    bool stalled = false;
    std::string ending;  // invasion, victory or defeat
};

TCampaignStats Play(const std::string& world, int scenario, std::uint32_t seed) {
    TCampaignStats s;
    TGame game;
    NewCampaign(game, world, scenario, 0, 2, {}, seed);
    TObj root = game.Root();
    s.startYear = TGame::GetInt(root, "year", 0);
    std::vector<int> owners(kProvinceCount + 1, 0);
    std::vector<bool> writ(static_cast<size_t>(game.FactionCount()) + 1, false);
    for (int p = 1; p <= kProvinceCount; ++p) owners[p] = TGame::GetInt(game.Province(p), "owner", 0);
    for (long long tick = 0; tick < kTickLimit && !game.IsEnded(); ++tick) {
        bool battle = HasBattle(game);
        std::uint64_t revision = game.Revision();
        ComputerTick(game, kFastComputerSteps);
        if (game.Revision() == revision) {
            s.stalled = true;
            break;
        }
        int year = TGame::GetInt(root, "year", 0);
        if (!battle && HasBattle(game)) {
            ++s.battles;
            if (s.firstBattleYear < 0) s.firstBattleYear = year - s.startYear;
        }
        std::vector<int> held(static_cast<size_t>(game.FactionCount()) + 1, 0);
        for (int p = 1; p <= kProvinceCount; ++p) {
            int owner = TGame::GetInt(game.Province(p), "owner", 0);
            if (owner != owners[p] && owner != 0) ++s.handChanges;
            owners[p] = owner;
            if (owner > 0 && owner < static_cast<int>(held.size())) ++held[static_cast<size_t>(owner)];
        }
        if (year < s.startYear + 3) s.maxHeldEarly = std::max(s.maxHeldEarly, *std::max_element(held.begin(), held.end()));
        for (int f = 1; f < static_cast<int>(writ.size()); ++f) {
            bool has = TGame::GetBool(game.Faction(f), "writ");
            if (has && !writ[static_cast<size_t>(f)]) ++s.writs;
            writ[static_cast<size_t>(f)] = has;
        }
    }
    s.endYear = TGame::GetInt(root, "year", 0);
    std::string result = TGame::GetStr(root, "result");
    if (s.stalled || !game.IsEnded()) s.ending = "unfinished";
    else if (result.find("northern invasion") != std::string::npos) s.ending = "invasion";
    else if (result.find("Gao Kiu") != std::string::npos) s.ending = "victory";
    else s.ending = "defeat";
    return s;
}

}  // namespace
}  // namespace reedmark

int main(int argc, char** argv) {
    using namespace reedmark;
    std::string world = std::string(REEDMARK_SOURCE_DIR) + "/assets/data/world.json";
    int seeds = 20;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--world" && i + 1 < argc) world = argv[++i];
        else if (arg == "--seeds" && i + 1 < argc) seeds = std::max(1, std::atoi(argv[++i]));
        else {
            std::cerr << "usage: campaign-health [--world PATH] [--seeds N]\n";
            return 2;
        }
    }
    std::printf("| scenario | campaigns | battles per year | first battle within 2 years | provinces changing hands per year | writ granted | Chancellor defeated | invasion | other ending | mean end year | most provinces of one fellowship in 3 years |\n");
    std::printf("|---|---|---|---|---|---|---|---|---|---|---|\n");
    for (int scenario = 1; scenario <= kScenarioCount; ++scenario) {
        double battlesPerYear = 0;
        double changesPerYear = 0;
        int earlyWar = 0;
        int withWrit = 0;
        int victories = 0;
        int invasions = 0;
        int others = 0;
        double endYear = 0;
        int maxHeld = 0;
        for (int seed = 1; seed <= seeds; ++seed) {
            TCampaignStats s = Play(world, scenario, static_cast<std::uint32_t>(seed));
            double years = std::max(1, s.endYear - s.startYear);
            battlesPerYear += s.battles / years;
            changesPerYear += s.handChanges / years;
            earlyWar += s.firstBattleYear >= 0 && s.firstBattleYear < 2;
            withWrit += s.writs > 0;
            victories += s.ending == "victory";
            invasions += s.ending == "invasion";
            others += s.ending != "victory" && s.ending != "invasion";
            endYear += s.endYear;
            maxHeld = std::max(maxHeld, s.maxHeldEarly);
        }
        std::printf("| %d | %d | %.1f | %d%% | %.1f | %d%% | %d%% | %d%% | %d%% | %.1f | %d of 49 |\n", scenario, seeds,
                    battlesPerYear / seeds, 100 * earlyWar / seeds, changesPerYear / seeds, 100 * withWrit / seeds,
                    100 * victories / seeds, 100 * invasions / seeds, 100 * others / seeds, endYear / seeds, maxHeld);
        std::fflush(stdout);
    }
    return 0;
}
