// RefreshFellowships and CheckDefeat: placeholders until the month-end rules land;
// they change nothing.
#include "model/fellowships.hpp"

#include "model/game.hpp"

namespace reedmark {

void RefreshFellowships(TGame&) {}

void CheckDefeat(TGame&) {}

}  // namespace reedmark
