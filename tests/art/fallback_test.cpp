// Fallback drawings: whole, opaque and repeatable pictures that follow their arguments,
// gold dots only where the rule allows, and sprites that stay inside their image.
#include "art/fallback.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <tuple>

namespace reedmark {
namespace {

bool Opaque(const TArt& art) {
    for (std::uint32_t p : art.Pixels())
        if ((p >> 24) != 0xFF) return false;
    return true;
}

int CountColour(const TArt& art, std::uint32_t rgb, int x0 = 0, int y0 = 0, int x1 = INT_MAX, int y1 = INT_MAX) {
    int count = 0;
    for (int y = std::max(y0, 0); y < std::min(y1, art.Height()); ++y)
        for (int x = std::max(x0, 0); x < std::min(x1, art.Width()); ++x) count += art.GetPixel(x, y) == rgb;
    return count;
}

TEST(FallbackPortrait, FillsTheImageRepeatablyAndFollowsItsArguments) {
    TArt first(184, 256), again(184, 256), female(184, 256), other(184, 256);
    PaintFallbackPortrait(first, 14, false, 0x2E7D4F);
    PaintFallbackPortrait(again, 14, false, 0x2E7D4F);
    PaintFallbackPortrait(female, 14, true, 0x2E7D4F);
    PaintFallbackPortrait(other, 15, false, 0x2E7D4F);
    EXPECT_TRUE(Opaque(first));
    EXPECT_EQ(first.Pixels(), again.Pixels());
    EXPECT_NE(first.Pixels(), female.Pixels());
    EXPECT_NE(first.Pixels(), other.Pixels());
    // The robe shows the faction colour itself over a good part of the chest.
    EXPECT_GT(CountColour(first, 0x2E7D4F, 0, 200, 184, 256), 400);
}

TEST(FallbackPortrait, GoldDotsFallOnlyWhereTheRuleAllows) {
    for (int id : {1, 7, 200}) {
        TArt art(184, 256);
        PaintFallbackPortrait(art, id, id == 7, FactionColour(id));
        int dots = 0;
        // The sky above the head holds only background and dots.
        for (int y = 10; y < 26; ++y)
            for (int x = 10; x < 174; ++x)
                if (art.GetPixel(x, y) == 0xF0D850) {
                    ++dots;
                    EXPECT_EQ((11 * x + 7 * y + id) % 23, 0) << id << " at " << x << "," << y;
                }
        EXPECT_GT(dots, 5) << id;
    }
}

TEST(FallbackPortrait, AnySizePaintsWithoutFault) {
    for (auto [w, h] : {std::pair{0, 0}, {1, 1}, {78, 104}, {300, 120}}) {
        TArt art(w, h);
        PaintFallbackPortrait(art, -3, false, 0xFFFFFFFF);
        EXPECT_TRUE(Opaque(art)) << w << "x" << h;
    }
}

TEST(FallbackTitleScene, IsAWholeOpaquePictureWithANightSkyAboveWater) {
    TArt scene(640, 408);
    PaintFallbackTitleScene(scene);
    EXPECT_TRUE(Opaque(scene));
    TArt again(640, 408);
    PaintFallbackTitleScene(again);
    EXPECT_EQ(scene.Pixels(), again.Pixels());
    auto brightness = [&](int x, int y) {
        const std::uint32_t p = scene.GetPixel(x, y);
        return static_cast<int>(((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF));
    };
    EXPECT_LT(brightness(200, 10), brightness(200, 232));  // the sky brightens towards the horizon
    EXPECT_GT(brightness(486, 78), 600);                   // the moon
}

TEST(FallbackSprites, DrawInsideTheirBoxAndSurviveAnyPosition) {
    auto inBoxOnly = [](const TArt& art, int cx, int baseY, int size) {
        for (int y = 0; y < art.Height(); ++y)
            for (int x = 0; x < art.Width(); ++x)
                if (art.Argb(x, y) != 0 &&
                    (x < cx - 2 * size || x > cx + 2 * size || y < baseY - 3 * size || y > baseY + size))
                    return false;
        return true;
    };
    for (int kind = 0; kind < 5; ++kind) {
        TArt art(80, 80);
        auto paint = [&](int cx, int baseY, int size) {
            switch (kind) {
                case 0: PaintFallbackTree(art, cx, baseY, size, true); break;
                case 1: PaintFallbackTree(art, cx, baseY, size, false); break;
                case 2: PaintFallbackMountain(art, cx, baseY, size); break;
                case 3: PaintFallbackCastle(art, cx, baseY, size); break;
                default: PaintFallbackBanner(art, cx, baseY, size, 0x5C7CE0, false, true, true); break;
            }
        };
        paint(40, 60, 12);
        EXPECT_GT(std::count_if(art.Pixels().begin(), art.Pixels().end(), [](std::uint32_t p) { return p != 0; }), 100)
            << kind;
        EXPECT_TRUE(inBoxOnly(art, 40, 60, 12)) << kind;
        for (auto [cx, baseY, size] :
             {std::tuple{0, 0, 30}, {79, 79, 5}, {INT_MAX, INT_MIN, 12}, {-5, 40, INT_MAX}, {40, 40, 0}, {40, 40, -8}})
            paint(cx, baseY, size);
    }
}

TEST(FallbackSprites, BannersShowSideColourGreyWhenActedAndGoldMarks) {
    auto banner = [](bool acted, bool commander, bool selected) {
        TArt art(60, 60);
        PaintFallbackBanner(art, 30, 44, 14, 0xA82828, acted, commander, selected);
        return art;
    };
    auto saturated = [](const TArt& art) {
        int count = 0;
        for (std::uint32_t p : art.Pixels()) {
            const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
            count += std::max({r, g, b}) - std::min({r, g, b}) > 80;
        }
        return count;
    };
    const TArt plain = banner(false, false, false);
    EXPECT_GT(CountColour(plain, 0xA82828), 30);
    EXPECT_EQ(saturated(banner(true, false, false)), 0);
    EXPECT_EQ(CountColour(plain, 0xF0D850, 0, 38, 60, 60), 0);
    EXPECT_GT(CountColour(banner(true, false, true), 0xF0D850, 0, 38, 60, 60), 20);  // the ring stays gold
    EXPECT_GT(CountColour(banner(false, true, false), 0xF0D850, 0, 0, 60, 16),
              CountColour(plain, 0xF0D850, 0, 0, 60, 16) + 5);  // the pennant above the flag
}

}  // namespace
}  // namespace reedmark
