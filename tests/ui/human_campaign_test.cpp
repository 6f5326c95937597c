// A human campaign through reedmark-headless: a player starts a campaign on the setup
// screen and gives orders of every category through the menus and the order dialog,
// with keys and with the mouse, across month ends and a town visit. After every
// confirmation the campaign equals a copy in reedmark-sim given the same order, and a
// refused order leaves the checksum as it was.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/ui/headless_process.hpp"
#include "ui/shell.hpp"

namespace reedmark {
namespace {

using testing::TPipedProgram;

class HumanCampaign : public ::testing::Test {
   protected:
    HumanCampaign()
        : dir(MakeDir()),
          game({REEDMARK_HEADLESS_PATH, "--base", std::string(REEDMARK_BUILD_DIR) + "/", "--pref", dir + "pref"}),
          sim({REEDMARK_SIM_PATH}) {}
    ~HumanCampaign() override {
        game.Raw("quit");
        game.Close();
        sim.Close();
        std::filesystem::remove_all(dir);
    }

    static std::string MakeDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "reedmark-human-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        return pattern + "/";
    }

    TJson Key(const std::string& key) { return game.Ok("key " + key); }
    TJson Keys(const std::vector<std::string>& keys) {
        TJson st;
        for (const std::string& k : keys) st = Key(k);
        return st;
    }
    TJson Click(int x, int y) { return game.Ok("click " + std::to_string(x) + " " + std::to_string(y)); }
    TJson State() { return game.Ok("state"); }
    int Screen() { return State()["screen"].get<int>(); }

    // Runs frames until fellowship 1 has its turn on the map, answering the decisions
    // the month may raise on the way.
    void ToMyTurn() {
        for (int i = 0; i < 600; ++i) {
            const int screen = game.Ok("frame 10")["screen"].get<int>();
            if (screen == scBeast) Key("Escape");
            if (screen == scPrisoner) Click(600, 480);  // hold in custody
            if (screen == scUnrest) Click(600, 580);    // refuse
            ASSERT_NE(screen, scEnded);
            if (screen != scCampaign) continue;
            const TJson entry = game.Ok("game entry");
            if (entry["faction"] != 1) continue;
            // Provinces under an ordinary governor are played by the computer.
            const std::string province = "/provinces/" + std::to_string(entry["province"].get<int>() - 1);
            const int governor = game.Ok("game get " + province + "/governor").get<int>();
            if (governor == 1 ||
                game.Ok("game get /characters/" + std::to_string(governor - 1) + "/role") == "sworn companion")
                return;
        }
        FAIL() << "the computer players never handed over the turn";
    }

    // Confirms the open dialog with the keyboard (Tab to "Confirm order", Return) or a
    // click, then compares the campaign with a copy given the same record. Answers
    // whether the order was accepted.
    bool Confirm(bool mouse) {
        TJson st = State();
        EXPECT_EQ(st["screen"], scOrder);
        const TJson o = st["order"];
        const std::string record = std::to_string(o["order"].get<int>()) + " " + std::to_string(o["actor"].get<int>()) +
                                   " " + std::to_string(o["target"].get<int>()) + " " +
                                   std::to_string(o["quantity"].get<int>()) + " " +
                                   std::to_string(o["option"].get<int>());
        game.Ok("game save " + dir + "before.json");
        const TJson before = game.Ok("game checksum");
        if (mouse) {
            st = Click(600, 690);
        } else {
            const int confirm = st["buttonCount"].get<int>() - 2;
            for (int i = 0; i < 12 && st["focus"] != confirm; ++i) st = Key("Tab");
            EXPECT_EQ(st["focus"], confirm);
            st = Key("Return");
        }
        sim.Ok("load " + dir + "before.json");
        if (st["screen"] == scOrder) {
            SCOPED_TRACE("refused: " + record);
            EXPECT_EQ(st["order"]["dialogError"], sim.Ok("check " + record));
            EXPECT_NE(st["order"]["dialogError"], "");
            EXPECT_EQ(game.Ok("game checksum"), before);
            ++refused;
            return false;
        }
        SCOPED_TRACE("accepted: " + record);
        ++accepted;
        EXPECT_EQ(sim.Ok("check " + record), "");
        const TJson message = sim.Ok("apply " + record);
        const TJson expected = sim.Ok("checksum");
        sim.Ok("load " + dir + "pref/quick.json");
        EXPECT_EQ(sim.Ok("checksum"), expected) << message;
        // The map, or a decision the month end raised at once.
        EXPECT_TRUE(st["screen"] == scCampaign || st["screen"] == scUnrest || st["screen"] == scBeast ||
                    st["screen"] == scPrisoner)
            << st["screen"];
        return true;
    }

