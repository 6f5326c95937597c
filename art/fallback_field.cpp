// Fallback battle-field sprites: trees, mountains, castles and unit banners for a field
// painted without the terrain sheet.
#include <algorithm>
#include <cmath>

#include "art/brush.hpp"
#include "art/fallback.hpp"

namespace reedmark {

using namespace paint;

namespace {

// Paints a sprite at twice the size into a transparent layer covering the target pixels
// (left, top, w, h) and blends it down smoothly; the brush works in target pixels. The
// layer's empty pixels carry the outline colour at zero alpha, so softened edges darken
// towards it instead of towards black. A greyed sprite loses its colour as a whole.
template <class Paint>
void PaintSprite(TArt& target, int left, int top, int w, int h, Colour outline, bool grey, Paint paint) {
    // Only the part inside the target is painted.
    const int right = std::min(left + w, target.Width()), bottom = std::min(top + h, target.Height());
    left = std::max(left, 0);
    top = std::max(top, 0);
    w = right - left;
    h = bottom - top;
    if (w < 1 || h < 1) return;
    TArt layer(2 * w, 2 * h);
    std::uint32_t* pixels = layer.MutablePixels();
    std::fill(pixels, pixels + layer.Pixels().size(), outline & 0xFFFFFFu);
    paint(Brush(layer, 2, 2, 2 * left, 2 * top));
    target.Blit(&layer, 0, 0, layer.Width(), layer.Height(), left, top, w, h, 255, true, grey);
}

// Largest sprite size painted; anything bigger is a caller's mistake, not a picture.
constexpr int kMaxSpriteSize = 256;

// Whether a sprite of this size standing on (cx, baseY) can touch the target at all; it
// also keeps every coordinate derived from cx, baseY and size far from overflowing.
bool SpriteVisible(const TArt& target, int cx, int baseY, int size) {
    if (size < 1 || size > kMaxSpriteSize) return false;
    const std::int64_t reach = 4 * std::int64_t{size};
    return std::int64_t{cx} + reach >= 0 && std::int64_t{cx} - reach < target.Width() &&
           std::int64_t{baseY} + reach >= 0 && std::int64_t{baseY} - reach < target.Height();
}

// A soft dark shadow on the ground.
void GroundShadow(TArt& target, double cx, double baseY, double rx, double ry) {
    Glow(Brush(target, 1, 1), cx, baseY, rx, ry, 0x101810, 0.45);
}

}  // namespace

void PaintFallbackTree(TArt& target, int cx, int baseY, int size, bool conifer) {
    if (!SpriteVisible(target, cx, baseY, size)) return;
    const double s = size;
    GroundShadow(target, cx + 0.2 * s, baseY, 1.0 * s, 0.3 * s);
    PaintSprite(target, cx - 2 * size, baseY - 3 * size, 4 * size, 3 * size + 2, 0x102014, false, [&](const Brush& b) {
        const Colour trunk = 0x5A3A22, trunkShade = 0x3A2414;
        b.Rect(cx - 0.12 * s, baseY - 0.5 * s, 0.24 * s, 0.5 * s, trunk);
        b.Rect(cx, baseY - 0.5 * s, 0.12 * s, 0.5 * s, trunkShade);
        if (conifer) {
            const Colour green = 0x2E6B3E, shade = 0x1C4428, light = 0x4F8F55;
            for (int tier = 0; tier < 3; ++tier) {
                const double bottom = baseY - 0.3 * s - tier * 0.5 * s;
                const double half = (0.95 - tier * 0.22) * s;
                const Point peak{cx + 0.0, bottom - (0.9 - tier * 0.1) * s};
                b.Triangle(peak, {cx - half, bottom}, {cx + half, bottom}, green);
                b.Triangle(peak, {cx + 0.1 * s, bottom}, {cx + half, bottom}, shade);
                b.Taper(peak, {cx - half * 0.9, bottom - 0.05 * s}, 0.05 * s + 0.5, 0.12 * s, light);
            }
        } else {
            const Colour green = 0x4A8A3E, shade = 0x2E5E2C, light = 0x7CB458;
            b.Circle(cx - 0.45 * s, baseY - 0.95 * s, 0.55 * s, shade);
            b.Circle(cx + 0.45 * s, baseY - 0.9 * s, 0.55 * s, shade);
            b.Circle(cx, baseY - 1.3 * s, 0.8 * s, green);
            b.Circle(cx - 0.42 * s, baseY - 1.0 * s, 0.48 * s, green);
            b.Circle(cx + 0.3 * s, baseY - 0.95 * s, 0.5 * s, shade);
            b.Circle(cx - 0.25 * s, baseY - 1.55 * s, 0.38 * s, light);
            b.Circle(cx - 0.55 * s, baseY - 1.1 * s, 0.2 * s, light);
        }
    });
}

void PaintFallbackMountain(TArt& target, int cx, int baseY, int size) {
    if (!SpriteVisible(target, cx, baseY, size)) return;
    const double s = size;
    GroundShadow(target, cx + 0.15 * s, baseY, 1.1 * s, 0.25 * s);
    PaintSprite(target, cx - 2 * size, baseY - 3 * size, 4 * size, 3 * size + 2, 0x2A2C30, false, [&](const Brush& b) {
        const Colour rock = 0x84847E, shade = 0x5A5C5E, light = 0xA8A696;
        const Colour snow = 0xF4F4EC, snowShade = 0xC4D2DE;
        // A lower shoulder behind the main peak.
        const Point back{cx - 0.45 * s, baseY - 1.2 * s};
        b.Triangle(back, {cx - 1.05 * s, baseY + 0.0}, {cx + 0.2 * s, baseY + 0.0}, shade);
        // The peak, its shadowed flank and a lit ridge.
        const Point peak{cx + 0.1 * s, baseY - 1.85 * s};
        const Point left{cx - 0.95 * s, baseY + 0.0}, right{cx + 1.0 * s, baseY + 0.0};
        b.Triangle(peak, left, right, rock);
        b.Triangle(peak, {cx + 0.25 * s, baseY + 0.0}, right, shade);
        b.Taper(peak, {cx - 0.35 * s, baseY - 0.6 * s}, 0.06 * s + 0.5, 0.16 * s, light);
        // The snow line at a third of the height, with tongues running down.
        auto along = [&](Point to, double t) {
            return Point{peak.x + (to.x - peak.x) * t, peak.y + (to.y - peak.y) * t};
        };
        const Point snowLeft = along(left, 0.36), snowRight = along(right, 0.36);
        b.Triangle(peak, snowLeft, snowRight, snow);
        b.Triangle(peak, {peak.x + 0.08 * s, snowRight.y}, snowRight, snowShade);
        const double y = snowLeft.y;
        b.Triangle({snowLeft.x + 0.1 * s, y - 0.02 * s}, {snowLeft.x + 0.3 * s, y},
                   {snowLeft.x + 0.22 * s, y + 0.22 * s}, snow);
        b.Triangle({peak.x - 0.15 * s, y - 0.02 * s}, {peak.x + 0.1 * s, y}, {peak.x - 0.02 * s, y + 0.3 * s}, snow);
        b.Triangle({peak.x + 0.12 * s, y - 0.02 * s}, {snowRight.x - 0.05 * s, y}, {peak.x + 0.3 * s, y + 0.18 * s},
                   snowShade);
    });
}

void PaintFallbackCastle(TArt& target, int cx, int baseY, int size) {
    if (!SpriteVisible(target, cx, baseY, size)) return;
    const double s = size;
    GroundShadow(target, cx + 0.1 * s, baseY, 1.2 * s, 0.25 * s);
    PaintSprite(target, cx - 2 * size, baseY - 3 * size, 4 * size, 3 * size + 2, 0x24201C, false, [&](const Brush& b) {
        const Colour stone = 0xB8AC8C, stoneShade = 0x8E8468, plaster = 0xEEE6D0;
        const Colour roof = 0x8A2C24, roofLight = 0xB04434, dark = 0x2A2420;
        // The curtain wall with crenellations and a gate.
        b.Rect(cx - s, baseY - 0.7 * s, 2 * s, 0.7 * s, stone);
        b.Rect(cx + 0.4 * s, baseY - 0.7 * s, 0.6 * s, 0.7 * s, stoneShade);
        for (int i = 0; i < 5; ++i)
            b.Rect(cx - s + i * 0.45 * s, baseY - 0.85 * s, 0.22 * s, 0.16 * s, i >= 3 ? stoneShade : stone);
        b.Rect(cx - 0.16 * s, baseY - 0.38 * s, 0.32 * s, 0.38 * s, dark);
        b.Ellipse(cx, baseY - 0.38 * s, 0.16 * s, 0.1 * s, dark);
        // The keep: two storeys under tiered, upturned roofs and a gold finial.
        auto roofTier = [&](double y, double half, double height) {
            b.Polygon({{cx - half * 0.55, y - height}, {cx + half * 0.55, y - height}, {cx + half, y}, {cx - half, y}},
                      roof);
            b.Triangle({cx - half - 0.14 * s, y - 0.16 * s}, {cx - half + 0.2 * s, y}, {cx - half, y}, roof);
            b.Triangle({cx + half + 0.14 * s, y - 0.16 * s}, {cx + half - 0.2 * s, y}, {cx + half, y}, roof);
            b.Polygon({{cx - half * 0.55, y - height}, {cx + 0.0, y - height}, {cx - 0.1 * s, y}, {cx - half, y}},
                      roofLight);
        };
        b.Rect(cx - 0.5 * s, baseY - 1.35 * s, s, 0.65 * s, plaster);
        b.Rect(cx + 0.15 * s, baseY - 1.35 * s, 0.35 * s, 0.65 * s, Darker(plaster, 0.18));
        b.Rect(cx - 0.3 * s, baseY - 1.15 * s, 0.14 * s, 0.2 * s, dark);
        b.Rect(cx + 0.16 * s, baseY - 1.15 * s, 0.14 * s, 0.2 * s, dark);
        roofTier(baseY - 1.3 * s, 0.72 * s, 0.3 * s);
        b.Rect(cx - 0.3 * s, baseY - 1.9 * s, 0.6 * s, 0.35 * s, plaster);
        b.Rect(cx + 0.1 * s, baseY - 1.9 * s, 0.2 * s, 0.35 * s, Darker(plaster, 0.18));
        b.Rect(cx - 0.07 * s, baseY - 1.82 * s, 0.14 * s, 0.16 * s, dark);
        roofTier(baseY - 1.85 * s, 0.5 * s, 0.25 * s);
        b.Stroke({cx + 0.0, baseY - 2.1 * s}, {cx + 0.0, baseY - 2.35 * s}, 0.08 * s + 0.5, kGold);
        b.Circle(cx, baseY - 2.38 * s, 0.08 * s + 0.4, kGold);
    });
}

void PaintFallbackBanner(TArt& target, int cx, int baseY, int size, std::uint32_t sideColour, bool acted,
                         bool commander, bool selected) {
    if (!SpriteVisible(target, cx, baseY, size)) return;
    const double s = size;
    const int left = cx - 2 * size, top = baseY - 3 * size;
    const int w = 4 * size, h = 3 * size + size / 2 + 2;
    auto ring = [&](const Brush& b, Colour colour, double width) {
        const int steps = 28;
        Point previous{cx + 1.05 * s, baseY + 0.0};
        for (int i = 1; i <= steps; ++i) {
            const double angle = i * 6.283185307179586 / steps;
            const Point p{cx + 1.05 * s * std::cos(angle), baseY + 0.38 * s * std::sin(angle)};
            b.Stroke(previous, p, width, colour);
            previous = p;
        }
    };
    GroundShadow(target, cx, baseY, 0.8 * s, 0.25 * s);
    // The selection ring stays gold whatever the state of the unit.
    if (selected)
        PaintSprite(target, left, top, w, h, 0x3A3010, false, [&](const Brush& b) { ring(b, kGold, 0.14 * s + 1); });
    PaintSprite(target, left, top, w, h, 0x141414, acted, [&](const Brush& b) {
        const Colour flag = sideColour & 0xFFFFFF;
        const Colour flagShade = Darker(flag, 0.3), flagLight = Lighter(flag, 0.25);
        const double poleX = cx - 0.45 * s, poleTop = baseY - 2 * s;
        // Pole with a gold finial.
        b.Stroke({poleX, baseY + 0.0}, {poleX, poleTop}, 0.12 * s + 1, 0x4A3020);
        b.Stroke({poleX + 0.03 * s, baseY + 0.0}, {poleX + 0.03 * s, poleTop}, 0.04 * s + 0.3, 0x7A5434);
        b.Circle(poleX, poleTop - 0.05 * s, 0.1 * s + 0.6, kGold);
        // A swallow-tailed flag, shaded in its lower half, with a pale roundel.
        const double x0 = poleX + 0.06 * s, x1 = poleX + 1.3 * s, notch = poleX + 1.02 * s;
        const double y0 = poleTop + 0.08 * s, y1 = poleTop + 1.05 * s, mid = (y0 + y1) / 2;
        b.Polygon({{x0, y0}, {x1, y0 + 0.05 * s}, {notch, mid}, {x0, mid}}, flag);
        b.Polygon({{x0, mid}, {notch, mid}, {x1, y1 + 0.05 * s}, {x0, y1}}, flagShade);
        b.Taper({x0, y0 + 0.05 * s}, {x1 - 0.1 * s, y0 + 0.09 * s}, 0.08 * s + 0.4, 0.06 * s + 0.3, flagLight);
        b.Circle(x0 + 0.42 * s, mid, 0.24 * s, kNearWhite);
        b.Circle(x0 + 0.42 * s, mid, 0.12 * s, flagShade);
        // A commander's gold pennant above the flag.
        if (commander)
            b.Triangle({poleX, poleTop - 0.1 * s}, {poleX + 0.75 * s, poleTop - 0.3 * s}, {poleX, poleTop - 0.5 * s},
                       kGold);
    });
}

}  // namespace reedmark
