// TAtlas: the province territories of the strategic map, computed without randomness
// from the province anchors and a fixed island outline (no SDL in this part).
#pragma once

#include <array>
#include <cstdint>
#include <utility>
#include <vector>

#include "model/game.hpp"

namespace reedmark {

constexpr int kAtlasWidth = 348;
constexpr int kAtlasHeight = 272;

// Rounding to the nearest integer, halves to even (the map's rounding everywhere).
int RoundEven(double v);

// The map warp that bends the straight anchor lattice into a hand-drawn looking land.
std::pair<double, double> AtlasWarp(double x, double y);

class TAtlas {
   public:
    // Builds the territory grid and the label anchors. Throws TGameError with
    // "Province has no atlas territory." or "Province label is outside its territory."
    // when a province ends up without land or with its label on foreign land.
    TAtlas();

    // The province of grid cell (x, y), 0 for sea or for a cell outside the grid.
    int ProvinceAt(int x, int y) const;
    // The label anchor of province p in grid cells; (0, 0) outside 1..49.
    std::pair<int, int> LabelAnchor(int p) const;

    // Provinces whose territory the main river of the map painting crosses (index 1..49).
    std::array<bool, kProvinceCount + 1> MainRiverProvinces() const;
    // Province ids whose territories share a cell edge with p's, ascending.
    std::vector<int> TouchingProvinces(int p) const;

   private:
    std::vector<std::uint8_t> grid_;
    std::array<int, kProvinceCount + 1> labelX_{};
    std::array<int, kProvinceCount + 1> labelY_{};
};

}  // namespace reedmark
