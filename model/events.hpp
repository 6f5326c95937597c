// Seasonal and random events of a province at the month end (typhoon, snow, epidemic,
// fair season, riots, wild beasts) and the settling of a riot.
#pragma once

#include <string>

namespace reedmark {

class TGame;

// Runs the month's events of province p (owned or not): draws R := Random(100), then
// weather and season, the epidemic, the riot check and the beast, with the beast's own
// draws. Computer fellowships settle a new riot at once; a human's riot stays pending.
void RunProvinceEvents(TGame& game, int p);

// Settles the riot of province p: paying costs 30 Gold and calms it, refusing costs
// Support, Gold, Food and the governor's Body. Returns the report or the refusal.
std::string ResolveRiot(TGame& game, int p, bool pay);

}  // namespace reedmark
