// Whole observed campaigns of the shipped world: deterministic replays, a save and load
// half-way that changes nothing, and a short soak with validation after every step.
#include <gtest/gtest.h>

#include "model/ai.hpp"
#include "model/battle.hpp"
#include "model/campaign.hpp"
#include "model/game.hpp"
#include "model/random.hpp"
#include "model/saves.hpp"
#include "tests/fixtures/small_world.hpp"

namespace reedmark {
namespace {

const std::string kWorld = std::string(REEDMARK_SOURCE_DIR) + "/assets/data/world.json";
constexpr long long kTickLimit = 2'000'000;

// Plays the campaign to its end with the fast computer tick; false on a stall. With
// `validate`, every state the computer reaches (inside battles and after the end too)
// must pass validation, and with `roundTrip` it is also saved and loaded back whenever
// the month or a battle's day changes and when the campaign ends.
bool PlayToEnd(TGame& game, int steps = kFastComputerSteps, bool validate = false, std::string* failure = nullptr,
               const std::string& roundTrip = "") {
    int lastMonth = -1;
    int lastDay = -1;
    for (long long tick = 0; tick < kTickLimit && !game.IsEnded(); ++tick) {
        std::uint64_t revision = game.Revision();
        ComputerTick(game, steps);
        if (game.Revision() == revision) {
            if (failure) *failure = "stalled at tick " + std::to_string(tick);
            return false;
        }
        if (!validate) continue;
        std::string m = Validate(game);
        const int month = TGame::GetInt(game.Root(), "month", 0);
        const int day = HasBattle(game) ? TGame::GetInt(Battle(game), "day", 0) : -1;
        if (m.empty() && !roundTrip.empty() && (day != lastDay || game.IsEnded() || month != lastMonth)) {
            try {
                SaveCampaign(game, roundTrip);
                TGame loaded;
                LoadCampaign(loaded, roundTrip);
                if (Checksum(loaded) != Checksum(game)) m = "the loaded copy differs";
            } catch (const TGameError& e) {
                m = e.what();
            }
        }
        lastMonth = month;
        lastDay = day;
        if (!m.empty()) {
            if (failure) {
                *failure = "tick " + std::to_string(tick) + (HasBattle(game) ? " (battle)" : "") + ": " + m;
                const auto& lines = game.Chronicle();
                for (size_t i = lines.size() > 4 ? lines.size() - 4 : 0; i < lines.size(); ++i)
                    *failure += "\n  " + lines[i];
            }
            return false;
        }
    }
    return game.IsEnded();
}

TEST(ObservedCampaign, SameSeedSameEnd) {
    for (int scenario : {1, 4}) {
        TGame a;
        TGame b;
        NewCampaign(a, kWorld, scenario, 0, 2, {}, 2024);
        NewCampaign(b, kWorld, scenario, 0, 2, {}, 2024);
        ASSERT_TRUE(PlayToEnd(a));
        ASSERT_TRUE(PlayToEnd(b));
        EXPECT_EQ(Checksum(a), Checksum(b)) << "scenario " << scenario;
    }
}

TEST(ObservedCampaign, SavedAndLoadedHalfWayEndsTheSame) {
    testing::TTempWorld dir(nullptr);
    for (int scenario : {2, 3}) {
        TGame straight;
        NewCampaign(straight, kWorld, scenario, 0, 2, {}, 77);
        ASSERT_TRUE(PlayToEnd(straight));

        TGame resumed;
        NewCampaign(resumed, kWorld, scenario, 0, 2, {}, 77);
        // Stop at a month chosen by another generator, outside any battle, and go on
        // from a saved copy.
        TGame chooser;
        NewCampaign(chooser, kWorld, 1, 0, 2, {}, static_cast<std::uint32_t>(scenario));
        int stopMonths = 3 + Random(chooser, 30);
        int startKey = TGame::GetInt(resumed.Root(), "year", 0) * 12 + TGame::GetInt(resumed.Root(), "month", 0);
        while (!resumed.IsEnded()) {
            int key = TGame::GetInt(resumed.Root(), "year", 0) * 12 + TGame::GetInt(resumed.Root(), "month", 0);
            if (key - startKey >= stopMonths && !HasBattle(resumed)) break;
            ComputerTick(resumed, kFastComputerSteps);
        }
        std::string path = dir.Path("half.json");
        SaveCampaign(resumed, path);
        TGame loaded;
        LoadCampaign(loaded, path);
        ASSERT_TRUE(PlayToEnd(loaded));
        EXPECT_EQ(Checksum(loaded), Checksum(straight)) << "scenario " << scenario;
    }
}

// The short soak run by CI; `soak` runs the long one. Every step is validated, and the
// game's own saves (monthly, inside battles, at the end) must load back unchanged.
TEST(ObservedCampaign, EveryScenarioStaysValidAndSavableAtEveryStep) {
    testing::TTempWorld dir(nullptr);
    for (int scenario = 1; scenario <= kScenarioCount; ++scenario) {
        TGame game;
        NewCampaign(game, kWorld, scenario, 0, 3, {}, 500 + static_cast<std::uint32_t>(scenario));
        std::string failure;
        EXPECT_TRUE(PlayToEnd(game, 1, true, &failure, dir.Path("step.json")))
            << "scenario " << scenario << ": " << failure;
    }
}

// Campaigns with human leaders: their turns wait, the rest of the world moves on.
TEST(ObservedCampaign, HumanTurnsStopTheComputer) {
    TGame game;
    NewCampaign(game, kWorld, 2, 1, 2, {3}, 9);
    for (int tick = 0; tick < 100000; ++tick) {
        std::uint64_t revision = game.Revision();
        ComputerTick(game, kFastComputerSteps);
        if (game.Revision() == revision) break;
    }
    EXPECT_TRUE(game.IsEnded() || HumanDecidesCurrentEntry(game) || HumanBattleTurn(game) ||
                TGame::GetBool(game.Root(), "town"));
}

}  // namespace
}  // namespace reedmark
