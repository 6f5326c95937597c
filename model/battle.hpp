// The tactical battle: the `battle` object inside the campaign document, its setup,
// actions, days and outcome.
#pragma once

namespace reedmark {

class TGame;

// A campaign is loaded and its document holds a `battle`.
bool HasBattle(const TGame& game);
// Opens a battle for province `destination`, attacked by fellowship `attacker` from
// `origin` (origin = destination for a settlement uprising).
void StartBattle(TGame& game, int origin, int destination, int attacker);

}  // namespace reedmark
