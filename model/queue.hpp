// The month's turn queue: one turn per province owned by an active fellowship and one
// per homeless active fellowship (a negative entry), shuffled anew every month.
#pragma once

namespace reedmark {

class TGame;

// queue[queueIndex], or 0 when there is no campaign or the index is past the end.
int CurrentEntry(const TGame& game);
// The entry's province; for an exile turn, where the fellowship's leader stands.
int CurrentProvince(const TGame& game);
// The entry's fellowship: the province's current owner, or f for the exile entry -f.
int CurrentFaction(const TGame& game);
bool IsExileTurn(const TGame& game);
// True when the current province changed owner after the queue was built: its turn
// is void until next month.
bool CurrentTurnChangedHands(const TGame& game);

void BuildQueue(TGame& game);
// Ends the current turn; past the last entry runs the month end and, unless the
// campaign ended, builds the next month's queue.
void AdvanceQueue(TGame& game);

}  // namespace reedmark
