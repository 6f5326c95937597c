// The shell: start-up rules, the frame loop's event checks and computer pacing,
// automatic and quick saves, the Back rule and the key handler's order of steps, the
// drawing layer's wrapping and button table.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "model/ai.hpp"
#include "model/battle.hpp"
#include "model/campaign.hpp"
#include "model/queue.hpp"
#include "model/saves.hpp"
#include "tests/ui/shell_fixture.hpp"
#include "ui/draw.hpp"

namespace reedmark {
namespace {

namespace fs = std::filesystem;
using testing::THeadlessShell;

constexpr int kF5 = 0x4000003E;
constexpr int kF9 = 0x40000042;
constexpr int kTab = 9;
constexpr int kEscape = 27;

TEST(DrawLayer, WrappingFollowsTheAdvanceAndStrictSpaces) {
    struct TCase {
        int width;
        std::string text;
        int size;
        int maxLines;
        std::vector<std::string> lines;
    };
    const TCase cases[] = {
        {120, "one two three four", 16, 5, {"one two", "three four"}},
        {120, "one two three four", 16, 1, {"one two"}},
        {40, "unbreakable word", 16, 3, {"", "unbreakable", "word"}},
        {200, "a  b\nc", 16, 2, {"a  b c"}},
        {200, "", 16, 2, {}},
    };
    for (const TCase& c : cases) EXPECT_EQ(WrapLines(c.width, c.text, c.size, c.maxLines), c.lines) << c.text;
    EXPECT_EQ(TextAdvance(14), 10);
    EXPECT_EQ(TextAdvance(18), 13);
}

TEST(DrawLayer, ButtonsBeyondTheTableAreNeitherDrawnNorRegistered) {
    TDrawLayer d;
    d.SetRecording(true);
    d.BeginFrame();
    for (int i = 0; i < kMaxButtons; ++i) EXPECT_EQ(d.AddButton(0, 0, 10, 10, i + 1, ""), i);
    const size_t calls = d.Log().size();
    EXPECT_EQ(d.AddMenuItem(0, 0, 10, 10, 999, '1', "late", true), -1);
    EXPECT_EQ(d.ButtonCount(), kMaxButtons);
    EXPECT_EQ(d.Log().size(), calls);
    // Caption sizes: (w - 24) * 4 / (3 * length), clamped to 12..20.
    d.BeginFrame();
    d.focusIndex = 5;
    d.AddButton(10, 20, 300, 40, 1, "Begin");
    const TDrawCall& caption = d.Log().back();
    EXPECT_EQ(caption.size, 20);
    EXPECT_EQ(caption.a, 22);
    EXPECT_EQ(caption.b, 30);
    d.AddButton(10, 20, 100, 40, 1, "A very long caption here");
    EXPECT_EQ(d.Log().back().size, 12);
}

TEST(Shell, BaseDirectoryRuleAndFatalFontError) {
    const std::string dir = testing::FreshDir("base");
    fs::create_directories(dir + "bin");
    fs::create_directories(dir + "assets");
    std::ofstream(dir + "assets/font.bmp") << "x";
    EXPECT_EQ(FindBaseDir(dir + "bin/"), fs::weakly_canonical(dir).string() + "/");
    std::ofstream(dir + "bin/assets-none");
    fs::create_directories(dir + "bin/assets");
    std::ofstream(dir + "bin/assets/font.bmp") << "x";
    EXPECT_EQ(FindBaseDir(dir + "bin"), dir + "bin/");

    // A base holding the world but no readable font fails with the base directory.
    fs::create_directories(dir + "game/assets/data");
    fs::copy_file(testing::WorldPath(), dir + "game/assets/data/world.json");
    TShell shell(HeadlessSeams());
    try {
        shell.Startup({{}, dir + "game", dir + "pref"});
        FAIL() << "start-up without a font succeeded";
    } catch (const TStartupError& e) {
        EXPECT_EQ(std::string(e.what()), "Font asset missing: " + dir + "game/");
    }
    shell.Shutdown(false);
    EXPECT_FALSE(fs::exists(dir + "pref/settings.json"));
    fs::remove_all(dir);
}

TEST(Shell, StartsOnTheTitleAndLoadsFromTheCommandLine) {
    THeadlessShell plain("title");
    EXPECT_EQ(plain->screen, scTitle);
    EXPECT_EQ(plain->statusMessage, kWelcome);
    plain.Frames();
    EXPECT_TRUE(plain.Drew("REEDMARK"));
    EXPECT_TRUE(plain.Drew(kWelcome));

    // A campaign saved elsewhere, loaded by --load.
    TGame game;
    NewCampaign(game, testing::WorldPath(), 2, 1, 2, {3}, 5);
    const std::string save = plain.pref + "given.json";
    SaveCampaign(game, save);
    THeadlessShell loaded("load", std::vector<std::string>{"--load", save});
    EXPECT_EQ(loaded->screen, scCampaign);
    EXPECT_EQ(Checksum(loaded->game), Checksum(game));
    EXPECT_EQ(loaded->selectedProvince, CurrentProvince(game));

    THeadlessShell ignored("ignored", std::vector<std::string>{"--load"});
    EXPECT_EQ(ignored->screen, scTitle);
    THeadlessShell other("other", std::vector<std::string>{"--loadx", save});
    EXPECT_FALSE(other->HasCampaign());
    THeadlessShell broken("broken", std::vector<std::string>{"--load", plain.pref + "missing.json"});
    EXPECT_EQ(broken->screen, scTitle);
    EXPECT_NE(broken->statusMessage, kWelcome);
}

TEST(Shell, KeyHandlerSteps) {
    THeadlessShell s("keys");
    s.Frames();
    // Escape on the title with no campaign stays; F5 without a campaign does nothing.
    s.Key(kEscape);
    EXPECT_EQ(s->screen, scTitle);
    s.Key(kF5);
    EXPECT_EQ(s->statusMessage, kWelcome);
    EXPECT_FALSE(fs::exists(s.pref + "quick.json"));
    // Digit hotkeys: '3' opens the load slots, Escape returns to the title.
    s.Key('3');
    EXPECT_EQ(s->screen, scSlots);
    EXPECT_EQ(s->slotsMode, 0);
    s.Key(kEscape);
    EXPECT_EQ(s->screen, scTitle);
    // Tab and Shift+Tab wrap around the title's six buttons.
    s->draw.focusIndex = 0;
    s.Key(kTab, KMOD_LSHIFT);
    EXPECT_EQ(s->draw.focusIndex, 5);
    s.Key(kTab);
    EXPECT_EQ(s->draw.focusIndex, 0);
    // Continue without a quick save says so.
    s.Key('2');
    EXPECT_EQ(s->statusMessage, "No quicksave yet. Start a new campaign or choose Load.");
    // Binding Confirm to 'c' makes 'c' press the focused button.
    s->settings.captureSlot = 4;
    s.Key('c');
    EXPECT_EQ(s->settings.captureSlot, -1);
    s->draw.focusIndex = 0;
    s.Key('c');
    EXPECT_EQ(s->screen, scSetup);
}

TEST(Shell, BeginStartsTheCampaignTheConsoleWouldStart) {
    THeadlessShell s("begin");
    s.Frames();
    s.Action(1);
    s.Action(20);  // scenario 2
    s.Action(31);  // player 2's leader moves past the taken ones
    s.Action(24);
    ASSERT_EQ(s->screen, scCampaign);
    EXPECT_EQ(s->statusMessage, "Your chronicle begins. See Help for the first steps.");
    EXPECT_EQ(s->setup.leaders[1], 8);
    TGame same;
    NewCampaign(same, testing::WorldPath(), 2, 1, 2, std::vector<int>(s->setup.leaders.begin(), s->setup.leaders.end()),
                730127);
    TGame quick;
    LoadCampaign(quick, s.pref + "quick.json");
    EXPECT_EQ(Checksum(quick), Checksum(same));
}

TEST(Shell, ComputerPacingAutosavesAndPause) {
    THeadlessShell s("pacing");
    s.Frames();
    s.Action(1);
    s.Action(21);
    s.Action(21);
    s.Action(21);
    s.Action(21);
    s.Action(21);
    s.Action(21);
    s.Action(21);  // 0 humans: an observed campaign
    ASSERT_EQ(s->setup.humans, 0);
    s.Action(24);
    ASSERT_EQ(s->screen, scCampaign);
    // Normal pace: one step only once strictly more than 180 ms have passed.
    const std::uint64_t before = s->game.Revision();
    while (s->seams.clock->Now() <= 180) {
        s.Frames();
        EXPECT_EQ(s->game.Revision(), before) << s->seams.clock->Now();
    }
    s.Frames();
    EXPECT_GT(s->game.Revision(), before);
    EXPECT_TRUE(fs::exists(s.pref + "auto1.json"));
    EXPECT_EQ(s->autoSlot, 1);
    // Paused: nothing moves, not even the status line.
    s.Action(47);
    s->statusMessage = "held";
    const std::uint64_t paused = s->game.Revision();
    s.Frames(40);
    EXPECT_EQ(s->game.Revision(), paused);
    EXPECT_EQ(s->statusMessage, "held");
    s.Action(47);
    // Fast pace until the month changes twice: slots rotate 2, 3.
    s->settings.fastAI = true;
    for (int i = 0; i < 20000 && s->autoSlot != 3 && s->screen == scCampaign; ++i) s.Frames();
    EXPECT_EQ(s->autoSlot, 3);
    EXPECT_TRUE(fs::exists(s.pref + "auto3.json"));
    TGame copy;
    LoadCampaign(copy, s.pref + "auto3.json");
}

TEST(Shell, CaptivesThenRiotsAreRaisedInIdOrder) {
    THeadlessShell s("events");
    s.Frames();
    s.Action(1);
    for (int i = 0; i < 3; ++i) s.Action(20);  // The Broken Banner: every fellowship holds land
    s.Action(24);
    ASSERT_EQ(s->screen, scCampaign);
    TGame& g = s->game;
    const int human = s->setup.leaders[0];
    // Two captives held by the human fellowship and a riot in one of its provinces.
    for (int c : {40, 30}) {
        g.SetBool(g.Character(c), "captured", true);
        g.SetInt(g.Character(c), "captor", human);
    }
    int riot = 0;
    for (int p = 1; p <= kProvinceCount && riot == 0; ++p)
        if (TGame::GetInt(g.Province(p), "owner", 0) == human) riot = p;
    ASSERT_GT(riot, 0);
    g.SetBool(g.Province(riot), "riot", true);
    s->aiPaused = true;
    s.Frames();
    EXPECT_EQ(s->screen, scPrisoner);
    EXPECT_EQ(s->prisonerChar, 30);
    s.Key(kEscape);  // Escape never leaves a decision screen
    EXPECT_EQ(s->screen, scPrisoner);
    s.Action(4001);  // hold
    EXPECT_EQ(s->prisonerChar, 40);
    EXPECT_EQ(s->screen, scPrisoner);
    s.Action(4001);
    EXPECT_EQ(s->screen, scUnrest);
    EXPECT_EQ(s->selectedProvince, riot);
    s.Action(6000);
    EXPECT_EQ(s->screen, scCampaign);
}

TEST(Shell, QuickSaveLoadAndBack) {
    THeadlessShell s("quick");
    s.Frames();
    s.Action(1);
    s.Action(24);
    s->aiPaused = true;
    s.Key(kF5);
    EXPECT_EQ(s->statusMessage, "Quicksaved.");
    const std::string saved = Checksum(s->game);
    s->game.SetInt(s->game.Province(1), "gold", 1);
    s.Key(kF9);
    EXPECT_EQ(s->statusMessage, "Quickloaded.");
    EXPECT_EQ(Checksum(s->game), saved);
    // A damaged slot leaves the screen and the campaign as they were.
    std::ofstream(s.pref + "slot4.json") << "{\"schema\":1}";
    s.Action(43);
    ASSERT_EQ(s->screen, scSlots);
    s.Action(2004);
    EXPECT_EQ(s->screen, scSlots);
    EXPECT_EQ(s->statusMessage, "Save checksum failed. Your current campaign is unchanged.");
    // Back rules: slots return to where they were opened, the title returns to the campaign.
    s.Key(kEscape);
    EXPECT_EQ(s->screen, scCampaign);
    s.Action(46);
    EXPECT_EQ(s->screen, scTitle);
    s.Key(kEscape);
    EXPECT_EQ(s->screen, scCampaign);
    s.Action(7009);
    EXPECT_EQ(s->openCategory, 9);
    s.Key('0');  // the menu's Back
    EXPECT_EQ(s->openCategory, -1);
    s.Key('l');
    EXPECT_EQ(s->screen, scChronicle);
}

TEST(Shell, MusicFollowsTheCampaignAndTheVolume) {
    THeadlessShell s("music");
    s.Frames(3);
    EXPECT_EQ(s->music.currentTrack, kTrackTitle);
    const std::vector<std::uint8_t>* recorded = s->musicDevice->Recording();
    ASSERT_NE(recorded, nullptr);
    if (s->music.musicData.empty()) GTEST_SKIP() << "no music in the build tree";
    EXPECT_GT(recorded->size(), 8819u);
    EXPECT_LE(s->musicDevice->QueuedBytes(), 8819u + 4410u);
    // Pause AI plays at 40 %: the next block equals the mixer's at 40 % of the setting.
    s->aiPaused = true;
    TMusicState expected = s->music;
    while (s->musicDevice->QueuedBytes() > kMusicQueueThreshold) s->seams.clock->Sleep(16);
    const size_t from = recorded->size();
    s->UpdateMusic();
    std::vector<std::int16_t> block = MixMusicBlock(expected, s->settings.musicVolume * 40 / 100);
    ASSERT_GE(recorded->size(), from + block.size() * 2);
    for (size_t i = 0; i < block.size(); ++i) {
        const auto lo = (*recorded)[from + 2 * i];
        const auto hi = (*recorded)[from + 2 * i + 1];
        ASSERT_EQ(static_cast<std::int16_t>(lo | hi << 8), block[i]) << i;
    }
    // Muted: the device pauses; tones stay silent.
    s->settings.muted = true;
    s.Frames();
    EXPECT_TRUE(s->musicDevice->Paused());
    const size_t effects = s->effectsDevice->Recording()->size();
    s->PlayTone(true);
    EXPECT_EQ(s->effectsDevice->Recording()->size(), effects);
    s->settings.muted = false;
    s->PlayTone(false);
    EXPECT_EQ(s->effectsDevice->Recording()->size(), effects + 2 * kToneSamples);
}

}  // namespace
}  // namespace reedmark
