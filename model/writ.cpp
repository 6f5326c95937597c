// The January reckoning (tax, writ grants), the invasion and victory.
#include "model/writ.hpp"

#include <string>

#include "model/game.hpp"

namespace reedmark {

namespace {

constexpr int kStoreCap = 9999;

// a x b x c, saturated so that values from a hostile file cannot overflow; exact for
// every value the rules keep in range.
long long Product3(long long a, long long b, long long c) {
    long long ab = 0;
    long long abc = 0;
    if (__builtin_mul_overflow(a, b, &ab) || __builtin_mul_overflow(ab, c, &abc)) {
        bool negative = ((a < 0) ^ (b < 0) ^ (c < 0)) != 0;
        return negative ? -static_cast<long long>(kIntLimit) * kIntLimit : static_cast<long long>(kIntLimit) * kIntLimit;
    }
    return abc;
}

long long Saturated(long long v) { return Clamp(v, -kIntLimit, kIntLimit); }

}  // namespace

bool CheckInvasion(TGame& game) {
    TObj root = game.Root();
    if (TGame::GetInt(root, "year", 0) < game.RuleInt("invasionYear", 327)) return false;
    const std::string result = "The northern invasion has arrived. The court is lost.";
    game.SetBool(root, "ended", true);
    game.SetStr(root, "result", result);
    game.AddLog(result);
    return true;
}

void CollectAnnualTax(TGame& game, int p) {
    TObj prov = game.Province(p);
    int support = TGame::GetInt(prov, "support", 0);
    if (support < game.RuleInt("taxSupport", 40)) return;
    TObj governor = game.Character(TGame::GetInt(prov, "governor", 0));
    long long leniency = 150LL - TGame::GetInt(governor, "mercy", 0);
    long long goldTax = Saturated(Product3(TGame::GetInt(prov, "wealth", 0), support, leniency) / 1000);
    game.AddCapped(prov, "gold", goldTax, kStoreCap);
    long long foodTax = Saturated(Product3(TGame::GetInt(prov, "land", 0), support, leniency) / 500);
    game.AddCapped(prov, "food", foodTax, kStoreCap);
    if (game.IsHumanFaction(TGame::GetInt(prov, "owner", 0))) {
        game.AddLog("Annual tax " + TGame::GetStr(prov, "name") + ": " + std::to_string(goldTax) + " Gold / " +
                    std::to_string(foodTax) + " Food.");
    }
}

void GrantRoyalWrits(TGame& game) {
    int threshold = game.RuleInt("writPopularity", 250);
    int count = game.FactionCount();
    for (int f = 1; f <= count; ++f) {
        if (f == kChancellor) continue;
        TObj fac = game.Faction(f);
        if (!TGame::GetBool(fac, "active") || TGame::GetInt(fac, "home", 0) <= 0) continue;
        if (TGame::GetInt(fac, "popularity", 0) < threshold || TGame::GetBool(fac, "writ")) continue;
        game.SetBool(fac, "writ", true);
        game.AddLog("The sovereign grants " + TGame::GetStr(game.Character(f), "name") + " a Royal Writ!");
    }
}

bool CanWinByExecution(const TGame& game, int f) {
    TObj fac = game.Faction(f);
    TObj leader = game.Character(f);
    return TGame::GetBool(fac, "writ") && TGame::GetInt(fac, "home", 0) > 0 && TGame::GetBool(leader, "alive") &&
           !TGame::GetBool(leader, "captured");
}

std::string DeclareVictory(TGame& game, int f) {
    TObj root = game.Root();
    std::string result =
        TGame::GetStr(game.Character(f), "name") + " has defeated Gao Kiu under the Royal Writ. The court is restored.";
    game.SetBool(root, "ended", true);
    game.SetInt(root, "winner", f);
    game.SetStr(root, "result", result);
    return result;
}

}  // namespace reedmark
