// Fallback title scene: the riverlands at dusk, painted when there is no landscape picture.
#include <cmath>
#include <initializer_list>
#include <vector>

#include "art/brush.hpp"
#include "art/fallback.hpp"

namespace reedmark {

using namespace paint;

namespace {

constexpr double kSceneW = 640;
constexpr double kSceneH = 408;
constexpr double kHorizon = 236;  // the far bank, where the water begins

struct Stop {
    double at;
    Colour colour;
};

Colour Ramp(std::initializer_list<Stop> stops, double at) {
    const Stop* previous = stops.begin();
    for (const Stop& stop : stops) {
        if (at <= stop.at) {
            if (&stop == previous) return stop.colour;
            return Mix(previous->colour, stop.colour, (at - previous->at) / (stop.at - previous->at));
        }
        previous = &stop;
    }
    return previous->colour;
}

// A band of land whose top edge follows ridge(x), filled down to the bottom design y and
// shading from colour `top` at design height `from` to `bottom` at the horizon.
template <class Ridge>
void FillRidge(const Brush& b, double bottom, Colour top, Colour low, double from, Ridge ridge) {
    TArt& canvas = b.Canvas();
    const int last = std::min(b.Y(bottom), canvas.Height());
    std::vector<Colour> shades(static_cast<std::size_t>(std::max(last, 0)));
    for (int row = 0; row < last; ++row)
        shades[static_cast<std::size_t>(row)] = Mix(top, low, (row / b.ScaleY() - from) / (kHorizon - from));
    for (int col = 0; col < canvas.Width(); ++col) {
        const double x = (col + 0.5) / b.ScaleX();
        for (int row = std::max(b.Y(ridge(x)), 0); row < last; ++row)
            canvas.SetPixel(col, row, shades[static_cast<std::size_t>(row)]);
    }
}

void PaintSky(const Brush& b) {
    TArt& canvas = b.Canvas();
    for (int row = 0; row < b.Y(kHorizon); ++row) {
        const double y = row / b.ScaleY();
        canvas.FillRect(0, row, canvas.Width(), 1,
                        Ramp({{0, 0x0C1234},
                              {90, 0x1E2860},
                              {150, 0x43447E},
                              {190, 0x8A5E82},
                              {215, 0xD08A6E},
                              {kHorizon, 0xF0BC78}},
                             y));
    }
    Scatter stars(7);
    for (int i = 0; i < 110; ++i) {
        const double x = stars.Range(4, kSceneW - 4), y = stars.Range(4, 150);
        const double bright = stars.Next() * (1 - y / 170);
        const Colour sky = canvas.GetPixel(b.X(x), b.Y(y));
        const Colour star = Mix(sky, i % 9 == 0 ? 0xFFE8B0 : 0xF4F4EC, std::clamp(0.35 + bright, 0.0, 1.0));
        b.Rect(x, y, bright > 0.6 ? 1.0 : 0.5, bright > 0.6 ? 1.0 : 0.5, star);
        if (bright > 0.8) {
            b.Rect(x - 1.5, y + 0.25, 4, 0.5, Mix(sky, star, 0.6));
            b.Rect(x + 0.25, y - 1.5, 0.5, 4, Mix(sky, star, 0.6));
        }
    }
}

void PaintMoon(const Brush& b) {
    const double mx = 486, my = 78;
    Glow(b, mx, my, 150, 150, 0x8A86B0, 0.45);
    Glow(b, mx, my, 60, 60, 0xF0E8D8, 0.5);
    b.Circle(mx, my, 25, 0xF6F0D6);
    Glaze(b, mx - 25, my - 25, 50, 50, 60, [&](const Brush& g) {
        g.Circle(mx + 7, my - 5, 7, 0xD8CCAA);
        g.Circle(mx - 8, my + 8, 5, 0xD8CCAA);
        g.Circle(mx + 4, my + 12, 3.5, 0xD8CCAA);
        g.Circle(mx - 10, my - 9, 3, 0xD8CCAA);
    });
    // A thin cloud drifting across the moon's face.
    Glaze(b, mx - 90, my - 4, 180, 20, 140, [&](const Brush& g) {
        g.Ellipse(mx - 20, my + 6, 60, 2.6, 0x2E2E5C);
        g.Ellipse(mx + 30, my + 10, 44, 2, 0x34346A);
    });
}

void PaintClouds(const Brush& b) {
    // Long evening clouds lit from below by the afterglow.
    Glaze(b, 0, 150, kSceneW, 80, 90, [](const Brush& g) {
        g.Ellipse(120, 176, 110, 3, 0xE8A07C);
        g.Ellipse(200, 186, 90, 2.2, 0xF0B088);
        g.Ellipse(380, 168, 80, 2.5, 0xC88090);
        g.Ellipse(560, 192, 100, 2.4, 0xF0B890);
        g.Ellipse(300, 200, 120, 1.8, 0xF8C898);
    });
    Glaze(b, 0, 150, kSceneW, 80, 70, [](const Brush& g) {
        g.Ellipse(130, 174, 100, 1.6, 0x6A4A7A);
        g.Ellipse(390, 166, 70, 1.4, 0x5A4474);
    });
}

// A peaked wave: 0 in the troughs, 1 at the peaks, with straight flanks.
double Peak(double x) {
    return 1 - std::abs(2 * (x - std::floor(x)) - 1);
}

void PaintHills(const Brush& b) {
    // Far ranges fading into the haze, then the darker near hills on the left.
    FillRidge(b, kHorizon + 2, 0x9A7C9C, 0xE8B888, 150, [](double x) {
        return 200 - 40 * std::pow(Peak(x / 170 + 0.35), 1.6) - 14 * Peak(x / 67 + 0.1) - 5 * Peak(x / 23 + 0.4);
    });
    FillRidge(b, kHorizon + 2, 0x66587E, 0x9A7088, 180, [](double x) {
        return 214 - 20 * std::pow(Peak(x / 120 + 0.7), 1.4) - 7 * Peak(x / 41 + 0.2) - 3 * Peak(x / 13);
    });
    FillRidge(b, kHorizon + 2, 0x2E3058, 0x4A4468, 160, [](double x) {
        const double rise = std::max(0.0, 1 - x / 300);
        return 226 - 56 * rise * rise - 6 * Peak(x / 47 + 0.3) - 2 * Peak(x / 11);
    });
    // Mist lying in the valleys.
    Glow(b, 170, 216, 200, 12, 0xF0D8C8, 0.6);
    Glow(b, 420, 210, 170, 9, 0xF0D8C8, 0.5);
    Glow(b, 610, 220, 110, 10, 0xF0D8C8, 0.55);
}

// A roof with upturned eaves: a trapezoid with its corners flicked up.
void Roof(const Brush& b, double cx, double y, double width, double height, Colour colour, Colour edge) {
    const double half = width / 2, top = half * 0.55;
    b.Polygon({{cx - top, y - height}, {cx + top, y - height}, {cx + half, y}, {cx - half, y}}, colour);
    b.Triangle({cx - half - 3, y - 3.5}, {cx - half + 4, y}, {cx - half + 2, y - 1.5}, colour);
    b.Triangle({cx + half + 3, y - 3.5}, {cx + half - 4, y}, {cx + half - 2, y - 1.5}, colour);
    b.Stroke({cx - half + 1, y - 0.3}, {cx + half - 1, y - 0.3}, 0.8, edge);
}

// A tower of tiers, each a lit storey under its own roof, narrowing upwards.
void Tower(const Brush& b, double cx, double base, int tiers, double width, Colour body, Colour roof, Colour edge) {
    double y = base;
    for (int t = 0; t < tiers; ++t) {
        const double w = width * (1 - 0.16 * t);
        const double storey = 11 - t;
        b.Rect(cx - w / 2 + 3, y - storey, w - 6, storey, body);
        for (int win = 0; win < 3; ++win)
            if ((t + win) % 2 == 0) b.Rect(cx - w / 2 + 6 + win * (w - 14) / 2, y - storey + 3, 2, 3, kGold);
        y -= storey;
        Roof(b, cx, y, w + 8, 5, roof, edge);
        y -= 5;
    }
    b.Stroke({cx, y}, {cx, y - 9}, 1, roof);
    b.Circle(cx, y - 9, 1.4, kGold);
}

void PaintTown(const Brush& b) {
    const Colour wall = 0x2B2A4A, wallLight = 0x3E3A5E, roof = 0x1C1C36, edge = 0xC88A70, body = 0x34325A;
    // The rise the town stands on.
    b.Ellipse(470, kHorizon + 2, 170, 16, 0x24243E);
    // Houses behind the wall.
    for (int i = 0; i < 11; ++i) {
        const double x = 352 + i * 22 + (i % 3) * 4;
        const double h = 6 + (i * 7) % 5;
        b.Rect(x - 7, 222 - h, 14, h + 2, body);
        Roof(b, x, 222 - h, 20, 4, roof, edge);
        if (i % 2 == 1) b.Rect(x - 2, 222 - h + 3, 2, 2, kGold);
    }
    // The main tower and a gate tower.
    Tower(b, 530, 222, 4, 34, body, roof, edge);
    Tower(b, 408, 222, 2, 26, body, roof, edge);
    // The wall with its crenellations, a lit gate and lanterns.
    b.Rect(330, 222, 272, 15, wall);
    b.Rect(330, 222, 272, 1.2, wallLight);
    for (double x = 331; x < 600; x += 8) b.Rect(x, 218.5, 4.5, 4, wall);
    b.Rect(454, 226, 16, 11, 0x141428);
    b.Ellipse(462, 226, 8, 4, 0x141428);
    b.Rect(457, 229, 10, 8, 0xE0A050);
    b.Ellipse(462, 229, 5, 2.5, 0xE0A050);
    for (double x : {350.0, 392.0, 436.0, 490.0, 560.0, 588.0}) {
        Glow(b, x, 227, 8, 8, 0xF0C060, 0.7);
        b.Circle(x, 227, 1.2, kGold);
    }
}

void PaintFarBank(const Brush& b) {
    const Colour bank = 0x1A1C36, trees = 0x20223E;
    b.Rect(0, kHorizon - 1, kSceneW, 6, bank);
    Scatter scatter(11);
    for (int i = 0; i < 26; ++i) {
        const double x = scatter.Range(0, 330), r = scatter.Range(4, 9);
        b.Ellipse(x, kHorizon - r * 0.6, r, r * 0.8, trees);
    }
    for (int i = 0; i < 6; ++i) {
        const double x = 600 + i * 8 + scatter.Range(0, 4), r = scatter.Range(4, 7);
        b.Ellipse(x, kHorizon - r * 0.6, r, r * 0.8, trees);
    }
}

void PaintWater(const Brush& b) {
    TArt& canvas = b.Canvas();
    for (int row = b.Y(kHorizon + 4); row < canvas.Height(); ++row) {
        const double y = row / b.ScaleY();
        canvas.FillRect(0, row, canvas.Width(), 1,
                        Ramp({{kHorizon + 4, 0xB88A7C}, {262, 0x5C5A8A}, {320, 0x2A3264}, {kSceneH, 0x0E1538}}, y));
    }
    // The town and the near hills mirrored, faint and broken.
    Glaze(b, 330, kHorizon + 4, 280, 50, 110, [](const Brush& g) {
        g.Rect(330, kHorizon + 4, 272, 12, 0x25244A);
        g.Rect(518, kHorizon + 16, 24, 30, 0x25244A);
        g.Rect(398, kHorizon + 16, 20, 14, 0x25244A);
    });
    Scatter ripples(23);
    for (int i = 0; i < 260; ++i) {
        const double y = kHorizon + 6 + std::pow(ripples.Next(), 1.6) * (kSceneH - kHorizon - 6);
        const double x = ripples.Range(-20, kSceneW);
        const double length = ripples.Range(8, 40) * (0.4 + (y - kHorizon) / 120);
        const Colour water = canvas.GetPixel(b.X(std::clamp(x, 0.0, kSceneW - 1)), b.Y(y));
        b.Rect(x, y, length, 0.5 + (y - kHorizon) / 240, Mix(water, i % 3 == 0 ? 0xF0B888 : 0x9AA6D0, 0.35));
    }
    // The moon's path of light on the water.
    Scatter glints(31);
    for (double y = kHorizon + 6; y < 372; y += 2.6) {
        const double spread = 6 + (y - kHorizon) * 0.22;
        for (int k = 0; k < 2; ++k) {
            const double w = glints.Range(4, 12) * (1 - (y - kHorizon) / 200);
            const double x = 486 + glints.Range(-spread, spread) - w / 2;
            const double fade = 1 - (y - kHorizon) / 150;
            if (w > 0.5 && fade > 0)
                b.Rect(x, y, w, 0.9, Mix(canvas.GetPixel(b.X(x), b.Y(y)), 0xF6ECC4, 0.4 + 0.5 * fade));
        }
    }
    // Lantern light of the town in the water.
    for (double x : {350.0, 392.0, 436.0, 462.0, 490.0, 560.0, 588.0})
        for (int k = 0; k < 4; ++k) b.Rect(x - 2 + (k % 2), kHorizon + 8 + k * 4, 4 - k * 0.7, 0.8, 0xD8A060);
}

void PaintMistOverWater(const Brush& b) {
    Glow(b, 110, kHorizon + 4, 220, 10, 0xF4E8E0, 0.55);
    Glow(b, 330, kHorizon + 10, 240, 9, 0xF4E8E0, 0.45);
    Glow(b, 570, kHorizon + 6, 160, 9, 0xF4E8E0, 0.5);
    Glow(b, 250, kHorizon + 26, 300, 10, 0xE8E4F0, 0.3);
    Glow(b, 520, kHorizon + 34, 200, 8, 0xE8E4F0, 0.25);
}

void PaintBoat(const Brush& b) {
    const Colour hull = 0x0E1020, figure = 0x121428;
    const double x = 236, y = 300;
    // Lantern glow first so the boat stands against it.
    Glow(b, x + 40, y - 18, 40, 40, 0xF0B860, 0.7);
    b.Polygon({{x - 44, y - 8}, {x + 46, y - 6}, {x + 36, y + 2}, {x - 34, y + 2}}, hull);
    b.Triangle({x - 44, y - 8}, {x - 52, y - 14}, {x - 34, y + 2}, hull);
    b.Triangle({x + 46, y - 6}, {x + 54, y - 13}, {x + 36, y + 2}, hull);
    // A low reed awning and the fisher with his pole.
    b.Ellipse(x - 14, y - 10, 16, 9, hull);
    b.Rect(x - 30, y - 10, 32, 4, hull);
    b.Polygon({{x + 12, y - 24}, {x + 21, y - 24}, {x + 23, y - 8}, {x + 10, y - 8}}, figure);
    b.Circle(x + 16.5, y - 27, 3.2, figure);
    b.Triangle({x + 16.5, y - 35}, {x + 4, y - 28.5}, {x + 29, y - 28.5}, figure);
    b.Stroke({x + 20, y - 20}, {x + 8, y - 14}, 2, figure);
    b.Stroke({x + 10, y - 22}, {x - 4, y + 26}, 1.2, figure);
    b.Stroke({x + 44, y - 7}, {x + 40, y - 22}, 0.8, hull);
    b.Circle(x + 40, y - 18, 2.6, 0xFFE090);
    // Its reflection and the lantern's broken light below.
    Glaze(b, x - 56, y + 2, 112, 12, 120, [&](const Brush& g) {
        g.Polygon({{x - 34, y + 2}, {x + 36, y + 2}, {x + 30, y + 8}, {x - 28, y + 8}}, hull);
    });
    for (int k = 0; k < 6; ++k) b.Rect(x + 37 - k * 0.3, y + 5 + k * 3.2, 6 - k * 0.8, 0.9, 0xF0C070);
}

// One reed: a slightly bending stalk, sometimes topped with a seed head, with a leaf.
void Reed(const Brush& b, Scatter& scatter, double x, double base, double height, Colour colour, Colour head) {
    const double lean = scatter.Range(-14, 10);
    const Point top{x + lean, base - height};
    b.TaperCurve({x, base}, {x + lean * 0.2, base - height * 0.5}, top, 2.6, 0.8, colour, 8);
    if (scatter.Next() < 0.45) {
        const double dx = lean / height * 14;
        b.Taper({top.x + dx * 0.2, top.y + 2}, {top.x + dx * 1.2, top.y + 14}, 4.2, 4.2, head);
        b.Circle(top.x + dx * 0.2, top.y + 2, 2.1, head);
        b.Circle(top.x + dx * 1.2, top.y + 14, 2.1, head);
    }
    if (scatter.Next() < 0.7) {
        const double side = scatter.Next() < 0.5 ? -1 : 1;
        const double leafY = base - height * scatter.Range(0.2, 0.5);
        b.TaperCurve({x + lean * 0.1, leafY}, {x + side * 20, leafY - 26}, {x + side * 34, leafY - 8}, 3.4, 0.4, colour,
                     8);
    }
}

void PaintReeds(const Brush& b) {
    const Colour near = 0x080C16, head = 0x24180E;
    // The near bank, then the reeds rising from it.
    b.Ellipse(40, kSceneH + 6, 150, 26, near);
    b.Ellipse(640, kSceneH + 10, 110, 24, near);
    Scatter scatter(5);
    for (int i = 0; i < 46; ++i) {
        const double x = std::pow(scatter.Next(), 1.3) * 190 - 10;
        const double height = scatter.Range(60, 150) * (1 - x / 320);
        Reed(b, scatter, x, kSceneH + 4, height, Mix(near, 0x1E2A30, scatter.Next() * 0.5), head);
    }
    for (int i = 0; i < 22; ++i) {
        const double x = kSceneW - std::pow(scatter.Next(), 1.3) * 110 + 8;
        const double height = scatter.Range(50, 120) * (1 - (kSceneW - x) / 240);
        Reed(b, scatter, x, kSceneH + 4, height, Mix(near, 0x1E2A30, scatter.Next() * 0.5), head);
    }
    // Fireflies among the reeds.
    for (int i = 0; i < 9; ++i) {
        const double x = i < 6 ? scatter.Range(20, 200) : scatter.Range(540, 630);
        const double y = scatter.Range(300, 390);
        Glow(b, x, y, 7, 7, 0xE8D870, 0.6);
        b.Circle(x, y, 0.7, 0xFFF4B0);
    }
}

void PaintBirds(const Brush& b) {
    const Colour bird = 0x1A1A30;
    const Point birds[] = {{420, 58}, {436, 66}, {412, 72}, {448, 52}, {398, 62}};
    for (int i = 0; i < 5; ++i) {
        const double s = 3.5 - i * 0.3;
        const Point p = birds[i];
        b.Curve({p.x - s * 2, p.y - s * 0.6}, {p.x - s, p.y - s * 0.9}, p, 0.9, bird, 4);
        b.Curve(p, {p.x + s, p.y - s * 0.9}, {p.x + s * 2, p.y - s * 0.6}, 0.9, bird, 4);
    }
}

}  // namespace

void PaintFallbackTitleScene(TArt& target) {
    PaintSupersampled(target, kSceneW, kSceneH, [](const Brush& b) {
        PaintSky(b);
        PaintMoon(b);
        PaintClouds(b);
        PaintBirds(b);
        PaintHills(b);
        PaintTown(b);
        PaintFarBank(b);
        PaintWater(b);
        PaintMistOverWater(b);
        PaintBoat(b);
        PaintReeds(b);
    });
}

}  // namespace reedmark
