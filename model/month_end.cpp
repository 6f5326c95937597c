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

}  // namespace

void MonthEnd(TGame& game) {
    TObj root = game.Root();
    if (root == nullptr) return;
    AdvanceCalendar(game);
    game.AddLog("Month " + std::to_string(TGame::GetInt(root, "month", 0)) + ", River Calendar " +
                std::to_string(TGame::GetInt(root, "year", 0)));
}

}  // namespace reedmark
