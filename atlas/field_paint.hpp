// TField: the picture of the battle's hex field (a terrain base layer, repainted only when
// the terrain changes, and a frame with highlights, fires and units) and the mapping of
// points back to cells.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "art/art.hpp"
#include "model/battle.hpp"

namespace reedmark {

class TArtwork;

// The field is laid out at half scale and painted doubled.
constexpr int kFieldHalfWidth = 436;
constexpr int kFieldHalfHeight = 272;
constexpr int kFieldImageWidth = 2 * kFieldHalfWidth;
constexpr int kFieldImageHeight = 2 * kFieldHalfHeight;

// A point's cell: found is false (q = r = -1) off the field.
struct THexHit {
    bool found = false;
    int q = -1;
    int r = -1;
    bool operator==(const THexHit&) const = default;
};

class TField {
   public:
    // Builds the cell map and the two empty images.
    TField();

    // The half-scale centre of cell (q, r); the image centre is twice it. Cells far
    // outside the field saturate instead of overflowing.
    static std::pair<int, int> HexCentre(int q, int r);
    // The cell under a half-scale point.
    THexHit HexAt(int x, int y) const;
    // The cell index under an image pixel, -1 off the field or outside the image.
    int ImageCellAt(int x, int y) const;

    // Brings the frame image up to date: the base when the terrain changed, then lit
    // cells, the cursor and selection outlines, fires and units. Nothing without a battle.
    void DrawField(const TGame& game, int selected, int cursorQ, int cursorR, const std::string& action,
                   const TArtwork& artwork);

    TArt& BaseImage() { return base_; }
    TArt& FrameImage() { return frame_; }
    int BaseRepaints() const { return baseRepaints_; }
    int MovementRefreshes() const { return movementRefreshes_; }
    const std::string& MovementKey() const { return movementKey_; }
    // The path costs of the last move preview (kUnreachable where none was computed).
    const TPathCosts& MovementCostCache() const { return movementCosts_; }
    // The cells lit by the last DrawField (deployment cells or a move preview).
    const std::array<bool, kFieldCells>& LitCells() const { return lit_; }

   private:
    void PaintBase(const TGame& game, const std::array<int, kFieldCells>& kinds, const TArtwork& artwork);
    // Recolours the edge pixels of a cell (and, when shade is set, its inner pattern).
    void OutlineCell(int cell, std::uint32_t colour, bool shadeInner);
    void PaintUnits(const TGame& game, int selected, const std::array<int, kFieldCells>& kinds,
                    const TArtwork& artwork);

    struct TBox {
        int x0 = 0, y0 = 0, x1 = -1, y1 = -1;  // image pixels, inclusive
    };

    std::vector<std::int16_t> cellMap_;  // half-scale points, -1 off the field
    std::vector<std::uint8_t> edge_;     // image pixels: a 4-neighbour lies in another cell
    std::array<TBox, kFieldCells> boxes_{};
    TArt base_;
    TArt frame_;
    std::string baseKey_;
    std::string movementKey_;
    TPathCosts movementCosts_{};
    std::array<bool, kFieldCells> lit_{};
    int baseRepaints_ = 0;
    int movementRefreshes_ = 0;
};

}  // namespace reedmark
