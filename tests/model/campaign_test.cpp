// The campaign generator and NewCampaign: draw values, normalisation, key order, and
// refusals that leave the running campaign as it was.
#include <gtest/gtest.h>

#include "model/campaign.hpp"
#include "model/game.hpp"
#include "model/queue.hpp"
#include "model/random.hpp"
#include "model/saves.hpp"
#include "tests/fixtures/small_world.hpp"

namespace reedmark {
namespace {

using testing::SmallWorld;
using testing::TTempWorld;

TEST(Random, XorshiftFromStateOne) {
    TGame game;
    testing::StartSmallCampaign(game);
    game.SetInt(game.Root(), "rng", 1);
    EXPECT_EQ(Random(game, 100), 69);
    EXPECT_EQ(TGame::GetInt(game.Root(), "rng", 0), 270369);
    // n < 1 answers 0 and still advances.
    EXPECT_EQ(Random(game, 0), 0);
    EXPECT_NE(TGame::GetInt(game.Root(), "rng", 0), 270369);
    EXPECT_EQ(Random(game, -5), 0);
}

TEST(Random, StateIsStoredAsSignedThirtyTwoBits) {
    TGame game;
    testing::StartSmallCampaign(game);
    // Drive the state until its top bit is set: it is stored negative and read back intact.
    bool sawNegative = false;
    for (int i = 0; i < 200 && !sawNegative; ++i) {
        Random(game, 2);
        sawNegative = TGame::GetRawInt64(game.Root(), "rng", 0) < 0;
    }
    ASSERT_TRUE(sawNegative);
    auto stored = static_cast<std::int32_t>(TGame::GetRawInt64(game.Root(), "rng", 0));
    std::uint32_t x = static_cast<std::uint32_t>(stored);
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    EXPECT_EQ(Random(game, 1000), static_cast<int>(x % 1000u));
    // An absent or non-numeric state reads as 1.
    game.SetStr(game.Root(), "rng", "x");
    EXPECT_EQ(Random(game, 100), 69);
    game.Remove(game.Root(), "rng");
    EXPECT_EQ(Random(game, 100), 69);
    // The draw rewrites the key: it moves to the end of the root.
    EXPECT_EQ(testing::KeysOf(game.Root()).back(), "rng");
}

TEST(NewCampaign, SeedZeroPlaysLikeSeedOne) {
    TTempWorld world;
    TGame a;
    TGame b;
    NewCampaign(a, world.WorldPath(), 1, 0, 2, {}, 0);
    NewCampaign(b, world.WorldPath(), 1, 0, 2, {}, 1);
    EXPECT_EQ(TGame::GetInt(a.Root(), "seed", 0), 1);
    EXPECT_EQ(Checksum(a), Checksum(b));
}

TEST(NewCampaign, LargeSeedsAreStoredAsTheirSignedReading) {
    TTempWorld world;
    TGame game;
    NewCampaign(game, world.WorldPath(), 1, 0, 2, {}, 4000000000u);
    EXPECT_EQ(TGame::GetRawInt64(game.Root(), "seed", 0), static_cast<std::int32_t>(4000000000u));
}

TEST(NewCampaign, ClampsScenarioAndDifficulty) {
    TTempWorld world;
    TGame game;
    NewCampaign(game, world.WorldPath(), 0, 0, 9, {}, 5);
    EXPECT_EQ(TGame::GetInt(game.Root(), "month", 0), 1);  // scenario 1 starts in month 1
    EXPECT_EQ(TGame::GetInt(game.Root(), "difficulty", 0), 5);
    NewCampaign(game, world.WorldPath(), 7, 0, -3, {}, 5);
    EXPECT_EQ(TGame::GetInt(game.Root(), "month", 0), 4);
    EXPECT_EQ(TGame::GetInt(game.Root(), "difficulty", 0), 1);
}

TEST(NewCampaign, NormalisesTheScenario) {
    TTempWorld world;
    TGame game;
    NewCampaign(game, world.WorldPath(), 2, 2, 3, {7, 3, 9}, 42);
    TObj root = game.Root();
    EXPECT_EQ(Validate(game), "");
    EXPECT_EQ(TGame::GetInt(root, "schemaVersion", 0), 1);
    EXPECT_EQ(TGame::GetStr(root, "appVersion"), "0.1.0");
    EXPECT_EQ(TGame::GetInt(root, "humanCount", 0), 2);
    EXPECT_TRUE(game.IsHumanFaction(7));
    EXPECT_TRUE(game.IsHumanFaction(3));
    EXPECT_FALSE(game.IsHumanFaction(9));  // beyond humanCount
    EXPECT_FALSE(TGame::Has(root, "rules"));
    EXPECT_EQ(game.FactionCount(), 255);
    for (int f = 1; f <= 11; ++f) EXPECT_TRUE(TGame::GetBool(game.Faction(f), "active"));
    TObj placeholder = game.Faction(12);
    EXPECT_EQ(testing::KeysOf(placeholder),
              (std::vector<std::string>{"id", "leader", "home", "popularity", "writ", "human", "active"}));
    EXPECT_FALSE(TGame::GetBool(placeholder, "active"));
    for (int c = 1; c <= kCharacterCount; ++c) {
        TObj ch = game.Character(c);
        ASSERT_TRUE(TGame::GetBool(ch, "alive"));
        ASSERT_FALSE(TGame::GetBool(ch, "captured"));
        ASSERT_TRUE(TGame::Has(ch, "faction"));
    }
    EXPECT_EQ(TGame::GetInt(game.Character(67), "faction", -1), 0);  // had no key
    for (int p = 1; p <= kProvinceCount; ++p) {
        ASSERT_FALSE(TGame::GetBool(game.Province(p), "snow"));
        ASSERT_EQ(TGame::GetInt(game.Province(p), "beast", -1), 0);
        ASSERT_EQ(TGame::GetInt(game.Province(p), "epidemic", -1), 0);
    }
    ASSERT_EQ(game.Chronicle().size(), 1u);
    EXPECT_EQ(game.Chronicle().back(), "A new fellowship rises in the Tarn Empire.");
    EXPECT_EQ(TGame::GetInt(root, "queueIndex", -1), 0);
    EXPECT_EQ(TGame::ArrLen(TGame::GetArr(root, "queue")), 6 + 5);  // 6 held provinces, 5 exiles
    EXPECT_EQ(TGame::ArrLen(TGame::GetArr(root, "beastNotices")), 0);
    EXPECT_EQ(TGame::ArrLen(TGame::GetArr(root, "ledger")), 0);
}

// The root's written keys come in the order the new campaign writes them; the
// generator state moves to the end with every shuffle draw.
TEST(NewCampaign, RootKeyOrder) {
    TTempWorld world(SmallWorld(), TJson{{"lightBody", 12}});
    TGame game;
    NewCampaign(game, world.WorldPath(), 1, 0, 2, {}, 9);
    std::vector<std::string> keys = testing::KeysOf(game.Root());
    std::vector<std::string> tail(keys.end() - 17, keys.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"month", "year", "rules", "schemaVersion", "appVersion", "seed",
                                              "humanCount", "difficulty", "ended", "result", "town",
                                              "beastNotices", "queue", "ledger", "queueOwners", "rng", "queueIndex"}))
        << "got " << ::testing::PrintToString(keys);
    EXPECT_EQ(game.RuleInt("lightBody", 10), 12);
    EXPECT_EQ(game.RuleInt("heavyBody", 20), 20);
}

