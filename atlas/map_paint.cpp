// Painting the strategic map from the atlas territories and the province owners.
#include "atlas/map_paint.hpp"

#include "art/sheets.hpp"

namespace reedmark {

namespace {

constexpr std::uint32_t kOwnerColours[12] = {0xA3B989, 0xB44F45, 0x8EA8C1, 0xB6A36E, 0x658E72, 0x9A82A6,
                                             0xB77D91, 0x689B9B, 0xBE905F, 0x819DC4, 0x9DAC89, 0x8C4148};

}  // namespace

std::uint32_t MapOwnerColour(int owner) {
    if (owner >= 0 && owner < 12) return kOwnerColours[owner];
    return FactionColour(owner);
}

TMapPainter::TMapPainter(const TAtlas& atlas) : atlas_(atlas), image_(kMapImageWidth, kMapImageHeight) {}

bool TMapPainter::DrawMap(const TGame& game, int selected, const TArtwork&) {
    std::string key = std::to_string(selected);
    int owners[kProvinceCount + 1] = {};
    for (int p = 1; p <= kProvinceCount; ++p) {
        owners[p] = TGame::GetInt(game.Province(p), "owner", 0);
        key += ',' + std::to_string(owners[p]);
    }
    if (key == key_) return false;
    key_ = key;
    ++repaints_;
    for (int y = 0; y < kMapImageHeight; ++y) {
        for (int x = 0; x < kMapImageWidth; ++x) {
            const int p = atlas_.ProvinceAt(x / 2, y / 2);
            image_.SetPixel(x, y, p == 0 ? 0x203E61 : MapOwnerColour(owners[p]));
        }
    }
    return true;
}

}  // namespace reedmark
