// Month end: wages, food and hunger, desertion, market, calendar, invasion, governors,
// wandering, the draw order and hostile documents.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "model/game.hpp"
#include "model/month_end.hpp"
#include "tests/model/month_end_helpers.hpp"

namespace reedmark::testing {
namespace {

// Fellowship 1 (human) holds province 4 with its leader and five followers.
constexpr int kHome = 4;
const std::vector<int> kMembers = {1, 12, 23, 34, 45, 56};

class MonthEndTest : public ::testing::Test {
protected:
    void SetUp() override { StartSmallCampaign(game, 7, {1}); }
    TObj Prov(int p) { return game.Province(p); }
    TObj Ch(int c) { return game.Character(c); }
    int Get(TObj obj, const std::string& key) { return TGame::GetInt(obj, key, -1); }
    int Governor(int p) { return ChooseGovernor(game, p), Get(Prov(p), "governor"); }
    void SetSoldiers(const std::vector<int>& soldiers) {
        for (size_t i = 0; i < kMembers.size(); ++i) game.SetInt(Ch(kMembers[i]), "soldiers", soldiers[i]);
    }
    TGame game;
};

TEST_F(MonthEndTest, WagesPaidExactlyOrOneShort) {
    game.SetStr(Ch(12), "role", "sworn companion");
    game.SetInt(Prov(kHome), "gold", 6);  // six counted people
    QuietApril(game);
    MonthEnd(game);
    EXPECT_EQ(Get(Prov(kHome), "gold"), 0);
    EXPECT_EQ(Get(Ch(23), "loyalty"), 83);
    EXPECT_TRUE(ChronicleHas(game, "Province 4: wages 6, food 21, starvation 0."));
    game.SetInt(Prov(kHome), "gold", 5);
    QuietApril(game);
    MonthEnd(game);
    EXPECT_EQ(Get(Prov(kHome), "gold"), 0);
    EXPECT_EQ(Get(Ch(1), "loyalty"), 90);  // the leader is not sworn
    EXPECT_EQ(Get(Ch(12), "loyalty"), 72);
    EXPECT_EQ(Get(Ch(23), "loyalty"), 73);
}

TEST_F(MonthEndTest, FoodAndHungerDesertion) {
    for (auto [soldiers, eaten] : std::vector<std::pair<int, int>>{{10, 1}, {11, 2}, {0, 0}}) {
        SetSoldiers({soldiers, 0, 0, 0, 0, 0});
        game.SetInt(Prov(kHome), "food", 100);
        game.SetInt(Prov(kHome), "skill", 30);
        QuietApril(game);
        MonthEnd(game);
        EXPECT_EQ(Get(Prov(kHome), "food"), 100 - eaten) << soldiers;
        EXPECT_EQ(Get(Prov(kHome), "skill"), soldiers == 0 ? 0 : 30) << soldiers;
    }
    // 40 soldiers and no Food: 20 desert in proportion, the remainder of 2 from the lowest ids.
    SetSoldiers({7, 7, 7, 7, 6, 6});
    game.SetInt(Prov(kHome), "food", 0);
    QuietApril(game);
    MonthEnd(game);
    std::vector<int> left;
    for (int c : kMembers) left.push_back(Get(Ch(c), "soldiers"));
    EXPECT_EQ(left, (std::vector<int>{3, 3, 4, 4, 3, 3}));
    EXPECT_TRUE(ChronicleHas(game, "Province 4: wages 6, food 4, starvation 20."));
}

TEST_F(MonthEndTest, SwornCompanionsAndLeadersNeverDesert) {
    game.SetStr(Ch(12), "role", "sworn companion");
    int deserted = 0;
    for (int month = 0; month < 12 && deserted < 4; ++month) {
        for (int c : kMembers) game.SetInt(Ch(c), "loyalty", 0);
        MonthEnd(game);
        EXPECT_EQ(Get(Ch(1), "faction"), 1);
        EXPECT_EQ(Get(Ch(12), "faction"), 1);
        EXPECT_EQ(Get(Ch(12), "loyalty"), 0) << "no January drift for the sworn";
        deserted = 0;
        for (int c : {23, 34, 45, 56}) deserted += Get(Ch(c), "faction") == 0;
    }
    EXPECT_GT(deserted, 0);
    EXPECT_EQ(TGame::GetStr(Ch(23), "role"), Get(Ch(23), "faction") == 0 ? "free" : "follower");
}

TEST_F(MonthEndTest, DesertingGovernorIsReplacedAtOnce) {
    // The month end that brings the invasion skips the final governor refresh, so only
    // the immediate re-choice can take the office from a deserter there.
    game.SetStr(Ch(1), "role", "exile");
    game.SetInt(Ch(23), "loyalty", 99);
    ASSERT_EQ(Governor(kHome), 23);
    game.SetInt(Ch(23), "loyalty", 0);
    game.SetInt(game.Root(), "month", 12);
    game.SetInt(game.Root(), "year", 326);
    bool deserted = false;
    for (std::uint32_t s = 1; s < 200 && !deserted; ++s) {
        TGame trial;
        trial.ReplaceDocument(*game.Document());
        SetRng(trial, s);
        MonthEnd(trial);
        deserted = TGame::GetInt(trial.Character(23), "faction", -1) == 0;
        if (deserted) {
            EXPECT_EQ(TGame::GetInt(trial.Province(kHome), "governor", -1), 34);
        }
    }
    EXPECT_TRUE(deserted);
}

TEST_F(MonthEndTest, JanuaryAgesDriftsCountsDownTreatiesAndTellsTheMonth) {
    TObj expiring = game.ArrAppendObj(TGame::GetArr(game.Root(), "treaties"));
    game.SetInt(expiring, "a", 3);
    game.SetInt(expiring, "b", 4);
    game.SetInt(expiring, "years", 1);
    game.SetInt(game.Root(), "month", 12);
    int drift = (100 - game.Compatibility(23, 1)) / 15 + 1;
    MonthEnd(game);
    EXPECT_EQ(Get(Ch(23), "loyalty"), 83 - drift);
    EXPECT_EQ(Get(Ch(1), "loyalty"), 100);
    EXPECT_EQ(Get(Ch(23), "age"), 20 + 23 + 1);
    EXPECT_EQ(TGame::ArrLen(TGame::GetArr(game.Root(), "treaties")), 1);
    EXPECT_TRUE(game.TreatyActive(1, 2));
    EXPECT_FALSE(game.TreatyActive(3, 4));
    EXPECT_EQ(LastLine(game), "Month 1, River Calendar 321");
}

TEST_F(MonthEndTest, RateAlwaysEndsBetween20And100) {
    const int rates[] = {-500, 0, 19, 20, 100, 101, 5000};
    for (int round = 0; round < 4; ++round) {
        for (int p = 1; p <= kProvinceCount; ++p) game.SetInt(Prov(p), "rate", rates[(p + round) % 7]);
        MonthEnd(game);
        for (int p = 1; p <= kProvinceCount; ++p) EXPECT_TRUE(Get(Prov(p), "rate") >= 20 && Get(Prov(p), "rate") <= 100);
    }
}

TEST_F(MonthEndTest, InvasionEndsTheCampaignWithoutMonthLineOrRefresh) {
    game.SetInt(game.Root(), "month", 12);
    game.SetInt(game.Root(), "year", 326);
    game.SetInt(Prov(kHome), "governor", 45);  // the refresh would restore the leader
    MonthEnd(game);
    const std::string lost = "The northern invasion has arrived. The court is lost.";
    EXPECT_TRUE(game.IsEnded());
    EXPECT_EQ(TGame::GetStr(game.Root(), "result"), lost);
    EXPECT_EQ(LastLine(game), lost);
    EXPECT_EQ(Get(game.Root(), "year"), 327);
    EXPECT_EQ(Get(Prov(kHome), "governor"), 45);
    EXPECT_EQ(Get(Ch(1), "age"), 21);  // no ageing either
    std::string ended = game.Document()->dump();
    MonthEnd(game);  // nothing passes after the end
    EXPECT_TRUE(game.Document()->dump() == ended);
}

TEST_F(MonthEndTest, GovernorChoiceTies) {
    game.SetInt(Ch(1), "province", 5);  // the leader away
    for (int c : {12, 23, 34, 45, 56}) {
        game.SetInt(Ch(c), "loyalty", 70);
        game.SetInt(Ch(c), "wisdom", 50);
        game.SetInt(Ch(c), "age", 30);
    }
    EXPECT_EQ(Governor(kHome), 12);  // full tie: lowest id
    game.SetInt(Ch(45), "wisdom", 51);
    EXPECT_EQ(Governor(kHome), 45);
    game.SetInt(Ch(34), "loyalty", 71);
    EXPECT_EQ(Governor(kHome), 34);
    game.SetStr(Ch(56), "role", "sworn companion");
    game.SetStr(Ch(23), "role", "sworn companion");
    EXPECT_EQ(Governor(kHome), 23);  // sworn outranks; equal age keeps the lower id
    game.SetInt(Ch(56), "age", 31);
    EXPECT_EQ(Governor(kHome), 56);
    game.SetStr(Ch(56), "role", "exile");  // exiles never govern
    EXPECT_EQ(Governor(kHome), 23);
    game.SetInt(Ch(1), "province", kHome);
    EXPECT_EQ(Governor(kHome), 1);
    game.SetBool(Ch(1), "captured", true);
    EXPECT_EQ(Governor(kHome), 23);
}

// Replays an April month end draw by draw with its own copy of the generator and checks
// every outcome that depends on a draw: the market drift and beasts of each province,
// the wanderers' moves, the deserters, and the final generator state. A wanderer in a
// province without neighbours still draws Random(0) and stays.
TEST_F(MonthEndTest, ReplaysAMonthEndFromAKnownGeneratorState) {
    game.SetInt(game.Root(), "month", 4);
    SetRule(game, "beastChancePercent", 30);
    for (int c : {23, 34, 45}) game.SetInt(Ch(c), "loyalty", 5);
    game.SetStr(Ch(34), "role", "sworn companion");
    for (int p : {9, 20, 33}) game.NewArr(Prov(p), "neighbors");
    const std::uint32_t start = 0x2545F491u;
    SetRng(game, start);

    std::uint32_t x = start;
    auto draw = [&x](int n) { return x = NextState(x), n < 1 ? 0 : static_cast<int>(x % static_cast<unsigned>(n)); };
    std::map<int, int> rate, beast, where;
    std::vector<int> leaving;
    for (int p = 1; p <= kProvinceCount; ++p) {
        draw(100);  // R
        int k = draw(100) < 30 ? draw(100) : -1;
        beast[p] = k < 0 ? 0 : k < 40 ? 1 : k < 70 ? 2 : k < 90 ? 3 : 4;
        rate[p] = std::clamp(Get(Prov(p), "rate") + draw(11) - 5, 20, 100);
    }
    int stayed = 0;
    for (int c = 1; c <= kCharacterCount; ++c) {
        TObj ch = Ch(c);
        where[c] = Get(ch, "province");
        std::string job = TGame::GetStr(ch, "profession");
        bool wanderer = job == "trader" || job == "performer" || job == "outlaw" || job == "fisher";
        if (Get(ch, "faction") == 0 && wanderer && draw(100) < 10) {
            TArr nb = TGame::GetArr(Prov(where[c]), "neighbors");
            int to = TGame::ArrInt(nb, draw(TGame::ArrLen(nb)), 0);
            stayed += to == 0;
            where[c] = to == 0 ? where[c] : to;
        }
        if (Get(ch, "faction") > 0 && Get(ch, "faction") != c && TGame::GetStr(ch, "role") != "sworn companion" &&
            Get(ch, "loyalty") < 30 && draw(100) < 30 - Get(ch, "loyalty"))
            leaving.push_back(c);
    }
    ASSERT_GT(stayed, 0) << "the start state should send a wanderer out of a dead end";
    ASSERT_FALSE(leaving.empty());

    MonthEnd(game);
    for (int p = 1; p <= kProvinceCount; ++p) {
        EXPECT_EQ(Get(Prov(p), "rate"), rate[p]) << p;
        EXPECT_EQ(Get(Prov(p), "beast"), beast[p]) << p;
    }
    for (int c = 1; c <= kCharacterCount; ++c) EXPECT_EQ(Get(Ch(c), "province"), where[c]) << c;
    for (int c : leaving) EXPECT_EQ(Get(Ch(c), "faction"), 0) << c;
    EXPECT_EQ(Get(Ch(34), "faction"), 1);
    EXPECT_EQ(Rng(game), x);
}

TEST_F(MonthEndTest, HostileIdsValuesAndSizesAreSurvived) {
    game.SetInt(Ch(70), "province", 0);
    game.SetInt(Ch(72), "province", 5000);
    game.SetInt(Ch(12), "faction", 4000);
    game.SetInt(Ch(14), "loyalty", -1000000);
    game.SetInt(Ch(20), "bodyMax", -5);
    game.SetInt(Ch(21), "soldiers", 1000000000);
    game.SetInt(Prov(3), "governor", 777);
    game.SetInt(Prov(5), "owner", 300);
    game.SetInt(Prov(7), "gold", 2000000000);
    game.SetInt(Prov(8), "food", -2000000000);
    game.SetInt(Prov(9), "wealth", 1000000000);
    game.SetInt(Prov(9), "support", 1000000000);
    game.SetStr(Prov(11), "neighbors", "north");
    TArr odd = game.NewArr(Prov(Get(Ch(76), "province")), "neighbors");
    for (int q : {0, 99, -3}) game.ArrAppendInt(odd, q);
    game.ArrAppendInt(TGame::GetArr(game.Root(), "treaties"), 5);
    // Far more fellowships and parties than a campaign can have: still linear in them.
    TArr factions = TGame::GetArr(game.Root(), "factions");
    TArr parties = TGame::GetArr(game.Root(), "exileParties");
    for (int f = 256; f <= 20000; ++f) {
        TObj fac = game.ArrAppendObj(factions);
        game.SetBool(fac, "active", true);
        game.SetInt(game.ArrAppendObj(parties), "leader", 40000 - f);
    }
    int stand = Get(Ch(76), "province");
    game.SetInt(game.Root(), "month", 12);
    for (int i = 0; i < 30; ++i) MonthEnd(game);
    EXPECT_EQ(Get(game.Root(), "month"), 6);
    EXPECT_EQ(Get(Ch(76), "province"), stand);
    EXPECT_FALSE(TGame::GetBool(game.Faction(20000), "active"));  // no leader can exist
    EXPECT_TRUE(game.IndexMatchesDocument());
}

}  // namespace
}  // namespace reedmark::testing
