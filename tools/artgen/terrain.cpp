// The terrain and unit sheet: sixteen 48 x 48 sprites on transparency (forest, hill,
// mountain, castle, marsh, river, ice, village, the two sides' units, commanders and
// boats, fire), lit from the upper left with a dark rim so they read at 27 to 46 pixels.
#include <cmath>

#include "artgen.hpp"

namespace artgen {

namespace {

constexpr int kScale = 3;
const Col kAttacker = Hex(0x5C7CE0), kDefender = Hex(0xA82828);
const Col kRim = Hex(0x1A1E1A);

auto Lit(Col c, Pt centre, float rx, float ry, float lift = 0) {
    return
        [=](Pt p, float&) { return Ramp(c * 0.38f, c, Tone(c, 0.4f), Clamp01(DomeLight(p, centre, rx, ry) + lift)); };
}

// A soft shadow on the ground under a sprite.
void GroundShadow(Canvas& cv, Pt c, float rx, float ry, float opacity = 0.35f) {
    Ellipse(cv, c, rx, ry, Solid(Hex(0x10180C)), ry * 0.8f, opacity);
}

void Conifer(Canvas& cv, Pt base, float height, Col green, std::uint32_t seed) {
    const float w = height * 0.42f;
    Line(cv, {base.x, base.y}, {base.x, base.y - height * 0.3f}, 1.1f, 0.9f, Solid(Hex(0x4A3020)));
    for (int k = 0; k < 3; ++k) {
        const float top = base.y - height + k * height * 0.24f,
                    bottom = base.y - height * 0.18f - (2 - k) * height * 0.14f;
        const float half = w * (0.55f + 0.25f * k);
        const Pt apex{base.x, top};
        Poly(cv,
             {apex,
              {base.x + half, bottom},
              {base.x + half * 0.2f, bottom + 1.5f},
              {base.x - half * 0.3f, bottom + 1.2f},
              {base.x - half, bottom}},
             [=](Pt p, float&) {
                 const float l = Clamp01(0.7f - (p.x - base.x) / (2 * half) - 0.25f * (p.y - top) / (bottom - top));
                 return Ramp(green * 0.35f, green, Tone(green, 0.35f), l) *
                        (1 + 0.2f * Strokes(p.x, p.y, 2.4f, 0.5f, seed));
             });
    }
}

void RoundTree(Canvas& cv, Pt base, float size, Col green, std::uint32_t seed) {
    Line(cv, base, {base.x, base.y - size * 0.9f}, 1.3f, 0.9f, Solid(Hex(0x4A3020)));
    const Pt c{base.x, base.y - size * 1.25f};
    cv.Paint(
        c.x - size - 2, c.y - size - 2, c.x + size + 2, c.y + size + 2,
        [=](Pt p) { return SdCircle(p, c, size) - 1.2f * (Noise(p.x * 0.9f, p.y * 0.9f, seed) - 0.5f); },
        [=](Pt p, float&) {
            const float l = DomeLight(p, c, size, size) + 0.3f * (Fbm(p.x * 0.7f, p.y * 0.7f, seed + 1) - 0.5f);
            return Ramp(green * 0.35f, green, Tone(Mix(green, Hex(0xE0E070), 0.3f), 0.3f), Clamp01(l));
        });
}

// [SECTION] Terrain

void Forest(Canvas& cv) {
    GroundShadow(cv, {25, 41}, 19, 4);
    const Col pine = Hex(0x3E6A3E), leaf = Hex(0x5E8A3E);
    Conifer(cv, {15, 36}, 24, pine * 0.9f, 11);
    Conifer(cv, {33, 34}, 27, pine, 12);
    RoundTree(cv, {24, 43}, 8, leaf, 13);
    Conifer(cv, {10, 45}, 17, pine * 1.1f, 14);
    Conifer(cv, {39, 45}, 18, pine * 1.05f, 15);
}

void Hill(Canvas& cv) {
    GroundShadow(cv, {24, 41}, 21, 4, 0.3f);
    const Col grass = Hex(0x8E9A5C), earth = Hex(0x9B8E6D);
    auto mound = [&](Pt c, float rx, float ry, Col col) {
        cv.Paint(
            c.x - rx - 1, c.y - ry - 1, c.x + rx + 1, c.y + 1,
            [=](Pt p) { return std::max(SdEllipse(p, c, rx, ry), p.y - c.y); },
            [=](Pt p, float&) {
                const float l = DomeLight(p, {c.x, c.y}, rx, ry) + 0.15f * Strokes(p.x, p.y, 0.3f, 0.8f, 21);
                return Ramp(Mix(col, earth, 0.5f) * 0.45f, col, Tone(Mix(col, Hex(0xE8D890), 0.4f), 0.2f), Clamp01(l));
            });
    };
    mound({30, 38}, 16, 16, grass * 0.92f);
    mound({17, 41}, 15, 20, grass);
    for (int i = 0; i < 7; ++i) {
        const float x = 6 + i * 5.5f, y = 40 - 2 * std::sin(i * 1.3f);
        Line(cv, {x, y}, {x - 1, y - 3}, 0.45f, 0.1f, Solid(Hex(0x4E6A2E)));
        Line(cv, {x + 1, y}, {x + 2, y - 3.5f}, 0.45f, 0.1f, Solid(Hex(0x5E7A36)));
    }
    Ellipse(cv, {35, 39}, 2.6f, 1.8f, Lit(Hex(0x9A968A), {34, 38}, 2.6f, 1.8f));
}

void Mountain(Canvas& cv) {
    GroundShadow(cv, {24, 43}, 22, 3.5f, 0.35f);
    const Col rock = Hex(0x7A7F78), snow = Hex(0xEEF2F4);
    auto peak = [&](Pt apex, float half, float base, Col col, std::uint32_t seed) {
        const std::vector<Pt> shape{apex,
                                    {apex.x + half * 0.55f, apex.y + (base - apex.y) * 0.55f},
                                    {apex.x + half, base},
                                    {apex.x - half, base},
                                    {apex.x - half * 0.6f, apex.y + (base - apex.y) * 0.5f}};
        Poly(cv, shape, [=](Pt p, float&) {
            // Two faces: the left one in light, the right in shade, with crags.
            const float ridge = apex.x + (p.y - apex.y) * 0.18f;
            const float lit = p.x < ridge ? 0.78f : 0.3f;
            const float crag = 0.25f * Strokes(p.x, p.y, 1.0f + (p.x < ridge ? -0.5f : 0.5f), 0.7f, seed);
            Col c = Ramp(col * 0.35f, col, Tone(col, 0.35f), Clamp01(lit + crag));
            const float snowLine = apex.y + (base - apex.y) * (0.32f + 0.1f * Noise(p.x * 0.8f, 0, seed + 1));
            if (p.y < snowLine) c = Mix(c, p.x < ridge ? snow : Mix(snow, Hex(0x8EA0B8), 0.45f), 0.92f);
            return c;
        });
    };
    peak({33, 10}, 14, 42, rock * 0.85f, 31);
    peak({20, 4}, 18, 44, rock, 32);
}

void Castle(Canvas& cv) {
    GroundShadow(cv, {24, 44}, 22, 3.5f, 0.4f);
    const Col stone = Hex(0xB8AE8E), roof = Hex(0x3A4A66), wood = Hex(0x8A3A2A);
    auto wall = [&](float x0, float x1, float top, float bottom, float light) {
        Poly(cv, {{x0, top}, {x1, top}, {x1, bottom}, {x0, bottom}}, [=](Pt p, float&) {
            const float course = std::fmod(p.y * 1.4f, 2.2f) < 0.35f ? 0.82f : 1.0f;
            const float joint =
                std::fmod(p.x * 0.7f + (static_cast<int>(p.y * 1.4f / 2.2f) % 2) * 1.2f, 2.4f) < 0.3f ? 0.85f : 1.0f;
            return Ramp(stone * 0.4f, stone, Tone(stone, 0.3f), Clamp01(light - 0.2f * (p.y - top) / (bottom - top))) *
                   course * joint;
        });
        for (float x = x0; x + 1.5f <= x1; x += 3.2f)  // crenellations
            Poly(cv, {{x, top - 2}, {x + 1.8f, top - 2}, {x + 1.8f, top}, {x, top}},
                 Solid(Tone(stone * 0.9f, light > 0.5f ? 0.15f : -0.3f)));
    };
    wall(3, 45, 31, 44, 0.55f);
    Poly(cv, {{20, 44}, {20, 37}, {24, 34.5f}, {28, 37}, {28, 44}}, Solid(Hex(0x2A1E18)));  // gate
    // The keep with two tiers of upswept roofs.
    auto roofTier = [&](float cx, float y, float half, float height) {
        Poly(cv,
             {{cx - half - 3, y + 1},
              {cx - half, y - height * 0.3f},
              {cx - half * 0.35f, y - height},
              {cx + half * 0.35f, y - height},
              {cx + half, y - height * 0.3f},
              {cx + half + 3, y + 1},
              {cx, y - 1}},
             [=](Pt p, float&) {
                 const float l = Clamp01(0.75f - (p.x - cx) / (2 * half) - 0.2f * (p.y - y + height) / height);
                 const float tile = std::fmod(p.x * 1.2f + 50, 1.6f) < 0.35f ? 0.8f : 1.0f;
                 return Ramp(roof * 0.35f, roof, Tone(roof, 0.45f), l) * tile;
             });
        Line(cv, {cx - half * 0.35f, y - height}, {cx + half * 0.35f, y - height}, 0.6f, 0.6f, Solid(Hex(0xD8B858)));
    };
    Poly(cv, {{15, 33}, {33, 33}, {33, 22}, {15, 22}}, Lit(Hex(0xE6DCC4), {20, 24}, 14, 14));
    for (int i = 0; i < 3; ++i)
        Poly(cv, {{17.5f + i * 5.5f, 30}, {19.5f + i * 5.5f, 30}, {19.5f + i * 5.5f, 26}, {17.5f + i * 5.5f, 26}},
             Solid(wood * 0.6f));
    roofTier(24, 23, 13, 7);
    Poly(cv, {{18, 17}, {30, 17}, {30, 11}, {18, 11}}, Lit(Hex(0xE6DCC4), {21, 12}, 10, 8));
    roofTier(24, 12, 9, 6);
    Line(cv, {24, 6}, {24, 0.5f}, 0.4f, 0.4f, Solid(Hex(0x3A2A1E)));
    Poly(cv, {{24.3f, 0.8f}, {30, 2}, {24.3f, 3.6f}}, Solid(Hex(0xC83A2A)));
}

void Marsh(Canvas& cv) {
    const Col pool = Hex(0x5E8A92);
    for (Pt c : {Pt{16, 37}, Pt{33, 33}, Pt{28, 42}}) {
        Ellipse(cv, c, 9, 3.2f, [=](Pt p, float&) {
            return Mix(pool * 0.7f, Tone(pool, 0.45f),
                       Clamp01(0.7f - (p.y - c.y + 3) / 7 + 0.3f * (std::sin(p.y * 3) > 0.8f)));
        });
    }
    for (int i = 0; i < 14; ++i) {
        const float x = 6 + i * 2.7f + 2 * Rand(i, 1, 41), base = 34 + 9 * Rand(i, 2, 41),
                    hgt = 9 + 10 * Rand(i, 3, 41);
        const float lean = 3 * (Rand(i, 4, 41) - 0.5f);
        const Col c = Mix(Hex(0x5A7A3A), Hex(0xA0A050), Rand(i, 5, 41));
        Stroke(cv, Bezier({x, base}, {x + lean * 0.3f, base - hgt * 0.5f}, {x + lean, base - hgt}, 5), 0.55f, 0.15f,
               Solid(c));
        if (i % 3 == 0) Ellipse(cv, {x + lean * 0.8f, base - hgt + 2.5f}, 0.9f, 2.2f, Solid(Hex(0x5A3A22)));
    }
}

void River(Canvas& cv) {
    // Light on moving water: curved glints and two lily pads, nothing opaque at the edges.
    for (int i = 0; i < 6; ++i) {
        const float x = 8 + (i % 3) * 13.0f + 3 * Rand(i, 1, 51), y = 14 + (i / 3) * 14.0f + 4 * Rand(i, 2, 51);
        Stroke(cv, Bezier({x, y}, {x + 5, y - 2}, {x + 10, y}, 6), 0.7f, 0.4f, Solid(Hex(0xCFE4EC)), 0.3f, 0.75f);
        Stroke(cv, Bezier({x + 3, y + 3}, {x + 7, y + 1.5f}, {x + 11, y + 3}, 6), 0.5f, 0.3f, Solid(Hex(0x9CC0D0)),
               0.3f, 0.55f);
    }
    for (Pt c : {Pt{12, 38}, Pt{37, 30}}) {
        cv.Paint(
            c.x - 5, c.y - 4, c.x + 5, c.y + 4,
            [=](Pt p) {
                return std::max(SdEllipse(p, c, 4.2f, 2.6f), -std::max(std::fabs(p.y - c.y) - 0.5f, c.x - p.x));
            },
            Lit(Hex(0x5E9A4E), c, 4.2f, 2.6f));
    }
    Ellipse(cv, {12.5f, 37.4f}, 1.2f, 1.0f, Lit(Hex(0xF0B8C8), {12, 37}, 1.2f, 1.0f));
}

void Ice(Canvas& cv) {
    const Col ice = Hex(0xD8ECF2);
    const std::vector<std::vector<Pt>> floes{{{5, 30}, {20, 25}, {26, 33}, {17, 40}, {6, 37}},
                                             {{24, 22}, {38, 18}, {44, 27}, {33, 31}},
                                             {{25, 38}, {38, 34}, {42, 42}, {30, 45}}};
    std::uint32_t seed = 61;
    for (const auto& f : floes) {
        std::vector<Pt> side;
        for (Pt p : f) side.push_back({p.x, p.y + 1.6f});
        Poly(cv, side, Solid(Hex(0x6E9AAE)));
        Poly(cv, f, [=](Pt p, float&) {
            const float l = Clamp01(0.8f - (p.x + p.y) / 90 + 0.2f * Strokes(p.x, p.y, 0.5f, 1.0f, seed));
            return Ramp(Hex(0x7EA8BC), ice, Hex(0xFFFFFF), l);
        });
        Line(cv, f[0] + (f[1] - f[0]) * 0.4f, f[2] + (f[3 % f.size()] - f[2]) * 0.5f, 0.3f, 0.2f, Solid(Hex(0x8AB0C4)),
             0, 0.8f);
        ++seed;
    }
    for (Pt s : {Pt{14, 29}, Pt{34, 22}, Pt{33, 38}}) {
        Line(cv, {s.x - 2, s.y}, {s.x + 2, s.y}, 0.35f, 0.1f, Solid(Hex(0xFFFFFF)));
        Line(cv, {s.x, s.y - 2}, {s.x, s.y + 2}, 0.35f, 0.1f, Solid(Hex(0xFFFFFF)));
    }
}

void Village(Canvas& cv) {
    GroundShadow(cv, {24, 42}, 20, 4, 0.35f);
    auto house = [&](float x, float base, float w, float h, Col roof) {
        Poly(cv, {{x, base}, {x + w, base}, {x + w, base - h}, {x, base - h}}, [=](Pt p, float&) {
            return Ramp(Hex(0x6A5A44), Hex(0xD8C8A4), Hex(0xF4ECD4), Clamp01(0.8f - (p.x - x) / (1.6f * w)));
        });
        Poly(cv,
             {{x + w * 0.4f, base},
              {x + w * 0.6f, base},
              {x + w * 0.6f, base - h * 0.55f},
              {x + w * 0.4f, base - h * 0.55f}},
             Solid(Hex(0x3A2A1E)));
        Poly(cv, {{x - 3, base - h + 1}, {x + w * 0.5f, base - h - w * 0.45f}, {x + w + 3, base - h + 1}},
             [=](Pt p, float&) {
                 const float l = Clamp01(0.75f - (p.x - x) / (1.4f * w));
                 return Ramp(roof * 0.35f, roof, Tone(roof, 0.4f), l) *
                        (std::fmod(p.x + 40, 1.5f) < 0.3f ? 0.85f : 1.0f);
             });
    };
    RoundTree(cv, {38, 38}, 6, Hex(0x5E8A3E), 71);
    house(6, 40, 15, 9, Hex(0x8A5A34));
    house(22, 44, 16, 10, Hex(0x4A5A74));
    Ellipse(cv, {12, 24}, 3, 2, Solid(Hex(0xD8D8D0)), 2, 0.35f);
    Ellipse(cv, {15, 19}, 4, 2.5f, Solid(Hex(0xD8D8D0)), 3, 0.25f);
}

void Fire(Canvas& cv) {
    Ellipse(cv, {24, 14}, 12, 9, Solid(Hex(0x4A4440)), 6, 0.45f);
    Ellipse(cv, {24, 40}, 13, 4, Solid(Hex(0x2A1A10)), 2, 0.6f);
    auto flame = [&](float x, float base, float h, float w, Col c0, Col c1) {
        cv.Paint(
            x - w - 3, base - h - 2, x + w + 3, base + 1,
            [=](Pt p) {
                const float t = Clamp01((base - p.y) / h);
                const float half = w * std::sqrt(std::max(0.0f, 1 - t)) *
                                   (0.6f + 0.4f * std::sin(3.14159f * std::min(1.0f, t * 1.6f)));
                const float sway = 2.5f * std::sin(t * 5 + x) * t;
                return std::max(std::fabs(p.x - x - sway) - half, p.y - base);
            },
            [=](Pt p, float&) { return Mix(c0, c1, Clamp01((base - p.y) / h * 1.2f)); }, 0.6f);
    };
    flame(24, 41, 30, 11, Hex(0xC8281A), Hex(0xF07A1A));
    flame(18, 41, 20, 6, Hex(0xE0501A), Hex(0xF8B030));
    flame(30, 41, 22, 6, Hex(0xE0501A), Hex(0xF8B030));
    flame(24, 41, 17, 6, Hex(0xF8C040), Hex(0xFFF0A0));
    Line(cv, {15, 41}, {33, 38}, 1.4f, 1.2f, Solid(Hex(0x3A2418)));
    Line(cv, {16, 37}, {32, 42}, 1.3f, 1.3f, Solid(Hex(0x4A2E1C)));
    for (int i = 0; i < 5; ++i) Ellipse(cv, {14 + i * 5.0f, 12 + 5 * Rand(i, 1, 81)}, 0.5f, 0.5f, Solid(Hex(0xFFD060)));
}

// [SECTION] Units (painted facing right; the defender's are mirrored)

void Soldier(Canvas& cv, Pt feet, float size, Col side, bool shield) {
    const float k = size / 10;
    auto at = [=](float x, float y) { return Pt{feet.x + x * k, feet.y + y * k}; };
    const Col skin = Hex(0xD8A47C), dark = Hex(0x2A2A30), armour = Mix(side * 0.7f, Hex(0x6A6A70), 0.4f);
    Line(cv, at(-1.5f, 0), at(-1.2f, -6), 1.1f * k, 1.0f * k, Solid(dark));  // legs
    Line(cv, at(1.5f, 0), at(1.2f, -6), 1.1f * k, 1.0f * k, Solid(dark * 1.3f));
    Poly(cv, {at(-3.2f, -5), at(3.2f, -5), at(2.6f, -13), at(-2.6f, -13)}, Lit(side, at(-1, -11), 4 * k, 6 * k));
    Poly(cv, {at(-2.6f, -8), at(2.6f, -8), at(2.4f, -12.5f), at(-2.4f, -12.5f)},
         Lit(armour, at(-1, -11), 4 * k, 4 * k));
    Line(cv, at(-3, -8), at(3, -8), 0.5f * k, 0.5f * k, Solid(Hex(0xC9A24E)));
    Ellipse(cv, at(0, -15), 1.9f * k, 2.1f * k, Lit(skin, at(-0.6f, -15.6f), 2 * k, 2 * k));
    Poly(cv, {at(-2.6f, -15.4f), at(2.6f, -15.4f), at(0.4f, -19.5f)},
         Lit(Hex(0x5A606A), at(-1, -17), 3 * k, 3 * k));  // helmet
    // Spear held upright, blade catching light.
    Line(cv, at(3.4f, 1), at(4.6f, -23), 0.35f * k, 0.35f * k, Solid(Hex(0x6A4A2E)));
    Poly(cv, {at(4.2f, -22.6f), at(5.4f, -22.4f), at(4.9f, -26.5f)}, Solid(Hex(0xE8EEF2)));
    if (shield) {
        const Pt c = at(2.2f, -8.5f);
        Ellipse(cv, c, 3.2f * k, 3.6f * k, Lit(side, at(1.4f, -9.5f), 3.4f * k, 3.8f * k));
        cv.Paint(
            c.x - 4 * k, c.y - 4 * k, c.x + 4 * k, c.y + 4 * k,
            [=](Pt p) { return std::fabs(SdEllipse(p, c, 3.2f * k, 3.6f * k)) - 0.35f * k; }, Solid(Hex(0xE0C060)));
        Ellipse(cv, c, 0.9f * k, 0.9f * k, Lit(Hex(0xF0D850), c, 0.9f * k, 0.9f * k));
    }
}

void Banner(Canvas& cv, Pt foot, float height, Col side) {
    Line(cv, foot, {foot.x, foot.y - height}, 0.55f, 0.5f, Solid(Hex(0x5A3A22)));
    const float top = foot.y - height + 1;
    Poly(cv,
         {{foot.x + 0.5f, top},
          {foot.x + 9, top + 1},
          {foot.x + 8, top + 7},
          {foot.x + 9.5f, top + 13},
          {foot.x + 0.5f, top + 12}},
         [=](Pt p, float&) {
             const float wave = 0.2f * std::sin((p.x - foot.x) * 0.9f);
             return Ramp(side * 0.4f, side, Tone(side, 0.35f), Clamp01(0.65f + wave - (p.y - top) / 40));
         });
    Ellipse(cv, {foot.x + 4.8f, top + 6}, 2, 2, Solid(Hex(0xF0D850)), 0, 0.9f);
    Ellipse(cv, {foot.x, foot.y - height - 0.6f}, 0.9f, 0.9f, Solid(Hex(0xF0D850)));
}

void Unit(Canvas& cv, Col side) {
    GroundShadow(cv, {24, 44}, 18, 3, 0.4f);
    Soldier(cv, {23, 36}, 8.5f, side * 0.85f, false);
    Soldier(cv, {36, 38}, 8.5f, side * 0.85f, false);
    Soldier(cv, {28, 45.5f}, 11, side, true);
}

void Horse(Canvas& cv, Pt c, Col coat) {
    const Col dark = coat * 0.5f;
    for (float dx : {-7.0f, -4.5f, 5.0f, 7.5f})  // legs
        Line(cv, {c.x + dx, c.y + 3}, {c.x + dx + (dx > 0 ? 1.5f : -1.0f), c.y + 11}, 1.0f, 0.7f,
             Solid(dx == -4.5f || dx == 7.5f ? dark : coat * 0.8f));
    Ellipse(cv, c, 10, 5, Lit(coat, {c.x - 2, c.y - 3}, 10, 6));
    Poly(cv, {{c.x + 6, c.y - 3}, {c.x + 9, c.y - 12}, {c.x + 12, c.y - 13}, {c.x + 11, c.y - 2}},
         Lit(coat, {c.x + 8, c.y - 10}, 5, 8));
    Ellipse(cv, {c.x + 13, c.y - 12}, 3.6f, 2.0f, Lit(coat, {c.x + 12, c.y - 13}, 3.6f, 2.2f));
    Stroke(cv, Bezier({c.x + 8, c.y - 12}, {c.x + 6, c.y - 8}, {c.x + 6, c.y - 4}, 5), 1.2f, 0.6f,
           Solid(Hex(0x1E1612)));  // mane
    Stroke(cv, Bezier({c.x - 10, c.y - 1}, {c.x - 14, c.y + 2}, {c.x - 13, c.y + 8}, 5), 1.3f, 0.4f,
           Solid(Hex(0x1E1612)));  // tail
}

void Commander(Canvas& cv, Col side) {
    GroundShadow(cv, {24, 45}, 17, 3, 0.4f);
    Horse(cv, {24, 33}, Hex(0x8A5A3A));
    // Rider: cape in the side's colour, gilded armour, a plumed helmet, a raised sword.
    Poly(cv, {{17, 30}, {22, 18}, {26, 18}, {27, 30}}, Lit(side, {20, 20}, 8, 10));
    Poly(cv, {{20.5f, 29}, {28, 29}, {27, 19}, {21.5f, 19}}, Lit(Hex(0xB8923E), {22, 21}, 6, 8));
    Line(cv, {22, 30}, {25, 36}, 1.3f, 1.1f, Solid(Hex(0x2A2A30)));
    Ellipse(cv, {24.5f, 15.5f}, 2.3f, 2.6f, Lit(Hex(0xD8A47C), {24, 15}, 2.4f, 2.6f));
    Poly(cv, {{21.8f, 15}, {27.2f, 15}, {24.5f, 10}}, Lit(Hex(0xC8A048), {23.5f, 12}, 3, 3));
    Stroke(cv, Bezier({24.5f, 10.2f}, {21, 7}, {17, 9.5f}, 6), 1.2f, 0.3f,
           Solid(side.b > side.r ? Hex(0xE8ECF4) : Hex(0xF0D850)));
    Line(cv, {27, 22}, {31, 19}, 0.9f, 0.8f, Solid(Hex(0xD8A47C)));
    Line(cv, {31, 19}, {34, 8}, 0.45f, 0.35f, Solid(Hex(0xEEF2F6)));
}

void Boat(Canvas& cv, Col side) {
    // Water at the hull only; everything else stays transparent.
    Ellipse(cv, {24, 42}, 21, 3, Solid(Hex(0x1E3A50)), 2, 0.45f);
    for (int i = 0; i < 3; ++i)
        Stroke(cv, Bezier({6 + i * 14.0f, 44}, {10 + i * 14.0f, 42.5f}, {14 + i * 14.0f, 44}, 5), 0.4f, 0.3f,
               Solid(Hex(0xCFE4EC)), 0.2f, 0.7f);
    // Mast and a battened sail in the side's colour.
    Line(cv, {24, 36}, {24, 4}, 0.7f, 0.5f, Solid(Hex(0x4A3020)));
    Poly(cv, {{25, 6}, {37, 8}, {38, 30}, {25, 31}}, [=](Pt p, float&) {
        const float batten = std::fmod(p.y + 100, 5.0f) < 0.6f ? 0.6f : 1.0f;
        return Ramp(side * 0.4f, side, Tone(side, 0.35f), Clamp01(0.75f - (p.x - 25) / 30)) * batten;
    });
    Soldier(cv, {15, 36}, 6.5f, side * 0.85f, false);
    // Hull with upswept ends and a gold rail.
    Poly(cv, {{3, 33}, {10, 36}, {38, 36}, {45, 32}, {41, 41}, {8, 41}}, [=](Pt p, float&) {
        const float plank = std::fmod(p.y + 100, 2.0f) < 0.4f ? 0.75f : 1.0f;
        return Ramp(Hex(0x3A2414), Hex(0x7A4E2E), Hex(0xB88A5A), Clamp01(0.85f - (p.y - 33) / 10)) * plank;
    });
    Line(cv, {4, 33.5f}, {44, 32.5f}, 0.45f, 0.45f, Solid(Hex(0xD8B858)));
    Ellipse(cv, {40, 37}, 1.6f, 1.6f, Solid(side));
}

}  // namespace

void PaintTerrainSheet(reedmark::TArt& sheet) {
    for (int cell = 0; cell < 16; ++cell) {
        Canvas cv(kTerrainCell * kScale, kTerrainCell * kScale, kScale);
        bool rim = true, flip = false;
        switch (cell) {
            case 0: Forest(cv); break;
            case 1: Hill(cv); break;
            case 2: Mountain(cv); break;
            case 3: Castle(cv); break;
            case 4: Marsh(cv), rim = false; break;
            case 5: River(cv), rim = false; break;
            case 6: Ice(cv), rim = false; break;
            case 7: Village(cv); break;
            case 8: Unit(cv, kAttacker); break;
            case 9: Unit(cv, kDefender), flip = true; break;
            case 10: Commander(cv, kAttacker); break;
            case 11: Commander(cv, kDefender), flip = true; break;
            case 12: Boat(cv, kAttacker); break;
            case 13: Boat(cv, kDefender), flip = true; break;
            case 14: Fire(cv), rim = false; break;
            default: rim = false; break;  // cell 15 is never drawn
        }
        if (flip) cv.FlipX();
        // The standard stays on the left, clear of the commander's pennant at the upper right.
        if (cell >= 8 && cell <= 11)
            Banner(cv, cell <= 9 ? Pt{9, 43} : Pt{7, 44}, cell <= 9 ? 34.0f : 40.0f, cell % 2 ? kDefender : kAttacker);
        if (rim) cv.Outline(kScale, kRim, 0.7f);
        cv.Reduce(sheet, kScale, (cell % 4) * kTerrainCell, (cell / 4) * kTerrainCell, 90u + cell);
    }
}

}  // namespace artgen
