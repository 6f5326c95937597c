// The play-through of an accepted input: what a player does with a campaign just
// loaded, driven by the fuzzer's generator, and the checks of its consistency after.
#include "model/ai.hpp"
#include "model/battle.hpp"
#include "model/events.hpp"
#include "model/orders.hpp"
#include "model/prisoners.hpp"
#include "model/queue.hpp"
#include "model/saves.hpp"
#include "tools/fuzz/fuzz.hpp"

namespace reedmark::fuzz {

namespace {

constexpr int kMaxTicks = 40;

int SomeCharacter(TFuzzRandom& rng) {
    static constexpr int edges[] = {-1, 0, 1, 11, 12, 254, 255, 256, 1'000'000'000};
    return rng.Chance(15) ? edges[rng.Below(9)] : 1 + rng.Below(kCharacterCount);
}

int SomeQuantity(TFuzzRandom& rng) {
    static constexpr int edges[] = {-2'147'483'647 - 1, -1, 0, 1, 2, 99, 100, 101, 9999, 10000, 2'147'483'647};
    return rng.Chance(30) ? edges[rng.Below(11)] : rng.Below(120);
}

// The questions the order dialog asks of every order while a player chooses: checks,
// previews, chances and costs, for the turn's governor and someone at random.
void AskAboutOrders(const TGame& game, TFuzzRandom& rng) {
    int governor = TGame::GetInt(game.Province(CurrentProvince(game)), "governor", 0);
    for (int i = 0; i < kOrderCount; ++i) {
        TOrderRecord rec;
        rec.order = static_cast<TOrder>(i);
        rec.actor = rng.Chance(70) ? governor : SomeCharacter(rng);
        rec.target = rng.Chance(50) ? 1 + rng.Below(kProvinceCount) : SomeCharacter(rng);
        rec.quantity = SomeQuantity(rng);
        rec.option = rng.Below(3) - (rng.Chance(5) ? 1 : 0);
        CheckOrder(game, rec);
        PreviewOrder(game, rec);
        SuccessChance(game, rec);
        OrderBodyCost(game, rec);
        OrderGoldCost(game, rec);
        HuntYield(game, rec.actor, rec.option);
        for (TOrder market : {oBuyFood, oSellFood, oBuyFur, oSellFur}) {
            TotalPriceGold(game, market, rec.target, rec.quantity);
            PriceText(game, market, rec.target);
        }
    }
}

// The battle screen's questions about every unit.
void AskAboutBattle(const TGame& game) {
    int n = std::min(BattleUnitCount(game), 64);
    for (int i = 0; i < n; ++i) {
        UnitPower(game, i);
        MovementCosts(game, i, false);
        MovementCosts(game, i, true);
        for (int j = 0; j < n; ++j) ClearRay(game, i, j);
    }
    HumanBattleTurn(game);
}

// One action a human could take: an order of the catalogue, a battle action, a
// prisoner's fate or a riot's answer. Most are refused; the accepted ones change the
// campaign through the same operations the screens use.
void HumanAction(TGame& game, TFuzzRandom& rng) {
    static const char* const actions[] = {"move",    "melee", "archery",    "charge",  "mist",     "duel",
                                          "fire",    "extinguish", "retreat", "rest", "reinforce"};
    if (HasBattle(game)) {
        int units = BattleUnitCount(game);
        BattleAction(game, rng.Below(units + 1) - (rng.Chance(5) ? 1 : 0), rng.Below(units + 1),
                     rng.Below(kFieldColumns + 2) - 1, rng.Below(kFieldRows + 2) - 1, actions[rng.Below(11)]);
        return;
    }
    switch (rng.Below(6)) {
    case 0: {
        static const char* const fates[] = {"recruit", "hold", "release", "execute"};
        ResolvePrisoner(game, SomeCharacter(rng), rng.Below(kScenarioFactions + 2), fates[rng.Below(4)]);
        return;
    }
    case 1: ResolveRiot(game, 1 + rng.Below(kProvinceCount), rng.Chance(50)); return;
    default: {
        int p = CurrentProvince(game);
        TOrderRecord rec;
        rec.order = static_cast<TOrder>(rng.Below(kOrderCount));
        rec.actor = rng.Chance(80) ? TGame::GetInt(game.Province(p), "governor", 0) : SomeCharacter(rng);
        if (IsExileTurn(game)) rec.actor = CurrentFaction(game);
        rec.target = rng.Chance(50) ? 1 + rng.Below(kProvinceCount) : SomeCharacter(rng);
        if (rng.Chance(40)) {
            // A neighbour, the usual target of the road orders.
            TArr nb = TGame::GetArr(game.Province(p), "neighbors");
            if (TGame::ArrLen(nb) > 0) rec.target = TGame::ArrInt(nb, rng.Below(TGame::ArrLen(nb)), 0);
        }
        rec.quantity = rng.Chance(70) ? 1 + rng.Below(20) : SomeQuantity(rng);
        rec.option = rng.Below(2);
        ApplyOrder(game, rec);
        return;
    }
    }
}

// The computer moves on; where a human would have to act, the planner or the battle
// AI acts for him, so the campaign keeps going.
void ComputerStep(TGame& game, TFuzzRandom& rng) {
    std::uint64_t before = game.Revision();
    ComputerTick(game, rng.Chance(50) ? kFastComputerSteps : kNormalComputerSteps);
    if (game.Revision() != before || game.IsEnded()) return;
    if (HasBattle(game)) {
        if (rng.Chance(5)) ResolveBattleAuto(game);
        else BattleAIStep(game);
    } else {
        PlanOrder(game);
    }
}

}  // namespace

void PlayThrough(TGame& game, TFuzzRandom& rng, const std::string& scratchPath) {
    if (HasBattle(game)) AskAboutBattle(game);
    else AskAboutOrders(game, rng);
    int ticks = 1 + rng.Below(kMaxTicks);
    for (int t = 0; t < ticks && !game.IsEnded(); ++t) {
        if (rng.Chance(25)) HumanAction(game, rng);
        else ComputerStep(game, rng);
    }
    if (HasBattle(game)) AskAboutBattle(game);
    else AskAboutOrders(game, rng);
    if (!game.IndexMatchesDocument()) throw TFailure("the derived index disagrees with the document");

    std::string problem = Validate(game);
    std::string checksum = Checksum(game);
    if (!problem.empty()) return;
    SaveCampaign(game, scratchPath);
    TGame again;
    try {
        LoadCampaign(again, scratchPath);
    } catch (const TGameError& e) {
        throw TFailure(std::string("a campaign saved after play does not load: ") + e.what());
    }
    if (Checksum(again) != checksum) throw TFailure("a saved campaign loads with another checksum");
}

}  // namespace reedmark::fuzz
