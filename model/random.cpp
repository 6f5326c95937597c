// The campaign generator.
#include "model/random.hpp"

#include <cstdint>

#include "model/game.hpp"

namespace reedmark {

namespace {

// The state as stored: the signed reading of the 32 bits, 1 when absent or not a number.
std::uint32_t ReadState(const TGame& game) {
    TObj root = game.Root();
    if (!TGame::Has(root, "rng")) return 1;
    // Read the full 64-bit value so that every 32-bit pattern survives, whichever
    // reading (signed or unsigned) the file holds.
    return static_cast<std::uint32_t>(TGame::GetRawInt64(root, "rng", 1));
}

}  // namespace

int Random(TGame& game, int n) {
    std::uint32_t x = ReadState(game);
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    if (x == 0) x = 1;
    game.SetInt(game.Root(), "rng", static_cast<std::int32_t>(x));
    if (n < 1) return 0;
    return static_cast<int>(x % static_cast<std::uint32_t>(n));
}

}  // namespace reedmark
