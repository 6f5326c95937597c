// The title menu, the campaign setup with its fellowship preview, and the settings and
// key-binding screens, read from the button table and the draw log.
#include <gtest/gtest.h>

#include <set>

#include "tests/fixtures/small_world.hpp"
#include "tests/ui/ui_test_helpers.hpp"
#include "ui/screens.hpp"

namespace reedmark::testing {
namespace {

class TitleScreenTest : public TShellTest {};

TEST_F(TitleScreenTest, MenuPictureAndTexts) {
    Show(scTitle);
    ExpectButtons({{820, 214, 310, 48, 1, "New campaign", '1'},
                   {820, 280, 310, 48, 2, "Continue", '2'},
                   {820, 346, 310, 48, 3, "Load campaign", '3'},
                   {820, 412, 310, 48, 4, "Settings", '4'},
                   {820, 478, 310, 48, 5, "How to play", '5'},
                   {820, 544, 310, 48, 7, "Quit", '0'}});
    EXPECT_TRUE(HasImage("title", 140, 188, 640, 408));
    ExpectText(132, 81, "THE TARN CHRONICLES", kGold, 16);
    ExpectText(164, 626, "A fellowship. A river. A kingdom to restore.", kPaleBlue, 18);
    ExpectText(164, 120, "REEDMARK", kGold, 28);
    ExpectTextsInside(108, 86, 1064, 634);
}

// The setup screen reads the small test world instead of the shipped one.
class SetupScreenTest : public TShellTest {
   protected:
    void SetUp() override {
        TShellTest::SetUp();
        *shell.world = SmallWorld();
    }
    TJson& Scenario(int k) { return (*shell.world)["scenarios"][static_cast<size_t>(k - 1)]; }
};

TEST_F(SetupScreenTest, ChoicesAndFellowshipOfTheFirstPlayer) {
    Show(scSetup);
    ExpectButtons({{54, 130, 670, 45, 20, "Scenario: 1 / The Exiles"},
                   {54, 190, 670, 45, 21, "Human players: 1 (0 = observation)"},
                   {54, 250, 670, 45, 22, "Difficulty: Standard"},
                   {54, 310, 670, 45, 23, "World seed: 730127 / fixed attributes"},
                   {54, 378, 670, 31, 30, "Player 1: Lin Chao"},
                   {804, 642, 196, 48, 24, "Begin"},
                   {1018, 642, 202, 48, 8, "Back"}});
    // Character 1 of the small world: faction 1, settled in province 4, five companions.
    EXPECT_TRUE(HasImage("portrait:1", 804, 134, 148, 200));
    ExpectText(976, 136, "Person 1", kGold, 20);
    ExpectText(976, 182, "Body 80", kNearWhite, 20);
    ExpectText(976, 220, "Strength 31", kNearWhite, 18);
    ExpectText(976, 256, "Dexterity 26", kNearWhite, 18);
    ExpectText(976, 292, "Wisdom 21", kNearWhite, 18);
    ExpectText(804, 356, "Integrity 7 / Mercy 13 / Courage 17", kPaleBlue, 14);
    ExpectText(804, 394, "Home: Province 4", kGold, 18);
    ExpectText(804, 426, "Companions: 5 / Popularity 60", kNearWhite, 16);
    EXPECT_EQ(TextsAt(804, 456), std::vector<std::string>{"Person 12, Person 23, Person 34,"});
    EXPECT_EQ(TextsAt(804, 479), std::vector<std::string>{"Person 45, Person 56"});
    EXPECT_EQ(TextsAt(804, 516), std::vector<std::string>{"A disciplined guardsman whose"});
    ExpectTextsInside(30, 98, 720, 632);
    ExpectTextsInside(778, 98, 470, 632);
}

TEST_F(SetupScreenTest, ExiledLeaderAndLeaderWithoutCompanions) {
    // Fellowship 6 is homeless in the small world; strip its companions.
    for (TJson& ch : Scenario(1)["characters"])
        if (ch.value("faction", 0) == 6 && ch["name"] != "Person 6") ch["faction"] = 0;
    shell.setup.leaders[0] = 6;
    Show(scSetup);
    ExpectText(804, 394, "Exiled in Province 36", kGold, 18);
    ExpectText(804, 426, "Companions: 0 / Popularity 110", kNearWhite, 16);
    ExpectText(804, 456, "A fellowship begins with one traveler.", kPaleBlue, 14);
}

TEST_F(SetupScreenTest, ChoicesCycleAndWrap) {
    struct TCycle {
        int action, presses;
        std::string caption;  // of the changed button afterwards
    };
    const TCycle cycles[] = {
        {20, 3, "Scenario: 4 / The Broken Banner"},
        {20, 1, "Scenario: 1 / The Exiles"},
        {22, 3, "Difficulty: Relentless"},
        {22, 1, "Difficulty: Gentle"},
        {23, 2, "World seed: 730129 / fixed attributes"},
        {21, 6, "Human players: 7 (0 = observation)"},
        {21, 1, "Human players: 0 (0 = observation)"},
    };
    for (const TCycle& c : cycles) {
        for (int i = 0; i < c.presses; ++i) shell.DispatchAction(c.action);
        Show(scSetup);
        bool found = false;
        for (const TButton& b : Buttons()) found = found || (b.action == c.action && b.caption == c.caption);
        EXPECT_TRUE(found) << c.caption;
    }
}

TEST_F(SetupScreenTest, SevenPlayersKeepDistinctLeaders) {
    shell.setup.humans = 7;
    const int expected[] = {8, 9, 10, 7, 8};  // slot 7 skips every leader the others hold
    for (int leader : expected) {
        shell.DispatchAction(36);
        ASSERT_EQ(shell.setup.leaders[6], leader);
        std::set<int> distinct(shell.setup.leaders.begin(), shell.setup.leaders.end());
        EXPECT_EQ(distinct.size(), 7u);
    }
    shell.DispatchAction(32);  // player 3: 4, 5 and 6 are held, 7 is free again
    EXPECT_EQ(shell.setup.leaders[2], 7);
    Show(scSetup);
    std::vector<TButton> buttons = Buttons();
    ASSERT_EQ(buttons.size(), 13u);
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(buttons[static_cast<size_t>(4 + i)].y, 378 + 37 * i);
        EXPECT_EQ(buttons[static_cast<size_t>(4 + i)].action, 30 + i);
    }
    EXPECT_EQ(buttons[6].caption, "Player 3: Chao Gan");
    EXPECT_EQ(buttons[10].caption, "Player 7: Li Kuei");
    // The preview follows the slot changed last.
    EXPECT_TRUE(HasImage("portrait:7", 804, 134, 148, 200));
    ExpectText(976, 136, "Person 7", kGold, 20);
}

TEST_F(SetupScreenTest, NoHumansShowsTheFirstSlotsFellowship) {
    shell.setup.humans = 0;
    shell.setup.slot = 4;
    Show(scSetup);
    for (const TButton& b : Buttons()) EXPECT_FALSE(b.action >= 30 && b.action <= 36) << b.caption;
    EXPECT_EQ(Buttons().size(), 6u);
    ExpectText(976, 136, "Person 1", kGold, 20);
}

TEST_F(SetupScreenTest, HostileWorldNeverCrashes) {
    const TJson worlds[] = {
        TJson::object(),
        {{"scenarios", "none"}},
        {{"scenarios", TJson::array({1, TJson::array()})}},
        {{"scenarios", TJson::array({{{"characters", "x"}, {"factions", 7}, {"provinces", nullptr}}})}},
        {{"scenarios", TJson::array({{{"characters", TJson::array({{{"name", 5}, {"province", 99999}}})},
                                      {"factions", TJson::array({{{"home", "x"}}})}}})}},
    };
    for (const TJson& world : worlds) {
        *shell.world = world;
        Show(scSetup);
        EXPECT_EQ(Buttons().size(), 7u) << world.dump();
    }
    // More characters than a scenario may hold: only the first 255 are read.
    TJson big = SmallWorld();
    TJson& characters = big["scenarios"][0]["characters"];
    for (int c = 0; c < 1000; ++c) characters.push_back({{"name", "Extra"}, {"faction", 1}});
    for (TJson& ch : characters) ch["faction"] = 1;
    *shell.world = big;
    Show(scSetup);
    ExpectText(804, 426, "Companions: 254 / Popularity 60", kNearWhite, 16);
}

TEST(CharacterBlurb, ByIdThenByProfession) {
    const struct {
        int id;
        const char* profession;
        const char* blurb;
    } cases[] = {
        {1, "scholar", "A disciplined guardsman whose quiet resolve steadies the fellowship."},
        {11, "", "A court politician whose careful manners conceal a relentless ambition."},
        {12, "doctor", "A practiced healer who has traveled between the river towns."},
        {200, "courtier", "An experienced servant of households, ceremonies and political affairs."},
        {40, "Doctor", "A traveler of the riverlands looking for a place and a fellowship to call home."},
        {0, "wrestler", "A powerful fighter whose reputation was earned in the public ring."},
    };
    for (const auto& c : cases) EXPECT_EQ(CharacterBlurb(c.id, c.profession), c.blurb) << c.id;
    EXPECT_EQ(LeaderName(0), "Lin Chao");
    EXPECT_EQ(LeaderName(11), "Li Yeng");
}

class SettingsScreenTest : public TShellTest {};

TEST_F(SettingsScreenTest, ButtonsShowTheSettings) {
    Show(scSettings);
    ExpectButtons({{240, 130, 800, 46, 80, "Music: 60% / click to cycle"},
                   {240, 190, 800, 46, 81, "Mute: False"},
                   {240, 250, 800, 46, 82, "AI animation: normal"},
                   {240, 310, 800, 46, 83, "Effects: 70% / click to cycle"},
                   {240, 370, 800, 46, 84, "Key bindings"},
                   {240, 430, 800, 46, 85, "Reduced motion: False"},
                   {240, 604, 800, 48, 8, "Back"}});
    ExpectText(224, 91, "SETTINGS", kGold, 16);
    EXPECT_EQ(TextsAt(242, 500).size(), 1u);
    ExpectTextsInside(200, 96, 880, 620);

    shell.settings.musicVolume = 65;
    shell.settings.muted = true;
    shell.settings.fastAI = true;
    shell.settings.effectsVolume = 0;
    shell.settings.reducedMotion = true;
    Show(scSettings);
    std::vector<TButton> b = Buttons();
    ASSERT_EQ(b.size(), 7u);
    EXPECT_EQ(b[0].caption, "Music: 65% / click to cycle");
    EXPECT_EQ(b[1].caption, "Mute: True");
    EXPECT_EQ(b[2].caption, "AI animation: instant");
    EXPECT_EQ(b[3].caption, "Effects: 0% / click to cycle");
    EXPECT_EQ(b[5].caption, "Reduced motion: True");
}

TEST_F(SettingsScreenTest, KeyBindingRowsAndCapturePrompt) {
    shell.settings.keys[4] = 'c';
    Show(scKeys);
    ExpectButtons({{240, 150, 800, 48, 5000, "Left / key 1073741904"},
                   {240, 214, 800, 48, 5001, "Right / key 1073741903"},
                   {240, 278, 800, 48, 5002, "Up / key 1073741906"},
                   {240, 342, 800, 48, 5003, "Down / key 1073741905"},
                   {240, 406, 800, 48, 5004, "Confirm / key 99"},
                   {240, 470, 800, 48, 5005, "Back / key 27"},
                   {240, 632, 800, 48, 8, "Back"}});
    EXPECT_TRUE(TextsAt(240, 550).empty());
    shell.settings.captureSlot = 4;
    Show(scKeys);
    ExpectText(240, 550, "Press a key for Confirm", kGold, 16);
    ExpectTextsInside(200, 110, 880, 606);
}

}  // namespace
}  // namespace reedmark::testing
