// campaign-health: plays observed campaigns of every scenario over many seeds and prints
// Markdown tables of how they go (battles, provinces changing hands, writs, endings, and
// which leaders win), the measure by which the world data is tuned. Usage:
//   campaign-health [--world PATH] [--seeds N] [--first SEED] [--scenario K] [--trace]
// --trace adds one line per campaign on stderr (seed, ending, winner, writ holders).
#include <algorithm>
#include <array>
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
    int winner = 0;        // the victorious fellowship, 0 without a victory
    bool stalled = false;
    std::string ending;         // invasion, victory or defeat
    std::vector<int> writHeld;  // fellowships that held the writ at some time, in grant order
    std::string assaults;       // attacks on the Chancellor's seat: year, attacker, soldiers, outcome
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
    int assaultFrom = 0;
    int assaultAt = 0;
    for (long long tick = 0; tick < kTickLimit && !game.IsEnded(); ++tick) {
        bool battle = HasBattle(game);
        int seat = TGame::GetInt(game.Faction(kChancellor), "home", 0);
        int seatOwner = seat > 0 ? TGame::GetInt(game.Province(seat), "owner", 0) : 0;
        std::uint64_t revision = game.Revision();
        ComputerTick(game, kFastComputerSteps);
        if (game.Revision() == revision) {
            s.stalled = true;
            break;
        }
        int year = TGame::GetInt(root, "year", 0);
        if (battle && !HasBattle(game) && assaultFrom > 0) {
            int owner = TGame::GetInt(game.Province(assaultAt), "owner", 0);
            s.assaults += owner == seatOwner ? " held)" : " taken)";
            assaultFrom = 0;
        }
        if (!battle && HasBattle(game)) {
            TObj b = Battle(game);
            if (TGame::GetInt(b, "destination", 0) == seat && seat > 0) {
                assaultFrom = TGame::GetInt(b, "attacker", 0);
                assaultAt = seat;
                s.assaults += " (" + std::to_string(year) + " " + std::to_string(assaultFrom) + " " +
                              std::to_string(game.ProvinceSoldiers(TGame::GetInt(b, "origin", 0))) + ":" +
                              std::to_string(game.ProvinceSoldiers(seat));
            }
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
        if (year < s.startYear + 3)
            s.maxHeldEarly = std::max(s.maxHeldEarly, *std::max_element(held.begin(), held.end()));
        for (int f = 1; f < static_cast<int>(writ.size()); ++f) {
            bool has = TGame::GetBool(game.Faction(f), "writ");
            if (has && !writ[static_cast<size_t>(f)]) {
                ++s.writs;
                if (std::find(s.writHeld.begin(), s.writHeld.end(), f) == s.writHeld.end()) s.writHeld.push_back(f);
            }
            writ[static_cast<size_t>(f)] = has;
        }
    }
    s.endYear = TGame::GetInt(root, "year", 0);
    std::string result = TGame::GetStr(root, "result");
    if (s.stalled || !game.IsEnded())
        s.ending = "unfinished";
    else if (result.find("northern invasion") != std::string::npos)
        s.ending = "invasion";
    else if (result.find("Gao Kiu") != std::string::npos)
        s.ending = "victory";
    else
        s.ending = "defeat";
    if (s.ending == "victory") s.winner = TGame::GetInt(root, "winner", 0);
    return s;
}

// Per scenario: the health figures and the victories and writs by leader.
struct TScenarioSummary {
    int scenario = 0;
    int campaigns = 0;
    double battlesPerYear = 0;
    double changesPerYear = 0;
    int earlyWar = 0;
    int withWrit = 0;
    int victories = 0;
    int invasions = 0;
    int others = 0;
    double endYear = 0;
    int maxHeld = 0;
    std::array<int, kPlayableLeaders + 1> wins{};
    std::array<int, kPlayableLeaders + 1> writHolders{};
};

