// The shell in headless mode: start-up to the first presented frame, the CPU of one
// frame of every screen (software renderer) and of the screens of a human turn, and the
// resident memory after start-up and after every screen has been drawn.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "model/ai.hpp"
#include "model/campaign.hpp"
#include "model/game.hpp"
#include "model/orders.hpp"
#include "model/queue.hpp"
#include "ui/shell.hpp"

namespace reedmark {
namespace {

const std::string kBase = std::string(REEDMARK_BUILD_DIR) + "/";

std::string PrefDir() {
    auto dir = std::filesystem::temp_directory_path() / "reedmark-ui-bench";
    std::filesystem::create_directories(dir);
    return dir.string() + "/";
}

long ResidentKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    }
    return 0;
}

void BM_StartupToFirstFrame(benchmark::State& state) {
    for (auto _ : state) {
        TShell shell(HeadlessSeams());
        shell.Startup({{}, kBase, PrefDir()});
        shell.RunFrame();
        shell.Shutdown(false);
    }
}
BENCHMARK(BM_StartupToFirstFrame)->Unit(benchmark::kMillisecond);

// One frame of a screen, with a campaign of scenario 2 loaded and the computer paused
// so that every frame draws the same thing.
void BM_Frame(benchmark::State& state) {
    const int screen = static_cast<int>(state.range(0));
    TShell shell(HeadlessSeams());
    shell.Startup({{}, kBase, PrefDir()});
    NewCampaign(shell.game, kBase + "assets/data/world.json", 2, 1, 2, {1, 2, 3, 4, 5, 6, 7}, 11);
    shell.aiPaused = true;
    shell.selectedProvince = CurrentProvince(shell.game);
    shell.prisonerChar = 30;
    shell.prisonerCaptor = 1;
    if (screen == scBeast) {
        TArr notices = shell.game.NewArr(shell.game.Root(), "beastNotices");
        TObj n = shell.game.ArrAppendObj(notices);
        shell.game.SetInt(n, "province", 3);
        shell.game.SetInt(n, "beast", 2);
    }
    shell.screen = screen;
    shell.RunFrame();
    for (auto _ : state) {
        shell.screen = screen;
        shell.RunFrame();
    }
    state.SetLabel(ScreenName(screen));
    shell.Shutdown(false);
}
BENCHMARK(BM_Frame)->DenseRange(scTitle, scEnded)->Unit(benchmark::kMicrosecond);

// One frame of a screen of the human's own turn, prepared as a player would have it:
// 0 the map, 1 the order dialog of a reward (preview, check and chance, three field
// rows), 2 the roster sorted by name, 3 the town. With the second argument 1 the draw
// layer has no renderer: the screen's own work without the software renderer's blits.
void BM_PlayerFrame(benchmark::State& state) {
    const int kind = static_cast<int>(state.range(0));
    const bool logicOnly = state.range(1) == 1;
    TShell shell(HeadlessSeams());
    shell.Startup({{}, kBase, PrefDir()});
    NewCampaign(shell.game, kBase + "assets/data/world.json", 2, 1, 2, {1, 2, 3, 4, 5, 6, 7}, 730127);
    for (int i = 0; i < 2000 && !HumanDecidesCurrentEntry(shell.game); ++i) RunComputerTurns(shell.game, 8);
    shell.aiPaused = true;
    shell.selectedProvince = CurrentProvince(shell.game);
    shell.screen = scCampaign;
    static const char* const kLabels[] = {"map", "order dialog", "roster by name", "town"};
    if (kind == 1) {
        shell.OpenOrder(oReward);
    } else if (kind == 2) {
        shell.DispatchAction(40);
        shell.rosterSort = 1;
    } else if (kind == 3) {
        shell.OpenOrder(oTown);
        shell.DispatchAction(66);
        shell.townMenu = 1;
    }
    const int screen = shell.screen;
    shell.RunFrame();
    if (logicOnly) shell.draw.Attach(nullptr, nullptr);
    for (auto _ : state) {
        shell.screen = screen;
        shell.RunFrame();
    }
    state.SetLabel(std::string(kLabels[kind]) + (logicOnly ? ", no renderer" : ""));
    shell.Shutdown(false);
}
BENCHMARK(BM_PlayerFrame)->ArgsProduct({{0, 1, 2, 3}, {0, 1}})->Unit(benchmark::kMicrosecond);

void BM_ResidentMemory(benchmark::State& state) {
    long afterStart = 0;
    long afterAll = 0;
    for (auto _ : state) {
        TShell shell(HeadlessSeams());
        shell.Startup({{}, kBase, PrefDir()});
        shell.RunFrame();
        afterStart = ResidentKb();
        NewCampaign(shell.game, kBase + "assets/data/world.json", 2, 1, 2, {1, 2, 3, 4, 5, 6, 7}, 11);
        shell.aiPaused = true;
        for (int s = scTitle; s <= scEnded; ++s) {
            shell.screen = s;
            shell.RunFrame();
        }
        afterAll = ResidentKb();
        shell.Shutdown(false);
    }
    state.counters["rssStartMB"] = static_cast<double>(afterStart) / 1024.0;
    state.counters["rssAllScreensMB"] = static_cast<double>(afterAll) / 1024.0;
}
BENCHMARK(BM_ResidentMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

// One frame of the battle screen on the attackers' turn (scenario 4: Brackenford attacks
// Greyspur with four companions against three), the computer paused: 0 the base
// unchanged and nothing selected, 1 a move preview of the commander with the cursor on
// a reachable cell (lit cells and the movement cost line). With the second argument 1
// the draw layer has no renderer: the screen's own work without the software blits.
void BM_BattleFrame(benchmark::State& state) {
    const bool preview = state.range(0) == 1;
    const bool logicOnly = state.range(1) == 1;
    TShell shell(HeadlessSeams());
    shell.Startup({{}, kBase, PrefDir()});
    NewCampaign(shell.game, kBase + "assets/data/world.json", 4, 1, 2, {1}, 730127);
    StartBattle(shell.game, 9, 2, 1);
    TObj b = Battle(shell.game);
    shell.game.SetBool(b, "defensePrompt", false);
    shell.game.SetBool(b, "deploy", false);
    shell.game.SetInt(b, "side", kSideAttackers);
    shell.aiPaused = true;
    shell.screen = scCampaign;
    shell.RunFrame();
    if (preview) {
        shell.DispatchAction(6100);  // the commander awaits orders
        shell.RunFrame();
        for (int c = 0; c < kFieldCells; ++c) {
            if (!shell.field->LitCells()[static_cast<size_t>(c)]) continue;
            shell.battle.cursorQ = c % kFieldColumns;
            shell.battle.cursorR = c / kFieldColumns;
        }
    }
    shell.RunFrame();
    if (logicOnly) shell.draw.Attach(nullptr, nullptr);
    for (auto _ : state) shell.RunFrame();
    state.SetLabel(std::string(preview ? "move preview" : "unchanged base") + (logicOnly ? ", no renderer" : ""));
    shell.Shutdown(false);
}
BENCHMARK(BM_BattleFrame)->ArgsProduct({{0, 1}, {0, 1}})->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace reedmark

BENCHMARK_MAIN();
