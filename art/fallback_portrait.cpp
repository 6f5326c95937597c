// Fallback portrait: a painted bust in a faction's colours, varied by character id, for
// characters without a sheet portrait. Painted at twice the size and scaled down smoothly.
#include <array>
#include <cmath>

#include "art/brush.hpp"
#include "art/fallback.hpp"

namespace reedmark {

using namespace paint;

namespace {

constexpr double kPortraitW = 184;
constexpr double kPortraitH = 256;
// The figure is drawn a little larger than its design, anchored at the bottom centre.
constexpr double kFigureZoom = 1.1;

struct Sitter {
    int id;
    bool female;
    Colour robe;
    Colour skin;
    Colour skinShade;
    Colour skinLight;
    Colour hair;
    Colour hairLight;
    Colour background;
    Colour backgroundDeep;
    Colour backgroundLine;
    Colour glow;
};

int PositiveMod(int a, int m) {
    return ((a % m) + m) % m;
}

constexpr Colour kGreyHair = 0x8E8A84;

Sitter MakeSitter(int id, bool female, Colour robe) {
    static constexpr Colour kSkins[] = {0xE9B892, 0xD9A177, 0xC48A60, 0xF1C9A4, 0xB77A52};
    static constexpr Colour kHairs[] = {0x1C1612, 0x2E1D14, 0x141418, 0x4A2E1C, 0x1C1612, kGreyHair, 0x2E1D14};
    Sitter s{};
    s.id = id;
    s.female = female;
    s.robe = robe & 0xFFFFFF;
    s.skin = kSkins[PositiveMod(id * 7 + 3, 5)];
    s.skinShade = Mix(s.skin, 0x6A2A20, 0.30);
    s.skinLight = Lighter(s.skin, 0.22);
    s.hair = kHairs[PositiveMod(id, 7)];
    if (female && s.hair == kGreyHair) s.hair = 0x2A1A12;
    s.hairLight = Lighter(s.hair, 0.16);
    // Dark or blue robes sit on warm paper, the others on the deep blue of the interface.
    const bool darkRobe = Luma(s.robe) < 70 || (Blue(s.robe) > Red(s.robe) + 40 && Luma(s.robe) < 110);
    if (darkRobe) {
        s.background = 0xEAE2C8;
        s.backgroundDeep = 0xC4B184;
        s.backgroundLine = 0xD6C69C;
        s.glow = 0xFFFBEE;
    } else {
        s.background = 0x2C4090;
        s.backgroundDeep = 0x101846;
        s.backgroundLine = 0x3A50A6;
        s.glow = 0x8FA8D8;
    }
    return s;
}

// The background painted pixel by pixel: a vertical deepening, fine diagonal lines and a
// soft radial glow behind the head.
void PaintPortraitBackground(const Brush& b, const Sitter& s) {
    TArt& canvas = b.Canvas();
    const double cx = b.X(92), cy = b.Y(112);
    const double radius = b.X(100) - b.X(0);
    const int period = std::max(4, static_cast<int>(std::lround(b.ScaleX() * 5)));
    // The glow is quantised into levels, so each row mixes its two colours once per level.
    constexpr int kLevels = 64;
    std::array<Colour, kLevels + 1> plain{}, lined{};
    for (int y = 0; y < canvas.Height(); ++y) {
        const double t = static_cast<double>(y) / std::max(canvas.Height() - 1, 1);
        const Colour row = Mix(s.background, s.backgroundDeep, t * t);
        const Colour line = Mix(row, s.backgroundLine, 0.85);
        for (int level = 0; level <= kLevels; ++level) {
            const double glow = static_cast<double>(level) / kLevels;
            plain[level] = Mix(row, s.glow, 0.55 * glow * glow);
            lined[level] = Mix(line, s.glow, 0.55 * glow * glow);
        }
        for (int x = 0; x < canvas.Width(); ++x) {
            const double u = (x - cx) / radius, v = (y - cy) / (radius * 1.25);
            const double d2 = u * u + v * v;
            const int level = d2 >= 1 ? 0 : static_cast<int>((1 - std::sqrt(d2)) * kLevels + 0.5);
            canvas.SetPixel(x, y, (x + y) % period == 0 ? lined[level] : plain[level]);
        }
    }
}

// Gold dots scattered over the background where (11x + 7y + id) mod 23 = 0 for target
// pixels (x, y), on a sparse grid so they read as gold dust rather than a texture. Each
// dot covers exactly the canvas pixels of its target pixel.
void PaintGoldDots(const Brush& b, int targetW, int targetH, int id, Colour dot) {
    TArt& canvas = b.Canvas();
    for (int y = 4; y < targetH - 4; y += 2)
        for (int x = 4; x < targetW - 4; x += 3) {
            if (PositiveMod(11 * x + 7 * y + id, 23) != 0) continue;
            const int left = x * canvas.Width() / targetW, right = (x + 1) * canvas.Width() / targetW;
            const int top = y * canvas.Height() / targetH, bottom = (y + 1) * canvas.Height() / targetH;
            canvas.FillRect(left, top, right - left, bottom - top, dot);
        }
}

// Hair behind the head: the skull for everyone, long falling hair for women.
void PaintHairBack(const Brush& b, const Sitter& s) {
    if (s.female) {
        b.Ellipse(92, 112, 42, 46, s.hair);
        b.Polygon({{52, 112}, {132, 112}, {140, 212}, {44, 212}}, s.hair);
        b.Ellipse(92, 212, 48, 10, s.hair);
        for (int i = 0; i < 5; ++i) {
            const double x = 52 + i * 3.5;
            b.Curve({x + 4, 124}, {x - 4, 170}, {x + 1, 210}, 1.1, s.hairLight);
            b.Curve({184 - x - 4, 124}, {184 - x + 4, 170}, {184 - x - 1, 210}, 1.1, s.hairLight);
        }
    }
    b.Ellipse(92, 104, 34, 30, s.hair);
    if (!s.female && PositiveMod(s.id, 4) == 1) {
        // The scholar's cap ribbons hang behind the head.
        b.TaperCurve({68, 92}, {56, 130}, {58, 178}, 7, 10, 0x101014);
        b.TaperCurve({116, 92}, {128, 130}, {126, 178}, 7, 10, 0x101014);
    }
}

void PaintRobe(const Brush& b, const Sitter& s) {
    const Colour robe = s.robe;
    const Colour shade = Darker(robe, 0.32);
    const Colour deep = Darker(robe, 0.5);
    const Colour light = Lighter(robe, 0.22);
    const Colour outline = Darker(robe, 0.7);
    // Women's shoulders are a little narrower.
    const double k = s.female ? 0.9 : 1.0;
    auto at = [k](double x, double y) { return Point{92 + (x - 92) * k, y}; };

    // Shoulders rising to the neck, with a dark rim so the robe stands off any background.
    b.Polygon({at(6, 262), at(8, 236), at(28, 210), at(60, 194), at(76, 183), at(108, 183), at(124, 194), at(156, 210),
               at(176, 236), at(178, 262)},
              outline);
    b.Polygon({at(8, 262), at(10, 237), at(30, 212), at(61, 196), at(77, 185), at(107, 185), at(123, 196), at(154, 212),
               at(174, 237), at(176, 262)},
              robe);
    // The right side turns away from the light, the left shoulder catches it.
    b.Polygon({at(107, 185), at(123, 196), at(154, 212), at(174, 237), at(176, 262), at(126, 262), at(118, 220)},
              shade);
    b.Polygon({at(61, 196), at(36, 207), at(26, 222), at(60, 212)}, light);
    // Folds falling from the shoulders.
    b.Curve(at(32, 226), at(40, 244), at(34, 262), 3, shade);
    b.Curve(at(52, 220), at(60, 242), at(55, 262), 2.2, shade);
    b.Curve(at(43, 230), at(50, 248), at(45, 262), 1.4, light);
    b.Curve(at(142, 222), at(136, 244), at(146, 262), 3, deep);
    b.Curve(at(160, 230), at(154, 248), at(162, 262), 2.2, deep);
    b.Curve(at(129, 232), at(127, 248), at(131, 262), 1.4, robe);
    // Sleeve seams at the shoulders.
    b.Curve(at(26, 218), at(18, 234), at(16, 262), 1.6, deep);
    b.Curve(at(158, 218), at(166, 234), at(168, 262), 1.6, outline);
}

void PaintNeck(const Brush& b, const Sitter& s) {
    const double half = s.female ? 12 : 15;
    b.Polygon({{92 - half, 148}, {92 + half, 148}, {92 + half + 3, 206}, {92 - half - 3, 206}}, s.skin);
    b.Polygon({{96, 150}, {92 + half, 148}, {92 + half + 3, 206}, {100, 206}}, s.skinShade);
    // The jaw's shadow on the throat.
    b.Ellipse(92, 166, half + 1, 8, s.skinShade);
}

void PaintCollar(const Brush& b, const Sitter& s) {
    const Colour under = s.female ? Lighter(kFrameRed, 0.1) : kNearWhite;
    const Colour band = s.female ? kNearWhite : Darker(s.robe, 0.55);
    const Colour trim = kGold;
    // The inner garment in the opening of the crossed collar.
    b.Polygon({{76, 186}, {108, 186}, {92, 232}}, under);
    // Left lapel passes under, right lapel crosses over it.
    b.Taper({74, 184}, {108, 262}, 11, 11, trim);
    b.Taper({74, 184}, {108, 262}, 8, 8, band);
    b.Taper({110, 184}, {76, 262}, 12, 12, trim);
    b.Taper({110, 184}, {76, 262}, 9, 9, band);
    b.Taper({110, 184}, {76, 262}, 2, 2, Lighter(band, 0.25));
    // Where the collar wraps the neck.
    b.Curve({73, 185}, {92, 178}, {111, 185}, 2.4, trim);
}

void PaintEar(const Brush& b, const Sitter& s, double x, bool right) {
    b.Ellipse(x, 130, 6, 11, right ? s.skinShade : s.skin);
    b.Ellipse(x + (right ? -1 : 1), 131, 3, 7, Mix(s.skinShade, 0x50201A, 0.3));
}

void PaintFace(const Brush& b, const Sitter& s) {
    const double jawWidth = s.female ? 20 : 24;
    const double cheek = s.female ? 29 : 31;
    PaintEar(b, s, 92 - cheek, false);
    PaintEar(b, s, 92 + cheek, true);
    if (s.female) {
        b.Ellipse(92 - cheek + 1, 140, 1.6, 1.6, kGold);  // earrings
        b.Ellipse(92 + cheek - 1, 140, 1.6, 1.6, kGold);
    }
    // Shadowed head shape first, then the lit part shifted towards the light.
    b.Ellipse(92, 118, cheek, 35, s.skinShade);
    b.Ellipse(92, 138, jawWidth, 27, s.skinShade);
    b.Ellipse(89, 117, cheek - 3, 33, s.skin);
    b.Ellipse(89, 136, jawWidth - 3, 26, s.skin);
    // Forehead light, the lit cheekbone and a warm blush.
    Glaze(b, 60, 80, 64, 90, 90, [&](const Brush& g) {
        g.Ellipse(84, 100, 16, 8, s.skinLight);
        g.Ellipse(74, 134, 5, 7, s.skinLight);
    });
    Glaze(b, 60, 120, 64, 50, s.female ? 70 : 45, [&](const Brush& g) {
        g.Ellipse(72, 142, 9, 6, 0xE07060);
        g.Ellipse(111, 142, 8, 6, 0xC85850);
    });
}

void PaintEyes(const Brush& b, const Sitter& s) {
    // The opening of the eyes varies from narrow to wide with the character.
    const double open = 2.2 + PositiveMod(s.id, 3) * 1.1 + (s.female ? 0.6 : 0);
    const Colour iris = PositiveMod(s.id, 4) == 1 ? 0x5A3A20 : 0x2A1C14;
    const Colour lid = Mix(s.hair, 0x2A140E, 0.6);
    for (int side = 0; side < 2; ++side) {
        const double x = side == 0 ? 78 : 105;
        const double out = side == 0 ? -1 : 1;  // towards the outer corner
        const double look = side == 0 ? 1 : -0.5;
        // Socket shadow, white, iris, pupil, catch light.
        Glaze(b, x - 11, 114, 22, 18, 70, [&](const Brush& g) { g.Ellipse(x, 122, 10, 5 + open / 2, s.skinShade); });
        b.Ellipse(x, 123, 6.5, open, kNearWhite);
        b.Ellipse(x + look, 123, 3.3, std::min(open, 3.3), iris);
        b.Ellipse(x + look, 123, 1.6, std::min(open, 1.6), kBlack);
        b.Circle(x + look - 1, 122, 0.8, 0xFFFFFF);
        // Upper lid, sweeping up at the outer corner; lashes for women.
        b.Curve({x - 7 * out, 123.5}, {x, 123 - open - 1.4}, {x + 7.5 * out, 121}, s.female ? 1.8 : 1.3, lid);
        if (s.female) b.Taper({x + 7 * out, 121.2}, {x + 10 * out, 119.4}, 1.4, 0.3, lid);
        // Brow: a fine arch for women, heavy and level for men.
        if (s.female)
            b.Curve({x - 7 * out, 113}, {x + 1 * out, 108}, {x + 9 * out, 112}, 1.3, s.hair);
        else
            b.Taper({x - 8 * out, 114}, {x + 9 * out, 110}, 3.4, 1.4, s.hair);
    }
}

void PaintNoseAndMouth(const Brush& b, const Sitter& s) {
    const double nose = s.female ? 0.8 : 1.0;
    // Shadow on the far side of the nose, a lit ridge, and the nostrils.
    b.Polygon({{93, 124}, {92 + 5 * nose, 140}, {92 + 7 * nose, 146}, {92, 148}, {91, 130}}, s.skinShade);
    b.Stroke({88.5, 127}, {88, 140}, 1.2, s.skinLight);
    b.Ellipse(92, 145, 6 * nose, 3, Mix(s.skin, s.skinShade, 0.5));
    b.Ellipse(92 - 3 * nose, 146, 1.6, 1, 0x5A2A20);
    b.Ellipse(92 + 4 * nose, 146, 1.6, 1, 0x5A2A20);
    // Mouth: the parting line, a fuller lower lip and a little shadow under it.
    const Colour lip = s.female ? 0xC43E4C : Mix(s.skinShade, 0xA04838, 0.4);
    const double width = s.female ? 7 : 9;
    b.Ellipse(92, 157.5, width - 1.5, 2.6, lip);
    b.Ellipse(92, 155, width - 2.5, 1.5, Darker(lip, 0.15));
    b.Curve({92 - width, 156}, {92, 155.5}, {92 + width, 155.5}, 1.1, 0x4A1C18);
    b.Ellipse(91, 159, width - 3.5, 1.1, Lighter(lip, 0.3));
    b.Ellipse(92, 163.5, 5, 1.4, s.skinShade);
    if (s.hair == kGreyHair) {
        // Age: lines on the brow and from the nose to the corners of the mouth.
        const Colour line = Mix(s.skin, s.skinShade, 0.8);
        b.Curve({78, 100}, {92, 97}, {106, 100}, 0.8, line);
        b.Curve({80, 104}, {92, 102}, {104, 104}, 0.7, line);
        b.Curve({84, 144}, {80, 150}, {81, 158}, 0.9, line);
        b.Curve({101, 144}, {105, 150}, {104, 158}, 0.9, line);
    }
}

// Men: a hairline with short sideburns, then the headdress by id mod 4.
void PaintHeaddress(const Brush& b, const Sitter& s) {
    const Colour hair = s.hair;
    const int kind = PositiveMod(s.id, 4);
    // Hairline across the top of the forehead, lower at the temples, and the sideburns.
    b.Ellipse(92, 86, 28, 7, hair);
    b.Polygon({{60, 96}, {72, 88}, {68, 104}, {64, 124}, {61, 124}}, hair);
    b.Polygon({{124, 96}, {112, 88}, {116, 104}, {120, 124}, {123, 124}}, hair);
    switch (kind) {
        case 0: {  // Topknot tied with red cord and held by a gold pin.
            b.Curve({70, 88}, {92, 80}, {114, 88}, 1.1, s.hairLight);
            b.Curve({66, 96}, {76, 84}, {90, 79}, 1.1, s.hairLight);
            b.Ellipse(92, 70, 13, 12, hair);
            b.Curve({83, 70}, {92, 60}, {101, 70}, 1.3, s.hairLight);
            b.Rect(84, 78, 16, 5, kFrameRed);
            b.Stroke({68, 68}, {118, 64}, 2.2, kGold);
            b.Circle(67, 68, 2.8, kGold);
            b.Circle(67, 68, 1.2, kFrameRed);
            break;
        }
        case 1: {  // Scholar's soft black cap with a domed crown and a jade button.
            const Colour cap = 0x18181E, capLight = 0x30303C;
            b.Ellipse(92, 84, 35, 13, cap);
            b.Rect(57, 82, 70, 12, cap);
            b.Rect(68, 64, 48, 22, cap);
            b.Ellipse(92, 64, 24, 14, cap);
            b.Ellipse(84, 60, 10, 6, capLight);
            b.Stroke({70, 82}, {114, 82}, 1.2, capLight);
            b.Stroke({58, 93}, {126, 93}, 2.4, 0x3A3A46);
            b.Ellipse(92, 87, 4, 4, kGold);
            b.Ellipse(92, 87, 2, 2, 0x2E7D4F);
            break;
        }
        case 2: {  // Untamed hair swept back, bound with a red headband whose ends fly.
            b.Ellipse(92, 82, 32, 14, hair);
            const double locks[][4] = {{62, 90, 50, 70},   {70, 84, 62, 58},   {80, 80, 78, 52},  {92, 78, 96, 50},
                                       {104, 80, 114, 54}, {114, 84, 128, 62}, {122, 90, 136, 76}};
            for (const auto& l : locks)
                b.TaperCurve({l[0], l[1]}, {(l[0] + l[2]) / 2 - 4, (l[1] + l[3]) / 2 - 3}, {l[2], l[3]}, 12, 1, hair);
            b.Curve({70, 84}, {88, 68}, {110, 76}, 1.2, s.hairLight);
            b.Polygon({{59, 92}, {125, 92}, {125, 100}, {59, 100}}, kFrameRed);
            b.Stroke({61, 95}, {123, 95}, 1.1, Lighter(kFrameRed, 0.3));
            b.Circle(126, 96, 4, Darker(kFrameRed, 0.2));
            b.TaperCurve({126, 96}, {140, 94}, {154, 110}, 6, 3, kFrameRed);
            b.TaperCurve({126, 97}, {134, 108}, {146, 126}, 5, 2.5, Darker(kFrameRed, 0.2));
            break;
        }
        default: {  // A wide hat of woven reed with a chin cord.
            const Colour straw = 0xC9A85E, strawDark = 0x8E6E34, strawLight = 0xE6CC88;
            Glaze(b, 60, 90, 64, 22, 110, [&](const Brush& g) { g.Ellipse(92, 94, 32, 9, 0x3A1C10); });
            b.Ellipse(92, 92, 70, 9, strawDark);
            b.Triangle({92, 42}, {20, 92}, {164, 92}, straw);
            b.Triangle({92, 42}, {20, 92}, {72, 92}, strawLight);
            b.Triangle({92, 42}, {128, 92}, {164, 92}, Mix(straw, strawDark, 0.55));
            for (int i = 1; i < 9; ++i) b.Stroke({92, 44}, {20 + i * 16.0, 91}, 0.8, Mix(straw, strawDark, 0.6));
            for (int i = 1; i < 4; ++i) {
                const double y = 44 + i * 12;
                const double half = (y - 42) * 72 / 50;
                b.Stroke({92 - half, y}, {92 + half, y}, 0.7, Mix(straw, strawDark, 0.4));
            }
            b.Stroke({20, 92}, {164, 92}, 2.6, strawDark);
            b.Circle(92, 43, 3, strawDark);
            b.Curve({64, 98}, {64, 146}, {84, 168}, 1.1, 0x4A3420);
            b.Curve({120, 98}, {120, 146}, {100, 168}, 1.1, 0x4A3420);
            break;
        }
    }
}

// Women wear their hair parted in the middle, swept to the temples and gathered high,
// held by pins and a flower.
void PaintFemaleHair(const Brush& b, const Sitter& s) {
    const Colour hair = s.hair;
    // The two swept curtains framing the face.
    b.Curve({91, 84}, {66, 84}, {62, 128}, 11, hair);
    b.Curve({93, 84}, {118, 84}, {122, 128}, 11, hair);
    b.Curve({90, 86}, {70, 90}, {65, 140}, 6, hair);
    b.Curve({94, 86}, {114, 90}, {119, 140}, 6, hair);
    b.Curve({90, 84}, {72, 86}, {64, 112}, 1.2, s.hairLight);
    b.Curve({94, 84}, {112, 86}, {120, 112}, 1.2, s.hairLight);
    // The gathered knot, styled by id.
    switch (PositiveMod(s.id, 3)) {
        case 0:
            b.Ellipse(92, 66, 22, 13, hair);
            b.Ellipse(70, 76, 10, 9, hair);
            b.Ellipse(114, 76, 10, 9, hair);
            break;
        case 1:
            b.Ellipse(79, 66, 13, 13, hair);
            b.Ellipse(105, 66, 13, 13, hair);
            break;
        default: b.Ellipse(92, 62, 16, 18, hair); break;
    }
    b.Curve({78, 66}, {92, 56}, {106, 66}, 1.3, s.hairLight);
    // Pins and ornaments.
    b.Stroke({72, 64}, {56, 52}, 1.6, kGold);
    b.Circle(55, 51, 2.6, kGold);
    b.Stroke({110, 68}, {130, 56}, 1.6, kGold);
    b.Circle(131, 55, 2.2, kNearWhite);
    b.Stroke({131, 56}, {134, 72}, 0.8, kGold);
    b.Circle(134, 74, 1.9, kFrameRed);
    const Colour petal = PositiveMod(s.id, 2) == 0 ? 0xE87890 : kNearWhite;
    for (int k = 0; k < 5; ++k) {
        const double angle = k * 6.2831853 / 5;
        b.Circle(112 + 4.5 * std::cos(angle), 82 + 4.5 * std::sin(angle), 3.2, petal);
    }
    b.Circle(112, 82, 2, kGold);
}

// Men's beards by id mod 5: none, moustache, goatee, full beard, long beard.
void PaintBeard(const Brush& b, const Sitter& s) {
    const Colour beard = s.hair;
    const Colour strand = s.hairLight;
    auto moustache = [&](double droop, double width) {
        b.Taper({92, 152}, {92 - 13, 155 + droop}, width, 1.2, beard);
        b.Taper({92, 152}, {92 + 13, 155 + droop}, width, 1.2, beard);
        b.Ellipse(92, 152, 6, 2, beard);
    };
    switch (PositiveMod(s.id, 5)) {
        case 0: return;
        case 1: moustache(3, 3.2); break;
        case 2:
            moustache(6, 2.8);
            b.Polygon({{85, 164}, {99, 164}, {96, 182}, {92, 187}, {88, 182}}, beard);
            b.Stroke({92, 167}, {92, 182}, 0.8, strand);
            break;
        case 3: {
            // A beard along the jaw from the sideburns to a full chin, lips left free.
            b.Curve({62, 122}, {64, 160}, {90, 182}, 9, beard);
            b.Curve({122, 122}, {120, 160}, {94, 182}, 9, beard);
            b.Ellipse(92, 176, 15, 10, beard);
            b.Polygon({{82, 162}, {102, 162}, {106, 176}, {78, 176}}, beard);
            moustache(5, 3.4);
            for (int i = 0; i < 5; ++i) {
                const double x = 82 + i * 5;
                b.Curve({x, 168}, {x + 0.5, 176}, {84 + i * 4.0, 184}, 0.7, strand);
            }
            break;
        }
        default:
            // A long, thin sage's beard and drooping whiskers.
            b.Polygon({{83, 163}, {101, 163}, {98, 198}, {92, 214}, {86, 198}}, beard);
            b.Curve({88, 168}, {88, 196}, {92, 210}, 0.8, strand);
            b.Curve({96, 168}, {96, 194}, {93, 206}, 0.8, strand);
            b.Taper({90, 152}, {72, 180}, 2.6, 0.8, beard);
            b.Taper({94, 152}, {112, 180}, 2.6, 0.8, beard);
            b.Ellipse(92, 152, 6, 2, beard);
            break;
    }
}

void PaintScar(const Brush& b) {
    const Colour scar = 0xB04840;
    b.Stroke({66, 106}, {82, 140}, 1.7, scar);
    b.Stroke({66, 106}, {82, 140}, 0.6, 0xE89088);
    for (int i = 1; i < 4; ++i) {
        const double t = i / 4.0;
        const double x = 66 + 16 * t, y = 106 + 34 * t;
        b.Stroke({x - 3, y + 1.4}, {x + 3, y - 1.4}, 0.8, scar);
    }
}

void PaintPortraitFrame(const Brush& b) {
    // A dark keyline at the edge, a gold rule and a thin red one inside it.
    auto border = [&](double inset, double width, Colour c) {
        b.Rect(inset, inset, kPortraitW - 2 * inset, width, c);
        b.Rect(inset, kPortraitH - inset - width, kPortraitW - 2 * inset, width, c);
        b.Rect(inset, inset, width, kPortraitH - 2 * inset, c);
        b.Rect(kPortraitW - inset - width, inset, width, kPortraitH - 2 * inset, c);
    };
    border(0, 2, kDarkBlue);
    border(4, 1.5, kGold);
    border(7, 0.5, kFrameRed);
    // Gold corner knots.
    for (Point c :
         {Point{5, 5}, Point{kPortraitW - 5, 5}, Point{5, kPortraitH - 5}, Point{kPortraitW - 5, kPortraitH - 5}}) {
        b.Circle(c.x, c.y, 3, kGold);
        b.Circle(c.x, c.y, 1.4, kFrameRed);
    }
}

}  // namespace

void PaintFallbackPortrait(TArt& target, int id, bool female, std::uint32_t colour) {
    const Sitter s = MakeSitter(id, female, colour);
    PaintSupersampled(target, kPortraitW, kPortraitH, [&](const Brush& b) {
        PaintPortraitBackground(b, s);
        PaintGoldDots(b, target.Width(), target.Height(), id, Luma(s.background) > 128 ? 0xC89A30 : kGold);
        const double zx = b.ScaleX() * kFigureZoom, zy = b.ScaleY() * kFigureZoom;
        const Brush figure(b.Canvas(), zx, zy, static_cast<int>(std::lround(92 * zx)) - b.X(92),
                           static_cast<int>(std::lround(kPortraitH * zy)) - b.Y(kPortraitH));
        PaintHairBack(figure, s);
        PaintRobe(figure, s);
        PaintNeck(figure, s);
        PaintCollar(figure, s);
        PaintFace(figure, s);
        PaintEyes(figure, s);
        PaintNoseAndMouth(figure, s);
        if (s.female) {
            PaintFemaleHair(figure, s);
        } else {
            PaintBeard(figure, s);
            PaintHeaddress(figure, s);
        }
        if (PositiveMod(id, 6) == 2) PaintScar(figure);
        PaintPortraitFrame(b);
    });
}

}  // namespace reedmark
