// Prisoners: the captor's four choices (recruit, hold, release, execute), the garrison
// overflow after a battle and the decisions of computer captors.
#include "model/prisoners.hpp"

#include <algorithm>
#include <string>

#include "model/game.hpp"
#include "model/random.hpp"
#include "model/writ.hpp"

namespace reedmark {

namespace {

std::string Hold(TGame& game, TObj ch) {
    game.SetBool(ch, "resolved", true);
    return TGame::GetStr(ch, "name") + " remains in custody.";
}

std::string Execute(TGame& game, TObj ch, int f, int held, bool victory) {
    game.SetBool(ch, "alive", false);
    game.SetBool(ch, "captured", false);
    game.SetInt(ch, "soldiers", 0);
    game.SetStr(ch, "role", "dead");
    if (victory) return DeclareVictory(game, f);  // executing under the writ costs nothing
    TObj fac = game.Faction(f);
    game.SetInt(fac, "popularity", std::max(0, TGame::GetInt(fac, "popularity", 0) - 10));
    TObj prov = game.Province(held);
    game.SetInt(prov, "support", std::max(0, TGame::GetInt(prov, "support", 0) - 5));
    return TGame::GetStr(ch, "name") + " is executed. Popularity -10, Support -5.";
}

std::string Release(TGame& game, TObj ch) {
    game.SetBool(ch, "captured", false);
    game.SetBool(ch, "overflow", false);
    game.SetBool(ch, "resolved", false);
    game.SetInt(ch, "faction", 0);
    game.SetInt(ch, "superior", 0);
    game.SetStr(ch, "role", "free");
    game.SetInt(ch, "body", std::max(1, TGame::GetInt(ch, "body", 0)));
    return TGame::GetStr(ch, "name") + " is released.";
}

// Popular, wise and compatible captors win captives over; upright captives resist.
int RecruitChance(const TGame& game, int c, int f) {
    long long chance = TGame::GetInt(game.Faction(f), "popularity", 0) / 10 + game.Compatibility(f, c) / 2 +
                       TGame::GetInt(game.Character(f), "wisdom", 0) / 5 -
                       TGame::GetInt(game.Character(c), "integrity", 0) / 4 - 5;
    return Clamp(chance, 5, 95);
}

std::string Recruit(TGame& game, int c, TObj ch, int f) {
    if (Random(game, 100) >= RecruitChance(game, c, f)) {
        game.SetBool(ch, "resolved", true);
        return TGame::GetStr(ch, "name") + " refuses; held in custody.";
    }
    game.SetBool(ch, "captured", false);
    game.SetInt(ch, "faction", f);
    game.SetInt(ch, "superior", f);
    game.SetStr(ch, "role", "follower");
    game.SetInt(ch, "body", std::max(1, TGame::GetInt(ch, "body", 0)));
    game.SetInt(ch, "loyalty", Clamp(game.Compatibility(f, c) / 3 + 50, 50, 90));
    return TGame::GetStr(ch, "name") + " joins the fellowship.";
}

bool GarrisonFull(const TGame& game, int p) {
    long long capacity = static_cast<long long>(kCharactersPerCastle) * TGame::GetInt(game.Province(p), "castles", 0);
    return game.ProvinceHeadcount(p) > capacity;
}

}  // namespace

std::string ResolvePrisoner(TGame& game, int c, int f, const std::string& action) {
    TObj ch = game.Character(c);
    if (ch == nullptr || !TGame::GetBool(ch, "captured") || TGame::GetInt(ch, "captor", 0) != f)
        return "This character is not your prisoner.";
    int held = TGame::GetInt(ch, "province", 0);
    bool victory = c == kChancellor && CanWinByExecution(game, f);
    if (TGame::GetBool(ch, "overflow") && (action == "hold" || action == "recruit"))
        return "The garrison is full. This captive must be released or executed.";
    std::string message;
    if (action == "hold") {
        message = Hold(game, ch);
    } else if (action == "execute") {
        message = Execute(game, ch, f, held, victory);
    } else if (action == "release") {
        message = Release(game, ch);
    } else if (action == "recruit") {
        if (GarrisonFull(game, held)) return "No room in this province. Release a captive.";
        message = Recruit(game, c, ch, f);
    } else {
        return "Choose recruit, hold, release or execute.";
    }
    game.AddLog(message);
    return message;
}

void MarkGarrisonOverflow(TGame& game) {
    for (int p = 1; p <= kProvinceCount; ++p) {
        bool full = GarrisonFull(game, p);
        for (int c = kCharacterCount; c >= 1 && full; --c) {
            TObj ch = game.Character(c);
            if (!TGame::GetBool(ch, "captured") || TGame::GetInt(ch, "province", 0) != p) continue;
            game.SetBool(ch, "overflow", true);
            game.AddLog(TGame::GetStr(ch, "name") + " awaits immediate release or execution outside the full garrison.");
            full = GarrisonFull(game, p);
        }
    }
}

void ResolveComputerCaptives(TGame& game) {
    for (int c = 1; c <= kCharacterCount; ++c) {
        TObj ch = game.Character(c);
        if (!TGame::GetBool(ch, "captured")) continue;
        int captor = TGame::GetInt(ch, "captor", 0);
        if (game.IsHumanFaction(captor)) continue;
        bool execute = c == kChancellor && TGame::GetBool(game.Faction(captor), "writ");
        ResolvePrisoner(game, c, captor, execute ? "execute" : "release");
    }
}

}  // namespace reedmark
