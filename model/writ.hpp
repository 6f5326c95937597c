// The January reckoning and the ends of a campaign: the northern invasion, the annual
// tax, the Royal Writ grants and victory over the Chancellor under the writ.
#pragma once

#include <string>

namespace reedmark {

class TGame;

// Ends the campaign when the current year has reached the invasion year. True when it
// did (the month end then stops at once).
bool CheckInvasion(TGame& game);

// The January tax of owned province p, if its Support reaches the threshold: a merciful
// governor collects less, an empty governor slot collects as if merciless.
void CollectAnnualTax(TGame& game, int p);

// Grants the Royal Writ to every settled, active fellowship (never the Chancellor's)
// whose Popularity reaches the threshold and that does not hold it yet.
void GrantRoyalWrits(TGame& game);

// True when executing the Chancellor by fellowship f wins the campaign: f holds the
// writ, has a seat, and its leader is alive and free.
bool CanWinByExecution(const TGame& game, int f);
// Ends the campaign with fellowship f as the victor; returns the closing text, which
// the caller reports to the chronicle.
std::string DeclareVictory(TGame& game, int f);

}  // namespace reedmark