    // Ends the turn with Rest when the order meant to end it was refused.
    void RestIfRefused(bool accepted) {
        if (accepted) return;
        Key("Escape");
        Key("0");
        EXPECT_TRUE(Confirm(false));
    }

    int accepted = 0;
    int refused = 0;
    std::string dir;
    TPipedProgram game;
    TPipedProgram sim;
};

TEST_F(HumanCampaign, EveryCategoryThroughTheDialogMatchesTheEngine) {
    // The title, the setup screen (scenario 2, Lin Chao) and the instant AI speed.
    game.Ok("frame");
    Key("1");
    ASSERT_EQ(Screen(), scSetup);
    Click(300, 150);
    Click(900, 660);
    ASSERT_EQ(Screen(), scCampaign);
    Keys({"9", "6"});
    ASSERT_TRUE(game.Ok("settings")["fastAI"].get<bool>());
    ToMyTurn();
    const int startMonth = game.Ok("game get /month").get<int>();

    // Camp: the governor policy, stepped with the arrow key (a free action).
    Keys({"8", "4", "Right"});
    EXPECT_EQ(State()["order"]["quantity"], 1);
    EXPECT_TRUE(Confirm(false));
    // Move: troops to the default target, quantity typed after two Downs (free).
    Keys({"1", "3", "Down", "Down", "5"});
    EXPECT_EQ(State()["order"]["quantityText"], "5");
    Confirm(true);
    // Personnel: a leader at home cannot hand the province to a governor (refused).
    Keys({"5", "5"});
    EXPECT_FALSE(Confirm(true));
    Key("Escape");
    // Trade: a town visit, food bought by typing, rumours, back to the lair.
    Keys({"3", "1"});
    ASSERT_TRUE(Confirm(false));
    EXPECT_TRUE(game.Ok("game get /town").get<bool>());
    Keys({"1", "1", "2", "0"});
    EXPECT_EQ(State()["order"]["quantityText"], "20");
    EXPECT_TRUE(Confirm(true));
    Keys({"0", "2", "3"});
    Confirm(false);
    Keys({"0", "0"});
    EXPECT_EQ(State()["order"]["order"], 0);
    EXPECT_TRUE(Confirm(true));
    EXPECT_FALSE(game.Ok("game get /town").get<bool>());

    // View: the roster sorted and a record, then reconnaissance of a province chosen
    // on the chooser's map with the mouse.
    ToMyTurn();
    Keys({"4", "1"});
    EXPECT_EQ(Screen(), scRoster);
    Keys({"s", "1"});
    EXPECT_EQ(Screen(), scRecord);
    Keys({"Escape", "Escape"});
    Keys({"4", "4"});
    Click(600, 360);  // the target row
    ASSERT_EQ(Screen(), scProvince);
    const TJson anchor = game.Ok("game anchor 20");
    Click(412 + 2 * anchor[0].get<int>(), 124 + 2 * anchor[1].get<int>());
    EXPECT_EQ(State()["order"]["target"], 20);
    Click(300, 720);  // choose this province
    RestIfRefused(Confirm(false));

    // Personnel: a reward with a typed amount.
    ToMyTurn();
    Keys({"5", "2", "Down", "Down", "1", "5"});
    RestIfRefused(Confirm(true));

    // Diplomacy: a treaty with the default rival, the person chooser used by mouse.
    ToMyTurn();
    Keys({"6", "1"});
    Click(600, 360);
    ASSERT_EQ(Screen(), scCompanion);
    Key("1");
    RestIfRefused(Confirm(false));

    // Military, then Develop.
    ToMyTurn();
    Keys({"7", "1", "Down", "3"});
    RestIfRefused(Confirm(true));
    ToMyTurn();
    Keys({"2", "1"});
    RestIfRefused(Confirm(false));

    ToMyTurn();
    EXPECT_NE(game.Ok("game get /month").get<int>(), startMonth);
    EXPECT_EQ(game.Ok("game validate"), "");
    EXPECT_TRUE(std::filesystem::exists(dir + "pref/auto2.json"));
    EXPECT_GE(accepted, 10);
    EXPECT_GE(refused, 1);
}

}  // namespace
}  // namespace reedmark
