// Seasonal and random events of a province, riots, beasts, the annual tax and the
// Royal Writ grants.
#include <gtest/gtest.h>

#include "model/events.hpp"
#include "model/game.hpp"
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
    int Get(int p, const std::string& key) { return TGame::GetInt(Prov(p), key, -1); }
    // Runs the events of p at the end of `month` with the given draws (R first).
    void Events(int p, int month, const std::vector<int>& draws) {
        game.SetInt(game.Root(), "month", month);
        SetRng(game, StateGiving(draws));
        RunProvinceEvents(game, p);
    }
    TGame game;
};

TEST_F(EventsTest, TyphoonSnowEpidemicAndFairThresholds) {
    game.SetInt(Prov(kHuman), "flood", 100);
    Events(kHuman, 7, {2});
    EXPECT_EQ(Get(kHuman, "flood"), 100);
    Events(kHuman, 7, {1});
    EXPECT_EQ(Get(kHuman, "flood"), 95);
    EXPECT_EQ(Get(kHuman, "land"), 40);
    EXPECT_EQ(Get(kHuman, "wealth"), 37);
    EXPECT_EQ(Get(kHuman, "food"), 360);
    EXPECT_EQ(Get(kHuman, "rate"), 60);
    EXPECT_EQ(game.Chronicle(), (std::deque<std::string>{"Typhoon strikes Province 4."}));
    game.SetInt(Prov(kComputer), "flood", 0);
    Events(kComputer, 6, {12});
    Events(kComputer, 8, {11});
    EXPECT_EQ(Get(kComputer, "land"), 40);  // one typhoon, silent for a computer

    game.SetInt(Prov(kWild), "r", 2);
    Events(kWild, 1, {11});
    EXPECT_TRUE(TGame::GetBool(Prov(kWild), "snow"));
    EXPECT_EQ(Get(kWild, "support"), 58);
    game.SetInt(Prov(kComputer), "r", 3);
    Events(kComputer, 1, {11});
    EXPECT_FALSE(TGame::GetBool(Prov(kComputer), "snow"));

    // An April outbreak strikes at this month end and the next, then is over.
    TObj leader = game.Character(1);
    game.SetInt(leader, "soldiers", 40);
    Events(kHuman, 4, {1});
    EXPECT_EQ(Get(kHuman, "epidemic"), 1);
    EXPECT_EQ(TGame::GetInt(leader, "body", 0), 50);
    EXPECT_EQ(TGame::GetInt(leader, "soldiers", 0), 38);
    Events(kHuman, 5, {1});
    EXPECT_EQ(Get(kHuman, "epidemic"), 0);
    EXPECT_EQ(TGame::GetInt(leader, "soldiers", 0), 37);

    // A fair cheers the free residents of an unclaimed province (Person 98 stands in 1).
    game.SetInt(game.Character(98), "body", 79);
    Events(kWild, 3, {15});
    EXPECT_EQ(Get(kWild, "support"), 58);
    Events(kWild, 9, {14});
    EXPECT_EQ(Get(kWild, "support"), 63);
    EXPECT_EQ(TGame::GetInt(game.Character(98), "body", 0), 80);  // capped at bodyMax
}

TEST_F(EventsTest, RiotThresholdsAndComputerSettlement) {
    for (auto [support, r, riot] : std::vector<std::tuple<int, int, bool>>{
             {40, 16, false}, {56, 2, false}, {39, 2, false}, {40, 15, true}}) {
        game.SetInt(Prov(kHuman), "support", support);
        Events(kHuman, 4, {r});
        EXPECT_EQ(TGame::GetBool(Prov(kHuman), "riot"), riot) << support << " " << r;
    }
    EXPECT_TRUE(game.Chronicle().empty());  // a human's riot waits for him

    game.SetInt(Prov(kComputer), "support", 40);
    game.SetInt(Prov(kComputer), "gold", 30);
    Events(kComputer, 4, {10});
    EXPECT_EQ(Get(kComputer, "gold"), 0);
    EXPECT_EQ(Get(kComputer, "support"), 43);
    EXPECT_EQ(LastLine(game), "The unrest in Province 8 ends peacefully.");
    game.SetInt(Prov(kComputer), "support", 40);
    game.SetInt(Prov(kComputer), "gold", 29);
    Events(kComputer, 4, {10});
    EXPECT_FALSE(TGame::GetBool(Prov(kComputer), "riot"));
    EXPECT_EQ(Get(kComputer, "support"), 30);
    EXPECT_EQ(Get(kComputer, "gold"), 24);
    EXPECT_EQ(Get(kComputer, "food"), 320);
    EXPECT_EQ(TGame::GetInt(game.Character(2), "body", 0), 45);
    EXPECT_EQ(LastLine(game), "Riot in Province 8: Support -10, Gold/Food -20%, governor Body -15.");
}

TEST_F(EventsTest, ResolveRiotRefusalsAndPayment) {
    EXPECT_EQ(ResolveRiot(game, kHuman, true), "There is no riot here.");
    EXPECT_EQ(ResolveRiot(game, 50, true), "There is no riot here.");
    game.SetBool(Prov(kHuman), "riot", true);
    game.SetInt(Prov(kHuman), "gold", 29);
    std::string before = game.Document()->dump();
    EXPECT_EQ(ResolveRiot(game, kHuman, true), "The treasury cannot afford 30 Gold.");
    EXPECT_TRUE(game.Document()->dump() == before);
    EXPECT_TRUE(game.Chronicle().empty());
    game.SetInt(Prov(kHuman), "gold", 100);
    game.SetInt(Prov(kHuman), "support", 99);
    EXPECT_EQ(ResolveRiot(game, kHuman, true), "The unrest in Province 4 ends peacefully.");
    EXPECT_EQ(Get(kHuman, "support"), 100);
    EXPECT_EQ(Get(kHuman, "gold"), 70);
    EXPECT_FALSE(TGame::GetBool(Prov(kHuman), "riot"));
}

