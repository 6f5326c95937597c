// Territory construction of the atlas: every province has land holding its label,
// the grid edges answer sea, and the map is the same on every construction.
#include "atlas/atlas.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace reedmark {
namespace {

const TAtlas& Atlas() {
    static const TAtlas atlas;
    return atlas;
}

TEST(Atlas, EveryProvinceOwnsCellsAndItsLabel) {
    std::array<int, kProvinceCount + 1> cells{};
    for (int y = 0; y < kAtlasHeight; ++y)
        for (int x = 0; x < kAtlasWidth; ++x) {
            int p = Atlas().ProvinceAt(x, y);
            ASSERT_GE(p, 0);
            ASSERT_LE(p, kProvinceCount);
            ++cells[p];
        }
    for (int p = 1; p <= kProvinceCount; ++p) {
        EXPECT_GT(cells[p], 100) << "province " << p;
        auto [x, y] = Atlas().LabelAnchor(p);
        EXPECT_EQ(Atlas().ProvinceAt(x, y), p) << "province " << p;
    }
    EXPECT_GT(cells[0], 0);  // the sea around the island
}

TEST(Atlas, OutsideTheGridIsSea) {
    EXPECT_EQ(Atlas().ProvinceAt(-1, 0), 0);
    EXPECT_EQ(Atlas().ProvinceAt(kAtlasWidth, 0), 0);
    EXPECT_EQ(Atlas().ProvinceAt(0, -1), 0);
    EXPECT_EQ(Atlas().ProvinceAt(10, kAtlasHeight), 0);
    EXPECT_EQ(Atlas().ProvinceAt(0, 0), 0);
    EXPECT_EQ(Atlas().ProvinceAt(kAtlasWidth - 1, kAtlasHeight - 1), 0);
    EXPECT_EQ(Atlas().LabelAnchor(0), std::make_pair(0, 0));
    EXPECT_EQ(Atlas().LabelAnchor(kProvinceCount + 1), std::make_pair(0, 0));
}

TEST(Atlas, ConstructionIsDeterministic) {
    TAtlas again;
    for (int y = 0; y < kAtlasHeight; ++y)
        for (int x = 0; x < kAtlasWidth; ++x) ASSERT_EQ(again.ProvinceAt(x, y), Atlas().ProvinceAt(x, y));
    for (int p = 1; p <= kProvinceCount; ++p) EXPECT_EQ(again.LabelAnchor(p), Atlas().LabelAnchor(p));
}

TEST(Atlas, AnchorsFollowTheWarpOfTheLattice) {
    // Province 1: lattice point (35*0 + 0 + 19 mod 5 + 42, 0 + 13 mod 5 + 50) = (46, 53).
    auto [wx, wy] = AtlasWarp(46, 53);
    EXPECT_EQ(Atlas().LabelAnchor(1), std::make_pair(RoundEven(wx), RoundEven(wy)));
    EXPECT_EQ(RoundEven(2.5), 2);
    EXPECT_EQ(RoundEven(3.5), 4);
    EXPECT_EQ(RoundEven(-2.5), -2);
}

TEST(Atlas, TouchingIsSymmetricAndConnectsTheLand) {
    std::set<int> reached = {1};
    std::vector<int> frontier = {1};
    for (int p = 1; p <= kProvinceCount; ++p) {
        std::vector<int> touching = Atlas().TouchingProvinces(p);
        EXPECT_FALSE(touching.empty()) << "province " << p;
        for (int q : touching) {
            std::vector<int> back = Atlas().TouchingProvinces(q);
            EXPECT_NE(std::find(back.begin(), back.end(), p), back.end()) << p << " and " << q;
        }
    }
    while (!frontier.empty()) {
        int p = frontier.back();
        frontier.pop_back();
        for (int q : Atlas().TouchingProvinces(p))
            if (reached.insert(q).second) frontier.push_back(q);
    }
    EXPECT_EQ(reached.size(), static_cast<size_t>(kProvinceCount));
}

TEST(Atlas, MainRiverCrossesAStripOfProvinces) {
    auto river = Atlas().MainRiverProvinces();
    int count = 0;
    for (int p = 1; p <= kProvinceCount; ++p) count += river[p];
    EXPECT_FALSE(river[0]);
    EXPECT_GE(count, 5);
    EXPECT_LE(count, 20);
}

}  // namespace
}  // namespace reedmark
