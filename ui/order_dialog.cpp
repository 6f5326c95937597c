// The order dialog: opening an order with its default companion, target and quantity,
// the dialog's fields, keys and buttons, the model's preview and check, confirm and
// cancel, and the two choosers (people and provinces).
#include <algorithm>
#include <cctype>

#include "model/battle.hpp"
#include "model/orders.hpp"
#include "model/queue.hpp"
#include "model/saves.hpp"
#include "ui/screens.hpp"
#include "ui/shell.hpp"

namespace reedmark {

namespace {

// Action codes of the dialog's buttons.
constexpr int kChooseCompanion = 60;
constexpr int kChooseTarget = 61;
constexpr int kEditQuantity = 62;
constexpr int kChangeOption = 63;
constexpr int kQuantityDown = 64;
constexpr int kQuantityUp = 65;
constexpr int kConfirm = 66;
constexpr int kCancel = 67;

constexpr int kFieldCompanion = 0;
constexpr int kFieldTarget = 1;
constexpr int kFieldQuantity = 2;
constexpr int kFieldOption = 3;
constexpr int kMaxQuantityDigits = 5;

bool IsOneOf(int order, std::initializer_list<TOrder> orders) {
    return std::find(orders.begin(), orders.end(), order) != orders.end();
}

std::string Upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// The typed quantity as a number; text that is not a number reads as 0.
int QuantityValue(const std::string& text) {
    if (text.empty()) return 0;
    long long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return 0;
        value = std::min(value * 10 + (c - '0'), 1000000000LL);
    }
    return static_cast<int>(value);
}

TOrderRecord Record(const TOrderDialog& o) {
    return {static_cast<TOrder>(std::clamp(o.order, 0, kOrderCount - 1)), o.actor, o.target, o.quantity, o.option};
}

bool IsLeaderTargetOrder(int order) {
    return order == oTreaty || order == oInvite;
}

bool IsResidentTargetOrder(int order) {
    return order == oRecruit || order == oDivination;
}

// Whether id v qualifies for the active companion or target ring.
bool Qualifies(const TShell& s, int field, int v) {
    const TGame& g = s.game;
    const int p = CurrentProvince(g);
    const int f = CurrentFaction(g);
    const int order = s.order.order;
    if (field == kFieldCompanion) return g.IsLocalMember(v, p, f);
    if (IsProvinceOrder(order)) return g.AreNeighbours(p, v);
    if (IsLeaderTargetOrder(order)) {
        TObj fellowship = g.Faction(v);
        return fellowship != nullptr && TGame::GetBool(fellowship, "active") &&
               TGame::GetInt(fellowship, "home", 0) > 0 && v != f;
    }
    if (IsResidentTargetOrder(order)) {
        TObj ch = g.Character(v);
        return ch != nullptr && TGame::GetInt(ch, "province", 0) == p && TGame::GetInt(ch, "faction", 0) == 0;
    }
    return g.IsLocalMember(v, p, f);
}

std::string OptionCaption(const TOrderDialog& o) {
    if (o.order == oPolicy) {
        const char* policy = o.quantity == 0 ? "Balanced" : o.quantity == 1 ? "Develop" : "Expand";
        return std::string("Governor policy: ") + policy + " / change";
    }
    if (o.order == oHunt) return std::string("Hunt for: ") + (o.option == 0 ? "Food" : "Fur") + " / change";
    return std::string("Solicit: ") + (o.option == 0 ? "Gold" : "Metal") + " / change";
}

std::string TargetLabel(const TShell& s) {
    if (IsProvinceOrder(s.order.order)) {
        return IntToStr(s.order.target) + ": " + TGame::GetStr(s.game.Province(s.order.target), "name");
    }
    return TGame::GetStr(s.game.Character(s.order.target), "name");
}

// The dialog's message: the error of the last confirm or field change, else the check.
std::string DialogMessage(const TShell& s) {
    if (!s.order.dialogError.empty()) return s.order.dialogError;
    const TOrderRecord record = Record(s.order);
    std::string message = CheckOrder(s.game, record);
    if (!message.empty()) return message;
    message = "Ready. Confirm to give this order.";
    if (IsOneOf(record.order, {oRecruit, oOath, oTreaty, oInvite, oBeasts}))
        message += " Success chance: " + IntToStr(SuccessChance(s.game, record)) + "%.";
    return message;
}

}  // namespace

