// The painted strategic map: sea depth and waves, the territories in their owners'
// colours with shading, hatching and borders, the selection, both rivers and the terrain
// sprites, repainted only when the owners or the selected province change.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "art/art.hpp"
#include "atlas/atlas.hpp"

namespace reedmark {

class TArtwork;

constexpr int kMapImageWidth = 2 * kAtlasWidth;
constexpr int kMapImageHeight = 2 * kAtlasHeight;

// Shade(c, k): k added to each of red, green and blue, each clamped to 0..255.
std::uint32_t Shade(std::uint32_t rgb, int k);

class TMapPainter {
   public:
    // Precomputes every term of the picture that depends neither on the owners nor on
    // the selection (sea colours, land shading, hatching, borders, rivers).
    explicit TMapPainter(const TAtlas& atlas);

    // Brings the image up to date for the campaign's owners and the selected province:
    // nothing is painted when the repaint key (selection and owners) is unchanged.
    // Answers whether it repainted. Mountains and settlements come from the terrain
    // sheet and are left out without it.
    bool DrawMap(const TGame& game, int selected, const TArtwork& artwork);

    // The repaint key of these inputs: "selected:" then each owner followed by ",".
    static std::string MapKey(const TGame& game, int selected);

    TArt& Image() { return image_; }
    const TArt& Image() const { return image_; }
    int Repaints() const { return repaints_; }
    const std::string& Key() const { return key_; }

   private:
    // A pixel of the river overlay, painted over land after the territories.
    struct TRiverPixel {
        std::uint32_t index;
        std::uint32_t colour;
    };
    // A terrain sprite placed on the map (mountains, then settlements).
    struct TSprite {
        int cell, x, y, w, h, opacity;
    };

    const TAtlas& atlas_;
    TArt image_;
    std::string key_;
    int repaints_ = 0;

    // Per image pixel: province (0 sea), and for sea the finished colour, for land the
    // shade term and the flags below.
    std::vector<std::uint8_t> province_;
    std::vector<std::uint32_t> sea_;
    std::vector<std::int8_t> shade_;
    std::vector<std::uint8_t> flags_;
    std::vector<TRiverPixel> rivers_;
    std::vector<TSprite> sprites_;
};

// The map colour of an owner: the atlas palette for owners 0..11, else FactionColour.
std::uint32_t MapOwnerColour(int owner);

}  // namespace reedmark
