// Painting the strategic map from the atlas territories and the province owners. The
// trigonometric and neighbourhood terms are fixed by the territories alone, so they are
// computed once; a repaint only combines them with the owners and the selection.
#include "atlas/map_paint.hpp"

#include <algorithm>
#include <cmath>

#include "art/sheets.hpp"

namespace reedmark {

namespace {

constexpr std::uint32_t kOwnerColours[12] = {0xA3B989, 0xB44F45, 0x8EA8C1, 0xB6A36E, 0x658E72, 0x9A82A6,
                                             0xB77D91, 0x689B9B, 0xBE905F, 0x819DC4, 0x9DAC89, 0x8C4148};

constexpr std::uint32_t kDeepSea = 0x203E61;
constexpr std::uint32_t kShallowSea = 0x47748A;
constexpr std::uint32_t kWave = 0x60869C;
constexpr std::uint32_t kSurf = 0xB9CFBF;
constexpr std::uint32_t kBorder = 0x394D3B;
constexpr std::uint32_t kSelectedBorder = 0xE9C664;
constexpr std::uint32_t kInnerLine = 0xF6DD86;
constexpr std::uint32_t kRiverBank = 0xC2D0AB;
constexpr std::uint32_t kRiverWater = 0x567E8B;
constexpr std::uint32_t kBrookWater = 0x759CA0;
constexpr std::uint32_t kBrookBank = 0xB3C9BC;
constexpr int kHatchShade = 11;
constexpr int kSeaSearch = 10;
constexpr int kOpenSea = 12;

// Land pixel flags.
constexpr std::uint8_t kHatch = 1;
constexpr std::uint8_t kEdge = 2;   // a 4-neighbour pixel lies in another province
constexpr std::uint8_t kInner = 4;  // a pixel two steps away lies in another province

constexpr std::uint32_t kOpaque = 0xFF000000u;

std::size_t PixelIndex(int x, int y) {
    return static_cast<std::size_t>(y) * kMapImageWidth + static_cast<std::size_t>(x);
}

// The doubled, rounded warp of a half-scale point: the image pixel of that map point.
std::pair<int, int> WarpedPixel(double x, double y) {
    auto [wx, wy] = AtlasWarp(x, y);
    return {2 * RoundEven(wx), 2 * RoundEven(wy)};
}

}  // namespace

std::uint32_t Shade(std::uint32_t rgb, int k) {
    auto channel = [k](std::uint32_t c) {
        return static_cast<std::uint32_t>(std::clamp(static_cast<int>(c) + k, 0, 255));
    };
    return channel((rgb >> 16) & 0xFF) << 16 | channel((rgb >> 8) & 0xFF) << 8 | channel(rgb & 0xFF);
}

std::uint32_t MapOwnerColour(int owner) {
    if (owner >= 0 && owner < 12) return kOwnerColours[owner];
    return FactionColour(owner);
}

TMapPainter::TMapPainter(const TAtlas& atlas) : atlas_(atlas), image_(kMapImageWidth, kMapImageHeight) {
    const std::size_t n = static_cast<std::size_t>(kMapImageWidth) * kMapImageHeight;
    province_.assign(n, 0);
    sea_.assign(n, 0);
    shade_.assign(n, 0);
    flags_.assign(n, 0);
    auto provinceAtPixel = [&atlas](int x, int y) {
        if (x < 0 || y < 0 || x >= kMapImageWidth || y >= kMapImageHeight) return 0;
        return atlas.ProvinceAt(x / 2, y / 2);
    };

    // Distance of each sea cell to the nearest land along its row and column.
    std::vector<int> depth(static_cast<std::size_t>(kAtlasWidth) * kAtlasHeight, kOpenSea);
    for (int gy = 0; gy < kAtlasHeight; ++gy)
        for (int gx = 0; gx < kAtlasWidth; ++gx) {
            int& d = depth[static_cast<std::size_t>(gy) * kAtlasWidth + gx];
            for (int k = 1; k <= kSeaSearch; ++k)
                if (atlas.ProvinceAt(gx - k, gy) || atlas.ProvinceAt(gx + k, gy) || atlas.ProvinceAt(gx, gy - k) ||
                    atlas.ProvinceAt(gx, gy + k)) {
                    d = k;
                    break;
                }
        }

    std::vector<int> waveRow(kMapImageWidth);
    for (int x = 0; x < kMapImageWidth; ++x) waveRow[x] = RoundEven(4 * std::sin(x / 23.0));
    for (int y = 0; y < kMapImageHeight; ++y)
        for (int x = 0; x < kMapImageWidth; ++x) {
            const std::size_t i = PixelIndex(x, y);
            const int p = provinceAtPixel(x, y);
            province_[i] = static_cast<std::uint8_t>(p);
            if (p == 0) {
                const int d = depth[static_cast<std::size_t>(y / 2) * kAtlasWidth + x / 2];
                std::uint32_t colour = d < 4 ? Shade(kShallowSea, 8 - 3 * d) : Shade(kDeepSea, 10 - d);
                if ((waveRow[x] + y) % 21 == 0 && (3 * y + x) % 47 < 19) colour = kWave;
                if (d == 1 && (x + y) % 3 == 0) colour = kSurf;
                sea_[i] = colour;
                continue;
            }
            shade_[i] = static_cast<std::int8_t>(
                RoundEven(5 * std::sin(x / 27.0) + 4 * std::cos(y / 31.0) + 3 * std::sin((x + y) / 19.0)) +
                (11 * y + 7 * x) % 7 - 3);
            std::uint8_t f = 0;
            if ((2 * y + x) % 19 == 0) f |= kHatch;
            if (provinceAtPixel(x - 1, y) != p || provinceAtPixel(x + 1, y) != p || provinceAtPixel(x, y - 1) != p ||
                provinceAtPixel(x, y + 1) != p)
                f |= kEdge;
            if (provinceAtPixel(x - 2, y) != p || provinceAtPixel(x + 2, y) != p || provinceAtPixel(x, y - 2) != p ||
                provinceAtPixel(x, y + 2) != p)
                f |= kInner;
            flags_[i] = f;
        }

    // The rivers, in painting order: a later block covers an earlier one. Every block
    // is one grid cell (the positions are even), so a land test of its corner covers it.
    std::vector<std::uint32_t> overlay(n, 0);
    auto block = [&](int x, int y, int w, int h, std::uint32_t colour) {
        for (int j = 0; j < h; ++j)
            for (int i = 0; i < w; ++i)
                if (x + i >= 0 && y + j >= 0 && x + i < kMapImageWidth && y + j < kMapImageHeight)
                    overlay[PixelIndex(x + i, y + j)] = kOpaque | colour;
    };
    for (int y = 88; y <= 478; ++y) {
        const int c = RoundEven(18 * std::sin(y / 44.0) + 0.23 * (y - 88) + 230);
        for (int k = -3; k <= 3; ++k) {
            auto [X, Y] = WarpedPixel((c + k) / 2.0, y / 2.0);
            if (provinceAtPixel(X, Y) != 0) block(X, Y, 2, 2, std::abs(k) == 3 ? kRiverBank : kRiverWater);
        }
    }
    for (int x = 110; x <= 530; ++x) {
        const int y = RoundEven(30 * std::sin(x / 66.0) + 274);
        auto [X, Y] = WarpedPixel(x / 2.0, y / 2.0);
        if (provinceAtPixel(X, Y) == 0) continue;
        block(X, Y, 2, 2, kBrookWater);
        block(X, Y + 1, 2, 1, kBrookBank);
    }
    for (std::size_t i = 0; i < n; ++i)
        if (overlay[i] != 0) rivers_.push_back({static_cast<std::uint32_t>(i), overlay[i] & 0xFFFFFFu});

    // Terrain sprites: twelve mountains along the hills, then the settlements.
    for (int i = 0; i <= 11; ++i) {
        auto [X, Y] = WarpedPixel((7 * i + 64) / 2.0, (22 * i + 107) / 2.0);
        if (provinceAtPixel(X, Y) != 0) sprites_.push_back({2, X - 13, Y - 21, 27, 31, 215});
    }
    for (int p = 1; p <= kProvinceCount; ++p) {
        auto [lx, ly] = atlas.LabelAnchor(p);
        const int X = 2 * lx + 20, Y = 2 * ly + 12;
        if (provinceAtPixel(X, Y) != p) continue;
        if (p % 9 == 0)
            sprites_.push_back({7, X - 9, Y - 10, 21, 21, 230});
        else if (p % 4 == 0)
            sprites_.push_back({0, X - 8, Y - 13, 18, 22, 190});
    }
}

std::string TMapPainter::MapKey(const TGame& game, int selected) {
    std::string key = std::to_string(selected) + ':';
    for (int p = 1; p <= kProvinceCount; ++p) {
        key += std::to_string(TGame::GetInt(game.Province(p), "owner", 0));
        key += ',';
    }
    return key;
}

bool TMapPainter::DrawMap(const TGame& game, int selected, const TArtwork& artwork) {
    std::string key = MapKey(game, selected);
    if (key == key_) return false;
    key_ = std::move(key);
    ++repaints_;

    // Owner colours and the hatched variant's switch, by province.
    std::array<std::uint32_t, kProvinceCount + 1> colour{};
    std::array<bool, kProvinceCount + 1> owned{};
    for (int p = 1; p <= kProvinceCount; ++p) {
        const int owner = TGame::GetInt(game.Province(p), "owner", 0);
        colour[p] = MapOwnerColour(owner);
        owned[p] = owner != 0;
    }

    std::uint32_t* out = image_.MutablePixels();
    const std::size_t n = province_.size();
    for (std::size_t i = 0; i < n; ++i) {
        const int p = province_[i];
        if (p == 0) {
            out[i] = kOpaque | sea_[i];
            continue;
        }
        const std::uint8_t f = flags_[i];
        std::uint32_t c;
        if (f & kEdge) {
            c = p == selected ? kSelectedBorder : kBorder;
        } else if (p == selected && (f & kInner)) {
            c = kInnerLine;
        } else {
            c = Shade(colour[p], shade_[i]);
            if (owned[p] && (f & kHatch)) c = Shade(c, kHatchShade);
        }
        out[i] = kOpaque | c;
    }
    for (const TRiverPixel& r : rivers_) out[r.index] = kOpaque | r.colour;
    if (artwork.HasTerrainSheet())
        for (const TSprite& s : sprites_)
            artwork.PaintTerrainSprite(image_, s.cell, s.x, s.y, s.w, s.h, s.opacity, false);
    return true;
}

}  // namespace reedmark