// [SECTION] Fields and opening an order

bool FieldEnabled(int order, int field) {
    switch (field) {
        case kFieldCompanion:
            return !IsOneOf(order, {oRest, oGive, oFeast, oBuyFood, oSellFood, oBuyFur, oSellFur, oBuyArms, oPolicy,
                                    oAbandon, oRetire});
        case kFieldTarget:
            return IsOneOf(order, {oTravel, oRecruit, oReward, oOath, oDismiss, oMove, oConvoy, oTreaty, oInvite, oWar,
                                   oScout, oRedistribute, oAssignShip, oGovernor, oDivination});
        case kFieldQuantity:
            return IsOneOf(order, {oHire, oGive, oReward, oWeapons, oConvoy, oBuyFood, oSellFood, oBuyFur, oSellFur,
                                   oBuyArms, oRedistribute});
        case kFieldOption: return IsOneOf(order, {oHunt, oSolicit, oPolicy});
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
            const bool qualifies = IsResidentTargetOrder(orderKind) ? TGame::GetInt(ch, "faction", 0) == 0
                                                                    : game.IsLocalMember(c, p, f) && c != f;
            if (qualifies) {
                order.target = c;
                break;
            }
        }
    }
    if (IsLeaderTargetOrder(orderKind)) order.target = 2;
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

void CycleField(TShell& s, int delta) {
    TOrderDialog& o = s.order;
    o.dialogError.clear();
    const int field = o.activeField;
    if (field < 0 || field > 3 || !FieldEnabled(o.order, field)) return;
    if (field == kFieldOption) {
        if (o.order == oPolicy) {
            const int policy = ((QuantityValue(o.quantityText) + delta + 3) % 3 + 3) % 3;
            o.quantity = policy;
            o.quantityText = IntToStr(policy);
        } else {
            o.option = 1 - o.option;
        }
        return;
    }
    if (field == kFieldQuantity) {
        const int q = std::max(QuantityValue(o.quantityText) + delta, 1);
        o.quantity = q;
        o.quantityText = IntToStr(q);
        return;
    }
    // Companion or target: step round the ring of ids to the next one that qualifies.
    const long long n = field == kFieldTarget && IsProvinceOrder(o.order) ? kProvinceCount : kCharacterCount;
    int& value = field == kFieldCompanion ? o.actor : o.target;
    const int start = value;
    long long v = value;
    for (long long step = 0; step < n; ++step) {
        v = ((((v - 1 + delta) % n) + n) % n) + 1;
        if (Qualifies(s, field, static_cast<int>(v))) {
            value = static_cast<int>(v);
            return;
        }
    }
    value = start;
}

// [SECTION] Keys and actions

void TShell::HandleOrderKey(int key) {
    if (key == SDLK_LEFT || key == SDLK_RIGHT) {
        CycleField(*this, key == SDLK_LEFT ? -1 : 1);
        return;
    }
    if (key == SDLK_UP || key == SDLK_DOWN) {
        const int delta = key == SDLK_UP ? -1 : 1;
        int field = order.activeField;
        for (int tries = 0; tries < 4; ++tries) {
            field = ((field + delta) % 4 + 4) % 4;
            if (FieldEnabled(order.order, field)) {
                order.activeField = field;
                const int button = order.fieldButton[static_cast<size_t>(field)];
                if (button >= 0) draw.focusIndex = button;
                return;
            }
        }
        return;
    }
    // Digits and Backspace edit the typed quantity while that field is active.
    if (order.activeField != kFieldQuantity || !FieldEnabled(order.order, kFieldQuantity)) return;
    if (key >= '0' && key <= '9') {
        if (order.replaceQuantity) {
            order.quantityText.clear();
            order.replaceQuantity = false;
        }
        if (static_cast<int>(order.quantityText.size()) < kMaxQuantityDigits)
            order.quantityText += static_cast<char>(key);
        order.dialogError.clear();
    } else if (key == SDLK_BACKSPACE) {
        if (!order.quantityText.empty()) order.quantityText.pop_back();
        order.dialogError.clear();
    }
    order.quantity = QuantityValue(order.quantityText);
}

