// Province orders: checks and their order, previews, chances, prices and the effects
// of the orders on the small world.
#include "model/orders.hpp"

#include <gtest/gtest.h>

#include "model/battle.hpp"
#include "model/game.hpp"
#include "model/queue.hpp"
#include "model/random.hpp"
#include "model/saves.hpp"
#include "tests/fixtures/small_world.hpp"

namespace reedmark {
namespace {

using testing::StartSmallCampaign;

// Small world: fellowship f <= 5 holds province 4f with its leader f and the followers
// 12..66 with (c - 12) % 11 + 1 == f; fellowships 6..10 are exile parties in 30 + f.
class OrdersTest : public ::testing::Test {
   protected:
    void SetUp() override { StartSmallCampaign(game, 7); }

    TObj Root() { return game.Root(); }
    TObj Prov(int p) { return game.Province(p); }
    TObj Char(int c) { return game.Character(c); }
    int Int(TObj obj, const char* key) { return TGame::GetInt(obj, key, 0); }
    void Set(TObj obj, const char* key, long long v) { game.SetInt(obj, key, v); }

    // Makes entry (a province, or -f for an exile party) the current turn, moved to the
    // front of the queue so that ending it never ends the month.
    void TurnOf(int entry) {
        TArr queue = TGame::GetArr(Root(), "queue");
        for (int i = 0; i < TGame::ArrLen(queue); ++i) {
            if (TGame::ArrInt(queue, i, 0) == entry) {
                game.ArrSetInt(queue, i, TGame::ArrInt(queue, 0, 0));
                game.ArrSetInt(queue, 0, entry);
                Set(Root(), "queueIndex", 0);
                return;
            }
        }
        FAIL() << "entry " << entry << " not in the queue";
    }

    // Sets the generator so that the next Random(100) satisfies wanted.
    template <typename Pred>
    void NextDraw(Pred wanted) {
        for (int s = 1; s < 100000; ++s) {
            Set(Root(), "rng", s);
            int r = Random(game, 100);
            if (wanted(r)) {
                Set(Root(), "rng", s);
                return;
            }
        }
        FAIL() << "no generator state found";
    }
    void NextSucceeds(int chance) {
        NextDraw([chance](int r) { return r < chance; });
    }
    void NextFails(int chance) {
        NextDraw([chance](int r) { return r >= chance; });
    }

    TOrderRecord Rec(TOrder o, int actor, int target = 0, int q = 0, int opt = 0) { return {o, actor, target, q, opt}; }
    std::string Check(TOrder o, int actor, int target = 0, int q = 0, int opt = 0) {
        return CheckOrder(game, Rec(o, actor, target, q, opt));
    }
    std::string Apply(TOrder o, int actor, int target = 0, int q = 0, int opt = 0) {
        return ApplyOrder(game, Rec(o, actor, target, q, opt));
    }
    int QueueIndex() { return Int(Root(), "queueIndex"); }
    std::string LastLog() { return game.Chronicle().empty() ? "" : game.Chronicle().back(); }

