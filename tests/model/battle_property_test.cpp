// Random battles fought to the end by the battle AI: every one ends within the step
// bound, keeps the field and the characters in range, and leaves a valid campaign.
#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>

#include "model/battle.hpp"
#include "model/game.hpp"
#include "model/saves.hpp"
#include "tests/fixtures/small_world.hpp"

namespace reedmark {
namespace {

constexpr int kBattles = 2000;

class TBattleDice {
public:
    explicit TBattleDice(unsigned seed) : rng_(seed) {}
    int Int(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
    bool Chance(int percent) { return Int(0, 99) < percent; }

private:
    std::mt19937 rng_;
};

// The members of fellowship f (character f and the followers of the small world).
std::vector<int> Members(const TGame& game, int f) {
    std::vector<int> out;
    for (int c = 1; c <= kCharacterCount; ++c)
        if (TGame::GetInt(game.Character(c), "faction", 0) == f) out.push_back(c);
    return out;
}

void Roll(TGame& game, TBattleDice& dice, int c) {
    TObj ch = game.Character(c);
    game.SetInt(ch, "body", dice.Int(0, 80));
    game.SetInt(ch, "soldiers", dice.Int(0, 100));
    for (const char* key : {"strength", "dexterity", "wisdom", "courage"}) game.SetInt(ch, key, dice.Int(0, 100));
    game.SetBool(ch, "navigator", dice.Chance(30));
    game.SetBool(ch, "ship", dice.Chance(30));
}

void RollProvince(TGame& game, TBattleDice& dice, int p) {
    TObj prov = game.Province(p);
    game.SetInt(prov, "mapSeed", dice.Int(0, 1'000'000'000));
    game.SetBool(prov, "river", dice.Chance(50));
    game.SetInt(prov, "castles", dice.Int(5, 9));  // room for both armies and their captives
    game.SetInt(prov, "food", dice.Int(0, 400));
    game.SetInt(prov, "arms", dice.Int(0, 100));
    game.SetInt(prov, "skill", dice.Int(0, 100));
}

// Opens a random battle: a settled fellowship attacks another, or a homeless one rises
// where it stands.
void OpenRandomBattle(TGame& game, TBattleDice& dice) {
    game.SetInt(game.Root(), "month", dice.Int(1, 12));
    int defender = dice.Int(1, 5);
    int attacker = dice.Int(1, 4);
    if (attacker >= defender) ++attacker;
    int origin = 4 * attacker;
    int destination = 4 * defender;
    if (dice.Chance(20)) {
        attacker = dice.Int(6, 10);
        origin = destination = 30 + attacker;
        std::vector<int> garrison = Members(game, defender);
        game.SetInt(game.Province(destination), "owner", defender);
        for (size_t i = 1; i < 3; ++i) game.SetInt(game.Character(garrison[i]), "province", destination);
        game.SetInt(game.Province(destination), "governor", garrison[1]);
    }
    for (int c : Members(game, attacker)) Roll(game, dice, c);
    for (int c : Members(game, defender)) Roll(game, dice, c);
    for (int extra = 0, n = dice.Int(0, 6); extra < n; ++extra) {
        int c = 67 + extra;
        game.SetInt(game.Character(c), "faction", defender);
        game.SetInt(game.Character(c), "province", destination);
        Roll(game, dice, c);
    }
    RollProvince(game, dice, origin);
    RollProvince(game, dice, destination);
    if (dice.Chance(20)) game.SetBool(game.Faction(attacker), "human", true);
    if (dice.Chance(20)) game.SetBool(game.Faction(defender), "human", true);
    StartBattle(game, origin, destination, attacker);
}

// The field stays coherent after every step.
void ExpectFieldInRange(const TGame& game) {
    TObj b = Battle(game);
    ASSERT_NE(b, nullptr);
    EXPECT_GE(TGame::GetInt(b, "day", 0), 1);
    EXPECT_LE(TGame::GetInt(b, "day", 0), kLastBattleDay);
    EXPECT_GE(TGame::GetInt(b, "weather", -1), 0);
    EXPECT_LE(TGame::GetInt(b, "weather", -1), 3);
    EXPECT_GE(TGame::GetInt(b, "wind", -1), 0);
    EXPECT_LE(TGame::GetInt(b, "wind", -1), 5);
    EXPECT_GE(TGame::GetInt(b, "food0", -1), 0);
    EXPECT_GE(TGame::GetInt(b, "food1", -1), 0);
    std::set<int> taken;
    int active[2] = {0, 0};
    for (int i = 0; i < BattleUnitCount(game); ++i) {
        TObj unit = BattleUnit(game, i);
        if (!TGame::GetBool(unit, "active")) continue;
        Hex at{TGame::GetInt(unit, "q", -1), TGame::GetInt(unit, "r", -1)};
        ASSERT_TRUE(at.InField());
        EXPECT_TRUE(taken.insert(at.Index()).second) << "two units on one cell";
        EXPECT_NE(TerrainAt(game, at.q, at.r), tMountain);
        ++active[TGame::GetInt(unit, "side", 0) == 1 ? 1 : 0];
    }
    EXPECT_LE(active[0], kMaxUnitsPerSide);
    EXPECT_LE(active[1], kMaxUnitsPerSide);
}

void ExpectCampaignInRange(const TGame& game) {
    for (int c = 1; c <= kCharacterCount; ++c) {
        TObj ch = game.Character(c);
        EXPECT_GE(TGame::GetInt(ch, "body", -1), 0) << c;
        EXPECT_LE(TGame::GetInt(ch, "body", 0), TGame::GetInt(ch, "bodyMax", 0)) << c;
        EXPECT_GE(TGame::GetInt(ch, "soldiers", -1), 0) << c;
        EXPECT_LE(TGame::GetInt(ch, "soldiers", 0), 100) << c;
        for (const char* key : {"strength", "dexterity", "wisdom"}) EXPECT_LE(TGame::GetInt(ch, key, 0), 100) << c;
    }
    for (int p = 1; p <= kProvinceCount; ++p) {
        for (const char* key : {"food", "gold"}) {
            EXPECT_GE(TGame::GetInt(game.Province(p), key, -1), 0) << p;
            EXPECT_LE(TGame::GetInt(game.Province(p), key, 0), 9999) << p;
        }
    }
    EXPECT_EQ(Validate(game), "");
    EXPECT_TRUE(game.IndexMatchesDocument());
}

TEST(BattleProperty, RandomBattlesEndWithinTheBoundAndStayInRange) {
    TGame game;
    testing::StartSmallCampaign(game, 11);
    const TJson start = *game.Document();
    for (int n = 0; n < kBattles; ++n) {
        SCOPED_TRACE("battle " + std::to_string(n));
        game.ReplaceDocument(start);
        TBattleDice dice(static_cast<unsigned>(n));
        OpenRandomBattle(game, dice);
        if (n % 4 == 0) {
            // Fight step by step, checking the field after each one.
            if (HasBattle(game)) {
                game.SetBool(Battle(game), "defensePrompt", false);
                game.SetBool(Battle(game), "deploy", false);
            }
            for (int step = 0; step < kAutoStepLimit && HasBattle(game); ++step) {
                BattleAIStep(game);
                if (HasBattle(game)) {
                    ASSERT_NO_FATAL_FAILURE(ExpectFieldInRange(game));
                }
            }
        } else {
            ResolveBattleAuto(game);
        }
        ASSERT_FALSE(HasBattle(game));
        ExpectCampaignInRange(game);
        if (::testing::Test::HasFailure()) break;
    }
}

}  // namespace
}  // namespace reedmark
