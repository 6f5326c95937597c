// Battle setup, actions, days, outcome and AI on the small test world.
//
// The standard battle: fellowship 1 attacks province 8 (fellowship 2) from province 4.
// Units are placed in character order, so unit 0 is leader 1 (the attacking
// commander), unit 1 is leader 2 (the governor, defending commander), and units 2..11
// alternate attacker / defender: characters 12, 13, 23, 24, 34, 35, 45, 46, 56, 57.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "model/battle.hpp"
#include "model/game.hpp"
#include "model/random.hpp"
#include "model/saves.hpp"
#include "tests/fixtures/small_world.hpp"

namespace reedmark {
namespace {

constexpr int kAttackerCommander = 0;  // unit of character 1
constexpr int kDefenderCommander = 1;  // unit of character 2

class BattleTest : public ::testing::Test {
protected:
    void SetUp() override { testing::StartSmallCampaign(game, 7); }

    TObj Ch(int c) { return game.Character(c); }
    TObj Prov(int p) { return game.Province(p); }
    TObj B() { return Battle(game); }
    TObj U(int i) { return BattleUnit(game, i); }
    int ChInt(int c, const char* key) { return TGame::GetInt(Ch(c), key, -1); }
    int UnitCharOf(int i) { return TGame::GetInt(U(i), "char", 0); }
    int Body(int u) { return ChInt(UnitCharOf(u), "body"); }
    void SetCh(int c, const char* key, int v) { game.SetInt(Ch(c), key, v); }
    void SetUnitCh(int u, const char* key, int v) { SetCh(UnitCharOf(u), key, v); }
    void SetB(const char* key, int v) { game.SetInt(B(), key, v); }
    int BInt(const char* key) { return TGame::GetInt(B(), key, -1); }

    void Open() {
        StartBattle(game, 4, 8, 1);
        ASSERT_TRUE(HasBattle(game));
    }
    void SetTerrain(int q, int r, int kind) { game.ArrSetInt(TGame::GetArr(B(), "terrain"), r * 18 + q, kind); }
    void FlatField() {
        for (int i = 0; i < kFieldCells; ++i) game.ArrSetInt(TGame::GetArr(B(), "terrain"), i, tPlain);
    }
    void Put(int u, int q, int r) {
        game.SetInt(U(u), "q", q);
        game.SetInt(U(u), "r", r);
    }
    void Deactivate(int u) { game.SetBool(U(u), "active", false); }
    // Leaves only the two commanders on a plain field, at (2, 6) and (15, 6).
    void Duel1v1() {
        Open();
        FlatField();
        for (int u = 2; u < BattleUnitCount(game); ++u) Deactivate(u);
        Put(kAttackerCommander, 2, 6);
        Put(kDefenderCommander, 15, 6);
    }
    // The next draws of the campaign generator will be want[i] % n[i].
    void RigGenerator(const std::vector<std::pair<int, int>>& draws) {
        for (std::uint32_t seed = 1; seed < 50'000'000; ++seed) {
            std::uint32_t x = seed;
            bool ok = true;
            for (auto [n, want] : draws) {
                x ^= x << 13;
                x ^= x >> 17;
                x ^= x << 5;
                if (static_cast<int>(x % static_cast<std::uint32_t>(n)) != want) {
                    ok = false;
                    break;
                }
            }
            if (ok) {
                game.SetInt(game.Root(), "rng", static_cast<std::int32_t>(seed));
                return;
            }
        }
        FAIL() << "no generator state found";
    }
    bool ChronicleHas(const std::string& line) {
        const auto& lines = game.Chronicle();
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }

