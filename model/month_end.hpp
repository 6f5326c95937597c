// The month end: the pass over the whole world that settles a month.
#pragma once

namespace reedmark {

class TGame;

// Settles the month and advances the calendar. Called by AdvanceQueue when the last
// turn of the month has ended. Nothing happens once the campaign has ended.
void MonthEnd(TGame& game);

// Picks and stores the governor of province p: the owner's leader when he stands there,
// else the eldest sworn companion, else the most loyal (then wisest) follower; ties keep
// the lower character id. 0 when nobody of the owner stands in p.
void ChooseGovernor(TGame& game, int p);

}  // namespace reedmark
