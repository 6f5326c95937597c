// The battle document: its accessors, the field generator and the setup that a war
// order or a settlement uprising performs.
#include <cstdint>

#include "model/battle.hpp"
#include "model/battle_rules.hpp"

namespace reedmark {

using namespace battle;

// [SECTION] Accessors

// Only an object is a battle: anything else under the key (a damaged save) is ignored,
// rather than blocking every order with a battle that can never be fought.
bool HasBattle(const TGame& game) { return TGame::GetObj(game.Root(), "battle") != nullptr; }

TObj Battle(const TGame& game) { return TGame::GetObj(game.Root(), "battle"); }

TObj BattleUnit(const TGame& game, int index) { return TGame::ArrObj(TGame::GetArr(Battle(game), "units"), index); }

int BattleUnitCount(const TGame& game) { return TGame::ArrLen(TGame::GetArr(Battle(game), "units")); }

int UnitAt(const TGame& game, int q, int r) {
    TArr units = TGame::GetArr(Battle(game), "units");
    int n = TGame::ArrLen(units);
    for (int i = 0; i < n; ++i) {
        TObj unit = TGame::ArrObj(units, i);
        if (UnitActive(unit) && UnitHex(unit) == Hex{q, r}) return i;
    }
    return -1;
}

int HexDistance(int q1, int r1, int q2, int r2) { return Hex::Distance({q1, r1}, {q2, r2}); }

int TerrainAt(const TGame& game, int q, int r) {
    Hex h{q, r};
    if (!h.InField()) return 0;
    return TGame::ArrInt(TGame::GetArr(Battle(game), "terrain"), h.Index(), 0);
}

double TerrainFactor(int terrain) {
    switch (terrain) {
    case tForest: return 1.25;
    case tHill: return 1.3;
    case tCastle: return 1.6;
    case tRiver: return 0.8;
    case tMarsh: return 0.9;
    case tIce: return 0.7;
    default: return 1.0;
    }
}

bool HumanBattleTurn(const TGame& game) {
    TObj b = Battle(game);
    if (b == nullptr) return false;
    return game.IsHumanFaction(SideFaction(b, TGame::GetInt(b, "side", 0)));
}

namespace {

// [SECTION] Field generator

constexpr int kMaxCastles = 7;  // castle cells sit on odd rows of column 14
constexpr int kCastleColumn = 14;

// The field's own xorshift, seeded by the province so the same province always gives
// the same field. Unlike the campaign generator it is not corrected at 0.
class TFieldRandom {
public:
    explicit TFieldRandom(std::uint32_t seed) : x_(seed) {}
    int Draw(std::uint32_t n) {
        x_ ^= x_ << 13;
        x_ ^= x_ >> 17;
        x_ ^= x_ << 5;
        return static_cast<int>(x_ % n);
    }

private:
    std::uint32_t x_;
};

int TerrainOfDraw(int d) {
    if (d < 15) return tForest;
    if (d < 30) return tHill;
    if (d < 38) return tMountain;
    if (d < 44) return tMarsh;
    return tPlain;
}

bool IsWinterMonth(int month) { return month == 12 || month == 1 || month == 2; }

std::array<int, kFieldCells> GenerateField(const TGame& game, TObj dest) {
    std::array<int, kFieldCells> cells{};
    TFieldRandom rng(static_cast<std::uint32_t>(TGame::GetRawInt64(dest, "mapSeed", 0)));
    bool river = TGame::GetBool(dest, "river");
    bool winter = IsWinterMonth(TGame::GetInt(game.Root(), "month", 0));
    for (int r = 0; r < kFieldRows; ++r) {
        for (int q = 0; q < kFieldColumns; ++q) {
            int kind = TerrainOfDraw(rng.Draw(100));
            if (river && q == 8 && r != 4 && r != 9) kind = tRiver;
            if (r == 4 || r == 9) kind = tPlain;
            if (kind == tMarsh && winter) kind = tIce;
            cells[static_cast<size_t>(Hex{q, r}.Index())] = kind;
        }
    }
    int castles = Clamp(TGame::GetInt(dest, "castles", 0), 0, kMaxCastles);
    for (int i = 0; i < castles; ++i) cells[static_cast<size_t>(Hex{kCastleColumn, 2 * i + 1}.Index())] = tCastle;
    return cells;
}

// [SECTION] Setup

struct TMuster {
    int attackers = 0;
    int defenders = 0;
    long long goldCost = 0;
    long long attackerSoldiers = 0;
    long long defenderSoldiers = 0;
};

// Attackers fill columns 1 and 2, defenders columns 15 and 14, rows 3..9.
Hex DeploymentCell(int side, int number) {
    int q = side == kSideAttackers ? 1 + number / 7 : 15 - number / 7;
    return {q, 3 + number % 7};
}

void PlaceUnit(TGame& game, TObj b, int c, int side, int number) {
    Hex cell = DeploymentCell(side, number);
    int standing = TGame::GetInt(game.Character(c), "province", 0);
    TObj unit = game.ArrAppendObj(TGame::GetArr(b, "units"));
    game.SetInt(unit, "char", c);
    game.SetInt(unit, "side", side);
    game.SetInt(unit, "q", cell.q);
    game.SetInt(unit, "r", cell.r);
    game.SetBool(unit, "active", true);
    game.SetBool(unit, "spent", false);
    game.SetInt(unit, "arrows", TGame::GetInt(game.Province(standing), "arms", 0) / 20 + 1);
    game.SetBool(unit, "dazzled", false);
    game.ArrSetInt(TGame::GetArr(b, "terrain"), cell.Index(), tPlain);
}

TMuster MusterArmies(TGame& game, TObj b, int origin, int destination, int attacker, int owner) {
    TMuster m;
    for (int c = 1; c <= kCharacterCount; ++c) {
        TObj ch = game.Character(c);
        if (game.IsLocalMember(c, origin, attacker) && TGame::GetInt(ch, "body", 0) >= 10 &&
            m.attackers < kMaxUnitsPerSide) {
            int soldiers = TGame::GetInt(ch, "soldiers", 0);
            PlaceUnit(game, b, c, kSideAttackers, m.attackers++);
            game.SetInt(ch, "body", static_cast<long long>(TGame::GetInt(ch, "body", 0)) - 10);
            m.goldCost += (soldiers + 3) / 3;
            m.attackerSoldiers += soldiers;
        }
        if (game.IsLocalMember(c, destination, owner)) {
            if (m.defenders < kMaxUnitsPerSide) {
                PlaceUnit(game, b, c, kSideDefenders, m.defenders++);
                m.defenderSoldiers += TGame::GetInt(ch, "soldiers", 0);
            } else {
                game.ArrAppendInt(TGame::GetArr(b, "reserve"), c);
            }
        }
    }
    return m;
}

// Thirty food per hundred soldiers begun, at least thirty, as far as the store holds.
int Provisions(long long soldiers, int store) {
    long long hundreds = soldiers > 0 ? (soldiers + 99) / 100 : 0;
    long long need = std::max<long long>(hundreds, 1) * 30;
    return static_cast<int>(std::max<long long>(0, std::min<long long>(need, store)));
}

void TakeSupplies(TGame& game, TObj b, const TMuster& m, int origin, int destination, int attacker) {
    bool homeless = TGame::GetInt(game.Faction(attacker), "home", 0) == 0;
    TObj source = homeless ? game.ExileParty(attacker) : game.Province(origin);
    TObj dest = game.Province(destination);
    TObj from = game.Province(origin);

    game.SetInt(source, "gold", std::max<long long>(0, TGame::GetInt(source, "gold", 0) - m.goldCost));
    int sourceFood = TGame::GetInt(source, "food", 0);
    int food1 = Provisions(m.attackerSoldiers, sourceFood);
    game.SetInt(b, "food1", food1);
    game.SetInt(source, "food", static_cast<long long>(sourceFood) - food1);

    int destFood = TGame::GetInt(dest, "food", 0);
    int food0 = Provisions(m.defenderSoldiers, destFood);
    game.SetInt(b, "food0", food0);
    game.SetInt(dest, "food", static_cast<long long>(destFood) - food0);

    game.SetInt(b, "skill1", homeless ? 0 : TGame::GetInt(from, "skill", 0));
    game.SetInt(b, "arms1", homeless ? 0 : TGame::GetInt(from, "arms", 0));
    game.SetInt(b, "skill0", TGame::GetInt(dest, "skill", 0));
    game.SetInt(b, "arms0", TGame::GetInt(dest, "arms", 0));
}

// The attacker's own leader commands when he marched; else the first unit placed.
int AttackerCommander(TObj b, int attacker) {
    TArr units = TGame::GetArr(b, "units");
    int first = 0;
    for (int i = 0; i < TGame::ArrLen(units); ++i) {
        TObj unit = TGame::ArrObj(units, i);
        if (UnitSide(unit) != kSideAttackers) continue;
        if (UnitChar(unit) == attacker) return attacker;
        if (first == 0) first = UnitChar(unit);
    }
    return first;
}

}  // namespace

void StartBattle(TGame& game, int origin, int destination, int attacker) {
    TObj root = game.Root();
    if (root == nullptr) return;
    int owner = TGame::GetInt(game.Province(destination), "owner", 0);

    // Handles into the document are taken only after the root has its new key: a
    // growing object may move its members.
    TObj b = game.NewObj(root, "battle");
    game.SetInt(b, "origin", origin);
    game.SetInt(b, "destination", destination);
    game.SetInt(b, "attacker", attacker);
    game.SetInt(b, "defender", owner);
    game.SetInt(b, "day", 1);
    game.SetInt(b, "side", kSideDefenders);
    game.SetInt(b, "weather", kWeatherClear);
    game.SetInt(b, "wind", 0);
    game.SetInt(b, "castleHold", 0);
    game.SetBool(b, "defensePrompt", game.IsHumanFaction(owner));
    game.SetBool(b, "deploy", true);
    game.NewArr(b, "terrain");
    game.NewArr(b, "units");
    game.NewArr(b, "reserve");
    game.NewArr(b, "fires");
    TArr terrain = TGame::GetArr(b, "terrain");
    for (int kind : GenerateField(game, game.Province(destination))) game.ArrAppendInt(terrain, kind);

    TMuster m = MusterArmies(game, b, origin, destination, attacker, owner);
    TakeSupplies(game, b, m, origin, destination, attacker);
    game.SetInt(b, "commander1", AttackerCommander(b, attacker));
    game.SetInt(b, "commander0", TGame::GetInt(game.Province(destination), "governor", 0));
    CheckBattleEnd(game);
}

}  // namespace reedmark