    TGame game;
};

// [SECTION] Setup

TEST_F(BattleTest, SetupWritesTheDocumentInOrder) {
    Open();
    EXPECT_EQ(testing::KeysOf(B()), (std::vector<std::string>{"origin", "destination", "attacker", "defender", "day", "side",
                                                    "weather", "wind", "castleHold", "defensePrompt", "deploy",
                                                    "terrain", "units", "reserve", "fires", "food1", "food0",
                                                    "skill1", "arms1", "skill0", "arms0", "commander1",
                                                    "commander0"}));
    EXPECT_EQ(testing::KeysOf(U(0)), (std::vector<std::string>{"char", "side", "q", "r", "active", "spent", "arrows", "dazzled"}));
    EXPECT_EQ(BattleUnitCount(game), 12);
    EXPECT_EQ(BInt("day"), 1);
    EXPECT_EQ(BInt("weather"), kWeatherClear);
    EXPECT_EQ(BInt("wind"), 0);
    EXPECT_EQ(BInt("commander1"), 1);
    EXPECT_EQ(BInt("commander0"), 2);
    EXPECT_FALSE(TGame::GetBool(B(), "defensePrompt"));  // a computer defender is not asked
    EXPECT_TRUE(TGame::GetBool(B(), "deploy"));
    // Attackers fill column 1 from row 3, defenders column 15; arrows from the arms (30).
    EXPECT_EQ(UnitCharOf(2), 12);
    EXPECT_EQ(TGame::GetInt(U(2), "q", -1), 1);
    EXPECT_EQ(TGame::GetInt(U(2), "r", -1), 4);
    EXPECT_EQ(TGame::GetInt(U(3), "q", -1), 15);
    EXPECT_EQ(TGame::GetInt(U(3), "arrows", -1), 2);
    EXPECT_EQ(ChInt(1, "body"), 50);  // marching costs 10 Body
    EXPECT_EQ(ChInt(2, "body"), 60);  // defending costs nothing
}

TEST_F(BattleTest, HumanDefenderIsAskedFirst) {
    TGame human;
    testing::StartSmallCampaign(human, 7, {2});
    StartBattle(human, 4, 8, 1);
    EXPECT_TRUE(TGame::GetBool(Battle(human), "defensePrompt"));
    EXPECT_TRUE(HumanBattleTurn(human));
}

TEST_F(BattleTest, SeedZeroFieldIsForestWithForcedRowsCastlesAndUnitCells) {
    game.SetInt(Prov(8), "mapSeed", 0);
    game.SetBool(Prov(8), "river", false);
    Open();
    for (int r = 0; r < kFieldRows; ++r) {
        for (int q = 0; q < kFieldColumns; ++q) {
            int expected = tForest;
            if (r == 4 || r == 9) expected = tPlain;
            if (q == 14 && (r == 1 || r == 3 || r == 5)) expected = tCastle;
            if (UnitAt(game, q, r) >= 0) expected = tPlain;
            EXPECT_EQ(TerrainAt(game, q, r), expected) << q << "," << r;
        }
    }
    EXPECT_EQ(TerrainAt(game, 18, 0), 0);
    EXPECT_EQ(TerrainAt(game, -1, 3), 0);
}

TEST_F(BattleTest, RiverColumnSkipsForcedRowsAndCastlesAreBoundedToSeven) {
    game.SetBool(Prov(8), "river", true);
    game.SetInt(Prov(8), "castles", 12);
    for (int c : {13, 24, 35, 46, 57}) SetCh(c, "province", 9);  // keep column 14 free
    Open();
    for (int r = 0; r < kFieldRows; ++r) EXPECT_EQ(TerrainAt(game, 8, r), r == 4 || r == 9 ? tPlain : tRiver);
    int castles = 0;
    for (int i = 0; i < kFieldCells; ++i) castles += TerrainAt(game, i % 18, i / 18) == tCastle;
    EXPECT_EQ(castles, 7);
    EXPECT_EQ(TerrainAt(game, 14, 13), tCastle);
}

TEST_F(BattleTest, TenDefendersTakeTheFieldAndTheEleventhWaitsInReserve) {
    for (int c = 67; c <= 71; ++c) {
        SetCh(c, "faction", 2);
        SetCh(c, "province", 8);
    }
    Open();
    TArr reserve = TGame::GetArr(B(), "reserve");
    ASSERT_EQ(TGame::ArrLen(reserve), 1);
    EXPECT_EQ(TGame::ArrInt(reserve, 0, 0), 71);
    // Defenders 7 and 9 (characters 68 and 70) stand on two of the three castles.
    EXPECT_EQ(UnitCharOf(UnitAt(game, 14, 3)), 68);
    EXPECT_EQ(UnitCharOf(UnitAt(game, 14, 5)), 70);
    EXPECT_EQ(TerrainAt(game, 14, 3), tPlain);
    EXPECT_EQ(TerrainAt(game, 14, 5), tPlain);
    EXPECT_EQ(TerrainAt(game, 14, 1), tCastle);
}

TEST_F(BattleTest, WarChestAndProvisions) {
    // Soldiers 0, 1, 2 cost 1 Gold each, 3 soldiers cost 2; 250 soldiers carry 90 Food.
    const int soldiers[] = {0, 1, 2, 3, 100, 144};
    const int chars[] = {1, 12, 23, 34, 45, 56};
    for (int i = 0; i < 6; ++i) SetCh(chars[i], "soldiers", soldiers[i]);
    int gold = TGame::GetInt(Prov(4), "gold", 0);
    int food = TGame::GetInt(Prov(4), "food", 0);
    Open();
    EXPECT_EQ(TGame::GetInt(Prov(4), "gold", 0), gold - (1 + 1 + 1 + 2 + 34 + 49));
    EXPECT_EQ(BInt("food1"), 90);
    EXPECT_EQ(TGame::GetInt(Prov(4), "food", 0), food - 90);
}

TEST_F(BattleTest, ArmyWithoutSoldiersStillTakesThirtyFoodAsFarAsTheStoreHolds) {
    for (int c : {1, 12, 23, 34, 45, 56}) SetCh(c, "soldiers", 0);
    game.SetInt(Prov(4), "food", 20);
    SetCh(12, "body", 9);  // too weak to march
    Open();
    EXPECT_EQ(BInt("food1"), 20);
    EXPECT_EQ(TGame::GetInt(Prov(4), "food", -1), 0);
    EXPECT_EQ(ChInt(12, "body"), 9);
    EXPECT_EQ(BattleUnitCount(game), 11);
}

TEST_F(BattleTest, AbsentGovernorMakesTheProvinceFallAtOnce) {
    SetCh(2, "province", 9);  // the governor is away
    int index = TGame::GetInt(game.Root(), "queueIndex", -1);
    StartBattle(game, 4, 8, 1);
    EXPECT_FALSE(HasBattle(game));
    EXPECT_EQ(TGame::GetInt(Prov(8), "owner", 0), 1);
    EXPECT_TRUE(ChronicleHas("Province 8 falls to Person 1."));
    EXPECT_EQ(TGame::GetInt(game.Root(), "queueIndex", -1), index + 1);
}

// [SECTION] Actions

TEST_F(BattleTest, CommonChecksAnswerInOrder) {
    EXPECT_EQ(BattleAction(game, 0, -1, 0, 0, "rest"), "No battle.");
    Open();
    std::string before = Checksum(game);
    EXPECT_EQ(BattleAction(game, 99, -1, 0, 0, "rest"), "Select a unit.");
    EXPECT_EQ(BattleAction(game, kAttackerCommander, -1, 0, 0, "rest"), "Select an unspent unit on the acting side.");
    EXPECT_EQ(BattleAction(game, kDefenderCommander, -1, 0, 0, "dance"), "Unknown battle action.");
    EXPECT_EQ(BattleAction(game, kDefenderCommander, 1, 0, 0, "melee"), "Choose an active enemy.");
    EXPECT_EQ(BattleAction(game, kDefenderCommander, -1, 18, 3, "move"), "Choose a cell inside the battlefield.");
    EXPECT_EQ(BattleAction(game, kDefenderCommander, -1, 15, 4, "move"), "That cell is occupied.");
    EXPECT_EQ(BattleAction(game, kDefenderCommander, 0, 0, 0, "melee"), "Melee requires an adjacent enemy.");
    EXPECT_EQ(BattleAction(game, 3, -1, 0, 0, "reinforce"), "No reserve remains.");
    EXPECT_EQ(Checksum(game), before);  // refusals leave the document as it was
}

TEST_F(BattleTest, UnitWithBodyTenMustRest) {
    Duel1v1();
    SetUnitCh(kDefenderCommander, "body", 10);
    EXPECT_EQ(BattleAction(game, kDefenderCommander, -1, 14, 6, "move"), "Body is 10 or less: this unit must rest.");
    EXPECT_EQ(BattleAction(game, kDefenderCommander, -1, 0, 0, "rest"), "");
    EXPECT_EQ(Body(kDefenderCommander), 12);
    EXPECT_TRUE(TGame::GetBool(U(kDefenderCommander), "spent"));
    EXPECT_EQ(BInt("side"), kSideAttackers);  // the last defender acted
}

TEST_F(BattleTest, MovementAllowanceFollowsDexterity) {
    struct TCase {
        int dex;
        bool charge;
        int farthest;  // plain cells reachable
    } cases[] = {{39, false, 3}, {39, true, 1}, {100, false, 4}, {100, true, 2}};
    for (const auto& c : cases) {
        Duel1v1();
        SetUnitCh(kDefenderCommander, "dexterity", c.dex);
        const char* action = c.charge ? "charge" : "move";
        EXPECT_EQ(BattleAction(game, kDefenderCommander, -1, 15 - c.farthest - 1, 6, action),
                  "Destination is beyond movement allowance or blocked.")
            << c.dex << action;
        EXPECT_EQ(BattleAction(game, kDefenderCommander, -1, 15 - c.farthest, 6, action), "") << c.dex << action;
        EXPECT_EQ(TGame::GetInt(U(kDefenderCommander), "q", -1), 15 - c.farthest);
        EXPECT_EQ(Body(kDefenderCommander), 60 - (c.charge ? 3 : 1));
        game.Remove(game.Root(), "battle");
        SetCh(2, "body", 60);
        for (int c : {1, 12, 23, 34, 45, 56}) SetCh(c, "body", 60);
    }
}

TEST_F(BattleTest, ZoneOfControlStopsAMarchAlongTheEnemyLine) {
    Duel1v1();
    Put(kAttackerCommander, 5, 5);
    Put(kDefenderCommander, 6, 5);
    SetCh(1, "dexterity", 80);  // allowance 12
    SetCh(1, "soldiers", 40);
    SetCh(2, "soldiers", 10);  // 10 * 4 >= 40: the enemy holds its neighbours
    TPathCosts held = MovementCosts(game, kAttackerCommander, false);
    EXPECT_EQ(held[5 * 18 + 5], 0);
    EXPECT_EQ(held[6 * 18 + 5], 3);   // one step away along the line is allowed
    EXPECT_EQ(held[6 * 18 + 6], 12);  // passing along the line must go around
    SetCh(1, "soldiers", 41);         // more than four times the enemy: no hold
    TPathCosts free = MovementCosts(game, kAttackerCommander, false);
    EXPECT_EQ(free[6 * 18 + 6], 6);
    EXPECT_EQ(MovementCosts(game, 42, false)[0], kUnreachable);
}

TEST_F(BattleTest, RiversNeedShipsAndStopTheMarch) {
    Duel1v1();
    Put(kDefenderCommander, 12, 6);
    for (int r = 0; r < kFieldRows; ++r) SetTerrain(11, r, tRiver);
    SetCh(2, "dexterity", 100);  // allowance 13
    EXPECT_EQ(MovementCosts(game, kDefenderCommander, false)[6 * 18 + 11], kUnreachable);
    EXPECT_EQ(BattleAction(game, kDefenderCommander, -1, 11, 6, "move"),
              "Destination is beyond movement allowance or blocked.");
    game.SetBool(Ch(2), "ship", true);
    TPathCosts sail = MovementCosts(game, kDefenderCommander, false);
    EXPECT_EQ(sail[6 * 18 + 11], 8);
    EXPECT_EQ(sail[6 * 18 + 10], kUnreachable);  // entering the river ends the move
    game.SetBool(Ch(2), "navigator", true);
    EXPECT_EQ(MovementCosts(game, kDefenderCommander, false)[6 * 18 + 11], 4);
    EXPECT_EQ(BattleAction(game, kDefenderCommander, -1, 11, 6, "move"), "");
}

TEST_F(BattleTest, MeleeBetweenEqualUnitsDealsTwentyFourAndFourteen) {
    Duel1v1();
    Put(kAttackerCommander, 14, 6);
    for (int c : {1, 2}) {
        SetCh(c, "strength", 50);
        SetCh(c, "body", 60);
        SetCh(c, "soldiers", 80);
    }
    EXPECT_DOUBLE_EQ(UnitPower(game, kAttackerCommander), UnitPower(game, kDefenderCommander));
    EXPECT_DOUBLE_EQ(UnitPower(game, kDefenderCommander), 0.8 * 1.0 * (20.0 + 80.0) * 0.9);
    RigGenerator({{31, 15}, {31, 15}});
    EXPECT_EQ(BattleAction(game, kDefenderCommander, kAttackerCommander, 0, 0, "melee"), "");
    EXPECT_EQ(ChInt(1, "soldiers"), 80 - 24);
    EXPECT_EQ(ChInt(2, "soldiers"), 80 - 14);
    EXPECT_EQ(ChInt(2, "body"), 58);
    EXPECT_TRUE(ChronicleHas("Person 2 strikes Person 1 for 24."));
}

TEST_F(BattleTest, LossesBeyondTheSoldiersCostBodyAndCapture) {
    Open();
    SetCh(12, "soldiers", 5);
    SetCh(12, "body", 20);
    ApplyLosses(game, 2, 7, 0);
    EXPECT_EQ(ChInt(12, "soldiers"), 0);
    EXPECT_EQ(ChInt(12, "body"), 14);
    ApplyLosses(game, 2, 0, 14);
    EXPECT_FALSE(TGame::GetBool(U(2), "active"));
    EXPECT_TRUE(TGame::GetBool(Ch(12), "captured"));
    EXPECT_TRUE(ChronicleHas("Person 12 is captured!"));
    ApplyLosses(game, 2, 50, 50);  // an inactive unit takes no further harm
    EXPECT_EQ(ChInt(12, "body"), 0);
}

TEST_F(BattleTest, ArcheryNeedsAStraightRayFreeOfMountains) {
    Duel1v1();
    Put(kAttackerCommander, 13, 6);
    SetCh(2, "dexterity", 90);
    SetCh(2, "soldiers", 40);
    SetTerrain(14, 6, tMountain);
    EXPECT_FALSE(ClearRay(game, kDefenderCommander, kAttackerCommander));
    EXPECT_EQ(BattleAction(game, kDefenderCommander, kAttackerCommander, 0, 0, "archery"),
              "Archery needs a clear straight ray at distance 1..2.");
    SetTerrain(14, 6, tPlain);
    Put(kAttackerCommander, 13, 7);  // a bent line
    EXPECT_FALSE(ClearRay(game, kDefenderCommander, kAttackerCommander));
    Put(kAttackerCommander, 13, 8);  // the third axis, across a unit, a mountain beside it
    game.SetBool(U(3), "active", true);
    game.SetBool(U(3), "spent", true);
    Put(3, 14, 7);
    SetTerrain(14, 6, tMountain);
    EXPECT_TRUE(ClearRay(game, kDefenderCommander, kAttackerCommander));
    int soldiers = ChInt(1, "soldiers");
    std::string rng = std::to_string(TGame::GetInt(game.Root(), "rng", 0));
    EXPECT_EQ(BattleAction(game, kDefenderCommander, kAttackerCommander, 0, 0, "archery"), "");
    // (30 / 100 + 0.5) * (9 + 4 + 2) / 1.0 = 12 soldiers and 2 Body for a master archer.
    EXPECT_EQ(ChInt(1, "soldiers"), std::max(0, soldiers - 12));
    EXPECT_EQ(TGame::GetInt(U(kDefenderCommander), "arrows", -1), 1);
    EXPECT_EQ(std::to_string(TGame::GetInt(game.Root(), "rng", 0)), rng);  // archery draws nothing
}

// Dexterity and Arms as large as a file may hold: the volley's loss is bounded before it
// becomes an int, so it takes every soldier and the Body beyond, never a wrapped-around 1.
TEST_F(BattleTest, ArcheryWithHugeValuesTakesEverything) {
    Duel1v1();
    Put(kAttackerCommander, 13, 6);
    SetCh(2, "dexterity", kIntLimit);
    SetB("arms0", kIntLimit);
    SetCh(1, "soldiers", 40);
    EXPECT_EQ(BattleAction(game, kDefenderCommander, kAttackerCommander, 0, 0, "archery"), "Battle resolved.");
    EXPECT_EQ(ChInt(1, "soldiers"), 0);
    EXPECT_TRUE(ChronicleHas(TGame::GetStr(Ch(1), "name") + " is captured!"));
}

TEST_F(BattleTest, DuelOfTheWeakStillDealsOneBodyABlow) {
    Open();
    FlatField();
    Put(2, 9, 6);  // attacker 12
    Put(3, 10, 6);  // defender 13
    for (int c : {12, 13}) {
        SetCh(c, "strength", 0);
        SetCh(c, "dexterity", 100);
    }
    SetCh(12, "courage", 100);  // never refuses
    SetCh(12, "body", 20);
    SetCh(13, "body", 50);
    EXPECT_EQ(BattleAction(game, 3, 2, 0, 0, "duel"), "");
    EXPECT_TRUE(TGame::GetBool(Ch(12), "captured"));
    EXPECT_EQ(ChInt(13, "body"), 50 - 19 - 5);
    EXPECT_EQ(TGame::GetInt(TGame::GetObj(Ch(13), "xp"), "strength", -1), 15);
    SetTerrain(9, 7, tCastle);
    Put(4, 9, 7);  // attacker 23 on a castle
    EXPECT_EQ(BattleAction(game, 5, 4, 0, 0, "move"), "Destination is beyond movement allowance or blocked.");
    Put(5, 10, 7);
    EXPECT_EQ(BattleAction(game, 5, 4, 0, 0, "duel"), "A castle defender refuses a duel.");
}

TEST_F(BattleTest, ReinforcementNeedsAFreeCellInTheDefenderColumns) {
    Open();
    game.ArrAppendInt(TGame::GetArr(B(), "reserve"), 71);
    SetCh(71, "faction", 2);
    SetCh(71, "province", 8);
    for (int r = 0; r < kFieldRows; ++r)
        for (int q = 13; q < kFieldColumns; ++q) SetTerrain(q, r, r % 2 == 0 ? tMountain : tRiver);
    EXPECT_EQ(BattleAction(game, 3, -1, 0, 0, "reinforce"), "No empty defender deployment cell.");
    SetTerrain(16, 2, tForest);
    EXPECT_EQ(BattleAction(game, 3, -1, 0, 0, "reinforce"), "");
    TObj newcomer = U(12);
    EXPECT_EQ(TGame::GetInt(newcomer, "char", 0), 71);
    EXPECT_EQ(TGame::GetInt(newcomer, "q", 0), 16);
    EXPECT_EQ(TGame::GetInt(newcomer, "r", 0), 2);
    EXPECT_TRUE(TGame::GetBool(newcomer, "spent"));
    EXPECT_EQ(TerrainAt(game, 16, 2), tForest);
    EXPECT_TRUE(ChronicleHas("Person 71 reinforces the defenders."));
    EXPECT_EQ(TGame::ArrLen(TGame::GetArr(B(), "reserve")), 0);
}

TEST_F(BattleTest, TurnPassesToTheAttackersAndThenToANewDay) {
    Open();
    for (int u : {1, 3, 5, 7, 9, 11}) {
        EXPECT_EQ(BInt("side"), kSideDefenders);
        EXPECT_EQ(BattleAction(game, u, -1, 0, 0, "rest"), "");
    }
    EXPECT_EQ(BInt("side"), kSideAttackers);
    EXPECT_EQ(BattleAction(game, 1, -1, 0, 0, "rest"), "Select an unspent unit on the acting side.");
    for (int u : {0, 2, 4, 6, 8}) EXPECT_EQ(BattleAction(game, u, -1, 0, 0, "rest"), "");
    EXPECT_EQ(BInt("day"), 1);
    EXPECT_EQ(BattleAction(game, 10, -1, 0, 0, "retreat"), "");  // not the commander: leaves quietly
    EXPECT_EQ(BInt("day"), 2);
    EXPECT_EQ(BInt("side"), kSideDefenders);
    EXPECT_TRUE(ChronicleHas("Battle day 2."));
    EXPECT_FALSE(TGame::GetBool(U(0), "spent"));
    EXPECT_EQ(BattleAction(game, kDefenderCommander, -1, 0, 0, "retreat"), "The commander withdraws.");
    EXPECT_FALSE(HasBattle(game));
    EXPECT_EQ(TGame::GetInt(Prov(8), "owner", 0), 1);
}

TEST_F(BattleTest, FireAndExtinguish) {
    Duel1v1();
    Put(kAttackerCommander, 14, 6);
    SetCh(2, "wisdom", 100);
    SetCh(1, "wisdom", 0);
    SetTerrain(14, 6, tForest);  // 50 + 30 + 15 = 95
    RigGenerator({{100, 94}});
    EXPECT_EQ(BattleAction(game, kDefenderCommander, kAttackerCommander, 0, 0, "fire"), "");
    TArr fires = TGame::GetArr(B(), "fires");
    ASSERT_EQ(TGame::ArrLen(fires), 1);
    EXPECT_EQ(TGame::ArrInt(fires, 0, -1), 6 * 18 + 14);
    SetB("weather", kWeatherRain);
    game.SetBool(U(2), "active", true);  // a second attacker keeps the day going
    Put(2, 2, 2);
    ASSERT_EQ(BInt("side"), kSideAttackers);
    SetCh(1, "dexterity", 39);
    EXPECT_EQ(BattleAction(game, kAttackerCommander, -1, 14, 6, "extinguish"), "Extinguish requires Dexterity 40.");
    SetCh(1, "dexterity", 70);
    EXPECT_EQ(BattleAction(game, kAttackerCommander, -1, 14, 8, "extinguish"), "Select your own or adjacent cell.");
    game.ArrAppendInt(fires, 6 * 18 + 14);
    RigGenerator({{100, 49}, {100, 50}});  // chance 70 - 20 in the forest: the last entry goes, the first stays
    EXPECT_EQ(BattleAction(game, kAttackerCommander, -1, 14, 6, "extinguish"), "");
    EXPECT_EQ(TGame::ArrLen(fires), 1);
}

TEST_F(BattleTest, ExtinguishBeyondTheEdgeMatchesNoFire) {
    Duel1v1();
    Put(kDefenderCommander, 17, 5);
    SetCh(2, "dexterity", 95);
    // (18, 5) would index as r * 18 + q = 108, the cell (0, 6) on the far side.
    game.ArrAppendInt(TGame::GetArr(B(), "fires"), 108);
    long long rng = TGame::GetRawInt64(game.Root(), "rng", 0);
    EXPECT_EQ(BattleAction(game, kDefenderCommander, -1, 18, 5, "extinguish"), "");
    EXPECT_EQ(TGame::ArrLen(TGame::GetArr(B(), "fires")), 1);
    EXPECT_EQ(TGame::GetRawInt64(game.Root(), "rng", 0), rng);
    EXPECT_TRUE(TGame::GetBool(U(kDefenderCommander), "spent"));
    EXPECT_EQ(Body(kDefenderCommander), 59);
}

TEST_F(BattleTest, MistNeedsCloudAndDazzles) {
    Duel1v1();
    Put(kAttackerCommander, 12, 6);
    SetCh(2, "wisdom", 95);  // range 3
    EXPECT_EQ(BattleAction(game, kDefenderCommander, kAttackerCommander, 0, 0, "mist"),
              "Mist art needs cloud, Wisdom 80 and Body 50.");
    SetB("weather", kWeatherCloudy);
    RigGenerator({{100, 0}});
    int soldiers = ChInt(1, "soldiers");
    EXPECT_EQ(BattleAction(game, kDefenderCommander, kAttackerCommander, 0, 0, "mist"), "");
    EXPECT_EQ(ChInt(1, "soldiers"), std::max(0, soldiers - 19));
    EXPECT_TRUE(TGame::GetBool(U(kAttackerCommander), "dazzled"));
    EXPECT_EQ(Body(kDefenderCommander), 40);
}

// [SECTION] Days and outcome

TEST_F(BattleTest, HoldingEveryCastleAtTwoDayEndsWins) {
    Open();
    FlatField();
    for (int i = 0; i < 3; ++i) SetTerrain(14, 2 * i + 1, tCastle);
    EndBattleDay(game);
    EXPECT_EQ(BInt("castleHold"), 0);
    Put(2, 14, 1);
    Put(4, 14, 3);
    Put(6, 14, 5);
    EndBattleDay(game);
    EXPECT_EQ(BInt("castleHold"), 1);
    Put(6, 13, 5);
    EndBattleDay(game);
    EXPECT_EQ(BInt("castleHold"), 0);
    Put(6, 14, 5);
    EndBattleDay(game);
    EXPECT_EQ(BInt("castleHold"), 1);
    EndBattleDay(game);
    EXPECT_FALSE(HasBattle(game));
    EXPECT_EQ(TGame::GetInt(Prov(8), "owner", 0), 1);
}

TEST_F(BattleTest, TheThirtiethDayEndsForTheDefenders) {
    Open();
    SetB("day", 29);
    EndBattleDay(game);
    EXPECT_EQ(BInt("day"), 30);
    EndBattleDay(game);
    EXPECT_FALSE(HasBattle(game));
    EXPECT_TRUE(ChronicleHas("The defenders hold Province 8."));
    EXPECT_FALSE(ChronicleHas("Battle day 31."));
}

TEST_F(BattleTest, ArmiesEatByTheHundredAndStarve) {
    Duel1v1();
    SetCh(2, "soldiers", 1);
    SetCh(1, "soldiers", 100);
    SetCh(12, "soldiers", 100);  // inactive units do not eat
    SetB("food0", 10);
    SetB("food1", 10);
    EndBattleDay(game);
    EXPECT_EQ(BInt("food0"), 9);
    EXPECT_EQ(BInt("food1"), 9);
    SetCh(1, "soldiers", 100);
    SetCh(2, "soldiers", 1);
    game.SetInt(Ch(1), "soldiers", 100);
    SetB("food1", 1);
    int foodOrigin = TGame::GetInt(Prov(4), "food", 0);
    EndBattleDay(game);
    EXPECT_FALSE(HasBattle(game));
    EXPECT_TRUE(ChronicleHas("The defenders hold Province 8."));
    EXPECT_EQ(TGame::GetInt(Prov(4), "food", 0), foodOrigin);  // nothing left to bring home
}

TEST_F(BattleTest, RiverCarriesUnitsDownstreamAndOffTheField) {
    Open();
    for (int r = 0; r < kFieldRows; ++r) SetTerrain(8, r, tRiver);
    Put(2, 8, 12);  // character 12 is no navigator
    Put(4, 8, 11);  // character 23 neither, blocked by the unit below
    Put(3, 8, 5);   // character 13 drifts two rows
    SetCh(13, "navigator", 0);
    game.SetBool(U(3), "dazzled", true);
    EndBattleDay(game);
    EXPECT_FALSE(TGame::GetBool(U(2), "active"));
    EXPECT_TRUE(ChronicleHas("Person 12 drifts off the field."));
    EXPECT_EQ(ChInt(12, "province"), 1);  // first unowned neighbour of province 8
    EXPECT_EQ(TGame::GetInt(U(4), "r", -1), 13);
    EXPECT_EQ(TGame::GetInt(U(3), "r", -1), 7);
    EXPECT_TRUE(TGame::GetBool(U(3), "spent"));  // dazzled: loses the coming day
    EXPECT_FALSE(TGame::GetBool(U(3), "dazzled"));
    game.SetBool(Ch(1), "navigator", true);
    Put(kAttackerCommander, 8, 12);
    EndBattleDay(game);
    EXPECT_EQ(TGame::GetInt(U(kAttackerCommander), "r", -1), 12);  // blocked by unit 4 below
    Put(4, 3, 3);
    EndBattleDay(game);
    EXPECT_EQ(TGame::GetInt(U(kAttackerCommander), "r", -1), 13);
    EndBattleDay(game);
    EXPECT_FALSE(HasBattle(game));  // the commander drifted away
    EXPECT_TRUE(ChronicleHas("The defenders hold Province 8."));
}

TEST_F(BattleTest, VictoryFreesOwnCaptivesAndTakesTheOthers) {
    Open();
    ApplyLosses(game, 2, 0, 1000);  // attacker 12 captured
    ASSERT_TRUE(TGame::GetBool(Ch(12), "captured"));
    ApplyLosses(game, 3, 0, 1000);  // defender 13 captured
    int popularity = TGame::GetInt(game.Faction(1), "popularity", 0);
    ResolveBattle(game, kSideAttackers);
    EXPECT_FALSE(HasBattle(game));
    EXPECT_FALSE(TGame::GetBool(Ch(12), "captured"));
    EXPECT_EQ(ChInt(12, "body"), 1);
    EXPECT_EQ(ChInt(12, "province"), 8);
    EXPECT_EQ(TGame::GetStr(Ch(12), "role"), "follower");
    EXPECT_EQ(ChInt(1, "province"), 8);
    EXPECT_EQ(TGame::GetInt(game.Faction(1), "home", 0), 8);
    EXPECT_EQ(TGame::GetInt(Prov(8), "owner", 0), 1);
    EXPECT_EQ(TGame::GetInt(Prov(8), "governor", 0), 1);
    EXPECT_EQ(TGame::GetInt(game.Faction(1), "popularity", 0), popularity + 12);
    EXPECT_EQ(TGame::GetInt(Prov(8), "support", 0), 50);
    // Province 4 keeps nobody of fellowship 1 and falls to nobody.
    EXPECT_EQ(TGame::GetInt(Prov(4), "owner", -1), 0);
    // The defeated leader 2 fell back to no province of his own and is in exile.
    EXPECT_EQ(TGame::GetStr(Ch(2), "role"), "exile");
    EXPECT_EQ(TGame::GetInt(game.Faction(2), "home", -1), 0);
    EXPECT_NE(game.ExileParty(2), nullptr);
    EXPECT_EQ(Validate(game), "");
}

TEST_F(BattleTest, CapturedLeaderEndsHisFellowship) {
    Open();
    ApplyLosses(game, kDefenderCommander, 0, 1000);
    EXPECT_TRUE(CheckBattleEnd(game));  // losing the commander decides at once
    EXPECT_FALSE(HasBattle(game));
    EXPECT_EQ(TGame::GetInt(Prov(8), "owner", 0), 1);
    EXPECT_FALSE(TGame::GetBool(game.Faction(2), "active"));
    EXPECT_FALSE(TGame::GetBool(game.Faction(2), "writ"));
}

TEST_F(BattleTest, BothCommandersGoneGivesTheDefendersTheDay) {
    Open();
    Deactivate(kAttackerCommander);
    Deactivate(kDefenderCommander);
    EXPECT_TRUE(CheckBattleEnd(game));
    EXPECT_FALSE(HasBattle(game));
    EXPECT_TRUE(ChronicleHas("The defenders hold Province 8."));
    EXPECT_FALSE(CheckBattleEnd(game));
}

// [SECTION] Uprising

class UprisingTest : public BattleTest {
protected:
    // Fellowship 6 (homeless, in province 36 with five exiles) rises against
    // fellowship 2, which holds province 36 with two companions.
    void SetUp() override {
        BattleTest::SetUp();
        game.SetInt(Prov(36), "owner", 2);
        for (int c : {13, 24}) SetCh(c, "province", 36);
        game.SetInt(Prov(36), "governor", 13);
        StartBattle(game, 36, 36, 6);
        ASSERT_TRUE(HasBattle(game));
    }
};

TEST_F(UprisingTest, RebelsMarchFromTheirPartyStores) {
    EXPECT_EQ(BattleUnitCount(game), 8);
    EXPECT_EQ(BInt("commander1"), 6);
    EXPECT_EQ(BInt("commander0"), 13);
    EXPECT_EQ(BInt("skill1"), 0);
    EXPECT_EQ(BInt("food1"), 60);  // 90 wanted, the party's whole store
    EXPECT_EQ(TGame::GetInt(game.ExileParty(6), "food", -1), 0);
    // War chest of soldiers 26, 37, 48, 29, 40, 21: 9 + 13 + 17 + 10 + 14 + 8 Gold.
    EXPECT_EQ(TGame::GetInt(game.ExileParty(6), "gold", -1), 150 - 71);
}

TEST_F(UprisingTest, VictorySettlesTheFellowship) {
    ResolveBattle(game, kSideAttackers);
    EXPECT_EQ(TGame::GetInt(Prov(36), "owner", 0), 6);
    EXPECT_EQ(TGame::GetInt(Prov(36), "governor", 0), 6);
    EXPECT_EQ(TGame::GetInt(game.Faction(6), "home", 0), 36);
    EXPECT_EQ(TGame::GetStr(Ch(6), "role"), "leader");
    for (int c : {17, 28, 39, 50, 61}) EXPECT_EQ(TGame::GetStr(Ch(c), "role"), "follower") << c;
    EXPECT_EQ(game.ProvinceHeadcount(36), 6);
    EXPECT_EQ(Validate(game), "");
}

TEST_F(UprisingTest, DefeatReturnsTheFoodToTheParty) {
    int food = TGame::GetInt(Prov(36), "food", 0);
    int food0 = BInt("food0");
    ResolveBattle(game, kSideDefenders);
    EXPECT_EQ(TGame::GetInt(game.ExileParty(6), "food", -1), 60);
    EXPECT_EQ(TGame::GetInt(Prov(36), "food", -1), food + food0);
    EXPECT_EQ(TGame::GetInt(Prov(36), "owner", 0), 2);
}

// [SECTION] Battle AI

TEST_F(BattleTest, AIClosesInFromRangeThreeWithoutShooting) {
    Duel1v1();
    Put(kAttackerCommander, 12, 6);
    SetCh(2, "dexterity", 90);
    BattleAIStep(game);
    EXPECT_FALSE(TGame::GetBool(B(), "deploy"));
    EXPECT_EQ(TGame::GetInt(U(kDefenderCommander), "q", -1), 14);  // first neighbour that is closer
    EXPECT_EQ(TGame::GetInt(U(kDefenderCommander), "arrows", -1), 2);
    EXPECT_EQ(BInt("side"), kSideAttackers);
}

TEST_F(BattleTest, AIShootsStrikesOrRestsByItsMeans) {
    Duel1v1();
    Put(kAttackerCommander, 14, 6);
    SetCh(2, "dexterity", 60);  // no archer: strikes
    int soldiers = ChInt(1, "soldiers");
    BattleAIStep(game);
    EXPECT_LT(ChInt(1, "soldiers"), soldiers);
    EXPECT_EQ(Body(kDefenderCommander), 58);
    // The attacker, with body 10, rests beside the enemy.
    SetCh(1, "body", 10);
    BattleAIStep(game);
    EXPECT_EQ(ChInt(1, "body"), 12);
    EXPECT_EQ(BInt("day"), 2);
}

TEST_F(BattleTest, AICallsTheReserveWhenItCannotFight) {
    Duel1v1();
    Put(kDefenderCommander, 17, 0);
    for (auto [q, r] : {std::pair{16, 0}, {17, 1}, {16, 1}}) SetTerrain(q, r, tMountain);
    game.ArrAppendInt(TGame::GetArr(B(), "reserve"), 71);
    BattleAIStep(game);
    EXPECT_EQ(BattleUnitCount(game), 13);
    EXPECT_EQ(UnitCharOf(12), 71);
    EXPECT_EQ(BInt("side"), kSideAttackers);  // the newcomer waits for the next day
}

TEST_F(BattleTest, TickMovesComputerBattlesTwoStepsAndWaitsForHumans) {
    Open();
    EXPECT_EQ(BattleTick(game), 1);  // the deployment phase holds the first step back
    EXPECT_FALSE(TGame::GetBool(B(), "deploy"));
    EXPECT_EQ(BattleTick(game), 2);
    TGame human;
    testing::StartSmallCampaign(human, 7, {2});
    StartBattle(human, 4, 8, 1);
    EXPECT_EQ(BattleTick(human), 0);  // the garrison must answer first
    game.Remove(game.Root(), "battle");
    game.SetBool(Battle(human), "defensePrompt", false);
    game.SetBool(Battle(human), "deploy", false);
    EXPECT_EQ(BattleTick(human), 0);  // the defenders are human and act first
}

TEST_F(BattleTest, HumanSideWithNobodyReadyPassesAtOnce) {
    TGame human;
    testing::StartSmallCampaign(human, 7, {1});
    StartBattle(human, 4, 8, 1);
    TObj b = Battle(human);
    human.SetBool(b, "deploy", false);
    // Every attacker is dazzled: once the defenders have acted, the day ends at once.
    for (int u = 0; u < BattleUnitCount(human); u += 2) {
        if (u == 0 || u % 2 == 0) human.SetBool(BattleUnit(human, u), "spent", true);
    }
    for (int u = 1; u < BattleUnitCount(human); u += 2) EXPECT_EQ(BattleAction(human, u, -1, 0, 0, "rest"), "");
    EXPECT_EQ(TGame::GetInt(Battle(human), "day", 0), 2);
    EXPECT_EQ(TGame::GetInt(Battle(human), "side", -1), kSideDefenders);
}

TEST_F(BattleTest, DamagedBattleDocumentNeitherCrashesNorHangs) {
    Open();
    TObj b = B();
    game.SetInt(U(0), "q", 1'000'000'000);
    game.SetInt(U(0), "r", -1'000'000'000);
    game.SetInt(U(2), "side", 7);
    game.SetInt(U(3), "char", 999);
    game.ArrAppendInt(TGame::GetArr(b, "fires"), 5000);
    game.ArrAppendInt(TGame::GetArr(b, "fires"), -3);
    game.ArrAppendInt(TGame::GetArr(b, "reserve"), 0);
    game.ArrErase(TGame::GetArr(b, "terrain"), 0);
    game.SetInt(b, "wind", -13);
    game.SetInt(b, "day", -1'000'000'000);
    game.Remove(game.Root(), "rng");
    EXPECT_EQ(MovementCosts(game, 0, false)[0], kUnreachable);
    EXPECT_FALSE(ClearRay(game, 0, 1));
    EXPECT_EQ(HexDistance(1'000'000'000, 0, -1'000'000'000, 0), 2'000'000'000);
    ResolveBattleAuto(game);  // bounded by the step limit whatever the day says
    EXPECT_EQ(BattleAction(game, 1, 0, 0, 0, "melee").empty(), false);
    game.Remove(game.Root(), "battle");
    game.SetInt(game.NewObj(game.Root(), "battle"), "side", 1);
    game.SetJson(game.Root(), "battle", TJson(5));  // not an object: no battle at all
    ResolveBattleAuto(game);
    EndBattleDay(game);
    EXPECT_EQ(BattleAction(game, 0, -1, 0, 0, "rest"), "No battle.");
    EXPECT_EQ(BattleTick(game), 0);
}

TEST_F(BattleTest, AutomaticResolutionEndsTheBattle) {
    Open();
    game.SetBool(B(), "defensePrompt", true);
    ResolveBattleAuto(game);
    EXPECT_FALSE(HasBattle(game));
    EXPECT_EQ(Validate(game), "");
}

}  // namespace
}  // namespace reedmark
