// Fallback drawings painted with the TArt primitives when a sprite sheet is missing: the
// character portrait, the title scene of the riverlands and the battle-field sprites.
#pragma once

#include <cstdint>

#include "art/art.hpp"

namespace reedmark {

// A painted bust filling the whole target (designed for 184 x 256, scaled to any size):
// patterned background with gold dots where (11x + 7y + id) mod 23 = 0, a robe in the
// given colour, face, eyes whose height follows id mod 3, a headdress chosen by id mod 4
// (or a woman's hair style), a beard chosen by id mod 5 for men, a scar when id mod 6 = 2,
// and frame lines. The same arguments always paint the same picture.
void PaintFallbackPortrait(TArt& target, int id, bool female, std::uint32_t colour);

// The riverlands at dusk for the title screen (designed for 640 x 408, scaled to fit the
// whole target): sky and moon, hills, a walled town with a tiered tower on the far bank,
// mist over the water, reeds and a boat in front.
void PaintFallbackTitleScene(TArt& target);

// Battle-field sprites. Each stands on (cx, baseY) and is about 2 * size wide and
// 2 * size tall (size is the half-width in pixels).
// A round-crowned tree, or a layered conifer.
void PaintFallbackTree(TArt& target, int cx, int baseY, int size, bool conifer);
// A rocky peak with a snow line.
void PaintFallbackMountain(TArt& target, int cx, int baseY, int size);
// A walled keep with tiered roofs.
void PaintFallbackCastle(TArt& target, int cx, int baseY, int size);
// A unit banner: pole and flag in the side's colour (grey once it has acted), a gold
// pennant mark for a commander and a gold ring around the foot when selected. The flag
// reaches 2 * size above baseY.
void PaintFallbackBanner(TArt& target, int cx, int baseY, int size, std::uint32_t sideColour, bool acted,
                         bool commander, bool selected);

}  // namespace reedmark
