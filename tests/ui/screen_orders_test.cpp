// The campaign screens in process: the map screen's panels, the order dialog's fields,
// keys, check and confirmation, the person and province choosers, the roster and the
// character record, and the town.
#include <algorithm>
#include <cctype>
#include <filesystem>

#include "model/ai.hpp"
#include "model/campaign.hpp"
#include "model/orders.hpp"
#include "model/queue.hpp"
#include "model/saves.hpp"
#include "tests/ui/ui_test_helpers.hpp"
#include "ui/screens.hpp"

namespace reedmark {
namespace {

using testing::TShellTest;

// Scenario 2 with Lin Chao (fellowship 1) as the one human, played up to his first turn.
class CampaignScreenTest : public TShellTest {
   protected:
    void SetUp() override {
        TShellTest::SetUp();
        NewCampaign(shell.game, std::string(REEDMARK_BUILD_DIR) + "/assets/data/world.json", 2, 1, 2,
                    {1, 2, 3, 4, 5, 6, 7}, 730127);
        for (int i = 0; i < 2000 && !HumanDecidesCurrentEntry(shell.game); ++i) RunComputerTurns(shell.game, 8);
        ASSERT_EQ(CurrentFaction(shell.game), 1);
        shell.aiPaused = true;
        shell.selectedProvince = CurrentProvince(shell.game);
        Show(scCampaign);
    }
    void Key(int key) {
        shell.HandleKey(key, 0);
        shell.DrawFrame();
    }
    void Act(int code) {
        shell.DispatchAction(code);
        shell.DrawFrame();
    }
    void Click(int x, int y) {
        shell.HandleMouseDown(x, y);
        shell.DrawFrame();
    }
    // A canvas point of the map (at origin ox, oy) inside province p.
    std::pair<int, int> PointIn(int p, int ox, int oy) const {
        for (int y = 0; y < kAtlasHeight; ++y)
            for (int x = 0; x < kAtlasWidth; ++x)
                if (shell.atlas->ProvinceAt(x, y) == p) return {ox + 2 * x, oy + 2 * y};
        return {0, 0};
    }
    std::vector<std::string> Captions() const {
        std::vector<std::string> captions;
        for (const TButton& b : Buttons()) captions.push_back(b.caption);
        return captions;
    }
    int P() const { return CurrentProvince(shell.game); }
};

TEST_F(CampaignScreenTest, MapScreenPanelsStatusBarAndClicks) {
    const int p = P();
    const std::string name = TGame::GetStr(shell.game.Province(p), "name");
    ExpectText(32, 26, IntToStr(p) + ": " + name, kNameViolet, 24);
    ExpectText(442, 64, "Orders", kRed, 20);
    ExpectText(32, 99, "Lin Chao fellowship", FactionColour(1), 22);
    ExpectText(190, 358, "Bound by river and oath", kDarkBlue, 18);
    ExpectText(202, 598, "Leader", kGold, 24);
    ExpectText(586, 534, IntToStr(p) + ": " + name + " / Lin Chao", kNearWhite, 16);
    // Ten command items with hotkeys 1..9 and 0.
    ASSERT_EQ(shell.draw.ButtonCount(), 10);
    EXPECT_EQ(shell.draw.Button(9).caption, "Rest");
    EXPECT_EQ(shell.draw.Button(9).hotkey, '0');

    // A map click selects another province: "Orders" goes, the fellowship stays.
    auto [x, y] = PointIn(20, 568, 16);
    Click(x, y);
    EXPECT_EQ(shell.selectedProvince, 20);
    EXPECT_EQ(shell.statusMessage, "Province 20 / " + TGame::GetStr(shell.game.Province(20), "name") + ".");
    EXPECT_TRUE(TextsAt(442, 64).empty());
    ExpectText(190, 326, "Lin Chao", kBlack, 24);
    Click(567, y);
    EXPECT_EQ(shell.selectedProvince, 20);

    // A category: its panel, items with hotkeys, Back with '0'; the command items lose theirs.
    Key('2');
    EXPECT_EQ(shell.openCategory, 2);
    EXPECT_EQ(shell.draw.focusIndex, 10);
    ExpectText(700, 175, "DEVELOP", kGold, 16);
    EXPECT_EQ(shell.draw.Button(0).hotkey, 0);
    EXPECT_EQ(Captions().back(), "Back");
    EXPECT_EQ(shell.draw.Button(14).caption, "Give citizens");
    Key('0');
    EXPECT_EQ(shell.openCategory, -1);
}

TEST_F(CampaignScreenTest, DialogFieldRowsFollowTheOrder) {
    struct TCase {
        int order;
        std::vector<std::string> captions;
    };
    const std::string here = IntToStr(P()) + ": " + TGame::GetStr(shell.game.Province(P()), "name");
    const std::vector<TCase> cases = {
        {oRest, {"Confirm order", "Cancel / Esc"}},
        {oHire, {"Companion: Lin Chao", "Quantity: 10 / type digits", "-", "+", "Confirm order", "Cancel / Esc"}},
        {oScout, {"Companion: Lin Chao", "Target: " + here + " / choose", "Confirm order", "Cancel / Esc"}},
        {oPolicy, {"Governor policy: Balanced / change", "Confirm order", "Cancel / Esc"}},
        {oHunt, {"Companion: Lin Chao", "Hunt for: Food / change", "Confirm order", "Cancel / Esc"}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(OrderName(static_cast<TOrder>(c.order)));
        Act(100 + c.order);
        ASSERT_EQ(shell.screen, scOrder);
        EXPECT_EQ(Captions(), c.captions);
        for (size_t i = 0; i + 2 < c.captions.size(); ++i) {
            if (c.captions[i] == "-" || c.captions[i] == "+") continue;
            EXPECT_EQ(shell.draw.Button(static_cast<int>(i)).x, 420);
        }
        TOrderRecord record{static_cast<TOrder>(c.order), shell.order.actor, shell.order.target, shell.order.quantity,
                            shell.order.option};
        ExpectText(
            72, 85,
            [&] {
                std::string t = OrderName(record.order);
                for (char& ch : t) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
                return t;
            }(),
            kGold, 16);
        ExpectText(420, 126, WrapLines(776, PreviewOrder(shell.game, record), 18, 5)[0], kPaleBlue, 18);
        const std::string check = CheckOrder(shell.game, record);
        ExpectText(420, 546, WrapLines(776, check.empty() ? "Ready. Confirm to give this order." : check, 18, 4)[0],
                   kGold, 18);
        Key(27);
        EXPECT_EQ(shell.screen, scCampaign);
    }
    EXPECT_EQ(shell.draw.Button(1).y, 634);
}

TEST_F(CampaignScreenTest, DialogKeysEditFieldsAndTabFollowsTheFocus) {
    Act(100 + oHire);
    EXPECT_EQ(shell.order.activeField, 0);
    Key('5');  // not the quantity field: nothing
    EXPECT_EQ(shell.order.quantityText, "10");
    Key(SDLK_DOWN);
    EXPECT_EQ(shell.order.activeField, 2);
    EXPECT_EQ(shell.draw.focusIndex, shell.order.fieldButton[2]);
    for (int k : {'2', '5', '1', '2', '3', '4'}) Key(k);
    EXPECT_EQ(shell.order.quantityText, "25123");
    Key(SDLK_BACKSPACE);
    EXPECT_EQ(shell.order.quantityText, "2512");
    Act(62);  // edit-quantity: the next digit replaces the text
    Key('7');
    Key(SDLK_RIGHT);
    EXPECT_EQ(shell.order.quantityText, "8");
    Act(64);
    Act(64);
    for (int i = 0; i < 10; ++i) Act(64);
    EXPECT_EQ(shell.order.quantityText, "1");
    Key(SDLK_DOWN);  // wraps past the unused option and target fields to the companion
    EXPECT_EQ(shell.order.activeField, 0);

    // Left and Right step round the local members and come back.
    std::vector<int> members;
    for (int c = 1; c <= kCharacterCount; ++c)
        if (shell.game.IsLocalMember(c, P(), 1)) members.push_back(c);
    ASSERT_GE(members.size(), 2u);
    Key(SDLK_RIGHT);
    EXPECT_EQ(shell.order.actor, members[1]);
    for (size_t i = 0; i < members.size(); ++i) Key(SDLK_RIGHT);
    EXPECT_EQ(shell.order.actor, members[1]);
    Key(SDLK_LEFT);
    EXPECT_EQ(shell.order.actor, members[0]);

    // Tab puts the active field on the focused row; Confirm is no field.
    shell.draw.focusIndex = 0;
    Key(SDLK_TAB);
    EXPECT_EQ(shell.order.activeField, 2);
    Key(SDLK_TAB);
    Key(SDLK_TAB);
    Key(SDLK_TAB);
    EXPECT_EQ(shell.order.activeField, 4);

    // An order without fields: Up and Down change nothing.
    Act(100 + oRest);
    shell.draw.focusIndex = 1;
    Key(SDLK_UP);
    EXPECT_EQ(shell.draw.focusIndex, 1);
    EXPECT_EQ(shell.order.activeField, 4);

    // Options: hunting for fur opens set to fur; the policy steps both ways.
    Act(6701);
    EXPECT_EQ(shell.order.option, 1);
    EXPECT_EQ(Captions()[1], "Hunt for: Fur / change");
    Act(63);
    EXPECT_EQ(shell.order.option, 0);
    Act(100 + oPolicy);
    Key(SDLK_LEFT);
    EXPECT_EQ(Captions()[0], "Governor policy: Expand / change");
    Key(SDLK_RIGHT);
    Key(SDLK_RIGHT);
    EXPECT_EQ(shell.order.quantity, 1);
}

TEST_F(CampaignScreenTest, ConfirmIsTheEnginesApplyOrderAndARefusalChangesNothing) {
    const std::string before = Checksum(shell.game);
    Act(100 + oRest);
    Key(27);
    EXPECT_EQ(shell.screen, scCampaign);
    Act(100 + oRest);
    Act(67);
    EXPECT_EQ(shell.statusMessage, "Order cancelled. No changes committed.");

    Act(100 + oHire);
    shell.order.activeField = 2;
    for (int k : {'9', '9', '9'}) Key(k);
    const std::string refusal = CheckOrder(shell.game, {oHire, shell.order.actor, shell.order.target, 999, 0});
    ASSERT_NE(refusal, "");
    Act(66);
    EXPECT_EQ(shell.screen, scOrder);
    EXPECT_EQ(shell.order.dialogError, refusal);
    ExpectText(420, 546, refusal, kGold, 18);
    EXPECT_EQ(Checksum(shell.game), before);
    Key(SDLK_BACKSPACE);  // editing clears the error line
    EXPECT_EQ(shell.order.dialogError, "");

    TGame copy;
    copy.ReplaceDocument(*shell.game.Document());
    const std::string expected = ApplyOrder(copy, {oHire, shell.order.actor, shell.order.target, 9, 0});
    Key(SDLK_BACKSPACE);
    Act(66);
    EXPECT_EQ(shell.screen, scCampaign);
    EXPECT_EQ(shell.statusMessage, expected);
    EXPECT_EQ(Checksum(shell.game), Checksum(copy));
    EXPECT_TRUE(std::filesystem::exists(pref.Dir() + "quick.json"));
}

TEST_F(CampaignScreenTest, PersonChooserCardsPagingAndPicking) {
    Act(100 + oReward);
    Act(61);
    ASSERT_EQ(shell.screen, scCompanion);
    ExpectText(54, 93, "CHOOSE A PERSON", kGold, 16);
    ExpectText(52, 120, "Choose a person, then confirm your order.", kPaleBlue, 18);
    const std::vector<int> list = BuildChooserList(shell, 1);
    const int shown = std::min<int>(6, static_cast<int>(list.size()));
    for (int k = 0; k < shown; ++k) {
        const TButton& b = shell.draw.Button(k);
        EXPECT_EQ(b.x, 48 + 604 * (k % 2));
        EXPECT_EQ(b.y, 168 + 164 * (k / 2));
        EXPECT_EQ(b.action, 6300 + list[static_cast<size_t>(k)]);
        EXPECT_EQ(b.hotkey, '1' + k);
    }
    const std::string count = IntToStr(list.size());
    ExpectText(466, 722, "1-" + IntToStr(shown) + " of " + count, kPaleBlue, 18);
    Act(6231);  // a list of at most six has no next page
    EXPECT_EQ(shell.order.chooserPage, list.size() > 6 ? 6 : 0);
    Act(6230);
    Key('2');
    EXPECT_EQ(shell.screen, scOrder);
    EXPECT_EQ(shell.order.target, list[1]);
    Act(60);
    ExpectText(54, 93, "CHOOSE A COMPANION", kGold, 16);
    Act(6206);
    EXPECT_EQ(shell.screen, scOrder);
    Act(100 + oTreaty);
    Act(61);
    ExpectText(54, 93, "CHOOSE A LEADER", kGold, 16);
}

TEST_F(CampaignScreenTest, ProvinceChooserMapClicksAndCancel) {
    Act(100 + oScout);
    const int start = shell.order.target;
    Act(61);
    ASSERT_EQ(shell.screen, scProvince);
    EXPECT_TRUE(HasImage("atlas", 412, 124, 696, 544));
    auto [x, y] = PointIn(30, 412, 124);
    Click(x, y);
    EXPECT_EQ(shell.order.target, 30);
    ExpectText(64, 144, "30: " + TGame::GetStr(shell.game.Province(30), "name"), kNameViolet, 22);
    auto [x2, y2] = PointIn(31, 412, 124);
    Click(x2, y2);
    Key(27);
    EXPECT_EQ(shell.screen, scOrder);
    EXPECT_EQ(shell.order.target, start);
    Act(61);
    Click(x, y);
    Act(6205);
    EXPECT_EQ(shell.screen, scOrder);
    EXPECT_EQ(shell.order.target, 30);
    EXPECT_EQ(Captions()[1], "Target: 30: " + TGame::GetStr(shell.game.Province(30), "name") + " / choose");
}

TEST_F(CampaignScreenTest, RosterSortsFiltersPagesAndRecord) {
    // Names that test the case-blind sort and its tie-break by id.
    std::vector<int> here;
    for (int c = 1; c <= kCharacterCount; ++c) {
        TObj ch = shell.game.Character(c);
        if (ch && TGame::GetBool(ch, "alive") && TGame::GetInt(ch, "province", 0) == P()) here.push_back(c);
    }
    ASSERT_GE(here.size(), 3u);
    const size_t n = here.size();
    shell.game.SetStr(shell.game.Character(here[n - 1]), "name", "aab");
    shell.game.SetStr(shell.game.Character(here[0]), "name", "AAC");
    shell.game.SetStr(shell.game.Character(here[1]), "name", "aab");
    Act(40);
    ASSERT_EQ(shell.screen, scRoster);
    EXPECT_EQ(Captions()[0], "Sort: ID (S)");
    EXPECT_EQ(Captions()[1], "Show: All people (F)");
    Key('s');
    EXPECT_EQ(Captions()[0], "Sort: Name (S)");
    std::vector<int> sorted = BuildChooserList(shell, -1);
    auto at = [&](int id) { return std::find(sorted.begin(), sorted.end(), id) - sorted.begin(); };
    EXPECT_LT(at(here[1]), at(here[n - 1]));
    EXPECT_LT(at(here[n - 1]), at(here[0]));
    EXPECT_EQ(shell.draw.Button(2).action, 1000 + sorted[0]);
    EXPECT_EQ(shell.draw.Button(2).hotkey, '1');

    // A page beyond the end snaps back to the last page; an empty view says so.
    shell.listScroll = 40;
    shell.DrawFrame();
    EXPECT_EQ(shell.listScroll, (static_cast<int>(n) - 1) / 8 * 8);
    for (int i = 0; i < 3; ++i) Key('f');
    EXPECT_EQ(Captions()[1], "Show: Prisoners (F)");
    ExpectText(60, 208, "No people match this view.", kPaleBlue, 20);
    ExpectText(466, 722, "0-0 of 0", kPaleBlue, 18);
    Key('f');

    Act(1000 + here[0]);
    ASSERT_EQ(shell.screen, scRecord);
    TObj ch = shell.game.Character(here[0]);
    EXPECT_EQ(shell.statusMessage, "AAC / " + TGame::GetStr(ch, "profession") + " / Integrity " +
                                       IntToStr(TGame::GetInt(ch, "integrity", 0)) + " Mercy " +
                                       IntToStr(TGame::GetInt(ch, "mercy", 0)) + " Courage " +
                                       IntToStr(TGame::GetInt(ch, "courage", 0)));
    ExpectText(390, 160, "AAC", kGold, 28);
    ExpectText(190, 410, "Strength", kGold, 16);
    ExpectText(294, 410, IntToStr(TGame::GetInt(ch, "strength", 0)), kNearWhite, 16);
    Key(27);
    EXPECT_EQ(shell.screen, scRoster);
}

TEST_F(CampaignScreenTest, TownPricesClosedPlacesAndMenus) {
    const int p = P();
    TObj prov = shell.game.Province(p);
    shell.game.SetBool(prov, "smithy", false);
    shell.game.SetBool(prov, "shipyard", true);
    Act(100 + oTown);
    shell.townMenu = 3;
    Act(66);
    ASSERT_TRUE(TGame::GetBool(shell.game.Root(), "town"));
    EXPECT_EQ(shell.townMenu, 0);
    const int rate = TGame::GetInt(prov, "rate", 0);
    ExpectText(1080, 350, PriceText(shell.game, oBuyFood, p) + " / " + PriceText(shell.game, oSellFood, p),
               kProfessionBrown, 16);
    ExpectText(1080, 422, IntToStr((rate + 4) / 5), kDarkGrey, 16);
    ExpectText(1080, 458, IntToStr((rate + 1) / 2), kProfessionBrown, 16);
    ExpectText(808, 508, "Smithy closed / Shipyard open", kProfessionBrown, 16);
    EXPECT_EQ(Captions(), (std::vector<std::string>{"Save", "Load", "People", "Help", "Return to lair", "Marketplace",
                                                    "Downtown", "Smithy (closed)", "Shipyard"}));
    ExpectText(840, 683, "Smithy (closed)", kDarkGrey, 24);

    Key('1');
    EXPECT_EQ(shell.townMenu, 1);
    ExpectText(808, 586, "MARKETPLACE", kGold, 22);
    Key(27);
    EXPECT_EQ(shell.townMenu, 0);
    Key('1');
    Key('0');
    EXPECT_EQ(shell.townMenu, 0);
    Key('0');
    ASSERT_EQ(shell.screen, scOrder);
    EXPECT_EQ(shell.order.order, oRest);
    ExpectText(420, 126,
               WrapLines(776,
                         "End your visit and return to the lair. Confirmed transactions are retained. This closes the "
                         "province order.",
                         18, 5)[0],
               kPaleBlue, 18);
}

}  // namespace
}  // namespace reedmark
