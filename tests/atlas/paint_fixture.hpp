// Shared by the painter tests: a synthetic terrain sheet whose sixteen cells are solid,
// distinct and opaque, loaded into a TArtwork from a temporary art folder.
#pragma once

#include <filesystem>
#include <memory>

#include "art/sheets.hpp"
#include "tests/fixtures/small_world.hpp"

namespace reedmark::testing {

constexpr int kSheetCell = 8;  // pixels per cell side of the synthetic sheet

inline std::uint32_t SheetColour(int cell) {
    return static_cast<std::uint32_t>(16 * cell) << 16 | static_cast<std::uint32_t>(200 - 8 * cell) << 8 |
           static_cast<std::uint32_t>(50 + 10 * cell);
}

// Artwork holding only the synthetic terrain sheet.
inline std::unique_ptr<TArtwork> SheetArtwork() {
    TTempWorld dir(nullptr);
    TArt sheet(4 * kSheetCell, 4 * kSheetCell);
    for (int cell = 0; cell < 16; ++cell)
        sheet.FillRect(cell % 4 * kSheetCell, cell / 4 * kSheetCell, kSheetCell, kSheetCell, SheetColour(cell));
    SavePNG(sheet, dir.Path(kTerrainSheetFile));
    auto artwork = std::make_unique<TArtwork>();
    artwork->LoadArtwork(dir.Dir());
    return artwork;
}

// a blended over b at the given opacity, as the blit does it.
inline std::uint32_t Blend(std::uint32_t a, std::uint32_t b, int opacity) {
    std::uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const std::uint32_t ca = a >> shift & 0xFF, cb = b >> shift & 0xFF;
        out |= (ca * opacity + cb * (255 - opacity)) / 255 << shift;
    }
    return out;
}

}  // namespace reedmark::testing
