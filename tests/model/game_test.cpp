// The document operations of TGame: getters, setters and key order, lookups, the
// chronicle, the shared counts and the derived index behind them.
#include <gtest/gtest.h>

#include "model/document_io.hpp"
#include "model/game.hpp"
#include "model/random.hpp"
#include "tests/fixtures/small_world.hpp"

namespace reedmark {
namespace {

using testing::StartSmallCampaign;

TEST(GameDocument, NoCampaignLooksUpNothing) {
    TGame game;
    EXPECT_FALSE(game.HasCampaign());
    EXPECT_EQ(game.Root(), nullptr);
    EXPECT_EQ(game.Province(1), nullptr);
    EXPECT_EQ(game.Character(1), nullptr);
    EXPECT_EQ(game.Faction(1), nullptr);
    EXPECT_EQ(game.ProvinceHeadcount(1), 0);
    EXPECT_FALSE(game.IsEnded());
    EXPECT_EQ(TGame::GetInt(game.Province(1), "gold", 7), 7);
}

TEST(GameDocument, LookupsOutsideTheIdRangesAreAbsent) {
    TGame game;
    StartSmallCampaign(game);
    EXPECT_EQ(game.Province(0), nullptr);
    EXPECT_EQ(game.Province(50), nullptr);
    EXPECT_NE(game.Province(49), nullptr);
    EXPECT_EQ(game.Character(0), nullptr);
    EXPECT_EQ(game.Character(256), nullptr);
    EXPECT_NE(game.Character(255), nullptr);
    EXPECT_EQ(game.Faction(0), nullptr);
    EXPECT_NE(game.Faction(255), nullptr);
    EXPECT_EQ(game.Faction(256), nullptr);
    EXPECT_EQ(TGame::GetInt(game.Province(50), "gold", -3), -3);
    EXPECT_EQ(TGame::GetInt(game.Province(4), "gold", -3), 500);
    EXPECT_EQ(game.ExileParty(6) != nullptr, true);
    EXPECT_EQ(game.ExileParty(1), nullptr);
}

TEST(GameDocument, GettersOnlyAcceptTheirOwnTypes) {
    TGame game;
    StartSmallCampaign(game);
    TObj ch = game.Character(1);
    game.SetInt(ch, "flagNumber", 1);
    game.SetStr(ch, "flagText", "true");
    EXPECT_FALSE(TGame::GetBool(ch, "flagNumber"));
    EXPECT_FALSE(TGame::GetBool(ch, "flagText"));
    EXPECT_EQ(TGame::GetStr(ch, "flagNumber", "dflt"), "dflt");
    EXPECT_EQ(TGame::GetInt(ch, "flagText", 5), 5);
    EXPECT_EQ(TGame::GetInt(ch, "missing", 5), 5);
    game.SetAtPointer("/characters/0/nothing", nullptr);
    EXPECT_EQ(TGame::GetInt(ch, "nothing", 9), 9);
}

TEST(GameDocument, HugeNumbersSaturateInsteadOfOverflowing) {
    TGame game;
    StartSmallCampaign(game);
    game.SetAtPointer("/characters/0/loyalty", TJson(std::int64_t{9'000'000'000'000}));
    game.SetAtPointer("/characters/0/age", TJson(-1e300));
    EXPECT_EQ(TGame::GetInt(game.Character(1), "loyalty", 0), kIntLimit);
    EXPECT_EQ(TGame::GetInt(game.Character(1), "age", 0), -kIntLimit);
    game.AddCapped(game.Character(1), "loyalty", kIntLimit, 100);
    EXPECT_EQ(TGame::GetInt(game.Character(1), "loyalty", 0), 100);
}

TEST(GameDocument, SettersMoveTheKeyToTheEnd) {
    TGame game;
    StartSmallCampaign(game);
    TObj prov = game.Province(3);
    ASSERT_EQ(testing::KeysOf(prov).front(), "id");
    game.SetInt(prov, "id", 3);  // same value, still moved
    EXPECT_EQ(testing::KeysOf(prov).back(), "id");
    EXPECT_EQ(testing::KeysOf(prov).front(), "name");
    game.SetBool(prov, "name", true);
    EXPECT_EQ(testing::KeysOf(prov).back(), "name");
    game.SetStr(prov, "brandNew", "x");
    EXPECT_EQ(testing::KeysOf(prov).back(), "brandNew");
}

TEST(GameDocument, HandlesSurviveSiblingWrites) {
    TGame game;
    StartSmallCampaign(game);
    TObj ch = game.Character(12);
    TObj xp = TGame::GetObj(ch, "xp");
    // Rewriting keys before xp shifts xp inside its parent; the handle must not move.
    for (const char* key : {"name", "profession", "age", "faction", "role"}) game.SetStr(ch, key, "x");
    game.SetInt(xp, "wisdom", 42);
    EXPECT_EQ(game.AtPointer("/characters/11/xp/wisdom")->get<int>(), 42);
}

// New keys grow an object's member list; the nested objects and arrays must stay where
// they are, or every handle into them (and the derived index) would dangle.
TEST(GameDocument, HandlesSurviveTheGrowthOfTheirParent) {
    TGame game;
    StartSmallCampaign(game);
    TObj ch = game.Character(5);
    TObj xp = TGame::GetObj(ch, "xp");
    TArr neighbours = TGame::GetArr(game.Province(4), "neighbors");
    EXPECT_EQ(game.ProvinceHeadcount(4), 6);  // the index now caches the root's arrays
    for (int i = 0; i < 100; ++i) {
        game.SetInt(ch, "extra" + std::to_string(i), i);
        game.SetInt(game.Province(4), "extra" + std::to_string(i), i);
        game.SetInt(game.Root(), "extra" + std::to_string(i), i);
    }
    game.SetInt(xp, "wisdom", 7);
    game.ArrSetInt(neighbours, 0, 11);
    EXPECT_EQ(game.AtPointer("/characters/4/xp/wisdom")->get<int>(), 7);
    EXPECT_EQ(game.AtPointer("/provinces/3/neighbors/0")->get<int>(), 11);
    EXPECT_EQ(game.ProvinceHeadcount(4), 6);
    game.SetInt(game.Character(12), "province", 9);
    EXPECT_EQ(game.ProvinceHeadcount(4), 5);
    EXPECT_TRUE(game.IndexMatchesDocument());
}

TEST(GameDocument, ChronicleKeepsTheNewest200Lines) {
    TGame game;
    for (int i = 1; i <= 201; ++i) game.AddLog("line " + std::to_string(i));
    ASSERT_EQ(game.Chronicle().size(), 200u);
    EXPECT_EQ(game.Chronicle().front(), "line 2");
    EXPECT_EQ(game.Chronicle().back(), "line 201");
}

TEST(GameRules, CompatibilityBounds) {
    TGame game;
    StartSmallCampaign(game);
    EXPECT_EQ(game.Compatibility(20, 20), 100);
    auto temper = [&](int c, int v) {
        for (const char* key : {"integrity", "mercy", "courage"}) game.SetInt(game.Character(c), key, v);
    };
    temper(20, 0);
    temper(21, 100);
    EXPECT_EQ(game.Compatibility(20, 21), 0);  // 300 apart
    temper(21, 10);
    EXPECT_EQ(game.Compatibility(20, 21), 90);  // 30 apart
    game.SetInt(game.Character(21), "courage", 12);
    EXPECT_EQ(game.Compatibility(21, 20), 90);  // 32 div 3 = 10
}

TEST(GameRules, GainExperienceCarriesAndCapsAtHundred) {
    TGame game;
    StartSmallCampaign(game);
    TObj ch = game.Character(30);
    TObj xp = TGame::GetObj(ch, "xp");
    game.SetInt(ch, "wisdom", 40);
    game.SetInt(xp, "wisdom", 80);
    game.SetInt(ch, "strength", 99);
    game.SetInt(xp, "strength", 0);
    game.GainExperience(30, 150, 0, 250);
    EXPECT_EQ(TGame::GetInt(ch, "wisdom", 0), 43);
    EXPECT_EQ(TGame::GetInt(xp, "wisdom", 0), 30);
    EXPECT_EQ(TGame::GetInt(ch, "strength", 0), 100);
    EXPECT_EQ(TGame::GetInt(xp, "strength", 0), 0);
    // Every ability is rewritten even with a grant of 0: dexterity moved to the end.
    EXPECT_EQ(testing::KeysOf(xp).back(), "wisdom");
    EXPECT_EQ(testing::KeysOf(ch).back(), "wisdom");
}

TEST(GameRules, TreatyDecidedByFirstMatchingEntry) {
    TGame game;
    StartSmallCampaign(game);
    EXPECT_TRUE(game.TreatyActive(1, 2));
    EXPECT_TRUE(game.TreatyActive(2, 1));
    EXPECT_FALSE(game.TreatyActive(1, 3));
    game.SetAtPointer("/treaties/-", TJson{{"a", 3}, {"b", 1}, {"years", 0}});
    game.SetAtPointer("/treaties/-", TJson{{"a", 1}, {"b", 3}, {"years", 5}});
    EXPECT_FALSE(game.TreatyActive(1, 3));
}

TEST(GameRules, NeighboursAndBeasts) {
    TGame game;
    StartSmallCampaign(game);
    EXPECT_TRUE(game.AreNeighbours(1, 2));
    EXPECT_TRUE(game.AreNeighbours(1, 8));
    EXPECT_FALSE(game.AreNeighbours(1, 9));
    EXPECT_FALSE(game.AreNeighbours(0, 1));
    EXPECT_FALSE(game.AreNeighbours(1, 50));
    EXPECT_EQ(TGame::BeastName(1), "wolf");
    EXPECT_EQ(TGame::BeastName(4), "bear");
    EXPECT_EQ(TGame::BeastName(5), "beast");
    EXPECT_EQ(game.FirstBeastNotice(), nullptr);
    game.PopBeastNotice();  // nothing to pop
    TArr notices = TGame::GetArr(game.Root(), "beastNotices");
    game.SetInt(game.ArrAppendObj(notices), "province", 3);
    game.SetInt(game.ArrAppendObj(notices), "province", 4);
    EXPECT_EQ(TGame::GetInt(game.FirstBeastNotice(), "province", 0), 3);
    game.PopBeastNotice();
    EXPECT_EQ(TGame::GetInt(game.FirstBeastNotice(), "province", 0), 4);
}

TEST(GameCounts, HeadcountAndSoldiersFollowTheirRules) {
    TGame game;
    StartSmallCampaign(game);
    // Province 4 is held by fellowship 1: its leader and five followers stand there.
    EXPECT_EQ(game.ProvinceHeadcount(4), 6);
    int before = game.ProvinceSoldiers(4);
    TObj follower = game.Character(12);
    int hisSoldiers = TGame::GetInt(follower, "soldiers", 0);
    game.SetBool(follower, "captured", true);  // a prisoner still counts, but does not fight
    EXPECT_EQ(game.ProvinceHeadcount(4), 6);
    EXPECT_EQ(game.ProvinceSoldiers(4), before - hisSoldiers);
    game.SetBool(follower, "overflow", true);
    EXPECT_EQ(game.ProvinceHeadcount(4), 5);
    game.SetStr(game.Character(23), "role", "exile");
    EXPECT_EQ(game.ProvinceHeadcount(4), 4);
    // A free resident standing there is not counted; a stranger's prisoner is.
    TObj stranger = game.Character(13);  // serves fellowship 2
    game.SetInt(stranger, "province", 4);
    EXPECT_EQ(game.ProvinceHeadcount(4), 4);
    game.SetBool(stranger, "captured", true);
    EXPECT_EQ(game.ProvinceHeadcount(4), 5);
    game.SetInt(stranger, "faction", 0);
    EXPECT_EQ(game.ProvinceHeadcount(4), 4);
    EXPECT_TRUE(game.IsLocalMember(1, 4, 1));
    EXPECT_FALSE(game.IsLocalMember(1, 4, 2));
    EXPECT_FALSE(game.IsLocalMember(12, 4, 1));  // captured
}

// The derived index must agree with a fresh scan after any mix of writes.
TEST(GameCounts, IndexAgreesWithTheDocumentAfterRandomWrites) {
    TGame game;
    StartSmallCampaign(game, 77);
    const char* keys[] = {"alive", "captured", "overflow", "role", "province", "faction", "soldiers", "loyalty"};
    for (int step = 0; step < 3000; ++step) {
        int c = Random(game, kCharacterCount) + 1;
        const char* key = keys[Random(game, 8)];
        TObj ch = game.Character(c);
        int v = Random(game, 60);
        std::string k = key;
        if (k == "alive" || k == "captured" || k == "overflow") game.SetBool(ch, key, v % 2 == 0);
        else if (k == "role") game.SetStr(ch, key, v % 3 == 0 ? "exile" : "follower");
        else if (k == "province") game.SetInt(ch, key, v % 49 + 1);
        else if (k == "faction") game.SetInt(ch, key, v % 12);
        else game.SetInt(ch, key, v);
        if (step % 500 == 0) game.SetAtPointer("/characters/" + std::to_string(c - 1) + "/province", TJson(5));
        int p = Random(game, 49) + 1;
        int fresh = 0;
        int owner = TGame::GetInt(game.Province(p), "owner", 0);
        for (int d = 1; d <= kCharacterCount; ++d) {
            TObj x = game.Character(d);
            if (TGame::GetBool(x, "alive") && TGame::GetInt(x, "province", 0) == p &&
                TGame::GetStr(x, "role") != "exile" && !TGame::GetBool(x, "overflow") &&
                TGame::GetInt(x, "faction", 0) != 0 &&
                (TGame::GetInt(x, "faction", 0) == owner || TGame::GetBool(x, "captured")))
                ++fresh;
        }
        ASSERT_EQ(game.ProvinceHeadcount(p), fresh) << "step " << step;
    }
    EXPECT_TRUE(game.IndexMatchesDocument());
}

TEST(GamePointer, ConsoleEditsFollowTheSetterRule) {
    TGame game;
    StartSmallCampaign(game);
    game.SetAtPointer("/provinces/0/id", TJson(1));
    EXPECT_EQ(testing::KeysOf(game.Province(1)).back(), "id");
    game.SetAtPointer("/queue/0", TJson(5));
    EXPECT_EQ(game.AtPointer("/queue/0")->get<int>(), 5);
    EXPECT_THROW(game.SetAtPointer("/nothing/here", TJson(1)), TGameError);
    EXPECT_THROW(game.SetAtPointer("/queue/999", TJson(1)), TGameError);
    EXPECT_THROW(game.AtPointer("month"), TGameError);
    EXPECT_THROW(game.AtPointer("/a~2b"), TGameError);
    EXPECT_EQ(game.AtPointer("/provinces/01"), nullptr);
    EXPECT_EQ(game.AtPointer("/provinces/x"), nullptr);
    EXPECT_EQ(game.AtPointer("/month/deeper"), nullptr);
    EXPECT_EQ(game.AtPointer(""), game.Document());
    EXPECT_EQ(game.AtPointer("/"), game.Document());
    game.RemoveAtPointer("/ledger");
    EXPECT_EQ(game.AtPointer("/ledger"), nullptr);
    EXPECT_THROW(game.RemoveAtPointer("/ledger"), TGameError);
    // A console edit of a character is seen by the counts at once.
    game.SetAtPointer("/characters/0/province", TJson(9));
    EXPECT_FALSE(game.IsLocalMember(1, 4, 1));
    EXPECT_TRUE(game.IndexMatchesDocument());
}

}  // namespace
}  // namespace reedmark
