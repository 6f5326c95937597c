// Prisoners: the captor's four choices, the garrison overflow after a battle, and the
// decisions of computer captors.
#pragma once

#include <string>

namespace reedmark {

class TGame;

// Faction f decides about its prisoner c: action is "recruit", "hold", "release" or
// "execute". Returns the report or the refusal (a refusal changes nothing).
std::string ResolvePrisoner(TGame& game, int c, int f, const std::string& action);
// Marks the prisoners that no longer fit their province's garrison (highest ids first).
void MarkGarrisonOverflow(TGame& game);
// Resolves at once every prisoner held by a computer fellowship: the Chancellor is
// executed by a writ holder, everyone else released.
void ResolveComputerCaptives(TGame& game);

}  // namespace reedmark
