// The tactical battle: the `battle` object inside the campaign document, its setup,
// the eleven unit actions, the battle days and their outcome, and the battle AI.
//
// [SECTION] Where player and computer meet
//   Every move on the field, by a human through the battle screen, by the console or by
//   the battle AI, is one BattleAction call. Nothing else moves a unit during the
//   fighting, so every refusal, message and random draw is shared by all of them.
#pragma once

#include <array>
#include <string>

#include "model/game.hpp"
#include "model/hex.hpp"

namespace reedmark {

// Terrain codes of the field cells.
enum TTerrain : int {
    tPlain = 0,
    tForest = 1,
    tHill = 2,
    tMountain = 3,
    tCastle = 4,
    tRiver = 5,
    tMarsh = 6,
    tIce = 7,
};

// Weather codes.
constexpr int kWeatherClear = 0;
constexpr int kWeatherCloudy = 1;
constexpr int kWeatherRain = 2;
constexpr int kWeatherSnow = 3;

constexpr int kSideDefenders = 0;
constexpr int kSideAttackers = 1;
constexpr int kMaxUnitsPerSide = 10;
constexpr int kLastBattleDay = 30;
constexpr int kAutoStepLimit = 10001;
constexpr int kUnreachable = 9999;

using TPathCosts = std::array<int, kFieldCells>;

// [SECTION] Battle document
// A campaign is loaded and its document holds a `battle`.
bool HasBattle(const TGame& game);
TObj Battle(const TGame& game);
// The unit record at index, or nullptr (no battle, index outside the units array).
TObj BattleUnit(const TGame& game, int index);
int BattleUnitCount(const TGame& game);
// The lowest index of an active unit standing on (q, r), or -1.
int UnitAt(const TGame& game, int q, int r);
int HexDistance(int q1, int r1, int q2, int r2);
// Terrain code of a cell; 0 without a battle or outside the field.
int TerrainAt(const TGame& game, int q, int r);
// The defence factor of a terrain code.
double TerrainFactor(int terrain);
// A battle is open and the acting side's fellowship is human and active.
bool HumanBattleTurn(const TGame& game);

// [SECTION] Setup
// Opens a battle for province `destination`, attacked by fellowship `attacker` from
// `origin` (origin = destination for a settlement uprising).
void StartBattle(TGame& game, int origin, int destination, int attacker);

// [SECTION] Actions
// One unit of the acting side performs one action ("move", "melee", "archery",
// "charge", "mist", "duel", "fire", "extinguish", "retreat", "rest", "reinforce").
// Empty answer: carried out. "Battle resolved.": carried out and the battle is over.
// Anything else is a refusal that changed nothing.
std::string BattleAction(TGame& game, int unit, int target, int q, int r, const std::string& action);
double UnitPower(const TGame& game, int unit);
void ApplyLosses(TGame& game, int unit, int soldiersLost, int bodyLost);
// Path cost of every cell for the unit (kUnreachable where it cannot go).
TPathCosts MovementCosts(const TGame& game, int unit, bool charge);
bool ClearRay(const TGame& game, int fromUnit, int toUnit);

// [SECTION] Days and outcome
// Decides the battle when a side is beaten; true when it resolved the battle.
bool CheckBattleEnd(TGame& game);
void EndBattleDay(TGame& game);
// Hands the outcome to the campaign: winner 1 = attackers, 0 = defenders.
void ResolveBattle(TGame& game, int winner);

// [SECTION] Battle AI
// One unit of the acting side acts, or the turn passes when none can.
void BattleAIStep(TGame& game);
// Fights the battle to its end on both sides (at most kAutoStepLimit steps).
void ResolveBattleAuto(TGame& game);
// The computer's share of one frame-loop tick while a battle is open: a step for a
// computer side that is to act, and one more when neither side is human. Returns the
// number of AI steps taken (0: a human must act or decide).
int BattleTick(TGame& game);

}  // namespace reedmark
