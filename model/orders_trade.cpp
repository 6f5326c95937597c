// The effects of the orders that reach beyond the fellowship's own lair: provisions,
// treaties and invitations, the town visit and its market, beasts, war,
// reconnaissance, the fortune-teller and rumours, abandoning the realm and retiring.
#include <algorithm>

#include "model/battle.hpp"
#include "model/game.hpp"
#include "model/month_end.hpp"
#include "model/orders.hpp"
#include "model/orders_internal.hpp"
#include "model/random.hpp"

namespace reedmark::orders {

namespace {

constexpr int kMaxExiles = 9;  // companions who follow the leader onto the road
constexpr int kMaxLeads = 7;   // names the rumour-monger gives
constexpr int kLeadCompatibility = 70;

// [SECTION] Provisions and diplomacy

void Convoy(TOrderRun& run) {
    TGame& game = run.game;
    TObj D = game.Province(run.rec.target);
    long long q = run.rec.quantity;
    run.body = LightBody(game);
    game.AddCapped(run.P, "food", -q, kFoodCap);
    if (Random(game, 100) < ConvoyRisk(game, run.rec.actor)) {
        q -= (q + 9) / 10;
        run.msg = "The convoy lost a tenth of its food.";
    }
    game.SetInt(D, "food", Get(D, "food") + q);
    Xp(run, 0, 0, 15);
}

void SignTreaty(TOrderRun& run, int g) {
    TGame& game = run.game;
    TObj root = game.Root();
    TArr treaties = TGame::GetArr(root, "treaties");
    if (treaties == nullptr) treaties = game.NewArr(root, "treaties");
    // A renewed treaty replaces every older entry of the same pair.
    for (int i = TGame::ArrLen(treaties) - 1; i >= 0; --i) {
        TObj t = TGame::ArrObj(treaties, i);
        int a = Get(t, "a");
        int b = Get(t, "b");
        if ((a == run.f && b == g) || (a == g && b == run.f)) game.ArrErase(treaties, i);
    }
    TObj treaty = game.ArrAppendObj(treaties);
    game.SetInt(treaty, "a", run.f);
    game.SetInt(treaty, "b", g);
    game.SetInt(treaty, "years", 3);
}

// The whole fellowship g joins: its people, and its provinces.
void Unite(TOrderRun& run, int g) {
    TGame& game = run.game;
    long long count = 0;
    for (int c = 1; c <= kCharacterCount; ++c) {
        TObj ch = game.Character(c);
        if (Get(ch, "faction") != g) continue;
        ++count;
        game.SetInt(ch, "faction", run.f);
        game.SetInt(ch, "superior", run.f);
        if (TGame::GetStr(ch, "role") == "exile") game.SetInt(ch, "province", run.p);
        game.SetStr(ch, "role", "follower");
    }
    // The travel allowance is paid only when they come.
    game.AddCapped(run.P, "gold", -10 * count, kGoldCap);
    for (int q = 1; q <= kProvinceCount; ++q) {
        TObj prov = game.Province(q);
        if (Get(prov, "owner") != g) continue;
        game.SetInt(prov, "owner", run.f);
        ChooseGovernor(game, q);
    }
    game.SetBool(game.Faction(g), "active", false);
}

void Diplomacy(TOrderRun& run) {
    TGame& game = run.game;
    int g = run.rec.target;
    run.body = MissionBody(game);
    long long gift = GiftCost(game, run.rec.actor, run.f);
    bool success = Random(game, 100) < SuccessChance(game, run.rec);
    game.AddCapped(run.P, "gold", -gift, kGoldCap);  // the gift is spent whatever the answer
    if (run.rec.order == oTreaty) {
        if (success) {
            SignTreaty(run, g);
            Xp(run, 0, 0, 45);
            run.msg = "A three-year treaty is signed.";
        } else {
            Xp(run, 0, 0, 18);
            run.msg = "The treaty is refused. The gift is spent.";
        }
        return;
    }
    if (success) {
        Unite(run, g);
        Xp(run, 0, 0, 60);
        run.msg = "The fellowships unite.";
    } else {
        Xp(run, 0, 0, 23);
        run.msg = "The invitation is declined.";
    }
}

// [SECTION] Town visit and market

void Town(TOrderRun& run) {
    TGame& game = run.game;
    TObj root = game.Root();
    run.body = LightBody(game);
    run.free = true;
    game.NewArr(root, "townAttempts");
    game.SetBool(root, "town", true);
    game.SetInt(root, "townActor", run.rec.actor);
    run.msg = "The town welcomes you. Purchases remain in this visit.";
}

void Market(TOrderRun& run) {
    TGame& game = run.game;
    TOrder order = run.rec.order;
    long long q = run.rec.quantity;
    long long g = TotalPriceGold(game, order, run.p, run.rec.quantity);
    long long rate = Get(run.P, "rate");
    run.free = true;
    switch (order) {
        case oBuyFood:
            game.AddCapped(run.P, "gold", -g, kGoldCap);
            game.AddCapped(run.P, "food", q, kFoodCap);
            run.msg = "Bought " + Num(q) + " Food for " + Num(g) + " Gold.";
            break;
        case oSellFood:
            game.AddCapped(run.P, "food", -q, kFoodCap);
            game.AddCapped(run.P, "gold", g, kGoldCap);
            run.msg = "Sold " + Num(q) + " Food for " + Num(g) + " Gold.";
            break;
        case oBuyFur:
            game.AddCapped(run.P, "gold", -g, kGoldCap);
            game.AddCapped(run.P, "fur", q, kFurCap);
            run.msg = "Bought " + Num(q) + " Fur for " + Num(g) + " Gold.";
            break;
        case oSellFur:
            game.AddCapped(run.P, "fur", -q, kFurCap);
            game.AddCapped(run.P, "gold", g, kGoldCap);
            run.msg = "Sold " + Num(q) + " Fur for " + Num(g) + " Gold.";
            break;
        case oBuyArms:
            game.AddCapped(run.P, "gold", -(q * ((rate + 4) / 5)), kGoldCap);
            game.AddCapped(run.P, "arms", q, kPercentCap);
            break;
        default:  // oBuyShip
            game.AddCapped(run.P, "gold", -((rate + 1) / 2), kGoldCap);
            game.SetBool(run.A, "ship", true);
            break;
    }
}

void Divination(TOrderRun& run) {
    TGame& game = run.game;
    int actor = run.rec.actor;
    int target = run.rec.target;
    run.free = true;
    game.AddCapped(run.P, "gold", -1, kGoldCap);
    int chance = SuccessChance(game, TOrderRecord{oRecruit, actor, target, 0, 0});
    run.msg = "Recruitment chance " + Num(chance) + "%. Wisdom " + Num(Get(run.A, "wisdom")) + ", compatibility " +
              Num(game.Compatibility(actor, target)) + ", popularity " + Num(Get(game.Faction(run.f), "popularity")) +
              ".";
}

// Free residents outside the scenario's leaders who would get on with the actor.
void Rumors(TOrderRun& run) {
    TGame& game = run.game;
    run.free = true;
    game.AddCapped(run.P, "gold", -10, kGoldCap);
    run.msg = "Leads: ";
    int leads = 0;
    for (int c = kScenarioFactions + 1; c <= kCharacterCount && leads < kMaxLeads; ++c) {
        TObj ch = game.Character(c);
        if (Get(ch, "faction") != 0 || game.Compatibility(run.rec.actor, c) < kLeadCompatibility) continue;
        run.msg += TGame::GetStr(ch, "name") + " [" + Num(Get(ch, "province")) + "] ";
        ++leads;
    }
}

// [SECTION] Beasts, war and reconnaissance

void Beasts(TOrderRun& run) {
    TGame& game = run.game;
    run.body = LightBody(game);
    if (Random(game, 100) < SuccessChance(game, run.rec)) {
        std::string name = TGame::BeastName(Get(run.P, "beast"));
        game.SetInt(run.P, "beast", 0);
        int gain = Random(game, 5) + 1;
        AddPopularity(game, run.f, gain);
        Xp(run, 50, 50, 0);
        run.msg = "The " + name + " is driven away. Residents are safe; Popularity +" + Num(gain) + ".";
        return;
    }
    AddPopularity(game, run.f, -2);
    game.SetInt(run.A, "body", std::max(0, Get(run.A, "body") - 10));
    int soldiers = Get(run.A, "soldiers");
    game.SetInt(run.A, "soldiers", soldiers - soldiers / 10);
    run.msg = "The " + TGame::BeastName(Get(run.P, "beast")) +
              " escapes. The expedition returns wounded; residents remain at risk.";
}

// The battle takes its own Body and Gold and ends the turn when it is resolved.
void War(TOrderRun& run) {
    run.free = true;
    StartBattle(run.game, run.p, run.rec.target, run.f);
    run.msg = "The armies deploy. Defenders act first.";
}

void Scout(TOrderRun& run) {
    TGame& game = run.game;
    int target = run.rec.target;
    TObj D = game.Province(target);
    run.body = LightBody(game);
    run.msg = "Scouts report " + TGame::GetStr(D, "name") + ": " + Num(game.ProvinceSoldiers(target)) + " soldiers, " +
              Num(Get(D, "food")) + " Food.";
}

// [SECTION] Abandoning the realm and retiring

TObj ExilePartyOrNew(TOrderRun& run) {
    TGame& game = run.game;
    TObj party = game.ExileParty(run.f);
    if (party != nullptr) return party;
    TObj root = game.Root();
    TArr parties = TGame::GetArr(root, "exileParties");
    if (parties == nullptr) parties = game.NewArr(root, "exileParties");
    party = game.ArrAppendObj(parties);
    game.SetInt(party, "leader", run.f);
    game.SetInt(party, "province", run.p);
    game.SetInt(party, "food", 0);
    game.SetInt(party, "gold", 0);
    return party;
}

// The leader goes into exile wherever he stands (he may be away from the province
// whose turn this is); up to nine companions of this province follow him.
void TakeIntoExile(TOrderRun& run) {
    TGame& game = run.game;
    int taken = 0;
    for (int c = 1; c <= kCharacterCount; ++c) {
        TObj ch = game.Character(c);
        if (c == run.f) {
            if (TGame::GetBool(ch, "alive") && !TGame::GetBool(ch, "captured") && Get(ch, "faction") == run.f)
                game.SetStr(ch, "role", "exile");
            continue;
        }
        if (taken >= kMaxExiles || !game.IsLocalMember(c, run.p, run.f)) continue;
        game.SetStr(ch, "role", "exile");
        ++taken;
    }
}

// The most loyal companion left in province q (the leader never: he is on the road).
int Founder(TOrderRun& run, int q) {
    TGame& game = run.game;
    int best = 0;
    int bestLoyalty = 0;
    for (int c = 1; c <= kCharacterCount; ++c) {
        if (c == run.f || !game.IsLocalMember(c, q, run.f) || game.Faction(c) == nullptr) continue;
        TObj ch = game.Character(c);
        if (TGame::GetStr(ch, "role") == "exile") continue;
        int loyalty = Get(ch, "loyalty");
        if (best == 0 || loyalty > bestLoyalty) {
            best = c;
            bestLoyalty = loyalty;
        }
    }
    return best;
}

// Those left behind in province q form a fellowship of their own under its founder.
void FoundIndependent(TOrderRun& run, int q) {
    TGame& game = run.game;
    TObj prov = game.Province(q);
    int n = Founder(run, q);
    if (n == 0) {
        game.SetInt(prov, "owner", 0);
        game.SetInt(prov, "governor", 0);
        return;
    }
    TObj fellowship = game.Faction(n);
    game.SetBool(fellowship, "active", true);
    game.SetBool(fellowship, "human", false);
    game.SetInt(fellowship, "home", q);
    game.SetBool(fellowship, "writ", false);
    game.SetInt(fellowship, "popularity", 0);
    for (int c = 1; c <= kCharacterCount; ++c) {
        if (!game.IsLocalMember(c, q, run.f)) continue;
        TObj ch = game.Character(c);
        if (TGame::GetStr(ch, "role") == "exile") continue;
        game.SetInt(ch, "faction", n);
        game.SetInt(ch, "superior", n);
        game.SetStr(ch, "role", c == n ? "leader" : "follower");
    }
    game.SetInt(prov, "owner", n);
    game.SetInt(prov, "governor", n);
    game.AddLog(TGame::GetStr(game.Character(n), "name") + " founds an independent fellowship.");
}

void Abandon(TOrderRun& run) {
    TGame& game = run.game;
    TObj party = ExilePartyOrNew(run);
    int food = std::min(Get(run.P, "food"), 100);
    int gold = std::min(Get(run.P, "gold"), 100);
    game.SetInt(party, "food", food);
    game.SetInt(party, "gold", gold);
    game.AddCapped(run.P, "food", -food, kFoodCap);
    game.AddCapped(run.P, "gold", -gold, kGoldCap);
    TakeIntoExile(run);
    for (int q = 1; q <= kProvinceCount; ++q)
        if (Get(game.Province(q), "owner") == run.f) FoundIndependent(run, q);
    TObj fellowship = game.Faction(run.f);
    game.SetInt(fellowship, "home", 0);
    game.SetBool(fellowship, "writ", false);
    AddPopularity(game, run.f, -100);
    run.msg = "The fellowship takes the road again.";
}

void Retire(TOrderRun& run) {
    run.game.SetBool(run.game.Faction(run.f), "human", false);
    run.msg = "Your fellowship passes to AI control.";
}

}  // namespace

bool ApplyTradeOrder(TOrderRun& run) {
    switch (run.rec.order) {
        case oConvoy: Convoy(run); return true;
        case oTreaty:
        case oInvite: Diplomacy(run); return true;
        case oTown: Town(run); return true;
        case oBuyFood:
        case oSellFood:
        case oBuyFur:
        case oSellFur:
        case oBuyArms:
        case oBuyShip: Market(run); return true;
        case oBeasts: Beasts(run); return true;
        case oWar: War(run); return true;
        case oScout: Scout(run); return true;
        case oDivination: Divination(run); return true;
        case oRumors: Rumors(run); return true;
        case oAbandon: Abandon(run); return true;
        case oRetire: Retire(run); return true;
        default: return false;
    }
}

}  // namespace reedmark::orders
