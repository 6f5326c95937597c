// musicgen synthesis: renders a score's voices with synthesised instruments into one seamless loop.
#pragma once

#include <string>
#include <vector>

#include "score.hpp"

namespace musicgen {

constexpr int kSampleRate = 22050;

// Instruments a voice may name: pluck, flute, fiddle, reed, bell, gong, drum, block, shaker, cymbal.
bool KnownInstrument(const std::string& name);

// Renders the whole loop (Seconds() of the score at kSampleRate), unscaled and without DC.
// The result is periodic: what rings on past the last bar (string decay, gong tails, reverb)
// is folded back onto the first bars, so playing the last sample and then the first is the
// same as the music simply going on.
std::vector<double> RenderLoop(const TScore& score);

}  // namespace musicgen
