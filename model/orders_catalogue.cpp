// The order catalogue: names, costs, CheckOrder, SuccessChance, PreviewOrder, the
// market prices and the hunt yield. Everything here only reads the campaign.
#include <algorithm>
#include <array>

#include "model/battle.hpp"
#include "model/game.hpp"
#include "model/orders.hpp"
#include "model/orders_internal.hpp"
#include "model/queue.hpp"

namespace reedmark {

using namespace orders;

namespace {

// [SECTION] Catalogue

struct TOrderInfo {
    const char* ident;
    const char* name;
};

constexpr std::array<TOrderInfo, kOrderCount> kCatalogue = {{
    {"oRest", "Rest"},
    {"oTravel", "Travel"},
    {"oSettle", "Settle"},
    {"oRecruit", "Recruit"},
    {"oCultivate", "Cultivate"},
    {"oFlood", "Flood control"},
    {"oBuild", "Construction"},
    {"oHunt", "Hunt"},
    {"oSolicit", "Solicit"},
    {"oTrain", "Train troops"},
    {"oHire", "Hire soldiers"},
    {"oGive", "Give citizens"},
    {"oReward", "Reward follower"},
    {"oFeast", "Feast"},
    {"oOath", "Swear oath"},
    {"oDismiss", "Dismiss"},
    {"oShip", "Make ship"},
    {"oWeapons", "Make weapons"},
    {"oMove", "Move people"},
    {"oConvoy", "Send provisions"},
    {"oTreaty", "Treaty"},
    {"oInvite", "Invite fellowship"},
    {"oTown", "Town travel"},
    {"oBuyFood", "Buy food"},
    {"oSellFood", "Sell food"},
    {"oBuyFur", "Buy fur"},
    {"oSellFur", "Sell fur"},
    {"oBuyArms", "Buy arms"},
    {"oBuyShip", "Buy ship"},
    {"oBeasts", "Beast expedition"},
    {"oWar", "War"},
    {"oScout", "Reconnaissance"},
    {"oRedistribute", "Redistribute troops"},
    {"oAssignShip", "Assign ship"},
    {"oGovernor", "Appoint governor"},
    {"oPolicy", "Governor policy"},
    {"oAbandon", "Abandon realm"},
    {"oRetire", "Retire"},
    {"oDivination", "Divination"},
    {"oRumors", "Rumors"},
}};

bool ValidOrder(TOrder order) {
    return order >= 0 && order < kOrderCount;
}

bool IsMarketOrder(TOrder order) {
    return order >= oBuyFood && order <= oBuyShip;
}

// A town visit accepts only the town's own orders and the return to the lair.
bool AllowedInTown(TOrder order) {
    return order == oRest || order == oRecruit || IsMarketOrder(order) || order == oDivination || order == oRumors;
}

// A homeless fellowship can only travel, settle, recruit, scout, rest or retire.
bool AllowedInExile(TOrder order) {
    return order == oRest || order == oTravel || order == oSettle || order == oRecruit || order == oScout ||
           order == oRetire;
}

long long Capacity(TObj prov) {
    return static_cast<long long>(kCharactersPerCastle) * TGame::GetInt(prov, "castles", 0);
}

int LocalMemberCount(const TGame& game, int p, int f) {
    int n = 0;
    for (int c = 1; c <= kCharacterCount; ++c)
        if (game.IsLocalMember(c, p, f)) ++n;
    return n;
}

int OwnedProvinceCount(const TGame& game, int g) {
    int n = 0;
    for (int q = 1; q <= kProvinceCount; ++q)
        if (TGame::GetInt(game.Province(q), "owner", 0) == g) ++n;
    return n;
}

bool InTownAttempts(const TGame& game, int target) {
    TArr attempts = TGame::GetArr(game.Root(), "townAttempts");
    for (int i = 0; i < TGame::ArrLen(attempts); ++i)
        if (TGame::ArrInt(attempts, i, 0) == target) return true;
    return false;
}

int SwornCount(const TGame& game, int f) {
    int n = 0;
    for (int c = 1; c <= kCharacterCount; ++c) {
        TObj ch = game.Character(c);
        if (TGame::GetInt(ch, "faction", 0) == f && TGame::GetStr(ch, "role") == "sworn companion") ++n;
    }
    return n;
}

// The sum the war order takes along: a third of the soldiers (rounded up) of each of the
// first ten ready companions.
long long WarChest(const TGame& game, int p, int f) {
    long long sum = 0;
    int taken = 0;
    for (int c = 1; c <= kCharacterCount && taken < 10; ++c) {
        if (!game.IsLocalMember(c, p, f)) continue;
        TObj ch = game.Character(c);
        if (TGame::GetInt(ch, "body", 0) < 10) continue;
        sum += (static_cast<long long>(TGame::GetInt(ch, "soldiers", 0)) + 3) / 3;
        ++taken;
    }
    return sum;
}

long long StoredRate(const TGame& game, int p) {
    return TGame::GetInt(game.Province(p), "rate", 0);
}

// [SECTION] Own checks of each order, asked after the general checks

struct TCheckContext {
    const TGame& game;
    const TOrderRecord& rec;
    int p;
    int f;
    bool exile;
    bool town;
    TObj P;
    TObj A;
    TObj T;  // the target as a character
};

std::string CheckSettle(const TCheckContext& c) {
    if (!c.exile) return "Your fellowship is already settled.";
    int owner = TGame::GetInt(c.P, "owner", 0);
    if (owner > 0 && (owner == c.f || TGame::GetInt(c.P, "support", 0) >= kSupportForUprising))
        return "Settlement in an occupied province needs Support below 40 for an uprising.";
    if (TGame::GetInt(c.game.Faction(kChancellor), "home", 0) == c.p && !TGame::GetBool(c.game.Faction(c.f), "writ"))
        return "The Chancellor home requires a Royal Writ.";
    // Settling an unclaimed province turns the whole party into counted residents, so
    // the room must hold all of them, not only the leader.
    long long arriving = owner > 0 ? 1 : std::max(1, LocalMemberCount(c.game, c.p, c.f));
    if (c.game.ProvinceHeadcount(c.p) + arriving > Capacity(c.P)) return "No room to settle.";
    return "";
}

std::string CheckRecruit(const TCheckContext& c) {
    if (c.T == nullptr || !TGame::GetBool(c.T, "alive") || TGame::GetBool(c.T, "captured") ||
        TGame::GetInt(c.T, "province", 0) != c.p || TGame::GetInt(c.T, "faction", 0) != 0)
        return "Choose an eligible free resident here.";
    if (!c.exile && c.game.ProvinceHeadcount(c.p) >= Capacity(c.P)) return "Province character capacity reached.";
    if (c.exile && LocalMemberCount(c.game, c.p, c.f) >= 10) return "An exile party can hold ten people.";
    return "";
}

std::string CheckHunt(const TCheckContext& c) {
    if (c.rec.option != 0 && c.rec.option != 1) return "Choose Food or Fur for the hunt.";
    int month = TGame::GetInt(c.game.Root(), "month", 0);
    if (month == 12 || month == 1 || month == 2) return "Hunting is unavailable in winter; it resumes in March.";
    if (HuntYield(c.game, c.rec.actor, c.rec.option) <= 0) return "There is no room for more hunting supplies.";
    return "";
}

std::string CheckOath(const TCheckContext& c) {
    if (c.T == nullptr || !c.game.IsLocalMember(c.rec.target, c.p, c.f) || c.rec.target == c.f)
        return "Choose a follower.";
    if (TGame::GetInt(c.T, "loyalty", 0) < c.game.RuleInt("oathLoyalty", 95) ||
        c.game.Compatibility(c.f, c.rec.target) < c.game.RuleInt("oathCompatibility", 70))
        return "Requires Loyalty 95 and compatibility 70.";
    if (TGame::GetStr(c.T, "role") == "sworn companion") return "Already a sworn companion.";
    long long limit = 10 - static_cast<long long>(TGame::GetInt(c.game.Root(), "difficulty", 0));
    if (SwornCount(c.game, c.f) >= limit) return "Sworn companion limit reached.";
    return "";
}

std::string CheckWeapons(const TCheckContext& c) {
    if (TGame::GetInt(c.A, "dexterity", 0) < 60 || TGame::GetInt(c.A, "wisdom", 0) < 50)
        return "Needs Dexterity 60 and Wisdom 50.";
    if (c.game.ProvinceSoldiers(c.p) <= 0) return "No soldiers to equip.";
    int m = std::min(TGame::GetInt(c.P, "metal", 0), 99);
    if (c.rec.quantity < 1 || c.rec.quantity > m) return "Metal must be 1.." + Num(m) + ".";
    return "";
}

// Moving people, sending provisions and war all cross an open road to a neighbour.
std::string CheckRoad(const TCheckContext& c) {
    const TGame& game = c.game;
    int target = c.rec.target;
    TObj D = game.Province(target);
    if (!game.AreNeighbours(c.p, target)) return "Choose an adjacent province.";
    if (TGame::GetBool(c.P, "snow") || TGame::GetBool(D, "snow")) return "Snow blocks this route.";
    int dOwner = TGame::GetInt(D, "owner", 0);
    long long q = c.rec.quantity;
    switch (c.rec.order) {
        case oMove:
            if (dOwner != c.f && dOwner != 0) return "Destination must be friendly or unclaimed.";
            if (game.ProvinceHeadcount(target) >= Capacity(D)) return "Destination is full.";
            if (c.rec.actor == c.f && game.ProvinceHeadcount(c.p) > 1)
                return "Move followers first; the leader departs last.";
            return "";
        case oConvoy:
            if (dOwner != c.f) return "Destination must be friendly or unclaimed.";
            if (q < 1 || q > TGame::GetInt(c.P, "food", 0) || TGame::GetInt(D, "food", 0) + q > kFoodCap)
                return "Food exceeds origin stock or destination capacity.";
            return "";
        default:  // oWar
            if (dOwner == c.f || dOwner == 0) return "Target must be an enemy province.";
            if (game.TreatyActive(c.f, dOwner)) return "A binding treaty forbids this attack.";
            if (TGame::GetInt(game.Faction(kChancellor), "home", 0) == target &&
                !TGame::GetBool(game.Faction(c.f), "writ"))
                return "A Royal Writ is required to attack the Chancellor home.";
            if (TGame::GetInt(c.P, "food", 0) <= 0) return "The army requires provisions.";
            return "";
    }
}

std::string CheckDiplomacy(const TCheckContext& c) {
    const TGame& game = c.game;
    int g = c.rec.target;
    TObj G = game.Faction(g);
    if (g < 1 || g > game.FactionCount() || g == c.f || !TGame::GetBool(G, "active") || TGame::GetInt(G, "home", 0) < 1)
        return "Choose a settled rival leader.";
    if (game.IsHumanFaction(g)) return "Human diplomacy requires an incoming decision; select an AI leader.";
    if (c.rec.order == oInvite) {
        if (OwnedProvinceCount(game, g) >= 2) return "Target owns more than one province.";
        if (game.ProvinceHeadcount(c.p) + static_cast<long long>(MemberCount(game, g)) > Capacity(c.P))
            return "Insufficient room for the whole fellowship.";
    }
    return "";
}

std::string CheckMarket(const TCheckContext& c) {
    if (!c.town) return "Visit town first.";
    long long q = c.rec.quantity;
    if (q < 1 || q > 9999) return "Quantity must be 1..9999.";
    const TGame& game = c.game;
    long long gold = TGame::GetInt(c.P, "gold", 0);
    long long total = TotalPriceGold(game, c.rec.order, c.p, c.rec.quantity);
    switch (c.rec.order) {
        case oBuyFood:
            if (TGame::GetInt(c.P, "food", 0) + q > kFoodCap) return "Food capacity is 9999.";
            return "";
        case oSellFood:
            if (q > TGame::GetInt(c.P, "food", 0)) return "Not enough food.";
            if (total <= 0) return "Quantity too small: this sale would return 0 Gold.";
            if (gold + total > kGoldCap) return "Gold capacity is 9999.";
            return "";
        case oBuyFur:
            if (TGame::GetInt(c.P, "fur", 0) + q > kFurCap) return "Fur capacity is 999.";
            return "";
        case oSellFur:
            if (q > TGame::GetInt(c.P, "fur", 0)) return "Not enough fur.";
            if (gold + total > kGoldCap) return "Gold capacity is 9999.";
            return "";
        case oBuyArms:
            if (!TGame::GetBool(c.P, "smithy")) return "There is no smithy here.";
            if (game.ProvinceSoldiers(c.p) <= 0) return "No soldiers to equip.";
            if (TGame::GetInt(c.P, "arms", 0) + q > kPercentCap) return "Arms cannot exceed 100.";
            return "";
        default:  // oBuyShip
            if (!TGame::GetBool(c.P, "shipyard")) return "There is no shipyard here.";
            if (TGame::GetBool(c.A, "ship") || q != 1) return "Choose one character without a ship.";
            return "";
    }
}

// The target is another serving member of the fellowship here.
bool OtherLocal(const TCheckContext& c) {
    return c.T != nullptr && c.game.IsLocalMember(c.rec.target, c.p, c.f) && c.rec.target != c.rec.actor;
}

std::string CheckManagement(const TCheckContext& c) {
    const TGame& game = c.game;
    switch (c.rec.order) {
        case oRedistribute: {
            if (!OtherLocal(c)) return "Choose a different local character.";
            long long q = c.rec.quantity;
            if (q < 1 || q > TGame::GetInt(c.A, "soldiers", 0) || TGame::GetInt(c.T, "soldiers", 0) + q > kMaxSoldiers)
                return "Transfer exceeds available troops or 100 per character.";
            return "";
        }
        case oAssignShip:
            if (!OtherLocal(c)) return "Choose a different local character.";
            if (!TGame::GetBool(c.A, "ship") || TGame::GetBool(c.T, "ship"))
                return "Companion needs a ship; recipient must lack one.";
            return "";
        case oGovernor:
            if (c.T == nullptr || !game.IsLocalMember(c.rec.target, c.p, c.f)) return "Choose a local officer.";
            if (game.IsLocalMember(c.f, c.p, c.f)) return "The leader must govern their own location.";
            return "";
        default:  // oPolicy
            if (c.rec.quantity < 0 || c.rec.quantity > 2) return "Policy must be 0 Balanced, 1 Develop, or 2 Expand.";
            return "";
    }
}

std::string CheckOwn(const TCheckContext& c) {
    const TGame& game = c.game;
    const TOrderRecord& rec = c.rec;
    switch (rec.order) {
        case oTravel:
            if (!c.exile) return "Use Move people while settled.";
            if (!game.AreNeighbours(c.p, rec.target)) return "Choose an adjacent province.";
            return "";
        case oSettle: return CheckSettle(c);
        case oRecruit: return CheckRecruit(c);
        case oHunt: return CheckHunt(c);
        case oTrain:
            if (game.ProvinceSoldiers(c.p) <= 0) return "No soldiers to train.";
            return "";
        case oHire: {
            int room = kMaxSoldiers - TGame::GetInt(c.A, "soldiers", 0);
            if (rec.quantity < 1 || rec.quantity > room) return "Quantity must be 1.." + Num(room) + ".";
            return "";
        }
        case oGive: {
            int m = std::min(TGame::GetInt(c.P, "food", 0), 1000);
            if (rec.quantity < 1 || rec.quantity > m) return "Food must be 1.." + Num(m) + ".";
            return "";
        }
        case oReward:
            if (c.T == nullptr || !game.IsLocalMember(rec.target, c.p, c.f)) return "Choose a local follower.";
            if (rec.quantity < 1 || rec.quantity > 100) return "Gold must be 1..100.";
            return "";
        case oOath: return CheckOath(c);
        case oDismiss:
            if (c.T == nullptr || !game.IsLocalMember(rec.target, c.p, c.f) || rec.target == c.f)
                return "Choose a follower, not the leader.";
            return "";
        case oShip:
            if (!TGame::GetBool(c.A, "navigator") || TGame::GetInt(c.A, "dexterity", 0) < 70)
                return "Needs navigation and Dexterity 70.";
            if (TGame::GetBool(c.A, "ship")) return "Companion already owns a ship.";
            return "";
        case oWeapons: return CheckWeapons(c);
        case oMove:
        case oConvoy:
        case oWar: return CheckRoad(c);
        case oTreaty:
        case oInvite: return CheckDiplomacy(c);
        case oTown:
            if (rec.actor != c.f && TGame::GetStr(c.A, "role") != "sworn companion")
                return "Only the leader or a sworn companion may visit town.";
            return "";
        case oBuyFood:
        case oSellFood:
        case oBuyFur:
        case oSellFur:
        case oBuyArms:
        case oBuyShip: return CheckMarket(c);
        case oBeasts:
            if (TGame::GetInt(c.P, "beast", 0) <= 0) return "There is no beast event here.";
            return "";
        case oRedistribute:
        case oAssignShip:
        case oGovernor:
        case oPolicy: return CheckManagement(c);
        case oDivination:
            if (!c.town) return "Visit town first.";
            if (c.T == nullptr) return "Choose a resident.";
            return "";
        case oRumors:
            if (!c.town) return "Visit town first.";
            return "";
        default: return "";
    }
}

// [SECTION] Preview texts

std::string PreviewText(const TGame& game, const TOrderRecord& rec) {
    int p = CurrentProvince(game);
    int f = CurrentFaction(game);
    TObj P = game.Province(p);
    TObj T = game.Character(rec.target);
    std::string targetName = TGame::GetStr(game.Province(rec.target), "name");
    long long q = rec.quantity;
    switch (rec.order) {
        case oRest:
            if (TGame::GetBool(game.Root(), "town"))
                return "End the town visit and return to the lair. Confirmed transactions are retained.";
            return "All local companions recover 10 Body, followed by month-end recovery.";
        case oTravel: return "Travel to adjacent " + targetName + " with your exile companions.";
        case oSettle:
            return "Claim this unowned province. Carry your party stocks into the lair and receive 30 Food once. An "
                   "occupied province below Support 40 instead starts an uprising battle.";
        case oRecruit:
            return "Invite " + TGame::GetStr(T, "name") + " to join you. Chance " + Num(SuccessChance(game, rec)) +
                   "%. Failure costs 1 Popularity.";
        case oCultivate:
        case oFlood:
        case oBuild:
            return "Development +" + Num(DevelopGain(game, rec.actor)) + ", Support +" + Num(DevelopSupport(game, p)) +
                   ". No Gold required.";
        case oHunt:
            if (rec.option == 1)
                return "Hunt for fur: bring back " + Num(HuntYield(game, rec.actor, 1)) +
                       " Fur to sell at the marketplace.";
            return "Hunt for food: bring back " + Num(HuntYield(game, rec.actor, rec.option)) + " Food.";
        case oSolicit:
            return "Gain " + Num(SolicitYield(game, rec.actor, f)) + " supplies; Support -5. Option 0: Gold, 1: Metal.";
        case oTrain: return "Troop Skill +" + Num(TrainGain(game, rec.actor, f)) + ".";
        case oHire: return "Hire " + Num(q) + " soldiers for the companion. New soldiers dilute shared Skill and Arms.";
        case oGive: return "Give " + Num(q) + " Food to citizens. Support +" + Num(GiveSupport(game, p, q)) + ".";
        case oReward:
            return "Reward " + TGame::GetStr(T, "name") + ". Loyalty +" + Num(RewardLoyalty(game, f, rec.target, q)) +
                   ".";
        case oFeast: return "All local companions recover 10 Body and gain Loyalty.";
        case oOath:
            return "Invite a permanent sworn bond. Chance " + Num(SuccessChance(game, rec)) +
                   "%. Requires Loyalty 95 and compatibility 70.";
        case oDismiss:
            return "Dismiss " + TGame::GetStr(T, "name") + " with personal soldiers and ship. Popularity -5.";
        case oShip: return "Build one ship for the companion. Requires Navigation and Dexterity 70.";
        case oWeapons:
            return "Spend " + Num(q) + " Metal. Arms +" + Num(WeaponsGain(game, rec.actor, q)) + ", capped at 100.";
        case oMove: return "Move the companion and their soldiers/ship to " + targetName + ". Claims unowned land.";
        case oConvoy:
            return "Send " + Num(q) + " Food. Escort stays here. Risk " + Num(ConvoyRisk(game, rec.actor)) +
                   "% of losing a tenth.";
        case oTreaty: return "Chance " + Num(SuccessChance(game, rec)) + "%. The gift is spent even on refusal.";
        case oInvite:
            return "Chance " + Num(SuccessChance(game, rec)) + "%. The gift is spent even on refusal." +
                   " Travel allowance included for " + Num(MemberCount(game, rec.target)) + " people.";
        case oTown:
            return "Visit the marketplace and downtown. Purchases and invitations stay in this visit until Return to "
                   "lair.";
        case oBuyFood:
        case oBuyFur:
            return "Buy " + Num(q) + (rec.order == oBuyFood ? " Food" : " Fur") + " at " +
                   PriceText(game, rec.order, p) + " Gold each. Total cost rounds up to whole Gold.";
        case oSellFood:
        case oSellFur:
            return "Sell " + Num(q) + (rec.order == oSellFood ? " Food" : " Fur") + " at " +
                   PriceText(game, rec.order, p) + " Gold each; receive " +
                   Num(TotalPriceGold(game, rec.order, p, rec.quantity)) + " Gold (total rounded down).";
        case oBuyArms: return "Buy " + Num(q) + " Arms points at the smithy.";
        case oBuyShip: return "Buy one ship for the companion from the shipyard.";
        case oBeasts:
            return "Drive the " + TGame::BeastName(TGame::GetInt(P, "beast", 0)) +
                   " away and protect the residents. Chance " + Num(SuccessChance(game, rec)) +
                   "%. Success earns Popularity. Failure costs 10 extra Body and a tenth of troops.";
        case oWar:
            return "Send up to ten ready companions to " + targetName +
                   ". Cost is 10 Body EACH plus quoted total Gold. A 30-day Food reserve travels with the army.";
        case oScout: return "Gather details of " + targetName + ". Uses this order.";
        case oRedistribute:
            return "Transfer " + Num(q) +
                   " soldiers from companion to target. Exact totals and shared training are conserved. Free action.";
        case oAssignShip: return "Transfer the companion ship to the target. Free action.";
        case oGovernor:
            return "Appoint " + TGame::GetStr(T, "name") + " here. The leader must govern their own home. Free action.";
        case oPolicy: return "Quantity 0: Balanced, 1: Develop, 2: Expand. Changes governor priorities. Free action.";
        case oAbandon:
            return "Surrender every holding and the Royal Writ. Retain up to nine local companions and 100 Food/Gold. "
                   "Popularity -100. Remaining governors and their followers form independent fellowships.";
        case oRetire:
            return "Pass this fellowship to AI control. The campaign continues as an observer or with other players.";
        case oDivination:
            return "Reveal the current recruitment chance and its main factors for the selected resident.";
        case oRumors: return "Ask for leads to promising residents in distant provinces.";
    }
    return "";
}

}  // namespace

// [SECTION] Shared rules of the order sources

namespace orders {

int LightBody(const TGame& game) {
    return game.RuleInt("lightBody", 10);
}
int StandardBody(const TGame& game) {
    return game.RuleInt("standardBody", 15);
}
int HeavyBody(const TGame& game) {
    return game.RuleInt("heavyBody", 20);
}
int MissionBody(const TGame& game) {
    return game.RuleInt("missionBody", 25);
}

long long GiftCost(const TGame& game, int actor, int f) {
    long long gift = 200 - static_cast<long long>(TGame::GetInt(game.Character(actor), "wisdom", 0)) -
                     TGame::GetInt(game.Faction(f), "popularity", 0) / 10;
    return std::max(20LL, gift);
}

int MemberCount(const TGame& game, int g) {
    return game.FactionMemberCount(g);
}

long long SolicitYield(const TGame& game, int actor, int f) {
    TObj A = game.Character(actor);
    long long sum = static_cast<long long>(TGame::GetInt(A, "wisdom", 0)) + TGame::GetInt(A, "dexterity", 0);
    long long n = sum * (150 - static_cast<long long>(TGame::GetInt(game.Character(f), "mercy", 0))) / 200;
    return std::max(1LL, n);
}

long long TrainGain(const TGame& game, int actor, int f) {
    TObj A = game.Character(actor);
    long long sum = static_cast<long long>(TGame::GetInt(A, "strength", 0)) + TGame::GetInt(A, "dexterity", 0) +
                    TGame::GetInt(game.Character(f), "integrity", 0);
    return sum / 30 + 2;
}

long long DevelopGain(const TGame& game, int actor) {
    return TGame::GetInt(game.Character(actor), "strength", 0) / 10 + 3;
}

long long DevelopSupport(const TGame& game, int p) {
    int governor = TGame::GetInt(game.Province(p), "governor", 0);
    return TGame::GetInt(game.Character(governor), "mercy", 0) / 25 + 1;
}

long long GiveSupport(const TGame& game, int p, long long quantity) {
    int governor = TGame::GetInt(game.Province(p), "governor", 0);
    long long mercy = TGame::GetInt(game.Character(governor), "mercy", 0);
    return std::max(1LL, quantity * (mercy + 50) / 2000);
}

long long RewardLoyalty(const TGame& game, int f, int target, long long quantity) {
    return std::max(1LL, quantity * (game.Compatibility(f, target) + 50) / 500);
}

long long WeaponsGain(const TGame& game, int actor, long long quantity) {
    TObj A = game.Character(actor);
    long long sum = static_cast<long long>(TGame::GetInt(A, "dexterity", 0)) + TGame::GetInt(A, "wisdom", 0);
    return std::max(1LL, quantity * sum / 200);
}

int ConvoyRisk(const TGame& game, int actor) {
    return Clamp(30 - static_cast<long long>(TGame::GetInt(game.Character(actor), "wisdom", 0)) / 4, 0, 30);
}

long long FeastCost(const TGame& game, int p) {
    long long rate = StoredRate(game, p);
    return std::max(1LL, (10LL * game.ProvinceHeadcount(p) * rate + 49) / 50);
}

}  // namespace orders

// [SECTION] Names

std::string OrderName(TOrder order) {
    return ValidOrder(order) ? kCatalogue[order].name : "";
}

std::string OrderIdent(TOrder order) {
    return ValidOrder(order) ? kCatalogue[order].ident : "";
}

bool OrderFromIdent(std::string_view text, TOrder& order) {
    for (int i = 0; i < kOrderCount; ++i) {
        if (text == kCatalogue[i].ident) {
            order = static_cast<TOrder>(i);
            return true;
        }
    }
    return false;
}

// [SECTION] Costs

long long OrderBodyCost(const TGame& game, const TOrderRecord& record) {
    switch (record.order) {
        case oTravel:
        case oRecruit:
        case oOath:
        case oMove:
        case oConvoy:
        case oTown:
        case oBeasts:
        case oWar:  // tested only: the battle takes its own toll
        case oScout: return LightBody(game);
        case oCultivate:
        case oFlood:
        case oBuild:
        case oSolicit:
        case oTrain:
        case oShip:
        case oWeapons: return StandardBody(game);
        case oHunt: return HeavyBody(game);
        case oTreaty:
        case oInvite: return MissionBody(game);
        default: return 0;
    }
}

long long OrderGoldCost(const TGame& game, const TOrderRecord& record) {
    return GoldCost(game, record, CurrentProvince(game), CurrentFaction(game));
}

long long orders::GoldCost(const TGame& game, const TOrderRecord& record, int p, int f) {
    long long q = record.quantity;
    switch (record.order) {
        case oHire: return q * ((StoredRate(game, p) + 9) / 10);
        case oReward: return q;
        case oFeast: return FeastCost(game, p);
        case oShip: return 20;
        case oTreaty: return GiftCost(game, record.actor, f);
        case oInvite: return GiftCost(game, record.actor, f) + 10LL * MemberCount(game, record.target);
        case oBuyFood:
        case oBuyFur: return TotalPriceGold(game, record.order, p, record.quantity);
        case oBuyArms: return q * ((StoredRate(game, p) + 4) / 5);
        case oBuyShip: return (StoredRate(game, p) + 1) / 2;
        case oWar: return WarChest(game, p, f);
        case oDivination: return 1;
        case oRumors: return 10;
        default: return 0;
    }
}

// [SECTION] CheckOrder

std::string CheckOrder(const TGame& game, const TOrderRecord& record) {
    TObj root = game.Root();
    if (root == nullptr) return "No campaign loaded.";
    if (game.IsEnded()) return "This campaign has ended.";
    if (HasBattle(game)) return "Finish the battle first.";
    if (!ValidOrder(record.order)) return "No such order.";
    if (record.order == oScout && game.Province(record.target) == nullptr) return "Choose a valid province.";
    if (CurrentTurnChangedHands(game)) return "This province changed hands; its next order is next month.";
    int f = CurrentFaction(game);
    if (f <= 0) return "No current order.";
    int p = CurrentProvince(game);
    TObj A = game.Character(record.actor);
    if (A == nullptr || !game.IsLocalMember(record.actor, p, f)) return "Choose a serving local character.";
    bool town = TGame::GetBool(root, "town");
    bool exile = IsExileTurn(game);
    if (record.order == oRecruit && town && InTownAttempts(game, record.target))
        return "Already approached this resident during this visit.";
    if (town && !AllowedInTown(record.order)) return "Return to the lair before giving another order.";
    if (exile && !AllowedInExile(record.order)) return "Settle an unclaimed province first.";

    TCheckContext context{game, record, p, f, exile, town, game.Province(p), A, game.Character(record.target)};
    if (std::string own = CheckOwn(context); !own.empty()) return own;

    long long body = OrderBodyCost(game, record);
    int has = TGame::GetInt(A, "body", 0);
    if (body > has) return "Requires " + Num(body) + " Body; companion has " + Num(has) + ".";
    long long gold = GoldCost(game, record, p, f);
    int available = TGame::GetInt(exile ? game.ExileParty(f) : context.P, "gold", 0);
    if (gold > available) return "Requires " + Num(gold) + " Gold; available " + Num(available) + ".";
    return "";
}

// [SECTION] SuccessChance

int SuccessChance(const TGame& game, const TOrderRecord& record) {
    int p = CurrentProvince(game);
    int f = CurrentFaction(game);
    long long pop = TGame::GetInt(game.Faction(f), "popularity", 0);
    TObj A = game.Character(record.actor);
    TObj T = game.Character(record.target);
    auto get = [](TObj obj, std::string_view key) { return static_cast<long long>(TGame::GetInt(obj, key, 0)); };
    switch (record.order) {
        case oRecruit:
            return Clamp(pop / 10 + 10 + game.Compatibility(record.actor, record.target) / 2 + get(A, "wisdom") / 5 -
                             get(T, "integrity") / 4,
                         5, 95);
        case oOath: return Clamp(game.Compatibility(f, record.target) + pop / 20 - 20, 10, 95);
        case oTreaty: {
            int home = TGame::GetInt(game.Faction(record.target), "home", 0);
            long long edge = (static_cast<long long>(game.ProvinceSoldiers(p)) - game.ProvinceSoldiers(home)) / 20;
            return Clamp(get(A, "wisdom") / 2 + 20 + game.Compatibility(f, record.target) / 4 + edge, 5, 95);
        }
        case oInvite: return Clamp(pop / 5 + game.Compatibility(f, record.target) / 2 - get(T, "courage") / 3, 5, 95);
        case oBeasts: {
            TObj P = game.Province(p);
            return Clamp((get(A, "dexterity") + get(A, "courage")) / 2 + 20 + get(A, "soldiers") / 4 -
                             (get(P, "beast") * 10 + 20),
                         5, 95);
        }
        default: return 100;
    }
}

// [SECTION] PreviewOrder

std::string PreviewOrder(const TGame& game, const TOrderRecord& record) {
    long long gold = record.order == oSellFood || record.order == oSellFur ? 0 : OrderGoldCost(game, record);
    return PreviewText(game, record) + " Cost: " + Num(OrderBodyCost(game, record)) + " Body, " + Num(gold) + " Gold.";
}

// [SECTION] Hunt yield and market prices

int HuntYield(const TGame& game, int actor, int option) {
    TObj P = game.Province(CurrentProvince(game));
    long long base = (static_cast<long long>(TGame::GetInt(game.Character(actor), "dexterity", 0)) +
                      TGame::GetInt(game.Character(CurrentFaction(game)), "courage", 0)) /
                     2;
    long long room;
    if (option == 1) {
        base = std::max(1LL, base / 4);
        room = kFurCap - static_cast<long long>(TGame::GetInt(P, "fur", 0));
    } else {
        room = kFoodCap - static_cast<long long>(TGame::GetInt(P, "food", 0));
    }
    return Clamp(std::min(base, room), 0, kIntLimit);
}

int UnitPriceCents(const TGame& game, TOrder order, int province) {
    long long r = Clamp(TGame::GetInt(game.Province(province), "rate", 50), 20, 100);
    long long buyFood = Clamp(game.RuleInt("foodBuyCentsPerRate", 4), 1, 100) * r;
    switch (order) {
        case oBuyFood: return static_cast<int>(buyFood);
        case oSellFood:
            return static_cast<int>(std::min(buyFood, r * Clamp(game.RuleInt("foodSellCentsPerRate", 2), 1, 100)));
        case oBuyFur: return static_cast<int>(std::max((r + 4) / 5, 2LL) * 100);
        case oSellFur: return static_cast<int>(std::max(r / 8, 1LL) * 100);
        default: return 0;
    }
}

int TotalPriceGold(const TGame& game, TOrder order, int province, int quantity) {
    if (quantity < 1 || quantity > 9999) return 0;
    long long cents = static_cast<long long>(UnitPriceCents(game, order, province)) * quantity;
    if (order == oBuyFood || order == oBuyFur) return static_cast<int>((cents + 99) / 100);
    return static_cast<int>(cents / 100);
}

std::string PriceText(const TGame& game, TOrder order, int province) {
    int cents = UnitPriceCents(game, order, province);
    int rest = cents % 100;
    return Num(cents / 100) + "." + (rest < 10 ? "0" : "") + Num(rest);
}

}  // namespace reedmark
