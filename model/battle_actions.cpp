// Battle actions: the common checks, the eleven actions with their costs and combat
// arithmetic, movement costs, rays, losses and the passing of the turn.
//
// BattleAction is the one entry point for a move on the field: the battle screen, the
// console and the battle AI all call it, and it checks everything before it changes
// anything, so a refusal leaves the document as it was.
#include <algorithm>
#include <cmath>
#include <vector>

#include "model/battle.hpp"
#include "model/battle_rules.hpp"
#include "model/random.hpp"

namespace reedmark {

using namespace battle;

namespace {

// [SECTION] Shared pieces

constexpr int kMustRestBody = 11;  // below this a unit may only rest
constexpr int kRestCeiling = 40;

struct TActor {
    int index = -1;
    TObj unit = nullptr;
    int c = 0;
    TObj ch = nullptr;
    int side = 0;
    Hex at;
};

TActor ActorOf(const TGame& game, int index) {
    TActor a;
    a.index = index;
    a.unit = BattleUnit(game, index);
    a.c = UnitChar(a.unit);
    a.ch = game.Character(a.c);
    a.side = UnitSide(a.unit);
    a.at = UnitHex(a.unit);
    return a;
}

int Stat(TObj ch, const char* key) { return TGame::GetInt(ch, key, 0); }

int Allowance(TObj ch, bool charge) {
    int allowance = Stat(ch, "dexterity") / 20 + 8;
    return charge ? std::max(allowance / 2, 4) : allowance;
}

// Step cost of entering a cell, or kUnreachable when the mover cannot enter it.
int StepCost(int terrain, TObj mover) {
    switch (terrain) {
    case tPlain: return 3;
    case tForest: return 4;
    case tHill: return 5;
    case tMountain: return kUnreachable;
    case tCastle: return 4;
    case tRiver:
        if (!TGame::GetBool(mover, "ship")) return kUnreachable;
        return TGame::GetBool(mover, "navigator") ? 4 : 8;
    case tMarsh: return 5;
    case tIce: return 4;
    default: return 3;
    }
}

// Loss of one melee blow: (draw + 85) * (weighted / divisor + 6) / 100 within 1..40,
// where weighted is 18 times the striking power.
int BlowLoss(TGame& game, double weighted, double divisor) {
    int draw = Random(game, 31);
    double loss = std::floor((draw + 85) * (weighted / divisor + 6.0) / 100.0);
    return static_cast<int>(std::clamp(loss, 1.0, 40.0));
}

// The melee hit (also the charge blow); returns the loss dealt. Both powers are taken
// before any loss.
int MeleeHit(TGame& game, int attacker, int target, double& targetPower, double& factor) {
    double a = UnitPower(game, attacker);
    targetPower = UnitPower(game, target);
    Hex t = UnitHex(BattleUnit(game, target));
    factor = TerrainFactor(TerrainAt(game, t.q, t.r));
    // Single precision is the rule's; with every value saturated at 1e9 a power stays
    // below 1e31, far inside the range of a float.
    double g = static_cast<float>(factor * targetPower);
    if (g < 1.0) g = 1.0;
    int loss = BlowLoss(game, 18.0 * a, g);
    ApplyLosses(game, target, loss, 0);
    return loss;
}

// [SECTION] Completion and turn passing

std::string Complete(TGame& game, const TActor& a, int bodyCost) {
    TObj b = Battle(game);
    int side = TGame::GetInt(b, "side", 0);
    game.SetInt(a.ch, "body", std::max(0, Stat(a.ch, "body") - bodyCost));
    game.SetBool(a.unit, "spent", true);
    if (CheckBattleEnd(game)) return "Battle resolved.";
    if (!SideHasReadyUnit(game, side)) {
        if (side == kSideDefenders) {
            game.SetInt(b, "side", kSideAttackers);
            PassEmptyHumanTurns(game);
        } else {
            EndBattleDay(game);
        }
    }
    return "";
}

// [SECTION] Movement

std::string MoveOrCharge(TGame& game, const TActor& a, int q, int r, bool charge) {
    Hex dest{q, r};
    if (!dest.InField()) return "Choose a cell inside the battlefield.";
    if (UnitAt(game, q, r) >= 0) return "That cell is occupied.";
    if (TerrainAt(game, q, r) == tMountain) return "Mountains are impassable.";
    if (MovementCosts(game, a.index, charge)[static_cast<size_t>(dest.Index())] > Allowance(a.ch, charge))
        return "Destination is beyond movement allowance or blocked.";
    int cost = charge ? 3 : 1;
    if (Stat(a.ch, "body") < cost) return "Insufficient Body.";
    game.SetInt(a.unit, "q", q);
    game.SetInt(a.unit, "r", r);
    if (charge) {
        int n = BattleUnitCount(game);
        for (int i = 0; i < n; ++i) {
            TObj other = BattleUnit(game, i);
            if (!UnitActive(other) || UnitSide(other) == a.side || Hex::Distance(UnitHex(other), dest) != 1) continue;
            double power = 0;
            double factor = 0;
            MeleeHit(game, a.index, i, power, factor);
            game.GainExperience(a.c, 1, 0, 0);
            break;
        }
    }
    return Complete(game, a, cost);
}

// [SECTION] Targeted actions

std::string Melee(TGame& game, const TActor& a, const TActor& t, int d) {
    if (d != 1) return "Melee requires an adjacent enemy.";
    if (Stat(a.ch, "body") < 2) return "Insufficient Body.";
    double a0 = UnitPower(game, a.index);
    double d0 = 0;
    double f = 0;
    int loss = MeleeHit(game, a.index, t.index, d0, f);
    if (UnitActive(t.unit)) {
        double h = static_cast<float>(a0);
        if (h < 1.0) h = 1.0;
        int counter = BlowLoss(game, 18.0 * f * d0, h);
        ApplyLosses(game, a.index, counter * 60 / 100, 0);
    }
    game.GainExperience(a.c, 1, 0, 0);
    game.AddLog(CharName(game, a.c) + " strikes " + CharName(game, t.c) + " for " + std::to_string(loss) + ".");
    return Complete(game, a, 2);
}

std::string Archery(TGame& game, const TActor& a, const TActor& t, int d) {
    int dex = Stat(a.ch, "dexterity");
    int arrows = TGame::GetInt(a.unit, "arrows", 0);
    if (dex < 61 || arrows < 1) return "Archery requires Dexterity 61 and a volley.";
    if (d > 2 || !ClearRay(game, a.index, t.index)) return "Archery needs a clear straight ray at distance 1..2.";
    if (Stat(a.ch, "body") < 1) return "Insufficient Body.";
    TObj b = Battle(game);
    double arms = TGame::GetInt(b, SideKey("arms", a.side), 0);
    double f = TerrainFactor(TerrainAt(game, t.at.q, t.at.r));
    double raw = (arms / 100.0 + 0.5) * (dex / 10.0 + 4.0 + Stat(a.ch, "soldiers") / 20.0) / f;
    // Bounded before the conversion: Dexterity and Arms read from a file may be huge.
    int loss = static_cast<int>(std::clamp(std::floor(raw), 1.0, static_cast<double>(kIntLimit)));
    ApplyLosses(game, t.index, loss, dex >= 85 ? 2 : 0);
    game.SetInt(a.unit, "arrows", arrows - 1);
    game.GainExperience(a.c, 0, 1, 0);
    return Complete(game, a, 1);
}

std::string Mist(TGame& game, const TActor& a, const TActor& t, int d) {
    int wisdom = Stat(a.ch, "wisdom");
    int body = Stat(a.ch, "body");
    if (TGame::GetInt(Battle(game), "weather", 0) != kWeatherCloudy || wisdom < 80 || body < 50)
        return "Mist art needs cloud, Wisdom 80 and Body 50.";
    int range = wisdom >= 90 ? 3 : 2;
    if (d > range || !ClearRay(game, a.index, t.index)) return "Target is outside the mist range or line of sight.";
    int cost = game.RuleInt("heavyBody", 20);
    if (body < cost) return "Insufficient Body.";
    ApplyLosses(game, t.index, wisdom / 5, 5);
    if (Random(game, 100) < wisdom - 60) game.SetBool(t.unit, "dazzled", true);
    game.GainExperience(a.c, 0, 0, 5);
    return Complete(game, a, cost);
}

std::string Duel(TGame& game, const TActor& a, const TActor& t, int d) {
    constexpr int kMaxExchanges = 200;
    if (d != 1) return "A duel requires an adjacent enemy.";
    if (TerrainAt(game, t.at.q, t.at.r) == tCastle) return "A castle defender refuses a duel.";
    if (Stat(a.ch, "body") < 5) return "Insufficient Body.";
    if (Random(game, 100) < Stat(t.ch, "courage")) {
        for (int i = 0; i < kMaxExchanges; ++i) {
            int blow = std::max(1, Stat(a.ch, "strength") / 15 + Random(game, 4) - Stat(t.ch, "dexterity") / 30);
            ApplyLosses(game, t.index, 0, blow);
            if (!UnitActive(t.unit)) break;
            int reply = std::max(1, Stat(t.ch, "strength") / 15 + Random(game, 4) - Stat(a.ch, "dexterity") / 30);
            ApplyLosses(game, a.index, 0, reply);
            if (!UnitActive(a.unit)) break;
        }
        if (!UnitActive(a.unit)) game.GainExperience(t.c, 15, 15, 0);
        else game.GainExperience(a.c, 15, 15, 0);
    } else {
        game.AddLog(CharName(game, t.c) + " refuses the duel.");
    }
    return Complete(game, a, 5);
}

std::string Fire(TGame& game, const TActor& a, const TActor& t, int d) {
    int wisdom = Stat(a.ch, "wisdom");
    TObj b = Battle(game);
    int weather = TGame::GetInt(b, "weather", 0);
    if (d != 1 || wisdom < 60 || weather == kWeatherRain || weather == kWeatherSnow)
        return "Fire requires adjacency, Wisdom 60 and dry weather.";
    if (Stat(a.ch, "body") < 1) return "Insufficient Body.";
    int terrain = TerrainAt(game, t.at.q, t.at.r);
    int chance = wisdom / 2 + 30 - Stat(t.ch, "wisdom") / 3;
    if (terrain == tForest) chance += 15;
    if (terrain == tRiver || terrain == tMarsh) chance -= 30;
    chance = Clamp(chance, 5, 95);
    if (Random(game, 100) < chance) game.ArrAppendInt(TGame::GetArr(b, "fires"), t.at.Index());
    game.GainExperience(a.c, 0, 1, 1);
    return Complete(game, a, 1);
}

std::string Targeted(TGame& game, const TActor& a, int target, const std::string& action) {
    TObj b = Battle(game);
    TActor t = ActorOf(game, target);
    if (t.unit == nullptr || !UnitActive(t.unit) || t.side == TGame::GetInt(b, "side", 0))
        return "Choose an active enemy.";
    int d = Hex::Distance(a.at, t.at);
    if (action == "melee") return Melee(game, a, t, d);
    if (action == "archery") return Archery(game, a, t, d);
    if (action == "mist") return Mist(game, a, t, d);
    if (action == "duel") return Duel(game, a, t, d);
    return Fire(game, a, t, d);
}

// [SECTION] Untargeted actions

std::string Extinguish(TGame& game, const TActor& a, int q, int r) {
    int dex = Stat(a.ch, "dexterity");
    if (dex < 40) return "Extinguish requires Dexterity 40.";
    Hex cell{q, r};
    if (Hex::Distance(a.at, cell) > 1) return "Select your own or adjacent cell.";
    if (Stat(a.ch, "body") < 1) return "Insufficient Body.";
    // A cell beyond the edge holds no fire; its index would name a cell on the far side.
    if (cell.InField()) {
        TArr fires = TGame::GetArr(Battle(game), "fires");
        int chance = Clamp(dex - (TerrainAt(game, q, r) == tForest ? 20 : 0), 10, 95);
        for (int i = TGame::ArrLen(fires) - 1; i >= 0; --i) {
            if (TGame::ArrInt(fires, i, -1) != cell.Index()) continue;
            if (Random(game, 100) < chance) game.ArrErase(fires, i);
        }
    }
    game.GainExperience(a.c, 0, 0, 1);
    return Complete(game, a, 1);
}

std::string Rest(TGame& game, const TActor& a) {
    int body = Stat(a.ch, "body");
    if (body < kRestCeiling) game.SetInt(a.ch, "body", std::min({body + 2, Stat(a.ch, "bodyMax"), kRestCeiling}));
    return Complete(game, a, 0);
}

// The first free cell of the defenders' columns, row by row, that a unit may stand on.
bool ReinforcementCell(const TGame& game, Hex& cell) {
    for (int r = 0; r < kFieldRows; ++r) {
        for (int q = 13; q < kFieldColumns; ++q) {
            int terrain = TerrainAt(game, q, r);
            if (UnitAt(game, q, r) < 0 && terrain != tMountain && terrain != tRiver) {
                cell = {q, r};
                return true;
            }
        }
    }
    return false;
}

std::string Reinforce(TGame& game, const TActor& a) {
    TObj b = Battle(game);
    if (TGame::GetInt(b, "side", 0) != kSideDefenders) return "Only defenders can call reinforcements.";
    int active = 0;
    for (int i = 0; i < BattleUnitCount(game); ++i) {
        TObj unit = BattleUnit(game, i);
        if (UnitActive(unit) && UnitSide(unit) == kSideDefenders) ++active;
    }
    if (active >= kMaxUnitsPerSide) return "Ten defenders are already active.";
    TArr reserve = TGame::GetArr(b, "reserve");
    if (TGame::ArrLen(reserve) == 0) return "No reserve remains.";
    Hex cell;
    if (!ReinforcementCell(game, cell)) return "No empty defender deployment cell.";
    int c = TGame::ArrInt(reserve, 0, 0);
    game.ArrErase(reserve, 0);
    TObj unit = game.ArrAppendObj(TGame::GetArr(b, "units"));
    game.SetInt(unit, "char", c);
    game.SetInt(unit, "side", kSideDefenders);
    game.SetInt(unit, "q", cell.q);
    game.SetInt(unit, "r", cell.r);
    game.SetBool(unit, "active", true);
    game.SetBool(unit, "spent", true);
    game.SetInt(unit, "arrows", TGame::GetInt(b, "arms0", 0) / 20 + 1);
    game.SetBool(unit, "dazzled", false);
    game.AddLog(CharName(game, c) + " reinforces the defenders.");
    return Complete(game, a, 0);
}

std::string Retreat(TGame& game, const TActor& a) {
    TObj b = Battle(game);
    game.SetBool(a.unit, "active", false);
    if (a.c == TGame::GetInt(b, SideKey("commander", a.side), 0)) {
        ResolveBattle(game, a.side == kSideAttackers ? kSideDefenders : kSideAttackers);
        return "The commander withdraws.";
    }
    return Complete(game, a, 0);
}

}  // namespace

// [SECTION] Entry point

std::string BattleAction(TGame& game, int unit, int target, int q, int r, const std::string& action) {
    if (!HasBattle(game)) return "No battle.";
    KeepGeneratorKey(game);
    TObj b = Battle(game);
    TActor a = ActorOf(game, unit);
    if (a.unit == nullptr) return "Select a unit.";
    if (!UnitActive(a.unit) || a.side != TGame::GetInt(b, "side", 0) || TGame::GetBool(a.unit, "spent"))
        return "Select an unspent unit on the acting side.";
    if (Stat(a.ch, "body") < kMustRestBody && action != "rest") return "Body is 10 or less: this unit must rest.";

    if (action == "move") return MoveOrCharge(game, a, q, r, false);
    if (action == "charge") return MoveOrCharge(game, a, q, r, true);
    if (action == "melee" || action == "archery" || action == "mist" || action == "duel" || action == "fire")
        return Targeted(game, a, target, action);
    if (action == "extinguish") return Extinguish(game, a, q, r);
    if (action == "retreat") return Retreat(game, a);
    if (action == "rest") return Rest(game, a);
    if (action == "reinforce") return Reinforce(game, a);
    return "Unknown battle action.";
}

// [SECTION] Strength, losses, paths and rays

double UnitPower(const TGame& game, int unit) {
    TObj u = BattleUnit(game, unit);
    if (u == nullptr) return 0.0;
    TObj b = Battle(game);
    int side = UnitSide(u);
    TObj ch = game.Character(UnitChar(u));
    double skill = TGame::GetInt(b, SideKey("skill", side), 0);
    double arms = TGame::GetInt(b, SideKey("arms", side), 0);
    return (skill / 100.0 + 0.5) * (Stat(ch, "strength") / 100.0 + 0.5) *
           (Stat(ch, "body") / 3.0 + Stat(ch, "soldiers")) * (arms / 200.0 + 0.75);
}

void ApplyLosses(TGame& game, int unit, int soldiersLost, int bodyLost) {
    TObj u = BattleUnit(game, unit);
    if (!UnitActive(u)) return;
    int c = UnitChar(u);
    TObj ch = game.Character(c);
    long long s0 = Stat(ch, "soldiers");
    long long beyond = std::max<long long>(soldiersLost - s0, 0);
    game.SetInt(ch, "soldiers", std::max<long long>(0, s0 - soldiersLost));
    long long body = std::max<long long>(0, Stat(ch, "body") - bodyLost - 3 * beyond);
    game.SetInt(ch, "body", body);
    if (body == 0) {
        game.SetBool(u, "active", false);
        game.SetBool(ch, "captured", true);
        game.AddLog(CharName(game, c) + " is captured!");
    }
}

TPathCosts MovementCosts(const TGame& game, int unit, bool charge) {
    TPathCosts cost;
    cost.fill(kUnreachable);
    TObj u = BattleUnit(game, unit);
    Hex start = UnitHex(u);
    if (!UnitActive(u) || !start.InField()) return cost;
    TObj mover = game.Character(UnitChar(u));
    int side = UnitSide(u);
    long long moverSoldiers = Stat(mover, "soldiers");
    int allowance = Allowance(mover, charge);

    // Occupied cells and the cells held by an enemy strong enough to stop a march.
    std::array<bool, kFieldCells> occupied{};
    std::array<bool, kFieldCells> held{};
    int n = BattleUnitCount(game);
    for (int i = 0; i < n; ++i) {
        TObj other = BattleUnit(game, i);
        Hex at = UnitHex(other);
        if (!UnitActive(other) || !at.InField()) continue;
        occupied[static_cast<size_t>(at.Index())] = true;
        if (UnitSide(other) == side) continue;
        if (static_cast<long long>(Stat(game.Character(UnitChar(other)), "soldiers")) * 4 < moverSoldiers) continue;
        for (int k = 0; k < 6; ++k) {
            Hex nb = at.Neighbour(k);
            if (nb.InField()) held[static_cast<size_t>(nb.Index())] = true;
        }
    }
    TArr terrain = TGame::GetArr(Battle(game), "terrain");
    std::array<int, kFieldCells> kind{};
    for (int i = 0; i < kFieldCells; ++i) kind[static_cast<size_t>(i)] = TGame::ArrInt(terrain, i, 0);

    std::array<bool, kFieldCells> visited{};
    cost[static_cast<size_t>(start.Index())] = 0;
    for (int round = 0; round < kFieldCells; ++round) {
        int best = -1;
        for (int i = 0; i < kFieldCells; ++i)
            if (!visited[static_cast<size_t>(i)] && (best < 0 || cost[static_cast<size_t>(i)] < cost[static_cast<size_t>(best)]))
                best = i;
        if (best < 0 || cost[static_cast<size_t>(best)] >= kUnreachable || cost[static_cast<size_t>(best)] > allowance) break;
        visited[static_cast<size_t>(best)] = true;
        Hex cell = Hex::FromIndex(best);
        // A river stops the march, and so does an enemy's reach; the mover may end there.
        if (!(cell == start) && (kind[static_cast<size_t>(best)] == tRiver || held[static_cast<size_t>(best)])) continue;
        for (int k = 0; k < 6; ++k) {
            Hex nb = cell.Neighbour(k);
            if (!nb.InField()) continue;
            size_t ni = static_cast<size_t>(nb.Index());
            if (occupied[ni]) continue;
            int step = StepCost(kind[ni], mover);
            if (step >= kUnreachable) continue;
            int next = cost[static_cast<size_t>(best)] + step;
            if (next < cost[ni]) cost[ni] = next;
        }
    }
    return cost;
}

bool ClearRay(const TGame& game, int fromUnit, int toUnit) {
    TObj a = BattleUnit(game, fromUnit);
    TObj b = BattleUnit(game, toUnit);
    if (a == nullptr || b == nullptr) return false;
    Hex from = UnitHex(a);
    Hex to = UnitHex(b);
    if (!from.InField() || !to.InField() || !Hex::OnLine(from, to)) return false;
    int steps = Hex::Distance(from, to);
    int dq = steps == 0 ? 0 : (to.q - from.q) / steps;
    int dr = steps == 0 ? 0 : (to.r - from.r) / steps;
    for (int i = 1; i < steps; ++i) {
        Hex cell{from.q + i * dq, from.r + i * dr};
        if (TerrainAt(game, cell.q, cell.r) == tMountain) return false;
    }
    return true;
}

}  // namespace reedmark
