// TArt: storage and dirty flag, the clipped primitives against brute-force definitions,
// the blit's sampling and blending arithmetic, and the texture on a software renderer.
#include "art/art.hpp"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <random>
#include <set>
#include <utility>

namespace reedmark {
namespace {

using Pixels = std::set<std::pair<int, int>>;

constexpr std::uint32_t kInk = 0x123456;

Pixels Painted(const TArt& art) {
    Pixels out;
    for (int y = 0; y < art.Height(); ++y)
        for (int x = 0; x < art.Width(); ++x)
            if (art.Argb(x, y) != 0) out.insert({x, y});
    return out;
}

// The classic integer line walk, kept here as the reference the clipped line must match.
Pixels ReferenceLine(int x0, int y0, int x1, int y1, int w, int h) {
    Pixels out;
    int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
    int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    for (;;) {
        if (x0 >= 0 && y0 >= 0 && x0 < w && y0 < h) out.insert({x0, y0});
        if (x0 == x1 && y0 == y1) break;
        int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
    return out;
}

// A software renderer on a 16 x 16 surface: enough to exercise textures without a window.
class ArtTexture : public ::testing::Test {
   protected:
    void SetUp() override {
        surface_ = SDL_CreateRGBSurfaceWithFormat(0, 16, 16, 32, SDL_PIXELFORMAT_ARGB8888);
        ASSERT_NE(surface_, nullptr) << SDL_GetError();
        renderer_ = SDL_CreateSoftwareRenderer(surface_);
        ASSERT_NE(renderer_, nullptr) << SDL_GetError();
    }
    void TearDown() override {
        if (renderer_ != nullptr) SDL_DestroyRenderer(renderer_);
        if (surface_ != nullptr) SDL_FreeSurface(surface_);
    }
    void Clear(std::uint32_t rgb) {
        SDL_SetRenderDrawColor(renderer_, (rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF, 255);
        SDL_RenderClear(renderer_);
    }
    std::uint32_t ReadBack(int x, int y) {
        std::uint32_t pixel = 0;
        SDL_Rect rect{x, y, 1, 1};
        EXPECT_EQ(SDL_RenderReadPixels(renderer_, &rect, SDL_PIXELFORMAT_ARGB8888, &pixel, 4), 0) << SDL_GetError();
        return pixel & 0xFFFFFFu;
    }
    // An image whose dirty flag has been cleared by an upload.
    void Clean(TArt& art) {
        art.UploadTexture(renderer_);
        ASSERT_FALSE(art.Dirty());
    }

    SDL_Surface* surface_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
};

// [SECTION] Storage and dirty flag

TEST(ArtStorage, NewImagesAreTransparentAndDirtyAndHugeOnesAreRefused) {
    TArt art(3, 2);
    EXPECT_EQ(art.Width(), 3);
    EXPECT_EQ(art.Height(), 2);
    EXPECT_TRUE(art.Dirty());
    EXPECT_EQ(art.Pixels(), std::vector<std::uint32_t>(6, 0u));

    art.Create(-5, 4);
    EXPECT_EQ(art.Width(), 0);
    EXPECT_EQ(art.Height(), 4);
    EXPECT_TRUE(art.Pixels().empty());

    TArt kept(2, 2);
    kept.SetPixel(1, 1, kInk);
    EXPECT_THROW(kept.Create(kArtMaxSide + 1, 1), TArtError);
    EXPECT_EQ(kept.Width(), 2);
    EXPECT_EQ(kept.GetPixel(1, 1), kInk);
}

TEST(ArtStorage, PixelsAreOpaqueRgbAndOutsideReadsZero) {
    TArt art(2, 2);
    art.SetPixel(1, 0, 0xAB123456);  // the top byte of a colour is ignored
    EXPECT_EQ(art.Argb(1, 0), 0xFF123456u);
    EXPECT_EQ(art.GetPixel(1, 0), 0x123456u);
    art.SetArgb(0, 1, 0x80FF0000);
    EXPECT_EQ(art.Argb(0, 1), 0x80FF0000u);
    for (auto [x, y] : {std::pair{-1, 0}, {2, 0}, {0, -1}, {0, 2}, {INT_MIN, INT_MAX}}) {
        EXPECT_EQ(art.GetPixel(x, y), 0u);
        EXPECT_EQ(art.Argb(x, y), 0u);
    }
}

TEST_F(ArtTexture, WritesOutsideKeepTheDirtyFlagButFillRectAlwaysSetsIt) {
    TArt art(4, 4);
    Clean(art);
    art.SetPixel(-1, 2, kInk);
    art.SetPixel(4, 2, kInk);
    art.SetArgb(2, 4, kInk);
    art.DrawLine(-5, -5, -1, -9, kInk);
    art.FillEllipse(-20, -20, 3, 3, kInk);
    EXPECT_FALSE(art.Dirty());
    EXPECT_EQ(Painted(art), Pixels{});

    art.FillRect(10, 10, 3, 3, kInk);
    EXPECT_TRUE(art.Dirty());
    EXPECT_EQ(Painted(art), Pixels{});

    Clean(art);
    art.FillPattern(-9, -9, 2, 2, kInk, kInk, 3);
    EXPECT_TRUE(art.Dirty());
    Clean(art);
    art.SetPixel(3, 3, kInk);
    EXPECT_TRUE(art.Dirty());
}

// [SECTION] Primitives

TEST(ArtPrimitives, FillRectIsClipped) {
    TArt art(4, 3);
    art.FillRect(-2, 1, 4, 10, kInk);
    EXPECT_EQ(Painted(art), (Pixels{{0, 1}, {1, 1}, {0, 2}, {1, 2}}));
    TArt other(4, 3);
    other.FillRect(INT_MIN, INT_MIN, INT_MAX, INT_MAX, kInk);  // ends at -2, -2
    EXPECT_EQ(Painted(other), Pixels{});
    other.FillRect(1, 1, 0, 5, kInk);
    other.FillRect(1, 1, -3, 5, kInk);
    EXPECT_EQ(Painted(other), Pixels{});
}

TEST(ArtPrimitives, LinesMatchTheIntegerWalkAndIncludeBothEnds) {
    struct Case {
        int x0, y0, x1, y1;
        Pixels expected;
    };
    const Case cases[] = {
        {2, 2, 2, 2, {{2, 2}}},
        {0, 0, 4, 2, {{0, 0}, {1, 1}, {2, 1}, {3, 2}, {4, 2}}},
        {4, 2, 0, 0, {{4, 2}, {3, 1}, {2, 1}, {1, 0}, {0, 0}}},  // ties round towards the end point
        {1, 0, 1, 3, {{1, 0}, {1, 1}, {1, 2}, {1, 3}}},
        {0, 4, 3, 1, {{0, 4}, {1, 3}, {2, 2}, {3, 1}}},
    };
    for (const Case& c : cases) {
        TArt art(6, 6);
        art.DrawLine(c.x0, c.y0, c.x1, c.y1, kInk);
        EXPECT_EQ(Painted(art), c.expected) << c.x0 << "," << c.y0 << " -> " << c.x1 << "," << c.y1;
    }
    std::mt19937 random(5);
    std::uniform_int_distribution<int> coordinate(-40, 60);
    for (int i = 0; i < 3000; ++i) {
        const int x0 = coordinate(random), y0 = coordinate(random), x1 = coordinate(random), y1 = coordinate(random);
        TArt art(21, 17);
        art.DrawLine(x0, y0, x1, y1, kInk);
        ASSERT_EQ(Painted(art), ReferenceLine(x0, y0, x1, y1, 21, 17)) << x0 << "," << y0 << " -> " << x1 << "," << y1;
    }
}

TEST(ArtPrimitives, ExtremeCoordinatesAreClippedWithoutHangingOrOverflow) {
    TArt art(8, 8);
    art.DrawLine(INT_MIN, INT_MIN, INT_MAX, INT_MAX, kInk);
    for (int k = 0; k < 8; ++k) EXPECT_EQ(art.GetPixel(k, k), kInk) << k;
    EXPECT_EQ(Painted(art).size(), 8u);

    TArt triangle(8, 8);
    triangle.FillTriangle(INT_MIN, INT_MIN, INT_MAX, INT_MIN, 0, INT_MAX, kInk);
    EXPECT_EQ(Painted(triangle).size(), 64u);

    TArt ellipse(8, 8);
    ellipse.FillEllipse(4, 4, INT_MAX, INT_MAX, kInk);
    EXPECT_EQ(Painted(ellipse).size(), 64u);
    TArt flat(8, 8);
    flat.FillEllipse(4, 4, INT_MAX, 0, kInk);
    EXPECT_EQ(Painted(flat).size(), 8u);

    TArt source(2, 2);
    source.FillRect(0, 0, 2, 2, kInk);
    TArt blit(8, 8);
    blit.Blit(&source, 0, 0, 2, 2, INT_MIN / 2, INT_MIN / 2, INT_MAX, INT_MAX, 255, true, false);
    EXPECT_EQ(Painted(blit).size(), 64u);
}

TEST(ArtPrimitives, TrianglesFillTheSameEdgeInclusivePixelsInEitherWinding) {
    struct Case {
        int x1, y1, x2, y2, x3, y3;
    };
    const Case cases[] = {{1, 1, 9, 2, 4, 8}, {0, 0, 9, 0, 0, 9}, {5, -3, 12, 7, -2, 6}, {3, 3, 3, 3, 3, 3}};
    for (const Case& c : cases) {
        TArt clockwise(10, 10), counter(10, 10);
        clockwise.FillTriangle(c.x1, c.y1, c.x2, c.y2, c.x3, c.y3, kInk);
        counter.FillTriangle(c.x1, c.y1, c.x3, c.y3, c.x2, c.y2, kInk);
        EXPECT_EQ(Painted(clockwise), Painted(counter));
        Pixels expected;
        auto edge = [](int ax, int ay, int bx, int by, int px, int py) {
            return static_cast<long long>(bx - ax) * (py - ay) - static_cast<long long>(by - ay) * (px - ax);
        };
        // Candidates are the pixels of the bounding box (a point triangle is one pixel).
        for (int y = std::max(0, std::min({c.y1, c.y2, c.y3})); y <= std::min(9, std::max({c.y1, c.y2, c.y3})); ++y)
            for (int x = std::max(0, std::min({c.x1, c.x2, c.x3})); x <= std::min(9, std::max({c.x1, c.x2, c.x3}));
                 ++x) {
                long long e1 = edge(c.x1, c.y1, c.x2, c.y2, x, y), e2 = edge(c.x2, c.y2, c.x3, c.y3, x, y),
                          e3 = edge(c.x3, c.y3, c.x1, c.y1, x, y);
                if ((e1 >= 0 && e2 >= 0 && e3 >= 0) || (e1 <= 0 && e2 <= 0 && e3 <= 0)) expected.insert({x, y});
            }
        EXPECT_EQ(Painted(clockwise), expected);
    }
    // A flat triangle covers exactly the pixels lying on its line.
    TArt flat(10, 10);
    flat.FillTriangle(0, 0, 4, 2, 8, 4, kInk);
    EXPECT_EQ(Painted(flat), (Pixels{{0, 0}, {2, 1}, {4, 2}, {6, 3}, {8, 4}}));
}

TEST(ArtPrimitives, EllipsesKeepExactlyThePixelsInsideTheirBoundary) {
    TArt art(9, 7);
    art.FillEllipse(4, 3, 3, 2, kInk);
    Pixels expected;
    for (int j = -2; j <= 2; ++j)
        for (int i = -3; i <= 3; ++i)
            if (i * i * 4 + j * j * 9 <= 36) expected.insert({4 + i, 3 + j});
    EXPECT_EQ(Painted(art), expected);
    EXPECT_TRUE(expected.count({7, 3}));   // 36 <= 36: the boundary is inside
    EXPECT_FALSE(expected.count({7, 4}));  // 45 > 36

    TArt line(5, 5);
    line.FillEllipse(2, 2, 0, 1, kInk);
    EXPECT_EQ(Painted(line), (Pixels{{2, 1}, {2, 2}, {2, 3}}));
    TArt none(5, 5);
    none.FillEllipse(2, 2, -1, 2, kInk);
    EXPECT_EQ(Painted(none), Pixels{});
}

TEST(ArtPrimitives, PatternsPutColourBOnTheImageDiagonals) {
    struct Case {
        int period;
        int expectedB;  // pixels of colour B in the 4 x 4 area at (1, 2)
    };
    for (const Case& c : {Case{3, 6}, Case{1, 16}, Case{0, 0}, Case{-3, 6}}) {
        TArt art(8, 8);
        art.FillPattern(1, 2, 4, 4, 0xAAAAAA, 0xBBBBBB, c.period);
        int countB = 0;
        for (int y = 2; y < 6; ++y)
            for (int x = 1; x < 5; ++x) {
                const bool diagonal = c.period != 0 && (x + y) % c.period == 0;
                EXPECT_EQ(art.GetPixel(x, y), diagonal ? 0xBBBBBBu : 0xAAAAAAu) << x << "," << y;
                countB += art.GetPixel(x, y) == 0xBBBBBB;
            }
        EXPECT_EQ(countB, c.expectedB) << "period " << c.period;
        EXPECT_EQ(Painted(art).size(), 16u);
    }
}

// [SECTION] Blit

TEST(ArtBlit, OpacityBlendsAndAlphaZeroOrFullBehaveAsPromised) {
    struct Case {
        std::uint32_t source;
        int opacity;
        std::uint32_t expected;
    };
    const Case cases[] = {
        {0xFFFF0000, 128, 0xFF80007F},  // red 128, blue 127
        {0xFFFF0000, 255, 0xFFFF0000},  // written unchanged
        {0xFFFF0000, 900, 0xFFFF0000},  // opacity clamped
        {0xFFFF0000, 0, 0xFF0000FF},   {0xFFFF0000, -4, 0xFF0000FF},
        {0x00FF0000, 255, 0xFF0000FF},  // transparent source
        {0x80FF0000, 255, 0xFF80007F},  // alpha 128 acts like opacity 128
        {0x80FF0000, 128, 0xFF4000BF},  // 128 * 128 / 255 = 64
    };
    for (const Case& c : cases) {
        TArt source(1, 1), target(1, 1);
        source.SetArgb(0, 0, c.source);
        target.SetPixel(0, 0, 0x0000FF);
        target.Blit(&source, 0, 0, 1, 1, 0, 0, 1, 1, c.opacity, false, false);
        EXPECT_EQ(target.Argb(0, 0), c.expected) << std::hex << c.source << " at " << std::dec << c.opacity;
    }
}

TEST(ArtBlit, NearestScalingRepeatsSourcePixelsInBlocks) {
    TArt source(2, 2);
    const std::uint32_t colours[] = {0x110000, 0x002200, 0x000033, 0x444444};
    for (int k = 0; k < 4; ++k) source.SetPixel(k % 2, k / 2, colours[k]);
    TArt target(4, 4);
    target.Blit(&source, 0, 0, 2, 2, 0, 0, 4, 4, 255, false, false);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(target.GetPixel(x, y), colours[(y / 2) * 2 + x / 2]) << x << "," << y;

    // Shrinking 5 -> 2 picks (i * 5 + 2) div 2: source columns 1 and 3.
    TArt row(5, 1);
    for (int x = 0; x < 5; ++x) row.SetPixel(x, 0, 0x10 * (x + 1));
    TArt small(2, 1);
    small.Blit(&row, 0, 0, 5, 1, 0, 0, 2, 1, 255, false, false);
    EXPECT_EQ(small.GetPixel(0, 0), 0x20u);
    EXPECT_EQ(small.GetPixel(1, 0), 0x40u);
}

TEST(ArtBlit, SmoothAveragesFourSamplesPerChannelIncludingAlpha) {
    // 3 x 3 onto 2 x 2: target column 0 samples source columns 0 and 1, column 1 samples 1 and 2.
    TArt source(3, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x) source.SetArgb(x, y, 0xFF000000u | static_cast<std::uint32_t>(10 * (3 * y + x)));
    TArt target(2, 2);
    target.Blit(&source, 0, 0, 3, 3, 0, 0, 2, 2, 255, true, false);
    EXPECT_EQ(target.Argb(0, 0), 0xFF000000u | (0 + 10 + 30 + 40) / 4);
    EXPECT_EQ(target.Argb(1, 1), 0xFF000000u | (40 + 50 + 70 + 80) / 4);

    // Half-covered: alpha averages to 127, the colour channels average with the transparent black.
    TArt edge(2, 2);
    edge.SetArgb(0, 0, 0xFFFF0000);
    edge.SetArgb(0, 1, 0xFFFF0000);
    TArt under(1, 1);
    under.SetPixel(0, 0, 0x000000);
    under.Blit(&edge, 0, 0, 2, 2, 0, 0, 1, 1, 255, true, false);
    EXPECT_EQ(under.Argb(0, 0), 0xFF3F0000u);  // (127 * 127) div 255 = 63
}

TEST(ArtBlit, GreyMixesEachChannelWithThreeQuartersLuminance) {
    TArt source(1, 1), target(1, 1);
    source.SetArgb(0, 0, 0xFF102030);  // l = (11*48 + 30*16 + 59*32) div 100 = 28
    target.Blit(&source, 0, 0, 1, 1, 0, 0, 1, 1, 255, false, true);
    EXPECT_EQ(target.Argb(0, 0), 0xFF191D21u);
}

TEST(ArtBlit, RefusesEmptySizesAndSkipsSamplesOutsideTheSource) {
    TArt source(2, 2);
    source.FillRect(0, 0, 2, 2, kInk);
    TArt target(4, 4);
    for (auto [sw, dw] : {std::pair{0, 2}, {2, 0}, {-1, 2}}) {
        target.Blit(&source, 0, 0, sw, 2, 0, 0, dw, 2, 255, false, false);
        target.Blit(&source, 0, 0, 2, sw, 0, 0, 2, dw, 255, false, false);
    }
    target.Blit(nullptr, 0, 0, 2, 2, 0, 0, 2, 2, 255, false, false);
    EXPECT_EQ(Painted(target), Pixels{});

    target.Blit(&source, -1, 0, 2, 2, 0, 0, 2, 2, 255, false, false);  // column -1 does not exist
    EXPECT_EQ(Painted(target), (Pixels{{1, 0}, {1, 1}}));
}

TEST(ArtBlit, AnImageCanBeBlittedOntoItself) {
    TArt art(4, 1);
    for (int x = 0; x < 4; ++x) art.SetPixel(x, 0, 0x10 * (x + 1));
    art.Blit(&art, 0, 0, 2, 1, 1, 0, 2, 1, 255, false, false);
    EXPECT_EQ(art.GetPixel(1, 0), 0x10u);
    EXPECT_EQ(art.GetPixel(2, 0), 0x20u);
}

TEST(ArtPalette, FactionColoursWrapEveryFifteenAndNegativeCountsAsZero) {
    const std::pair<int, std::uint32_t> cases[] = {{-7, 0x78C870}, {0, 0x78C870},  {1, 0xA82828},  {11, 0xA82828},
                                                   {13, 0x1C2C70}, {14, 0x585860}, {15, 0x78C870}, {29, 0x585860}};
    for (auto [f, colour] : cases) EXPECT_EQ(FactionColour(f), colour) << f;
}

// [SECTION] Texture

TEST_F(ArtTexture, DrawUploadsWhenDirtyAndBlendsByAlpha) {
    TArt art(2, 2);
    art.SetPixel(0, 0, 0xFF0000);
    art.SetArgb(1, 0, 0x800000FF);  // half-transparent blue
    Clear(0x00FF00);
    art.Draw(renderer_, 4, 4, 4, 4);
    EXPECT_FALSE(art.Dirty());
    EXPECT_EQ(ReadBack(4, 4), 0xFF0000u);
    EXPECT_EQ(ReadBack(5, 5), 0xFF0000u);
    const std::uint32_t blended = ReadBack(6, 4);
    EXPECT_NEAR(static_cast<int>((blended >> 8) & 0xFF), 127, 2);
    EXPECT_NEAR(static_cast<int>(blended & 0xFF), 128, 2);
    EXPECT_EQ(ReadBack(4, 6), 0x00FF00u);  // transparent pixels show what lies beneath
    EXPECT_EQ(ReadBack(3, 3), 0x00FF00u);

    art.SetPixel(0, 0, 0xFFFFFF);
    art.Draw(renderer_, 4, 4, 4, 4);
    EXPECT_EQ(ReadBack(4, 4), 0xFFFFFFu);

    art.ReleaseTexture();
    Clear(0x000000);
    art.Draw(renderer_, 0, 0, 2, 2);
    EXPECT_EQ(ReadBack(0, 0), 0xFFFFFFu);

    // A new size gets a new texture.
    art.Create(1, 1);
    art.SetPixel(0, 0, 0x0000FF);
    art.Draw(renderer_, 0, 0, 16, 16);
    EXPECT_EQ(ReadBack(15, 15), 0x0000FFu);
}

TEST_F(ArtTexture, EmptyImagesDrawNothingAndAMissingRendererIsAnError) {
    TArt empty;
    Clear(0x00FF00);
    EXPECT_NO_THROW(empty.Draw(renderer_, 0, 0, 16, 16));
    EXPECT_EQ(ReadBack(8, 8), 0x00FF00u);

    TArt art(2, 2);
    EXPECT_THROW(art.UploadTexture(nullptr), TArtError);
    EXPECT_TRUE(art.Dirty());
}

}  // namespace
}  // namespace reedmark