void TShell::OrderDialogAction(int code) {
    switch (code) {
        case kChooseCompanion:
            order.chooserMode = 0;
            order.chooserPage = 0;
            screen = scCompanion;
            break;
        case kChooseTarget:
            order.chooserMode = 1;
            order.chooserPage = 0;
            order.savedTarget = order.target;
            screen = IsProvinceOrder(order.order) ? scProvince : scCompanion;
            break;
        case kEditQuantity:
            order.activeField = kFieldQuantity;
            order.replaceQuantity = true;
            break;
        case kChangeOption:
            order.activeField = kFieldOption;
            CycleField(*this, 1);
            break;
        case kQuantityDown:
        case kQuantityUp:
            order.activeField = kFieldQuantity;
            CycleField(*this, code == kQuantityDown ? -1 : 1);
            break;
        case kConfirm: {
            order.quantity = QuantityValue(order.quantityText);
            const TOrderRecord record = Record(order);
            order.dialogError = CheckOrder(game, record);
            if (!order.dialogError.empty()) {
                PlayTone(false);
                break;
            }
            if (record.order == oTown) townMenu = 0;
            const std::string result = ApplyOrder(game, record);
            PlayTone(true);
            statusMessage = result;
            screen = scCampaign;
            selectedProvince = CurrentProvince(game);
            QuickSave();
            if (HasBattle(game)) SaveCampaign(game, prefDir + "battle-auto.json");
            break;
        }
        case kCancel:
            screen = scCampaign;
            statusMessage = "Order cancelled. No changes committed.";
            break;
        default: break;
    }
}

void TShell::PickPerson(int character) {
    if (order.chooserMode == 0)
        order.actor = character;
    else
        order.target = character;
    order.dialogError.clear();
    screen = scOrder;
    draw.focusIndex = 0;
}

// [SECTION] Drawing

void DrawOrderDialog(TShell& s) {
    if (!s.HasCampaign()) return;
    TDrawLayer& d = s.draw;
    const TGame& g = s.game;
    TOrderDialog& o = s.order;
    o.quantity = QuantityValue(o.quantityText);
    const TOrderRecord record = Record(o);

    d.DrawPanel(48, 90, 1184, 640, Upper(OrderName(record.order)));
    d.FillPaper(64, 112, 320, 602);
    s.FramedPortrait(84, 132, 264, 352, o.actor);
    TObj actor = g.Character(o.actor);
    d.DrawText(82, 514, TGame::GetStr(actor, "name"), kNameViolet, 24);
    d.DrawText(82, 550, TGame::GetStr(actor, "profession"), kProfessionBrown, 20);
    d.DrawText(
        82, 590,
        "Body " + IntToStr(TGame::GetInt(actor, "body", 0)) + " / " + IntToStr(TGame::GetInt(actor, "bodyMax", 0)),
        kBlack, 20);
    d.DrawText(82, 628,
               "Str " + IntToStr(TGame::GetInt(actor, "strength", 0)) + " Dex " +
                   IntToStr(TGame::GetInt(actor, "dexterity", 0)),
               kBlack, 18);
    d.DrawText(82, 660, "Wisdom " + IntToStr(TGame::GetInt(actor, "wisdom", 0)), kBlack, 18);

    const bool townRest = record.order == oRest && TGame::GetBool(g.Root(), "town");
    const std::string preview = townRest ? "End your visit and return to the lair. Confirmed transactions are "
                                           "retained. This closes the province order."
                                         : PreviewOrder(g, record);
    d.DrawWrapped(420, 126, 776, preview, kPaleBlue, 18, 5);

    o.fieldButton = {-1, -1, -1, -1};
    int y = 278;
    if (FieldEnabled(o.order, kFieldCompanion)) {
        o.fieldButton[0] = d.AddButton(420, y, 780, 44, kChooseCompanion, "Companion: " + TGame::GetStr(actor, "name"));
        y += 62;
    }
    if (FieldEnabled(o.order, kFieldTarget)) {
        o.fieldButton[1] = d.AddButton(420, y, 780, 44, kChooseTarget, "Target: " + TargetLabel(s) + " / choose");
        y += 62;
    }
    if (FieldEnabled(o.order, kFieldQuantity)) {
        o.fieldButton[2] =
            d.AddButton(420, y, 520, 44, kEditQuantity, "Quantity: " + o.quantityText + " / type digits");
        d.AddButton(958, y, 110, 44, kQuantityDown, "-");
        d.AddButton(1088, y, 112, 44, kQuantityUp, "+");
        y += 62;
    }
    if (FieldEnabled(o.order, kFieldOption)) {
        o.fieldButton[3] = d.AddButton(420, y, 780, 44, kChangeOption, OptionCaption(o));
    }

    d.DrawWrapped(420, 546, 776, DialogMessage(s), kGold, 18, 4);
    d.AddButton(420, 666, 370, 48, kConfirm, "Confirm order");
    d.AddButton(812, 666, 388, 48, kCancel, "Cancel / Esc");
}

