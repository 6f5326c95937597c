// Computer players: the planner that gives one order for a queue entry no human
// decides, the driver that walks the queue under a step budget, and the computer's
// share of a frame-loop tick.
#pragma once

#include "model/orders.hpp"

namespace reedmark {

class TGame;

// Steps a computer tick may take: one at the normal pace, eight with the fast setting
// (and in the console's simulate).
constexpr int kNormalComputerSteps = 1;
constexpr int kFastComputerSteps = 8;

// Plans and gives one order for the current queue entry, or ends the entry without one
// (a province nobody can govern, a fellowship that is gone).
void PlanOrder(TGame& game);

// Gives {order, actor, target, quantity, option 0} when CheckOrder accepts it; true
// when it was given (whatever its outcome), false and nothing changed otherwise.
bool TryOrder(TGame& game, TOrder order, int actor, int target, int quantity);

// True when the current queue entry waits for a human: the turn of a human's homeless
// fellowship, or a human province governed by its leader or a sworn companion.
bool HumanDecidesCurrentEntry(const TGame& game);

// Walks the queue for up to `steps` entries: skips entries whose province changed hands,
// plans those no human decides, and stops at a human entry, an open battle, a town
// visit or the end of the campaign.
void RunComputerTurns(TGame& game, int steps);

// The computer's share of one frame-loop tick: with no battle open RunComputerTurns
// with the given budget, then the battle AI's steps when a battle is open and a
// computer side is to act. The shell and the console's `simulate` both call this.
void ComputerTick(TGame& game, int steps);

}  // namespace reedmark
