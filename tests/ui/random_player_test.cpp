// A random human player: menu items, dialog fields, keys and clicks picked at random
// for campaign years never crash the game, every state outside a battle validates, and
// every quick save written on the way loads back as the same campaign.
// REEDMARK_RANDOM_PLAYER_YEARS and REEDMARK_RANDOM_PLAYER_SEED make longer or other runs.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <vector>

#include "model/ai.hpp"
#include "model/battle.hpp"
#include "model/orders.hpp"
#include "model/saves.hpp"
#include "tests/ui/shell_fixture.hpp"

namespace reedmark {
namespace {

int EnvInt(const char* name, int fallback) {
    const char* text = std::getenv(name);
    return text != nullptr && *text != '\0' ? std::atoi(text) : fallback;
}

TEST(RandomPlayer, YearsOfRandomInputKeepTheCampaignSound) {
    const int years = EnvInt("REEDMARK_RANDOM_PLAYER_YEARS", 2);
    std::mt19937 rng(static_cast<unsigned>(EnvInt("REEDMARK_RANDOM_PLAYER_SEED", 20240611)));
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    testing::THeadlessShell s("random");
    TShell& shell = *s;
    shell.settings.fastAI = true;
    s.Frames(1);
    s.Action(1);
    for (int i = pick(4); i > 0; --i) s.Action(20);  // a random scenario
    s.Action(24);
    ASSERT_TRUE(shell.HasCampaign());

    std::vector<int> keys(std::begin("0123456789sfl"), std::end("0123456789sfl") - 1);
    for (int k :
         {SDLK_LEFT, SDLK_RIGHT, SDLK_UP, SDLK_DOWN, SDLK_TAB, SDLK_RETURN, SDLK_SPACE, SDLK_ESCAPE, SDLK_BACKSPACE})
        keys.push_back(k);
    auto monthKey = [&] {
        return TGame::GetInt(shell.game.Root(), "year", 0) * 12 + TGame::GetInt(shell.game.Root(), "month", 0);
    };
    int months = 0;
    int lastMonth = monthKey();
    int idle = 0;
    int quickSaves = 0;
    for (long step = 0; months < 12 * years && step < 400000L * years; ++step) {
        const int roll = pick(100);
        if (roll < 45 && shell.draw.ButtonCount() > 0) {
            const TButton b = shell.draw.Button(pick(shell.draw.ButtonCount()));
            if (b.action == 7) continue;  // the player never quits
            shell.HandleMouseDown(b.x + pick(b.w), b.y + pick(b.h));
        } else if (roll < 55) {
            shell.HandleMouseDown(pick(1280), pick(800));
        } else if (roll < 97) {
            shell.HandleKey(keys[static_cast<size_t>(pick(static_cast<int>(keys.size())))],
                            pick(4) == 0 ? KMOD_LSHIFT : 0);
        } else {
            shell.HandleKey(SDLK_F5, 0);
            if (shell.statusMessage == "Quicksaved.") {
                TGame copy;
                ASSERT_NO_THROW(LoadCampaign(copy, s.pref + "quick.json"));
                EXPECT_EQ(Checksum(copy), Checksum(shell.game));
                ++quickSaves;
            }
        }
        s.Frames(1);
        shell.running = true;
        // The computer players' entries pass quickly: the frame loop's own tick, with a
        // larger budget, while the map is shown and no human decides.
        if (shell.screen == scCampaign && shell.HasCampaign() && !shell.aiPaused &&
            !HumanDecidesCurrentEntry(shell.game))
            ComputerTick(shell.game, 64);
        if (!shell.HasCampaign()) {
            s.Action(1);
            s.Action(24);
            continue;
        }
        if (!HasBattle(shell.game)) {
            const std::string problem = Validate(shell.game);
            ASSERT_EQ(problem, "") << "after step " << step;
        }
        // A player who dawdles too long ends the turn or the battle, or starts anew.
        if (++idle > 80) {
            idle = 0;
            shell.aiPaused = false;
            shell.settings.fastAI = true;
            if (shell.screen == scEnded) {
                s.Action(1);
                s.Action(24);
            } else if (HasBattle(shell.game)) {
                shell.screen = scCampaign;
                s.Action(91);
            } else {
                shell.screen = scCampaign;
                s.Action(100 + oRest);
                if (shell.screen == scOrder) s.Action(66);
            }
        }
        if (monthKey() != lastMonth) {
            lastMonth = monthKey();
            ++months;
            idle = 0;
        }
    }
    EXPECT_GE(months, 12 * years);
    EXPECT_GT(quickSaves, 0);
}

}  // namespace
}  // namespace reedmark
