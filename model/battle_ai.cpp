// The battle AI: a greedy tactician that acts through BattleAction one unit per step,
// automatic resolution, and the computer's share of a frame-loop tick.
#include "model/battle.hpp"
#include "model/battle_rules.hpp"

namespace reedmark {

using namespace battle;

namespace {

constexpr int kFitBody = 10;  // above this a unit fights; otherwise it rests

// The first active, unspent unit of the side, or -1.
int ReadyUnit(const TGame& game, int side) {
    int n = BattleUnitCount(game);
    for (int i = 0; i < n; ++i) {
        TObj unit = BattleUnit(game, i);
        if (UnitActive(unit) && UnitSide(unit) == side && !TGame::GetBool(unit, "spent")) return i;
    }
    return -1;
}

// The nearest active enemy (lowest index among equals), or -1.
int NearestEnemy(const TGame& game, int u, int& dist) {
    TObj self = BattleUnit(game, u);
    Hex at = UnitHex(self);
    int side = UnitSide(self);
    int best = -1;
    int n = BattleUnitCount(game);
    for (int i = 0; i < n; ++i) {
        TObj other = BattleUnit(game, i);
        if (!UnitActive(other) || UnitSide(other) == side) continue;
        int d = Hex::Distance(at, UnitHex(other));
        if (best < 0 || d < dist) {
            best = i;
            dist = d;
        }
    }
    return best;
}

// Tries one action; true when it was carried out or the battle is over.
bool Try(TGame& game, int u, int target, Hex cell, const char* action) {
    return BattleAction(game, u, target, cell.q, cell.r, action).empty() || !HasBattle(game);
}

// Shoot, strike or close in on the nearest enemy; true when the unit has acted.
bool Attack(TGame& game, int u) {
    int dist = 0;
    int target = NearestEnemy(game, u, dist);
    if (target < 0) return false;
    Hex at = UnitHex(BattleUnit(game, u));
    Hex enemy = UnitHex(BattleUnit(game, target));
    if (dist < 3 && Try(game, u, target, enemy, "archery")) return true;
    if (dist == 1 && Try(game, u, target, enemy, "melee")) return true;
    for (int k = 0; k < 6; ++k) {
        Hex nb = at.Neighbour(k);
        if (nb.InField() && Hex::Distance(nb, enemy) < dist && Try(game, u, -1, nb, "move")) return true;
    }
    return false;
}

}  // namespace

void BattleAIStep(TGame& game) {
    TObj b = Battle(game);
    if (b == nullptr) return;
    game.SetBool(b, "deploy", false);
    int side = TGame::GetInt(b, "side", 0);
    int u = ReadyUnit(game, side);
    if (u < 0) {
        if (side == kSideDefenders) {
            game.SetInt(b, "side", kSideAttackers);
            PassEmptyHumanTurns(game);
        } else {
            EndBattleDay(game);
        }
        return;
    }
    TObj ch = game.Character(UnitChar(BattleUnit(game, u)));
    if (TGame::GetInt(ch, "body", 0) > kFitBody && Attack(game, u)) return;
    Hex at = UnitHex(BattleUnit(game, u));
    if (side == kSideDefenders && TGame::ArrLen(TGame::GetArr(b, "reserve")) > 0 &&
        Try(game, u, -1, at, "reinforce"))
        return;
    BattleAction(game, u, -1, at.q, at.r, "rest");
}

void ResolveBattleAuto(TGame& game) {
    TObj b = Battle(game);
    if (b == nullptr) return;
    game.SetBool(b, "defensePrompt", false);
    game.SetBool(b, "deploy", false);
    for (int step = 0; step < kAutoStepLimit && HasBattle(game); ++step) BattleAIStep(game);
}

int BattleTick(TGame& game) {
    if (game.IsEnded()) return 0;
    int steps = 0;
    TObj b = Battle(game);
    if (b != nullptr && !HumanBattleTurn(game) && !TGame::GetBool(b, "defensePrompt") && !TGame::GetBool(b, "deploy")) {
        BattleAIStep(game);
        ++steps;
    }
    b = Battle(game);
    if (b != nullptr && !game.IsHumanFaction(TGame::GetInt(b, "attacker", 0)) &&
        !game.IsHumanFaction(TGame::GetInt(b, "defender", 0))) {
        game.SetBool(b, "defensePrompt", false);
        game.SetBool(b, "deploy", false);
        BattleAIStep(game);
        ++steps;
    }
    return steps;
}

}  // namespace reedmark
