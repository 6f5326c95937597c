// Battle days and outcome: the end check, the day end (fire, drift, food, castles,
// weather) and the resolution that hands the result to the campaign.
#include <algorithm>
#include <array>
#include <set>
#include <vector>

#include "model/battle.hpp"
#include "model/battle_rules.hpp"
#include "model/fellowships.hpp"
#include "model/month_end.hpp"
#include "model/prisoners.hpp"
#include "model/queue.hpp"
#include "model/random.hpp"

namespace reedmark {

using namespace battle;

namespace {

constexpr int kFoodCap = 9999;
constexpr int kPopularityCap = 999;

int OtherSide(int side) { return side == kSideAttackers ? kSideDefenders : kSideAttackers; }

// [SECTION] End check

struct TSideCount {
    int units[2] = {0, 0};
    bool commanderOnField[2] = {false, false};
};

TSideCount CountSides(const TGame& game) {
    TObj b = Battle(game);
    TSideCount count;
    int commander[2] = {TGame::GetInt(b, "commander0", 0), TGame::GetInt(b, "commander1", 0)};
    int n = BattleUnitCount(game);
    for (int i = 0; i < n; ++i) {
        TObj unit = BattleUnit(game, i);
        if (!UnitActive(unit)) continue;
        int side = UnitSide(unit);
        if (side == kSideDefenders || side == kSideAttackers) ++count.units[side];
        for (int s = 0; s < 2; ++s)
            if (UnitChar(unit) == commander[s]) count.commanderOnField[s] = true;
    }
    return count;
}

// [SECTION] Day end

// The cell the wind carries fire to from cell, by wind direction 0..5.
Hex Downwind(Hex cell, int wind) {
    static constexpr int offsets[6][2] = {{1, 0}, {0, 1}, {-1, 1}, {-1, 0}, {0, -1}, {1, -1}};
    int d = ((wind % 6) + 6) % 6;
    return {cell.q + offsets[d][0], cell.r + offsets[d][1]};
}

bool Flammable(int terrain) { return terrain != tMountain && terrain != tRiver && terrain != tIce; }

int WeatherOfDraw(int month, int d) {
    switch (month) {
    case 3: case 4: case 5: return d < 25 ? kWeatherClear : d < 65 ? kWeatherCloudy : kWeatherRain;
    case 6: case 7: case 8: return d < 60 ? kWeatherClear : d < 85 ? kWeatherCloudy : kWeatherRain;
    case 9: case 10: case 11: return d < 55 ? kWeatherClear : d < 85 ? kWeatherCloudy : kWeatherRain;
    default: return d < 55 ? kWeatherClear : d < 80 ? kWeatherCloudy : kWeatherSnow;
    }
}

// The province a unit carried off the field reaches: the first neighbour of the
// fought-over province held by its fellowship, else the first unowned one, else none.
int Refuge(const TGame& game, int destination, int faction) {
    TArr nb = TGame::GetArr(game.Province(destination), "neighbors");
    int n = TGame::ArrLen(nb);
    for (int i = 0; i < n; ++i) {
        int p = TGame::ArrInt(nb, i, 0);
        if (game.Province(p) != nullptr && TGame::GetInt(game.Province(p), "owner", 0) == faction) return p;
    }
    for (int i = 0; i < n; ++i) {
        int p = TGame::ArrInt(nb, i, 0);
        if (game.Province(p) != nullptr && TGame::GetInt(game.Province(p), "owner", 0) == 0) return p;
    }
    return 0;
}

// Carries a river unit downstream; returns true when its commander left the field and
// the battle was resolved.
bool Drift(TGame& game, int index) {
    TObj b = Battle(game);
    TObj unit = BattleUnit(game, index);
    int c = UnitChar(unit);
    TObj ch = game.Character(c);
    int steps = TGame::GetBool(ch, "navigator") ? 1 : 2;
    for (int s = 0; s < steps; ++s) {
        Hex at = UnitHex(unit);
        Hex next{at.q, at.r + 1};
        if (next.r >= kFieldRows) {
            int refuge = Refuge(game, TGame::GetInt(b, "destination", 0), TGame::GetInt(ch, "faction", 0));
            game.SetBool(unit, "active", false);
            if (refuge != 0) game.SetInt(ch, "province", refuge);
            game.AddLog(CharName(game, c) + " drifts off the field.");
            int side = UnitSide(unit);
            if (c == TGame::GetInt(b, SideKey("commander", side), 0)) {
                ResolveBattle(game, OtherSide(side));
                return true;
            }
            return false;
        }
        if (UnitAt(game, next.q, next.r) >= 0 || TerrainAt(game, next.q, next.r) == tMountain) return false;
        game.SetInt(unit, "r", next.r);
    }
    return false;
}

// Burns, drifts and counts the soldiers of every unit on the field; false when a
// commander drifted away and the battle is over.
bool SweepUnits(TGame& game, const std::set<int>& burning, long long totals[2]) {
    int n = BattleUnitCount(game);
    for (int i = 0; i < n; ++i) {
        TObj unit = BattleUnit(game, i);
        if (!UnitActive(unit)) continue;
        int side = UnitSide(unit);
        if (side == kSideDefenders || side == kSideAttackers)
            totals[side] += TGame::GetInt(game.Character(UnitChar(unit)), "soldiers", 0);
        Hex at = UnitHex(unit);
        if (at.InField() && burning.count(at.Index()) != 0) ApplyLosses(game, i, 10, 5);
        // A captive stays where he fell; only a unit still on its feet is carried off.
        if (UnitActive(unit) && TerrainAt(game, at.q, at.r) == tRiver && Drift(game, i)) return false;
        game.SetBool(unit, "spent", TGame::GetBool(unit, "dazzled"));
        game.SetBool(unit, "dazzled", false);
    }
    return true;
}

void SpreadFires(TGame& game, const std::set<int>& burning) {
    TObj b = Battle(game);
    int wind = TGame::GetInt(b, "wind", 0);
    std::set<int> next;
    for (int cell : burning) {
        Hex to = Downwind(Hex::FromIndex(cell), wind);
        if (to.InField() && Flammable(TerrainAt(game, to.q, to.r)) && Random(game, 100) < 30) next.insert(to.Index());
        if (Random(game, 100) >= 25) next.insert(cell);
    }
    TArr fires = TGame::GetArr(b, "fires");
    game.ArrClear(fires);
    for (int cell : next) {
        Hex h = Hex::FromIndex(cell);
        if (Flammable(TerrainAt(game, h.q, h.r))) game.ArrAppendInt(fires, cell);
    }
}

void EatFood(TGame& game, const long long totals[2]) {
    TObj b = Battle(game);
    for (int side = 0; side < 2; ++side) {
        long long eaten = std::max<long long>(1, (totals[side] + 99) / 100);
        std::string key = SideKey("food", side);
        game.SetInt(b, key, std::max<long long>(0, TGame::GetInt(b, key, 0) - eaten));
    }
}

// Attackers stand on every castle cell of a field that has one.
bool CastlesHeld(const TGame& game) {
    std::array<bool, kFieldCells> held{};
    int n = BattleUnitCount(game);
    for (int i = 0; i < n; ++i) {
        TObj unit = BattleUnit(game, i);
        Hex at = UnitHex(unit);
        if (UnitActive(unit) && UnitSide(unit) == kSideAttackers && at.InField()) held[static_cast<size_t>(at.Index())] = true;
    }
    int castles = 0;
    for (int i = 0; i < kFieldCells; ++i) {
        Hex h = Hex::FromIndex(i);
        if (TerrainAt(game, h.q, h.r) != tCastle) continue;
        ++castles;
        if (!held[static_cast<size_t>(i)]) return false;
    }
    return castles > 0;
}

void BeginNewDay(TGame& game) {
    TObj b = Battle(game);
    int day = TGame::GetInt(b, "day", 0) + 1;
    game.SetInt(b, "day", day);
    game.SetInt(b, "side", kSideDefenders);
    int weather = WeatherOfDraw(TGame::GetInt(game.Root(), "month", 0), Random(game, 100));
    game.SetInt(b, "weather", weather);
    game.SetInt(b, "wind", Random(game, 6));
    if (weather == kWeatherRain || weather == kWeatherSnow) game.ArrClear(TGame::GetArr(b, "fires"));
    game.AddLog("Battle day " + std::to_string(day) + ".");
    CheckBattleEnd(game);
}

// [SECTION] Resolution

bool HasRoom(const TGame& game, int p) {
    TObj prov = game.Province(p);
    return prov != nullptr &&
           game.ProvinceHeadcount(p) < static_cast<long long>(kCharactersPerCastle) * TGame::GetInt(prov, "castles", 0);
}

void SettleSupplies(TGame& game, TObj b, int w) {
    TObj dest = game.Province(TGame::GetInt(b, "destination", 0));
    TObj from = game.Province(TGame::GetInt(b, "origin", 0));
    int attacker = TGame::GetInt(b, "attacker", 0);
    int food0 = TGame::GetInt(b, "food0", 0);
    int food1 = TGame::GetInt(b, "food1", 0);
    if (w == kSideAttackers) {
        long long soldiers = 0;
        for (int i = 0; i < BattleUnitCount(game); ++i) {
            TObj unit = BattleUnit(game, i);
            if (UnitActive(unit) && UnitSide(unit) == kSideAttackers)
                soldiers += TGame::GetInt(game.Character(UnitChar(unit)), "soldiers", 0);
        }
        game.SetInt(dest, "owner", attacker);
        game.SetInt(dest, "food", std::min<long long>(kFoodCap, static_cast<long long>(TGame::GetInt(dest, "food", 0)) + food0 + food1));
        game.SetInt(dest, "skill", soldiers > 0 ? TGame::GetInt(b, "skill1", 0) : 0);
        game.SetInt(dest, "arms", soldiers > 0 ? TGame::GetInt(b, "arms1", 0) : 0);
        TObj fac = game.Faction(attacker);
        int change = TGame::GetInt(dest, "support", 0) >= game.RuleInt("taxSupport", 40) ? 12 : -12;
        game.SetInt(fac, "popularity", Clamp(static_cast<long long>(TGame::GetInt(fac, "popularity", 0)) + change, 0, kPopularityCap));
        game.SetInt(dest, "support", std::max(0, TGame::GetInt(dest, "support", 0) - 10));
        return;
    }
    // A homeless army carried its food from the exile party's store; what is left goes
    // back there rather than to whoever holds the province it marched from.
    TObj party = TGame::GetInt(game.Faction(attacker), "home", 0) == 0 ? game.ExileParty(attacker) : nullptr;
    TObj back = party != nullptr ? party : from;
    game.SetInt(back, "food", std::min<long long>(kFoodCap, static_cast<long long>(TGame::GetInt(back, "food", 0)) + food1));
    game.SetInt(dest, "food", std::min<long long>(kFoodCap, static_cast<long long>(TGame::GetInt(dest, "food", 0)) + food0));
}

void TakeCaptive(TGame& game, TObj b, int c, int side) {
    TObj ch = game.Character(c);
    game.SetInt(ch, "captor", TGame::GetInt(b, side == kSideDefenders ? "attacker" : "defender", 0));
    game.SetInt(ch, "province", TGame::GetInt(b, "destination", 0));
    if (TGame::GetInt(ch, "faction", 0) == c) {
        if (game.IsHumanFaction(c)) game.AddLog(CharName(game, c) + " is defeated by capture.");
        TObj fac = game.Faction(c);
        game.SetBool(fac, "active", false);
        game.SetBool(fac, "writ", false);
    }
    game.SetStr(ch, "role", "prisoner");
    game.SetInt(ch, "superior", 0);
}

// The winning attackers march into the conquered province as far as it has room.
void MoveVictor(TGame& game, TObj b, int c) {
    int destination = TGame::GetInt(b, "destination", 0);
    int attacker = TGame::GetInt(b, "attacker", 0);
    if (!HasRoom(game, destination)) return;
    TObj ch = game.Character(c);
    game.SetInt(ch, "province", destination);
    if (c == attacker) {
        game.SetInt(game.Faction(attacker), "home", destination);
        game.SetStr(ch, "role", "leader");
    } else if (TGame::GetStr(ch, "role") != "exile") {
        game.SetStr(ch, "role", "follower");
    }
}

// The beaten defenders fall back to a neighbouring province of their own with room,
// or leave the fellowship.
void MoveVanquished(TGame& game, TObj b, int c) {
    int destination = TGame::GetInt(b, "destination", 0);
    int defender = TGame::GetInt(b, "defender", 0);
    TObj ch = game.Character(c);
    TArr nb = TGame::GetArr(game.Province(destination), "neighbors");
    for (int i = 0; i < TGame::ArrLen(nb); ++i) {
        int p = TGame::ArrInt(nb, i, 0);
        if (game.Province(p) != nullptr && TGame::GetInt(game.Province(p), "owner", 0) == defender && HasRoom(game, p)) {
            game.SetInt(ch, "province", p);
            return;
        }
    }
    game.SetInt(ch, "faction", 0);
    game.SetStr(ch, "role", "free");
}

void SettleUnits(TGame& game, TObj b, int w) {
    int attacker = TGame::GetInt(b, "attacker", 0);
    int destination = TGame::GetInt(b, "destination", 0);
    bool wasHomeless = TGame::GetInt(game.Faction(attacker), "home", 0) == 0;
    int n = BattleUnitCount(game);
    for (int i = 0; i < n; ++i) {
        TObj unit = BattleUnit(game, i);
        int c = UnitChar(unit);
        TObj ch = game.Character(c);
        if (ch == nullptr) continue;
        int side = UnitSide(unit);
        if (TGame::GetBool(ch, "captured")) {
            if (side == w) {
                game.SetBool(ch, "captured", false);
                game.SetInt(ch, "body", 1);
            } else {
                TakeCaptive(game, b, c, side);
                continue;
            }
        }
        if (w != kSideAttackers) continue;
        if (side == kSideAttackers) MoveVictor(game, b, c);
        else MoveVanquished(game, b, c);
    }
    // A homeless fellowship whose leader has just taken the province as his seat is no
    // longer in exile: its victorious companions garrison it as followers, as they
    // would after settling an empty province.
    if (w == kSideAttackers && wasHomeless && TGame::GetInt(game.Faction(attacker), "home", 0) == destination) {
        for (int i = 0; i < n; ++i) {
            TObj unit = BattleUnit(game, i);
            int c = UnitChar(unit);
            TObj ch = game.Character(c);
            if (UnitSide(unit) != kSideAttackers || c == attacker || !game.IsLocalMember(c, destination, attacker)) continue;
            if (TGame::GetStr(ch, "role") == "exile") game.SetStr(ch, "role", "follower");
        }
    }
}

void SettleProvinces(TGame& game, int w, int origin, int destination, int attacker) {
    TObj dest = game.Province(destination);
    TObj from = game.Province(origin);
    if (w == kSideAttackers) {
        ChooseGovernor(game, destination);
        ChooseGovernor(game, origin);
        if (origin != destination && game.ProvinceHeadcount(origin) == 0) {
            game.SetInt(from, "owner", 0);
            game.SetInt(from, "governor", 0);
        }
        game.AddLog(TGame::GetStr(dest, "name") + " falls to " + CharName(game, attacker) + ".");
    } else {
        game.AddLog("The defenders hold " + TGame::GetStr(dest, "name") + ".");
    }
    ChooseGovernor(game, destination);
    ChooseGovernor(game, origin);
    for (TObj prov : {dest, origin != destination ? from : nullptr})
        if (prov != nullptr && TGame::GetInt(prov, "governor", 0) == 0) game.SetInt(prov, "owner", 0);
}

// The defender's leader, free but driven from his seat, moves to another province of
// his or goes into exile.
void RehomeDefender(TGame& game, int defender, int destination) {
    TObj fac = game.Faction(defender);
    TObj leader = game.Character(defender);
    if (fac == nullptr || leader == nullptr || !TGame::GetBool(leader, "alive") || TGame::GetBool(leader, "captured") ||
        TGame::GetInt(fac, "home", 0) != destination)
        return;
    int standing = TGame::GetInt(leader, "province", 0);
    int home = 0;
    if (TGame::GetInt(game.Province(standing), "owner", 0) == defender) {
        home = standing;
    } else {
        for (int p = 1; p <= kProvinceCount && home == 0; ++p)
            if (TGame::GetInt(game.Province(p), "owner", 0) == defender && HasRoom(game, p)) home = p;
    }
    game.SetInt(fac, "home", home);
    if (home != 0) {
        game.SetInt(leader, "province", home);
        ChooseGovernor(game, home);
        return;
    }
    game.SetBool(fac, "writ", false);
    game.SetInt(leader, "faction", defender);
    game.SetStr(leader, "role", "exile");
    TObj party = game.ExileParty(defender);
    if (party == nullptr) {
        party = game.ArrAppendObj(TGame::GetArr(game.Root(), "exileParties"));
        game.SetInt(party, "leader", defender);
        game.SetInt(party, "province", destination);
        game.SetInt(party, "food", 0);
        game.SetInt(party, "gold", 0);
    }
    game.SetInt(party, "province", TGame::GetInt(leader, "province", 0));
}

}  // namespace

// [SECTION] Shared with the actions and the AI

namespace battle {

bool SideHasReadyUnit(const TGame& game, int side) {
    int n = BattleUnitCount(game);
    for (int i = 0; i < n; ++i) {
        TObj unit = BattleUnit(game, i);
        if (UnitActive(unit) && UnitSide(unit) == side && !TGame::GetBool(unit, "spent")) return true;
    }
    return false;
}

void PassEmptyHumanTurns(TGame& game) {
    // Each pass ends a half-day, and a battle lasts at most thirty days.
    for (int guard = 0; guard < 2 * kLastBattleDay + 2 && HasBattle(game); ++guard) {
        TObj b = Battle(game);
        int side = TGame::GetInt(b, "side", 0);
        if (!HumanBattleTurn(game) || SideHasReadyUnit(game, side)) return;
        if (side == kSideDefenders) game.SetInt(b, "side", kSideAttackers);
        else EndBattleDayOnce(game);
    }
}

void EndBattleDayOnce(TGame& game) {
    if (!HasBattle(game)) return;
    KeepGeneratorKey(game);
    TObj b = Battle(game);
    std::set<int> burning;
    int weather = TGame::GetInt(b, "weather", 0);
    if (weather == kWeatherClear || weather == kWeatherCloudy) {
        TArr fires = TGame::GetArr(b, "fires");
        for (int i = 0; i < TGame::ArrLen(fires); ++i) {
            int cell = TGame::ArrInt(fires, i, -1);
            if (cell >= 0 && cell < kFieldCells) burning.insert(cell);
        }
    }
    long long totals[2] = {0, 0};
    if (!SweepUnits(game, burning, totals)) return;
    SpreadFires(game, burning);
    EatFood(game, totals);
    if (TGame::GetInt(b, "food1", 0) == 0) return ResolveBattle(game, kSideDefenders);
    if (TGame::GetInt(b, "food0", 0) == 0) return ResolveBattle(game, kSideAttackers);
    game.SetInt(b, "castleHold", CastlesHeld(game) ? static_cast<long long>(TGame::GetInt(b, "castleHold", 0)) + 1 : 0);
    if (TGame::GetInt(b, "castleHold", 0) >= 2) return ResolveBattle(game, kSideAttackers);
    if (TGame::GetInt(b, "day", 0) >= kLastBattleDay) return ResolveBattle(game, kSideDefenders);
    BeginNewDay(game);
}

}  // namespace battle

// [SECTION] Public operations

bool CheckBattleEnd(TGame& game) {
    if (!HasBattle(game)) return false;
    TSideCount count = CountSides(game);
    if (count.units[kSideAttackers] > 0 && count.commanderOnField[kSideAttackers]) {
        if (count.units[kSideDefenders] > 0 && count.commanderOnField[kSideDefenders]) return false;
        ResolveBattle(game, kSideAttackers);
        return true;
    }
    ResolveBattle(game, kSideDefenders);
    return true;
}

void EndBattleDay(TGame& game) {
    EndBattleDayOnce(game);
    PassEmptyHumanTurns(game);
}

void ResolveBattle(TGame& game, int winner) {
    TObj b = Battle(game);
    if (b == nullptr) return;
    int w = winner == kSideAttackers ? kSideAttackers : kSideDefenders;
    int origin = TGame::GetInt(b, "origin", 0);
    int destination = TGame::GetInt(b, "destination", 0);
    int attacker = TGame::GetInt(b, "attacker", 0);
    int defender = TGame::GetInt(b, "defender", 0);

    SettleSupplies(game, b, w);
    SettleUnits(game, b, w);
    SettleProvinces(game, w, origin, destination, attacker);
    MarkGarrisonOverflow(game);
    game.Remove(game.Root(), "battle");
    if (w == kSideAttackers) RehomeDefender(game, defender, destination);
    RefreshFellowships(game);
    CheckDefeat(game);
    ResolveComputerCaptives(game);
    if (!game.IsEnded()) AdvanceQueue(game);
}

}  // namespace reedmark
