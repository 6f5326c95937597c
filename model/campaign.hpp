// Starting a new campaign from one of the world's scenarios.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace reedmark {

class TGame;

constexpr int kScenarioCount = 4;
constexpr int kMaxDifficulty = 5;
constexpr int kPlayableLeaders = 10;

// Replaces the running campaign with scenario `scenario` (clamped to 1..4) of the world
// file, played by `humanCount` humans who lead the first humanCount entries of
// `leaders`. Every check (world and rules files, leader list) happens before the
// running campaign is released, so a failure leaves it exactly as it was. Throws
// TGameError with the message to show.
void NewCampaign(TGame& game, const std::string& worldPath, int scenario, int humanCount, int difficulty,
                 const std::vector<int>& leaders, std::uint32_t seed);

// The display name of difficulty 1..5 ("Gentle" .. "Relentless").
std::string DifficultyName(int difficulty);

}  // namespace reedmark
