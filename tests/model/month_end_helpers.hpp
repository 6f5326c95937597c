// Helpers of the month-end, event and prisoner tests: a mirror of the campaign
// generator and small edits of the small world.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/game.hpp"
#include "model/month_end.hpp"
#include "tests/fixtures/small_world.hpp"

namespace reedmark::testing {

// The generator's next state (the same xorshift the campaign uses).
inline std::uint32_t NextState(std::uint32_t x) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    return x == 0 ? 1 : x;
}

// A generator state whose next draws of Random(100) return wants in order (-1: any).
inline std::uint32_t StateGiving(const std::vector<int>& wants) {
    for (std::uint32_t s = 1;; ++s) {
        std::uint32_t x = s;
        bool match = true;
        for (int want : wants) {
            x = NextState(x);
            match = match && (want < 0 || static_cast<int>(x % 100) == want);
        }
        if (match) return s;
    }
}

inline void SetRng(TGame& game, std::uint32_t s) { game.SetInt(game.Root(), "rng", static_cast<std::int32_t>(s)); }
inline std::uint32_t Rng(const TGame& game) { return static_cast<std::uint32_t>(TGame::GetRawInt64(game.Root(), "rng", 1)); }

inline void SetRule(TGame& game, const std::string& key, int value) {
    TObj rules = TGame::GetObj(game.Root(), "rules");
    game.SetInt(rules != nullptr ? rules : game.NewObj(game.Root(), "rules"), key, value);
}

inline std::string LastLine(const TGame& game) { return game.Chronicle().empty() ? "" : game.Chronicle().back(); }

inline bool ChronicleHas(const TGame& game, const std::string& line) {
    for (const auto& l : game.Chronicle())
        if (l == line) return true;
    return false;
}

// Makes the coming month end an April one without beasts, under a generator state with
// no epidemic anywhere, so only the rule under test moves stores, troops and Body.
inline void QuietApril(TGame& game) {
    game.SetInt(game.Root(), "month", 4);
    SetRule(game, "beastChancePercent", 0);
    for (std::uint32_t s = 1;; ++s) {
        TGame trial;
        trial.ReplaceDocument(*game.Document());
        SetRng(trial, s);
        MonthEnd(trial);
        bool quiet = true;
        for (int p = 1; p <= kProvinceCount; ++p) quiet = quiet && TGame::GetInt(trial.Province(p), "epidemic", 0) == 0;
        if (quiet) return SetRng(game, s);
    }
}

}  // namespace reedmark::testing
