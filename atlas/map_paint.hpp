// The painted strategic map: the atlas territories in the colours of their owners,
// repainted only when the owners or the selected province change.
#pragma once

#include <string>

#include "art/art.hpp"
#include "atlas/atlas.hpp"

namespace reedmark {

class TArtwork;

constexpr int kMapImageWidth = 2 * kAtlasWidth;
constexpr int kMapImageHeight = 2 * kAtlasHeight;

class TMapPainter {
   public:
    explicit TMapPainter(const TAtlas& atlas);
    // Brings the image up to date for the campaign's owners and the selection; answers
    // whether it repainted.
    bool DrawMap(const TGame& game, int selected, const TArtwork& artwork);
    TArt& Image() { return image_; }
    int Repaints() const { return repaints_; }

   private:
    const TAtlas& atlas_;
    TArt image_;
    std::string key_;
    int repaints_ = 0;
};

// The map colour of an owner: the atlas palette for owners 0..11, else FactionColour.
std::uint32_t MapOwnerColour(int owner);

}  // namespace reedmark
