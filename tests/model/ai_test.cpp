// The computer planner and turn driver on the small world: each wish is checked by
// comparing PlanOrder with the one order it should give, applied to an identical game.
#include <gtest/gtest.h>

#include <functional>

#include "model/ai.hpp"
#include "model/battle.hpp"
#include "model/campaign.hpp"
#include "model/game.hpp"
#include "model/queue.hpp"
#include "model/saves.hpp"
#include "tests/fixtures/small_world.hpp"

namespace reedmark {
namespace {

using TSetup = std::function<void(TGame&)>;

// Scenario 4 of the small world starts in April, when hunting is allowed.
void StartSpring(TGame& game, std::vector<int> humans = {}) {
    testing::TTempWorld world;
    NewCampaign(game, world.WorldPath(), 4, static_cast<int>(humans.size()), 2, humans, 17);
}

// Makes entry the only turn of the month.
void OnlyTurn(TGame& game, int entry) {
    TObj root = game.Root();
    TArr queue = game.NewArr(root, "queue");
    game.ArrAppendInt(queue, entry);
    TObj owners = game.NewObj(root, "queueOwners");
    game.SetInt(owners, std::to_string(entry), CurrentFaction(game) == 0 && entry < 0 ? -entry : 0);
    game.SetInt(root, "queueIndex", 0);
    game.SetInt(owners, std::to_string(entry), CurrentFaction(game));
}

// A province turn of fellowship 1 in province 4 where no wish fires before the ones a
// test switches on: full stores, content people, skilled troops, a full house.
void QuietProvince(TGame& game) {
    TObj p4 = game.Province(4);
    game.SetInt(p4, "food", 2000);
    game.SetInt(p4, "gold", 90);
    game.SetInt(p4, "support", 80);
    game.SetInt(p4, "skill", 90);
    for (int n : {3, 5, 11}) game.SetInt(game.Province(n), "owner", 2);
    OnlyTurn(game, 4);
}

// PlanOrder on one game and the expected order on an identical one end alike.
void ExpectPlan(const TSetup& setup, TOrder order, int actor, int target, int quantity,
                const std::vector<int>& humans = {}) {
    TGame planned;
    TGame expected;
    StartSpring(planned, humans);
    StartSpring(expected, humans);
    setup(planned);
    setup(expected);
    PlanOrder(planned);
    TOrderRecord record{order, actor, target, quantity, 0};
    ASSERT_EQ(CheckOrder(expected, record), "") << OrderIdent(order);
    ApplyOrder(expected, record);
    EXPECT_EQ(Checksum(planned), Checksum(expected)) << "expected " << OrderIdent(order) << " by " << actor
                                                     << "; chronicle: " << planned.Chronicle().back();
}

void SetSoldiers(TGame& game, int p, int total) {
    // Spread total over the local members of p's owner, at most 100 each.
    int owner = TGame::GetInt(game.Province(p), "owner", 0);
    for (int c = 1; c <= kCharacterCount; ++c) {
        if (!game.IsLocalMember(c, p, owner)) continue;
        int give = std::min(total, 100);
        game.SetInt(game.Character(c), "soldiers", give);
        total -= give;
    }
}

TEST(Planner, HuntsWhenFoodIsShort) {
    ExpectPlan([](TGame& g) { QuietProvince(g); SetSoldiers(g, 4, 200); g.SetInt(g.Province(4), "food", 99); },
               oHunt, 1, 0, 0);
    ExpectPlan([](TGame& g) { QuietProvince(g); SetSoldiers(g, 4, 30); g.SetInt(g.Province(4), "food", 29); },
               oHunt, 1, 0, 0);
    // 30 Food for 30 soldiers is enough: the plan moves on (training the troops here).
    ExpectPlan([](TGame& g) {
        QuietProvince(g); SetSoldiers(g, 4, 30); g.SetInt(g.Province(4), "food", 30);
        g.SetInt(g.Province(4), "skill", 10); }, oTrain, 1, 0, 0);
}

TEST(Planner, SolicitsAnEmptyTreasuryAndCultivatesForSupport) {
    ExpectPlan([](TGame& g) { QuietProvince(g); g.SetInt(g.Province(4), "gold", 20); }, oSolicit, 1, 0, 0);
    ExpectPlan([](TGame& g) { QuietProvince(g); g.SetInt(g.Province(4), "support", 59); }, oCultivate, 1, 0, 0);
}

TEST(Planner, ExpandsWithAFollowerButNeverUnderDevelopOrWithTheLastPerson) {
    auto open = [](TGame& g) {
        QuietProvince(g);
        g.SetInt(g.Province(3), "owner", 0);
    };
    ExpectPlan(open, oMove, 12, 3, 0);
    // Under Develop the members stay; the plan hires instead (gold over 100).
    ExpectPlan([&](TGame& g) {
        open(g);
        g.SetStr(g.Province(4), "policy", "Develop");
        g.SetInt(g.Province(4), "gold", 500);
    }, oHire, 1, 0, 10);
    // With the leader alone nobody moves out (the leader is never moved by the planner);
    // the empty house recruits the free resident standing there instead.
    ExpectPlan([&](TGame& g) {
        open(g);
        for (int c : {12, 23, 34, 45, 56}) g.SetInt(g.Character(c), "province", 11);
    }, oRecruit, 1, 101, 0);
}

TEST(Planner, WarNeedsMoreThanHalfAgainTheNeighboursSoldiers) {
    auto front = [](int own) {
        return [own](TGame& g) {
            QuietProvince(g);
            g.SetInt(g.Province(4), "skill", 10);
            // Province 5 belongs to fellowship 3 (no treaty with 1), defended by exactly
            // 100 soldiers.
            g.SetInt(g.Province(5), "owner", 3);
            for (int c : {14, 25}) {
                g.SetInt(g.Character(c), "province", 5);
                g.SetInt(g.Character(c), "soldiers", 50);
            }
            g.SetInt(g.Province(5), "governor", 14);
            SetSoldiers(g, 4, own);
            g.SetInt(g.Province(4), "food", 2000);
        };
    };
    ExpectPlan(front(151), oWar, 1, 5, 0);
    ExpectPlan(front(150), oTrain, 1, 0, 0);
    ExpectPlan([&](TGame& g) { front(151)(g); g.SetStr(g.Province(4), "policy", "Develop"); }, oTrain, 1, 0, 0);
}

TEST(Planner, HomelessFellowshipSettlesElseTravelsElseRests) {
    // Fellowship 6 stands in unclaimed province 36.
    ExpectPlan([](TGame& g) { OnlyTurn(g, -6); }, oSettle, 6, 0, 0);
    auto taken = [](TGame& g) {
        g.SetInt(g.Province(36), "owner", 2);
        g.SetInt(g.Province(29), "owner", 2);
        OnlyTurn(g, -6);
    };
    // Neighbours of 36 are 29, 37 and 43: 29 is taken, 37 is the first unclaimed one.
    ExpectPlan(taken, oTravel, 6, 37, 0);
}

TEST(Planner, ProvinceNobodyCanGovernFallsToNobody) {
    TGame game;
    StartSpring(game);
    for (int c : {1, 12, 23, 34, 45, 56}) game.SetInt(game.Character(c), "province", 11);
    OnlyTurn(game, 4);
    PlanOrder(game);
    EXPECT_EQ(TGame::GetInt(game.Province(4), "owner", -1), 0);
    EXPECT_EQ(TGame::GetInt(game.Province(4), "governor", -1), 0);
}

TEST(Driver, HumanEntriesWaitUnlessAnOrdinaryFollowerGoverns) {
    TGame game;
    StartSpring(game, {1});
    OnlyTurn(game, 4);  // governed by leader 1
    std::string before = Checksum(game);
    RunComputerTurns(game, 8);
    EXPECT_EQ(Checksum(game), before);
    game.SetStr(game.Character(12), "role", "sworn companion");
    game.SetInt(game.Province(4), "governor", 12);
    before = Checksum(game);
    RunComputerTurns(game, 8);
    EXPECT_EQ(Checksum(game), before);
    // An ordinary follower governs: the computer plays the province for the human.
    game.SetStr(game.Character(12), "role", "follower");
    RunComputerTurns(game, 1);
    EXPECT_NE(Checksum(game), before);
    // A human's homeless fellowship always waits.
    TGame exile;
    StartSpring(exile, {6});
    OnlyTurn(exile, -6);
    before = Checksum(exile);
    RunComputerTurns(exile, 8);
    EXPECT_EQ(Checksum(exile), before);
}

TEST(Driver, NeverPassesAHumanEntryAndSkipsChangedHands) {
    TGame game;
    StartSpring(game, {2});
    TObj root = game.Root();
    TArr queue = game.NewArr(root, "queue");
    for (int e : {4, 12, 8, 16}) game.ArrAppendInt(queue, e);
    TObj owners = game.NewObj(root, "queueOwners");
    for (int e : {4, 12, 8, 16}) game.SetInt(owners, std::to_string(e), e / 4);
    game.SetInt(root, "queueIndex", 0);
    game.SetInt(game.Province(12), "owner", 1);  // changed hands after the queue was built
    game.SetInt(game.Province(12), "governor", 1);
    game.SetInt(game.Character(1), "province", 12);
    RunComputerTurns(game, 8);
    // 4 planned, 12 skipped, 8 is human (fellowship 2's leader governs): the driver waits.
    EXPECT_EQ(TGame::GetInt(root, "queueIndex", 0), 2);
    RunComputerTurns(game, 0);
    RunComputerTurns(game, -3);
    EXPECT_EQ(TGame::GetInt(root, "queueIndex", 0), 2);
}

TEST(Driver, TownVisitBattleAndEndBlockTheComputer) {
    TGame game;
    StartSpring(game);
    game.SetBool(game.Root(), "town", true);
    std::string before = Checksum(game);
    RunComputerTurns(game, 8);
    EXPECT_EQ(Checksum(game), before);
    game.SetBool(game.Root(), "town", false);
    game.SetBool(game.Root(), "ended", true);
    before = Checksum(game);
    RunComputerTurns(game, 8);
    ComputerTick(game, 8);
    EXPECT_EQ(Checksum(game), before);
}

// A damaged save whose `battle` is not an object holds no battle: nothing is blocked.
TEST(Driver, ABattleKeyThatIsNoObjectBlocksNothing) {
    TGame game;
    StartSpring(game);
    game.SetInt(game.Root(), "battle", 5);
    EXPECT_FALSE(HasBattle(game));
    OnlyTurn(game, 4);
    EXPECT_EQ(CheckOrder(game, TOrderRecord{oRest, 1, 0, 0, 0}), "");
    std::uint64_t revision = game.Revision();
    ComputerTick(game, kFastComputerSteps);
    EXPECT_NE(game.Revision(), revision);
}

// A whole observed campaign of the small world runs to the invasion, valid throughout.
TEST(Driver, SmallWorldCampaignRunsToItsEnd) {
    TGame game;
    StartSpring(game);
    game.SetInt(game.Root(), "year", 325);
    for (int tick = 0; tick < 200000 && !game.IsEnded(); ++tick) {
        std::uint64_t revision = game.Revision();
        ComputerTick(game, kFastComputerSteps);
        ASSERT_NE(game.Revision(), revision) << "stalled at tick " << tick;
        if (!HasBattle(game)) {
            ASSERT_EQ(Validate(game), "") << "tick " << tick;
        }
    }
    EXPECT_TRUE(game.IsEnded());
}

}  // namespace
}  // namespace reedmark