TScenarioSummary Summarise(const std::string& world, int scenario, int first, int seeds, bool trace) {
    TScenarioSummary sum;
    sum.scenario = scenario;
    sum.campaigns = seeds;
    for (int seed = first; seed < first + seeds; ++seed) {
        TCampaignStats s = Play(world, scenario, static_cast<std::uint32_t>(seed));
        double years = std::max(1, s.endYear - s.startYear);
        sum.battlesPerYear += s.battles / years;
        sum.changesPerYear += s.handChanges / years;
        sum.earlyWar += s.firstBattleYear >= 0 && s.firstBattleYear < 2;
        sum.withWrit += s.writs > 0;
        sum.victories += s.ending == "victory";
        sum.invasions += s.ending == "invasion";
        sum.others += s.ending != "victory" && s.ending != "invasion";
        sum.endYear += s.endYear;
        sum.maxHeld = std::max(sum.maxHeld, s.maxHeldEarly);
        if (s.winner >= 1 && s.winner <= kPlayableLeaders) ++sum.wins[static_cast<size_t>(s.winner)];
        for (int f : s.writHeld)
            if (f >= 1 && f <= kPlayableLeaders) ++sum.writHolders[static_cast<size_t>(f)];
        if (trace) {
            std::fprintf(stderr, "scenario %d seed %d: %s in %d, winner %d, writs", scenario, seed, s.ending.c_str(),
                         s.endYear, s.winner);
            for (int f : s.writHeld) std::fprintf(stderr, " %d", f);
            std::fprintf(stderr, ", %d battles, first after %d years, assaults%s\n", s.battles, s.firstBattleYear,
                         s.assaults.c_str());
        }
    }
    return sum;
}

}  // namespace
}  // namespace reedmark

int main(int argc, char** argv) {
    using namespace reedmark;
    std::string world = std::string(REEDMARK_SOURCE_DIR) + "/assets/data/world.json";
    int seeds = 20;
    int first = 1;
    int only = 0;
    bool trace = false;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--world" && i + 1 < argc)
            world = argv[++i];
        else if (arg == "--seeds" && i + 1 < argc)
            seeds = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--first" && i + 1 < argc)
            first = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--scenario" && i + 1 < argc)
            only = std::clamp(std::atoi(argv[++i]), 1, kScenarioCount);
        else if (arg == "--trace")
            trace = true;
        else {
            std::cerr << "usage: campaign-health [--world PATH] [--seeds N] [--first SEED] [--scenario K] [--trace]\n";
            return 2;
        }
    }
    std::vector<TScenarioSummary> sums;
    std::printf(
        "| scenario | campaigns | battles per year | first battle within 2 years | provinces changing hands per year | "
        "writ granted | Chancellor defeated | invasion | other ending | mean end year | most provinces of one "
        "fellowship in 3 years |\n");
    std::printf("|---|---|---|---|---|---|---|---|---|---|---|\n");
    for (int scenario = 1; scenario <= kScenarioCount; ++scenario) {
        if (only != 0 && scenario != only) continue;
        const TScenarioSummary s = Summarise(world, scenario, first, seeds, trace);
        sums.push_back(s);
        std::printf("| %d | %d | %.1f | %d%% | %.1f | %d%% | %d%% | %d%% | %d%% | %.1f | %d of 49 |\n", scenario, seeds,
                    s.battlesPerYear / seeds, 100 * s.earlyWar / seeds, s.changesPerYear / seeds,
                    100 * s.withWrit / seeds, 100 * s.victories / seeds, 100 * s.invasions / seeds,
                    100 * s.others / seeds, s.endYear / seeds, s.maxHeld);
        std::fflush(stdout);
    }
    // Victories by leader; in brackets the campaigns in which the leader held the writ.
    std::printf("\n| scenario | victories |");
    TGame names;
    NewCampaign(names, world, 1, 0, 2, {}, 1);
    for (int f = 1; f <= kPlayableLeaders; ++f) std::printf(" %s |", TGame::GetStr(names.Character(f), "name").c_str());
    std::printf("\n|---|---|");
    for (int f = 1; f <= kPlayableLeaders; ++f) std::printf("---|");
    std::printf("\n");
    std::array<int, kPlayableLeaders + 1> total{};
    for (const TScenarioSummary& s : sums) {
        std::printf("| %d | %d |", s.scenario, s.victories);
        for (int f = 1; f <= kPlayableLeaders; ++f) {
            std::printf(" %d (%d) |", s.wins[static_cast<size_t>(f)], s.writHolders[static_cast<size_t>(f)]);
            total[static_cast<size_t>(f)] += s.wins[static_cast<size_t>(f)];
        }
        std::printf("\n");
    }
    int winners = 0;
    for (int f = 1; f <= kPlayableLeaders; ++f) winners += total[static_cast<size_t>(f)] > 0;
    std::printf("\nLeaders with a victory: %d.\n", winners);
    return 0;
}
