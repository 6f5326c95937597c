// The battle-field painter: hex geometry and its round trips, the base layer's key, lit
// cells during deployment and for a move preview with the movement key, outlines, and
// the order of fires and units.
#include "atlas/field_paint.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>

#include "atlas/map_paint.hpp"
#include "tests/atlas/paint_fixture.hpp"

namespace reedmark {
namespace {

const TField& Geometry() {
    static const TField field;
    return field;
}

TEST(FieldGeometry, CentresAndPoints) {
    struct Case {
        int x, y;
        THexHit hit;
    };
    const Case cases[] = {
        {14, 30, {true, 0, 0}},    {31, 30, {true, 1, 0}},     {0, 30, {false, -1, -1}},
        {22, 45, {true, 0, 1}},    {421, 225, {true, 17, 13}}, {435, 271, {false, -1, -1}},
        {-1, 30, {false, -1, -1}}, {436, 30, {false, -1, -1}}, {14, 272, {false, -1, -1}},
    };
    for (const Case& c : cases) EXPECT_EQ(Geometry().HexAt(c.x, c.y), c.hit) << c.x << "," << c.y;
    EXPECT_EQ(TField::HexCentre(0, 0), std::make_pair(14, 30));
    EXPECT_EQ(TField::HexCentre(1, 1), std::make_pair(40, 45));  // 1.5 * 17.32 + 14 = 39.98
    EXPECT_EQ(TField::HexCentre(17, 13), std::make_pair(421, 225));
    EXPECT_EQ(Geometry().ImageCellAt(-1, 0), -1);
    EXPECT_EQ(Geometry().ImageCellAt(872, 60), -1);
    EXPECT_EQ(Geometry().ImageCellAt(0, 544), -1);
    // Centres lie 17 or 18 half-scale units apart: the boundary between (0, 0) and (1, 0).
    EXPECT_EQ(Geometry().HexAt(22, 30), (THexHit{true, 0, 0}));
    EXPECT_EQ(Geometry().HexAt(23, 30), (THexHit{true, 1, 0}));
}

TEST(FieldGeometry, EveryCellRoundTrips) {
    for (int r = 0; r < kFieldRows; ++r)
        for (int q = 0; q < kFieldColumns; ++q) {
            auto [cx, cy] = TField::HexCentre(q, r);
            EXPECT_EQ(Geometry().HexAt(cx, cy), (THexHit{true, q, r}));
            EXPECT_EQ(Geometry().ImageCellAt(2 * cx + 1, 2 * cy + 1), r * kFieldColumns + q);
            // Every point a hex radius minus one above or below the centre is the same cell.
            EXPECT_EQ(Geometry().HexAt(cx, cy - 9), (THexHit{true, q, r}));
            EXPECT_EQ(Geometry().HexAt(cx, cy + 9), (THexHit{true, q, r}));
        }
    // Every image pixel agrees with the half-scale map.
    for (int y = 0; y < kFieldImageHeight; y += 3)
        for (int x = 0; x < kFieldImageWidth; x += 3) {
            const THexHit h = Geometry().HexAt(x / 2, y / 2);
            ASSERT_EQ(Geometry().ImageCellAt(x, y), h.found ? h.r * kFieldColumns + h.q : -1);
        }
}

// Fellowship 1 (human) attacks province 8 from 4: unit 0 is its leader (the attacking
// commander), unit 1 the defending governor.
class FieldPaint : public ::testing::Test {
   protected:
    void SetUp() override {
        testing::StartSmallCampaign(game, 7, {1});
        StartBattle(game, 4, 8, 1);
        ASSERT_TRUE(HasBattle(game));
    }
    TObj B() { return Battle(game); }
    TObj U(int i) { return BattleUnit(game, i); }
    void Draw(int selected, const std::string& action = "move", int cq = -1, int cr = -1) {
        field.DrawField(game, selected, cq, cr, action, *artwork);
    }
    void Put(int u, int q, int r) {
        game.SetInt(U(u), "q", q);
        game.SetInt(U(u), "r", r);
    }
    void Terrain(int cell, int kind) { game.ArrSetInt(TGame::GetArr(B(), "terrain"), cell, kind); }
    bool Occupied(int cell) {
        const Hex h = Hex::FromIndex(cell);
        return UnitAt(game, h.q, h.r) >= 0;
    }
    std::pair<int, int> Centre(int q, int r) {
        auto [cx, cy] = TField::HexCentre(q, r);
        return {2 * cx, 2 * cy};
    }
    // An edge pixel of a cell: the leftmost pixel of its centre row.
    std::pair<int, int> EdgePixel(int q, int r) {
        auto [x, y] = Centre(q, r);
        while (field.ImageCellAt(x - 1, y) == r * kFieldColumns + q) --x;
        return {x, y};
    }
    TGame game;
    TField field;
    std::unique_ptr<TArtwork> artwork = std::make_unique<TArtwork>();
};

TEST_F(FieldPaint, BaseRepaintsOnlyWhenTheTerrainChanges) {
    Draw(-1);
    Draw(-1);
    Put(0, 0, 0);
    Draw(0);
    EXPECT_EQ(field.BaseRepaints(), 1);
    Terrain(100, tForest);
    Draw(0);
    EXPECT_EQ(field.BaseRepaints(), 2);
    // Off the field the base is black; a cell's centre shows its shaded terrain colour.
    EXPECT_EQ(field.BaseImage().GetPixel(0, 0), 0u);
    EXPECT_EQ(field.BaseImage().Argb(0, 0), 0xFF000000u);
    EXPECT_TRUE(field.FrameImage().Dirty());
}

TEST_F(FieldPaint, BasePixelsFollowTheTerrainRules) {
    for (int c = 0; c < kFieldCells; ++c) Terrain(c, c % 2 == 0 ? tPlain : tRiver);
    Draw(-1);
    int checked = 0;
    for (int y = 0; y < kFieldImageHeight; y += 7)
        for (int x = 0; x < kFieldImageWidth; x += 5) {
            const int c = field.ImageCellAt(x, y);
            if (c < 0) continue;
            const Hex h = Hex::FromIndex(c);
            if (UnitAt(game, h.q, h.r) >= 0) continue;  // units stand on Plain their setup made
            const bool edge = field.ImageCellAt(x - 1, y) != c || field.ImageCellAt(x + 1, y) != c ||
                              field.ImageCellAt(x, y - 1) != c || field.ImageCellAt(x, y + 1) != c;
            const bool river = c % 2 == 1;
            std::uint32_t want =
                Shade(river ? 0x2C5973 : 0x819764,
                      RoundEven(3 * std::sin(y / 13.0) + 4 * std::sin(x / 23.0)) + (13 * x + 29 * y + 7 * c) % 17 - 8);
            if (!river && (17 * y + 31 * x) % 157 == 0) want = 0xB0B88C;
            if (river && (RoundEven(3 * std::sin(x / 13.0)) + y) % 11 == 0) want = 0x719AA8;
            if (edge) want = 0x3D493D;
            ASSERT_EQ(field.BaseImage().GetPixel(x, y), want) << x << "," << y;
            ++checked;
        }
    EXPECT_GT(checked, 5000);
}

TEST_F(FieldPaint, DeploymentLightsTheFreeCellsOfTheViewingSide) {
    Terrain(0, tMountain);
    Terrain(kFieldColumns + 1, tRiver);
    Terrain(16, tMountain);
    Terrain(3, tPlain);
    struct Case {
        int selected;
        int first, last;
    };
    // No selection and a human attacker: the attackers' columns; a selected defender
    // (unit 1) shows the defenders' columns.
    for (const Case& c : {Case{-1, 0, 3}, Case{1, 13, 17}, Case{0, 0, 3}}) {
        Draw(c.selected);
        for (int cell = 0; cell < kFieldCells; ++cell) {
            const int q = cell % kFieldColumns;
            const int kind = TerrainAt(game, q, cell / kFieldColumns);
            const bool want = q >= c.first && q <= c.last && kind != tMountain && kind != tRiver && !Occupied(cell);
            EXPECT_EQ(field.LitCells()[static_cast<size_t>(cell)], want)
                << "selected " << c.selected << " cell " << cell;
        }
    }
    // A lit cell's edge takes the highlight; the selected unit's cell is outlined in gold.
    Draw(0);
    auto [ex, ey] = EdgePixel(3, 0);
    EXPECT_EQ(field.FrameImage().GetPixel(ex, ey), 0xB8A16Bu);
    auto [sx, sy] = EdgePixel(TGame::GetInt(U(0), "q", 0), TGame::GetInt(U(0), "r", 0));
    EXPECT_EQ(field.FrameImage().GetPixel(sx, sy), 0xF0D850u);
}

TEST_F(FieldPaint, MovePreviewUsesCachedCostsUnderTheMovementKey) {
    game.SetBool(B(), "deploy", false);
    game.SetBool(B(), "defensePrompt", false);
    game.SetInt(B(), "side", kSideAttackers);
    for (int c = 0; c < kFieldCells; ++c) Terrain(c, tPlain);
    ASSERT_TRUE(HumanBattleTurn(game));
    const TObj leader = game.Character(TGame::GetInt(U(0), "char", 0));
    game.SetInt(leader, "body", 50);
    game.SetInt(leader, "dexterity", 40);  // allowance 10, a charge 5

    Draw(0, "move");
    EXPECT_EQ(field.MovementRefreshes(), 1);
    const TPathCosts costs = MovementCosts(game, 0, false);
    int lit = 0;
    for (int c = 0; c < kFieldCells; ++c) {
        const bool want = costs[static_cast<size_t>(c)] >= 1 && costs[static_cast<size_t>(c)] <= 10 && !Occupied(c);
        EXPECT_EQ(field.LitCells()[static_cast<size_t>(c)], want) << c;
        lit += want;
    }
    EXPECT_GT(lit, 0);

    struct Step {
        const char* what;
        std::function<void()> change;
        const char* action;
        bool refresh;
    };
    const Step steps[] = {
        {"same inputs", [] {}, "move", false},
        {"cursor moves", [] {}, "move", false},
        {"charge", [] {}, "charge", true},
        {"back to move", [] {}, "move", true},
        {"a unit moves", [&] { Put(2, 0, 0); }, "move", true},
        {"its body changes", [&] { game.SetInt(leader, "body", 40); }, "move", true},
        {"a unit leaves", [&] { game.SetBool(U(3), "active", false); }, "move", true},
    };
    int refreshes = 1;
    for (const Step& s : steps) {
        s.change();
        Draw(0, s.action, 5, 5);
        refreshes += s.refresh;
        EXPECT_EQ(field.MovementRefreshes(), refreshes) << s.what;
    }
    // A charge reaches half as far; no preview for a spent unit, another action, low body.
    Draw(0, "charge");
    for (int c = 0; c < kFieldCells; ++c)
        if (field.LitCells()[static_cast<size_t>(c)]) {
            EXPECT_LE(field.MovementCostCache()[static_cast<size_t>(c)], 5);
        }
    for (auto change : {std::function<void()>([&] { game.SetBool(U(0), "spent", true); }),
                        std::function<void()>([&] { game.SetInt(leader, "body", 10); })}) {
        change();
        Draw(0, "move");
        EXPECT_EQ(std::count(field.LitCells().begin(), field.LitCells().end(), true), 0);
    }
    game.SetBool(U(0), "spent", false);
    game.SetInt(leader, "body", 50);
    Draw(0, "melee");
    EXPECT_EQ(std::count(field.LitCells().begin(), field.LitCells().end(), true), 0);
}

TEST_F(FieldPaint, CursorSelectionFiresAndUnitsInTheirOrder) {
    artwork = testing::SheetArtwork();
    for (int c = 0; c < kFieldCells; ++c) Terrain(c, tPlain);
    // Sprites are larger than a cell: three units stand apart from the rest.
    Put(0, 8, 11);
    Put(1, 12, 12);
    Put(2, 4, 12);
    const int uq = TGame::GetInt(U(0), "q", 0), ur = TGame::GetInt(U(0), "r", 0);
    TArr fires = TGame::GetArr(B(), "fires");
    game.ArrAppendInt(fires, ur * kFieldColumns + uq);  // under the commander
    game.ArrAppendInt(fires, 6 * kFieldColumns + 8);    // on an empty cell
    game.ArrAppendInt(fires, 999);                      // a damaged entry is ignored
    Draw(0, "move", 10, 10);

    const TArt& frame = field.FrameImage();
    auto [fx, fy] = Centre(8, 6);
    EXPECT_EQ(frame.GetPixel(fx, fy), testing::SheetColour(14));
    auto [cx, cy] = EdgePixel(10, 10);
    EXPECT_EQ(frame.GetPixel(cx, cy), 0xC8E0ECu);  // the cursor's outline
    auto [X, Y] = Centre(uq, ur);
    EXPECT_EQ(frame.GetPixel(X, Y), testing::SheetColour(10));  // attacking commander over its fire
    EXPECT_EQ(frame.GetPixel(X, Y + 22), 0xF0D850u);            // the selection ring
    EXPECT_EQ(frame.GetPixel(X, Y + 12), 0x202B29u);            // the plate
    EXPECT_EQ(frame.GetPixel(X - 14, Y + 8), 0xAA9562u);        // its top line
    EXPECT_EQ(frame.GetPixel(X + 15, Y - 20), 0xF0D850u);       // the pennant pole
    EXPECT_EQ(frame.GetPixel(X + 17, Y - 23), 0xF0D850u);       // the pennant
    // The defending commander, spent, is greyed; an ordinary attacker uses cell 8.
    game.SetBool(U(1), "spent", true);
    Draw(-1);
    auto [dx, dy] = Centre(TGame::GetInt(U(1), "q", 0), TGame::GetInt(U(1), "r", 0));
    const std::uint32_t d = testing::SheetColour(11);
    const std::uint32_t l = (11 * (d & 0xFF) + 30 * (d >> 16) + 59 * (d >> 8 & 0xFF)) / 100;
    EXPECT_EQ(frame.GetPixel(dx, dy),
              ((d >> 16) + 3 * l) / 4 << 16 | ((d >> 8 & 0xFF) + 3 * l) / 4 << 8 | ((d & 0xFF) + 3 * l) / 4);
    auto [ax, ay] = Centre(TGame::GetInt(U(2), "q", 0), TGame::GetInt(U(2), "r", 0));
    EXPECT_EQ(frame.GetPixel(ax, ay), testing::SheetColour(8));
    // A ship on the river floats.
    Terrain(TGame::GetInt(U(2), "r", 0) * kFieldColumns + TGame::GetInt(U(2), "q", 0), tRiver);
    game.SetBool(game.Character(TGame::GetInt(U(2), "char", 0)), "ship", true);
    Draw(-1);
    EXPECT_EQ(frame.GetPixel(ax, ay), testing::SheetColour(12));
}

TEST_F(FieldPaint, WithoutTheSheetFiresAreTrianglesAndUnitsBanners) {
    TArr fires = TGame::GetArr(B(), "fires");
    game.ArrAppendInt(fires, 6 * kFieldColumns + 8);
    Draw(-1);
    auto [fx, fy] = Centre(8, 6);
    EXPECT_EQ(field.FrameImage().GetPixel(fx, fy), 0xA82828u);
    auto [X, Y] = Centre(TGame::GetInt(U(0), "q", 0), TGame::GetInt(U(0), "r", 0));
    EXPECT_EQ(field.FrameImage().GetPixel(X, Y + 12), 0x202B29u);
    EXPECT_NE(field.FrameImage().GetPixel(X - 5, Y - 10), field.BaseImage().GetPixel(X - 5, Y - 10));
}

TEST_F(FieldPaint, NoBattleDrawsNothing) {
    game.Remove(game.Root(), "battle");
    Draw(-1);
    EXPECT_EQ(field.BaseRepaints(), 0);
    EXPECT_EQ(field.FrameImage().Argb(400, 200), 0u);
}

}  // namespace
}  // namespace reedmark