TEST_F(EventsTest, BeastsArriveRaidAndLeaveWithTheSeasons) {
    // Default chance 5: an arrival draw of 5 brings nothing, 4 a beast of the kind drawn next.
    game.Remove(TGame::GetObj(game.Root(), "rules"), "beastChancePercent");
    Events(kComputer, 4, {50, 5});
    EXPECT_EQ(Get(kComputer, "beast"), 0);
    for (auto [k, kind] : std::vector<std::pair<int, int>>{{39, 1}, {40, 2}, {70, 3}, {89, 3}, {90, 4}}) {
        game.SetInt(Prov(kComputer), "beast", 0);
        Events(kComputer, 4, {50, 4, k});
        EXPECT_EQ(Get(kComputer, "beast"), kind) << k;
    }
    EXPECT_TRUE(game.Chronicle().empty());  // computer provinces are raided silently

    // Entering June: the old beast leaves and a new one arrives, with its notice.
    SetRule(game, "beastChancePercent", 100);
    game.SetInt(Prov(kHuman), "beast", 2);
    Events(kHuman, 5, {50, 0, 95});
    EXPECT_EQ(Get(kHuman, "beast"), 4);
    EXPECT_EQ(LastLine(game), "A bear terrorises residents of Province 4. Food 400 -> 380. Send a beast expedition.");
    TObj notice = game.FirstBeastNotice();
    ASSERT_NE(notice, nullptr);
    std::vector<std::pair<std::string, int>> fields;
    for (const auto& [key, value] : *notice) fields.emplace_back(key, value.get<int>());
    EXPECT_EQ(fields, (std::vector<std::pair<std::string, int>>{{"province", 4}, {"faction", 1}, {"beast", 4},
                                                                {"foodBefore", 400}, {"foodLoss", 20},
                                                                {"foodAfter", 380}, {"month", 6}, {"year", 320}}));
    // A beast already there raids without a notice and without an arrival draw.
    game.SetInt(Prov(kHuman), "food", 1);
    std::uint32_t s = StateGiving({50});
    game.SetInt(game.Root(), "month", 6);
    SetRng(game, s);
    RunProvinceEvents(game, kHuman);
    EXPECT_EQ(Rng(game), NextState(s));
    EXPECT_EQ(LastLine(game), "Province 4: the bear raids food stores, 1 -> 0.");
    EXPECT_EQ(TGame::ArrLen(TGame::GetArr(game.Root(), "beastNotices")), 1);
    // Entering December: cleared, and none may arrive.
    Events(kHuman, 11, {50, 0, 0});
    EXPECT_EQ(Get(kHuman, "beast"), 0);
}

TEST_F(EventsTest, AnnualTax) {
    game.SetInt(Prov(kHuman), "support", 39);
    CollectAnnualTax(game, kHuman);
    EXPECT_EQ(Get(kHuman, "gold"), 500);
    game.SetInt(Prov(kHuman), "support", 40);
    game.SetInt(Prov(kHuman), "wealth", 50);
    game.SetInt(Prov(kHuman), "land", 50);
    game.SetInt(game.Character(1), "mercy", 50);
    CollectAnnualTax(game, kHuman);
    EXPECT_EQ(Get(kHuman, "gold"), 700);
    EXPECT_EQ(Get(kHuman, "food"), 800);
    EXPECT_EQ(LastLine(game), "Annual tax Province 4: 200 Gold / 400 Food.");
    game.SetInt(Prov(kHuman), "governor", 0);  // an empty slot taxes as Mercy 0
    game.SetInt(Prov(kHuman), "gold", 9990);
    CollectAnnualTax(game, kHuman);
    EXPECT_EQ(Get(kHuman, "gold"), 9999);
    EXPECT_EQ(LastLine(game), "Annual tax Province 4: 300 Gold / 600 Food.");
    game.SetInt(Prov(kComputer), "support", 80);
    CollectAnnualTax(game, kComputer);
    EXPECT_GT(Get(kComputer, "gold"), 500);
    EXPECT_EQ(game.Chronicle().size(), 2u);
}

TEST_F(EventsTest, RoyalWritGrantedInJanuaryOnly) {
    game.SetInt(game.Faction(1), "popularity", 250);
    game.SetInt(game.Faction(2), "popularity", 249);
    game.SetInt(game.Faction(6), "popularity", 400);  // homeless
    game.SetInt(game.Faction(11), "popularity", 999);
    game.SetInt(game.Root(), "month", 11);
    MonthEnd(game);
    EXPECT_FALSE(TGame::GetBool(game.Faction(1), "writ"));
    MonthEnd(game);
    for (int f : {1, 2, 6, 11}) EXPECT_EQ(TGame::GetBool(game.Faction(f), "writ"), f == 1) << f;
    EXPECT_TRUE(ChronicleHas(game, "The sovereign grants Person 1 a Royal Writ!"));
    game.ClearChronicle();
    GrantRoyalWrits(game);
    EXPECT_TRUE(game.Chronicle().empty());
}

}  // namespace
}  // namespace reedmark::testing
