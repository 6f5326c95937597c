// MonthEnd. For now the calendar: the month advances (December to January of the next
// year) and the month line is written.
#include "model/month_end.hpp"

#include <string>

#include "model/game.hpp"

namespace reedmark {

namespace {

constexpr int kMonthsPerYear = 12;

void AdvanceCalendar(TGame& game) {
    TObj root = game.Root();
    int month = TGame::GetInt(root, "month", 0) + 1;
    if (month > kMonthsPerYear) {
        game.SetInt(root, "month", 1);
        game.SetInt(root, "year", static_cast<long long>(TGame::GetInt(root, "year", 0)) + 1);
    } else {
        game.SetInt(root, "month", month);
    }
}

bool IsSworn(TObj ch) { return TGame::GetStr(ch, "role") == "sworn companion"; }

// True when candidate c should replace the current best as governor of a province
// whose owner is o.
bool BetterGovernor(const TGame& game, int c, int best, int o) {
    if (best == 0) return true;
    if (c == o) return true;
    if (best == o) return false;
    TObj cc = game.Character(c);
    TObj bc = game.Character(best);
    bool cSworn = IsSworn(cc);
    bool bSworn = IsSworn(bc);
    if (cSworn && !bSworn) return true;
    if (cSworn && bSworn) return TGame::GetInt(cc, "age", 0) > TGame::GetInt(bc, "age", 0);
    if (!cSworn && !bSworn) {
        int cl = TGame::GetInt(cc, "loyalty", 0);
        int bl = TGame::GetInt(bc, "loyalty", 0);
        if (cl != bl) return cl > bl;
        return TGame::GetInt(cc, "wisdom", 0) > TGame::GetInt(bc, "wisdom", 0);
    }
    return false;  // a follower never replaces a sworn companion
}

}  // namespace

void ChooseGovernor(TGame& game, int p) {
    TObj prov = game.Province(p);
    if (prov == nullptr) return;
    int o = TGame::GetInt(prov, "owner", 0);
    int best = 0;
    for (int c = 1; c <= kCharacterCount; ++c) {
        if (!game.IsLocalMember(c, p, o) || TGame::GetStr(game.Character(c), "role") == "exile") continue;
        if (BetterGovernor(game, c, best, o)) best = c;
    }
    game.SetInt(prov, "governor", best);
}

void MonthEnd(TGame& game) {
    TObj root = game.Root();
    if (root == nullptr) return;
    AdvanceCalendar(game);
    game.AddLog("Month " + std::to_string(TGame::GetInt(root, "month", 0)) + ", River Calendar " +
                std::to_string(TGame::GetInt(root, "year", 0)));
}

}  // namespace reedmark
