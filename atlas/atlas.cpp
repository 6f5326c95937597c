// Territory construction of the strategic atlas: nearest-anchor regions inside the
// island outline, bent by the map warp.
#include "atlas/atlas.hpp"

#include <cmath>
#include <cstdint>

namespace reedmark {

namespace {

// [SECTION] Fixed shapes

constexpr int kOutlineVertices = 36;
constexpr int kOutline[kOutlineVertices][2] = {
    {25, 42},   {65, 29},   {112, 38},  {151, 29},  {194, 35},  {230, 26},  {266, 44},  {276, 66},  {264, 86},
    {290, 105}, {283, 129}, {306, 146}, {312, 176}, {326, 193}, {319, 224}, {300, 243}, {269, 235}, {246, 246},
    {219, 230}, {195, 238}, {164, 230}, {142, 239}, {117, 225}, {89, 234},  {65, 213},  {52, 189},  {33, 178},
    {44, 156},  {28, 134},  {42, 112},  {21, 92},   {32, 72},   {24, 64},   {34, 59},   {22, 51},   {25, 42}};

constexpr int kAnchorColumns = 7;
constexpr int kWarpSteps = 12;

// The main river of the map painting runs down these image rows.
constexpr int kRiverFirstRow = 88;
constexpr int kRiverLastRow = 478;
constexpr int kRiverHalfWidth = 3;  // banks included

// [SECTION] Construction steps

// For one grid row, marks the cells inside the outline (even-odd crossing test).
void InsideRow(int y, std::vector<bool>& inside) {
    inside.assign(kAtlasWidth, false);
    std::vector<double> crossings;
    for (int i = 0; i + 1 < kOutlineVertices; ++i) {
        double xi = kOutline[i][0], yi = kOutline[i][1];
        double xj = kOutline[i + 1][0], yj = kOutline[i + 1][1];
        if ((y < yi) == (y < yj)) continue;
        crossings.push_back(xi + (xj - xi) * (y - yi) / (yj - yi));
    }
    for (int x = 0; x < kAtlasWidth; ++x) {
        bool in = false;
        for (double cx : crossings)
            if (cx > x) in = !in;
        inside[x] = in;
    }
}

// Nearest anchor of the jittered cell, lowest province id on ties.
std::uint8_t NearestProvince(int x, int y, const std::array<int, kProvinceCount + 1>& lx,
                             const std::array<int, kProvinceCount + 1>& ly) {
    double px = x + 2.4 * std::sin(y / 5.7) + 1.3 * std::sin((x + y) / 11.0);
    double py = y + 1.7 * std::sin(x / 7.1);
    long long best = 0;
    int bestP = 0;
    for (int p = 1; p <= kProvinceCount; ++p) {
        double dy = py - ly[p];
        double dx = px - lx[p];
        long long d = std::llrint(dy * dy * 1.22 + dx * dx);
        if (bestP == 0 || d < best) {
            best = d;
            bestP = p;
        }
    }
    return static_cast<std::uint8_t>(bestP);
}

}  // namespace

int RoundEven(double v) {
    return static_cast<int>(std::nearbyint(v));
}

std::pair<double, double> AtlasWarp(double x, double y) {
    return {x + 24 * std::sin(y / 44) + 12 * std::sin(x / 46) * std::cos(y / 71),
            y + 13 * std::sin(x / 52) + 7 * std::sin(y / 47)};
}

TAtlas::TAtlas() : grid_(static_cast<size_t>(kAtlasWidth) * kAtlasHeight, 0) {
    for (int p = 1; p <= kProvinceCount; ++p) {
        int c = (p - 1) % kAnchorColumns;
        int r = (p - 1) / kAnchorColumns;
        labelX_[p] = 35 * c + 7 * r + (19 * p) % 5 + 42;
        labelY_[p] = 27 * r + (13 * p) % 5 + 50;
    }

    // Raw territories: straight nearest-anchor regions inside the outline.
    std::vector<std::uint8_t> raw(grid_.size(), 0);
    std::vector<bool> inside;
    for (int y = 0; y < kAtlasHeight; ++y) {
        InsideRow(y, inside);
        for (int x = 0; x < kAtlasWidth; ++x)
            if (inside[x]) raw[static_cast<size_t>(y) * kAtlasWidth + x] = NearestProvince(x, y, labelX_, labelY_);
    }

    // Warped territories: each cell looks up where the warp brought it from.
    for (int y = 0; y < kAtlasHeight; ++y) {
        for (int x = 0; x < kAtlasWidth; ++x) {
            double u = x;
            double v = y;
            for (int step = 0; step < kWarpSteps; ++step) {
                double nu = x - 24 * std::sin(v / 44) - 12 * std::sin(u / 46) * std::cos(v / 71);
                double nv = y - 13 * std::sin(u / 52) - 7 * std::sin(v / 47);
                u = nu;
                v = nv;
            }
            int sx = RoundEven(u);
            int sy = RoundEven(v);
            if (sx >= 0 && sx < kAtlasWidth && sy >= 0 && sy < kAtlasHeight)
                grid_[static_cast<size_t>(y) * kAtlasWidth + x] = raw[static_cast<size_t>(sy) * kAtlasWidth + sx];
        }
    }

    // The labels move with the land.
    for (int p = 1; p <= kProvinceCount; ++p) {
        auto [wx, wy] = AtlasWarp(labelX_[p], labelY_[p]);
        labelX_[p] = RoundEven(wx);
        labelY_[p] = RoundEven(wy);
    }

    std::array<bool, kProvinceCount + 1> owns{};
    for (std::uint8_t id : grid_) owns[id] = true;
    for (int p = 1; p <= kProvinceCount; ++p) {
        if (!owns[p]) throw TGameError("Province has no atlas territory.");
        if (ProvinceAt(labelX_[p], labelY_[p]) != p) throw TGameError("Province label is outside its territory.");
    }
}

int TAtlas::ProvinceAt(int x, int y) const {
    if (x < 0 || x >= kAtlasWidth || y < 0 || y >= kAtlasHeight) return 0;
    return grid_[static_cast<size_t>(y) * kAtlasWidth + x];
}

std::pair<int, int> TAtlas::LabelAnchor(int p) const {
    if (p < 1 || p > kProvinceCount) return {0, 0};
    return {labelX_[p], labelY_[p]};
}

std::array<bool, kProvinceCount + 1> TAtlas::MainRiverProvinces() const {
    std::array<bool, kProvinceCount + 1> crossed{};
    for (int y = kRiverFirstRow; y <= kRiverLastRow; ++y) {
        int centre = RoundEven(18 * std::sin(y / 44.0) + 0.23 * (y - kRiverFirstRow) + 230);
        for (int k = -kRiverHalfWidth; k <= kRiverHalfWidth; ++k) {
            auto [wx, wy] = AtlasWarp((centre + k) / 2.0, y / 2.0);
            crossed[ProvinceAt(RoundEven(wx), RoundEven(wy))] = true;
        }
    }
    crossed[0] = false;
    return crossed;
}

std::vector<int> TAtlas::TouchingProvinces(int p) const {
    std::array<bool, kProvinceCount + 1> touching{};
    for (int y = 0; y < kAtlasHeight; ++y) {
        for (int x = 0; x < kAtlasWidth; ++x) {
            if (ProvinceAt(x, y) != p) continue;
            touching[ProvinceAt(x + 1, y)] = true;
            touching[ProvinceAt(x - 1, y)] = true;
            touching[ProvinceAt(x, y + 1)] = true;
            touching[ProvinceAt(x, y - 1)] = true;
        }
    }
    std::vector<int> result;
    for (int q = 1; q <= kProvinceCount; ++q)
        if (q != p && touching[q]) result.push_back(q);
    return result;
}

}  // namespace reedmark
