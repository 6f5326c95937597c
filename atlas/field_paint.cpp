// Painting the battle field: the hex cell map, the terrain base layer and the frame with
// deployment or movement highlights, outlines, fires and units.
#include "atlas/field_paint.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "art/fallback.hpp"
#include "art/sheets.hpp"
#include "atlas/map_paint.hpp"

namespace reedmark {

namespace {

constexpr double kHexWidth = 17.320508075688775;  // 10 * sqrt(3), the half-scale column step

constexpr std::uint32_t kTerrainColours[8] = {0x819764, 0x476747, 0x9B8E6D, 0x707974,
                                              0xAAA07E, 0x2C5973, 0x55755C, 0xAECBD1};
// Terrain sheet cell of each terrain code (Plain is drawn as a village).
constexpr int kTerrainSprite[8] = {7, 0, 1, 2, 3, 5, 4, 6};

constexpr std::uint32_t kSpeck = 0xB0B88C;
constexpr std::uint32_t kRipple = 0x719AA8;
constexpr std::uint32_t kOutline = 0x3D493D;
constexpr std::uint32_t kLitEdge = 0xB8A16B;
constexpr int kLitShade = 14;
constexpr std::uint32_t kCursorEdge = 0xC8E0EC;
constexpr std::uint32_t kGold = 0xF0D850;
constexpr std::uint32_t kFireRed = 0xA82828;
constexpr std::uint32_t kAttackerBlue = 0x5C7CE0;
constexpr std::uint32_t kDefenderRed = 0xA82828;
constexpr std::uint32_t kPlate = 0x202B29;
constexpr std::uint32_t kPlateLine = 0xAA9562;
constexpr std::uint32_t kOpaque = 0xFF000000u;

constexpr int kFireSpriteCell = 14;

int Saturate(double v) {
    if (!(v > std::numeric_limits<int>::min())) return std::numeric_limits<int>::min();
    if (v >= std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
    return RoundEven(v);
}

bool KnownTerrain(int kind) {
    return kind >= 0 && kind < 8;
}

// The unit's fields and its character's, read with the document's defaults.
struct TUnitView {
    TObj unit = nullptr;
    TObj character = nullptr;
    int charId = 0, side = 0, q = 0, r = 0;
    bool active = false, spent = false;
};

TUnitView ViewUnit(const TGame& game, int index) {
    TUnitView v;
    v.unit = BattleUnit(game, index);
    if (v.unit == nullptr) return v;
    v.charId = TGame::GetInt(v.unit, "char", 0);
    v.side = TGame::GetInt(v.unit, "side", 0);
    v.q = TGame::GetInt(v.unit, "q", 0);
    v.r = TGame::GetInt(v.unit, "r", 0);
    v.active = TGame::GetBool(v.unit, "active");
    v.spent = TGame::GetBool(v.unit, "spent");
    v.character = game.Character(v.charId);
    return v;
}

bool InField(int q, int r) {
    return Hex{q, r}.InField();
}

}  // namespace

// [SECTION] Geometry

TField::TField()
    : cellMap_(static_cast<std::size_t>(kFieldHalfWidth) * kFieldHalfHeight, -1),
      edge_(static_cast<std::size_t>(kFieldImageWidth) * kFieldImageHeight, 0),
      base_(kFieldImageWidth, kFieldImageHeight),
      frame_(kFieldImageWidth, kFieldImageHeight) {
    movementCosts_.fill(kUnreachable);
    for (int y = 0; y < kFieldHalfHeight; ++y)
        for (int x = 0; x < kFieldHalfWidth; ++x) {
            const double rf = (y - 30) / 15.0;
            const double qf = (x - 14) / kHexWidth - rf / 2;
            const double sf = -qf - rf;
            int q = RoundEven(qf), r = RoundEven(rf);
            const int s = RoundEven(sf);
            const double dq = std::abs(q - qf), dr = std::abs(r - rf), ds = std::abs(s - sf);
            if (dq > dr && dq > ds)
                q = -r - s;
            else if (dr > ds)
                r = -q - s;
            if (InField(q, r))
                cellMap_[static_cast<std::size_t>(y) * kFieldHalfWidth + x] =
                    static_cast<std::int16_t>(r * kFieldColumns + q);
        }
    for (int y = 0; y < kFieldImageHeight; ++y)
        for (int x = 0; x < kFieldImageWidth; ++x) {
            const int c = ImageCellAt(x, y);
            if (c < 0) continue;
            const bool edge = ImageCellAt(x - 1, y) != c || ImageCellAt(x + 1, y) != c || ImageCellAt(x, y - 1) != c ||
                              ImageCellAt(x, y + 1) != c;
            edge_[static_cast<std::size_t>(y) * kFieldImageWidth + x] = edge ? 1 : 0;
            TBox& b = boxes_[static_cast<std::size_t>(c)];
            if (b.x1 < b.x0) {
                b = {x, y, x, y};
            } else {
                b.x0 = std::min(b.x0, x);
                b.x1 = std::max(b.x1, x);
                b.y1 = y;
            }
        }
}

std::pair<int, int> TField::HexCentre(int q, int r) {
    const double cx = (q + r / 2.0) * kHexWidth + 14;
    const long long cy = 15LL * r + 30;
    return {Saturate(cx), static_cast<int>(std::clamp<long long>(cy, std::numeric_limits<int>::min(),
                                                                 std::numeric_limits<int>::max()))};
}

THexHit TField::HexAt(int x, int y) const {
    if (x < 0 || y < 0 || x >= kFieldHalfWidth || y >= kFieldHalfHeight) return {};
    const int c = cellMap_[static_cast<std::size_t>(y) * kFieldHalfWidth + x];
    if (c < 0) return {};
    return {true, c % kFieldColumns, c / kFieldColumns};
}

int TField::ImageCellAt(int x, int y) const {
    if (x < 0 || y < 0 || x >= kFieldImageWidth || y >= kFieldImageHeight) return -1;
    return cellMap_[static_cast<std::size_t>(y / 2) * kFieldHalfWidth + x / 2];
}

// [SECTION] Base layer

void TField::PaintBase(const TGame& game, const std::array<int, kFieldCells>& kinds, const TArtwork& artwork) {
    (void)game;
    ++baseRepaints_;
    // The wave terms separate into a row part and a column part; each is the same
    // double the whole expression would compute, so the sum is unchanged.
    std::vector<double> rowWave(kFieldImageHeight), columnWave(kFieldImageWidth);
    std::vector<int> ripple(kFieldImageWidth);
    for (int y = 0; y < kFieldImageHeight; ++y) rowWave[static_cast<std::size_t>(y)] = 3 * std::sin(y / 13.0);
    for (int x = 0; x < kFieldImageWidth; ++x) {
        columnWave[static_cast<std::size_t>(x)] = 4 * std::sin(x / 23.0);
        ripple[static_cast<std::size_t>(x)] = RoundEven(3 * std::sin(x / 13.0));
    }
    std::uint32_t* out = base_.MutablePixels();
    for (int y = 0; y < kFieldImageHeight; ++y) {
        const double rw = rowWave[static_cast<std::size_t>(y)];
        for (int x = 0; x < kFieldImageWidth; ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * kFieldImageWidth + x;
            const int c = ImageCellAt(x, y);
            if (c < 0) {
                out[i] = kOpaque;  // black
                continue;
            }
            const int kind = kinds[static_cast<std::size_t>(c)];
            const std::uint32_t base = kTerrainColours[KnownTerrain(kind) ? kind : tPlain];
            std::uint32_t colour = Shade(
                base, RoundEven(rw + columnWave[static_cast<std::size_t>(x)]) + (13 * x + 29 * y + 7 * c) % 17 - 8);
            if (kind == tPlain && (17 * y + 31 * x) % 157 == 0) colour = kSpeck;
            if (kind == tRiver && (ripple[static_cast<std::size_t>(x)] + y) % 11 == 0) colour = kRipple;
            if (edge_[i]) colour = kOutline;
            out[i] = kOpaque | colour;
        }
    }

    for (int r = 0; r < kFieldRows; ++r)
        for (int q = 0; q < kFieldColumns; ++q) {
            const int kind = kinds[static_cast<std::size_t>(r * kFieldColumns + q)];
            if (!KnownTerrain(kind)) continue;
            auto [cx, cy] = HexCentre(q, r);
            const int X = 2 * cx, Y = 2 * cy;
            if (artwork.HasTerrainSheet()) {
                if (kind == tPlain && (11 * r + 5 * q) % 29 != 0) continue;
                const int cell = kTerrainSprite[kind];
                if (kind == tCastle)
                    artwork.PaintTerrainSprite(base_, cell, X - 23, Y - 29, 46, 44, 255, false);
                else if (kind == tMountain)
                    artwork.PaintTerrainSprite(base_, cell, X - 19, Y - 27, 38, 42, 255, false);
                else
                    artwork.PaintTerrainSprite(base_, cell, X - 18, Y - 22, 36, 36, 255, false);
                continue;
            }
            if (kind == tForest) PaintFallbackTree(base_, X, Y + 11, 10, true);
            if (kind == tHill || kind == tMountain) PaintFallbackMountain(base_, X, Y + 12, 12);
            if (kind == tCastle) PaintFallbackCastle(base_, X, Y + 13, 12);
        }
}

// [SECTION] Frame

void TField::OutlineCell(int cell, std::uint32_t colour, bool shadeInner) {
    if (cell < 0 || cell >= kFieldCells) return;
    const TBox& b = boxes_[static_cast<std::size_t>(cell)];
    std::uint32_t* out = frame_.MutablePixels();
    for (int y = b.y0; y <= b.y1; ++y)
        for (int x = b.x0; x <= b.x1; ++x) {
            if (ImageCellAt(x, y) != cell) continue;
            const std::size_t i = static_cast<std::size_t>(y) * kFieldImageWidth + x;
            if (edge_[i])
                out[i] = kOpaque | colour;
            else if (shadeInner && (x + y) % 11 == 0)
                out[i] = kOpaque | Shade(out[i] & 0xFFFFFFu, kLitShade);
        }
}

void TField::PaintUnits(const TGame& game, int selected, const std::array<int, kFieldCells>& kinds,
                        const TArtwork& artwork) {
    TObj b = Battle(game);
    const int units = BattleUnitCount(game);
    for (int index = 0; index < units; ++index) {
        const TUnitView u = ViewUnit(game, index);
        if (!u.active || !InField(u.q, u.r)) continue;
        auto [cx, cy] = HexCentre(u.q, u.r);
        const int X = 2 * cx, Y = 2 * cy;
        const bool commander = u.charId == TGame::GetInt(b, u.side == kSideAttackers ? "commander1" : "commander0", 0);
        if (index == selected)
            for (int j = -22; j <= 22; ++j)
                for (int i = -19; i <= 19; ++i) {
                    const int e = 484 * i * i + 361 * j * j;
                    if (e > 123904 && e <= 174724) frame_.SetPixel(X + i, Y + j, kGold);
                }
        int cell = commander ? 10 : 8;
        if (TGame::GetBool(u.character, "ship") && kinds[static_cast<std::size_t>(Hex{u.q, u.r}.Index())] == tRiver)
            cell = 12;
        if (u.side == kSideDefenders) cell += 1;
        if (artwork.HasTerrainSheet())
            artwork.PaintTerrainSprite(frame_, cell, X - 21, Y - 31, 42, 42, 255, u.spent);
        else
            PaintFallbackBanner(frame_, X, Y + 8, 11, u.side == kSideAttackers ? kAttackerBlue : kDefenderRed, u.spent,
                                commander, index == selected);
        frame_.FillRect(X - 14, Y + 8, 29, 12, kPlate);
        frame_.DrawLine(X - 14, Y + 8, X + 14, Y + 8, kPlateLine);
        if (commander) {
            frame_.DrawLine(X + 15, Y - 26, X + 15, Y - 13, kGold);
            frame_.FillTriangle(X + 16, Y - 26, X + 24, Y - 23, X + 16, Y - 20, kGold);
        }
    }
}

void TField::DrawField(const TGame& game, int selected, int cursorQ, int cursorR, const std::string& action,
                       const TArtwork& artwork) {
    TObj b = Battle(game);
    if (b == nullptr) return;

    // 1. Terrain and the cells held by active units.
    std::array<int, kFieldCells> kinds{};
    std::array<bool, kFieldCells> occupied{};
    for (int c = 0; c < kFieldCells; ++c) {
        const Hex h = Hex::FromIndex(c);
        kinds[static_cast<std::size_t>(c)] = TerrainAt(game, h.q, h.r);
    }
    const int units = BattleUnitCount(game);
    for (int i = 0; i < units; ++i) {
        const TUnitView u = ViewUnit(game, i);
        if (u.active && InField(u.q, u.r)) occupied[static_cast<std::size_t>(Hex{u.q, u.r}.Index())] = true;
    }

    // 2. The base layer, when the terrain text changed.
    TArr terrain = TGame::GetArr(b, "terrain");
    std::string key =
        terrain != nullptr ? TJson(*terrain).dump(-1, ' ', false, TJson::error_handler_t::replace) : "null";
    if (key != baseKey_) {
        baseKey_ = key;
        PaintBase(game, kinds, artwork);
    }

    // 3. The frame starts as a copy of the base.
    std::copy(base_.Pixels().begin(), base_.Pixels().end(), frame_.MutablePixels());

    // 4. The viewing side and the selected cell.
    int side = TGame::GetInt(b, "side", 0);
    const TUnitView chosen = ViewUnit(game, selected);
    const bool deploy = TGame::GetBool(b, "deploy");
    int selectedCell = -1;
    if (chosen.unit == nullptr) {
        if (game.IsHumanFaction(TGame::GetInt(b, "attacker", 0))) side = kSideAttackers;
    } else {
        if (deploy) side = chosen.side;
        if (InField(chosen.q, chosen.r)) selectedCell = Hex{chosen.q, chosen.r}.Index();
    }

    // 5. Lit cells: the free deployment cells, or the reach of a move preview.
    lit_.fill(false);
    if (deploy) {
        if (side == kSideAttackers || side == kSideDefenders) {
            const int first = side == kSideAttackers ? 0 : 13, last = side == kSideAttackers ? 3 : 17;
            for (int c = 0; c < kFieldCells; ++c) {
                const int q = c % kFieldColumns;
                const int kind = kinds[static_cast<std::size_t>(c)];
                lit_[static_cast<std::size_t>(c)] = q >= first && q <= last && kind != tMountain && kind != tRiver &&
                                                    !occupied[static_cast<std::size_t>(c)];
            }
        }
    } else {
        const bool charge = action == "charge";
        const int body = TGame::GetInt(chosen.character, "body", 0);
        if (chosen.unit != nullptr && chosen.active && !chosen.spent && chosen.side == TGame::GetInt(b, "side", 0) &&
            HumanBattleTurn(game) && (charge || action == "move") && body > 10) {
            std::string movement = baseKey_ + ":" + std::to_string(selected) + ":" + action;
            char buffer[160];
            for (int i = 0; i < units; ++i) {
                const TUnitView u = ViewUnit(game, i);
                std::snprintf(buffer, sizeof buffer, ":%d,%d,%d,%d,%d,%d,%d,%d,%s", u.charId, u.q, u.r,
                              TGame::GetInt(u.character, "body", 0), TGame::GetInt(u.character, "soldiers", 0),
                              TGame::GetInt(u.character, "dexterity", 0), TGame::GetBool(u.character, "ship") ? 1 : 0,
                              TGame::GetBool(u.character, "navigator") ? 1 : 0, u.active ? "True" : "False");
                movement += buffer;
            }
            if (movement != movementKey_) {
                movementKey_ = std::move(movement);
                movementCosts_ = MovementCosts(game, selected, charge);
                ++movementRefreshes_;
            }
            int allowance = TGame::GetInt(chosen.character, "dexterity", 0) / 20 + 8;
            if (charge) allowance = std::max(allowance / 2, 4);
            for (int c = 0; c < kFieldCells; ++c) {
                const int cost = movementCosts_[static_cast<std::size_t>(c)];
                lit_[static_cast<std::size_t>(c)] =
                    cost >= 1 && cost <= allowance && !occupied[static_cast<std::size_t>(c)];
            }
        }
    }

    // 6. Highlights, then the cursor and the selection (the selection wins).
    for (int c = 0; c < kFieldCells; ++c)
        if (lit_[static_cast<std::size_t>(c)]) OutlineCell(c, kLitEdge, true);
    if (InField(cursorQ, cursorR)) OutlineCell(Hex{cursorQ, cursorR}.Index(), kCursorEdge, false);
    OutlineCell(selectedCell, kGold, false);

    // 7. Fires, beneath the units.
    TArr fires = TGame::GetArr(b, "fires");
    for (int i = 0, n = TGame::ArrLen(fires); i < n; ++i) {
        const int c = TGame::ArrInt(fires, i, -1);
        if (c < 0 || c >= kFieldCells) continue;
        const Hex h = Hex::FromIndex(c);
        auto [cx, cy] = HexCentre(h.q, h.r);
        const int X = 2 * cx, Y = 2 * cy;
        if (artwork.HasTerrainSheet())
            artwork.PaintTerrainSprite(frame_, kFireSpriteCell, X - 17, Y - 24, 34, 36, 255, false);
        else
            frame_.FillTriangle(X, Y - 12, X - 8, Y + 8, X + 8, Y + 8, kFireRed);
    }

    // 8. Units in index order.
    PaintUnits(game, selected, kinds, artwork);
}

}  // namespace reedmark
