// The riverlands landscape: a dusk sky with drifting cloud, layered hills in haze, a walled
// town with a tiered tower on a rise, mist on the water, reflections, reeds and a boat.
#include <cmath>

#include "artgen.hpp"

namespace artgen {

namespace {

constexpr float kW = kLandscapeW, kH = kLandscapeH;
constexpr float kHorizon = 318;
constexpr std::uint32_t kSeed = 4242;

const Col kSkyTop = Hex(0x1C2C5E), kSkyMid = Hex(0x6A6C9A), kSkyLow = Hex(0xF2C27A), kSun = Hex(0xFFF0C0);
const Pt kSunAt{236, 196};

void Sky(Canvas& cv) {
    cv.Wash(0, 0, kW, kHorizon + 2, [](Pt p, float&) {
        const float t = p.y / kHorizon;
        Col c = t < 0.55f ? Mix(kSkyTop, kSkyMid, Smooth(0, 0.55f, t)) : Mix(kSkyMid, kSkyLow, Smooth(0.55f, 1, t));
        const float d = Len(Pt{(p.x - kSunAt.x) / 260, (p.y - kSunAt.y) / 150});
        c = Mix(c, kSun, 0.75f * std::exp(-d * d * 3));
        // Long streaks of cloud lit from below near the sun.
        const float cloud =
            Smooth(0.5f, 0.75f, Fbm(p.x / 140, p.y / 22, kSeed)) * Smooth(40, 120, p.y) * Smooth(300, 200, p.y);
        const Col cloudCol = Mix(Hex(0x4A4A78), Hex(0xF8D8A0), Clamp01(1.2f - d));
        c = Mix(c, cloudCol, 0.7f * cloud);
        return c * (1 + 0.04f * Strokes(p.x, p.y, 0.05f, 6, kSeed + 1));
    });
    Ellipse(
        cv, kSunAt, 22, 22, [](Pt p, float&) { return Mix(kSun, Hex(0xFFFFFF), Clamp01(1 - Len(p - kSunAt) / 22)); },
        2);
}

// A ridge of hills: height(x) gives its top; colour fades into the haze towards the base.
template <class Height>
void Ridge(Canvas& cv, float x0, float x1, float bottom, Col c, Col haze, Height height, std::uint32_t seed) {
    cv.Paint(
        x0, 0, x1, bottom, [&](Pt p) { return height(p.x) - p.y; },
        [&](Pt p, float&) {
            const float top = height(p.x);
            const float light = 0.5f + 0.5f * std::sin((p.x - top * 0.7f) / 40) * Smooth(top + 40, top, p.y);
            Col col = Mix(c * 0.85f, Tone(c, 0.12f), light * Clamp01(1 - (p.x - kSunAt.x) / 900));
            col = Mix(col, haze, Smooth(top, bottom, p.y) * 0.6f);
            return col * (1 + 0.06f * Strokes(p.x, p.y, 0.4f, 5, seed));
        });
}

void Mist(Canvas& cv, float y, float thickness, float opacity, Col c, std::uint32_t seed) {
    cv.Wash(0, y - thickness * 2, kW, y + thickness * 2, [=](Pt p, float& a) {
        const float band = std::exp(-std::pow((p.y - y) / thickness, 2.0f));
        a = opacity * band * Smooth(0.3f, 0.7f, Fbm(p.x / 90, p.y / 14, seed));
        return c;
    });
}

void Town(Canvas& cv) {
    const Col wall = Hex(0x5A5470), wallLit = Hex(0xB89A86), roof = Hex(0x262A48), lamp = Hex(0xFFD070);
    // The rise the town stands on.
    Ridge(
        cv, 300, kW, 330, Hex(0x3A3C5A), Hex(0x8A7A8A),
        [](float x) { return 332 - 96 * std::exp(-std::pow((x - 590) / 150, 4.0f)) + 4 * std::sin(x / 17); },
        kSeed + 30);
    // Walls with crenellations, lit on the sunward faces.
    const float wallTop = 236, wallBase = 268;
    cv.Paint(
        440, wallTop - 4, 724, wallBase,
        [&](Pt p) {
            const float merlon = std::fmod(p.x, 9.0f) < 5 ? 0.0f : 4.0f;
            return std::max({440 - p.x, p.x - 724, wallTop + merlon - p.y, p.y - wallBase});
        },
        [&](Pt p, float&) {
            const float course = std::fmod(p.y, 5.0f) < 0.8f ? 0.85f : 1.0f;
            return Mix(wall, wallLit, 0.35f * Smooth(620, 440, p.x)) * course *
                   (1 + 0.08f * Strokes(p.x, p.y, 0, 2, 5));
        });
    for (float x : {450.0f, 540.0f, 640.0f, 712.0f})  // wall towers
        Poly(cv, {{x - 9, wallTop - 14}, {x + 9, wallTop - 14}, {x + 9, wallBase}, {x - 9, wallBase}},
             [=](Pt p, float&) { return Mix(wall * 0.9f, wallLit, p.x < x ? 0.35f : 0.05f); });
    for (float x : {450.0f, 540.0f, 640.0f, 712.0f})
        Poly(cv, {{x - 13, wallTop - 13}, {x, wallTop - 24}, {x + 13, wallTop - 13}}, Solid(roof));
    // Gate with a warm light inside.
    Poly(cv, {{580, wallBase}, {580, 250}, {590, 244}, {600, 250}, {600, wallBase}}, Solid(Hex(0x2A1A18)));
    Ellipse(cv, {590, 258}, 8, 10, Solid(lamp), 4, 0.6f);
    // Houses behind the wall and the tiered tower.
    for (int i = 0; i < 9; ++i) {
        const float x = 462 + i * 28.0f + 6 * Rand(i, 1, kSeed), h = 10 + 8 * Rand(i, 2, kSeed);
        Poly(cv, {{x - 12, wallTop}, {x - 12, wallTop - h}, {x + 12, wallTop - h}, {x + 12, wallTop}},
             Solid(Mix(wall, wallLit, 0.2f)));
        Poly(cv,
             {{x - 16, wallTop - h + 1}, {x - 9, wallTop - h - 9}, {x + 9, wallTop - h - 9}, {x + 16, wallTop - h + 1}},
             Solid(roof));
        if (i % 2 == 0) Ellipse(cv, {x + 3, wallTop - h * 0.5f}, 1.8f, 1.8f, Solid(lamp), 1.5f, 0.9f);
    }
    const float tx = 600;
    float base = wallTop - 6;
    for (int tier = 0; tier < 5; ++tier) {
        const float half = 30 - tier * 4.5f, h = 17 - tier * 1.5f;
        Poly(cv,
             {{tx - half * 0.7f, base},
              {tx - half * 0.7f, base - h},
              {tx + half * 0.7f, base - h},
              {tx + half * 0.7f, base}},
             [=](Pt p, float&) { return Mix(wall, wallLit, p.x < tx ? 0.5f : 0.1f); });
        for (int w = -1; w <= 1; ++w)
            Ellipse(cv, {tx + w * half * 0.35f, base - h * 0.5f}, 1.6f, 2.4f, Solid(lamp), 1.5f, 0.85f);
        const float rb = base - h;
        Poly(cv,
             {{tx - half - 8, rb + 3},
              {tx - half, rb - 2},
              {tx - half * 0.5f, rb - 8},
              {tx + half * 0.5f, rb - 8},
              {tx + half, rb - 2},
              {tx + half + 8, rb + 3},
              {tx, rb}},
             [=](Pt p, float&) { return Mix(roof, Hex(0x6A5A7A), Smooth(tx + half, tx - half, p.x) * 0.45f); });
        Line(cv, {tx - half - 8, rb + 3}, {tx - half * 0.5f, rb - 8}, 0.6f, 0.6f, Solid(Hex(0xE8B860)), 0, 0.6f);
        base = rb - 7;
    }
    Line(cv, {tx, base + 7}, {tx, base - 12}, 1.0f, 0.6f, Solid(Hex(0xC8A048)));
    // Warm glow over the town.
    Ellipse(
        cv, {590, 230}, 120, 50,
        [](Pt p, float& a) {
            a = 0.18f * Clamp01(1 - Len(Pt{(p.x - 590) / 120, (p.y - 230) / 50}));
            return Hex(0xFFC070);
        },
        20);
}

void Water(Canvas& cv) {
    cv.Wash(0, kHorizon, kW, kH, [&](Pt p, float&) {
        const float depth = (p.y - kHorizon) / (kH - kHorizon);
        // Reflection of what stands above the horizon, broken by ripples.
        const float wobble = 3 * std::sin(p.y * 0.9f + 4 * Fbm(p.x / 30, p.y / 5, kSeed + 60)) * (0.3f + depth);
        const float my = 2 * kHorizon - p.y + 2;
        const Col mirrored = my > 0 ? cv.At(static_cast<int>(p.x + wobble), static_cast<int>(my)) : kSkyTop;
        Col c = Mix(mirrored, Hex(0x28406A), 0.25f + 0.55f * depth);
        const float glint = Smooth(0.62f, 0.8f, Fbm(p.x / 40, p.y / 3, kSeed + 61)) *
                            std::exp(-std::pow((p.x - kSunAt.x) / (60 + 200 * depth), 2.0f));
        c = Mix(c, kSun, 0.8f * glint);
        const float ripple = std::sin(p.y * 1.7f + 6 * Fbm(p.x / 60, p.y / 6, kSeed + 62));
        return c * (1 + 0.035f * ripple * Smooth(0.3f, 0.7f, Fbm(p.x / 50, p.y / 12, kSeed + 65)));
    });
    Mist(cv, kHorizon - 4, 14, 0.7f, Hex(0xE8D0C0), kSeed + 63);
    Mist(cv, kHorizon + 30, 18, 0.35f, Hex(0xB8B8D0), kSeed + 64);
}

void Boat(Canvas& cv) {
    const Pt c{330, 392};
    Ellipse(cv, {c.x, c.y + 10}, 62, 5, Solid(Hex(0x101828)), 4, 0.5f);
    Poly(cv,
         {{c.x - 58, c.y - 8},
          {c.x - 44, c.y + 6},
          {c.x + 40, c.y + 6},
          {c.x + 60, c.y - 10},
          {c.x + 46, c.y - 2},
          {c.x - 40, c.y - 2}},
         [&](Pt p, float&) { return Mix(Hex(0x1A1420), Hex(0x6A4A3A), Smooth(c.y + 6, c.y - 6, p.y) * 0.6f); });
    // Awning and boatman with a pole.
    Poly(cv, {{c.x - 34, c.y - 2}, {c.x - 30, c.y - 24}, {c.x + 2, c.y - 26}, {c.x + 6, c.y - 2}}, [&](Pt p, float&) {
        return Mix(Hex(0x2A2030), Hex(0x8A6A4A), Smooth(c.x + 6, c.x - 30, p.x) * 0.5f) *
               (std::fmod(p.x, 4.0f) < 1 ? 0.8f : 1.0f);
    });
    Line(cv, {c.x + 22, c.y - 4}, {c.x + 24, c.y - 30}, 3.5f, 3, Solid(Hex(0x1E1820)));
    Ellipse(cv, {c.x + 24, c.y - 34}, 4, 4.5f, Solid(Hex(0x2A2028)));
    Poly(cv, {{c.x + 12, c.y - 36}, {c.x + 24, c.y - 46}, {c.x + 36, c.y - 36}}, Solid(Hex(0x4A3A2A)));
    Line(cv, {c.x + 44, c.y - 70}, {c.x + 8, c.y + 30}, 1.0f, 1.0f, Solid(Hex(0x2A2020)));
    Ellipse(cv, {c.x - 40, c.y - 14}, 3, 3, Solid(Hex(0xFFD070)), 1, 1);
    Ellipse(cv, {c.x - 40, c.y - 14}, 14, 14, Solid(Hex(0xFFC060)), 10, 0.35f);
}

void Reeds(Canvas& cv, float x0, float x1, float ground, int count, std::uint32_t seed) {
    for (int i = 0; i < count; ++i) {
        const float x = x0 + (x1 - x0) * Rand(i, 1, seed), hgt = 70 + 120 * Rand(i, 2, seed);
        const float lean = 40 * (Rand(i, 3, seed) - 0.5f), base = ground + 30 * Rand(i, 4, seed);
        const float shade = Rand(i, 5, seed);
        const Col c = Mix(Hex(0x141A1E), Hex(0x4A5A3A), shade * 0.7f);
        const Pt tip{x + lean, base - hgt};
        Stroke(cv, Bezier({x, base}, {x + lean * 0.2f, base - hgt * 0.6f}, tip, 10), 2.4f, 0.4f, [=](Pt p, float&) {
            return Mix(c, Hex(0xE8B070), 0.35f * Smooth(x + lean * 0.5f - 1, x + lean * 0.5f + 2, p.x) * shade);
        });
        if (i % 3 == 0) {
            const Pt head = Bezier({x, base}, {x + lean * 0.2f, base - hgt * 0.6f}, tip, 10)[8];
            Ellipse(cv, head, 2.6f, 9, Solid(Mix(Hex(0x2A1A12), Hex(0x7A4A2A), shade)));
        }
        if (i % 2 == 0) {  // a leaf bending away
            const float dir = Rand(i, 6, seed) < 0.5f ? -1.0f : 1.0f;
            const Pt from{x + lean * 0.1f, base - hgt * 0.35f};
            Stroke(cv, Bezier(from, {from.x + dir * 30, from.y - 30}, {from.x + dir * 50, from.y - 5}, 10), 2.0f, 0.2f,
                   Solid(c));
        }
    }
}

void Fireflies(Canvas& cv) {
    for (int i = 0; i < 24; ++i) {
        const Pt p{60 + Rand(i, 1, kSeed + 90) * 620, 330 + Rand(i, 2, kSeed + 90) * 150};
        Ellipse(cv, p, 5, 5, Solid(Hex(0xFFE080)), 4, 0.25f);
        Ellipse(cv, p, 1.2f, 1.2f, Solid(Hex(0xFFF4C0)), 0.5f, 0.9f);
    }
}

}  // namespace

void PaintRiverlands(reedmark::TArt& picture) {
    Canvas cv(kLandscapeW, kLandscapeH, 1);
    Sky(cv);
    const Col haze = Hex(0xE0B8A0);
    Ridge(
        cv, 0, kW, kHorizon, Hex(0x7A7498), haze,
        [](float x) { return 214 - 46 * std::pow(std::fabs(std::sin(x / 150 + 0.8f)), 1.5f) - 8 * std::sin(x / 23); },
        kSeed + 10);
    Mist(cv, 262, 18, 0.55f, Hex(0xF0C8A8), kSeed + 11);
    Ridge(
        cv, 0, kW, kHorizon, Hex(0x4A4A72), haze,
        [](float x) {
            return 262 - 34 * std::exp(-std::pow((x - 110) / 130, 2.0f)) - 12 * std::sin(x / 41 + 1) -
                   5 * std::sin(x / 13);
        },
        kSeed + 12);
    Mist(cv, 292, 16, 0.5f, Hex(0xE8C0A8), kSeed + 13);
    Town(cv);
    Ridge(
        cv, 0, kW, kHorizon + 1, Hex(0x262A44), Hex(0x6A5A70),
        [](float x) { return kHorizon - 8 - 6 * std::sin(x / 29) - 5 * Noise(x / 12, 0, kSeed + 20); }, kSeed + 14);
    Water(cv);
    Boat(cv);
    Reeds(cv, -20, 200, 470, 40, kSeed + 70);
    Reeds(cv, 600, 770, 480, 30, kSeed + 71);
    Fireflies(cv);
    // A soft vignette holds the eye in the middle.
    cv.Grade([](Pt p, Col c) {
        const float u = (p.x - kW / 2) / (kW * 0.6f), v = (p.y - kH * 0.45f) / (kH * 0.7f);
        return Mix(c, c * Hex(0x202848), 0.6f * Smooth(0.6f, 1.3f, std::sqrt(u * u + v * v)));
    });
    cv.Reduce(picture, 1, 0, 0, kSeed);
}

}  // namespace artgen
