// What the order sources share among themselves: the state of one ApplyOrder run and
// the small rules that checks, previews and effects all read.
#pragma once

#include <string>

#include "model/game.hpp"
#include "model/orders.hpp"

namespace reedmark::orders {

constexpr int kGoldCap = 9999;
constexpr int kFoodCap = 9999;
constexpr int kMetalCap = 999;
constexpr int kFurCap = 999;
constexpr int kPercentCap = 100;
constexpr int kPopularityCap = 999;
constexpr int kMaxSoldiers = 100;
constexpr int kSupportForUprising = 40;

// One order being carried out: the turn it belongs to and what the frame collects from
// the effects (the answer, the Body to spend, whether the turn stays open).
struct TOrderRun {
    TOrderRun(TGame& g, const TOrderRecord& r) : game(g), rec(r) {}
    TGame& game;
    const TOrderRecord& rec;
    int p = 0;           // the turn's province
    int f = 0;           // the acting fellowship
    TObj P = nullptr;    // province p
    TObj A = nullptr;    // the actor
    std::string msg;     // the answer
    long long body = 0;  // Body the actor pays at the end
    bool free = false;   // a free action leaves the turn open
    bool early = false;  // answered already (the uprising leaves the frame early)
};

// Small helpers shared by the order sources.
inline std::string Num(long long v) { return std::to_string(v); }
inline int Get(TObj obj, std::string_view key) { return TGame::GetInt(obj, key, 0); }
inline void Xp(TOrderRun& run, int s, int d, int w) { run.game.GainExperience(run.rec.actor, s, d, w); }

// Body costs of the catalogue, read from the rules.
int LightBody(const TGame& game);
int StandardBody(const TGame& game);
int HeavyBody(const TGame& game);
int MissionBody(const TGame& game);

// OrderGoldCost for the turn of province p and fellowship f.
long long GoldCost(const TGame& game, const TOrderRecord& record, int p, int f);
// The gift that goes with a treaty or an invitation.
long long GiftCost(const TGame& game, int actor, int f);
// Number of characters 1..255 serving fellowship g, whatever their state.
int MemberCount(const TGame& game, int g);
// Supplies a solicitation gathers before the Gold/Metal split.
long long SolicitYield(const TGame& game, int actor, int f);
// Troop Skill a training adds.
long long TrainGain(const TGame& game, int actor, int f);
// Development and Support gains of cultivation, flood control and construction.
long long DevelopGain(const TGame& game, int actor);
long long DevelopSupport(const TGame& game, int p);
// Support a gift of quantity Food earns.
long long GiveSupport(const TGame& game, int p, long long quantity);
// Loyalty a reward of quantity Gold earns the target.
long long RewardLoyalty(const TGame& game, int f, int target, long long quantity);
// Arms the smithing of quantity Metal brings.
long long WeaponsGain(const TGame& game, int actor, long long quantity);
// Chance in percent that a convoy loses a tenth of its food.
int ConvoyRisk(const TGame& game, int actor);
// Gold of a feast in province p.
long long FeastCost(const TGame& game, int p);

// Fellowship f's popularity := Clamp(popularity + d, 0, 999).
void AddPopularity(TGame& game, int f, long long d);
// After someone left province p: when nobody of the owner serves there any more, the
// province falls to nobody.
void ReleaseIfAbandoned(TGame& game, int p);

// The effects of the orders of each source; each answers false for an order that is
// not its own.
bool ApplyRoadOrder(TOrderRun& run);
bool ApplyTradeOrder(TOrderRun& run);

}  // namespace reedmark::orders
