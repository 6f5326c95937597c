// An observed campaign: every fellowship led by the computer, played from the start to
// its end, its chronicle printed as it unfolds with a summary at the turn of each year.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>

namespace reedmark {

// Returns 0 when the campaign reached its end, 1 when it could not start or stalled.
int RunObservedCampaign(const std::string& worldPath, int scenario, std::uint32_t seed, std::ostream& out);

}  // namespace reedmark
