// The sprite sheets: PNG loading, the portrait cell rule, and painting portraits, the
// landscape and terrain sprites from the three optional sheets.
#pragma once

#include <memory>
#include <string>

#include "art/art.hpp"

namespace reedmark {

// Decodes a PNG file into an image with 8 bits per channel, alpha kept (16-bit channels
// keep their high byte; palette, grey and transparency entries become RGBA). Answers
// nullptr when the file does not exist. Throws TArtError "Empty artwork: <path>" for a
// picture narrower or lower than one pixel, and a TArtError naming the file for anything
// that cannot be read or decoded, or that is larger than kArtMaxSide per side or
// kArtMaxPixels in all.
std::unique_ptr<TArt> LoadPNG(const std::string& path);

// Largest picture LoadPNG accepts, in pixels.
constexpr std::int64_t kArtMaxPixels = std::int64_t{64} * 1024 * 1024;

// Writes the image as an 8-bit RGBA PNG (or RGB without alpha). Throws TArtError naming
// the file when it cannot be written; an empty image cannot be written either.
void SavePNG(const TArt& art, const std::string& path, bool withAlpha = true);

// The sheet cell of a character's portrait: characters 1..11 have their own cells, the
// others share cells by profession (and by sex for women).
int PortraitCell(int id, bool female, const std::string& profession);

// File names of the sheets inside the art folder.
inline constexpr const char* kCharacterSheetFile = "characters-v2.png";
inline constexpr const char* kTerrainSheetFile = "terrain-units-v2.png";
inline constexpr const char* kLandscapeFile = "riverlands-v2.png";

// The three optional sprite sheets of the program, each 4 x 4 cells except the landscape.
class TArtwork {
   public:
    // Frees the three sheets, then loads each from the folder (with or without a trailing
    // separator); a missing file leaves its sheet absent. Errors of LoadPNG propagate, and
    // the sheets read before the failing one stay loaded.
    void LoadArtwork(const std::string& artDir);

    bool HasTerrainSheet() const { return terrain_ != nullptr; }
    bool HasCharacterSheet() const { return characters_ != nullptr; }
    bool HasLandscape() const { return landscape_ != nullptr; }

    // Paints the portrait of a character onto the whole target: character 0 is a
    // portrait-shaped crop of the landscape, others a cell of the character sheet. False
    // when neither applies (the caller paints the fallback portrait).
    bool PaintPortrait(TArt& target, int id, bool female, const std::string& profession) const;
    // The whole landscape smoothly scaled onto the whole target; false without it.
    bool PaintLandscape(TArt& target) const;
    // Terrain sheet cell 0..15 scaled into (dx, dy, dw, dh) with nearest sampling;
    // nothing without the sheet or for another cell number.
    void PaintTerrainSprite(TArt& target, int cell, int dx, int dy, int dw, int dh, int opacity, bool grey) const;

    void ReleaseTextures();

    const TArt* Characters() const { return characters_.get(); }
    const TArt* Terrain() const { return terrain_.get(); }
    const TArt* Landscape() const { return landscape_.get(); }

   private:
    std::unique_ptr<TArt> characters_;
    std::unique_ptr<TArt> terrain_;
    std::unique_ptr<TArt> landscape_;
};

// The rectangle of cell n (col n mod 4, row n div 4) of a 4 x 4 sheet of the given size.
struct TCellRect {
    int x, y, w, h;
};
TCellRect SheetCell(int sheetWidth, int sheetHeight, int cell);

}  // namespace reedmark
