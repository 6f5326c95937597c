// Month end: wages, food and hunger, desertion, market, calendar, invasion, governors,
// wandering, the draw order and hostile documents.
#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "model/game.hpp"
#include "model/month_end.hpp"
#include "model/random.hpp"
#include "model/saves.hpp"
#include "tests/model/month_end_helpers.hpp"

namespace reedmark::testing {
namespace {

// Fellowship 1 holds province 4 with its leader and five followers.
constexpr int kHome = 4;
const std::vector<int> kMembers = {1, 12, 23, 34, 45, 56};

class MonthEndTest : public ::testing::Test {
protected:
    void SetUp() override { StartSmallCampaign(game, 7, {1}); }
    TObj Prov(int p) { return game.Province(p); }
    TObj Ch(int c) { return game.Character(c); }
    int Get(TObj obj, const std::string& key) { return TGame::GetInt(obj, key, -1); }
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
    EXPECT_EQ(Get(Ch(23), "loyalty"), 60 + 23 % 40);
    EXPECT_TRUE(ChronicleHas(game, "Province 4: wages 6, food 21, starvation 0."));

    game.SetInt(Prov(kHome), "gold", 5);
    game.SetInt(Ch(1), "loyalty", 100);
    QuietApril(game);
    MonthEnd(game);
    EXPECT_EQ(Get(Prov(kHome), "gold"), 0);
    EXPECT_EQ(Get(Ch(1), "loyalty"), 90);  // the leader is not sworn
    EXPECT_EQ(Get(Ch(12), "loyalty"), 60 + 12 % 40);
    EXPECT_EQ(Get(Ch(23), "loyalty"), 60 + 23 % 40 - 10);
}

TEST_F(MonthEndTest, FoodForTenElevenAndNoSoldiers) {
    for (auto [soldiers, eaten] : std::vector<std::pair<int, int>>{{10, 1}, {11, 2}, {0, 0}}) {
        SetSoldiers({soldiers, 0, 0, 0, 0, 0});
        game.SetInt(Prov(kHome), "food", 100);
        game.SetInt(Prov(kHome), "skill", 30);
        game.SetInt(Prov(kHome), "arms", 30);
        QuietApril(game);
        MonthEnd(game);
        EXPECT_EQ(Get(Prov(kHome), "food"), 100 - eaten) << soldiers;
        EXPECT_EQ(Get(Prov(kHome), "skill"), soldiers == 0 ? 0 : 30) << soldiers;
        EXPECT_EQ(Get(Prov(kHome), "arms"), soldiers == 0 ? 0 : 30) << soldiers;
    }
}

TEST_F(MonthEndTest, StarvationSpreadsThenTakesRemainderFromLowestIds) {
    SetSoldiers({7, 7, 7, 7, 6, 6});  // 40 soldiers, need 4 Food, 20 desert
    game.SetInt(Prov(kHome), "food", 0);
    QuietApril(game);
    MonthEnd(game);
    std::vector<int> left;
    for (int c : kMembers) left.push_back(Get(Ch(c), "soldiers"));
    EXPECT_EQ(left, (std::vector<int>{3, 3, 4, 4, 3, 3}));
    EXPECT_TRUE(ChronicleHas(game, "Province 4: wages 6, food 4, starvation 20."));
    EXPECT_EQ(Get(Prov(kHome), "food"), 0);
}

TEST_F(MonthEndTest, RemainderPassSkipsMembersWithoutSoldiersAndIsForgiven) {
    // 3 soldiers, 0 Food: need 1, 3 desert (min(5, 3)); shares 1+0+0 of 3 -> remainder 2.
    SetSoldiers({1, 1, 1, 0, 0, 0});
    game.SetInt(Prov(kHome), "food", 0);
    QuietApril(game);
    MonthEnd(game);
    for (int c : kMembers) EXPECT_EQ(Get(Ch(c), "soldiers"), 0) << c;
}

TEST_F(MonthEndTest, SwornCompanionsAndLeadersNeverDesert) {
    game.SetStr(Ch(12), "role", "sworn companion");
    int deserted = 0;
    for (int month = 0; month < 12; ++month) {
        for (int c : kMembers) game.SetInt(Ch(c), "loyalty", 0);
        game.SetInt(Prov(kHome), "gold", 500);
        MonthEnd(game);
        EXPECT_EQ(Get(Ch(1), "faction"), 1);
        EXPECT_EQ(Get(Ch(12), "faction"), 1);
        EXPECT_EQ(Get(Ch(12), "loyalty"), 0) << "sworn loyalty untouched by January drift";
        for (int c : {23, 34, 45, 56}) {
            if (Get(Ch(c), "faction") == 0) {
                EXPECT_EQ(TGame::GetStr(Ch(c), "role"), "free");
                EXPECT_EQ(Get(Ch(c), "superior"), 0);
            }
        }
        deserted = 0;
        for (int c : {23, 34, 45, 56}) deserted += Get(Ch(c), "faction") == 0;
        if (deserted == 4) break;
    }
    EXPECT_GT(deserted, 0);
    EXPECT_TRUE(ChronicleHas(game, "Person 23 leaves the fellowship.") ||
                ChronicleHas(game, "Person 34 leaves the fellowship.") ||
                ChronicleHas(game, "Person 45 leaves the fellowship.") ||
                ChronicleHas(game, "Person 56 leaves the fellowship."));
}

TEST_F(MonthEndTest, DesertingGovernorIsReplacedAtOnce) {
    // The month end that brings the invasion skips the final governor refresh, so only
    // the immediate re-choice can take the office from a deserter there.
    game.SetStr(Ch(1), "role", "exile");  // the leader cannot govern
    for (int c : kMembers) game.SetInt(Ch(c), "loyalty", 80);
    game.SetInt(Ch(23), "loyalty", 95);
    ChooseGovernor(game, kHome);
    ASSERT_EQ(Get(Prov(kHome), "governor"), 23);
    game.SetInt(Ch(23), "loyalty", 0);
    game.SetInt(game.Root(), "month", 12);
    game.SetInt(game.Root(), "year", 326);
    bool deserted = false;
    for (std::uint32_t s = 1; s < 200 && !deserted; ++s) {
        TGame trial;
        trial.ReplaceDocument(*game.Document());
        SetRng(trial, s);
        MonthEnd(trial);
        ASSERT_TRUE(trial.IsEnded());
        if (TGame::GetInt(trial.Character(23), "faction", -1) != 0) continue;
        deserted = true;
        EXPECT_NE(TGame::GetInt(trial.Province(kHome), "governor", -1), 23);
        EXPECT_NE(TGame::GetInt(trial.Province(kHome), "governor", -1), 0);
    }
    EXPECT_TRUE(deserted);
}

TEST_F(MonthEndTest, JanuaryDriftFollowsCompatibility) {
    game.SetInt(game.Root(), "month", 12);
    int compat = game.Compatibility(23, 1);
    int before = Get(Ch(23), "loyalty");
    int leaderBefore = Get(Ch(1), "loyalty");
    int age = Get(Ch(23), "age");
    MonthEnd(game);
    // No unpaid wages in December, no fair season: only the drift moves loyalty.
    EXPECT_EQ(Get(Ch(23), "loyalty"), before - ((100 - compat) / 15 + 1));
    EXPECT_EQ(Get(Ch(1), "loyalty"), leaderBefore);
    EXPECT_EQ(Get(Ch(23), "age"), age + 1);
    EXPECT_EQ(Get(game.Root(), "month"), 1);
    EXPECT_EQ(Get(game.Root(), "year"), 321);
    EXPECT_EQ(LastLine(game), "Month 1, River Calendar 321");
}

TEST_F(MonthEndTest, RateAlwaysEndsBetween20And100) {
    const int rates[] = {-500, 0, 19, 20, 21, 95, 100, 101, 5000};
    for (int round = 0; round < 6; ++round) {
        for (int p = 1; p <= kProvinceCount; ++p) game.SetInt(Prov(p), "rate", rates[(p + round) % 9]);
        MonthEnd(game);
        for (int p = 1; p <= kProvinceCount; ++p) {
            int rate = Get(Prov(p), "rate");
            EXPECT_GE(rate, 20) << p;
            EXPECT_LE(rate, 100) << p;
        }
    }
}

TEST_F(MonthEndTest, SnowClearsOnlyWhenMarchBegins) {
    game.SetInt(game.Root(), "month", 1);
    for (int p = 1; p <= kProvinceCount; ++p) game.SetBool(Prov(p), "snow", true);
    MonthEnd(game);  // enters February: snow stays (and may fall)
    EXPECT_TRUE(TGame::GetBool(Prov(20), "snow"));
    MonthEnd(game);  // enters March
    for (int p = 1; p <= kProvinceCount; ++p) EXPECT_FALSE(TGame::GetBool(Prov(p), "snow")) << p;
    EXPECT_EQ(LastLine(game), "Month 3, River Calendar 320");
}

TEST_F(MonthEndTest, InvasionEndsTheCampaignWithoutMonthLineOrRefresh) {
    game.SetInt(game.Root(), "month", 12);
    game.SetInt(game.Root(), "year", 326);
    game.SetInt(Prov(kHome), "governor", 45);  // the refresh would restore the leader
    int age = Get(Ch(1), "age");
    MonthEnd(game);
    EXPECT_TRUE(game.IsEnded());
    EXPECT_EQ(TGame::GetStr(game.Root(), "result"), "The northern invasion has arrived. The court is lost.");
    EXPECT_EQ(LastLine(game), "The northern invasion has arrived. The court is lost.");
    EXPECT_EQ(Get(game.Root(), "month"), 1);
    EXPECT_EQ(Get(game.Root(), "year"), 327);
    EXPECT_EQ(Get(Prov(kHome), "governor"), 45);
    EXPECT_EQ(Get(Ch(1), "age"), age);  // no ageing either
    EXPECT_FALSE(TGame::Has(game.Root(), "winner"));
    std::string ended = game.Document()->dump();
    MonthEnd(game);  // nothing passes after the end
    EXPECT_TRUE(game.Document()->dump() == ended);
    EXPECT_EQ(LastLine(game), "The northern invasion has arrived. The court is lost.");
}

TEST_F(MonthEndTest, InvasionYearComesFromTheRules) {
    SetRule(game, "invasionYear", 321);
    game.SetInt(game.Root(), "month", 11);
    MonthEnd(game);
    EXPECT_FALSE(game.IsEnded());
    MonthEnd(game);
    EXPECT_TRUE(game.IsEnded());
}

TEST_F(MonthEndTest, TreatiesCountDownInJanuaryAndExpire) {
    TArr treaties = TGame::GetArr(game.Root(), "treaties");
    TObj second = game.ArrAppendObj(treaties);
    game.SetInt(second, "a", 3);
    game.SetInt(second, "b", 4);
    game.SetInt(second, "years", 1);
    game.SetInt(game.Root(), "month", 12);
    MonthEnd(game);
    ASSERT_EQ(TGame::ArrLen(treaties), 1);
    EXPECT_EQ(TGame::GetInt(TGame::ArrObj(treaties, 0), "years", 0), 2);
    EXPECT_FALSE(game.TreatyActive(3, 4));
}

TEST_F(MonthEndTest, UngovernableProvinceFallsBackToUnclaimed) {
    for (int c : kMembers) game.SetInt(Ch(c), "province", 5);
    game.SetInt(game.Root(), "month", 4);
    MonthEnd(game);
    EXPECT_EQ(Get(Prov(kHome), "owner"), 0);
    EXPECT_EQ(Get(Prov(kHome), "governor"), 0);
}

TEST_F(MonthEndTest, ExilePartiesEatOneFood) {
    TObj party = game.ExileParty(6);
    ASSERT_NE(party, nullptr);
    game.SetInt(party, "food", 1);
    MonthEnd(game);
    EXPECT_EQ(Get(party, "food"), 0);
    MonthEnd(game);
    EXPECT_EQ(Get(party, "food"), 0);
}

// [SECTION] Governor choice

TEST_F(MonthEndTest, GovernorChoiceTies) {
    // Leader away: the sworn companions outrank followers; the eldest sworn wins and
    // equal ages keep the lower id.
    game.SetInt(Ch(1), "province", 5);
    for (int c : {12, 23, 34, 45, 56}) {
        game.SetInt(Ch(c), "loyalty", 70);
        game.SetInt(Ch(c), "wisdom", 50);
        game.SetInt(Ch(c), "age", 30);
    }
    EXPECT_EQ((ChooseGovernor(game, kHome), Get(Prov(kHome), "governor")), 12);  // full tie: lowest id
    game.SetInt(Ch(45), "wisdom", 51);
    EXPECT_EQ((ChooseGovernor(game, kHome), Get(Prov(kHome), "governor")), 45);
    game.SetInt(Ch(34), "loyalty", 71);
    EXPECT_EQ((ChooseGovernor(game, kHome), Get(Prov(kHome), "governor")), 34);
    game.SetStr(Ch(56), "role", "sworn companion");
    game.SetStr(Ch(23), "role", "sworn companion");
    EXPECT_EQ((ChooseGovernor(game, kHome), Get(Prov(kHome), "governor")), 23);  // equal age: lower id
    game.SetInt(Ch(56), "age", 31);
    EXPECT_EQ((ChooseGovernor(game, kHome), Get(Prov(kHome), "governor")), 56);
    game.SetStr(Ch(56), "role", "exile");  // exiles never govern
    EXPECT_EQ((ChooseGovernor(game, kHome), Get(Prov(kHome), "governor")), 23);
    game.SetInt(Ch(1), "province", kHome);  // the leader always governs at home
    EXPECT_EQ((ChooseGovernor(game, kHome), Get(Prov(kHome), "governor")), 1);
    game.SetBool(Ch(1), "captured", true);
    EXPECT_EQ((ChooseGovernor(game, kHome), Get(Prov(kHome), "governor")), 23);
}

// [SECTION] Wandering

TEST_F(MonthEndTest, WandererWithoutNeighboursStaysButTheDrawIsMade) {
    // Only one free trader is left to wander; every other resident is settled.
    for (int c = 67; c <= kCharacterCount; ++c) game.SetStr(Ch(c), "profession", "scholar");
    for (int c = 1; c <= 66; ++c) game.SetStr(Ch(c), "profession", "scholar");
    game.SetStr(Ch(70), "profession", "trader");
    int home = Get(Ch(70), "province");
    game.NewArr(Prov(home), "neighbors");
    QuietApril(game);
    // Find a state for which the trader's wander roll is below 10: the draws before
    // him are fixed (province draws), so try states on copies.
    std::uint32_t chosen = 0;
    for (std::uint32_t s = Rng(game); chosen == 0; s = NextState(s)) {
        TGame trial;
        trial.ReplaceDocument(*game.Document());
        SetRng(trial, s);
        // Count the draws the provinces take, then look at the trader's roll.
        TGame probe;
        probe.ReplaceDocument(*game.Document());
        SetRng(probe, s);
        MonthEnd(probe);
        // The trader's roll is followed by exactly one draw when he wanders.
        std::uint32_t x = s;
        int provinceDraws = 49 * 3;  // R, the beast arrival (chance 0), the market
        for (int i = 0; i < provinceDraws; ++i) x = NextState(x);
        std::uint32_t roll = NextState(x);
        if (roll % 100 < 10) {
            bool quiet = true;
            for (int p = 1; p <= kProvinceCount; ++p) quiet = quiet && TGame::GetInt(probe.Province(p), "epidemic", 0) == 0;
            if (quiet) {
                chosen = s;
                EXPECT_EQ(Rng(probe), NextState(roll)) << "the neighbour draw Random(0) is still made";
            }
        }
    }
    SetRng(game, chosen);
    MonthEnd(game);
    EXPECT_EQ(Get(Ch(70), "province"), home);
}

TEST_F(MonthEndTest, WandererNeverFollowsANeighbourThatDoesNotExist) {
    int home = Get(Ch(70), "province");
    TArr bad = game.NewArr(Prov(home), "neighbors");
    game.ArrAppendInt(bad, 0);
    game.ArrAppendInt(bad, 99);
    game.ArrAppendInt(bad, -3);
    for (int month = 0; month < 40; ++month) {
        MonthEnd(game);
        if (Get(Ch(70), "province") != home) break;
    }
    EXPECT_EQ(Get(Ch(70), "province"), home);
}

// [SECTION] Draw order

// Replays an April month end draw by draw with its own copy of the generator and checks
// every outcome that depends on a draw: the market drift and beasts of each province,
// the wanderers' moves, the deserters, and the final generator state.
TEST_F(MonthEndTest, ReplaysAMonthEndFromAKnownGeneratorState) {
    game.SetInt(game.Root(), "month", 4);
    SetRule(game, "beastChancePercent", 30);
    for (int c : {23, 34, 45}) game.SetInt(Ch(c), "loyalty", 5);
    game.SetStr(Ch(34), "role", "sworn companion");  // never rolls
    const std::uint32_t start = 0x2545F491u;
    SetRng(game, start);

    std::uint32_t x = start;
    auto draw = [&x](int n) {
        x = NextState(x);
        return n < 1 ? 0 : static_cast<int>(x % static_cast<std::uint32_t>(n));
    };
    std::map<int, int> rate;
    std::map<int, int> beast;
    for (int p = 1; p <= kProvinceCount; ++p) {
        draw(100);  // R
        int kind = 0;
        if (draw(100) < 30) {
            int k = draw(100);
            kind = k < 40 ? 1 : k < 70 ? 2 : k < 90 ? 3 : 4;
        }
        beast[p] = kind;
        rate[p] = std::clamp(Get(Prov(p), "rate") + draw(11) - 5, 20, 100);
    }
    std::map<int, int> where;
    std::vector<int> leaving;
    for (int c = 1; c <= kCharacterCount; ++c) {
        TObj ch = Ch(c);
        where[c] = Get(ch, "province");
        std::string job = TGame::GetStr(ch, "profession");
        bool wanderer = job == "trader" || job == "performer" || job == "outlaw" || job == "fisher";
        if (Get(ch, "faction") == 0 && wanderer && draw(100) < 10) {
            TArr nb = TGame::GetArr(Prov(where[c]), "neighbors");
            where[c] = TGame::ArrInt(nb, draw(TGame::ArrLen(nb)), 0);
        }
        int f = Get(ch, "faction");
        int loyalty = Get(ch, "loyalty");
        if (f > 0 && f != c && TGame::GetStr(ch, "role") != "sworn companion" && loyalty < 30 &&
            draw(100) < 30 - loyalty)
            leaving.push_back(c);
    }

    MonthEnd(game);
    for (int p = 1; p <= kProvinceCount; ++p) {
        // Epidemics and riots do not move rate or beasts in April.
        EXPECT_EQ(Get(Prov(p), "rate"), rate[p]) << p;
        EXPECT_EQ(Get(Prov(p), "beast"), beast[p]) << p;
    }
    for (int c = 1; c <= kCharacterCount; ++c) EXPECT_EQ(Get(Ch(c), "province"), where[c]) << c;
    for (int c : leaving) EXPECT_EQ(Get(Ch(c), "faction"), 0) << c;
    EXPECT_EQ(Get(Ch(34), "faction"), 1);
    EXPECT_EQ(Rng(game), x);
}

TEST_F(MonthEndTest, SameStateSameMonth) {
    TGame twin;
    twin.ReplaceDocument(*game.Document());
    game.ClearChronicle();
    for (int i = 0; i < 14; ++i) {
        MonthEnd(game);
        MonthEnd(twin);
    }
    EXPECT_EQ(Checksum(game), Checksum(twin));
    EXPECT_EQ(game.Chronicle(), twin.Chronicle());
    EXPECT_TRUE(game.IndexMatchesDocument());
    EXPECT_EQ(Validate(game), "");
}

// [SECTION] Hostile documents

TEST_F(MonthEndTest, HostileIdsAndValuesAreSurvived) {
    game.SetInt(Ch(70), "province", 0);
    game.SetInt(Ch(72), "province", 5000);
    game.SetInt(Ch(12), "faction", 4000);
    game.SetInt(Ch(13), "faction", -7);
    game.SetInt(Ch(14), "loyalty", -1000000);
    game.SetInt(Prov(3), "governor", 777);
    game.SetInt(Prov(5), "owner", 300);
    game.SetInt(Prov(6), "owner", -2);
    game.SetInt(Prov(7), "gold", 2000000000);
    game.SetInt(Prov(8), "food", -2000000000);
    game.SetInt(Prov(9), "wealth", 1000000000);
    game.SetInt(Prov(9), "support", 1000000000);
    game.SetInt(Prov(10), "rate", -2000000000);
    game.SetInt(Ch(20), "bodyMax", -5);
    game.SetInt(Ch(21), "soldiers", 1000000000);
    game.SetStr(Prov(11), "neighbors", "north");
    game.SetInt(game.Root(), "month", 12);
    TArr treaties = TGame::GetArr(game.Root(), "treaties");
    game.ArrAppendInt(treaties, 5);
    TArr parties = TGame::GetArr(game.Root(), "exileParties");
    game.ArrAppendInt(parties, 3);
    for (int i = 0; i < 30; ++i) MonthEnd(game);
    EXPECT_EQ(Get(game.Root(), "month"), 6);
    EXPECT_TRUE(game.IndexMatchesDocument());
}

TEST_F(MonthEndTest, ManyFellowshipsAndPartiesStayCheap) {
    // Far more fellowships and exile parties than a campaign can have: the month end
    // must stay linear in their number (it used to be their product).
    TArr factions = TGame::GetArr(game.Root(), "factions");
    TArr parties = TGame::GetArr(game.Root(), "exileParties");
    for (int f = 256; f <= 20000; ++f) {
        TObj fac = game.ArrAppendObj(factions);
        game.SetInt(fac, "id", f);
        game.SetBool(fac, "active", true);
        game.SetInt(fac, "home", 0);
        TObj party = game.ArrAppendObj(parties);
        game.SetInt(party, "leader", 40000 - f);
        game.SetInt(party, "food", 5);
    }
    MonthEnd(game);
    EXPECT_EQ(TGame::GetInt(game.ExileParty(20000), "food", 0), 4);
    EXPECT_FALSE(TGame::GetBool(game.Faction(20000), "active"));  // no leader can exist
}

TEST_F(MonthEndTest, NoCampaignIsANoOp) {
    TGame empty;
    MonthEnd(empty);
    EXPECT_FALSE(empty.HasCampaign());
    EXPECT_TRUE(empty.Chronicle().empty());
}

}  // namespace
}  // namespace reedmark::testing
