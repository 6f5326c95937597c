// Seasonal and random events of a province, riots, beasts, the annual tax and the
// Royal Writ grants.
#include <gtest/gtest.h>

#include "model/events.hpp"
#include "model/game.hpp"
#include "model/random.hpp"
#include "model/writ.hpp"
#include "tests/model/month_end_helpers.hpp"

namespace reedmark::testing {
namespace {

constexpr int kHuman = 4;     // fellowship 1 (human) holds province 4
constexpr int kComputer = 8;  // fellowship 2 (computer) holds province 8
constexpr int kWild = 1;      // unclaimed

class EventsTest : public ::testing::Test {
protected:
    void SetUp() override {
        StartSmallCampaign(game, 3, {1});
        SetRule(game, "beastChancePercent", 0);
        game.ClearChronicle();
    }
    TObj Prov(int p) { return game.Province(p); }
    TObj Ch(int c) { return game.Character(c); }
    int Get(TObj obj, const std::string& key) { return TGame::GetInt(obj, key, -1); }
    // Runs the events of p in `month` with R = r.
    void Events(int p, int month, int r) {
        game.SetInt(game.Root(), "month", month);
        SetRng(game, StateGiving(r));
        RunProvinceEvents(game, p);
    }
    TGame game;
};

TEST_F(EventsTest, TyphoonThresholdFollowsFloodWorks) {
    game.SetInt(Prov(kHuman), "flood", 100);
    Events(kHuman, 7, 2);
    EXPECT_EQ(Get(Prov(kHuman), "flood"), 100);
    EXPECT_TRUE(game.Chronicle().empty());
    Events(kHuman, 7, 1);
    EXPECT_EQ(Get(Prov(kHuman), "flood"), 95);
    EXPECT_EQ(Get(Prov(kHuman), "land"), 40);
    EXPECT_EQ(Get(Prov(kHuman), "wealth"), 37);
    EXPECT_EQ(Get(Prov(kHuman), "food"), 360);
    EXPECT_EQ(Get(Prov(kHuman), "rate"), 60);
    EXPECT_EQ(LastLine(game), "Typhoon strikes Province 4.");

    game.SetInt(Prov(kComputer), "flood", 0);
    Events(kComputer, 6, 12);
    EXPECT_EQ(Get(Prov(kComputer), "flood"), 0);
    Events(kComputer, 8, 11);
    EXPECT_EQ(Get(Prov(kComputer), "flood"), 0);  // capped at 0
    EXPECT_EQ(Get(Prov(kComputer), "land"), 40);
    EXPECT_EQ(LastLine(game), "Typhoon strikes Province 4.");  // computer typhoons are silent
}

TEST_F(EventsTest, NorthernRowsGetSnowFourTimesAsOften) {
    game.SetInt(Prov(kWild), "r", 2);
    Events(kWild, 1, 11);
    EXPECT_TRUE(TGame::GetBool(Prov(kWild), "snow"));
    EXPECT_EQ(Get(Prov(kWild), "land"), 47);
    EXPECT_EQ(Get(Prov(kWild), "support"), 58);
    game.SetInt(Prov(kWild), "r", 3);
    game.SetBool(Prov(kWild), "snow", false);
    Events(kWild, 1, 11);
    EXPECT_FALSE(TGame::GetBool(Prov(kWild), "snow"));
    Events(kWild, 12, 2);
    EXPECT_TRUE(TGame::GetBool(Prov(kWild), "snow"));
    game.SetBool(Prov(kWild), "snow", false);
    Events(kWild, 3, 0);  // spring: an outbreak instead
    EXPECT_FALSE(TGame::GetBool(Prov(kWild), "snow"));
}

TEST_F(EventsTest, EpidemicStrikesTwoMonthEndsInARow) {
    TObj leader = Ch(1);
    game.SetInt(leader, "soldiers", 40);
    Events(kHuman, 4, 1);
    EXPECT_EQ(Get(Prov(kHuman), "epidemic"), 1);
    EXPECT_EQ(Get(Prov(kHuman), "wealth"), 40);
    EXPECT_EQ(Get(Prov(kHuman), "support"), 55);
    EXPECT_EQ(Get(leader, "body"), 50);
    EXPECT_EQ(Get(leader, "soldiers"), 38);
    Events(kHuman, 5, 1);  // no new outbreak while one runs
    EXPECT_EQ(Get(Prov(kHuman), "epidemic"), 0);
    EXPECT_EQ(Get(leader, "body"), 40);
    EXPECT_EQ(Get(leader, "soldiers"), 37);
    Events(kHuman, 6, 50);
    EXPECT_EQ(Get(leader, "body"), 40);
}

TEST_F(EventsTest, FairSeasonCheersLocalsAndFreeResidents) {
    Events(kHuman, 3, 15);
    EXPECT_EQ(Get(Prov(kHuman), "support"), 60);
    Events(kHuman, 9, 14);
    EXPECT_EQ(Get(Prov(kHuman), "support"), 65);
    EXPECT_EQ(Get(Ch(12), "body"), 63);
    EXPECT_EQ(Get(Ch(12), "loyalty"), Clamp(60 + 12 % 40 + 3, 0, 100));
    // Person 98 is a free resident of province 1 (98 % 49 + 1).
    ASSERT_EQ(Get(Ch(98), "province"), kWild);
    game.SetInt(Ch(98), "body", 79);
    Events(kWild, 3, 14);
    EXPECT_EQ(Get(Ch(98), "body"), 80);  // capped at bodyMax
}

TEST_F(EventsTest, RiotThresholds) {
    game.SetInt(Prov(kHuman), "support", 40);
    Events(kHuman, 4, 16);
    EXPECT_FALSE(TGame::GetBool(Prov(kHuman), "riot"));
    Events(kHuman, 4, 15);
    EXPECT_TRUE(TGame::GetBool(Prov(kHuman), "riot"));  // a human's riot waits
    EXPECT_TRUE(game.Chronicle().empty());
    for (int support : {56, 39}) {
        game.SetBool(Prov(kHuman), "riot", false);
        game.SetInt(Prov(kHuman), "support", support);
        Events(kHuman, 4, 2);
        EXPECT_FALSE(TGame::GetBool(Prov(kHuman), "riot")) << support;
    }
    game.SetBool(Prov(kWild), "riot", false);
    game.SetInt(Prov(kWild), "support", 45);
    Events(kWild, 4, 2);
    EXPECT_FALSE(TGame::GetBool(Prov(kWild), "riot"));  // nobody to riot against
}

TEST_F(EventsTest, ComputerRiotsSettleAtOnce) {
    game.SetInt(Prov(kComputer), "support", 40);
    game.SetInt(Prov(kComputer), "gold", 30);
    Events(kComputer, 4, 10);
    EXPECT_FALSE(TGame::GetBool(Prov(kComputer), "riot"));
    EXPECT_EQ(Get(Prov(kComputer), "gold"), 0);
    EXPECT_EQ(Get(Prov(kComputer), "support"), 43);
    EXPECT_EQ(LastLine(game), "The unrest in Province 8 ends peacefully.");

    game.SetInt(Prov(kComputer), "support", 40);
    game.SetInt(Prov(kComputer), "gold", 29);
    int governor = Get(Prov(kComputer), "governor");
    ASSERT_EQ(governor, 2);
    Events(kComputer, 4, 10);
    EXPECT_FALSE(TGame::GetBool(Prov(kComputer), "riot"));
    EXPECT_EQ(Get(Prov(kComputer), "support"), 30);
    EXPECT_EQ(Get(Prov(kComputer), "gold"), 24);
    EXPECT_EQ(Get(Prov(kComputer), "food"), 320);
    EXPECT_EQ(Get(Ch(governor), "body"), 45);
    EXPECT_EQ(LastLine(game), "Riot in Province 8: Support -10, Gold/Food -20%, governor Body -15.");
}

TEST_F(EventsTest, ResolveRiotRefusalsAndPayment) {
    std::string before = game.Document()->dump();
    EXPECT_EQ(ResolveRiot(game, kHuman, true), "There is no riot here.");
    EXPECT_EQ(ResolveRiot(game, 0, false), "There is no riot here.");
    EXPECT_EQ(ResolveRiot(game, 50, true), "There is no riot here.");
    game.SetBool(Prov(kHuman), "riot", true);
    game.SetInt(Prov(kHuman), "gold", 29);
    before = game.Document()->dump();
    EXPECT_EQ(ResolveRiot(game, kHuman, true), "The treasury cannot afford 30 Gold.");
    EXPECT_TRUE(game.Document()->dump() == before);
    EXPECT_TRUE(game.Chronicle().empty());

    game.SetInt(Prov(kHuman), "gold", 100);
    game.SetInt(Prov(kHuman), "support", 45);
    EXPECT_EQ(ResolveRiot(game, kHuman, true), "The unrest in Province 4 ends peacefully.");
    EXPECT_EQ(Get(Prov(kHuman), "support"), 48);
    EXPECT_EQ(Get(Prov(kHuman), "gold"), 70);
    EXPECT_FALSE(TGame::GetBool(Prov(kHuman), "riot"));
    game.SetBool(Prov(kHuman), "riot", true);
    game.SetInt(Prov(kHuman), "support", 99);
    ResolveRiot(game, kHuman, true);
    EXPECT_EQ(Get(Prov(kHuman), "support"), 100);

    // Refusing with no governor and a nearly empty province.
    game.SetBool(Prov(kHuman), "riot", true);
    game.SetInt(Prov(kHuman), "governor", 0);
    game.SetInt(Prov(kHuman), "support", 5);
    game.SetInt(Prov(kHuman), "gold", 4);
    game.SetInt(Prov(kHuman), "food", 9);
    EXPECT_EQ(ResolveRiot(game, kHuman, false), "Riot in Province 4: Support -10, Gold/Food -20%, governor Body -15.");
    EXPECT_EQ(Get(Prov(kHuman), "support"), 0);
    EXPECT_EQ(Get(Prov(kHuman), "gold"), 4);
    EXPECT_EQ(Get(Prov(kHuman), "food"), 8);
}

// [SECTION] Beasts

TEST_F(EventsTest, NewSeasonClearsTheBeastAndANewOneMayArrive) {
    SetRule(game, "beastChancePercent", 100);
    game.SetInt(Prov(kHuman), "beast", 2);
    std::uint32_t start = StateGiving(50);
    std::uint32_t kindState = NextState(NextState(start));
    int k = static_cast<int>(NextState(kindState) % 100);
    int kind = k < 40 ? 1 : k < 70 ? 2 : k < 90 ? 3 : 4;
    game.SetInt(game.Root(), "month", 5);  // the month end entering June
    SetRng(game, start);
    RunProvinceEvents(game, kHuman);
    EXPECT_EQ(Get(Prov(kHuman), "beast"), kind);
    EXPECT_EQ(Rng(game), NextState(kindState));
    EXPECT_EQ(Get(Prov(kHuman), "food"), 380);
    std::string word = TGame::BeastName(kind);
    EXPECT_EQ(LastLine(game), "A " + word + " terrorises residents of Province 4. Food 400 -> 380. Send a beast expedition.");
    TObj notice = game.FirstBeastNotice();
    ASSERT_NE(notice, nullptr);
    std::vector<std::string> keys;
    for (const auto& [key, value] : *notice) keys.push_back(key);
    EXPECT_EQ(keys, (std::vector<std::string>{"province", "faction", "beast", "foodBefore", "foodLoss", "foodAfter",
                                              "month", "year"}));
    EXPECT_EQ(Get(notice, "province"), kHuman);
    EXPECT_EQ(Get(notice, "faction"), 1);
    EXPECT_EQ(Get(notice, "beast"), kind);
    EXPECT_EQ(Get(notice, "foodBefore"), 400);
    EXPECT_EQ(Get(notice, "foodLoss"), 20);
    EXPECT_EQ(Get(notice, "foodAfter"), 380);
    EXPECT_EQ(Get(notice, "month"), 6);
    EXPECT_EQ(Get(notice, "year"), 320);

    // A beast already present raids without a new notice; the draw for an arrival is skipped.
    std::uint32_t next = StateGiving(50);
    game.SetInt(game.Root(), "month", 6);
    SetRng(game, next);
    RunProvinceEvents(game, kHuman);
    EXPECT_EQ(Rng(game), NextState(next));
    EXPECT_EQ(LastLine(game), "Province 4: the " + word + " raids food stores, 380 -> 361.");
    EXPECT_EQ(TGame::ArrLen(TGame::GetArr(game.Root(), "beastNotices")), 1);
}

TEST_F(EventsTest, BeastArrivalThreshold) {
    // Default chance 5: an arrival draw of 4 brings a beast (kind draw 95: a bear), 5 does not.
    game.Remove(TGame::GetObj(game.Root(), "rules"), "beastChancePercent");
    game.SetInt(game.Root(), "month", 4);
    SetRng(game, StateGivingDraws({50, 5}));
    RunProvinceEvents(game, kComputer);
    EXPECT_EQ(Get(Prov(kComputer), "beast"), 0);
    SetRng(game, StateGivingDraws({50, 4, 95}));
    RunProvinceEvents(game, kComputer);
    EXPECT_EQ(Get(Prov(kComputer), "beast"), 4);
    for (auto [k, kind] : std::vector<std::pair<int, int>>{{39, 1}, {40, 2}, {69, 2}, {70, 3}, {89, 3}, {90, 4}}) {
        game.SetInt(Prov(kWild), "beast", 0);
        SetRng(game, StateGivingDraws({50, 0, k}));
        RunProvinceEvents(game, kWild);
        EXPECT_EQ(Get(Prov(kWild), "beast"), kind) << k;
    }
}

TEST_F(EventsTest, NoBeastArrivesWhenDecemberBegins) {
    SetRule(game, "beastChancePercent", 100);
    game.SetInt(Prov(kHuman), "beast", 4);
    std::uint32_t start = StateGiving(50);
    game.SetInt(game.Root(), "month", 11);
    SetRng(game, start);
    RunProvinceEvents(game, kHuman);
    EXPECT_EQ(Get(Prov(kHuman), "beast"), 0);
    EXPECT_EQ(Rng(game), NextState(start));  // only R was drawn
    EXPECT_EQ(Get(Prov(kHuman), "food"), 400);
}

TEST_F(EventsTest, BeastOnAlmostEmptyGranaries) {
    SetRule(game, "beastChancePercent", 100);
    game.SetInt(Prov(kHuman), "food", 0);
    Events(kHuman, 4, 50);
    TObj notice = game.FirstBeastNotice();
    ASSERT_NE(notice, nullptr);
    EXPECT_EQ(Get(notice, "foodBefore"), 0);
    EXPECT_EQ(Get(notice, "foodLoss"), 0);
    EXPECT_EQ(Get(notice, "foodAfter"), 0);
    game.SetInt(Prov(kHuman), "food", 1);
    Events(kHuman, 6, 50);  // same beast, new month
    EXPECT_EQ(Get(Prov(kHuman), "food"), 0);
    EXPECT_EQ(LastLine(game).substr(LastLine(game).size() - 9), ", 1 -> 0.");
}

TEST_F(EventsTest, BeastsRaidComputerAndWildProvincesSilently) {
    SetRule(game, "beastChancePercent", 100);
    Events(kComputer, 4, 50);
    Events(kWild, 4, 50);
    EXPECT_GT(Get(Prov(kComputer), "beast"), 0);
    EXPECT_GT(Get(Prov(kWild), "beast"), 0);
    EXPECT_EQ(Get(Prov(kComputer), "food"), 380);
    EXPECT_TRUE(game.Chronicle().empty());
    EXPECT_EQ(game.FirstBeastNotice(), nullptr);
}

// [SECTION] Tax and writ

TEST_F(EventsTest, AnnualTax) {
    game.SetInt(Prov(kHuman), "support", 39);
    game.SetInt(Prov(kHuman), "wealth", 100);
    game.SetInt(Prov(kHuman), "land", 100);
    CollectAnnualTax(game, kHuman);
    EXPECT_EQ(Get(Prov(kHuman), "gold"), 500);
    EXPECT_TRUE(game.Chronicle().empty());

    game.SetInt(Prov(kHuman), "support", 40);
    game.SetInt(Prov(kHuman), "wealth", 50);
    game.SetInt(Prov(kHuman), "land", 50);
    game.SetInt(Ch(1), "mercy", 50);
    CollectAnnualTax(game, kHuman);
    EXPECT_EQ(Get(Prov(kHuman), "gold"), 700);
    EXPECT_EQ(Get(Prov(kHuman), "food"), 800);
    EXPECT_EQ(LastLine(game), "Annual tax Province 4: 200 Gold / 400 Food.");

    game.SetInt(Prov(kHuman), "governor", 0);  // an empty slot taxes as Mercy 0
    CollectAnnualTax(game, kHuman);
    EXPECT_EQ(Get(Prov(kHuman), "gold"), 1000);
    EXPECT_EQ(Get(Prov(kHuman), "food"), 1400);

    game.SetInt(Prov(kHuman), "gold", 9990);
    CollectAnnualTax(game, kHuman);
    EXPECT_EQ(Get(Prov(kHuman), "gold"), 9999);

    game.SetInt(Prov(kComputer), "support", 80);
    CollectAnnualTax(game, kComputer);
    EXPECT_GT(Get(Prov(kComputer), "gold"), 500);
    EXPECT_EQ(LastLine(game), "Annual tax Province 4: 300 Gold / 600 Food.");
}

TEST_F(EventsTest, RoyalWritGrants) {
    game.SetInt(game.Faction(1), "popularity", 250);
    game.SetInt(game.Faction(2), "popularity", 249);
    game.SetInt(game.Faction(6), "popularity", 400);  // homeless
    game.SetInt(game.Faction(11), "popularity", 999);
    GrantRoyalWrits(game);
    EXPECT_TRUE(TGame::GetBool(game.Faction(1), "writ"));
    EXPECT_FALSE(TGame::GetBool(game.Faction(2), "writ"));
    EXPECT_FALSE(TGame::GetBool(game.Faction(6), "writ"));
    EXPECT_FALSE(TGame::GetBool(game.Faction(11), "writ"));
    EXPECT_EQ(game.Chronicle(), (std::deque<std::string>{"The sovereign grants Person 1 a Royal Writ!"}));
    GrantRoyalWrits(game);
    EXPECT_EQ(game.Chronicle().size(), 1u);

    SetRule(game, "writPopularity", 100);
    game.SetInt(game.Faction(3), "popularity", 100);
    GrantRoyalWrits(game);
    EXPECT_TRUE(TGame::GetBool(game.Faction(3), "writ"));
    EXPECT_TRUE(ChronicleHas(game, "The sovereign grants Person 3 a Royal Writ!"));
}

TEST_F(EventsTest, WritIsGrantedOnlyInJanuaryMonthEnds) {
    game.SetInt(game.Faction(1), "popularity", 300);
    game.SetInt(game.Root(), "month", 10);
    MonthEnd(game);
    MonthEnd(game);
    EXPECT_FALSE(TGame::GetBool(game.Faction(1), "writ"));
    MonthEnd(game);
    EXPECT_TRUE(TGame::GetBool(game.Faction(1), "writ"));
}

}  // namespace
}  // namespace reedmark::testing
