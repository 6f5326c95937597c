// PlanOrder, RunComputerTurns and the computer tick.
#include "model/ai.hpp"

#include <algorithm>
#include <string>

#include "model/battle.hpp"
#include "model/game.hpp"
#include "model/month_end.hpp"
#include "model/queue.hpp"
#include "model/random.hpp"

namespace reedmark {

namespace {

constexpr int kFirstResident = 12;  // 1..11 lead the scenario's fellowships
constexpr int kWarSoldiers = 100;
constexpr int kWarFood = 80;
constexpr int kSupportWanted = 60;
constexpr int kSkillWanted = 65;
constexpr int kHireSoldiersBelow = 80;
constexpr int kHireBatch = 10;

// The planner's view of one turn: where, for whom, and who acts.
struct TPlan {
    TGame& game;
    int p = 0;
    int f = 0;
    int actor = 0;

    TObj Prov() const { return game.Province(p); }
    int Stat(const char* key) const { return TGame::GetInt(Prov(), key, 0); }
    int Governor() const { return Stat("governor"); }
    bool Develops() const { return TGame::GetStr(Prov(), "policy") == "Develop"; }
    bool Try(TOrder order, int target = 0, int quantity = 0) {
        return TryOrder(game, order, actor, target, quantity);
    }
    std::vector<int> Neighbours() const {
        std::vector<int> out;
        TArr nb = TGame::GetArr(Prov(), "neighbors");
        for (int i = 0; i < TGame::ArrLen(nb); ++i) out.push_back(TGame::ArrInt(nb, i, 0));
        return out;
    }
    int OwnerOf(int q) const { return TGame::GetInt(game.Province(q), "owner", 0); }
};

void PlanExileTurn(TPlan& plan) {
    if (plan.Try(oSettle)) return;
    for (int n : plan.Neighbours()) {
        if (plan.OwnerOf(n) == 0 && plan.Try(oTravel, n)) return;
    }
    if (plan.Try(oRest)) return;
    // Resting is always allowed to a free leader; should even that be refused, the
    // turn ends anyway so the campaign can never stall on it.
    AdvanceQueue(plan.game);
}

bool TryRecruitment(TPlan& plan) {
    TGame& game = plan.game;
    // In 64 bits: a castle count read from a file may be as large as the getters allow.
    long long room = std::min(static_cast<long long>(kCharactersPerCastle) * plan.Stat("castles"), 6LL);
    if (game.ProvinceHeadcount(plan.p) >= room) return false;
    for (int c = kFirstResident; c <= kCharacterCount; ++c) {
        TObj ch = game.Character(c);
        if (TGame::GetInt(ch, "faction", 0) == 0 && TGame::GetInt(ch, "province", 0) == plan.p &&
            plan.Try(oRecruit, c))
            return true;
    }
    return false;
}

bool TryExpansion(TPlan& plan) {
    TGame& game = plan.game;
    for (int n : plan.Neighbours()) {
        if (plan.OwnerOf(n) != 0 || game.ProvinceHeadcount(plan.p) <= 1) continue;
        for (int c = 1; c <= kCharacterCount; ++c) {
            if (c == plan.f || !game.IsLocalMember(c, plan.p, plan.f)) continue;
            plan.actor = c;
            if (plan.Try(oMove, n)) return true;
        }
        plan.actor = plan.Governor();
    }
    return false;
}

bool TryHiring(TPlan& plan) {
    TGame& game = plan.game;
    if (game.ProvinceSoldiers(plan.p) >= 60LL * game.ProvinceHeadcount(plan.p) || plan.Stat("gold") <= 100)
        return false;
    for (int c = 1; c <= kCharacterCount; ++c) {
        int soldiers = TGame::GetInt(game.Character(c), "soldiers", 0);
        if (!game.IsLocalMember(c, plan.p, plan.f) || soldiers >= kHireSoldiersBelow) continue;
        plan.actor = c;
        if (plan.Try(oHire, 0, std::min(kHireBatch, 100 - soldiers))) return true;
    }
    plan.actor = plan.Governor();
    return false;
}

bool TryWar(TPlan& plan) {
    TGame& game = plan.game;
    int own = game.ProvinceSoldiers(plan.p);
    if (plan.Develops() || own <= kWarSoldiers || plan.Stat("food") <= kWarFood) return false;
    for (int n : plan.Neighbours()) {
        int owner = plan.OwnerOf(n);
        if (owner == 0 || owner == plan.f) continue;
        if (own > (3LL * game.ProvinceSoldiers(n)) / 2 && plan.Try(oWar, n)) return true;
    }
    return false;
}

void PlanProvinceTurn(TPlan& plan) {
    TGame& game = plan.game;
    if (plan.Stat("food") < std::max(30, game.ProvinceSoldiers(plan.p) / 2) && plan.Try(oHunt)) return;
    if (plan.Stat("gold") < std::max(25, 3 * game.ProvinceHeadcount(plan.p)) && plan.Try(oSolicit)) return;
    if (plan.Stat("support") < kSupportWanted && plan.Try(oCultivate)) return;
    if (TryRecruitment(plan)) return;
    if (!plan.Develops() && TryExpansion(plan)) return;
    if (TryHiring(plan)) return;
    if (TryWar(plan)) return;
    if (plan.Stat("skill") < kSkillWanted && plan.Try(oTrain)) return;
    if (plan.Stat("beast") > 0 && plan.Try(oBeasts)) return;
    static constexpr TOrder developments[] = {oCultivate, oBuild, oFlood};
    if (plan.Try(developments[Random(game, 3)])) return;
    if (plan.Try(oRest)) return;
    AdvanceQueue(game);  // never leave the entry hanging (see PlanExileTurn)
}

}  // namespace

bool TryOrder(TGame& game, TOrder order, int actor, int target, int quantity) {
    TOrderRecord record;
    record.order = order;
    record.actor = actor;
    record.target = target;
    record.quantity = quantity;
    record.option = 0;
    if (!CheckOrder(game, record).empty()) return false;
    ApplyOrder(game, record);
    return true;
}

void PlanOrder(TGame& game) {
    TPlan plan{game};
    plan.p = CurrentProvince(game);
    plan.f = CurrentFaction(game);
    if (plan.p < 1 || !TGame::GetBool(game.Faction(plan.f), "active")) {
        AdvanceQueue(game);
        return;
    }
    bool exile = IsExileTurn(game);
    plan.actor = exile ? plan.f : plan.Governor();
    if (!game.IsLocalMember(plan.actor, plan.p, plan.f)) {
        ChooseGovernor(game, plan.p);
        plan.actor = plan.Governor();
    }
    if (plan.actor == 0) {
        game.SetInt(plan.Prov(), "owner", 0);
        AdvanceQueue(game);
        return;
    }
    if (exile) PlanExileTurn(plan);
    else PlanProvinceTurn(plan);
}

bool HumanDecidesCurrentEntry(const TGame& game) {
    int f = CurrentFaction(game);
    if (!game.IsHumanFaction(f)) return false;
    if (IsExileTurn(game)) return true;
    int governor = TGame::GetInt(game.Province(CurrentProvince(game)), "governor", 0);
    return governor == f || TGame::GetStr(game.Character(governor), "role") == "sworn companion";
}

void RunComputerTurns(TGame& game, int steps) {
    for (int i = 1; i <= steps; ++i) {
        if (!game.HasCampaign() || game.IsEnded() || HasBattle(game) || TGame::GetBool(game.Root(), "town")) return;
        if (CurrentTurnChangedHands(game)) {
            AdvanceQueue(game);
            continue;
        }
        if (HumanDecidesCurrentEntry(game)) return;
        PlanOrder(game);
    }
}

void ComputerTick(TGame& game, int steps) {
    if (!game.HasCampaign() || game.IsEnded()) return;
    if (!HasBattle(game)) RunComputerTurns(game, steps);
    if (HasBattle(game)) BattleTick(game);
}

}  // namespace reedmark
