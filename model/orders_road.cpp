// ApplyOrder's frame and the effects of the orders that move fellowships, manage
// people and develop a province.
#include <algorithm>

#include "model/battle.hpp"
#include "model/game.hpp"
#include "model/month_end.hpp"
#include "model/orders.hpp"
#include "model/orders_internal.hpp"
#include "model/queue.hpp"
#include "model/random.hpp"

namespace reedmark {

using namespace orders;

namespace {

// Body := min(Body + 10, bodyMax) for one character.
void Refresh(TGame& game, TObj ch) {
    game.SetInt(ch, "body",
                std::min(static_cast<long long>(Get(ch, "body")) + 10, static_cast<long long>(Get(ch, "bodyMax"))));
}

// [SECTION] Road: rest, travel, settlement

void Rest(TOrderRun& run) {
    TGame& game = run.game;
    if (TGame::GetBool(game.Root(), "town")) {
        game.SetBool(game.Root(), "town", false);
        run.msg = "Returned to the lair.";
        return;
    }
    for (int c = 1; c <= kCharacterCount; ++c)
        if (game.IsLocalMember(c, run.p, run.f)) Refresh(game, game.Character(c));
}

void Travel(TOrderRun& run) {
    TGame& game = run.game;
    int target = run.rec.target;
    run.body = LightBody(game);
    for (int c = 1; c <= kCharacterCount; ++c)
        if (game.IsLocalMember(c, run.p, run.f)) game.SetInt(game.Character(c), "province", target);
    game.SetInt(game.ExileParty(run.f), "province", target);
    run.msg = "The party arrives in " + TGame::GetStr(game.Province(target), "name") + ".";
}

void Settle(TOrderRun& run) {
    TGame& game = run.game;
    if (Get(run.P, "owner") > 0) {
        // An occupied province below Support 40 rises against its owner instead.
        StartBattle(game, run.p, run.p, run.f);
        run.msg = "An uprising begins.";
        game.AddLog(run.msg);
        run.early = true;
        return;
    }
    game.SetInt(run.P, "owner", run.f);
    game.SetInt(run.P, "governor", run.f);
    game.SetInt(game.Faction(run.f), "home", run.p);
    TObj party = game.ExileParty(run.f);
    game.AddCapped(run.P, "food", static_cast<long long>(Get(party, "food")) + 30, kFoodCap);
    game.AddCapped(run.P, "gold", Get(party, "gold"), kGoldCap);
    game.SetInt(party, "food", 0);
    game.SetInt(party, "gold", 0);
    for (int c = 1; c <= kCharacterCount; ++c)
        if (game.IsLocalMember(c, run.p, run.f))
            game.SetStr(game.Character(c), "role", c == run.f ? "leader" : "follower");
    run.msg = "Your fellowship settles " + TGame::GetStr(run.P, "name") + ".";
}

// [SECTION] People: recruitment, rewards, oath, dismissal

void Recruit(TOrderRun& run) {
    TGame& game = run.game;
    TObj root = game.Root();
    int target = run.rec.target;
    TObj T = game.Character(target);
    bool town = TGame::GetBool(root, "town");
    run.body = LightBody(game);
    if (town) {
        TArr attempts = TGame::GetArr(root, "townAttempts");
        if (attempts == nullptr) attempts = game.NewArr(root, "townAttempts");
        game.ArrAppendInt(attempts, target);
    }
    bool success = Random(game, 100) < SuccessChance(game, run.rec);
    std::string name = TGame::GetStr(T, "name");
    if (success) {
        game.SetInt(T, "faction", run.f);
        game.SetInt(T, "superior", run.f);
        game.SetStr(T, "role", IsExileTurn(game) ? "exile" : "follower");
        game.SetInt(T, "loyalty", Clamp(50 + game.Compatibility(run.rec.actor, target) / 3, 50, 90));
        run.msg = name + " joins your fellowship.";
        Xp(run, 0, 0, 20);
    } else {
        run.msg = name + " declines your invitation.";
        AddPopularity(game, run.f, -1);
        Xp(run, 0, 0, 8);
    }
    run.free = town;  // recruiting in town does not end the turn
}

void Reward(TOrderRun& run) {
    TGame& game = run.game;
    TObj T = game.Character(run.rec.target);
    game.AddCapped(run.P, "gold", -static_cast<long long>(run.rec.quantity), kGoldCap);
    long long loyalty = Get(T, "loyalty") + RewardLoyalty(game, run.f, run.rec.target, run.rec.quantity);
    game.SetInt(T, "loyalty", std::min(100LL, loyalty));
}

void Feast(TOrderRun& run) {
    TGame& game = run.game;
    game.AddCapped(run.P, "gold", -FeastCost(game, run.p), kGoldCap);
    for (int c = 1; c <= kCharacterCount; ++c) {
        if (!game.IsLocalMember(c, run.p, run.f)) continue;
        TObj ch = game.Character(c);
        Refresh(game, ch);
        TObj governor = game.Character(Get(run.P, "governor"));
        long long gain = std::max(1, 8 - Get(governor, "integrity") / 20);
        game.SetInt(ch, "loyalty", std::min(100LL, Get(ch, "loyalty") + gain));
    }
}

void Oath(TOrderRun& run) {
    TGame& game = run.game;
    TObj T = game.Character(run.rec.target);
    run.body = LightBody(game);
    if (Random(game, 100) < SuccessChance(game, run.rec)) {
        game.SetStr(T, "role", "sworn companion");
        game.SetInt(T, "loyalty", 100);
        run.msg = "Before river and sky, " + TGame::GetStr(T, "name") + " swears the oath.";
    } else {
        run.msg = "The oath is declined.";
    }
    Xp(run, 0, 0, 10);
}

void Dismiss(TOrderRun& run) {
    TGame& game = run.game;
    TObj T = game.Character(run.rec.target);
    game.SetInt(T, "faction", 0);
    game.SetInt(T, "superior", 0);
    game.SetStr(T, "role", "free");
    AddPopularity(game, run.f, -5);
    ChooseGovernor(game, run.p);
    ReleaseIfAbandoned(game, run.p);
}

// [SECTION] Development: the province's land, stores and troops

void Develop(TOrderRun& run, const char* key) {
    TGame& game = run.game;
    run.body = StandardBody(game);
    long long gain = DevelopGain(game, run.rec.actor);
    game.AddCapped(run.P, key, gain, kPercentCap);
    game.AddCapped(run.P, "support", DevelopSupport(game, run.p), kPercentCap);
    Xp(run, 10, 0, 0);
    run.msg = std::string(key) + " improved by " + Num(gain) + ".";
}

void Hunt(TOrderRun& run) {
    TGame& game = run.game;
    run.body = HeavyBody(game);
    int yield = HuntYield(game, run.rec.actor, run.rec.option);
    bool fur = run.rec.option == 1;
    if (fur)
        game.AddCapped(run.P, "fur", yield, kFurCap);
    else
        game.AddCapped(run.P, "food", yield, kFoodCap);
    Xp(run, 0, 15, 0);
    run.msg = "The hunt brings " + Num(yield) + (fur ? " fur." : " food.");
}

void Solicit(TOrderRun& run) {
    TGame& game = run.game;
    run.body = StandardBody(game);
    long long n = SolicitYield(game, run.rec.actor, run.f);
    if (run.rec.option == 1)
        game.AddCapped(run.P, "metal", n / 2, kMetalCap);
    else
        game.AddCapped(run.P, "gold", n, kGoldCap);
    game.AddCapped(run.P, "support", -5, kPercentCap);
    Xp(run, 0, 5, 13);
}

void Train(TOrderRun& run) {
    TGame& game = run.game;
    run.body = StandardBody(game);
    game.AddCapped(run.P, "skill", TrainGain(game, run.rec.actor, run.f), kPercentCap);
    Xp(run, 0, 11, 0);
}

void Hire(TOrderRun& run) {
    TGame& game = run.game;
    long long s = game.ProvinceSoldiers(run.p);
    long long q = run.rec.quantity;
    game.AddCapped(run.P, "gold", -(q * ((static_cast<long long>(Get(run.P, "rate")) + 9) / 10)), kGoldCap);
    game.SetInt(run.A, "soldiers", Get(run.A, "soldiers") + q);
    // New recruits dilute the shared training and equipment. The troops after hiring
    // are at least the hired ones; soldiers below zero (a damaged world) cannot make
    // the divisor zero.
    long long after = std::max(1LL, q + s);
    game.SetInt(run.P, "skill", Get(run.P, "skill") * s / after);
    game.SetInt(run.P, "arms", Get(run.P, "arms") * s / after);
}

void Give(TOrderRun& run) {
    TGame& game = run.game;
    long long q = run.rec.quantity;
    game.AddCapped(run.P, "food", -q, kFoodCap);
    game.AddCapped(run.P, "support", GiveSupport(game, run.p, q), kPercentCap);
    AddPopularity(game, run.f, std::max(1LL, q / 50));
}

void MakeShip(TOrderRun& run) {
    TGame& game = run.game;
    run.body = StandardBody(game);
    game.AddCapped(run.P, "gold", -20, kGoldCap);
    game.SetBool(run.A, "ship", true);
    Xp(run, 0, 15, 10);
}

void MakeWeapons(TOrderRun& run) {
    TGame& game = run.game;
    long long q = run.rec.quantity;
    run.body = StandardBody(game);
    game.AddCapped(run.P, "metal", -q, kMetalCap);
    game.AddCapped(run.P, "arms", WeaponsGain(game, run.rec.actor, q), kPercentCap);
    Xp(run, 0, 10, 10);
}

// Moves the actor with his soldiers to a neighbouring friendly or unclaimed province.
void Move(TOrderRun& run) {
    TGame& game = run.game;
    int target = run.rec.target;
    TObj D = game.Province(target);
    run.body = LightBody(game);
    long long sD = game.ProvinceSoldiers(target);
    long long sA = Get(run.A, "soldiers");
    // The arriving troops bring their training and equipment into the destination's average.
    long long weight = std::max(1LL, sD + sA);
    game.SetInt(D, "skill", (Get(D, "skill") * sD + Get(run.P, "skill") * sA) / weight);
    game.SetInt(D, "arms", (Get(D, "arms") * sD + Get(run.P, "arms") * sA) / weight);
    game.SetInt(run.A, "province", target);
    if (Get(D, "owner") == 0) game.SetInt(D, "owner", run.f);
    if (run.rec.actor == run.f) game.SetInt(game.Faction(run.f), "home", target);
    ChooseGovernor(game, run.p);
    ChooseGovernor(game, target);
    ReleaseIfAbandoned(game, run.p);
    Xp(run, 0, 0, 7);
}

// [SECTION] Free management actions

void Manage(TOrderRun& run) {
    TGame& game = run.game;
    TObj T = game.Character(run.rec.target);
    run.free = true;
    switch (run.rec.order) {
        case oRedistribute:
            game.SetInt(run.A, "soldiers", static_cast<long long>(Get(run.A, "soldiers")) - run.rec.quantity);
            game.SetInt(T, "soldiers", static_cast<long long>(Get(T, "soldiers")) + run.rec.quantity);
            break;
        case oAssignShip:
            game.SetBool(run.A, "ship", false);
            game.SetBool(T, "ship", true);
            break;
        case oGovernor: game.SetInt(run.P, "governor", run.rec.target); break;
        default: {  // oPolicy
            static const char* const policies[] = {"Balanced", "Develop", "Expand"};
            game.SetStr(run.P, "policy", policies[std::clamp(run.rec.quantity, 0, 2)]);
            break;
        }
    }
}

}  // namespace

namespace orders {

void AddPopularity(TGame& game, int f, long long d) {
    TObj fac = game.Faction(f);
    game.SetInt(fac, "popularity", Clamp(Get(fac, "popularity") + d, 0, kPopularityCap));
}

void ReleaseIfAbandoned(TGame& game, int p) {
    TObj P = game.Province(p);
    // A province keeps its owner only while somebody of the owner serves (and governs)
    // there; prisoners left behind do not hold it.
    if (game.ProvinceHeadcount(p) == 0 || Get(P, "governor") == 0) {
        game.SetInt(P, "owner", 0);
        game.SetInt(P, "governor", 0);
    }
}

bool ApplyRoadOrder(TOrderRun& run) {
    switch (run.rec.order) {
        case oRest: Rest(run); return true;
        case oTravel: Travel(run); return true;
        case oSettle: Settle(run); return true;
        case oRecruit: Recruit(run); return true;
        case oCultivate: Develop(run, "land"); return true;
        case oFlood: Develop(run, "flood"); return true;
        case oBuild: Develop(run, "wealth"); return true;
        case oHunt: Hunt(run); return true;
        case oSolicit: Solicit(run); return true;
        case oTrain: Train(run); return true;
        case oHire: Hire(run); return true;
        case oGive: Give(run); return true;
        case oReward: Reward(run); return true;
        case oFeast: Feast(run); return true;
        case oOath: Oath(run); return true;
        case oDismiss: Dismiss(run); return true;
        case oShip: MakeShip(run); return true;
        case oWeapons: MakeWeapons(run); return true;
        case oMove: Move(run); return true;
        case oRedistribute:
        case oAssignShip:
        case oGovernor:
        case oPolicy: Manage(run); return true;
        default: return false;
    }
}

}  // namespace orders

// [SECTION] ApplyOrder

// Human players (order dialog, town screen) and computer players (the planner) meet
// here: every order of the campaign is checked and carried out by this one function.
std::string ApplyOrder(TGame& game, const TOrderRecord& record) {
    std::string refusal = CheckOrder(game, record);
    if (!refusal.empty()) return refusal;

    TOrderRun run(game, record);
    run.p = CurrentProvince(game);
    run.f = CurrentFaction(game);
    run.P = game.Province(run.p);
    run.A = game.Character(record.actor);
    run.msg = OrderName(record.order) + " completed.";
    if (!ApplyRoadOrder(run)) ApplyTradeOrder(run);
    if (run.early) return run.msg;

    if (run.body > 0) game.SetInt(run.A, "body", std::max(0LL, Get(run.A, "body") - run.body));
    // Troops without soldiers keep no training or equipment.
    if (!IsExileTurn(game) && game.ProvinceSoldiers(run.p) == 0) {
        game.SetInt(run.P, "skill", 0);
        game.SetInt(run.P, "arms", 0);
    }
    game.AddLog(run.msg);
    if (!run.free) AdvanceQueue(game);
    return run.msg;
}

}  // namespace reedmark
