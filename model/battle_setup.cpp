// Battle setup: placeholder until the battle rules land. HasBattle is final.
#include "model/battle.hpp"

#include "model/game.hpp"

namespace reedmark {

bool HasBattle(const TGame& game) { return TGame::Has(game.Root(), "battle"); }

void StartBattle(TGame&, int, int, int) {}

}  // namespace reedmark
