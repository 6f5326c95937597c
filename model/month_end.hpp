// The month end: the pass over the whole world that settles a month.
#pragma once

namespace reedmark {

class TGame;

// Settles the month and advances the calendar. Called by AdvanceQueue when the last
// turn of the month has ended.
void MonthEnd(TGame& game);

}  // namespace reedmark
