// icongen: paints the game's desktop icon, three reeds over the river in a gilded frame,
// at every size the desktop asks for, and writes the same design as SVG.
//
//   icongen OUT_DIR
//
// Writes OUT_DIR/reedmark-SIZE.png for SIZE 16, 24, 32, 48, 64, 128 and 256 and
// OUT_DIR/reedmark.svg. Each size is sampled from the shapes themselves (4 x 4 samples a
// pixel), not scaled from a larger picture, so the small icons stay crisp.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "art/art.hpp"
#include "art/sheets.hpp"

namespace {

// The design lives on a 256 x 256 grid.
constexpr double kGrid = 256.0;

struct TColour {
    int r, g, b;
};
constexpr TColour kFrameGold{0xF0, 0xD8, 0x50};
constexpr TColour kNight{0x1C, 0x2C, 0x70};
constexpr TColour kRiver{0x5C, 0x7C, 0xE0};
constexpr TColour kFoam{0xC8, 0xE0, 0xEC};
constexpr TColour kReed{0x78, 0xC8, 0x70};
constexpr TColour kHead{0x8C, 0x5A, 0x2C};

constexpr double kOuter = 12, kOuterRadius = 44, kFrame = 12;
constexpr double kWaterTop = 178, kWaveHeight = 7, kWaveLength = 38;

// A reed: a stalk from its foot to its tip and a seed head around its upper end.
struct TReed {
    double footX, footY, tipX, tipY, width;
    double headX, headY, headRx, headRy;
};
constexpr std::array<TReed, 3> kReeds = {{
    {92, 214, 80, 70, 7, 81, 84, 10, 27},
    {128, 218, 130, 44, 8, 130, 62, 11, 30},
    {166, 214, 182, 82, 7, 180, 96, 10, 26},
}};

double WaterLine(double x) {
    return kWaterTop + kWaveHeight * std::sin(x / kWaveLength * 2.0 * M_PI);
}

bool InRoundedSquare(double x, double y, double inset, double radius) {
    const double lo = inset, hi = kGrid - inset;
    if (x < lo || x > hi || y < lo || y > hi) return false;
    const double cx = std::clamp(x, lo + radius, hi - radius);
    const double cy = std::clamp(y, lo + radius, hi - radius);
    return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius;
}

double SegmentDistance(double px, double py, double ax, double ay, double bx, double by) {
    const double dx = bx - ax, dy = by - ay;
    const double t = std::clamp(((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
    return std::hypot(px - (ax + t * dx), py - (ay + t * dy));
}

// The colour of one point of the design, or false outside the icon (transparent).
bool Sample(double x, double y, TColour& out) {
    if (!InRoundedSquare(x, y, kOuter, kOuterRadius)) return false;
    if (!InRoundedSquare(x, y, kOuter + kFrame, kOuterRadius - kFrame)) {
        out = kFrameGold;
        return true;
    }
    out = y >= WaterLine(x) ? kRiver : kNight;
    if (std::fabs(y - WaterLine(x)) < 2.5) out = kFoam;
    for (const TReed& reed : kReeds) {
        const double hx = (x - reed.headX) / reed.headRx, hy = (y - reed.headY) / reed.headRy;
        if (hx * hx + hy * hy <= 1.0) {
            out = kHead;
            return true;
        }
        if (SegmentDistance(x, y, reed.footX, reed.footY, reed.tipX, reed.tipY) <= reed.width / 2) {
            out = kReed;
            return true;
        }
    }
    return true;
}

void PaintIcon(reedmark::TArt& icon, int size) {
    constexpr int kSub = 4;
    const double step = kGrid / size / kSub;
    for (int py = 0; py < size; ++py) {
        for (int px = 0; px < size; ++px) {
            int r = 0, g = 0, b = 0, covered = 0;
            for (int sy = 0; sy < kSub; ++sy) {
                for (int sx = 0; sx < kSub; ++sx) {
                    TColour c{};
                    if (!Sample((px * kSub + sx + 0.5) * step, (py * kSub + sy + 0.5) * step, c)) continue;
                    r += c.r, g += c.g, b += c.b, ++covered;
                }
            }
            if (covered == 0) continue;
            const auto alpha = static_cast<std::uint32_t>(covered * 255 / (kSub * kSub));
            icon.SetArgb(px, py,
                         (alpha << 24) | static_cast<std::uint32_t>(r / covered) << 16 |
                             static_cast<std::uint32_t>(g / covered) << 8 | static_cast<std::uint32_t>(b / covered));
        }
    }
}

std::string Hex(const TColour& c) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", c.r, c.g, c.b);
    return text;
}

// The same shapes in SVG: the night square, the river below the wave (its lower corners
// follow the outer rounding), the foam, the reeds, and last the gilded frame as a stroke
// that covers whatever reaches under it.
std::string Svg() {
    const double lo = kOuter, hi = kGrid - kOuter, r = kOuterRadius;
    std::ostringstream s;
    s << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" viewBox=\"0 0 256 256\">\n";
    s << "  <title>Reedmark</title>\n";
    s << "  <rect x=\"" << lo << "\" y=\"" << lo << "\" width=\"" << hi - lo << "\" height=\"" << hi - lo << "\" rx=\""
      << r << "\" fill=\"" << Hex(kNight) << "\"/>\n";
    std::ostringstream wave;
    for (double x = lo; x <= hi; x += 4) wave << (x == lo ? "M" : " L") << x << ' ' << WaterLine(x);
    s << "  <path d=\"" << wave.str() << " L" << hi << ' ' << hi - r << " A" << r << ' ' << r << " 0 0 1 " << hi - r
      << ' ' << hi << " L" << lo + r << ' ' << hi << " A" << r << ' ' << r << " 0 0 1 " << lo << ' ' << hi - r
      << " Z\" fill=\"" << Hex(kRiver) << "\"/>\n";
    std::ostringstream foam;
    for (double x = lo + kFrame; x <= hi - kFrame; x += 4)
        foam << (x == lo + kFrame ? "M" : " L") << x << ' ' << WaterLine(x);
    s << "  <path d=\"" << foam.str() << "\" fill=\"none\" stroke=\"" << Hex(kFoam) << "\" stroke-width=\"5\"/>\n";
    for (const TReed& reed : kReeds) {
        s << "  <line x1=\"" << reed.footX << "\" y1=\"" << reed.footY << "\" x2=\"" << reed.tipX << "\" y2=\""
          << reed.tipY << "\" stroke=\"" << Hex(kReed) << "\" stroke-width=\"" << reed.width
          << "\" stroke-linecap=\"round\"/>\n";
        s << "  <ellipse cx=\"" << reed.headX << "\" cy=\"" << reed.headY << "\" rx=\"" << reed.headRx << "\" ry=\""
          << reed.headRy << "\" fill=\"" << Hex(kHead) << "\"/>\n";
    }
    const double mid = kOuter + kFrame / 2;
    s << "  <rect x=\"" << mid << "\" y=\"" << mid << "\" width=\"" << kGrid - 2 * mid << "\" height=\""
      << kGrid - 2 * mid << "\" rx=\"" << r - kFrame / 2 << "\" fill=\"none\" stroke=\"" << Hex(kFrameGold)
      << "\" stroke-width=\"" << kFrame << "\"/>\n";
    s << "</svg>\n";
    return s.str();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: icongen OUT_DIR\n");
        return 2;
    }
    const std::string out = std::string(argv[1]) + "/";
    try {
        for (int size : {16, 24, 32, 48, 64, 128, 256}) {
            reedmark::TArt icon(size, size);
            PaintIcon(icon, size);
            reedmark::SavePNG(icon, out + "reedmark-" + std::to_string(size) + ".png", true);
        }
        std::ofstream svg(out + "reedmark.svg", std::ios::binary);
        svg << Svg();
        if (!svg) throw std::runtime_error("cannot write " + out + "reedmark.svg");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "icongen: %s\n", e.what());
        return 1;
    }
    return 0;
}
