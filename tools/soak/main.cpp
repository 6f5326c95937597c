// soak: the long soak. Plays observed campaigns of every scenario over many seeds, one
// computer step per tick, and validates the campaign after every step. Exits 1 at the
// first stall, failed validation or campaign that does not end. Usage:
//   soak [--world PATH] [--seeds N]
#include <cstdlib>
#include <iostream>
#include <string>

#include "model/ai.hpp"
#include "model/battle.hpp"
#include "model/campaign.hpp"
#include "model/game.hpp"
#include "model/saves.hpp"

int main(int argc, char** argv) {
    using namespace reedmark;
    std::string world = std::string(REEDMARK_SOURCE_DIR) + "/assets/data/world.json";
    int seeds = 10;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--world" && i + 1 < argc) world = argv[++i];
        else if (arg == "--seeds" && i + 1 < argc) seeds = std::max(1, std::atoi(argv[++i]));
        else {
            std::cerr << "usage: soak [--world PATH] [--seeds N]\n";
            return 2;
        }
    }
    constexpr long long kTickLimit = 5'000'000;
    for (int scenario = 1; scenario <= kScenarioCount; ++scenario) {
        for (int seed = 1; seed <= seeds; ++seed) {
            TGame game;
            NewCampaign(game, world, scenario, 0, 1 + seed % 5, {}, static_cast<std::uint32_t>(seed * 7919));
            long long tick = 0;
            for (; tick < kTickLimit && !game.IsEnded(); ++tick) {
                std::uint64_t revision = game.Revision();
                ComputerTick(game, kNormalComputerSteps);
                if (game.Revision() == revision) {
                    std::cout << "scenario " << scenario << " seed " << seed << ": stalled at tick " << tick << "\n";
                    return 1;
                }
                // Mid-battle the defenders' governor may already be a captive; the battle's
                // resolution puts the province in order, so validation waits for it. The
                // invasion stops the month end before governors are refreshed, so the
                // final state of an ended campaign is not held to it either.
                std::string m = HasBattle(game) || game.IsEnded() ? std::string() : Validate(game);
                if (!m.empty()) {
                    std::cout << "scenario " << scenario << " seed " << seed << ": tick " << tick << ": " << m << "\n";
                    return 1;
                }
            }
            if (!game.IsEnded()) {
                std::cout << "scenario " << scenario << " seed " << seed << ": did not end\n";
                return 1;
            }
            std::cout << "scenario " << scenario << " seed " << seed << ": " << tick << " steps, ended "
                      << TGame::GetInt(game.Root(), "year", 0) << ", checksum " << Checksum(game) << "\n";
        }
    }
    std::cout << "soak passed\n";
    return 0;
}
