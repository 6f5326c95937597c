// Small helpers shared by the battle sources (setup, actions, days, AI); not part of
// the engine's public operations.
#pragma once

#include <string>

#include "model/battle.hpp"

namespace reedmark::battle {

// The battle key of a side: "food" + "0" or "1", "commander1", ...
inline std::string SideKey(const char* word, int side) { return std::string(word) + (side == 1 ? "1" : "0"); }

inline int UnitChar(TObj unit) { return TGame::GetInt(unit, "char", 0); }
inline int UnitSide(TObj unit) { return TGame::GetInt(unit, "side", 0); }
inline bool UnitActive(TObj unit) { return TGame::GetBool(unit, "active"); }
inline Hex UnitHex(TObj unit) { return {TGame::GetInt(unit, "q", 0), TGame::GetInt(unit, "r", 0)}; }

inline std::string CharName(const TGame& game, int c) { return TGame::GetStr(game.Character(c), "name"); }

// The faction fighting on a side: the attacker for 1, the defender for 0.
inline int SideFaction(TObj battle, int side) {
    return TGame::GetInt(battle, side == kSideAttackers ? "attacker" : "defender", 0);
}

// Stores the generator state under `rng` when a damaged document lacks it (an absent
// state reads as 1, so nothing changes). The first draw would otherwise add the key to
// the root object, which may move the root's members and every handle taken into
// them while an action holds its units.
inline void KeepGeneratorKey(TGame& game) {
    TObj root = game.Root();
    if (root != nullptr && !TGame::Has(root, "rng")) game.SetInt(root, "rng", 1);
}

// Some active unit of the side has not acted this day.
bool SideHasReadyUnit(const TGame& game, int side);

// A human side whose turn begins with no unit able to act passes it at once, so that a
// battle never waits for a player who has nothing to do.
void PassEmptyHumanTurns(TGame& game);

// The day end without the passing of empty human turns that follows it.
void EndBattleDayOnce(TGame& game);

}  // namespace reedmark::battle
