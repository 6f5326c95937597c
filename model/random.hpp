// The campaign's random generator: a 32-bit xorshift whose state is the document's
// root key `rng`, so a saved campaign continues with the same outcomes.
#pragma once

namespace reedmark {

class TGame;

// Advances the generator once and returns a number in 0..n-1 (0 when n < 1; the
// generator still advances).
int Random(TGame& game, int n);

}  // namespace reedmark