std::vector<int> BuildChooserList(const TShell& s, int mode) {
    const TGame& g = s.game;
    std::vector<int> list;
    if (!s.HasCampaign()) return list;
    if (mode < 0) {
        // The roster: the living people of the selected province that pass the filter,
        // in a stable insertion sort by the chosen key (ties keep ascending ids).
        const int f = CurrentFaction(g);
        for (int c = 1; c <= kCharacterCount; ++c) {
            TObj ch = g.Character(c);
            if (ch == nullptr || !TGame::GetBool(ch, "alive") || TGame::GetInt(ch, "province", 0) != s.selectedProvince)
                continue;
            const bool captured = TGame::GetBool(ch, "captured");
            const int faction = TGame::GetInt(ch, "faction", 0);
            bool listed = true;
            switch (s.rosterFilter) {
                case 1: listed = faction == f && !captured; break;
                case 2: listed = faction == 0 && !captured; break;
                case 3: listed = captured; break;
                default: break;
            }
            if (listed) list.push_back(c);
        }
        static const char* const kKeys[8] = {"",          "name",   "body",    "strength",
                                             "dexterity", "wisdom", "loyalty", "soldiers"};
        const int sort = std::clamp(s.rosterSort, 0, 7);
        auto lowerName = [&](int c) {
            std::string name = TGame::GetStr(g.Character(c), "name");
            for (char& ch : name)
                if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
            return name;
        };
        // before(a, b): a belongs strictly before b.
        auto before = [&](int a, int b) {
            if (sort == 0) return a < b;
            if (sort == 1) return lowerName(a) < lowerName(b);
            return TGame::GetInt(g.Character(a), kKeys[sort], 0) > TGame::GetInt(g.Character(b), kKeys[sort], 0);
        };
        for (size_t i = 1; i < list.size(); ++i) {
            const int item = list[i];
            size_t j = i;
            while (j > 0 && before(item, list[j - 1])) {
                list[j] = list[j - 1];
                --j;
            }
            list[j] = item;
        }
        return list;
    }
    const int p = CurrentProvince(g);
    const int f = CurrentFaction(g);
    const int order = s.order.order;
    for (int c = 1; c <= kCharacterCount; ++c) {
        TObj ch = g.Character(c);
        bool offered = false;
        if (mode == 0) {
            offered = g.IsLocalMember(c, p, f);
        } else if (IsLeaderTargetOrder(order)) {
            TObj fellowship = g.Faction(TGame::GetInt(ch, "faction", 0));
            offered = ch != nullptr && TGame::GetBool(ch, "alive") && fellowship != nullptr &&
                      TGame::GetBool(fellowship, "active") && TGame::GetInt(fellowship, "home", 0) > 0 && c != f;
        } else if (IsResidentTargetOrder(order)) {
            offered = ch != nullptr && TGame::GetBool(ch, "alive") && TGame::GetInt(ch, "province", 0) == p &&
                      TGame::GetInt(ch, "faction", 0) == 0 && !TGame::GetBool(ch, "captured");
        } else {
            offered = g.IsLocalMember(c, p, f);
        }
        if (offered) list.push_back(c);
    }
    return list;
}