TEST(NewCampaign, FailuresLeaveTheRunningCampaignUntouched) {
    TTempWorld world;
    TGame game;
    NewCampaign(game, world.WorldPath(), 1, 1, 2, {4}, 11);
    game.AddLog("a line of the running campaign");
    std::string before = Checksum(game);
    auto unchanged = [&] {
        EXPECT_EQ(Checksum(game), before);
        EXPECT_EQ(game.Chronicle().back(), "a line of the running campaign");
    };
    auto expectError = [&](const std::string& path, std::vector<int> leaders, int humans, const std::string& text) {
        try {
            NewCampaign(game, path, 1, humans, 2, leaders, 3);
            ADD_FAILURE() << "no error for " << text;
        } catch (const TGameError& e) {
            EXPECT_NE(std::string(e.what()).find(text), std::string::npos) << e.what();
        }
        unchanged();
    };
    expectError(world.WorldPath(), {0}, 1, "Invalid human leader.");
    expectError(world.WorldPath(), {11}, 1, "Invalid human leader.");
    expectError(world.WorldPath(), {2, 2}, 2, "Each player must choose a different leader.");
    expectError(world.WorldPath(), {2}, 2, "Each human player must choose a leader.");
    expectError(world.WorldPath(), {}, -1, "Invalid number of human players.");
    expectError(world.Path("absent.json"), {}, 0, "absent.json");

    TTempWorld broken(nullptr);
    testing::WriteText(broken.WorldPath(), "{\"scenarios\": [");
    expectError(broken.WorldPath(), {}, 0, "parse error");
    TJson three = SmallWorld();
    three["scenarios"].erase(3);
    TTempWorld short3(three);
    expectError(short3.WorldPath(), {}, 0, "does not hold four scenarios");
    TJson noQueue = SmallWorld();
    noQueue["scenarios"][0].erase("treaties");
    TTempWorld damaged(noQueue);
    expectError(damaged.WorldPath(), {}, 0, "has no treaties array");
    TTempWorld badRules;
    testing::WriteText(badRules.Path("rules.json"), "{ not json");
    expectError(badRules.WorldPath(), {}, 0, "parse error");
    testing::WriteText(badRules.Path("rules.json"), "[1, 2]");
    expectError(badRules.WorldPath(), {}, 0, "is not a JSON object");
}

TEST(NewCampaign, ObservedCampaignHasNoHumans) {
    TTempWorld world;
    TGame game;
    NewCampaign(game, world.WorldPath(), 3, 0, 2, {1, 2}, 8);
    for (int f = 1; f <= 255; ++f) ASSERT_FALSE(game.IsHumanFaction(f));
}

}  // namespace
}  // namespace reedmark
