// Hex: a cell of the 18 x 14 battle field in axial coordinates, with its neighbours,
// its distance to another cell and its index in the field's cell arrays.
#pragma once

#include <algorithm>
#include <array>
#include <cstdlib>

namespace reedmark {

constexpr int kFieldColumns = 18;
constexpr int kFieldRows = 14;
constexpr int kFieldCells = kFieldColumns * kFieldRows;

struct Hex {
    int q = 0;
    int r = 0;

    // The six neighbours, always in this order: east, west, south-east, north-west,
    // north-east, south-west (as (q, r) offsets below).
    static constexpr std::array<std::array<int, 2>, 6> kOffsets = {
        {{1, 0}, {-1, 0}, {0, 1}, {0, -1}, {1, -1}, {-1, 1}}};

    constexpr Hex Neighbour(int i) const { return {q + kOffsets[i][0], r + kOffsets[i][1]}; }

    // Computed in 64 bits so that cells read from a damaged file cannot overflow; the
    // result saturates at the largest int.
    static constexpr int Distance(Hex a, Hex b) {
        long long dq = static_cast<long long>(a.q) - b.q;
        long long dr = static_cast<long long>(a.r) - b.r;
        long long ds = dq + dr;
        long long d = std::max({dq < 0 ? -dq : dq, dr < 0 ? -dr : dr, ds < 0 ? -ds : ds});
        return d > 0x7fffffffLL ? 0x7fffffff : static_cast<int>(d);
    }

    constexpr bool InField() const { return q >= 0 && q < kFieldColumns && r >= 0 && r < kFieldRows; }
    // Cell index r * 18 + q; only meaningful for a cell inside the field.
    constexpr int Index() const { return r * kFieldColumns + q; }
    static constexpr Hex FromIndex(int index) { return {index % kFieldColumns, index / kFieldColumns}; }

    // Two cells on one straight line: same column, same row, or the third axis.
    static constexpr bool OnLine(Hex a, Hex b) {
        return a.q == b.q || a.r == b.r ||
               static_cast<long long>(a.q) - b.q == static_cast<long long>(b.r) - a.r;
    }

    constexpr bool operator==(const Hex&) const = default;
};

}  // namespace reedmark
