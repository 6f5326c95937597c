// The turn queue: who gets a turn, the shuffle's draws, the accessors, changed hands
// and the passage into the month end.
#include <gtest/gtest.h>

#include <algorithm>

#include "model/game.hpp"
#include "model/queue.hpp"
#include "model/random.hpp"
#include "model/saves.hpp"
#include "tests/fixtures/small_world.hpp"

namespace reedmark {
namespace {

using testing::StartSmallCampaign;

std::vector<int> QueueOf(const TGame& game) {
    std::vector<int> q;
    TArr arr = TGame::GetArr(game.Root(), "queue");
    for (int i = 0; i < TGame::ArrLen(arr); ++i) q.push_back(TGame::ArrInt(arr, i, 0));
    return q;
}

TEST(Queue, HoldsEveryOwnedProvinceAndHomelessFellowshipOnce) {
    TGame game;
    StartSmallCampaign(game, 5);
    std::vector<int> q = QueueOf(game);
    std::sort(q.begin(), q.end());
    EXPECT_EQ(q, (std::vector<int>{-10, -9, -8, -7, -6, 4, 8, 12, 16, 20, 49}));
    // queueOwners records each entry's fellowship.
    TObj owners = TGame::GetObj(game.Root(), "queueOwners");
    EXPECT_EQ(TGame::GetInt(owners, "12", 0), 3);
    EXPECT_EQ(TGame::GetInt(owners, "-7", 0), 7);
    EXPECT_EQ(TGame::ObjLen(owners), 11);
}

TEST(Queue, InactiveFellowshipsHaveNoTurn) {
    TGame game;
    StartSmallCampaign(game, 5);
    game.SetBool(game.Faction(3), "active", false);
    game.SetBool(game.Faction(8), "active", false);
    BuildQueue(game);
    std::vector<int> q = QueueOf(game);
    EXPECT_EQ(std::count(q.begin(), q.end(), 12), 0);
    EXPECT_EQ(std::count(q.begin(), q.end(), -8), 0);
    EXPECT_EQ(q.size(), 9u);
}

TEST(Queue, ShuffleDrawsOncePerEntryButTheFirst) {
    TGame a;
    TGame b;
    StartSmallCampaign(a, 99);
    StartSmallCampaign(b, 99);
    EXPECT_EQ(QueueOf(a), QueueOf(b));
    // Rebuild a's queue and count b's draws by hand: ten draws for eleven entries.
    BuildQueue(a);
    for (int i = 10; i >= 1; --i) Random(b, i + 1);
    EXPECT_EQ(TGame::GetInt(a.Root(), "rng", 0), TGame::GetInt(b.Root(), "rng", 0));
}

TEST(Queue, ShuffleFollowsTheDrawsInOrder) {
    TGame game;
    StartSmallCampaign(game, 1234);
    // Replay the shuffle from the same state on the ascending list.
    TGame replay;
    StartSmallCampaign(replay, 1234);
    game.SetInt(game.Root(), "rng", 777);
    replay.SetInt(replay.Root(), "rng", 777);
    BuildQueue(game);
    std::vector<int> expected = {4, 8, 12, 16, 20, 49, -6, -7, -8, -9, -10};
    for (int i = static_cast<int>(expected.size()) - 1; i >= 1; --i) {
        int j = Random(replay, i + 1);
        std::swap(expected[static_cast<size_t>(i)], expected[static_cast<size_t>(j)]);
    }
    EXPECT_EQ(QueueOf(game), expected);
}

TEST(Queue, AccessorsFollowTheEntry) {
    TGame game;
    StartSmallCampaign(game, 3);
    TArr queue = TGame::GetArr(game.Root(), "queue");
    game.ArrSetInt(queue, 0, -7);
    game.SetInt(game.Root(), "queueIndex", 0);
    EXPECT_TRUE(IsExileTurn(game));
    EXPECT_EQ(CurrentFaction(game), 7);
    EXPECT_EQ(CurrentProvince(game), 37);
    game.SetInt(game.Character(7), "province", 38);  // the leader travels; the turn follows
    EXPECT_EQ(CurrentProvince(game), 38);
    game.ArrSetInt(queue, 0, 16);
    EXPECT_FALSE(IsExileTurn(game));
    EXPECT_EQ(CurrentProvince(game), 16);
    EXPECT_EQ(CurrentFaction(game), 4);
    game.SetInt(game.Root(), "queueIndex", 11);
    EXPECT_EQ(CurrentEntry(game), 0);
    EXPECT_EQ(CurrentFaction(game), 0);
    game.SetInt(game.Root(), "queueIndex", -1);
    EXPECT_EQ(CurrentEntry(game), 0);
}

TEST(Queue, ChangedHandsVoidsTheTurn) {
    TGame game;
    StartSmallCampaign(game, 3);
    TArr queue = TGame::GetArr(game.Root(), "queue");
    game.ArrSetInt(queue, 0, 16);
    game.SetInt(game.Root(), "queueIndex", 0);
    EXPECT_FALSE(CurrentTurnChangedHands(game));
    game.SetInt(game.Province(16), "owner", 2);
    EXPECT_TRUE(CurrentTurnChangedHands(game));
    // An entry missing from queueOwners never counts as changed.
    game.Remove(TGame::GetObj(game.Root(), "queueOwners"), "16");
    EXPECT_FALSE(CurrentTurnChangedHands(game));
    game.Remove(game.Root(), "queueOwners");
    EXPECT_FALSE(CurrentTurnChangedHands(game));
}

TEST(Queue, AdvancingPastTheLastTurnEndsTheMonth) {
    TGame game;
    StartSmallCampaign(game, 3);  // scenario 1 starts in month 1 of 320
    game.SetBool(game.Root(), "town", true);
    AdvanceQueue(game);
    EXPECT_FALSE(TGame::GetBool(game.Root(), "town"));
    EXPECT_EQ(TGame::GetInt(game.Root(), "queueIndex", 0), 1);
    for (int i = 1; i < 11; ++i) AdvanceQueue(game);
    EXPECT_EQ(TGame::GetInt(game.Root(), "month", 0), 2);
    EXPECT_EQ(TGame::GetInt(game.Root(), "queueIndex", -1), 0);
    EXPECT_EQ(QueueOf(game).size(), 11u);
    EXPECT_EQ(game.Chronicle().back(), "Month 2, River Calendar 320");
}

TEST(Queue, DecemberTurnsIntoJanuary) {
    TGame game;
    StartSmallCampaign(game, 3);
    game.SetInt(game.Root(), "month", 12);
    game.SetInt(game.Root(), "queueIndex", 10);
    AdvanceQueue(game);
    EXPECT_EQ(TGame::GetInt(game.Root(), "month", 0), 1);
    EXPECT_EQ(TGame::GetInt(game.Root(), "year", 0), 321);
}

TEST(Queue, AnEmptyQueueOnlyMovesThroughTheMonthEnd) {
    TGame game;
    StartSmallCampaign(game, 3);
    for (int p = 1; p <= kProvinceCount; ++p) game.SetInt(game.Province(p), "owner", 0);
    for (int f = 1; f <= 11; ++f) game.SetBool(game.Faction(f), "active", false);
    int rngBefore = TGame::GetInt(game.Root(), "rng", 0);
    BuildQueue(game);
    EXPECT_TRUE(QueueOf(game).empty());
    EXPECT_EQ(TGame::GetInt(game.Root(), "rng", 0), rngBefore);  // nothing to shuffle, no draw
    EXPECT_EQ(CurrentEntry(game), 0);
    AdvanceQueue(game);
    EXPECT_EQ(TGame::GetInt(game.Root(), "queueIndex", -1), 0);
}

}  // namespace
}  // namespace reedmark
