// The events of a province at the month end, the riot resolution and the beast notices.
#include "model/events.hpp"

#include <algorithm>
#include <string>

#include "model/game.hpp"
#include "model/random.hpp"

namespace reedmark {

namespace {

constexpr int kPercentCap = 100;
constexpr int kStoreCap = 9999;
constexpr int kRiotPrice = 30;
constexpr int kMonthsPerYear = 12;

bool IsSummer(int month) { return month >= 6 && month <= 8; }
bool IsWinter(int month) { return month == 12 || month == 1 || month == 2; }
bool IsFairMonth(int month) { return month == 3 || month == 9; }

// Every member of the owner standing in p (the free residents when p is unclaimed).
template <typename Fn>
void ForEachLocalMember(TGame& game, int p, int owner, Fn fn) {
    for (int c = 1; c <= kCharacterCount; ++c) {
        if (game.IsLocalMember(c, p, owner)) fn(game.Character(c));
    }
}

// [SECTION] Weather and season

void Typhoon(TGame& game, TObj prov, int owner) {
    game.AddCapped(prov, "flood", -5, kPercentCap);
    game.AddCapped(prov, "land", -10, kPercentCap);
    game.AddCapped(prov, "wealth", -8, kPercentCap);
    game.AddCapped(prov, "food", -(TGame::GetInt(prov, "food", 0) / 10), kStoreCap);
    game.AddCapped(prov, "rate", 10, kPercentCap);
    if (game.IsHumanFaction(owner)) game.AddLog("Typhoon strikes " + TGame::GetStr(prov, "name") + ".");
}

void Snow(TGame& game, TObj prov) {
    game.SetBool(prov, "snow", true);
    game.AddCapped(prov, "land", -3, kPercentCap);
    game.AddCapped(prov, "support", -2, kPercentCap);
}

void FairSeason(TGame& game, int p, TObj prov, int owner) {
    game.AddCapped(prov, "support", 5, kPercentCap);
    ForEachLocalMember(game, p, owner, [&game](TObj ch) {
        game.AddCapped(ch, "body", 3, TGame::GetInt(ch, "bodyMax", 0));
        game.AddCapped(ch, "loyalty", 3, kPercentCap);
    });
}

// The first test that holds applies: typhoon, snow, epidemic outbreak, fair season.
void WeatherAndSeason(TGame& game, int p, TObj prov, int owner, int month, int r) {
    int flood = TGame::GetInt(prov, "flood", 0);
    if (IsSummer(month) && r < std::max(1, 12 - flood / 10)) {
        Typhoon(game, prov, owner);
        return;
    }
    if (IsWinter(month) && r < (TGame::GetInt(prov, "r", 0) < 3 ? 12 : 3)) {
        Snow(game, prov);
        return;
    }
    if (r < 2 && TGame::GetInt(prov, "epidemic", 0) == 0) {
        game.SetInt(prov, "epidemic", 2);
        return;
    }
    if (IsFairMonth(month) && r < 15) FairSeason(game, p, prov, owner);
}

// [SECTION] Epidemic and riot

// An outbreak strikes at the month end it begins and at the next one.
void Epidemic(TGame& game, int p, TObj prov, int owner) {
    int epidemic = TGame::GetInt(prov, "epidemic", 0);
    if (epidemic <= 0) return;
    game.AddCapped(prov, "wealth", -5, kPercentCap);
    game.AddCapped(prov, "support", -5, kPercentCap);
    ForEachLocalMember(game, p, owner, [&game](TObj ch) {
        game.AddCapped(ch, "body", -10, TGame::GetInt(ch, "bodyMax", 0));
        long long soldiers = TGame::GetInt(ch, "soldiers", 0);
        game.AddCapped(ch, "soldiers", -(soldiers * 5 / 100), kPercentCap);
    });
    game.SetInt(prov, "epidemic", static_cast<long long>(epidemic) - 1);
}

// Middling support breeds unrest: from 16 percent at Support 40 to 1 percent at 55.
void RiotCheck(TGame& game, int p, TObj prov, int owner, int r) {
    if (owner <= 0) return;
    int support = TGame::GetInt(prov, "support", 0);
    if (support < 40 || support > 55 || r >= 56 - support) return;
    game.SetBool(prov, "riot", true);
    if (!game.IsHumanFaction(owner)) ResolveRiot(game, p, TGame::GetInt(prov, "gold", 0) >= kRiotPrice);
}

// [SECTION] Beasts

int BeastKind(int k) {
    if (k < 40) return 1;
    if (k < 70) return 2;
    if (k < 90) return 3;
    return 4;
}

void AppendBeastNotice(TGame& game, int p, int owner, int kind, int before, int loss, int after, int month) {
    TObj root = game.Root();
    TArr notices = TGame::GetArr(root, "beastNotices");
    if (notices == nullptr) notices = game.NewArr(root, "beastNotices");
    TObj notice = game.ArrAppendObj(notices);
    game.SetInt(notice, "province", p);
    game.SetInt(notice, "faction", owner);
    game.SetInt(notice, "beast", kind);
    game.SetInt(notice, "foodBefore", before);
    game.SetInt(notice, "foodLoss", loss);
    game.SetInt(notice, "foodAfter", after);
    game.SetInt(notice, "month", month);
    game.SetInt(notice, "year", TGame::GetInt(root, "year", 0));
}

// Beasts leave when a season begins, may arrive from March to November, and eat a
// twentieth of the granary (rounded up) every month they stay.
void Beasts(TGame& game, int p, TObj prov, int owner, int month) {
    int entering = month % kMonthsPerYear + 1;
    if (entering == 3 || entering == 6 || entering == 9 || entering == 12) game.SetInt(prov, "beast", 0);
    bool isNew = false;
    if (entering >= 3 && entering <= 11 && TGame::GetInt(prov, "beast", 0) == 0) {
        int chance = Clamp(game.RuleInt("beastChancePercent", 5), 0, 100);
        if (Random(game, 100) < chance) {
            game.SetInt(prov, "beast", BeastKind(Random(game, 100)));
            isNew = true;
        }
    }
    int kind = TGame::GetInt(prov, "beast", 0);
    if (kind <= 0) return;
    int before = TGame::GetInt(prov, "food", 0);
    int loss = static_cast<int>((static_cast<long long>(before) + 19) / 20);
    game.SetInt(prov, "food", Clamp(static_cast<long long>(before) - loss, 0, kStoreCap));
    if (!game.IsHumanFaction(owner)) return;
    int after = TGame::GetInt(prov, "food", 0);
    std::string name = TGame::GetStr(prov, "name");
    std::string word = TGame::BeastName(kind);
    std::string change = std::to_string(before) + " -> " + std::to_string(after);
    if (isNew) {
        game.AddLog("A " + word + " terrorises residents of " + name + ". Food " + change + ". Send a beast expedition.");
        AppendBeastNotice(game, p, owner, kind, before, loss, after, entering);
    } else {
        game.AddLog(name + ": the " + word + " raids food stores, " + change + ".");
    }
}

}  // namespace

void RunProvinceEvents(TGame& game, int p) {
    TObj prov = game.Province(p);
    int owner = TGame::GetInt(prov, "owner", 0);
    int month = TGame::GetInt(game.Root(), "month", 0);
    int r = Random(game, 100);
    WeatherAndSeason(game, p, prov, owner, month, r);
    Epidemic(game, p, prov, owner);
    RiotCheck(game, p, prov, owner, r);
    Beasts(game, p, prov, owner, month);
}

std::string ResolveRiot(TGame& game, int p, bool pay) {
    TObj prov = game.Province(p);
    if (!TGame::GetBool(prov, "riot")) return "There is no riot here.";
    std::string name = TGame::GetStr(prov, "name");
    int gold = TGame::GetInt(prov, "gold", 0);
    if (pay && gold < kRiotPrice) return "The treasury cannot afford 30 Gold.";
    std::string message;
    if (pay) {
        game.SetInt(prov, "gold", gold - kRiotPrice);
        game.SetInt(prov, "support", std::min(100, TGame::GetInt(prov, "support", 0) + 3));
        message = "The unrest in " + name + " ends peacefully.";
    } else {
        game.SetInt(prov, "support", std::max(0, TGame::GetInt(prov, "support", 0) - 10));
        game.SetInt(prov, "gold", gold - gold / 5);
        int food = TGame::GetInt(prov, "food", 0);
        game.SetInt(prov, "food", food - food / 5);
        TObj governor = game.Character(TGame::GetInt(prov, "governor", 0));
        if (governor != nullptr) game.SetInt(governor, "body", std::max(0, TGame::GetInt(governor, "body", 0) - 15));
        message = "Riot in " + name + ": Support -10, Gold/Food -20%, governor Body -15.";
    }
    game.SetBool(prov, "riot", false);
    game.AddLog(message);
    return message;
}

}  // namespace reedmark