    TGame game;
};

TEST_F(OrdersTest, CatalogueNamesAndIdentifiers) {
    EXPECT_EQ(OrderName(oRest), "Rest");
    EXPECT_EQ(OrderName(oFlood), "Flood control");
    EXPECT_EQ(OrderName(oRumors), "Rumors");
    EXPECT_EQ(OrderName(static_cast<TOrder>(40)), "");
    for (int i = 0; i < kOrderCount; ++i) {
        TOrder back = oRest;
        ASSERT_TRUE(OrderFromIdent(OrderIdent(static_cast<TOrder>(i)), back));
        EXPECT_EQ(back, i);
    }
    TOrder none = oRest;
    EXPECT_FALSE(OrderFromIdent("oNothing", none));
}

TEST_F(OrdersTest, GeneralChecksComeInTheirOrder) {
    TGame empty;
    EXPECT_EQ(CheckOrder(empty, Rec(oRest, 1)), "No campaign loaded.");
    TurnOf(4);
    EXPECT_EQ(Check(oRest, 2), "Choose a serving local character.");
    EXPECT_EQ(Check(oRest, 1), "");
    // A scout target is checked before whose turn it is.
    Set(TGame::GetObj(Root(), "queueOwners"), "4", 3);
    EXPECT_EQ(Check(oScout, 99, 50), "Choose a valid province.");
    EXPECT_EQ(Check(oRest, 1), "This province changed hands; its next order is next month.");
    Set(TGame::GetObj(Root(), "queueOwners"), "4", 1);
    game.NewObj(Root(), "battle");
    EXPECT_EQ(Check(oRest, 1), "Finish the battle first.");
    game.Remove(Root(), "battle");
    game.SetBool(Root(), "ended", true);
    EXPECT_EQ(Check(oRest, 1), "This campaign has ended.");
    game.SetBool(Root(), "ended", false);
    Set(Prov(4), "owner", 0);
    Set(TGame::GetObj(Root(), "queueOwners"), "4", 0);
    EXPECT_EQ(Check(oRest, 1), "No current order.");
}

TEST_F(OrdersTest, TownAndExileTurnsAcceptOnlyTheirOrders) {
    TurnOf(4);
    EXPECT_EQ(Check(oBuyFood, 1, 0, 1), "Visit town first.");
    EXPECT_EQ(Check(oTown, 12), "Only the leader or a sworn companion may visit town.");
    int visit = QueueIndex();
    EXPECT_EQ(Apply(oTown, 1), "The town welcomes you. Purchases remain in this visit.");
    EXPECT_EQ(QueueIndex(), visit);  // free action
    EXPECT_EQ(Int(Char(1), "body"), 50);
    EXPECT_EQ(Check(oCultivate, 1), "Return to the lair before giving another order.");
    EXPECT_EQ(Check(oBuyFood, 1, 0, 1), "");
    int index = QueueIndex();
    EXPECT_EQ(Apply(oRest, 1), "Returned to the lair.");
    EXPECT_FALSE(TGame::GetBool(Root(), "town"));
    EXPECT_EQ(QueueIndex(), index + 1);

    TurnOf(-6);
    EXPECT_TRUE(IsExileTurn(game));
    EXPECT_EQ(Check(oCultivate, 6), "Settle an unclaimed province first.");
    EXPECT_EQ(Check(oTravel, 6, 37), "");
    EXPECT_EQ(Check(oTravel, 6, 20), "Choose an adjacent province.");
}

TEST_F(OrdersTest, BodyAndGoldAreCheckedLast) {
    TurnOf(4);
    Set(Char(1), "body", 14);
    EXPECT_EQ(Check(oCultivate, 1), "Requires 15 Body; companion has 14.");
    Set(Prov(4), "gold", 19);
    game.SetBool(Char(1), "navigator", true);
    Set(Char(1), "dexterity", 70);
    Set(Char(1), "body", 80);
    EXPECT_EQ(Check(oShip, 1), "Requires 20 Gold; available 19.");
}

// The read operations never draw, write or log, whatever they are asked.
TEST_F(OrdersTest, ReadOperationsChangeNothing) {
    TurnOf(4);
    std::string before = Checksum(game);
    size_t lines = game.Chronicle().size();
    for (int o = 0; o < kOrderCount; ++o) {
        for (int target : {0, 3, 5, 12, 20, 49, 70, 300}) {
            TOrderRecord r = Rec(static_cast<TOrder>(o), 1, target, 5, 1);
            CheckOrder(game, r);
            PreviewOrder(game, r);
            SuccessChance(game, r);
        }
    }
    EXPECT_EQ(Checksum(game), before);
    EXPECT_EQ(game.Chronicle().size(), lines);
}

TEST_F(OrdersTest, RestHealsEveryLocalMemberAndEndsTheTurn) {
    TurnOf(4);
    Set(Char(1), "body", 75);
    Set(Char(12), "body", 30);
    int index = QueueIndex();
    EXPECT_EQ(Apply(oRest, 12), "Rest completed.");
    EXPECT_EQ(Int(Char(1), "body"), 80);
    EXPECT_EQ(Int(Char(12), "body"), 40);
    EXPECT_EQ(Int(Char(2), "body"), 60);  // another fellowship
    EXPECT_EQ(QueueIndex(), index + 1);
    EXPECT_EQ(LastLog(), "Rest completed.");
}

TEST_F(OrdersTest, HuntingSeasonsAndRoomInTheStore) {
    TurnOf(4);
    Set(Root(), "month", 2);
    EXPECT_EQ(Check(oHunt, 1), "Hunting is unavailable in winter; it resumes in March.");
    EXPECT_EQ(Check(oHunt, 1, 0, 0, 2), "Choose Food or Fur for the hunt.");
    Set(Root(), "month", 3);
    EXPECT_EQ(Check(oHunt, 1), "");
    Set(Prov(4), "food", 9990);
    EXPECT_EQ(HuntYield(game, 1, 0), 9);
    EXPECT_EQ(PreviewOrder(game, Rec(oHunt, 1)), "Hunt for food: bring back 9 Food. Cost: 20 Body, 0 Gold.");
    EXPECT_EQ(Apply(oHunt, 1), "The hunt brings 9 food.");
    EXPECT_EQ(Int(Prov(4), "food"), 9999);
    EXPECT_EQ(Int(Char(1), "body"), 40);
    TurnOf(4);
    EXPECT_EQ(Check(oHunt, 1), "There is no room for more hunting supplies.");
    Set(Prov(4), "fur", 998);
    EXPECT_EQ(HuntYield(game, 1, 1), 1);
}

TEST_F(OrdersTest, QuantityRangesAtTheirLimits) {
    TurnOf(4);
    Set(Char(1), "soldiers", 100);
    EXPECT_EQ(Check(oHire, 1, 0, 1), "Quantity must be 1..0.");
    Set(Char(1), "soldiers", 99);
    EXPECT_EQ(Check(oHire, 1, 0, 1), "");
    EXPECT_EQ(Check(oHire, 1, 0, 2), "Quantity must be 1..1.");
    Set(Prov(4), "food", 0);
    EXPECT_EQ(Check(oGive, 1, 0, 1), "Food must be 1..0.");
    Set(Prov(4), "food", 5000);
    EXPECT_EQ(Check(oGive, 1, 0, 1001), "Food must be 1..1000.");
    EXPECT_EQ(Check(oGive, 1, 0, 1000), "");
    EXPECT_EQ(Check(oReward, 1, 12, 101), "Gold must be 1..100.");
    EXPECT_EQ(Check(oReward, 1, 2, 50), "Choose a local follower.");
    Set(Char(1), "dexterity", 60);
    Set(Char(1), "wisdom", 50);
    Set(Prov(4), "metal", 150);
    EXPECT_EQ(Check(oWeapons, 1, 0, 100), "Metal must be 1..99.");
    EXPECT_EQ(Check(oWeapons, 1, 0, 99), "");
    EXPECT_EQ(Check(oPolicy, 1, 0, 3), "Policy must be 0 Balanced, 1 Develop, or 2 Expand.");
    EXPECT_EQ(Check(oRedistribute, 1, 12, 0), "Transfer exceeds available troops or 100 per character.");
    EXPECT_EQ(Check(oRedistribute, 1, 1, 5), "Choose a different local character.");
}

TEST_F(OrdersTest, SwornCompanionLimitFollowsDifficulty) {
    TurnOf(4);
    for (int c : {12, 23, 34, 45, 56}) {
        Set(Char(c), "loyalty", 100);
        Set(Char(c), "integrity", Int(Char(1), "integrity"));
        Set(Char(c), "mercy", Int(Char(1), "mercy"));
        Set(Char(c), "courage", Int(Char(1), "courage"));
    }
    // Fellowship 1 already has four sworn companions elsewhere.
    for (int c : {67, 68, 69, 70}) {
        Set(Char(c), "faction", 1);
        game.SetStr(Char(c), "role", "sworn companion");
    }
    Set(Root(), "difficulty", 5);
    EXPECT_EQ(Check(oOath, 1, 12), "");
    game.SetStr(Char(71), "role", "sworn companion");
    Set(Char(71), "faction", 1);
    EXPECT_EQ(Check(oOath, 1, 12), "Sworn companion limit reached.");
    Set(Root(), "difficulty", 1);
    EXPECT_EQ(Check(oOath, 1, 12), "");
    for (int c : {72, 73, 74, 75}) {
        Set(Char(c), "faction", 1);
        game.SetStr(Char(c), "role", "sworn companion");
    }
    EXPECT_EQ(Check(oOath, 1, 12), "Sworn companion limit reached.");
    EXPECT_EQ(Check(oOath, 1, 1), "Choose a follower.");
    Set(Char(23), "loyalty", 94);
    EXPECT_EQ(Check(oOath, 1, 23), "Requires Loyalty 95 and compatibility 70.");
}

TEST_F(OrdersTest, OathBindsOnSuccess) {
    TurnOf(4);
    Set(Char(12), "loyalty", 96);
    for (const char* key : {"integrity", "mercy", "courage"}) Set(Char(12), key, Int(Char(1), key));
    int chance = SuccessChance(game, Rec(oOath, 1, 12));
    EXPECT_EQ(chance, 83);  // compatibility 100 + popularity 60 div 20 - 20
    NextSucceeds(chance);
    EXPECT_EQ(Apply(oOath, 1, 12), "Before river and sky, Person 12 swears the oath.");
    EXPECT_EQ(TGame::GetStr(Char(12), "role"), "sworn companion");
    EXPECT_EQ(Int(Char(12), "loyalty"), 100);
}

TEST_F(OrdersTest, InvitationCostRoomAndOutcomes) {
    TurnOf(4);
    // Fellowship 3 (province 12) has its leader and five followers; give it six more.
    for (int c : {80, 81, 82, 83, 84, 85}) {
        Set(Char(c), "faction", 3);
        Set(Char(c), "province", 12);
    }
    Set(Prov(4), "gold", 9000);
    long long gift = std::max(20LL, 200LL - Int(Char(1), "wisdom") - Int(game.Faction(1), "popularity") / 10);
    EXPECT_EQ(OrderGoldCost(game, Rec(oInvite, 1, 3)), gift + 120);
    EXPECT_EQ(Check(oInvite, 1, 3), "Insufficient room for the whole fellowship.");
    Set(Prov(4), "castles", 4);  // 6 here + 12 arriving fit in 20
    EXPECT_EQ(Check(oInvite, 1, 3), "");
    EXPECT_EQ(Check(oInvite, 1, 2), "");
    EXPECT_EQ(Check(oInvite, 1, 4), "");
    Set(Prov(13), "owner", 3);
    EXPECT_EQ(Check(oInvite, 1, 3), "Target owns more than one province.");
    Set(Prov(13), "owner", 0);

    int chance = SuccessChance(game, Rec(oInvite, 1, 3));
    NextFails(chance);
    EXPECT_EQ(Apply(oInvite, 1, 3), "The invitation is declined.");
    EXPECT_EQ(Int(Prov(4), "gold"), 9000 - gift);

    TurnOf(4);
    gift = std::max(20LL, 200LL - Int(Char(1), "wisdom") - Int(game.Faction(1), "popularity") / 10);
    NextSucceeds(SuccessChance(game, Rec(oInvite, 1, 3)));
    int goldBefore = Int(Prov(4), "gold");
    EXPECT_EQ(Apply(oInvite, 1, 3), "The fellowships unite.");
    EXPECT_EQ(Int(Prov(4), "gold"), goldBefore - gift - 120);
    EXPECT_EQ(Int(Prov(12), "owner"), 1);
    EXPECT_EQ(Int(Char(3), "faction"), 1);
    EXPECT_EQ(TGame::GetStr(Char(3), "role"), "follower");
    EXPECT_FALSE(TGame::GetBool(game.Faction(3), "active"));
    EXPECT_TRUE(game.IsLocalMember(Int(Prov(12), "governor"), 12, 1));
    EXPECT_EQ(Validate(game), "");
}

TEST_F(OrdersTest, DiplomacyTargets) {
    TurnOf(4);
    EXPECT_EQ(Check(oTreaty, 1, 1), "Choose a settled rival leader.");
    EXPECT_EQ(Check(oTreaty, 1, 6), "Choose a settled rival leader.");  // homeless
    EXPECT_EQ(Check(oTreaty, 1, 256), "Choose a settled rival leader.");
    game.SetBool(game.Faction(2), "human", true);
    EXPECT_EQ(Check(oTreaty, 1, 2), "Human diplomacy requires an incoming decision; select an AI leader.");
}

TEST_F(OrdersTest, TreatyRenewalReplacesTheOldEntry) {
    TurnOf(4);
    Set(Prov(4), "gold", 5000);
    NextSucceeds(SuccessChance(game, Rec(oTreaty, 1, 2)));
    EXPECT_EQ(Apply(oTreaty, 1, 2), "A three-year treaty is signed.");
    TArr treaties = TGame::GetArr(Root(), "treaties");
    ASSERT_EQ(TGame::ArrLen(treaties), 1);
    TObj t = TGame::ArrObj(treaties, 0);
    EXPECT_EQ(Int(t, "a"), 1);
    EXPECT_EQ(Int(t, "b"), 2);
    EXPECT_EQ(Int(t, "years"), 3);
    TurnOf(4);
    int gold = Int(Prov(4), "gold");
    long long gift = OrderGoldCost(game, Rec(oTreaty, 1, 3));
    NextFails(SuccessChance(game, Rec(oTreaty, 1, 3)));
    EXPECT_EQ(Apply(oTreaty, 1, 3), "The treaty is refused. The gift is spent.");
    EXPECT_EQ(Int(Prov(4), "gold"), gold - gift);
    EXPECT_EQ(TGame::ArrLen(treaties), 1);
}

TEST_F(OrdersTest, ScoutingReachesAnyProvinceButWarOnlyNeighbours) {
    TurnOf(4);
    EXPECT_EQ(Check(oScout, 1, 49), "");
    EXPECT_EQ(Check(oWar, 1, 49), "Choose an adjacent province.");
    EXPECT_EQ(Check(oWar, 1, 5), "Target must be an enemy province.");
    Set(Prov(5), "owner", 2);
    EXPECT_EQ(Check(oWar, 1, 5), "A binding treaty forbids this attack.");
    Set(Prov(5), "owner", 3);
    EXPECT_EQ(Check(oWar, 1, 5), "");
    game.SetBool(Prov(5), "snow", true);
    EXPECT_EQ(Check(oWar, 1, 5), "Snow blocks this route.");
    int soldiers = game.ProvinceSoldiers(49);
    EXPECT_EQ(Apply(oScout, 1, 49), "Scouts report Province 49: " + std::to_string(soldiers) + " soldiers, 400 Food.");
}

TEST_F(OrdersTest, WarChestCountsTheFirstTenReadyCompanions) {
    TurnOf(4);
    for (int c : {1, 12, 23, 34, 45, 56}) Set(Char(c), "soldiers", 3);
    Set(Char(56), "body", 9);  // not ready
    EXPECT_EQ(OrderGoldCost(game, Rec(oWar, 1, 5)), 5 * 2);
    Set(Char(12), "soldiers", 0);
    EXPECT_EQ(OrderGoldCost(game, Rec(oWar, 1, 5)), 4 * 2 + 1);
}

TEST_F(OrdersTest, MarketPricesAtRate50And13) {
    TurnOf(4);
    EXPECT_EQ(UnitPriceCents(game, oBuyFood, 4), 200);
    EXPECT_EQ(TotalPriceGold(game, oBuyFood, 4, 3), 6);
    EXPECT_EQ(TotalPriceGold(game, oSellFood, 4, 3), 3);
    EXPECT_EQ(TotalPriceGold(game, oBuyFur, 4, 1), 10);
    EXPECT_EQ(TotalPriceGold(game, oSellFur, 4, 1), 6);
    EXPECT_EQ(TotalPriceGold(game, oBuyFood, 4, 10000), 0);
    EXPECT_EQ(PriceText(game, oBuyFood, 4), "2.00");
    EXPECT_EQ(UnitPriceCents(game, oBuyArms, 4), 0);
    Set(Prov(4), "rate", 13);
    EXPECT_EQ(UnitPriceCents(game, oBuyFood, 4), 80);
    EXPECT_EQ(TotalPriceGold(game, oBuyFood, 4, 1), 1);
    EXPECT_EQ(TotalPriceGold(game, oSellFood, 4, 1), 0);
    EXPECT_EQ(PriceText(game, oSellFood, 4), "0.40");
    game.Remove(Prov(4), "rate");
    EXPECT_EQ(UnitPriceCents(game, oBuyFood, 4), 200);  // absent reads as 50
}

TEST_F(OrdersTest, MarketOrdersInTown) {
    TurnOf(4);
    Set(Prov(4), "rate", 13);
    ASSERT_EQ(Apply(oTown, 1), "The town welcomes you. Purchases remain in this visit.");
    EXPECT_EQ(Check(oSellFood, 1, 0, 1), "Quantity too small: this sale would return 0 Gold.");
    EXPECT_EQ(Check(oSellFood, 1, 0, 0), "Quantity must be 1..9999.");
    EXPECT_EQ(PreviewOrder(game, Rec(oSellFood, 1, 0, 5)),
              "Sell 5 Food at 0.40 Gold each; receive 2 Gold (total rounded down). Cost: 0 Body, 0 Gold.");
    Set(Prov(4), "rate", 50);
    int index = QueueIndex();
    EXPECT_EQ(Apply(oBuyFood, 1, 0, 3), "Bought 3 Food for 6 Gold.");
    EXPECT_EQ(Apply(oSellFur, 1, 0, 10), "Sold 10 Fur for 60 Gold.");
    EXPECT_EQ(Check(oSellFur, 1, 0, 1), "Not enough fur.");
    EXPECT_EQ(Int(Prov(4), "food"), 403);
    EXPECT_EQ(Int(Prov(4), "gold"), 554);
    EXPECT_EQ(QueueIndex(), index);
    EXPECT_EQ(Check(oBuyArms, 1, 0, 1), "There is no smithy here.");
    EXPECT_EQ(Check(oBuyShip, 1, 0, 1), "There is no shipyard here.");
    game.SetBool(Prov(4), "smithy", true);
    EXPECT_EQ(Check(oBuyArms, 1, 0, 71), "Arms cannot exceed 100.");
    EXPECT_EQ(Check(oBuyArms, 1, 0, 70), "Requires 700 Gold; available 554.");
    Set(Prov(4), "gold", 1000);
    EXPECT_EQ(Apply(oBuyArms, 1, 0, 70), "Buy arms completed.");
    EXPECT_EQ(Int(Prov(4), "arms"), 100);
    EXPECT_EQ(Int(Prov(4), "gold"), 300);
}

TEST_F(OrdersTest, BeastExpeditionDrawsTwiceOnSuccess) {
    TurnOf(4);
    Set(Prov(4), "beast", 3);
    int chance = SuccessChance(game, Rec(oBeasts, 1));
    NextSucceeds(chance);
    long long rng = TGame::GetRawInt64(Root(), "rng", 0);
    // Replay the two draws on the same generator state to know the gain.
    Random(game, 100);
    int gain = Random(game, 5) + 1;
    long long after = TGame::GetRawInt64(Root(), "rng", 0);
    Set(Root(), "rng", rng);
    int pop = Int(game.Faction(1), "popularity");
    EXPECT_EQ(Apply(oBeasts, 1),
              "The tiger is driven away. Residents are safe; Popularity +" + std::to_string(gain) + ".");
    EXPECT_EQ(TGame::GetRawInt64(Root(), "rng", 0), after);
    EXPECT_EQ(Int(game.Faction(1), "popularity"), pop + gain);
    EXPECT_EQ(Int(Prov(4), "beast"), 0);

    TurnOf(4);
    Set(Prov(4), "beast", 4);
    Set(Char(1), "soldiers", 55);
    NextFails(SuccessChance(game, Rec(oBeasts, 1)));
    EXPECT_EQ(Apply(oBeasts, 1), "The bear escapes. The expedition returns wounded; residents remain at risk.");
    EXPECT_EQ(Int(Char(1), "soldiers"), 50);
    EXPECT_EQ(Int(game.Faction(1), "popularity"), pop + gain - 2);
}

TEST_F(OrdersTest, SettlingCarriesThePartyStores) {
    TurnOf(-6);
    TObj party = game.ExileParty(6);
    Set(party, "food", 50);
    Set(party, "gold", 20);
    Set(Prov(36), "food", 9950);
    int gold = Int(Prov(36), "gold");
    EXPECT_EQ(Apply(oSettle, 6), "Your fellowship settles Province 36.");
    EXPECT_EQ(Int(Prov(36), "food"), 9999);
    EXPECT_EQ(Int(Prov(36), "gold"), gold + 20);
    EXPECT_EQ(Int(party, "food"), 0);
    EXPECT_EQ(Int(party, "gold"), 0);
    EXPECT_EQ(Int(Prov(36), "owner"), 6);
    EXPECT_EQ(Int(game.Faction(6), "home"), 36);
    EXPECT_EQ(TGame::GetStr(Char(6), "role"), "leader");
    EXPECT_EQ(TGame::GetStr(Char(17), "role"), "follower");
    EXPECT_EQ(Validate(game), "");
}

TEST_F(OrdersTest, SettlingNeedsRoomForTheWholeParty) {
    TurnOf(-6);
    Set(Prov(36), "castles", 1);  // six people, room for five
    EXPECT_EQ(Check(oSettle, 6), "No room to settle.");
    Set(Prov(36), "castles", 2);
    EXPECT_EQ(Check(oSettle, 6), "");
    Set(Prov(36), "owner", 3);
    Set(Prov(36), "support", 40);
    EXPECT_EQ(Check(oSettle, 6), "Settlement in an occupied province needs Support below 40 for an uprising.");
    Set(game.Faction(kChancellor), "home", 36);
    Set(Prov(36), "owner", 0);
    EXPECT_EQ(Check(oSettle, 6), "The Chancellor home requires a Royal Writ.");
}

TEST_F(OrdersTest, UprisingLeavesTheTurnToTheBattle) {
    TurnOf(-6);
    Set(Prov(36), "owner", 3);
    Set(Prov(36), "governor", 3);
    Set(Char(3), "province", 36);  // the governor stands in his province, so the battle stays open
    Set(Prov(36), "support", 39);
    int index = QueueIndex();
    int body = Int(Char(6), "body");
    EXPECT_EQ(Apply(oSettle, 6), "An uprising begins.");
    EXPECT_EQ(LastLog(), "An uprising begins.");
    EXPECT_TRUE(HasBattle(game));
    EXPECT_EQ(QueueIndex(), index);
    EXPECT_EQ(Int(Char(6), "body"), body - 10);  // the march to battle; the order itself takes none
}

TEST_F(OrdersTest, RecruitingInTown) {
    TurnOf(4);
    // Resident 150 stands in province 4 (150 % 49 + 1).
    ASSERT_EQ(Int(Char(150), "province"), 4);
    Apply(oTown, 1);
    int pop = Int(game.Faction(1), "popularity");
    int index = QueueIndex();
    NextFails(SuccessChance(game, Rec(oRecruit, 1, 150)));
    EXPECT_EQ(Apply(oRecruit, 1, 150), "Person 150 declines your invitation.");
    EXPECT_EQ(Int(game.Faction(1), "popularity"), pop - 1);
    EXPECT_EQ(Int(Char(1), "body"), 40);  // 10 for the visit, 10 for the attempt
    EXPECT_EQ(QueueIndex(), index);
    EXPECT_EQ(TGame::ArrInt(TGame::GetArr(Root(), "townAttempts"), 0, 0), 150);
    EXPECT_EQ(Check(oRecruit, 1, 150), "Already approached this resident during this visit.");
    // Outside town the same resident may be asked again.
    Apply(oRest, 1);
    TurnOf(4);
    EXPECT_EQ(Check(oRecruit, 1, 150), "");
    NextSucceeds(SuccessChance(game, Rec(oRecruit, 1, 150)));
    EXPECT_EQ(Apply(oRecruit, 1, 150), "Person 150 joins your fellowship.");
    EXPECT_EQ(Int(Char(150), "faction"), 1);
    EXPECT_EQ(TGame::GetStr(Char(150), "role"), "follower");
    int loyalty = Int(Char(150), "loyalty");
    EXPECT_GE(loyalty, 50);
    EXPECT_LE(loyalty, 90);
}

TEST_F(OrdersTest, HiringDilutesTraining) {
    TurnOf(4);
    for (int c : {1, 12, 23, 34, 45, 56}) Set(Char(c), "soldiers", 10);
    Set(Prov(4), "skill", 50);
    Set(Prov(4), "arms", 41);
    Set(Prov(4), "rate", 50);
    int gold = Int(Prov(4), "gold");
    EXPECT_EQ(Apply(oHire, 1, 0, 20), "Hire soldiers completed.");
    EXPECT_EQ(Int(Prov(4), "skill"), 37);
    EXPECT_EQ(Int(Prov(4), "arms"), 30);
    EXPECT_EQ(Int(Char(1), "soldiers"), 30);
    EXPECT_EQ(Int(Prov(4), "gold"), gold - 20 * 5);
}

TEST_F(OrdersTest, LeaderLeavesLastAndTheLastPersonOutUnclaims) {
    TurnOf(4);
    EXPECT_EQ(Check(oMove, 1, 5), "Move followers first; the leader departs last.");
    EXPECT_EQ(Check(oMove, 12, 20), "Choose an adjacent province.");
    for (int c : {12, 23, 34, 45, 56}) {
        TurnOf(4);
        ASSERT_EQ(Apply(oMove, c, 5), "Move people completed.") << c;
    }
    EXPECT_EQ(Int(Prov(5), "owner"), 1);
    TurnOf(4);
    // Everyone left but the leader: the troops of province 4 are his alone.
    EXPECT_EQ(Apply(oMove, 1, 3), "Move people completed.");
    EXPECT_EQ(Int(game.Faction(1), "home"), 3);
    EXPECT_EQ(Int(Prov(4), "owner"), 0);
    EXPECT_EQ(Int(Prov(4), "governor"), 0);
    EXPECT_EQ(Int(Prov(3), "governor"), 1);
    EXPECT_EQ(Validate(game), "");
}

TEST_F(OrdersTest, SkillAndArmsLeaveWithTheLastSoldiers) {
    TurnOf(4);
    for (int c : {1, 12, 23, 34, 45, 56}) Set(Char(c), "soldiers", 0);
    Set(Char(12), "soldiers", 10);
    EXPECT_EQ(Apply(oMove, 12, 5), "Move people completed.");
    EXPECT_EQ(Int(Prov(4), "skill"), 0);
    EXPECT_EQ(Int(Prov(4), "arms"), 0);
    EXPECT_EQ(Int(Prov(5), "skill"), 30);
}

// A province holding prisoners does not stay with a fellowship that left it.
TEST_F(OrdersTest, LastMemberLeavingPrisonersBehindUnclaims) {
    TurnOf(4);
    for (int c : {1, 23, 34, 45, 56}) Set(Char(c), "province", 3);
    Set(Char(13), "province", 4);  // a follower of fellowship 2, held prisoner here
    game.SetBool(Char(13), "captured", true);
    Set(Char(13), "captor", 1);
    Set(Prov(4), "governor", 12);
    EXPECT_EQ(Apply(oMove, 12, 5), "Move people completed.");
    EXPECT_EQ(Int(Prov(4), "owner"), 0);
    EXPECT_EQ(Int(Prov(4), "governor"), 0);
    EXPECT_EQ(Validate(game), "");
}

TEST_F(OrdersTest, DismissingKeepsTroopsAndChoosesANewGovernor) {
    TurnOf(4);
    Set(Prov(4), "governor", 1);
    game.SetBool(Char(12), "ship", true);
    EXPECT_EQ(Check(oDismiss, 1, 1), "Choose a follower, not the leader.");
    int pop = Int(game.Faction(1), "popularity");
    EXPECT_EQ(Apply(oDismiss, 1, 12), "Dismiss completed.");
    EXPECT_EQ(Int(Char(12), "faction"), 0);
    EXPECT_EQ(TGame::GetStr(Char(12), "role"), "free");
    EXPECT_TRUE(TGame::GetBool(Char(12), "ship"));
    EXPECT_EQ(Int(game.Faction(1), "popularity"), pop - 5);
}

TEST_F(OrdersTest, AbandoningWithElevenMembers) {
    TurnOf(4);
    for (int c : {70, 71, 72, 73, 74}) {
        Set(Char(c), "faction", 1);
        Set(Char(c), "province", 4);
        game.SetStr(Char(c), "role", "follower");
    }
    Set(Prov(4), "castles", 3);
    // Local members: 1, 12, 23, 34, 45, 56, 70..74 (eleven); 74 stays behind.
    Set(Prov(4), "food", 80);
    EXPECT_EQ(Apply(oAbandon, 1), "The fellowship takes the road again.");
    for (int c : {1, 12, 23, 34, 45, 56, 70, 71, 72, 73}) EXPECT_EQ(TGame::GetStr(Char(c), "role"), "exile") << c;
    EXPECT_EQ(Int(Char(74), "faction"), 74);
    EXPECT_EQ(TGame::GetStr(Char(74), "role"), "leader");
    EXPECT_EQ(Int(Prov(4), "owner"), 74);
    EXPECT_EQ(Int(Prov(4), "governor"), 74);
    TObj founder = game.Faction(74);
    EXPECT_TRUE(TGame::GetBool(founder, "active"));
    EXPECT_EQ(Int(founder, "home"), 4);
    EXPECT_EQ(Int(game.Faction(1), "home"), 0);
    TObj party = game.ExileParty(1);
    ASSERT_NE(party, nullptr);
    EXPECT_EQ(Int(party, "food"), 80);
    EXPECT_EQ(Int(party, "gold"), 100);
    EXPECT_EQ(Int(Prov(4), "food"), 0);
    EXPECT_EQ(Validate(game), "");
}

// The leader away from the province that abandons goes into exile where he stands and
// never founds a fellowship of his own.
TEST_F(OrdersTest, AbandoningWhileTheLeaderIsAway) {
    Set(Prov(5), "owner", 1);
    Set(Char(1), "province", 5);
    Set(Prov(5), "governor", 1);
    Set(Char(12), "province", 5);
    Set(Prov(4), "governor", 23);
    BuildQueue(game);
    TurnOf(4);
    EXPECT_EQ(Apply(oAbandon, 23), "The fellowship takes the road again.");
    EXPECT_EQ(TGame::GetStr(Char(1), "role"), "exile");
    EXPECT_EQ(Int(Char(1), "faction"), 1);
    EXPECT_FALSE(TGame::GetBool(game.Faction(1), "active") && Int(game.Faction(1), "home") != 0);
    EXPECT_EQ(Int(Prov(5), "owner"), 12);  // the follower there founds, not the leader
    EXPECT_EQ(Int(Char(12), "faction"), 12);
    EXPECT_EQ(Int(Prov(4), "owner"), 0);  // everyone else went into exile
    EXPECT_EQ(Validate(game), "");
}

TEST_F(OrdersTest, RumorsListAtMostSevenResidents) {
    TurnOf(4);
    Apply(oTown, 1);
    std::string answer = Apply(oRumors, 1);
    ASSERT_EQ(answer.rfind("Leads: ", 0), 0u);
    int names = 0;
    for (size_t at = answer.find("Person "); at != std::string::npos; at = answer.find("Person ", at + 1)) {
        int id = std::stoi(answer.substr(at + 7));
        EXPECT_GT(id, 11);
        EXPECT_GE(game.Compatibility(1, id), 70);
        ++names;
    }
    EXPECT_LE(names, 7);
    // Nobody compatible: the answer is the bare prefix.
    for (int c = 12; c <= kCharacterCount; ++c) Set(Char(c), "faction", Int(Char(c), "faction") == 0 ? 0 : 1);
    for (const char* key : {"integrity", "mercy", "courage"}) Set(Char(1), key, 1000);
    EXPECT_EQ(Apply(oRumors, 1), "Leads: ");
}

TEST_F(OrdersTest, PreviewsQuoteTheNumbersApplyUses) {
    TurnOf(4);
    EXPECT_EQ(PreviewOrder(game, Rec(oCultivate, 1)),
              "Development +" + std::to_string(Int(Char(1), "strength") / 10 + 3) + ", Support +" +
                  std::to_string(Int(Char(1), "mercy") / 25 + 1) + ". No Gold required. Cost: 15 Body, 0 Gold.");
    int land = Int(Prov(4), "land");
    int gain = Int(Char(1), "strength") / 10 + 3;
    EXPECT_EQ(Apply(oCultivate, 1), "land improved by " + std::to_string(gain) + ".");
    EXPECT_EQ(Int(Prov(4), "land"), std::min(100, land + gain));
    TurnOf(4);
    EXPECT_EQ(PreviewOrder(game, Rec(oBuyFood, 1, 0, 3)),
              "Buy 3 Food at 2.00 Gold each. Total cost rounds up to whole Gold. Cost: 0 Body, 6 Gold.");
    EXPECT_EQ(PreviewOrder(game, Rec(oRest, 1)),
              "All local companions recover 10 Body, followed by month-end recovery. Cost: 0 Body, 0 Gold.");
}

TEST_F(OrdersTest, ShipsWeaponsAndTheShipyard) {
    TurnOf(4);
    EXPECT_EQ(Check(oShip, 12), "Needs navigation and Dexterity 70.");
    game.SetBool(Char(12), "navigator", true);
    Set(Char(12), "dexterity", 70);
    int gold = Int(Prov(4), "gold");
    EXPECT_EQ(Apply(oShip, 12), "Make ship completed.");
    EXPECT_TRUE(TGame::GetBool(Char(12), "ship"));
    EXPECT_EQ(Int(Prov(4), "gold"), gold - 20);
    EXPECT_EQ(Int(Char(12), "body"), 45);
    TurnOf(4);
    EXPECT_EQ(Check(oShip, 12), "Companion already owns a ship.");
    EXPECT_EQ(Check(oAssignShip, 1, 12), "Companion needs a ship; recipient must lack one.");
    EXPECT_EQ(Apply(oAssignShip, 12, 1), "Assign ship completed.");
    EXPECT_TRUE(TGame::GetBool(Char(1), "ship"));
    EXPECT_FALSE(TGame::GetBool(Char(12), "ship"));

    // Metal 20 at Dexterity 60 + Wisdom 50: Arms + 20 x 110 div 200 = 11.
    Set(Char(23), "dexterity", 60);
    Set(Char(23), "wisdom", 50);
    Set(Prov(4), "arms", 30);
    EXPECT_EQ(PreviewOrder(game, Rec(oWeapons, 23, 0, 20)),
              "Spend 20 Metal. Arms +11, capped at 100. Cost: 15 Body, 0 Gold.");
    EXPECT_EQ(Apply(oWeapons, 23, 0, 20), "Make weapons completed.");
    EXPECT_EQ(Int(Prov(4), "arms"), 41);
    EXPECT_EQ(Int(Prov(4), "metal"), 0);

    TurnOf(4);
    game.SetBool(Prov(4), "shipyard", true);
    Apply(oTown, 1);
    EXPECT_EQ(Check(oBuyShip, 1, 0, 1), "Choose one character without a ship.");
    game.SetBool(Char(1), "ship", false);
    EXPECT_EQ(Check(oBuyShip, 1, 0, 2), "Choose one character without a ship.");
    gold = Int(Prov(4), "gold");
    EXPECT_EQ(Apply(oBuyShip, 1, 0, 1), "Buy ship completed.");
    EXPECT_EQ(Int(Prov(4), "gold"), gold - 25);
    Set(Prov(4), "gold", 9999);
    EXPECT_EQ(Check(oBuyFur, 1, 0, 990), "Fur capacity is 999.");
    EXPECT_EQ(Apply(oBuyFur, 1, 0, 989), "Bought 989 Fur for 9890 Gold.");
    EXPECT_EQ(Int(Prov(4), "fur"), 999);
}

TEST_F(OrdersTest, ConvoyMayLoseATenth) {
    TurnOf(4);
    Set(Prov(5), "owner", 1);
    EXPECT_EQ(Check(oConvoy, 1, 5, 401), "Food exceeds origin stock or destination capacity.");
    Set(Char(1), "wisdom", 0);  // risk 30%
    EXPECT_EQ(PreviewOrder(game, Rec(oConvoy, 1, 5, 95)),
              "Send 95 Food. Escort stays here. Risk 30% of losing a tenth. Cost: 10 Body, 0 Gold.");
    NextSucceeds(30);
    EXPECT_EQ(Apply(oConvoy, 1, 5, 95), "The convoy lost a tenth of its food.");
    EXPECT_EQ(Int(Prov(4), "food"), 305);
    EXPECT_EQ(Int(Prov(5), "food"), 400 + 95 - 10);
}

TEST_F(OrdersTest, WarOpensTheBattleWithoutEndingTheTurn) {
    TurnOf(4);
    Set(Prov(5), "owner", 3);
    Set(Prov(4), "food", 0);
    EXPECT_EQ(Check(oWar, 1, 5), "The army requires provisions.");
    Set(Prov(4), "food", 100);
    int body = Int(Char(1), "body");
    EXPECT_EQ(PreviewOrder(game, Rec(oWar, 1, 5)).rfind("Send up to ten ready companions to Province 5. ", 0), 0u);
    EXPECT_EQ(Apply(oWar, 1, 5), "The armies deploy. Defenders act first.");
    EXPECT_EQ(LastLog().empty(), false);
    EXPECT_LE(Int(Char(1), "body"), body);  // whatever the battle takes, the order takes nothing itself
}

}  // namespace
}  // namespace reedmark
