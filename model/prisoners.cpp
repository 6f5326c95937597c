// Prisoners: placeholders until the prisoner rules land.
#include "model/prisoners.hpp"

#include "model/game.hpp"

namespace reedmark {

std::string ResolvePrisoner(TGame&, int, int, const std::string&) { return "Choose recruit, hold, release or execute."; }

void MarkGarrisonOverflow(TGame&) {}

void ResolveComputerCaptives(TGame&) {}

}  // namespace reedmark
