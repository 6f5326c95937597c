// The order dialog: opening an order with its default companion, target and quantity,
// and the dialog's fields.
#include <algorithm>

#include "model/orders.hpp"
#include "model/queue.hpp"
#include "ui/shell.hpp"

namespace reedmark {

namespace {

bool IsOneOf(int order, std::initializer_list<TOrder> orders) {
    return std::find(orders.begin(), orders.end(), order) != orders.end();
}

}  // namespace

bool FieldEnabled(int order, int field) {
    switch (field) {
        case 0:
            return !IsOneOf(order, {oRest, oGive, oFeast, oBuyFood, oSellFood, oBuyFur, oSellFur, oBuyArms, oPolicy,
                                    oAbandon, oRetire});
        case 1:
            return IsOneOf(order, {oTravel, oRecruit, oReward, oOath, oDismiss, oMove, oConvoy, oTreaty, oInvite, oWar,
                                   oScout, oRedistribute, oAssignShip, oGovernor, oDivination});
        case 2:
            return IsOneOf(order, {oHire, oGive, oReward, oWeapons, oConvoy, oBuyFood, oSellFood, oBuyFur, oSellFur,
                                   oBuyArms, oRedistribute});
        case 3: return IsOneOf(order, {oHunt, oSolicit, oPolicy});
        default: return false;
    }
}

bool IsProvinceOrder(int order) {
    return IsOneOf(order, {oTravel, oMove, oConvoy, oWar, oScout});
}

void TShell::OpenOrder(int orderKind) {
    openCategory = -1;
    const int f = CurrentFaction(game);
    if (!game.IsHumanFaction(f)) {
        statusMessage = "The AI is taking its turn. Please wait.";
        return;
    }
    const int p = CurrentProvince(game);
    order = TOrderDialog{};
    order.order = orderKind;
    order.actor = f;
    order.target = 1;
    order.quantity = 10;
    order.option = 0;
    if (!game.IsLocalMember(order.actor, p, f)) order.actor = TGame::GetInt(game.Province(p), "governor", 0);
    if (TGame::GetBool(game.Root(), "town")) order.actor = TGame::GetInt(game.Root(), "townActor", 0);
    if (IsProvinceOrder(orderKind)) {
        order.target = selectedProvince;
    } else {
        order.target = order.actor;
        for (int c = 1; c <= kCharacterCount; ++c) {
            TObj ch = game.Character(c);
            if (ch == nullptr || TGame::GetInt(ch, "province", 0) != p) continue;
            const bool qualifies = orderKind == oRecruit || orderKind == oDivination
                                       ? TGame::GetInt(ch, "faction", 0) == 0
                                       : game.IsLocalMember(c, p, f) && c != f;
            if (qualifies) {
                order.target = c;
                break;
            }
        }
    }
    if (orderKind == oTreaty || orderKind == oInvite) order.target = 2;
    if (orderKind == oShip || orderKind == oBuyShip) order.quantity = 1;
    if (orderKind == oPolicy) order.quantity = 0;
    order.quantityText = IntToStr(order.quantity);
    order.replaceQuantity = true;
    order.activeField = 4;
    for (int field = 0; field < 4; ++field) {
        if (FieldEnabled(orderKind, field)) {
            order.activeField = field;
            break;
        }
    }
    order.dialogError.clear();
    screen = scOrder;
    draw.focusIndex = 0;
}

// The dialog's keys and buttons arrive with the dialog itself; until then the keys
// that belong to it do nothing else.
void TShell::HandleOrderKey(int) {}
void TShell::OrderDialogAction(int) {}
void TShell::PickPerson(int) {}

}  // namespace reedmark
