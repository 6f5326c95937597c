// Province orders: the catalogue of the forty orders a fellowship may give during the
// turn of a province, their checks, previews, chances and market prices, and
// ApplyOrder, which carries one out.
#pragma once

#include <string>
#include <string_view>

namespace reedmark {

class TGame;

enum TOrder : int {
    oRest,
    oTravel,
    oSettle,
    oRecruit,
    oCultivate,
    oFlood,
    oBuild,
    oHunt,
    oSolicit,
    oTrain,
    oHire,
    oGive,
    oReward,
    oFeast,
    oOath,
    oDismiss,
    oShip,
    oWeapons,
    oMove,
    oConvoy,
    oTreaty,
    oInvite,
    oTown,
    oBuyFood,
    oSellFood,
    oBuyFur,
    oSellFur,
    oBuyArms,
    oBuyShip,
    oBeasts,
    oWar,
    oScout,
    oRedistribute,
    oAssignShip,
    oGovernor,
    oPolicy,
    oAbandon,
    oRetire,
    oDivination,
    oRumors,
};

constexpr int kOrderCount = 40;

// One concrete order: who does what to whom, how much. `target` is a province, a
// character or a fellowship depending on the order (0 when it takes none); `option`
// picks between two variants (hunt: 0 Food, 1 Fur; soliciting: 0 Gold, 1 Metal).
struct TOrderRecord {
    TOrder order = oRest;
    int actor = 0;
    int target = 0;
    int quantity = 0;
    int option = 0;
};

// The display name of an order ("Rest", "Flood control", ...); "" outside 0..39.
std::string OrderName(TOrder order);
// The identifier of an order as written in scripts ("oRest" .. "oRumors"); "" outside 0..39.
std::string OrderIdent(TOrder order);
// The order whose identifier is text; false when there is none.
bool OrderFromIdent(std::string_view text, TOrder& order);

// [SECTION] Read operations: they draw nothing, write nothing and log nothing.

// "" when the order may be applied now, else the first refusal that applies.
std::string CheckOrder(const TGame& game, const TOrderRecord& record);
// The explanatory line of the order dialog, ending with the Body and Gold cost.
std::string PreviewOrder(const TGame& game, const TOrderRecord& record);
// The chance of success in percent (100 for the orders that cannot fail).
int SuccessChance(const TGame& game, const TOrderRecord& record);
// Body the actor spends and Gold the turn's purse spends on this order, as the check
// and the preview quote them.
long long OrderBodyCost(const TGame& game, const TOrderRecord& record);
long long OrderGoldCost(const TGame& game, const TOrderRecord& record);
// Food or fur (option 1) a hunt by actor brings back to the current province, limited
// by the room left in its store.
int HuntYield(const TGame& game, int actor, int option);

// [SECTION] Market prices of the town visit

// Unit price in hundredths of Gold of the four food and fur trades in province p; 0 for
// any other order.
int UnitPriceCents(const TGame& game, TOrder order, int province);
// Whole Gold for quantity units: purchases round up, sales round down; 0 unless the
// quantity is 1..9999.
int TotalPriceGold(const TGame& game, TOrder order, int province, int quantity);
// The unit price as text, "2.00" for 200 cents.
std::string PriceText(const TGame& game, TOrder order, int province);

// [SECTION] Carrying an order out

// The one place where orders change the campaign: the order dialog and the town
// screen (human players) and the computer planner all give their orders here, so both
// obey exactly the same checks, costs and effects. It runs CheckOrder first; a refusal
// is answered as it stands and leaves the document untouched. Otherwise it applies the
// effects, spends the actor's Body, writes one chronicle line and, unless the order is
// a free action, ends the turn. Answers the report shown to the player.
std::string ApplyOrder(TGame& game, const TOrderRecord& record);

}  // namespace reedmark