void DrawPersonChooser(TShell& s) {
    if (!s.HasCampaign()) return;
    TDrawLayer& d = s.draw;
    const TOrderDialog& o = s.order;
    std::string title = "CHOOSE A COMPANION";
    if (o.chooserMode != 0) title = std::string("CHOOSE ") + (IsLeaderTargetOrder(o.order) ? "A LEADER" : "A PERSON");
    d.DrawPanel(30, 98, 1218, 676, title);
    d.DrawWrapped(52, 120, 1150,
                  o.chooserMode == 0 ? "Choose a companion, then confirm your order."
                                     : "Choose a person, then confirm your order.",
                  kPaleBlue, 18, 2);
    const std::vector<int> list = BuildChooserList(s, o.chooserMode == 0 ? 0 : 1);
    const int length = static_cast<int>(list.size());
    const int page = std::max(o.chooserPage, 0);
    for (int k = 0; k < 6 && page + k < length; ++k) {
        const int id = list[static_cast<size_t>(page + k)];
        DrawCharacterCard(s, 48 + 604 * (k % 2), 168 + 164 * (k / 2), 572, 156, id, 6300 + id, '1' + k, true);
    }
    if (length == 0) d.DrawText(60, 210, "No eligible people are available here.", kGold, 20);
    d.AddButton(48, 710, 184, 40, 6230, "Previous");
    d.AddButton(252, 710, 184, 40, 6231, "Next");
    d.DrawText(
        466, 722,
        IntToStr(std::min(page + 1, length)) + "-" + IntToStr(std::min(page + 6, length)) + " of " + IntToStr(length),
        kPaleBlue, 18);
    d.AddButton(1034, 710, 190, 40, 6206, "Cancel");
}

void DrawProvinceChooser(TShell& s) {
    if (!s.HasCampaign()) return;
    TDrawLayer& d = s.draw;
    const TGame& g = s.game;
    const int T = s.order.target;
    TObj prov = g.Province(T);
    d.DrawPanel(30, 98, 1218, 676, "CHOOSE A PROVINCE");
    d.FillPaper(48, 124, 332, 534);
    d.DrawText(64, 144, IntToStr(T) + ": " + TGame::GetStr(prov, "name"), kNameViolet, 22);
    d.DrawText(64, 194, "Ruler", kProfessionBrown, 18);
    const int owner = TGame::GetInt(prov, "owner", 0);
    d.DrawWrapped(64, 224, 296, owner == 0 ? "Unclaimed" : TGame::GetStr(g.Character(owner), "name"), kBlack, 22, 2);
    d.DrawText(64, 302, "Soldiers " + IntToStr(prov != nullptr ? g.ProvinceSoldiers(T) : 0), kBlack, 20);
    d.DrawText(64, 342, "Food " + IntToStr(TGame::GetInt(prov, "food", 0)), kBlack, 20);
    d.DrawText(64, 382, "Support " + IntToStr(TGame::GetInt(prov, "support", 0)), kBlack, 20);
    d.DrawText(64, 422, "Castles " + IntToStr(TGame::GetInt(prov, "castles", 0)), kBlack, 20);
    const bool adjacent = g.AreNeighbours(CurrentProvince(g), T);
    d.DrawWrapped(64, 482, 296,
                  std::string(adjacent ? "Adjacent to your current province." : "This province is not adjacent.") +
                      " " + (TGame::GetBool(prov, "snow") ? "Snow blocks travel." : ""),
                  kProfessionBrown, 18, 5);

    s.map->DrawMap(g, T, s.artwork);
    d.DrawImage(s.map->Image(), "atlas", 412, 124, 696, 544);
    for (int p = 1; p <= kProvinceCount; ++p) {
        auto [mx, my] = ProvinceLabelPosition(s, p);
        const int lx = mx - 568 + 412;
        const int ly = my - 16 + 124;
        const std::string t = IntToStr(p);
        const int tw = 9 * static_cast<int>(t.size());
        d.FillBox(lx - tw / 2 - 3, ly - 9, tw + 6, 19, kBlack);
        if (p == T) d.OutlineBox(lx - tw / 2 - 5, ly - 11, tw + 10, 23, kGold);
        d.DrawText(lx - tw / 2, ly - 8, t, kNearWhite, 12);
    }
    d.AddButton(48, 700, 532, 50, 6205, "Choose this province");
    d.AddButton(604, 700, 620, 50, 6206, "Cancel");
}

}  // namespace reedmark
