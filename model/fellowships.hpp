// The state of the fellowships: which are still active, which lost their homes, and
// whether the human players are all defeated.
#pragma once

namespace reedmark {

class TGame;

// Brings every fellowship's `active`, `home` and exile party up to date with the
// provinces and its leader's fate. Run by the month end and after every battle.
void RefreshFellowships(TGame& game);
// Ends the campaign when no human leader is left free. Run after every battle.
void CheckDefeat(TGame& game);

}  // namespace reedmark
