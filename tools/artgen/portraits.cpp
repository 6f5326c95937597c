// The character sheet: sixteen painted busts, each from its sitter description: a softly lit
// background scene, a prop behind the shoulders, robe, neck, face, features, beard, hair
// and headdress, then a grade that pulls the picture together.
#include <cmath>

#include "artgen.hpp"

namespace artgen {

namespace {

// Painted at twice the cell size and reduced, for clean fine lines.
constexpr int kScale = 1;
constexpr float kW = kCharacterCellW, kH = kCharacterCellH;
constexpr float kCx = 94;
// The figure is painted a little larger than its design, anchored at the bottom centre.
constexpr float kFigureZoom = 1.16f;

// The head and the places of the features, derived from the sitter.
struct Head {
    float cx, cy, rx, ry;
    float eyeY, eyeDx, browY, noseY, mouthY, mouthW, chinY, hairY;
};

Head MakeHead(const TSitter& s) {
    Head h{};
    h.cx = kCx;
    h.cy = 118;
    h.rx = 29 * s.faceW;
    h.ry = 38 * s.faceL;
    h.eyeY = h.cy + 1;
    h.eyeDx = 12.5f * (0.6f + 0.4f * s.faceW);
    h.browY = h.eyeY - 9;
    h.noseY = h.cy + h.ry * 0.40f;
    h.mouthY = h.cy + h.ry * 0.63f;
    h.mouthW = 8.5f * (0.7f + 0.3f * s.faceW);
    h.chinY = h.cy + h.ry;
    h.hairY = h.cy - h.ry * 0.52f;
    return h;
}

bool Female(const TSitter& s) {
    return s.hairStyle == "bun" || s.hairStyle == "braid" || s.hairStyle == "updo" || s.hairStyle == "scarfbun" ||
           s.hairStyle == "hood";
}

// The face outline: an egg whose lower half narrows towards the chin by the jaw shape.
float SdFace(Pt p, const Head& h, float jaw) {
    const float t = Clamp01((p.y - h.cy) / h.ry);
    const float k = 1 - (1 - jaw) * 0.34f * t * t - 0.10f * t * t * t;
    return SdEllipse({h.cx + (p.x - h.cx) / k, p.y}, {h.cx, h.cy}, h.rx, h.ry) * k;
}

struct Palette {
    Col skin, skinDark, skinLight, lip, hair, hairDark, hairLight;
};

Palette MakePalette(const TSitter& s) {
    Palette pl;
    pl.skin = s.skin;
    pl.skinDark = Mix(s.skin * 0.58f, Hex(0x5A2030), 0.22f);
    pl.skinLight = Mix(Tone(s.skin, 0.22f), Hex(0xFFE8C8), 0.25f);
    pl.lip = Mix(s.skin, Hex(0xA0403C), Female(s) ? 0.45f : 0.25f);
    const Col hair = Mix(s.hair, Hex(0xC8C4BC), s.age > 0.5f ? (s.age - 0.5f) * 1.0f : 0.0f);
    pl.hair = hair;
    pl.hairDark = hair * 0.45f;
    pl.hairLight = Mix(Tone(hair, 0.35f), Hex(0x9AB0C8), 0.25f);
    return pl;
}

// A texture factor around 1 that looks like brush marks.
float Brush(Pt p, float angle, float scale, std::uint32_t seed, float amount) {
    return 1 + amount * Strokes(p.x, p.y, angle, scale, seed);
}

// [SECTION] Background

void PaintBackground(Canvas& cv, const TSitter& s, std::uint32_t seed) {
    const Col top = s.backTop, bottom = s.backBottom, glow = s.glow;
    cv.Wash(0, 0, kW, kH, [&](Pt p, float&) {
        Col c = Mix(top, bottom, Smooth(0, kH, p.y + 40 * (Fbm(p.x / 60, p.y / 60, seed) - 0.5f)));
        const float d = Len(Pt{(p.x - 100) / 90, (p.y - 100) / 110});
        c = Mix(c, glow, 0.55f * std::exp(-d * d * 1.6f));
        return c * Brush(p, 0.6f, 7, seed + 1, 0.10f);
    });
    auto tint = [&](float depth) { return Mix(glow, Mix(top, bottom, 0.6f), depth); };
    const std::string& scene = s.scene;
    if (scene == "mist" || scene == "mountains") {
        // Layers of hills or peaks, paler with distance, with mist between them.
        const int layers = 3;
        for (int i = 0; i < layers; ++i) {
            const float base = 150 + i * 34.0f, amp = scene == "mountains" ? 46 - i * 10.0f : 16 - i * 3.0f;
            const Col c = tint(0.25f + 0.28f * i);
            cv.Wash(0, base - amp - 10, kW, kH, [&, i, base, amp](Pt p, float& a) {
                float ridge =
                    base - amp * (scene == "mountains" ? std::pow(std::fabs(std::sin(p.x / 38 + i * 1.7f)), 0.7f)
                                                       : 0.5f + 0.5f * std::sin(p.x / 31 + i * 2.1f));
                ridge += 8 * (Fbm(p.x / 14, i * 3.0f, seed + 7) - 0.5f);
                a = Smooth(ridge - 1.5f, ridge + 1.5f, p.y) * 0.8f;
                const float snow = scene == "mountains" && p.y < ridge + 10 ? 0.35f * (1 - i * 0.3f) : 0;
                return Mix(Mix(c, glow, Smooth(ridge + 40, ridge, p.y) * 0.25f), Hex(0xF4F4EC), snow);
            });
            cv.Wash(0, base - 10, kW, base + 30, [&, base](Pt p, float& a) {
                a = 0.35f * std::exp(-std::pow((p.y - base - 6) / 14, 2.0f)) * (0.6f + Fbm(p.x / 40, p.y / 9, seed));
                return glow;
            });
        }
    } else if (scene == "bamboo") {
        for (int i = 0; i < 7; ++i) {
            const float x = 10 + i * 28.0f + 10 * Rand(i, 1, seed), w = 3.5f + 2 * Rand(i, 2, seed);
            const float depth = Rand(i, 3, seed);
            const Col c = Mix(tint(0.5f), Mix(top, bottom, 0.5f) * 0.8f, depth);
            cv.Paint(
                x - w - 2, 0, x + w + 2, kH, [=](Pt p) { return std::fabs(p.x - x - 3 * std::sin(p.y / 80)) - w; },
                [=](Pt p, float& a) {
                    a = 0.55f * (std::fmod(p.y + i * 13, 46.0f) < 2 ? 0.5f : 1.0f);
                    return c;
                },
                1.5f);
            for (int k = 0; k < 4; ++k) {
                const float ly = 20 + 50 * k + 20 * Rand(i, k, seed + 3), dir = (k + i) % 2 ? 1.0f : -1.0f;
                Stroke(cv, Bezier({x, ly}, {x + dir * 14, ly - 8}, {x + dir * 30, ly + 4}, 6), 2.5f, 0.2f, Solid(c),
                       0.5f, 0.5f);
            }
        }
    } else if (scene == "reeds" || scene == "river") {
        const float horizon = scene == "river" ? 178 : 196;
        cv.Wash(0, horizon, kW, kH, [&](Pt p, float& a) {
            a = 0.7f;
            const float ripple = 0.5f + 0.5f * std::sin(p.y * 1.3f + 3 * Fbm(p.x / 20, p.y / 4, seed));
            return Mix(Mix(glow, bottom, 0.5f), glow, ripple * 0.35f * std::exp(-std::fabs(p.x - 110) / 60));
        });
        cv.Wash(0, horizon - 18, kW, horizon + 4, [&](Pt p, float& a) {
            const float ridge = horizon - 6 - 10 * Fbm(p.x / 30, 1, seed + 9);
            a = Smooth(ridge - 1, ridge + 1, p.y) * 0.6f;
            return tint(0.55f);
        });
        if (scene == "reeds")
            for (int i = 0; i < 26; ++i) {
                const float x = Rand(i, 5, seed) * kW, hgt = 50 + 60 * Rand(i, 6, seed);
                const Col c = Mix(tint(0.4f), bottom * 0.6f, Rand(i, 7, seed));
                Stroke(cv, Bezier({x, kH}, {x + 4, kH - hgt * 0.5f}, {x + 12 * (Rand(i, 8, seed) - 0.3f), kH - hgt}, 6),
                       1.6f, 0.3f, Solid(c), 0.4f, 0.65f);
                if (i % 3 == 0)
                    Ellipse(cv, {x + 12 * (Rand(i, 8, seed) - 0.3f) + 1, kH - hgt + 8}, 2, 7, Solid(c * 0.7f), 0.3f,
                            0.7f);
            }
    } else if (scene == "forest") {
        for (int i = 0; i < 8; ++i) {
            const float x = Rand(i, 1, seed) * kW, w = 5 + 7 * Rand(i, 2, seed), depth = Rand(i, 3, seed);
            const Col c = Mix(tint(0.35f), bottom * 0.5f, depth);
            cv.Paint(
                x - w - 3, 0, x + w + 3, kH, [=](Pt p) { return std::fabs(p.x - x) - w * (1 + p.y / 700); },
                [=](Pt p, float& a) {
                    a = 0.45f + 0.4f * depth;
                    return c * Brush(p, 1.57f, 3, seed + i, 0.25f);
                },
                2.5f);
        }
        cv.Wash(0, 0, kW, kH, [&](Pt p, float& a) {
            a = 0.5f * Smooth(0.45f, 0.75f, Fbm(p.x / 22, p.y / 22, seed + 4)) * Smooth(150, 40, p.y);
            return Mix(bottom, glow, 0.3f);
        });
    } else if (scene == "fire") {
        cv.Wash(0, 120, kW, kH, [&](Pt p, float& a) {
            a = 0.55f * Smooth(120, 260, p.y) * (0.5f + Fbm(p.x / 18, p.y / 30 - 2, seed));
            return Hex(0xFF9A3A);
        });
        for (int i = 0; i < 30; ++i) {
            const Pt e{Rand(i, 1, seed) * kW, 20 + Rand(i, 2, seed) * 200};
            Ellipse(cv, e, 0.9f + Rand(i, 3, seed), 0.9f + Rand(i, 3, seed), Solid(Hex(0xFFD080)), 0.8f,
                    0.4f + 0.5f * Rand(i, 4, seed));
        }
    } else if (scene == "palace") {
        for (int i = 0; i < 4; ++i) {
            const float x = i < 2 ? 14 + i * 34.0f : kW - 14 - (i - 2) * 34.0f;
            cv.Paint(
                x - 10, 0, x + 10, kH, [=](Pt p) { return std::fabs(p.x - x) - 8; },
                [&, x](Pt p, float& a) {
                    a = 0.75f;
                    const float l = Clamp01(0.5f - (p.x - x) / 14);
                    return Ramp(Hex(0x3A0A10), Hex(0x8A1E1E), Hex(0xC8503A), l) * Brush(p, 1.57f, 2, seed, 0.2f);
                },
                1.5f);
        }
        cv.Wash(0, 0, kW, 30, [&](Pt p, float& a) {
            a = 0.8f * Smooth(30, 10, p.y);
            return Mix(Hex(0x5A1A14), Hex(0xD8A040), 0.5f + 0.5f * std::sin(p.x / 4) * Smooth(26, 16, p.y));
        });
    } else if (scene == "lamps") {
        for (int i = 0; i < 6; ++i) {
            const Pt c{Rand(i, 1, seed) * kW, 20 + Rand(i, 2, seed) * 130};
            const float r = 10 + 16 * Rand(i, 3, seed);
            Ellipse(
                cv, c, r, r,
                [&](Pt p, float& a) {
                    a = 0.45f * Clamp01(1 - Len(p - c) / r * 0.6f);
                    return Mix(glow, Hex(0xFFB050), 0.5f);
                },
                6);
        }
    } else if (scene == "night") {
        for (int i = 0; i < 40; ++i)
            Ellipse(cv, {Rand(i, 1, seed) * kW, Rand(i, 2, seed) * 150}, 0.7f, 0.7f, Solid(Hex(0xF4F4EC)), 0.3f,
                    Rand(i, 3, seed));
    }
    // Soft haze behind the head, so the figure stands free of the scene.
    Ellipse(cv, {kCx, 112}, 80, 96, [&](Pt p, float& a) {
        const float d = Len(Pt{(p.x - kCx) / 80, (p.y - 112) / 96});
        a = 0.45f * (1 - d) * (1 - d);
        return glow;
    });
}

// [SECTION] Props behind the shoulders

Col Wood(Pt p, float light) {
    return Ramp(Hex(0x3A2414), Hex(0x7A5232), Hex(0xB88A5A), light) * Brush(p, 1.2f, 1.5f, 77, 0.25f);
}

void PaintProp(Canvas& cv, const TSitter& s) {
    if (s.prop == "spear") {
        const Pt a{150, 262}, b{172, 30};
        Line(cv, a, b, 2.6f, 2.2f, [](Pt p, float&) { return Wood(p, 0.45f); });
        Line(cv, {a.x - 1, a.y}, {b.x - 1, b.y}, 0.8f, 0.6f, Solid(Hex(0xC89A68)), 0, 0.6f);
        // Leaf blade with a lit and a shaded half, red tassel below it.
        Poly(cv, {{b.x - 5, b.y + 2}, {b.x + 2, b.y - 34}, {b.x + 5, b.y + 2}, {b.x, b.y + 6}},
             [&](Pt p, float&) { return p.x < b.x + 0.5f - (p.y - b.y) * 0.1f ? Hex(0xDDE4EA) : Hex(0x7A8690); });
        for (int i = 0; i < 7; ++i)
            Line(cv, {b.x, b.y + 8}, {b.x - 8 + i * 2.4f, b.y + 30 + (i % 3) * 3.0f}, 1.4f, 0.6f,
                 Solid(Mix(Hex(0x8A1818), Hex(0xD04030), i / 7.0f)));
        Ellipse(cv, {b.x, b.y + 7}, 3.5f, 2.5f, Solid(Hex(0x3A2A20)));
    } else if (s.prop == "bow") {
        const auto arc = Bezier({118, 28}, {205, 120}, {150, 258}, 16);
        Stroke(cv, arc, 2.2f, 2.8f, [](Pt p, float&) { return Wood(p, 0.6f); });
        Line(cv, {118, 28}, {150, 258}, 0.5f, 0.5f, Solid(Hex(0xE8DCC0)), 0, 0.8f);
        Line(cv, {130, 40}, {128, 92}, 1.2f, 1.2f, Solid(Hex(0x6A4A30)));  // arrow shafts in the quiver
        for (int i = 0; i < 3; ++i) {
            const float x = 30 + i * 7.0f;
            Line(cv, {x, 200}, {x - 14, 150}, 1.1f, 1.1f, Solid(Hex(0x8A6A44)));
            Poly(cv, {{x - 14, 150}, {x - 20, 140}, {x - 11, 146}}, Solid(Hex(0xE6E0D4)));
            Poly(cv, {{x - 14, 150}, {x - 22, 152}, {x - 16, 142}}, Solid(Hex(0xB04030)));
        }
    } else if (s.prop == "sword") {
        // A sword slung across the back: grip and guard above the left shoulder.
        const Pt a{58, 190}, b{26, 118};
        Line(cv, a, b, 3.2f, 2.8f, [](Pt p, float&) { return Mix(Hex(0x2A1E1A), Hex(0x6A4A3A), Fbm(p.x, p.y, 3)); });
        Line(cv, {a.x - 12, a.y + 6}, {a.x + 10, a.y - 6}, 2.4f, 2.4f, Solid(Hex(0xC8A048)));
        Ellipse(cv, b, 4, 4,
                [&](Pt p, float&) { return Ramp(Hex(0x6A5020), Hex(0xC8A048), Hex(0xFFF0B0), DomeLight(p, b, 4, 4)); });
        Stroke(cv, Bezier(b, {b.x - 8, b.y + 14}, {b.x - 4, b.y + 30}), 1.2f, 0.5f, Solid(Hex(0xC23A2E)));
        Ellipse(cv, {a.x + 3, a.y + 2}, 4, 3, Solid(Hex(0x2A3A44)));
    } else if (s.prop == "axe") {
        const Pt a{150, 262}, b{160, 58};
        Line(cv, a, b, 3.2f, 2.8f, [](Pt p, float&) { return Wood(p, 0.4f); });
        Poly(
            cv,
            {{b.x - 2, b.y + 6}, {b.x + 26, b.y - 14}, {b.x + 30, b.y + 10}, {b.x + 24, b.y + 32}, {b.x - 2, b.y + 22}},
            [&](Pt p, float&) {
                const float edge = Smooth(b.x + 18, b.x + 28, p.x);
                return Mix(Ramp(Hex(0x30343A), Hex(0x5A626A), Hex(0x9AA4AC), 0.6f - (p.y - b.y) / 60), Hex(0xE8EEF2),
                           edge * 0.8f);
            });
        Poly(cv, {{b.x + 2, b.y + 4}, {b.x - 12, b.y + 10}, {b.x - 12, b.y + 18}, {b.x + 2, b.y + 22}},
             Solid(Hex(0x4A5058)));
    } else if (s.prop == "oar") {
        const Pt a{152, 262}, b{166, 60};
        Line(cv, a, b, 2.8f, 2.6f, [](Pt p, float&) { return Wood(p, 0.55f); });
        Poly(cv,
             {{b.x - 3, b.y + 20},
              {b.x - 10, b.y - 10},
              {b.x - 6, b.y - 40},
              {b.x + 6, b.y - 40},
              {b.x + 10, b.y - 10},
              {b.x + 3, b.y + 20}},
             [&](Pt p, float&) { return Wood(p, 0.75f - (p.x - b.x) / 30); });
    } else if (s.prop == "staff") {
        const auto staff = Bezier({36, 262}, {26, 150}, {30, 40}, 10);
        Stroke(cv, staff, 3.0f, 2.6f, [](Pt p, float&) { return Wood(p, 0.5f - (p.x - 30) / 12); });
        Ellipse(cv, {30, 38}, 4.5f, 4.5f, [](Pt p, float&) { return Wood(p, DomeLight(p, {30, 38}, 4.5f, 4.5f)); });
        if (s.hairStyle == "elder") {  // a healer's gourd on a cord
            Line(cv, {30, 60}, {22, 80}, 0.6f, 0.6f, Solid(Hex(0xC23A2E)));
            Ellipse(cv, {21, 86}, 5, 6, [](Pt p, float&) {
                return Ramp(Hex(0x6A4418), Hex(0xC89040), Hex(0xF0D090), DomeLight(p, {21, 86}, 5, 6));
            });
            Ellipse(cv, {21, 100}, 8, 9, [](Pt p, float&) {
                return Ramp(Hex(0x6A4418), Hex(0xC89040), Hex(0xF0D090), DomeLight(p, {21, 100}, 8, 9));
            });
        } else {  // an iron ring at the top
            cv.Paint(
                20, 26, 40, 46,
                [](Pt p) {
                    return std::fabs(SdCircle(p, {30, 34}, 7)) - 1.4f;
                },
                [](Pt p, float&) {
                    return Ramp(Hex(0x2A2A2E), Hex(0x7A7A80), Hex(0xD8D8DC), DomeLight(p, {30, 34}, 8, 8));
                });
        }
    }
}

// [SECTION] Body

void PaintBody(Canvas& cv, const TSitter& s, const Head& h, const Palette& pl, std::uint32_t seed) {
    const float broad = 0.85f + 0.25f * (s.faceW - 0.9f) / 0.3f + (Female(s) ? -0.08f : 0.0f);
    const float sw = 78 * broad;
    // Neck, shaded below the jaw.
    Poly(cv,
         {{h.cx - h.rx * 0.5f, h.cy + h.ry * 0.4f},
          {h.cx + h.rx * 0.5f, h.cy + h.ry * 0.4f},
          {h.cx + h.rx * 0.58f, 200},
          {h.cx - h.rx * 0.58f, 200}},
         [&](Pt p, float&) {
             const float shade =
                 Smooth(h.chinY + 12, h.chinY - 2, p.y) * 0.7f + Smooth(h.cx - 6, h.cx + 14, p.x) * 0.3f;
             return Mix(pl.skin, pl.skinDark, shade);
         });
    // Shoulders and robe.
    const std::vector<Pt> robe{{kCx - sw - 30, kH + 2}, {kCx - sw - 14, 214}, {kCx - sw + 4, 194},
                               {kCx - 34, 182},         {kCx - 18, 174},      {kCx + 18, 174},
                               {kCx + 34, 182},         {kCx + sw - 4, 194},  {kCx + sw + 14, 214},
                               {kCx + sw + 30, kH + 2}};
    const Col robeDark = Mix(s.robe * 0.45f, Hex(0x1C2C50), 0.2f), robeLight = Mix(Tone(s.robe, 0.3f), s.glow, 0.2f);
    auto cloth = [&](Pt p, float&) {
        float l = DomeLight(p, {kCx - 10, 250}, sw + 20, 90) * 0.9f + 0.05f;
        l += 0.18f * Strokes(p.x, p.y, 1.2f + (p.x - kCx) / 120, 5, seed + 21);
        l -= 0.25f * Smooth(196, 176, p.y) * Smooth(30, 0, std::fabs(p.x - kCx));  // under the chin
        return Ramp(robeDark, s.robe, robeLight, Clamp01(l));
    };
    Poly(cv, robe, cloth);
    // Shadow of the head on the chest.
    Ellipse(cv, {kCx + 4, 186}, 30, 10, Solid(robeDark * 0.7f), 8, 0.5f);

    const std::string& style = s.robeStyle;
    const Col trimDark = s.trim * 0.6f, trimLight = Tone(s.trim, 0.3f);
    auto band = [&](Pt p, float&) {
        return Ramp(trimDark, s.trim, trimLight, Clamp01(DomeLight(p, {kCx - 10, 230}, 80, 80) + 0.1f)) *
               Brush(p, 1.0f, 2, seed + 5, 0.12f);
    };
    if (style == "cross" || style == "armour" || style == "fur") {
        // The under-robe in the V of the collar, then the two crossing lapels.
        Poly(cv, {{kCx - 20, 172}, {kCx + 20, 172}, {kCx + 2, 222}}, [&](Pt p, float&) {
            return Mix(s.inner, s.inner * 0.62f, Smooth(200, 176, p.y) * 0.6f + Smooth(kCx - 8, kCx + 14, p.x) * 0.3f);
        });
        Poly(cv, {{kCx - 24, 174}, {kCx - 14, 172}, {kCx + 12, 226}, {kCx + 4, 236}}, band);
        Poly(cv, {{kCx + 24, 174}, {kCx + 14, 172}, {kCx - 22, kH + 2}, {kCx - 36, kH + 2}}, band);
        Line(cv, {kCx + 14, 172}, {kCx - 22, kH}, 0.6f, 0.6f, Solid(trimDark * 0.6f), 0.5f, 0.7f);
    }
    if (style == "armour") {
        // Lamellar armour over the torso: rows of small lacquered plates following the
        // curve of the shoulders, laced in red, with a gilded edge, under the collar.
        const Col metal = Mix(Hex(0x6E7A86), s.robe, 0.4f);
        cv.Paint(
            kCx - sw - 34, 184, kCx + sw + 34, kH + 2, [&](Pt p) { return std::max(SdPolygon(p, robe), 190 - p.y); },
            [&](Pt p, float&) {
                const float dx = p.x - kCx;
                const float y = p.y - 0.0035f * dx * dx;
                const float row = std::fmod(y + 400, 10.0f);
                const int rowIndex = static_cast<int>((y + 400) / 10);
                const float col = std::fmod(p.x + 400 + (rowIndex % 2) * 4.0f, 8.0f);
                const float l = DomeLight(p, {kCx - 10, 240}, sw + 20, 80);
                Col plate = Ramp(metal * 0.3f, metal, Tone(metal, 0.45f), Clamp01(l + 0.25f - row / 18));
                if (col < 0.8f) plate = plate * 0.78f;
                if (row > 8.8f) plate = Mix(Hex(0xA82828), plate, 0.5f);
                return plate;
            });
        cv.Paint(
            kCx - sw - 34, 182, kCx + sw + 34, 196,
            [&](Pt p) { return std::max(std::fabs(SdPolygon(p, robe)) - 1.6f, std::fabs(p.y - 190) - 3.0f); },
            Solid(s.trim));
        Poly(cv, {{kCx - 20, 172}, {kCx + 20, 172}, {kCx + 2, 222}}, Solid(s.inner * 0.8f));
        Poly(cv, {{kCx - 24, 174}, {kCx - 14, 172}, {kCx + 12, 226}, {kCx + 4, 236}}, band);
        Poly(cv, {{kCx + 24, 174}, {kCx + 14, 172}, {kCx - 22, kH + 2}, {kCx - 36, kH + 2}}, band);
    } else if (style == "fur") {
        // A fur collar: a ring of soft tufts around the neck.
        cv.Paint(
            kCx - 80, 164, kCx + 80, 226,
            [&](Pt p) {
                const float d = SdEllipse(p, {kCx, 190}, 64, 18);
                const float ang = std::atan2(p.y - 190, p.x - kCx);
                return d - 4 * Noise(ang * 12, 0, seed + 13) - 2 * Noise(ang * 31, 1, seed + 14);
            },
            [&](Pt p, float&) {
                const float l = DomeLight(p, {kCx - 8, 182}, 70, 26);
                const float strand = Strokes(p.x, p.y, std::atan2(p.y - 150, p.x - kCx), 0.8f, seed + 15);
                return Ramp(s.trim * 0.3f, s.trim, Tone(s.trim, 0.3f), Clamp01(l * 0.9f + strand * 0.9f));
            },
            2.0f);
        Poly(cv, {{kCx - 14, 170}, {kCx + 14, 170}, {kCx + 9, 186}, {kCx - 9, 186}},
             Solid(Mix(pl.skin, pl.skinDark, 0.55f)));
    } else if (style == "open") {
        // An open jacket over a bare, hairy chest.
        Poly(cv, {{kCx - 24, 172}, {kCx + 24, 172}, {kCx + 30, kH + 2}, {kCx - 30, kH + 2}}, [&](Pt p, float&) {
            const float l = DomeLight(p, {kCx - 8, 220}, 40, 60);
            Col c = Ramp(pl.skinDark * 0.8f, pl.skin, pl.skinLight, l * 0.9f);
            const float hair = Smooth(0.55f, 0.75f, Fbm(p.x / 1.5f, p.y / 3, seed + 30)) * Smooth(196, 230, p.y) * 0.6f;
            return Mix(c, pl.hairDark, hair);
        });
        Ellipse(cv, {kCx - 12, 214}, 14, 6, Solid(pl.skinDark), 4, 0.35f);
        Ellipse(cv, {kCx + 12, 214}, 14, 6, Solid(pl.skinDark), 4, 0.45f);
        for (int side = -1; side <= 1; side += 2)
            Poly(cv,
                 {{kCx + side * 22.0f, 172},
                  {kCx + side * 30.0f, 172},
                  {kCx + side * 36.0f, kH + 2},
                  {kCx + side * 26.0f, kH + 2}},
                 band);
    } else if (style == "vest") {
        Poly(cv, {{kCx - 26, 174}, {kCx + 26, 174}, {kCx + 28, kH + 2}, {kCx - 28, kH + 2}}, [&](Pt p, float&) {
            const float l = DomeLight(p, {kCx - 8, 230}, 40, 60);
            return Ramp(s.inner * 0.55f, s.inner * 0.85f, s.inner, l) * Brush(p, 1.4f, 3, seed + 31, 0.15f);
        });
        Poly(cv, {{kCx - 14, 172}, {kCx + 14, 172}, {kCx, 196}}, Solid(Mix(pl.skin, pl.skinDark, 0.35f)));
        Line(cv, {kCx - 15, 172}, {kCx, 198}, 1.2f, 1.2f, Solid(s.inner * 0.7f));
        Line(cv, {kCx + 15, 172}, {kCx, 198}, 1.2f, 1.2f, Solid(s.inner * 0.7f));
        for (int side = -1; side <= 1; side += 2)
            Poly(cv,
                 {{kCx + side * 26.0f, 180},
                  {kCx + side * 18.0f, 200},
                  {kCx + side * 18.0f, kH + 2},
                  {kCx + side * 60.0f, kH + 2},
                  {kCx + side * 56.0f, 186}},
                 cloth);
    } else if (style == "court") {
        // A round collar, a gold-edged neckline and an embroidered badge on the chest.
        Ellipse(cv, {kCx, 180}, 24, 11, Solid(s.inner * 0.85f));
        Ellipse(cv, {kCx, 176}, 19, 7, Solid(Mix(pl.skin, pl.skinDark, 0.45f)));
        cv.Paint(
            kCx - 30, 166, kCx + 30, 196,
            [&](Pt p) {
                return std::fabs(SdEllipse(p, {kCx, 180}, 24, 11)) - 1.6f;
            },
            Solid(s.trim));
        const Pt b{kCx, 228};
        Poly(cv, {{b.x - 26, b.y - 22}, {b.x + 26, b.y - 22}, {b.x + 26, b.y + 30}, {b.x - 26, b.y + 30}},
             [&](Pt p, float&) {
                 const float swirl = std::sin(Len(p - b) / 2.2f + std::atan2(p.y - b.y, p.x - b.x) * 3);
                 return Mix(Mix(s.robe * 0.7f, s.trim * 0.85f, 0.5f + 0.5f * swirl), Hex(0xF6E6A0),
                            0.3f * (1 - Clamp01(Len(p - Pt{b.x - 8, b.y - 10}) / 30)));
             });
        cv.Paint(
            b.x - 30, b.y - 26, b.x + 30, b.y + 34,
            [&](Pt p) { return std::fabs(std::max(std::fabs(p.x - b.x) - 26, std::fabs(p.y - b.y - 4) - 26)) - 1.3f; },
            Solid(s.trim));
        Ellipse(cv, {b.x, b.y}, 9, 9,
                [&](Pt p, float&) { return Ramp(Hex(0x5A4010), s.trim, Hex(0xFFF4C0), DomeLight(p, b, 9, 9)); });
    }
}

// [SECTION] Face

void PaintEar(Canvas& cv, const Head& h, const Palette& pl, int side) {
    const Pt c{h.cx + side * (h.rx * 0.96f), h.eyeY + 6};
    Ellipse(cv, c, 5.5f, 9.5f, [&](Pt p, float&) {
        return Ramp(pl.skinDark, pl.skin, pl.skinLight, DomeLight(p, c, 5.5f, 9.5f) * (side < 0 ? 1.0f : 0.8f));
    });
    Ellipse(cv, {c.x + side * 0.8f, c.y}, 2.2f, 5.5f, Solid(pl.skinDark), 1.5f, 0.6f);
}

void PaintFace(Canvas& cv, const TSitter& s, const Head& h, const Palette& pl, std::uint32_t seed) {
    const float jaw = s.jaw;
    auto sd = [&](Pt p) { return SdFace(p, h, jaw); };
    cv.Paint(h.cx - h.rx - 2, h.cy - h.ry - 2, h.cx + h.rx + 2, h.cy + h.ry + 2, sd, [&](Pt p, float&) {
        float l = DomeLight(p, {h.cx, h.cy - 4}, h.rx * 1.15f, h.ry * 1.2f);
        const float rim = Smooth(0, 7, -sd(p));
        l = l * (0.55f + 0.45f * rim) + 0.06f;
        Col c = Ramp(pl.skinDark, pl.skin, pl.skinLight, Clamp01(l * 1.05f));
        // Warm cheeks and nose, cooler jaw, a faint bounce light on the shaded edge.
        const float cheeks =
            std::exp(-std::pow(Len(Pt{(std::fabs(p.x - h.cx) - h.rx * 0.52f) / 9, (p.y - h.noseY + 3) / 8}), 2.0f));
        c = Mix(c, Hex(0xC8504A), 0.16f * cheeks);
        c = Mix(c, Hex(0x7A6A78), 0.12f * Smooth(h.mouthY, h.chinY, p.y) * (1 - rim * 0.5f));
        c = Mix(c, s.glow, 0.18f * (1 - rim) * Smooth(h.cx, h.cx + h.rx, p.x));
        return c * Brush(p, 0.3f, 2.5f, seed + 40, 0.06f);
    });
    // The brow ridge throws a soft shadow into the eye sockets; cheekbones catch light.
    for (int side = -1; side <= 1; side += 2) {
        const float ex = h.cx + side * h.eyeDx;
        Ellipse(cv, {ex, h.eyeY - 1}, 10, 6, Solid(pl.skinDark), 4, side < 0 ? 0.28f : 0.38f);
        Ellipse(cv, {ex - 2 + side * 2, h.eyeY + 10}, 8, 4, Solid(pl.skinLight), 4, side < 0 ? 0.35f : 0.12f);
    }
    // Shadow of the nose and the side of the face away from the light.
    cv.Paint(h.cx - h.rx, h.cy - h.ry, h.cx + h.rx, h.cy + h.ry, sd, [&](Pt p, float& a) {
        a = 0.25f * Smooth(h.cx + h.rx * 0.25f, h.cx + h.rx, p.x);
        return pl.skinDark;
    });
    if (s.age > 0.25f) {
        const float k = (s.age - 0.25f) / 0.75f;
        for (int side = -1; side <= 1; side += 2) {
            Stroke(cv,
                   Bezier({h.cx + side * 7.0f, h.noseY - 2}, {h.cx + side * 12.0f, h.noseY + 6},
                          {h.cx + side * 11.0f, h.mouthY + 5}, 8),
                   0.9f, 0.4f, Solid(pl.skinDark), 1.2f, 0.5f * k);
            Stroke(cv,
                   Bezier({h.cx + side * (h.eyeDx + 7), h.eyeY + 1}, {h.cx + side * (h.eyeDx + 10), h.eyeY + 3},
                          {h.cx + side * (h.eyeDx + 10), h.eyeY + 6}, 4),
                   0.5f, 0.3f, Solid(pl.skinDark), 0.6f, 0.5f * k);
        }
        for (int i = 0; i < 2; ++i)
            Stroke(cv,
                   Bezier({h.cx - 12, h.browY - 7 - i * 4.0f}, {h.cx, h.browY - 9 - i * 4.0f},
                          {h.cx + 12, h.browY - 7 - i * 4.0f}, 8),
                   0.5f, 0.5f, Solid(pl.skinDark), 0.8f, 0.35f * k);
    }
}

void PaintEye(Canvas& cv, const TSitter& s, const Head& h, const Palette& pl, int side) {
    const float ex = h.cx + side * h.eyeDx, ey = h.eyeY;
    float w = 6.8f, up = 3.2f, down = 2.2f, tilt = 0;
    const std::string& e = s.eyes;
    if (e == "narrow") up = 2.2f, down = 1.5f;
    if (e == "wide") up = 4.2f, down = 3.0f, w = 7.2f;
    if (e == "fierce") up = 3.0f, down = 2.0f, tilt = 0.16f;
    if (e == "kind") up = 2.9f, down = 1.6f, tilt = -0.05f;
    if (e == "sly") up = 2.0f, down = 1.4f, tilt = 0.22f, w = 7.4f;
    // Local frame: x outwards from the nose, y down, rotated so the outer corner rises by tilt.
    const float ct = std::cos(tilt), st = std::sin(tilt);
    auto local = [=](Pt p) {
        const float dx = (p.x - ex) * side, dy = p.y - ey;
        return Pt{dx * ct - dy * st, dx * st + dy * ct};
    };
    auto world = [=](Pt q) {
        const float dx = q.x * ct + q.y * st, dy = -q.x * st + q.y * ct;
        return Pt{ex + dx * side, ey + dy};
    };
    const float ru = (w * w + up * up) / (2 * up), rd = (w * w + down * down) / (2 * down);
    auto lens = [=](Pt p) {
        const Pt q = local(p);
        return std::max(SdCircle(q, {0, ru - up}, ru), SdCircle(q, {0, -(rd - down)}, rd));
    };
    const Col white = Mix(Hex(0xEEE6DC), pl.skin, 0.25f);
    cv.Paint(ex - w - 2, ey - up - 2, ex + w + 2, ey + down + 2, lens,
             [&](Pt p, float&) { return Mix(white, pl.skinDark, Smooth(ey + 1, ey - up, p.y) * 0.55f); });
    const float look = side * -0.4f;
    const Pt ic{ex + look, ey + 0.2f};
    const float ir = std::min(3.1f, up + down - 1.2f);
    const Col iris = Mix(Hex(0x3A2216), Hex(0x1A1410), 0.3f);
    cv.Paint(
        ic.x - ir - 1, ic.y - ir - 1, ic.x + ir + 1, ic.y + ir + 1,
        [=](Pt p) { return std::max(SdCircle(p, ic, ir), lens(p)); },
        [&](Pt p, float&) { return Mix(iris, Hex(0x8A5A34), Smooth(ic.y - 1, ic.y + ir, p.y) * 0.7f); });
    cv.Paint(
        ic.x - 2, ic.y - 2, ic.x + 2, ic.y + 2, [=](Pt p) { return std::max(SdCircle(p, ic, 1.3f), lens(p)); },
        Solid(Hex(0x0C0A0A)));
    // Upper lid line, heavier at the outer corner, and a crease above.
    std::vector<Pt> lid;
    for (int i = 0; i <= 10; ++i) {
        const float x = -w + 2 * w * i / 10.0f;
        const float y = (ru - up) - std::sqrt(std::max(0.0f, ru * ru - x * x));
        lid.push_back(world({x, y}));
    }
    const Col lidCol = Mix(pl.hairDark, pl.skinDark * 0.5f, 0.5f);
    Stroke(cv, lid, 0.55f, Female(s) ? 1.2f : 0.9f, Solid(lidCol));
    if (Female(s)) Line(cv, lid.back(), world({w + 2.2f, -up * 0.5f - 1.2f}), 0.8f, 0.2f, Solid(lidCol));
    std::vector<Pt> crease;
    for (Pt q : {Pt{-w * 0.6f, -up - 1.6f}, Pt{0, -up - 2.6f}, Pt{w * 0.9f, -up - 1.2f}}) crease.push_back(world(q));
    Stroke(cv, Bezier(crease[0], crease[1], crease[2], 6), 0.4f, 0.4f, Solid(pl.skinDark), 0.4f, 0.55f);
    Stroke(cv, Bezier(world({-w * 0.7f, down * 0.8f}), world({0, down + 0.6f}), world({w * 0.9f, down * 0.3f}), 6),
           0.3f, 0.3f, Solid(pl.skinDark), 0.3f, 0.45f);
    if (e == "kind")
        Stroke(
            cv,
            Bezier(world({-w * 0.3f, down + 2.4f}), world({w * 0.4f, down + 3.2f}), world({w * 1.1f, down + 0.8f}), 6),
            0.35f, 0.2f, Solid(pl.skinDark), 0.4f, 0.5f);
    Ellipse(cv, {ic.x - 1.0f, ic.y - 1.1f}, 0.8f, 0.8f, Solid(Hex(0xFFFFFF)), 0.2f, 0.9f);
}

void PaintBrow(Canvas& cv, const TSitter& s, const Head& h, const Palette& pl, int side, std::uint32_t seed) {
    float r0 = 1.6f, r1 = 0.7f, lift = 0, arch = 2.0f;
    if (s.brows == "thin") r0 = 0.9f, r1 = 0.4f, arch = 2.4f;
    if (s.brows == "thick") r0 = 2.5f, r1 = 1.3f;
    if (s.brows == "wild") r0 = 3.2f, r1 = 1.8f, arch = 1.0f;
    if (s.eyes == "fierce" || s.mouth == "frown") lift = 2.4f;
    if (s.eyes == "kind") lift = -1.5f;
    if (s.eyes == "sly") lift = 1.0f, arch = 3.0f;
    const float in = h.cx + side * 4.5f, out = h.cx + side * (h.eyeDx + 9);
    const Col c = Mix(pl.hair, pl.skinDark, 0.15f);
    Stroke(
        cv, Bezier({in, h.browY + lift}, {(in + out) / 2, h.browY - arch}, {out, h.browY + 1.5f}, 10), r0, r1,
        [&](Pt p, float& a) {
            a = 0.75f + 0.25f * Strokes(p.x, p.y, 0.3f * side, 0.7f, seed + 50);
            return c;
        },
        0.5f);
    if (s.brows == "wild")
        for (int i = 0; i < 6; ++i) {
            const float x = in + (out - in) * i / 6.0f;
            Line(cv, {x, h.browY - 1}, {x + side * 4.0f, h.browY - 5 - 2 * Rand(i, side, seed)}, 0.7f, 0.2f, Solid(c));
        }
}

void PaintNose(Canvas& cv, const Head& h, const Palette& pl, float width) {
    const float ny = h.noseY, cx = h.cx;
    Line(cv, {cx + 2.5f, h.eyeY + 2}, {cx + 3.5f, ny - 3}, 1.6f, 2.2f, Solid(pl.skinDark), 2, 0.30f);
    Line(cv, {cx - 1.5f, h.eyeY + 4}, {cx - 1.2f, ny - 4}, 0.9f, 1.4f, Solid(pl.skinLight), 1.5f, 0.35f);
    Ellipse(cv, {cx - 0.8f, ny - 2.2f}, 3.2f * width, 2.6f, Solid(pl.skinLight), 1.5f, 0.35f);
    for (int side = -1; side <= 1; side += 2) {
        Ellipse(cv, {cx + side * 4.6f * width, ny - 0.6f}, 2.4f, 2.2f, Solid(pl.skinDark), 1.2f,
                side < 0 ? 0.25f : 0.4f);
        Ellipse(cv, {cx + side * 2.4f * width, ny + 0.4f}, 1.4f, 0.8f, Solid(pl.skinDark * 0.6f), 0.4f, 0.75f);
    }
    Ellipse(cv, {cx + 1, ny + 3.5f}, 5, 1.6f, Solid(pl.skinDark), 1.5f, 0.3f);
}

void PaintMouth(Canvas& cv, const TSitter& s, const Head& h, const Palette& pl) {
    const float my = h.mouthY, mw = h.mouthW * (Female(s) ? 0.85f : 1.0f), cx = h.cx;
    float left = 0, right = 0, mid = 0.6f;
    const std::string& m = s.mouth;
    if (m == "smile") left = right = -2.2f, mid = 1.2f;
    if (m == "frown") left = right = 2.0f, mid = -0.6f;
    if (m == "stern") left = right = 0.5f, mid = 0;
    if (m == "smirk") left = 0.4f, right = -2.6f, mid = 0.5f;
    if (m == "grin") left = right = -2.6f, mid = 2.2f;
    const Col line = Mix(pl.lip * 0.45f, pl.hairDark, 0.3f);
    // Lips: the upper in shade, the lower catching light.
    Ellipse(cv, {cx, my - 1.6f}, mw * 0.8f, 2.0f, Solid(pl.lip * 0.8f), 0.8f, Female(s) ? 0.8f : 0.45f);
    Ellipse(
        cv, {cx - 0.5f, my + 2.6f}, mw * 0.66f, 2.4f,
        [&](Pt p, float&) { return Mix(pl.lip, pl.skinLight, Smooth(my + 4.5f, my + 1, p.y) * 0.4f); }, 0.8f,
        Female(s) ? 0.85f : 0.5f);
    if (m == "grin") {
        const auto upper = Bezier({cx - mw, my + left}, {cx, my + 0.2f}, {cx + mw, my + right}, 10);
        const auto lower = Bezier({cx - mw, my + left}, {cx, my + mid + 3.5f}, {cx + mw, my + right}, 10);
        std::vector<Pt> open = upper;
        for (auto it = lower.rbegin(); it != lower.rend(); ++it) open.push_back(*it);
        Poly(cv, open, Solid(Hex(0x3A1414)));
        std::vector<Pt> teeth = upper;
        for (int i = 10; i >= 0; --i) teeth.push_back({upper[i].x, upper[i].y + 2.2f});
        Poly(cv, teeth, Solid(Hex(0xEDE4D4)));
    }
    Stroke(cv, Bezier({cx - mw, my + left}, {cx, my + mid}, {cx + mw, my + right}, 12), 0.5f, 0.5f, Solid(line), 0.4f);
    for (int side = -1; side <= 1; side += 2)
        Ellipse(cv, {cx + side * (mw + 0.6f), my + (side < 0 ? left : right)}, 1.0f, 1.0f, Solid(pl.skinDark), 1.0f,
                0.5f);
    Ellipse(cv, {cx, my + 6.5f}, 4.5f, 1.4f, Solid(pl.skinDark), 1.4f, 0.3f);
}

void PaintScar(Canvas& cv, const TSitter& s, const Head& h, const Palette& pl) {
    if (s.scar == "none") return;
    const Pt a = s.scar == "brow" ? Pt{h.cx + h.eyeDx - 6, h.browY - 10} : Pt{h.cx - h.eyeDx - 2, h.eyeY + 7};
    const Pt b = s.scar == "brow" ? Pt{h.cx + h.eyeDx + 6, h.eyeY + 12} : Pt{h.cx - h.eyeDx + 10, h.noseY + 8};
    Line(cv, a, b, 1.6f, 1.0f, Solid(Mix(pl.skinDark, Hex(0x8A3030), 0.4f)), 0.6f, 0.55f);
    Line(cv, a, b, 0.6f, 0.4f, Solid(pl.skinLight), 0.2f, 0.8f);
}

// [SECTION] Beard

void PaintBeard(Canvas& cv, const TSitter& s, const Head& h, const Palette& pl, std::uint32_t seed) {
    const std::string& b = s.beard;
    if (b == "none") return;
    const Col base = Mix(s.beardCol, Hex(0xC8C4BC), s.age > 0.5f ? (s.age - 0.5f) * 0.9f : 0.0f);
    const Col dark = base * 0.5f, light = Mix(Tone(base, 0.3f), s.glow, 0.2f);
    auto hairy = [&](float angle, float amount) {
        return [&, angle, amount](Pt p, float&) {
            const float l = DomeLight(p, {h.cx - 4, h.mouthY}, h.rx * 1.1f, h.ry * 0.8f);
            return Ramp(dark, base, light, Clamp01(l + amount * Strokes(p.x, p.y, angle, 0.6f, seed + 60)));
        };
    };
    const float cx = h.cx, my = h.mouthY, mw = h.mouthW;
    if (b == "stubble" || b == "full" || b == "wild") {
        cv.Paint(
            cx - h.rx, h.noseY, cx + h.rx, h.chinY + 2,
            [&](Pt p) {
                return std::max(SdFace(p, h, s.jaw), SdEllipse(p, {cx, my + 2}, h.rx * 0.98f, h.ry * 0.52f));
            },
            [&](Pt p, float& a) {
                const float near = Smooth(h.rx * 1.0f, h.rx * 0.45f, Len(Pt{p.x - cx, (p.y - my) * 1.4f}));
                a = (b == "stubble" ? 0.3f * near : 0.4f) *
                    (0.6f + 0.8f * (Noise(p.x * 1.3f, p.y * 1.3f, seed + 61) - 0.3f));
                return dark;
            },
            3);
    }
    if (b == "full" || b == "wild") {
        const float grow = b == "wild" ? 12 : 7;
        std::vector<Pt> shape;
        for (int i = 0; i <= 16; ++i) {
            const float t = i / 16.0f, ang = 3.14159f * (0.02f + 0.96f * t);
            const float r = 1.0f + (b == "wild" ? 0.12f * std::sin(i * 2.7f) : 0.0f);
            shape.push_back({cx + std::cos(ang) * (h.rx * 1.02f) * r,
                             h.noseY - 2 + std::sin(ang) * (h.chinY - h.noseY + grow) * r});
        }
        Poly(cv, shape, hairy(1.5f, 0.7f), b == "wild" ? 2.0f : 1.2f);
        if (b == "wild")
            for (int i = 0; i < 14; ++i) {
                const float ang = 3.14159f * (0.1f + 0.8f * i / 13.0f);
                const Pt root{cx + std::cos(ang) * h.rx * 0.9f, h.noseY + std::sin(ang) * (h.chinY - h.noseY + 6)};
                Line(cv, root, {root.x + std::cos(ang) * 8, root.y + std::sin(ang) * 9 + 2}, 1.6f, 0.2f,
                     hairy(ang, 0.4f));
            }
        // Mouth opening kept free in the beard.
        Ellipse(cv, {cx, my + 1}, mw * 0.8f, 3.2f, Solid(Mix(pl.lip, pl.skinDark, 0.4f)), 0.8f, 0.9f);
        Stroke(cv, Bezier({cx - mw * 0.8f, my}, {cx, my + (s.mouth == "grin" ? 3.0f : 0.5f)}, {cx + mw * 0.8f, my}, 8),
               0.7f, 0.7f, Solid(Mix(pl.lip * 0.4f, pl.hairDark, 0.4f)));
        if (s.mouth == "grin")
            Poly(cv,
                 {{cx - mw * 0.7f, my - 0.6f},
                  {cx + mw * 0.7f, my - 0.6f},
                  {cx + mw * 0.5f, my + 1.6f},
                  {cx - mw * 0.5f, my + 1.6f}},
                 Solid(Hex(0xEDE4D4)));
    }
    if (b == "goatee" || b == "neat") {
        Poly(cv, {{cx - 5, my + 5}, {cx + 5, my + 5}, {cx + 3, h.chinY + 6}, {cx, h.chinY + 10}, {cx - 3, h.chinY + 6}},
             hairy(1.57f, 0.8f), 1.2f);
    }
    if (b == "long") {
        Stroke(cv, Bezier({cx, my + 5}, {cx - 1, h.chinY + 20}, {cx + 2, h.chinY + 48}, 12), 5, 0.8f,
               hairy(1.57f, 0.8f), 1.0f);
    }
    if (b == "moustache" || b == "neat" || b == "full" || b == "wild" || b == "long") {
        const float droop = b == "long" ? 18 : b == "moustache" ? 6 : 3;
        for (int side = -1; side <= 1; side += 2)
            Stroke(cv,
                   Bezier({cx + side * 1.0f, h.noseY + 3.2f}, {cx + side * (mw + 1), my - 3},
                          {cx + side * (mw + 3), my + droop}, 10),
                   2.3f, b == "long" ? 0.4f : 0.9f, hairy(0.4f * side, 0.6f), 0.6f);
    }
    if (b == "neat")
        for (int side = -1; side <= 1; side += 2)
            Stroke(cv,
                   Bezier({cx + side * (h.rx - 1), h.eyeY + 12}, {cx + side * (h.rx - 3), h.mouthY + 8},
                          {cx + side * 6.0f, h.chinY}, 10),
                   1.2f, 0.9f, hairy(1.2f, 0.5f), 0.8f, 0.85f);
}

// [SECTION] Hair and headdress

// Colour of hair at p: lit from the upper left, with strands along `angle`.
Col HairAt(Pt p, const Head& h, const Palette& pl, float angle, std::uint32_t seed) {
    const float l = DomeLight(p, {h.cx, h.cy - 10}, h.rx * 1.3f, h.ry * 1.3f);
    const float strand = Strokes(p.x, p.y, angle, 0.55f, seed + 70);
    const float sheen = std::exp(-std::pow((Len(p - Pt{h.cx - 8, h.cy - 20}) - h.rx * 0.85f) / 5, 2.0f)) *
                        Smooth(h.cx + 10, h.cx - 20, p.x);
    return Mix(Ramp(pl.hairDark, pl.hair, Tone(pl.hair, 0.15f), Clamp01(l + strand * 0.8f)), pl.hairLight,
               0.55f * sheen);
}

// The hair over the skull down to a hairline; `temple` sets how low it comes at the sides.
void PaintHairCap(Canvas& cv, const Head& h, const Palette& pl, std::uint32_t seed, float lift = 0, float parting = 0) {
    auto sd = [&](Pt p) {
        const float u = (p.x - h.cx) / h.rx;
        const float line = h.hairY + lift - 3 * std::cos(u * 1.6f) + 22 * std::pow(std::fabs(u), 3.0f);
        return std::max(SdEllipse(p, {h.cx, h.cy - 3}, h.rx * 1.07f, h.ry * 1.04f), p.y - line);
    };
    cv.Paint(
        h.cx - h.rx * 1.1f, h.cy - h.ry * 1.1f, h.cx + h.rx * 1.1f, h.cy + 10, sd,
        [&](Pt p, float&) {
            const float angle = parting != 0 ? (p.x < h.cx ? 2.2f : 0.9f) : std::atan2(p.y - (h.cy - h.ry), p.x - h.cx);
            return HairAt(p, h, pl, angle, seed);
        },
        0.8f);
    if (parting != 0)
        Line(cv, {h.cx, h.cy - h.ry - 2}, {h.cx + 1, h.hairY - 2}, 0.7f, 0.4f, Solid(pl.skinDark), 0.6f, 0.7f);
}

// Hair that falls behind the head and shoulders (painted before the body).
void PaintHairBehind(Canvas& cv, const TSitter& s, const Head& h, const Palette& pl, std::uint32_t seed) {
    const std::string& st = s.hairStyle;
    if (st == "ponytail") {
        Stroke(
            cv, Bezier({h.cx + 10, h.cy - h.ry - 4}, {h.cx + 58, h.cy - 30}, {h.cx + 44, 236}, 16), 7, 2.5f,
            [&](Pt p, float&) { return HairAt(p, h, pl, 1.3f, seed); }, 1.0f);
    } else if (st == "bun" || st == "updo" || st == "braid" || st == "scarfbun") {
        // Hair gathered behind the neck.
        Ellipse(cv, {h.cx, h.cy + 8}, h.rx * 1.12f, h.ry * 1.05f,
                [&](Pt p, float&) { return HairAt(p, h, pl, 1.57f, seed) * 0.8f; });
    } else if (st == "wild") {
        Ellipse(
            cv, {h.cx, h.cy - 8}, h.rx * 1.3f, h.ry * 1.15f,
            [&](Pt p, float&) { return HairAt(p, h, pl, 1.0f, seed) * 0.8f; }, 3);
    }
}

void PaintHeaddress(Canvas& cv, const TSitter& s, const Head& h, const Palette& pl, std::uint32_t seed) {
    const std::string& st = s.hairStyle;
    const Col acc = s.accent, acc2 = s.accent2;
    auto lit = [&](Col c, Pt centre, float rx, float ry) {
        return [=](Pt p, float&) { return Ramp(c * 0.4f, c, Tone(c, 0.35f), DomeLight(p, centre, rx, ry)); };
    };
    const float top = h.cy - h.ry;
    if (st == "topknot" || st == "elder") {
        PaintHairCap(cv, h, pl, seed, st == "elder" ? 4.0f : 0.0f);
        const Pt k{h.cx, top - 6};
        Ellipse(cv, k, 10, 9,
                [&](Pt p, float&) { return HairAt(p, h, pl, 0.2f, seed) * (0.7f + 0.5f * DomeLight(p, k, 10, 9)); });
        if (st == "topknot") {
            Poly(cv, {{k.x - 9, k.y + 4}, {k.x + 9, k.y + 4}, {k.x + 10, k.y + 9}, {k.x - 10, k.y + 9}},
                 lit(acc, k, 12, 8));
            Stroke(cv, Bezier({k.x + 8, k.y + 7}, {k.x + 22, k.y + 10}, {k.x + 26, k.y + 30}, 8), 1.6f, 0.6f,
                   Solid(acc * 0.85f));
            Stroke(cv, Bezier({k.x + 8, k.y + 7}, {k.x + 16, k.y + 16}, {k.x + 16, k.y + 34}, 8), 1.4f, 0.5f,
                   Solid(acc));
        } else {
            Line(cv, {k.x - 18, k.y + 2}, {k.x + 18, k.y - 3}, 1.1f, 0.9f, Solid(acc));
            Ellipse(cv, {k.x + 19, k.y - 3}, 2, 2, Solid(Tone(acc, 0.3f)));
        }
    } else if (st == "shaved") {
        // A bare scalp with a shadow of stubble and an iron circlet.
        cv.Paint(
            h.cx - h.rx - 2, top - 2, h.cx + h.rx + 2, h.cy,
            [&](Pt p) {
                return std::max(SdFace(p, h, s.jaw),
                                p.y - (h.hairY + 8 + 18 * std::pow(std::fabs((p.x - h.cx) / h.rx), 2.0f)));
            },
            [&](Pt, float& a) {
                a = 0.35f;
                return Mix(pl.hairDark, Hex(0x5A6070), 0.3f);
            },
            3);
        Ellipse(cv, {h.cx - 9, top + 12}, 9, 6, Solid(pl.skinLight), 5, 0.55f);
        cv.Paint(
            h.cx - h.rx - 3, h.hairY - 10, h.cx + h.rx + 3, h.hairY + 12,
            [&](Pt p) {
                const float u = (p.x - h.cx) / h.rx;
                const float y = h.hairY - 2 + 6 * u * u;
                return std::max(std::fabs(p.y - y) - 2.6f, SdFace(p, h, s.jaw) - 1.5f);
            },
            [&](Pt p, float&) {
                return Ramp(Hex(0x2A2620), acc, Hex(0xE8DCB0), DomeLight(p, {h.cx, h.hairY - 12}, h.rx, 16));
            });
    } else if (st == "ponytail") {
        PaintHairCap(cv, h, pl, seed, -2);
        cv.Paint(
            h.cx - h.rx - 3, h.hairY - 12, h.cx + h.rx + 3, h.hairY + 6,
            [&](Pt p) {
                const float u = (p.x - h.cx) / h.rx;
                const float y = h.hairY - 4 + 9 * u * u;
                return std::max(std::fabs(p.y - y) - 2.4f, SdEllipse(p, {h.cx, h.cy - 3}, h.rx * 1.08f, h.ry * 1.05f));
            },
            lit(acc, {h.cx, h.hairY - 10}, h.rx, 14));
        Stroke(cv,
               Bezier({h.cx + h.rx, h.hairY + 4}, {h.cx + h.rx + 16, h.hairY + 2}, {h.cx + h.rx + 22, h.hairY + 24}, 8),
               2.2f, 0.6f, Solid(acc));
        Stroke(
            cv,
            Bezier({h.cx + h.rx, h.hairY + 4}, {h.cx + h.rx + 10, h.hairY + 12}, {h.cx + h.rx + 10, h.hairY + 34}, 8),
            1.8f, 0.5f, Solid(acc * 0.8f));
        for (int i = 0; i < 3; ++i)  // loose strands over the forehead
            Stroke(cv,
                   Bezier({h.cx - 6 + i * 5.0f, h.hairY - 4}, {h.cx - 12 + i * 4.0f, h.hairY + 8},
                          {h.cx - 10 + i * 6.0f, h.browY - 2}, 8),
                   1.1f, 0.3f, [&](Pt p, float&) { return HairAt(p, h, pl, 1.8f, seed); });
    } else if (st == "hood") {
        // A hunter's hood framing the face, hair showing at the brow.
        PaintHairCap(cv, h, pl, seed, 2, 1);
        cv.Paint(
            h.cx - h.rx - 26, top - 22, h.cx + h.rx + 26, 200,
            [&](Pt p) {
                const float outer = std::min(SdEllipse(p, {h.cx, h.cy - 6}, h.rx + 15, h.ry + 14),
                                             SdPolygon(p, {{h.cx - h.rx - 14, h.cy - 4},
                                                           {h.cx + h.rx + 14, h.cy - 4},
                                                           {h.cx + h.rx + 40, 200},
                                                           {h.cx - h.rx - 40, 200}}));
                const float hole = SdEllipse(p, {h.cx, h.cy + 8}, h.rx * 0.98f, h.ry * 1.02f);
                const float below = p.y - 196;
                return std::max({outer, -hole, below});
            },
            [&](Pt p, float&) {
                const float l = DomeLight(p, {h.cx - 4, h.cy - 6}, h.rx + 22, h.ry + 22);
                const float fold = Strokes(p.x, p.y, 1.57f + (p.x - h.cx) / 120, 2.5f, seed + 80);
                const float inside = Smooth(6, 0, SdEllipse(p, {h.cx, h.cy + 8}, h.rx * 0.98f, h.ry * 1.02f));
                return Ramp(acc * 0.3f, acc, Tone(acc, 0.35f), Clamp01(l * 1.1f + fold * 0.25f - inside * 0.45f));
            },
            0.8f);
        // Leather strap across the chest for the quiver.
        Line(cv, {h.cx - 46, 196}, {h.cx + 40, kH}, 4, 4, lit(acc2, {h.cx, 220}, 60, 40));
    } else if (st == "helmet") {
        // An iron helmet: a ribbed bowl, a brim over the brow, plates over the ears, a tassel.
        const Pt c{h.cx, h.cy - 12};
        cv.Paint(
            h.cx - h.rx - 8, top - 14, h.cx + h.rx + 8, h.browY + 2,
            [&](Pt p) { return std::max(SdEllipse(p, c, h.rx * 1.16f, h.ry * 1.12f), p.y - h.browY + 2); },
            [&](Pt p, float&) {
                const float l = DomeLight(p, c, h.rx * 1.2f, h.ry * 1.15f);
                const float rib = std::fabs(std::sin((p.x - h.cx) / (h.rx * 1.16f) * 5.5f));
                const float spec = std::exp(-std::pow(Len(p - Pt{h.cx - 12, top + 6}) / 7, 2.0f));
                return Mix(Ramp(Hex(0x1A1E24), acc, Tone(acc, 0.45f), Clamp01(l - 0.25f * Smooth(0.9f, 1, rib))),
                           Hex(0xF4F8FC), 0.7f * spec);
            });
        for (int side = -1; side <= 1; side += 2)
            Poly(cv,
                 {{h.cx + side * (h.rx + 6), h.browY - 2},
                  {h.cx + side * (h.rx - 4), h.browY - 2},
                  {h.cx + side * (h.rx - 2), h.eyeY + 30},
                  {h.cx + side * (h.rx + 12), h.eyeY + 28}},
                 [&](Pt p, float&) {
                     const float row = std::fmod(p.y - h.browY + 40, 7.0f);
                     return Ramp(Hex(0x1A1E24), acc * 0.8f, Tone(acc, 0.2f), side < 0 ? 0.6f : 0.35f) *
                            (row < 1.2f ? 0.6f : 1.0f);
                 });
        cv.Paint(
            h.cx - h.rx - 10, h.browY - 8, h.cx + h.rx + 10, h.browY + 2,
            [&](Pt p) { return std::max(std::fabs(p.y - (h.browY - 3)) - 3, std::fabs(p.x - h.cx) - h.rx - 9); },
            [&](Pt p, float&) {
                return Ramp(Hex(0x3A2A10), Hex(0xA88A40), Hex(0xF0D890), 0.8f - (p.x - h.cx + h.rx) / (4 * h.rx));
            });
        Line(cv, {h.cx, top - 10}, {h.cx, top - 20}, 1.2f, 1.0f, Solid(Hex(0xA88A40)));
        for (int i = 0; i < 9; ++i)
            Line(cv, {h.cx, top - 20}, {h.cx - 9 + i * 2.2f, top - 8 + (i % 2) * 3.0f + std::fabs(i - 4.0f)}, 1.5f,
                 0.6f, Solid(Mix(acc2 * 0.7f, acc2, i / 8.0f)));
    } else if (st == "scholarcap") {
        PaintHairCap(cv, h, pl, seed, 0);
        // A soft black cap of gauze, tall at the back, with two ribbons.
        cv.Paint(
            h.cx - h.rx - 4, top - 22, h.cx + h.rx + 4, h.hairY + 4,
            [&](Pt p) {
                const float body =
                    std::max(SdEllipse(p, {h.cx, h.cy - 6}, h.rx * 1.08f, h.ry * 1.02f), p.y - h.hairY - 2);
                const float crown = SdPolygon(
                    p, {{h.cx - 18, top + 6}, {h.cx - 14, top - 20}, {h.cx + 14, top - 20}, {h.cx + 18, top + 6}});
                return std::min(body, crown);
            },
            [&](Pt p, float&) {
                const float l = DomeLight(p, {h.cx, top + 4}, h.rx * 1.1f, 40);
                const float weave = 0.06f * std::sin(p.x * 3) * std::sin(p.y * 3);
                return Ramp(Hex(0x08080A), acc, Mix(Tone(acc, 0.3f), s.glow, 0.2f), Clamp01(l + weave));
            });
        Line(cv, {h.cx - 14, top - 4}, {h.cx + 14, top - 4}, 0.6f, 0.6f, Solid(Tone(acc, 0.2f)), 0.5f, 0.6f);
        for (int side = -1; side <= 1; side += 2)
            Stroke(cv,
                   Bezier({h.cx + side * (h.rx - 4), h.hairY - 6}, {h.cx + side * (h.rx + 10), h.cy},
                          {h.cx + side * (h.rx + 6), h.cy + 40}, 10),
                   2.4f, 1.6f, lit(acc, {h.cx, h.cy}, 40, 40), 0.5f);
    } else if (st == "furcap") {
        PaintHairCap(cv, h, pl, seed, 6);
        const Pt c{h.cx, top + 2};
        Ellipse(cv, {c.x, c.y - 4}, h.rx * 0.9f, 16, lit(acc2, {c.x, c.y - 8}, h.rx, 18));
        cv.Paint(
            h.cx - h.rx - 12, h.hairY - 22, h.cx + h.rx + 12, h.hairY + 10,
            [&](Pt p) {
                const float u = (p.x - h.cx) / h.rx;
                const float y = h.hairY - 6 + 5 * u * u;
                const float d = std::max(std::fabs(p.y - y) - 8, std::fabs(p.x - h.cx) - h.rx - 8);
                return d - 2.5f * Noise(p.x * 0.6f, p.y * 0.6f, seed + 90);
            },
            [&](Pt p, float&) {
                const float l = DomeLight(p, {h.cx - 8, h.hairY - 12}, h.rx + 10, 20);
                const float strand = Strokes(p.x, p.y, 1.3f + (p.x - h.cx) / 60, 0.5f, seed + 91);
                return Ramp(Hex(0x2A1E14), acc, Mix(Tone(acc, 0.4f), s.glow, 0.3f), Clamp01(l + strand));
            },
            1.2f);
    } else if (st == "wild") {
        PaintHairCap(cv, h, pl, seed, 4);
        for (int i = 0; i < 19; ++i) {
            const float ang = 3.14159f * (1.05f + 0.9f * i / 18.0f);
            const Pt root{h.cx + std::cos(ang) * h.rx * 0.7f, h.cy - 8 + std::sin(ang) * h.ry * 0.8f};
            const float len = 16 + 10 * Rand(i, 1, seed);
            Stroke(cv,
                   Bezier(root, {root.x + std::cos(ang) * len * 0.6f, root.y + std::sin(ang) * len * 0.6f},
                          {root.x + std::cos(ang + 0.3f) * len, root.y + std::sin(ang + 0.3f) * len}, 6),
                   4.5f, 0.4f, [&, ang](Pt p, float&) { return HairAt(p, h, pl, ang, seed); });
        }
        cv.Paint(
            h.cx - h.rx - 4, h.hairY - 8, h.cx + h.rx + 4, h.hairY + 10,
            [&](Pt p) {
                const float u = (p.x - h.cx) / h.rx;
                return std::max(std::fabs(p.y - (h.hairY + 2 + 7 * u * u)) - 2.8f, std::fabs(p.x - h.cx) - h.rx - 1);
            },
            lit(acc, {h.cx, h.hairY - 6}, h.rx, 14));
        Stroke(
            cv,
            Bezier({h.cx - h.rx, h.hairY + 9}, {h.cx - h.rx - 14, h.hairY + 14}, {h.cx - h.rx - 18, h.hairY + 32}, 8),
            2.2f, 0.6f, Solid(acc));
    } else if (st == "bun") {
        PaintHairCap(cv, h, pl, seed, -1, 1);
        const Pt k{h.cx + 4, top - 4};
        Ellipse(cv, k, 15, 11,
                [&](Pt p, float&) { return HairAt(p, h, pl, std::atan2(p.y - k.y, p.x - k.x) + 1.57f, seed); });
        Line(cv, {k.x - 22, k.y + 6}, {k.x + 20, k.y - 8}, 1.1f, 0.9f, lit(acc, k, 20, 10));
        Ellipse(cv, {k.x - 22, k.y + 6}, 2.6f, 2.6f, lit(acc2, {k.x - 23, k.y + 5}, 2.6f, 2.6f));
        Line(cv, {k.x - 22, k.y + 8}, {k.x - 24, k.y + 16}, 0.4f, 0.4f, Solid(acc));
        Ellipse(cv, {k.x - 24, k.y + 18}, 1.6f, 2.2f, lit(acc2, {k.x - 24, k.y + 17}, 1.6f, 2.2f));
        for (int side = -1; side <= 1; side += 2)  // locks in front of the ears
            Stroke(cv,
                   Bezier({h.cx + side * (h.rx - 4), h.hairY + 4}, {h.cx + side * (h.rx + 1), h.eyeY},
                          {h.cx + side * (h.rx - 2), h.eyeY + 22}, 8),
                   2.4f, 0.5f, [&](Pt p, float&) { return HairAt(p, h, pl, 1.57f, seed); });
    } else if (st == "straw") {
        PaintHairCap(cv, h, pl, seed, -4);
        // A conical straw hat pushed back: a broad cone behind the crown.
        const Pt apex{h.cx + 4, top - 34};
        cv.Paint(
            h.cx - 78, apex.y - 2, h.cx + 82, h.hairY,
            [&](Pt p) {
                return SdPolygon(p, {apex,
                                     {h.cx + 80, h.hairY - 14},
                                     {h.cx + 70, h.hairY - 6},
                                     {h.cx - 70, h.hairY - 2},
                                     {h.cx - 78, h.hairY - 10}});
            },
            [&](Pt p, float&) {
                const float l = Clamp01(0.75f - (p.x - apex.x) / 150 + 0.25f * (p.y - apex.y) / 40);
                const float ring = 0.12f * std::sin(Len(p - apex) * 1.2f);
                const float spoke = 0.08f * std::sin(std::atan2(p.y - apex.y, p.x - apex.x) * 60);
                return Ramp(acc2 * 0.6f, acc, Tone(acc, 0.35f), Clamp01(l + ring + spoke));
            });
        cv.Paint(
            h.cx - 80, h.hairY - 18, h.cx + 84, h.hairY,
            [&](Pt p) {
                const float y = h.hairY - 10 - (p.x - h.cx) * 0.05f;
                return std::max(std::fabs(p.y - y) - 1.5f, std::fabs(p.x - h.cx - 1) - 76);
            },
            Solid(acc2 * 0.8f));
        for (int side = -1; side <= 1; side += 2)  // chin cord
            Stroke(cv,
                   Bezier({h.cx + side * (h.rx - 2), h.hairY}, {h.cx + side * (h.rx + 2), h.eyeY + 20},
                          {h.cx + side * 6.0f, h.chinY + 5}, 10),
                   0.6f, 0.6f, Solid(acc2 * 0.7f), 0, 0.8f);
    } else if (st == "official") {
        // The chancellor's black hat with long stiff wings to either side.
        PaintHairCap(cv, h, pl, seed, 0);
        for (int side = -1; side <= 1; side += 2) {
            const float y = top + 6;
            Line(cv, {h.cx + side * 20.0f, y}, {h.cx + side * 86.0f, y - 4}, 1.6f, 1.2f,
                 lit(acc, {h.cx, y - 20}, 60, 30));
            Ellipse(cv, {h.cx + side * 86.0f, y - 4}, 6, 3.5f, lit(acc, {h.cx + side * 84.0f, y - 6}, 6, 4));
        }
        cv.Paint(
            h.cx - h.rx - 5, top - 30, h.cx + h.rx + 5, h.hairY + 6,
            [&](Pt p) {
                const float brim =
                    std::max(SdEllipse(p, {h.cx, h.cy - 6}, h.rx * 1.1f, h.ry * 1.04f), p.y - h.hairY - 3);
                const float crown = SdEllipse(p, {h.cx, top - 6}, h.rx * 0.72f, 22);
                return std::min(brim, std::max(crown, p.y - (top + 12)));
            },
            [&](Pt p, float&) {
                const float l = DomeLight(p, {h.cx, top - 4}, h.rx * 1.1f, 40);
                const float spec = std::exp(-std::pow(Len(p - Pt{h.cx - 10, top - 14}) / 6, 2.0f));
                return Mix(Ramp(Hex(0x050506), acc, Tone(acc, 0.25f), l), Hex(0xB0A8C0), 0.4f * spec);
            });
        Line(cv, {h.cx - h.rx * 0.7f, top + 8}, {h.cx + h.rx * 0.7f, top + 8}, 1.0f, 1.0f, Solid(Hex(0xC8A048)), 0.3f,
             0.8f);
    } else if (st == "braid") {
        PaintHairCap(cv, h, pl, seed, 0, 1);
        // A headscarf tied over the hair and a braid over the shoulder.
        cv.Paint(
            h.cx - h.rx - 4, top - 6, h.cx + h.rx + 4, h.hairY + 2,
            [&](Pt p) {
                return std::max(SdEllipse(p, {h.cx, h.cy - 4}, h.rx * 1.1f, h.ry * 1.06f),
                                p.y - (h.hairY - 6 + 8 * std::pow((p.x - h.cx) / h.rx, 2.0f)));
            },
            [&](Pt p, float&) {
                const float l = DomeLight(p, {h.cx, top + 6}, h.rx * 1.1f, 30);
                return Ramp(acc * 0.4f, acc, Tone(acc, 0.3f),
                            Clamp01(l + 0.3f * Strokes(p.x, p.y, 0.2f, 3, seed + 95)));
            });
        for (int i = 0; i < 9; ++i) {
            const Pt c{h.cx + h.rx - 2 + i * 1.8f, h.eyeY + 18 + i * 9.0f};
            Ellipse(cv, c, 5.5f - i * 0.25f, 5.5f, [&, c](Pt p, float&) {
                return Ramp(pl.hairDark, pl.hair, pl.hairLight, DomeLight(p, c, 5.5f, 5.5f) * 0.9f);
            });
        }
        Ellipse(cv, {h.cx + h.rx + 15, h.eyeY + 100}, 3.5f, 2.5f, Solid(acc));
    } else if (st == "skullcap") {
        PaintHairCap(cv, h, pl, seed, 2);
        cv.Paint(
            h.cx - h.rx - 2, top - 4, h.cx + h.rx + 2, h.hairY,
            [&](Pt p) {
                return std::max(SdEllipse(p, {h.cx, h.cy - 4}, h.rx * 1.06f, h.ry * 1.04f), p.y - (h.hairY - 6));
            },
            [&](Pt p, float&) {
                const float l = DomeLight(p, {h.cx, top + 6}, h.rx * 1.1f, 30);
                const float seam = std::fabs(std::sin((p.x - h.cx) / h.rx * 4.7f)) < 0.08f ? 0.7f : 1.0f;
                return Ramp(acc * 0.4f, acc, Tone(acc, 0.3f), l) * seam;
            });
        Ellipse(cv, {h.cx, top - 1}, 3, 2.5f, lit(acc2, {h.cx, top - 2}, 3, 2.5f));
        cv.Paint(
            h.cx - h.rx - 2, h.hairY - 10, h.cx + h.rx + 2, h.hairY,
            [&](Pt p) {
                return std::max(std::fabs(p.y - (h.hairY - 6)) - 1.4f,
                                SdEllipse(p, {h.cx, h.cy - 4}, h.rx * 1.06f, h.ry * 1.04f));
            },
            Solid(acc2));
    } else if (st == "updo") {
        PaintHairCap(cv, h, pl, seed, -3, 1);
        for (int side = -1; side <= 1; side += 2) {
            const Pt c{h.cx + side * 14.0f, top - 8};
            Ellipse(cv, c, 15, 13,
                    [&, c](Pt p, float&) { return HairAt(p, h, pl, std::atan2(p.y - c.y, p.x - c.x) + 1.57f, seed); });
        }
        // A gold comb and pins with hanging beads.
        cv.Paint(
            h.cx - 16, top - 26, h.cx + 16, top - 12,
            [&](Pt p) {
                return SdEllipse(p, {h.cx, top - 14}, 14, 8) + 0 * p.x;
            },
            [&](Pt p, float& a) {
                a = p.y < top - 14 ? 1.0f : 0.0f;
                return Ramp(acc * 0.5f, acc, Tone(acc, 0.5f), DomeLight(p, {h.cx - 4, top - 20}, 14, 8)) *
                       (std::fmod(p.x + 100, 3.0f) < 0.8f ? 0.8f : 1.0f);
            });
        for (int side = -1; side <= 1; side += 2) {
            const Pt a{h.cx + side * 26.0f, top};
            Line(cv, {a.x - side * 14, a.y - 8}, a, 0.9f, 0.8f, Solid(acc));
            for (int k = 0; k < 3; ++k)
                Ellipse(cv, {a.x + side * 1.0f, a.y + 5 + k * 5.0f}, 1.6f, 1.6f,
                        lit(k == 2 ? acc2 : acc, {a.x, a.y + 4 + k * 5.0f}, 1.6f, 1.6f));
        }
    } else if (st == "scarfbun") {
        PaintHairCap(cv, h, pl, seed, 0, 1);
        cv.Paint(
            h.cx - h.rx - 4, top - 20, h.cx + h.rx + 4, h.hairY + 2,
            [&](Pt p) {
                const float cap = std::max(SdEllipse(p, {h.cx, h.cy - 5}, h.rx * 1.1f, h.ry * 1.06f),
                                           p.y - (h.hairY - 4 + 7 * std::pow((p.x - h.cx) / h.rx, 2.0f)));
                return std::min(cap, SdEllipse(p, {h.cx + 2, top - 6}, 16, 12));
            },
            [&](Pt p, float&) {
                const float l = DomeLight(p, {h.cx, top}, h.rx * 1.1f, 34);
                const float fold = Strokes(p.x, p.y, std::atan2(p.y - top, p.x - h.cx), 2.5f, seed + 96);
                const float dots = std::sin(p.x * 0.9f) * std::sin(p.y * 0.9f) > 0.85f ? 1.0f : 0.0f;
                return Mix(Ramp(acc * 0.4f, acc, Tone(acc, 0.3f), Clamp01(l + fold * 0.6f)), acc2, 0.6f * dots);
            });
        Stroke(cv, Bezier({h.cx + 14, top - 8}, {h.cx + 30, top - 16}, {h.cx + 34, top + 4}, 8), 3.5f, 1.0f,
               lit(acc, {h.cx + 24, top - 10}, 12, 10));
    }
}

void PaintEarrings(Canvas& cv, const TSitter& s, const Head& h) {
    if (s.jewel != "earrings") return;
    for (int side = -1; side <= 1; side += 2) {
        const Pt c{h.cx + side * (h.rx * 0.98f), h.eyeY + 18};
        Line(cv, {c.x, c.y - 3}, c, 0.4f, 0.4f, Solid(s.accent));
        Ellipse(cv, c, 2.2f, 3.2f, [&, c](Pt p, float&) {
            return Ramp(s.accent2 * 0.4f, s.accent2, Hex(0xFFFFFF), DomeLight(p, c, 2.2f, 3.2f));
        });
    }
}

// [SECTION] Finish

void Finish(Canvas& cv, const TSitter& s, std::uint32_t seed) {
    // Vignette towards the background's deep colour, warm key light from the upper left,
    // and a faint canvas grain.
    const Col deep = s.backTop * 0.35f;
    cv.Grade([&](Pt p, Col c) {
        const float u = (p.x - kW * 0.48f) / (kW * 0.62f), v = (p.y - kH * 0.45f) / (kH * 0.62f);
        const float vignette = Smooth(0.65f, 1.35f, std::sqrt(u * u + v * v));
        c = Mix(c, deep, 0.55f * vignette);
        c = Mix(c, c * Hex(0xFFF0DC), 0.5f * Smooth(kW, 0, p.x + p.y * 0.5f));
        const float grain =
            (Rand(static_cast<int>(p.x * kScale), static_cast<int>(p.y * kScale), seed) - 0.5f) * 0.035f;
        return Col{Clamp01(c.r + grain), Clamp01(c.g + grain), Clamp01(c.b + grain)};
    });
}

void PaintSitter(Canvas& cv, const TSitter& s) {
    const auto seed = static_cast<std::uint32_t>(1000 + s.cell * 37);
    const Head h = MakeHead(s);
    const Palette pl = MakePalette(s);
    PaintBackground(cv, s, seed);
    cv.Zoom(kFigureZoom, kCx, kH);
    PaintProp(cv, s);
    PaintHairBehind(cv, s, h, pl, seed);
    PaintBody(cv, s, h, pl, seed);
    if (s.hairStyle != "hood") {
        PaintEar(cv, h, pl, -1);
        PaintEar(cv, h, pl, 1);
    }
    PaintFace(cv, s, h, pl, seed);
    PaintScar(cv, s, h, pl);
    for (int side = -1; side <= 1; side += 2) {
        PaintEye(cv, s, h, pl, side);
        PaintBrow(cv, s, h, pl, side, seed);
    }
    PaintNose(cv, h, pl, 0.85f + 0.2f * s.faceW);
    PaintMouth(cv, s, h, pl);
    PaintBeard(cv, s, h, pl, seed);
    PaintHeaddress(cv, s, h, pl, seed);
    PaintEarrings(cv, s, h);
    if (s.prop == "fan") {
        const Pt pivot{150, 262};
        cv.Paint(
            90, 170, 190, 262,
            [&](Pt p) {
                const float r = Len(p - pivot), ang = std::atan2(p.y - pivot.y, p.x - pivot.x);
                return std::max({r - 78, 30 - r, std::fabs(ang + 2.0f) - 0.55f});
            },
            [&](Pt p, float&) {
                const float ang = std::atan2(p.y - pivot.y, p.x - pivot.x);
                const float rib = std::fabs(std::sin(ang * 40)) < 0.15f ? 0.75f : 1.0f;
                const float ink =
                    Smooth(0.6f, 0.7f, Fbm(p.x / 8, p.y / 8, seed + 100)) * Smooth(70, 55, Len(p - pivot)) * 0.6f;
                return Mix(Mix(Hex(0xF4ECD8), Hex(0xC8B890), Clamp01((p.x - 110) / 80)), Hex(0x2A3A4A), ink) * rib;
            });
    } else if (s.prop == "scroll") {
        Line(cv, {20, 246}, {96, 236}, 7, 7, [&](Pt p, float&) {
            return Ramp(Hex(0x8A7A5A), Hex(0xE8DCC0), Hex(0xFFF8E8), Clamp01(0.9f - (p.y - 232) / 16));
        });
        Ellipse(cv, {96, 236}, 3, 7.2f, Solid(Hex(0x6A3A1E)));
        Line(cv, {60, 234}, {62, 250}, 1.2f, 1.2f, Solid(Hex(0xA82828)));
    }
    cv.Zoom(1, 0, 0);
    Finish(cv, s, seed);
}

}  // namespace

void PaintCharacterSheet(reedmark::TArt& sheet, const std::vector<TSitter>& sitters) {
    for (const TSitter& s : sitters) {
        Canvas cv(kCharacterCellW * kScale, kCharacterCellH * kScale, kScale);
        PaintSitter(cv, s);
        cv.Reduce(sheet, kScale, (s.cell % 4) * kCharacterCellW, (s.cell / 4) * kCharacterCellH, 5u + s.cell);
    }
}

}  // namespace artgen
