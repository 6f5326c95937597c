// The painted strategic map: pixels worked out by hand from the colour rules, the whole
// picture against a direct per-pixel evaluation of those rules, the repaint key, and
// the terrain sprites of the sheet.
#include "atlas/map_paint.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "tests/atlas/paint_fixture.hpp"

namespace reedmark {
namespace {

const TAtlas& Atlas() {
    static const TAtlas atlas;
    return atlas;
}

// The small world owns provinces 4, 8, 12, 16, 20 (fellowships 1..5) and 49 (11);
// province 30 gets owner 13, whose colour comes from the fellowship palette.
class MapPaint : public ::testing::Test {
   protected:
    void SetUp() override {
        testing::StartSmallCampaign(game, 1);
        game.SetInt(game.Province(30), "owner", 13);
    }
    std::uint32_t Pixel(int x, int y) const { return painter.Image().GetPixel(x, y); }
    TGame game;
    TArtwork noSheet;
    TMapPainter painter{Atlas()};
};

int ProvinceAtPixel(int x, int y) {
    if (x < 0 || y < 0 || x >= kMapImageWidth || y >= kMapImageHeight) return 0;
    return Atlas().ProvinceAt(x / 2, y / 2);
}

// Every rule evaluated directly for one pixel, rivers and sprites left out.
std::uint32_t DirectPixel(const TGame& game, int selected, int x, int y) {
    const int p = ProvinceAtPixel(x, y);
    if (p == 0) {
        int d = 12;
        for (int k = 10; k >= 1; --k)
            if (Atlas().ProvinceAt(x / 2 - k, y / 2) || Atlas().ProvinceAt(x / 2 + k, y / 2) ||
                Atlas().ProvinceAt(x / 2, y / 2 - k) || Atlas().ProvinceAt(x / 2, y / 2 + k))
                d = k;
        std::uint32_t c = d < 4 ? Shade(0x47748A, 8 - 3 * d) : Shade(0x203E61, 10 - d);
        if ((RoundEven(4 * std::sin(x / 23.0)) + y) % 21 == 0 && (3 * y + x) % 47 < 19) c = 0x60869C;
        if (d == 1 && (x + y) % 3 == 0) c = 0xB9CFBF;
        return c;
    }
    const int owner = TGame::GetInt(game.Province(p), "owner", 0);
    std::uint32_t c = Shade(MapOwnerColour(owner),
                            RoundEven(5 * std::sin(x / 27.0) + 4 * std::cos(y / 31.0) + 3 * std::sin((x + y) / 19.0)) +
                                (11 * y + 7 * x) % 7 - 3);
    if (owner != 0 && (2 * y + x) % 19 == 0) c = Shade(c, 11);
    auto differs = [&](int step) {
        return ProvinceAtPixel(x - step, y) != p || ProvinceAtPixel(x + step, y) != p ||
               ProvinceAtPixel(x, y - step) != p || ProvinceAtPixel(x, y + step) != p;
    };
    if (differs(1)) return p == selected ? 0xE9C664 : 0x394D3B;
    if (p == selected && differs(2)) return 0xF6DD86;
    return c;
}

// The whole map the direct way: every pixel, then both rivers block by block.
TArt DirectMap(const TGame& game, int selected) {
    TArt art(kMapImageWidth, kMapImageHeight);
    for (int y = 0; y < kMapImageHeight; ++y)
        for (int x = 0; x < kMapImageWidth; ++x) art.SetPixel(x, y, DirectPixel(game, selected, x, y));
    for (int y = 88; y <= 478; ++y) {
        const int c = RoundEven(18 * std::sin(y / 44.0) + 0.23 * (y - 88) + 230);
        for (int k = -3; k <= 3; ++k) {
            auto [wx, wy] = AtlasWarp((c + k) / 2.0, y / 2.0);
            const int X = 2 * RoundEven(wx), Y = 2 * RoundEven(wy);
            if (ProvinceAtPixel(X, Y) != 0) art.FillRect(X, Y, 2, 2, std::abs(k) == 3 ? 0xC2D0AB : 0x567E8B);
        }
    }
    for (int x = 110; x <= 530; ++x) {
        const int y = RoundEven(30 * std::sin(x / 66.0) + 274);
        auto [wx, wy] = AtlasWarp(x / 2.0, y / 2.0);
        const int X = 2 * RoundEven(wx), Y = 2 * RoundEven(wy);
        if (ProvinceAtPixel(X, Y) == 0) continue;
        art.FillRect(X, Y, 2, 2, 0x759CA0);
        art.FillRect(X, Y + 1, 2, 1, 0xB3C9BC);
    }
    return art;
}

TEST_F(MapPaint, PixelsWorkedOutByHand) {
    struct Case {
        int selected, x, y;
        std::uint32_t colour;
        const char* what;
    };
    const Case cases[] = {
        {0, 0, 0, 0x60869C, "wave on the open sea"},
        {0, 0, 1, 0x1E3C5F, "open sea, depth 12: Shade(0x203E61, -2)"},
        {0, 340, 124, 0xB34E44, "owner 1 land, shade -1"},
        {0, 341, 124, 0xBE594F, "owner 1 land, hatched: -1 then +11"},
        {4, 341, 124, 0xBE594F, "selected province away from its edges"},
        {0, 178, 336, 0x1D2D71, "owner 13 in the fellowship colour 0x1C2C70, shade +1"},
        {0, 231, 198, 0xA7BD8D, "unowned land on a hatch diagonal stays unhatched, shade +4"},
    };
    for (const Case& c : cases) {
        painter.DrawMap(game, c.selected, noSheet);
        EXPECT_EQ(Pixel(c.x, c.y), c.colour) << c.what;
    }
}

TEST_F(MapPaint, CoastBordersAndSelection) {
    // The first land pixel to the left of province 4's anchor row is a border pixel.
    const int y = 124;
    int x = 340;
    while (ProvinceAtPixel(x - 1, y) == 4) --x;
    ASSERT_TRUE(ProvinceAtPixel(x + 1, y - 1) == 4 && ProvinceAtPixel(x + 1, y + 1) == 4 &&
                ProvinceAtPixel(x + 2, y) == 4);
    painter.DrawMap(game, 0, noSheet);
    EXPECT_EQ(Pixel(x, y), 0x394D3Bu);
    painter.DrawMap(game, 4, noSheet);
    EXPECT_EQ(Pixel(x, y), 0xE9C664u);
    EXPECT_EQ(Pixel(x + 1, y), 0xF6DD86u);  // two steps from the neighbour: the inner line

    // Sea right above the land of column 400: depth 1 is surf or the shallow colour.
    int sy = 0;
    while (ProvinceAtPixel(400, sy + 2) == 0) sy += 2;
    for (int dy = 0; dy < 2; ++dy)
        for (int dx = 0; dx < 2; ++dx) {
            const int px = 400 + dx, py = sy + dy;
            EXPECT_EQ(Pixel(px, py), (px + py) % 3 == 0 ? 0xB9CFBFu : 0x4C798Fu) << px << "," << py;
        }
}

TEST_F(MapPaint, WholePictureMatchesTheRules) {
    for (int selected : {0, 4, 25}) {
        if (selected == 25) game.SetInt(game.Province(25), "owner", 7);
        painter.DrawMap(game, selected, noSheet);
        const TArt direct = DirectMap(game, selected);
        int mismatches = 0;
        for (int y = 0; y < kMapImageHeight; ++y)
            for (int x = 0; x < kMapImageWidth; ++x)
                if (Pixel(x, y) != direct.GetPixel(x, y) && ++mismatches <= 5)
                    ADD_FAILURE() << "selected " << selected << " pixel " << x << "," << y;
        EXPECT_EQ(mismatches, 0);
        EXPECT_EQ(painter.Image().Argb(10, 10) >> 24, 0xFFu);
    }
}

TEST_F(MapPaint, RepaintsOnlyWhenTheKeyChanges) {
    struct Step {
        int selected;
        int province, owner;  // province 0: no change
        bool repaints;
    };
    const Step steps[] = {
        {0, 0, 0, true}, {0, 0, 0, false}, {3, 0, 0, true},    {3, 0, 0, false},
        {3, 7, 2, true}, {3, 7, 2, false}, {3, 49, 11, false}, {0, 0, 0, true},
    };
    int expected = 0;
    for (const Step& s : steps) {
        if (s.province != 0) game.SetInt(game.Province(s.province), "owner", s.owner);
        EXPECT_EQ(painter.DrawMap(game, s.selected, noSheet), s.repaints);
        expected += s.repaints ? 1 : 0;
        EXPECT_EQ(painter.Repaints(), expected);
    }
    EXPECT_EQ(painter.Key().substr(0, 2), "0:");
    EXPECT_EQ(TMapPainter::MapKey(game, 12).substr(0, 13), "12:0,0,0,1,0,");
}

TEST_F(MapPaint, SheetAddsMountainsAndSettlementsOverTheRules) {
    auto sheet = testing::SheetArtwork();
    ASSERT_TRUE(sheet->HasTerrainSheet());
    TMapPainter withSheet(Atlas());
    painter.DrawMap(game, 0, noSheet);
    withSheet.DrawMap(game, 0, *sheet);

    // Province 45 (45 mod 9 = 0) is the last settlement: a village at opacity 230.
    auto [lx, ly] = Atlas().LabelAnchor(45);
    const int X = 2 * lx + 20, Y = 2 * ly + 12;
    ASSERT_EQ(ProvinceAtPixel(X, Y), 45);
    EXPECT_EQ(withSheet.Image().GetPixel(X, Y), testing::Blend(testing::SheetColour(7), Pixel(X, Y), 230));
    // Province 44 (44 mod 4 = 0): a tree at opacity 190 (only where no later sprite lies).
    auto [tx, ty] = Atlas().LabelAnchor(44);
    if (ProvinceAtPixel(2 * tx + 20, 2 * ty + 12) == 44) {
        EXPECT_NE(withSheet.Image().GetPixel(2 * tx + 20, 2 * ty + 12), Pixel(2 * tx + 20, 2 * ty + 12));
    }
    // The first mountain's top-left pixel, at opacity 215.
    auto [wx, wy] = AtlasWarp(32, 53.5);
    const int mx = 2 * RoundEven(wx) - 13, my = 2 * RoundEven(wy) - 21;
    EXPECT_EQ(withSheet.Image().GetPixel(mx, my), testing::Blend(testing::SheetColour(2), Pixel(mx, my), 215));
    // Far from every sprite the two pictures agree.
    EXPECT_EQ(withSheet.Image().GetPixel(0, 0), Pixel(0, 0));
    EXPECT_EQ(withSheet.Image().GetPixel(340, 124), Pixel(340, 124));
}

}  // namespace
}  // namespace reedmark
