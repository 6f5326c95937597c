// MonthEnd: the pass over the whole world that settles a month (wages, food, hunger,
// events, market, wandering, recovery, desertion, calendar, January reckoning,
// governors, fellowships), and ChooseGovernor.
#include "model/month_end.hpp"

#include <algorithm>
#include <string>
#include <unordered_map>

#include "model/events.hpp"
#include "model/fellowships.hpp"
#include "model/game.hpp"
#include "model/random.hpp"
#include "model/writ.hpp"

namespace reedmark {

namespace {

constexpr int kMonthsPerYear = 12;
constexpr int kPercentCap = 100;
constexpr int kAgeCap = 999;
constexpr int kSoldiersPerFood = 10;
constexpr int kDesertersPerMissingFood = 5;
constexpr int kDesertionLoyalty = 30;
constexpr int kWanderPercent = 10;

bool IsSworn(TObj ch) { return TGame::GetStr(ch, "role") == "sworn companion"; }

// [SECTION] Governor choice

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

// [SECTION] Wages, food and hunger

// Every counted person costs 1 Gold; an unpaid month costs the unsworn 10 loyalty.
void PayWages(TGame& game, int p, TObj prov, int o) {
    int wages = game.ProvinceHeadcount(p);
    int gold = TGame::GetInt(prov, "gold", 0);
    game.SetInt(prov, "gold", std::max(0, gold - wages));
    if (gold >= wages) return;
    for (int c = 1; c <= kCharacterCount; ++c) {
        TObj ch = game.Character(c);
        if (game.IsLocalMember(c, p, o) && !IsSworn(ch)) game.AddCapped(ch, "loyalty", -10, kPercentCap);
    }
}

// Soldiers who go hungry desert: first in proportion to each member's troops, then the
// rounding remainder one by one from the lowest ids that still have soldiers.
void HungerDesertion(TGame& game, int p, int o, long long soldiers, long long lost) {
    long long shares = 0;
    for (int c = 1; c <= kCharacterCount; ++c) {
        if (!game.IsLocalMember(c, p, o)) continue;
        TObj ch = game.Character(c);
        long long share = TGame::GetInt(ch, "soldiers", 0) * lost / std::max(soldiers, 1LL);
        game.AddCapped(ch, "soldiers", -share, kPercentCap);
        shares += share;
    }
    long long remaining = lost - shares;
    for (int c = 1; c <= kCharacterCount && remaining > 0; ++c) {
        if (!game.IsLocalMember(c, p, o)) continue;
        TObj ch = game.Character(c);
        if (TGame::GetInt(ch, "soldiers", 0) <= 0) continue;
        game.AddCapped(ch, "soldiers", -1, kPercentCap);
        --remaining;
    }
}

// One Food per ten soldiers, rounded up; each missing Food costs five soldiers.
// Returns the Food needed.
long long FeedTroops(TGame& game, int p, TObj prov, int o, long long& lost) {
    long long soldiers = game.ProvinceSoldiers(p);
    long long need = (soldiers + kSoldiersPerFood - 1) / kSoldiersPerFood;
    long long food = TGame::GetInt(prov, "food", 0);
    game.SetInt(prov, "food", std::max(0LL, food - need));
    long long shortfall = std::max(0LL, need - food);
    lost = std::min(kDesertersPerMissingFood * shortfall, soldiers);
    if (lost > 0) HungerDesertion(game, p, o, soldiers, lost);
    return need;
}

void SettleOwnedProvince(TGame& game, int p, TObj prov, int o) {
    PayWages(game, p, prov, o);
    long long lost = 0;
    long long need = FeedTroops(game, p, prov, o, lost);
    if (game.IsHumanFaction(o)) {
        game.AddLog(TGame::GetStr(prov, "name") + ": wages " + std::to_string(game.ProvinceHeadcount(p)) + ", food " +
                    std::to_string(need) + ", starvation " + std::to_string(lost) + ".");
    }
}

// [SECTION] Provinces

void MarketDrift(TGame& game, TObj prov) {
    game.AddCapped(prov, "rate", Random(game, 11) - 5, kPercentCap);
    if (TGame::GetInt(prov, "rate", 0) < 20) game.SetInt(prov, "rate", 20);
}

void SettleProvinces(TGame& game) {
    for (int p = 1; p <= kProvinceCount; ++p) {
        TObj prov = game.Province(p);
        int o = TGame::GetInt(prov, "owner", 0);
        if (o > 0) SettleOwnedProvince(game, p, prov, o);
        RunProvinceEvents(game, p);
        MarketDrift(game, prov);
        if (game.ProvinceSoldiers(p) == 0) {  // troops without soldiers keep no training
            game.SetInt(prov, "skill", 0);
            game.SetInt(prov, "arms", 0);
        }
    }
}

// The exile party of each fellowship: the first entry of `exileParties` whose leader
// it is. Looked up once per month end, so a document with very many parties or
// fellowships costs linear time, not their product.
std::unordered_map<int, TObj> FirstPartyByLeader(const TGame& game) {
    std::unordered_map<int, TObj> parties;
    TArr all = TGame::GetArr(game.Root(), "exileParties");
    for (int i = 0; i < TGame::ArrLen(all); ++i) {
        TObj party = TGame::ArrObj(all, i);
        if (party != nullptr) parties.emplace(TGame::GetInt(party, "leader", 0), party);
    }
    return parties;
}

// Homeless fellowships eat one Food of their party's stores a month.
void FeedExileParties(TGame& game) {
    std::unordered_map<int, TObj> parties = FirstPartyByLeader(game);
    int count = game.FactionCount();
    for (int f = 1; f <= count; ++f) {
        TObj fac = game.Faction(f);
        if (!TGame::GetBool(fac, "active") || TGame::GetInt(fac, "home", 0) != 0) continue;
        auto it = parties.find(f);
        if (it != parties.end()) game.SetInt(it->second, "food", std::max(0, TGame::GetInt(it->second, "food", 0) - 1));
    }
}

// [SECTION] Characters

bool IsWanderer(TObj ch) {
    std::string profession = TGame::GetStr(ch, "profession");
    return profession == "trader" || profession == "performer" || profession == "outlaw" || profession == "fisher";
}

// A free trader, performer, outlaw or fisher sometimes moves to a neighbouring
// province. Where the province lists no neighbours (or names one that does not exist)
// the draw of the neighbour is still made, so the generator advances as always, but
// the resident stays where he is.
void Wander(TGame& game, TObj ch) {
    if (TGame::GetInt(ch, "faction", 0) != 0 || TGame::GetBool(ch, "captured") || !IsWanderer(ch)) return;
    if (Random(game, 100) >= kWanderPercent) return;
    TArr neighbours = TGame::GetArr(game.Province(TGame::GetInt(ch, "province", 0)), "neighbors");
    int index = Random(game, TGame::ArrLen(neighbours));
    int destination = TGame::ArrInt(neighbours, index, 0);
    if (game.Province(destination) != nullptr) game.SetInt(ch, "province", destination);
}

void Recover(TGame& game, TObj ch, int recovery) {
    game.AddCapped(ch, "body", recovery, TGame::GetInt(ch, "bodyMax", 0));
}

// A follower whose loyalty has fallen below 30 may leave; leaders and sworn
// companions never do.
void Desert(TGame& game, int c, TObj ch) {
    int f = TGame::GetInt(ch, "faction", 0);
    int loyalty = TGame::GetInt(ch, "loyalty", 0);
    if (f <= 0 || f == c || IsSworn(ch) || loyalty >= kDesertionLoyalty) return;
    if (Random(game, 100) >= kDesertionLoyalty - loyalty) return;
    game.SetInt(ch, "faction", 0);
    game.SetStr(ch, "role", "free");
    game.SetInt(ch, "superior", 0);
    game.AddLog(TGame::GetStr(ch, "name") + " leaves the fellowship.");
    ChooseGovernor(game, TGame::GetInt(ch, "province", 0));
}

void SettleCharacters(TGame& game) {
    const int recovery = game.RuleInt("monthlyRecovery", 5);
    for (int c = 1; c <= kCharacterCount; ++c) {
        TObj ch = game.Character(c);
        if (!TGame::GetBool(ch, "alive")) continue;
        Wander(game, ch);
        Recover(game, ch, recovery);
        Desert(game, c, ch);
    }
}

// [SECTION] Calendar and January

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

void Thaw(TGame& game) {
    for (int p = 1; p <= kProvinceCount; ++p) game.SetBool(game.Province(p), "snow", false);
}

// Everyone grows a year older; followers drift away from leaders they do not suit.
void AgeAndDrift(TGame& game) {
    for (int c = 1; c <= kCharacterCount; ++c) {
        TObj ch = game.Character(c);
        if (!TGame::GetBool(ch, "alive")) continue;
        game.AddCapped(ch, "age", 1, kAgeCap);
        int f = TGame::GetInt(ch, "faction", 0);
        if (f <= 0 || f == c || IsSworn(ch)) continue;
        game.AddCapped(ch, "loyalty", -((100 - game.Compatibility(c, f)) / 15 + 1), kPercentCap);
    }
}

void TaxAndDecline(TGame& game) {
    for (int p = 1; p <= kProvinceCount; ++p) {
        TObj prov = game.Province(p);
        if (TGame::GetInt(prov, "owner", 0) > 0) CollectAnnualTax(game, p);
        game.AddCapped(prov, "skill", -3, kPercentCap);
        game.AddCapped(prov, "arms", -3, kPercentCap);
        game.AddCapped(prov, "flood", -2, kPercentCap);
        game.AddCapped(prov, "land", -2, kPercentCap);
        game.AddCapped(prov, "wealth", -2, kPercentCap);
        game.AddCapped(prov, "support", -1, kPercentCap);
    }
}

// Treaties run out a year at a time; an expired one is struck from the list.
void CountDownTreaties(TGame& game) {
    TArr treaties = TGame::GetArr(game.Root(), "treaties");
    for (int i = TGame::ArrLen(treaties) - 1; i >= 0; --i) {
        TObj treaty = TGame::ArrObj(treaties, i);
        long long years = static_cast<long long>(TGame::GetInt(treaty, "years", 0)) - 1;
        game.SetInt(treaty, "years", years);
        if (treaty != nullptr && years == 0) game.ArrErase(treaties, i);
    }
}

// The January reckoning. Returns false when the invasion has ended the campaign.
bool January(TGame& game) {
    if (CheckInvasion(game)) return false;
    AgeAndDrift(game);
    TaxAndDecline(game);
    CountDownTreaties(game);
    GrantRoyalWrits(game);
    return true;
}

// A province that nobody of its owner can govern falls back to unclaimed.
void RefreshGovernors(TGame& game) {
    for (int p = 1; p <= kProvinceCount; ++p) {
        TObj prov = game.Province(p);
        if (TGame::GetInt(prov, "owner", 0) <= 0) continue;
        ChooseGovernor(game, p);
        if (TGame::GetInt(prov, "governor", 0) != 0) continue;
        game.SetInt(prov, "owner", 0);
        game.SetInt(prov, "governor", 0);
    }
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
    // An ended campaign stays as it ended: no further month passes.
    if (root == nullptr || game.IsEnded()) return;
    game.AddLog("--- Month-end ledger ---");
    SettleProvinces(game);
    FeedExileParties(game);
    SettleCharacters(game);
    AdvanceCalendar(game);
    int month = TGame::GetInt(root, "month", 0);
    if (month == 3) Thaw(game);
    if (month == 1 && !January(game)) return;
    RefreshGovernors(game);
    RefreshFellowships(game);
    game.AddLog("Month " + std::to_string(month) + ", River Calendar " + std::to_string(TGame::GetInt(root, "year", 0)));
}

}  // namespace reedmark
