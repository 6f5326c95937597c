// The help pages, save slots, chronicle, fellowship table, ended campaign and the three
// decision screens, read from the button table and the draw log.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>

#include "model/queue.hpp"
#include "tests/fixtures/small_world.hpp"
#include "tests/ui/ui_test_helpers.hpp"
#include "ui/screens.hpp"

namespace reedmark::testing {
namespace {

class RecordScreenTest : public TShellTest {
   protected:
    void StartCampaign() { StartSmallCampaign(shell.game, 1, {1}); }
    void Set(const std::string& pointer, const TJson& value) { shell.game.SetAtPointer(pointer, value); }
    // The texts drawn at x, top to bottom.
    std::vector<std::string> Column(int x) const {
        std::vector<std::string> found;
        for (const TDrawCall& call : Texts())
            if (call.a == x) found.push_back(call.text);
        return found;
    }
};

TEST_F(RecordScreenTest, HelpPagesShowWholeAndWrapAround) {
    for (int page = 0; page < 6; ++page) {
        SCOPED_TRACE(page);
        shell.helpPage = page;
        Show(scHelp);
        ExpectText(124, 105, "A WAYFARER GUIDE / " + IntToStr(page + 1) + " OF 6", kGold, 16);
        ASSERT_FALSE(TextsAt(144, 160).empty());
        // The whole paragraph is shown and ends above the buttons.
        std::string shown;
        for (const TDrawCall& call : Texts()) {
            if (call.a != 144 || call.b < 160 || call.b >= 640) continue;
            EXPECT_EQ(call.colour, kPaleBlue);
            EXPECT_EQ(call.size, 22);
            shown += (shown.empty() ? "" : " ") + call.text;
        }
        EXPECT_EQ(shown, kHelpPages[page]);
        ExpectTextsInside(100, 110, 1080, 530);
    }
    ExpectButtons(
        {{144, 640, 280, 46, 70, "Previous"}, {456, 640, 280, 46, 71, "Next"}, {768, 640, 368, 46, 8, "Back"}});
    shell.helpPage = 0;
    shell.DispatchAction(70);
    Show(scHelp);
    ExpectText(124, 105, "A WAYFARER GUIDE / 6 OF 6", kGold, 16);
}

TEST_F(RecordScreenTest, SlotsShowTheSaveTimes) {
    std::vector<TExpectedButton> expected;
    for (int n = 1; n <= 10; ++n)
        expected.push_back({238, 128 + 49 * (n - 1), 804, 40, 2000 + n, "Slot " + IntToStr(n) + " / empty"});
    expected.push_back({238, 652, 804, 48, 8, "Back"});
    shell.slotsMode = 0;
    Show(scSlots);
    ExpectButtons(expected);
    ExpectText(224, 93, "LOAD CAMPAIGN", kGold, 16);

    // A slot file gets its local modification time; a directory in its place is empty.
    const std::string slot3 = shell.prefDir + "slot3.json";
    std::ofstream(slot3) << "{}";
    std::tm when{};
    when.tm_year = 2026 - 1900;
    when.tm_mon = 11;
    when.tm_mday = 7;
    when.tm_hour = 6;
    when.tm_min = 41;
    when.tm_sec = 39;
    when.tm_isdst = -1;
    const auto sys = std::chrono::system_clock::from_time_t(std::mktime(&when));
    std::filesystem::last_write_time(slot3, std::chrono::file_clock::from_sys(sys));
    std::filesystem::create_directory(shell.prefDir + "slot4.json");
    shell.slotsMode = 1;
    Show(scSlots);
    expected[2].caption = "Slot 3 / 2026-12-07 06:41:39";
    ExpectButtons(expected);
    ExpectText(224, 93, "SAVE CAMPAIGN", kGold, 16);
    ExpectTextsInside(200, 98, 880, 640);
}

TEST_F(RecordScreenTest, ChronicleShowsSeventeenLinesAndScrollsByTwelve) {
    auto entries = [](int first, int last) {
        std::vector<std::string> lines;
        for (int i = first; i <= last; ++i) lines.push_back("Entry " + IntToStr(i));
        return lines;
    };
    // Five lines show from the top, and "Older" changes nothing visible.
    for (int i = 1; i <= 5; ++i) shell.game.AddLog("Entry " + IntToStr(i));
    Show(scChronicle);
    ExpectButtons({{78, 664, 200, 40, 50, "Older"}, {300, 664, 200, 40, 51, "Newer"}, {990, 664, 210, 40, 8, "Back"}});
    for (int i = 0; i < 5; ++i) ExpectText(78, 136 + 30 * i, "Entry " + IntToStr(i + 1), kPaleBlue, 16);
    shell.DispatchAction(50);
    Show(scChronicle);
    EXPECT_EQ(Column(78), entries(1, 5));
    shell.DispatchAction(51);

    // Thirty-one lines: the newest at the bottom, each cut to its first wrapped line.
    for (int i = 6; i <= 30; ++i) shell.game.AddLog("Entry " + IntToStr(i));
    shell.game.AddLog("tail " + std::string(200, 'w'));
    const struct {
        int action, first, last;
    } steps[] = {{0, 15, 30}, {50, 3, 19}, {50, 1, 17}, {51, 3, 19}, {51, 15, 30}, {51, 15, 30}};
    for (const auto& step : steps) {
        if (step.action != 0) shell.DispatchAction(step.action);
        Show(scChronicle);
        std::vector<std::string> expected = entries(step.first, step.last);
        if (step.last == 30) expected.push_back("tail");
        EXPECT_EQ(Column(78), expected) << "scroll " << shell.listScroll;
    }
    EXPECT_EQ(TextsAt(78, 136 + 30 * 16), std::vector<std::string>{"tail"});
}

TEST_F(RecordScreenTest, TreatyTableRowsAndTreaties) {
    StartCampaign();
    Set("/treaties", TJson::array());
    Show(scTreaties);
    ExpectButtons(
        {{90, 672, 220, 40, 50, "Previous"}, {336, 672, 220, 40, 51, "Next"}, {960, 672, 220, 40, 8, "Back"}});
    ExpectText(90, 138, "LEADER             LANDS    SOLDIERS   POPULARITY   WRIT", kGold, 20);
    ExpectText(90, 574, "Your treaties: None.", kPaleBlue, 18);
    char row[128];
    std::snprintf(row, sizeof row, "%-18s %3d      %5d       %3d       %s", "Person 1", 1,
                  shell.game.ProvinceSoldiers(4), TGame::GetInt(shell.game.Faction(1), "popularity", 0), "No");
    ExpectText(90, 180, row, kNearWhite, 20);
    for (int f = 1; f <= 11; ++f) EXPECT_EQ(TextsAt(90, 180 + 33 * (f - 1)).size(), 1u) << f;
    EXPECT_TRUE(TextsAt(90, 180 + 33 * 11).empty());
    ExpectTextsInside(60, 100, 1160, 630);

    // Only the treaties of the fellowship whose turn it is; a broken element is skipped.
    const int current = CurrentFaction(shell.game);
    ASSERT_GE(current, 1);
    const int other = current == 1 ? 2 : 1;
    std::vector<int> strangers;
    for (int f = 7; f <= 10; ++f)
        if (f != current) strangers.push_back(f);
    Set("/treaties", TJson::array({5,
                                   {{"a", strangers[0]}, {"b", strangers[1]}, {"years", 1}},
                                   {{"a", other}, {"b", current}, {"years", 2}},
                                   {{"a", current}, {"b", 999}, {"years", 3}}}));
    Show(scTreaties);
    ASSERT_FALSE(TextsAt(90, 574).empty());
    EXPECT_EQ(TextsAt(90, 574)[0], "Your treaties: Person " + IntToStr(other) + " (2 years);  (3 years); ");
}

TEST_F(RecordScreenTest, TreatyTableLongNamesTwelveRowsAndScrolling) {
    StartCampaign();
    Set("/characters/0/name", "Wandering Reedcutter Lin");
    for (int f = 12; f <= 30; ++f) Set("/factions/" + IntToStr(f - 1) + "/active", true);
    Show(scTreaties);
    // A name longer than its column pushes the other columns right.
    std::vector<std::string> first = TextsAt(90, 180);
    ASSERT_EQ(first.size(), 1u);
    EXPECT_EQ(first[0].rfind("Wandering Reedcutter Lin   1      ", 0), 0u) << first[0];
    EXPECT_EQ(first[0].size(), 24u + 34u);
    // Rows stop at y 546: twelve of the thirty fellowships show.
    int rows = 0;
    for (const TDrawCall& call : Texts()) rows += call.a == 90 && call.b >= 180 && call.b <= 546;
    EXPECT_EQ(rows, 12);
    EXPECT_EQ(TextsAt(90, 543).size(), 1u);
    shell.DispatchAction(51);
    Show(scTreaties);
    ASSERT_EQ(TextsAt(90, 180).size(), 1u);
    EXPECT_EQ(TextsAt(90, 180)[0].rfind("Person 13 ", 0), 0u);
    shell.DispatchAction(50);
    shell.DispatchAction(50);
    EXPECT_EQ(shell.listScroll, 0);
}

TEST_F(RecordScreenTest, EndedShowsTheResult) {
    StartCampaign();
    Set("/result", "The northern host crosses the frozen river and the chronicle ends.");
    Show(scEnded);
    ExpectButtons({{200, 540, 420, 50, 3, "Load campaign"},
                   {650, 540, 420, 50, 1, "New campaign"},
                   {200, 602, 870, 42, 46, "Return to main menu"}});
    ExpectText(174, 155, "CHRONICLE ENDED", kGold, 16);
    ExpectText(200, 240, "The northern host crosses the frozen river and", kPaleBlue, 24);
    ExpectText(200, 271, "the chronicle ends.", kPaleBlue, 24);
}

TEST_F(RecordScreenTest, PrisonerDecisions) {
    StartCampaign();
    shell.prisonerChar = 5;
    Show(scPrisoner);
    ExpectButtons({{190, 396, 880, 50, 4000, "Recruit / may be refused"},
                   {190, 464, 880, 50, 4001, "Hold in custody"},
                   {190, 532, 880, 50, 4002, "Release"},
                   {190, 600, 880, 50, 4003, "Execute / final decision"}});
    ExpectText(174, 105, "PRISONER RESOLUTION", kGold, 16);
    EXPECT_TRUE(HasImage("portrait:5", 190, 156, 128, 160));
    ExpectText(360, 166, "Person 5", kGold, 24);
    ASSERT_FALSE(TextsAt(360, 224).empty());
    ExpectTextsInside(150, 110, 980, 610);
}

TEST_F(RecordScreenTest, UnrestDecision) {
    StartCampaign();
    shell.selectedProvince = 4;
    Show(scUnrest);
    ExpectButtons({{210, 480, 860, 52, 6000, "Pay 30 Gold"}, {210, 554, 860, 52, 6001, "Refuse"}});
    ExpectText(184, 135, "UNREST IN PROVINCE 4", kGold, 16);
    EXPECT_EQ(TextsAt(210, 220).size(), 1u);
    ExpectTextsInside(160, 140, 960, 510);
}

TEST_F(RecordScreenTest, BeastNotice) {
    StartCampaign();
    Set("/beastNotices", TJson::array());
    Show(scBeast);
    EXPECT_EQ(Buttons().size(), 0u);
    EXPECT_FALSE(HasImage("town", 196, 164, 304, 216));

    Set("/beastNotices", TJson::array({{{"province", 4},
                                        {"beast", 3},
                                        {"foodBefore", 400},
                                        {"foodLoss", 20},
                                        {"foodAfter", 380},
                                        {"month", 5},
                                        {"year", 321}}}));
    Show(scBeast);
    ExpectButtons({{196, 626, 416, 52, 6750, "Understood"}, {640, 626, 444, 52, 6751, "Plan beast expedition"}});
    ExpectText(174, 105, "WILD BEAST: TIGER", kGold, 16);
    EXPECT_TRUE(HasImage("town", 196, 164, 304, 216));
    ExpectText(196, 408, "Province 4", kGold, 24);
    ExpectText(538, 172, "A tiger terrorises the", 0xE0705C, 24);
    ExpectText(196, 452, "Food before: 400", kNearWhite, 18);
    ExpectText(196, 488, "Food lost: 20", 0xE0705C, 18);
    ExpectText(196, 524, "Food left: 380", kNearWhite, 18);
    ExpectText(196, 566, "Reported: 5/321", kGrey, 16);
    EXPECT_FALSE(TextsAt(538, 280).empty());
    EXPECT_FALSE(TextsAt(538, 444).empty());
    ExpectTextsInside(150, 110, 980, 610);
}

// Ids out of range and values of the wrong kind in a loaded campaign draw as blanks.
TEST_F(RecordScreenTest, HostileDocumentsDrawWithoutHarm) {
    StartCampaign();
    Set("/beastNotices", TJson::array({{{"province", 500}, {"beast", -7}, {"foodBefore", "lots"}}}));
    Set("/treaties", "none");
    Set("/factions/0/active", "yes");
    Set("/result", 12);
    shell.prisonerChar = 9999;
    shell.selectedProvince = -3;
    shell.listScroll = 2'000'000'000;
    const struct {
        int screen;
        size_t buttons;
    } screens[] = {{scBeast, 2}, {scTreaties, 3}, {scPrisoner, 4}, {scUnrest, 2}, {scEnded, 3}, {scChronicle, 3}};
    for (const auto& c : screens) {
        Show(c.screen);
        EXPECT_EQ(Buttons().size(), c.buttons) << c.screen;
    }
    Show(scBeast);
    ExpectText(174, 105, "WILD BEAST: BEAST", kGold, 16);
    ExpectText(196, 452, "Food before: 0", kNearWhite, 18);
    Show(scUnrest);
    ExpectText(184, 135, "UNREST IN ", kGold, 16);
}

}  // namespace
}  // namespace reedmark::testing
