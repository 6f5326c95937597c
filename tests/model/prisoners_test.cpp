// Prisoners (the four decisions, garrison overflow, computer captors), victory, the
// fellowship refresh and the defeat check.
#include <gtest/gtest.h>

#include "model/fellowships.hpp"
#include "model/game.hpp"
#include "model/prisoners.hpp"
#include "tests/model/month_end_helpers.hpp"

namespace reedmark::testing {
namespace {

constexpr int kHeld = 8;  // province of fellowship 2 (computer), where prisoners are kept

class PrisonersTest : public ::testing::Test {
protected:
    void SetUp() override {
        StartSmallCampaign(game, 5, {1, 3});
        game.ClearChronicle();
    }
    TObj Ch(int c) { return game.Character(c); }
    TObj Fac(int f) { return game.Faction(f); }
    int Get(TObj obj, const std::string& key) { return TGame::GetInt(obj, key, -1); }
    void Capture(int c, int captor, int province = kHeld) {
        game.SetBool(Ch(c), "captured", true);
        game.SetInt(Ch(c), "captor", captor);
        game.SetInt(Ch(c), "province", province);
        game.SetStr(Ch(c), "role", "prisoner");
    }
    void Temperament(int c, int integrity, int mercy, int courage) {
        game.SetInt(Ch(c), "integrity", integrity);
        game.SetInt(Ch(c), "mercy", mercy);
        game.SetInt(Ch(c), "courage", courage);
    }
    TGame game;
};

TEST_F(PrisonersTest, RefusalsChangeNothing) {
    Capture(23, 2);
    game.SetBool(Ch(34), "overflow", true);
    Capture(34, 2);
    game.SetInt(game.Province(kHeld), "castles", 1);  // 6 members and a prisoner in room for 5
    std::string before = game.Document()->dump();
    EXPECT_EQ(ResolvePrisoner(game, 23, 3, "release"), "This character is not your prisoner.");
    EXPECT_EQ(ResolvePrisoner(game, 24, 2, "release"), "This character is not your prisoner.");
    EXPECT_EQ(ResolvePrisoner(game, 300, 2, "release"), "This character is not your prisoner.");
    EXPECT_EQ(ResolvePrisoner(game, 23, 2, "ransom"), "Choose recruit, hold, release or execute.");
    EXPECT_EQ(ResolvePrisoner(game, 34, 2, "hold"), "The garrison is full. This captive must be released or executed.");
    EXPECT_EQ(ResolvePrisoner(game, 34, 2, "recruit"), "The garrison is full. This captive must be released or executed.");
    EXPECT_EQ(ResolvePrisoner(game, 23, 2, "recruit"), "No room in this province. Release a captive.");
    EXPECT_TRUE(game.Document()->dump() == before);
    EXPECT_TRUE(game.Chronicle().empty());
}

TEST_F(PrisonersTest, HoldReleaseAndExecute) {
    Capture(23, 2);
    EXPECT_EQ(ResolvePrisoner(game, 23, 2, "hold"), "Person 23 remains in custody.");
    EXPECT_TRUE(TGame::GetBool(Ch(23), "resolved"));
    game.SetBool(Ch(23), "overflow", true);
    game.SetInt(Ch(23), "body", 0);
    EXPECT_EQ(ResolvePrisoner(game, 23, 2, "release"), "Person 23 is released.");
    for (const char* key : {"captured", "overflow", "resolved"}) EXPECT_FALSE(TGame::GetBool(Ch(23), key)) << key;
    EXPECT_EQ(Get(Ch(23), "faction"), 0);
    EXPECT_EQ(TGame::GetStr(Ch(23), "role"), "free");
    EXPECT_EQ(Get(Ch(23), "body"), 1);

    Capture(34, 2);
    game.SetInt(Fac(2), "popularity", 15);
    game.SetInt(game.Province(kHeld), "support", 3);
    EXPECT_EQ(ResolvePrisoner(game, 34, 2, "execute"), "Person 34 is executed. Popularity -10, Support -5.");
    EXPECT_FALSE(TGame::GetBool(Ch(34), "alive"));
    EXPECT_EQ(TGame::GetStr(Ch(34), "role"), "dead");
    EXPECT_EQ(Get(Fac(2), "popularity"), 5);
    EXPECT_EQ(Get(game.Province(kHeld), "support"), 0);
    EXPECT_EQ(game.Chronicle().size(), 3u);
}

TEST_F(PrisonersTest, RecruitmentChanceAndLoyaltyBounds) {
    // Hopeless recruiter: the chance would be 3, it is 5 (compatibility 67).
    game.SetInt(Fac(2), "popularity", 0);
    game.SetInt(Ch(2), "wisdom", 0);
    Temperament(2, 0, 0, 0);
    Temperament(23, 100, 0, 0);
    Capture(23, 2);
    SetRng(game, StateGiving({5}));
    EXPECT_EQ(ResolvePrisoner(game, 23, 2, "recruit"), "Person 23 refuses; held in custody.");
    EXPECT_TRUE(TGame::GetBool(Ch(23), "resolved"));
    SetRng(game, StateGiving({4}));
    EXPECT_EQ(ResolvePrisoner(game, 23, 2, "recruit"), "Person 23 joins the fellowship.");
    EXPECT_FALSE(TGame::GetBool(Ch(23), "captured"));
    EXPECT_EQ(Get(Ch(23), "faction"), 2);
    EXPECT_EQ(Get(Ch(23), "superior"), 2);
    EXPECT_EQ(TGame::GetStr(Ch(23), "role"), "follower");
    EXPECT_EQ(Get(Ch(23), "loyalty"), 72);

    // Irresistible recruiter: 95 at most; compatibility 60 gives loyalty 70.
    game.SetInt(Fac(2), "popularity", 999);
    Temperament(2, 60, 60, 0);
    Temperament(34, 0, 0, 0);
    Capture(34, 2);
    SetRng(game, StateGiving({95}));
    EXPECT_EQ(ResolvePrisoner(game, 34, 2, "recruit"), "Person 34 refuses; held in custody.");
    SetRng(game, StateGiving({94}));
    EXPECT_EQ(ResolvePrisoner(game, 34, 2, "recruit"), "Person 34 joins the fellowship.");
    EXPECT_EQ(Get(Ch(34), "loyalty"), 70);
}

TEST_F(PrisonersTest, ExecutingTheChancellor) {
    const std::string won = "Person 1 has defeated Gao Kiu under the Royal Writ. The court is restored.";
    // Without the writ, homeless, or with a captive leader: an ordinary execution.
    for (int variant = 0; variant < 4; ++variant) {
        TGame g;
        StartSmallCampaign(g, 5, {1});
        g.SetBool(g.Faction(1), "writ", variant != 0);
        if (variant == 1) g.SetInt(g.Faction(1), "home", 0);
        if (variant == 2) g.SetBool(g.Character(1), "captured", true);
        g.SetBool(g.Character(11), "captured", true);
        g.SetInt(g.Character(11), "captor", 1);
        g.SetInt(g.Character(11), "province", 4);
        std::string answer = ResolvePrisoner(g, 11, 1, "execute");
        bool victory = variant == 3;
        EXPECT_EQ(answer, victory ? won : "Person 11 is executed. Popularity -10, Support -5.") << variant;
        EXPECT_EQ(g.IsEnded(), victory) << variant;
        EXPECT_EQ(TGame::GetInt(g.Faction(1), "popularity", 0), victory ? 60 : 50) << variant;
        EXPECT_EQ(TGame::GetInt(g.Province(4), "support", 0), victory ? 60 : 55) << variant;
        if (victory) {
            EXPECT_EQ(TGame::GetInt(g.Root(), "winner", 0), 1);
            EXPECT_EQ(TGame::GetStr(g.Root(), "result"), won);
            EXPECT_EQ(LastLine(g), won);
        }
    }
}

TEST_F(PrisonersTest, OverflowMarksHighestIdsUntilTheGarrisonFits) {
    game.SetInt(game.Province(kHeld), "castles", 2);  // room for 10; 6 members stand there
    for (int c : {14, 25, 36, 47, 58}) Capture(c, 2);
    MarkGarrisonOverflow(game);  // 11 counted: one too many
    EXPECT_EQ(game.Chronicle(),
              (std::deque<std::string>{"Person 58 awaits immediate release or execution outside the full garrison."}));
    Capture(23, 2);
    Capture(34, 2);
    game.SetBool(Ch(58), "overflow", false);
    MarkGarrisonOverflow(game);  // 13 counted: the three highest go
    for (int c : {14, 23, 25, 34, 36, 47, 58}) EXPECT_EQ(TGame::GetBool(Ch(c), "overflow"), c >= 36) << c;
    EXPECT_EQ(game.ProvinceHeadcount(kHeld), 10);
}

TEST_F(PrisonersTest, ComputerCaptorsReleaseAndExecuteTheChancellor) {
    Capture(23, 2);
    Capture(24, 1, 4);  // held by a human: waits
    Capture(25, 3, 12);  // held by a human whose leader has fallen: a computer captor now
    game.SetBool(Fac(3), "active", false);
    Capture(11, 2);
    game.SetBool(Fac(2), "writ", true);
    ResolveComputerCaptives(game);
    EXPECT_EQ(TGame::GetStr(Ch(23), "role"), "free");
    EXPECT_EQ(TGame::GetStr(Ch(25), "role"), "free");
    EXPECT_TRUE(TGame::GetBool(Ch(24), "captured"));
    EXPECT_FALSE(TGame::GetBool(Ch(11), "alive"));
    EXPECT_EQ(Get(game.Root(), "winner"), 2);
}

TEST_F(PrisonersTest, RefreshFollowsTheLeaders) {
    game.SetBool(Fac(2), "writ", true);
    Capture(2, 1, 4);
    game.SetInt(Ch(5), "faction", 0);
    for (int c = 1; c <= kCharacterCount; ++c)
        if (Get(Ch(c), "faction") == 4) game.SetInt(Ch(c), "province", 17);
    game.SetBool(Fac(1), "writ", true);
    game.SetInt(Ch(1), "province", 5);
    RefreshFellowships(game);
    EXPECT_FALSE(TGame::GetBool(Fac(2), "active"));  // captured leader
    EXPECT_FALSE(TGame::GetBool(Fac(2), "writ"));
    EXPECT_EQ(Get(game.Province(8), "owner"), 2);  // its people still govern
    EXPECT_EQ(Get(Ch(5), "faction"), 5);
    EXPECT_EQ(Get(game.Province(16), "owner"), 0);  // nobody left to govern
    // A leader outside his province: homeless, an exile, with a new party.
    EXPECT_EQ(Get(Fac(1), "home"), 0);
    EXPECT_FALSE(TGame::GetBool(Fac(1), "writ"));
    EXPECT_EQ(TGame::GetStr(Ch(1), "role"), "exile");
    std::vector<std::string> keys;
    for (const auto& [key, value] : *game.ExileParty(1)) keys.push_back(key);
    EXPECT_EQ(keys, (std::vector<std::string>{"leader", "food", "gold", "province"}));
    EXPECT_EQ(Get(game.ExileParty(1), "province"), 5);
    // Back home but still an exile: homeless until settling makes him leader.
    game.SetInt(Ch(1), "province", 4);
    RefreshFellowships(game);
    EXPECT_EQ(Get(Fac(1), "home"), 0);
    EXPECT_EQ(Get(game.ExileParty(1), "province"), 4);
    game.SetStr(Ch(1), "role", "leader");
    RefreshFellowships(game);
    EXPECT_EQ(Get(Fac(1), "home"), 4);
}

TEST_F(PrisonersTest, DefeatWhenNoHumanLeaderIsFree) {
    const std::string lost = "Your last fellowship leader has fallen into captivity. The chronicle ends.";
    Capture(1, 2);
    RefreshFellowships(game);
    CheckDefeat(game);
    EXPECT_FALSE(game.IsEnded());
    game.SetBool(Ch(3), "alive", false);
    RefreshFellowships(game);
    CheckDefeat(game);
    EXPECT_EQ(TGame::GetStr(game.Root(), "result"), lost);
    CheckDefeat(game);  // once ended, the closing text stays and is not repeated
    EXPECT_EQ(game.Chronicle(), (std::deque<std::string>{lost}));

    TGame watched;
    StartSmallCampaign(watched, 5, {});
    for (int f = 1; f <= 10; ++f) watched.SetBool(watched.Character(f), "captured", true);
    RefreshFellowships(watched);
    CheckDefeat(watched);
    EXPECT_FALSE(watched.IsEnded());
}

}  // namespace
}  // namespace reedmark::testing
