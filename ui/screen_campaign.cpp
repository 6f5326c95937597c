// The campaign screen: the province and fellowship panels, the map with its labels and
// status bar, the command area with the order categories and their menus; the town and
// the battle take its place while they are open.
#include <algorithm>
#include <cctype>

#include "model/battle.hpp"
#include "model/orders.hpp"
#include "model/queue.hpp"
#include "ui/screens.hpp"
#include "ui/shell.hpp"

namespace reedmark {

namespace {

const char* const kMonthNames[] = {"January", "February", "March",     "April",   "May",      "June",
                                   "July",    "August",   "September", "October", "November", "December"};

std::string SeasonName(int month) {
    if (month >= 3 && month <= 5) return "Spring";
    if (month >= 6 && month <= 8) return "Summer";
    if (month >= 9 && month <= 11) return "Autumn";
    return "Winter";
}

std::string Upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// [SECTION] Category menus: an order, or a non-order item with its action code.
struct TMenuItem {
    int order;  // -1 for a non-order item
    int action;
    const char* caption;
};

struct TCategory {
    const char* heading;
    std::vector<TMenuItem> items;
};

TMenuItem Order(TOrder o) {
    return {o, 100 + o, nullptr};
}

const std::vector<TCategory>& Categories() {
    static const std::vector<TCategory> categories = {
        {"MOVE", {Order(oMove), Order(oConvoy), Order(oRedistribute), Order(oAssignShip)}},
        // Giving food to the citizens is promised by the help pages; it closes this menu.
        {"DEVELOP", {Order(oCultivate), Order(oFlood), Order(oBuild), Order(oBeasts), Order(oGive)}},
        {"TRADE AND TOWN",
         {Order(oTown),
          Order(oSolicit),
          {oHunt, 100 + oHunt, "Hunt for food"},
          {oHunt, 6701, "Hunt for fur"},
          Order(oWeapons),
          Order(oShip)}},
        {"VIEW",
         {{-1, 40, "Character roster"},
          {-1, 7090, "Chronicle and ledger"},
          {-1, 7091, "Treaties and holdings"},
          Order(oScout),
          {-1, 44, "How to play"}}},
        {"PERSONNEL",
         {Order(oRecruit), Order(oReward), Order(oOath), Order(oDismiss), Order(oGovernor), Order(oAbandon),
          Order(oRetire)}},
        {"DIPLOMACY", {Order(oTreaty), Order(oInvite)}},
        {"MILITARY", {Order(oHire), Order(oTrain), Order(oWar), Order(oWeapons), Order(oShip)}},
        {"CAMP AND GOVERNMENT", {Order(oFeast), Order(oRest), Order(oSettle), Order(oPolicy)}},
        {"OTHER",
         {{-1, 42, "Save campaign"},
          {-1, 43, "Load campaign"},
          {-1, 45, "Settings"},
          {-1, 46, "Main menu"},
          {-1, 47, nullptr},
          {-1, 48, nullptr},
          {-1, 44, "How to play"}}},
    };
    return categories;
}

std::string ItemCaption(const TShell& s, const TMenuItem& item) {
    if (item.caption != nullptr) return item.caption;
    if (item.order >= 0) return OrderName(static_cast<TOrder>(item.order));
    if (item.action == 47) return s.aiPaused ? "Resume AI" : "Pause AI";
    return s.settings.fastAI ? "AI speed: instant" : "AI speed: normal";
}

const char* const kCategoryNames[] = {"Move",      "Develop",  "Trade", "View", "Personnel",
                                      "Diplomacy", "Military", "Camp",  "Other"};

int ProvinceOwner(const TGame& game, int p) {
    return TGame::GetInt(game.Province(p), "owner", 0);
}

std::string LeaderNameOf(const TGame& game, int f) {
    return TGame::GetStr(game.Character(f), "name");
}

}  // namespace

// [SECTION] Panels

std::pair<int, int> ProvinceLabelPosition(const TShell& s, int p) {
    auto [ax, ay] = s.atlas->LabelAnchor(std::clamp(p, 1, kProvinceCount));
    return {ax * 2 + 568, ay * 2 + 16};
}

static void DrawProvincePanels(TShell& s) {
    TGame& g = s.game;
    TDrawLayer& d = s.draw;
    const int current = CurrentProvince(g);
    const int P = s.selectedProvince >= 1 && s.selectedProvince <= kProvinceCount ? s.selectedProvince : current;
    TObj prov = g.Province(P);
    const int O = TGame::GetInt(prov, "owner", 0);
    const int F = CurrentFaction(g);
    const bool exileTurn = IsExileTurn(g);
    TObj R = P == current && exileTurn ? g.ExileParty(F) : prov;
    TObj root = g.Root();
    const int month = TGame::GetInt(root, "month", 1);

    d.FillPaper(16, 16, 544, 256);
    d.DrawText(32, 26, IntToStr(P) + ": " + TGame::GetStr(prov, "name"), kNameViolet, 24);
    d.DrawText(442, 26, SeasonName(month), kProfessionBrown, 20);
    const std::string monthName = month >= 1 && month <= 12 ? kMonthNames[month - 1] : "";
    d.DrawText(32, 62, monthName + " / " + IntToStr(TGame::GetInt(root, "year", 0)) + " RC", kBlack, 22);
    if (P == current) d.DrawText(442, 64, "Orders", kRed, 20);
    if (O == 0)
        d.DrawText(32, 99, "Unclaimed province", 0x2E7D4F, 22);
    else
        d.DrawText(32, 99, LeaderNameOf(g, O) + " fellowship", FactionColour(O), 22);
    struct TFigure {
        const char* label;
        int value;
    };
    const TFigure figures[4][3] = {
        {{"Gold", TGame::GetInt(R, "gold", 0)},
         {"Food", TGame::GetInt(R, "food", 0)},
         {"Metal", TGame::GetInt(prov, "metal", 0)}},
        {{"Men", g.ProvinceSoldiers(P)},
         {"Support", TGame::GetInt(prov, "support", 0)},
         {"Heroes", g.ProvinceHeadcount(P)}},
        {{"Land", TGame::GetInt(prov, "land", 0)},
         {"Flood", TGame::GetInt(prov, "flood", 0)},
         {"Wealth", TGame::GetInt(prov, "wealth", 0)}},
        {{"Arms", TGame::GetInt(prov, "arms", 0)},
         {"Skill", TGame::GetInt(prov, "skill", 0)},
         {"Castles", TGame::GetInt(prov, "castles", 0)}},
    };
    const int columns[] = {32, 210, 404};
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 3; ++col) {
            const TFigure& f = figures[row][col];
            d.DrawText(columns[col], 140 + 32 * row, std::string(f.label) + " " + IntToStr(f.value), kBlack, 20);
        }
    }

    d.FillPaper(16, 280, 544, 280);
    s.FramedPortrait(32, 304, 140, 192, F);
    d.DrawText(190, 292, "---Fellowship---", kRed, 22);
    d.DrawText(190, 326, LeaderNameOf(g, F), kBlack, 24);
    const int beast = TGame::GetInt(prov, "beast", 0);
    if (beast < 1)
        d.DrawText(190, 358, exileTurn ? "On the open road" : "Bound by river and oath", kDarkBlue, 18);
    else
        d.DrawText(190, 358, Upper(TGame::BeastName(beast)) + " TERRORISES RESIDENTS", kRed, 16);
    int count = 0;
    long long soldiers = 0, gold = 0, food = 0;
    for (int p = 1; p <= kProvinceCount; ++p) {
        if (ProvinceOwner(g, p) != F) continue;
        ++count;
        soldiers += g.ProvinceSoldiers(p);
        gold += TGame::GetInt(g.Province(p), "gold", 0);
        food += TGame::GetInt(g.Province(p), "food", 0);
    }
    if (count == 0) {
        gold = TGame::GetInt(g.ExileParty(F), "gold", 0);
        food = TGame::GetInt(g.ExileParty(F), "food", 0);
    }
    TObj faction = g.Faction(F);
    d.DrawText(190, 392, "Provinces", kBlack, 20);
    d.DrawText(470, 392, IntToStr(count) + "/49", kBlack, 20);
    d.DrawText(190, 422, "Soldiers", kBlack, 20);
    d.DrawText(470, 422, IntToStr(soldiers), kBlack, 20);
    d.DrawText(190, 452, "Gold / Food", kBlack, 20);
    d.DrawText(380, 452, IntToStr(gold) + " / " + IntToStr(food), kBlack, 18);
    d.DrawText(190, 484, "Popularity", kBlack, 20);
    d.DrawText(470, 484, IntToStr(TGame::GetInt(faction, "popularity", 0)), kNameViolet, 20);
    d.DrawText(190, 516, "Royal Writ", kBlack, 20);
    d.DrawText(448, 516, TGame::GetBool(faction, "writ") ? "Granted" : "None", kRed, 18);

    d.FillBox(16, 576, 544, 208, kBlack);
    const int G = P == current && exileTurn ? F : TGame::GetInt(prov, "governor", 0);
    TObj gov = g.Character(G);
    s.FramedPortrait(32, 588, 140, 192, G);
    d.DrawText(202, 598, G == F ? "Leader" : "Governor", kGold, 24);
    d.DrawText(202, 638, gov ? TGame::GetStr(gov, "name") : "No governor", kNearWhite, 22);
    d.DrawText(202, 676,
               "Body " + IntToStr(TGame::GetInt(gov, "body", 0)) + " / " + IntToStr(TGame::GetInt(gov, "bodyMax", 0)),
               kPaleBlue, 20);
    d.DrawText(202, 710,
               "Str " + IntToStr(TGame::GetInt(gov, "strength", 0)) + " Dex " +
                   IntToStr(TGame::GetInt(gov, "dexterity", 0)) + " Wis " + IntToStr(TGame::GetInt(gov, "wisdom", 0)),
               kGrey, 18);
    d.DrawText(202, 748,
               "Rate " + IntToStr(TGame::GetInt(prov, "rate", 0)) + "  Fur " + IntToStr(TGame::GetInt(prov, "fur", 0)),
               kGold, 18);
}

static void DrawMapPanel(TShell& s) {
    TGame& g = s.game;
    TDrawLayer& d = s.draw;
    s.map->DrawMap(g, s.selectedProvince, s.artwork);
    d.DrawImage(s.map->Image(), "atlas", 568, 16, 696, 544);
    d.OutlineBox(568, 16, 696, 544, kBlack);
    d.DrawText(584, 26, "THE REEDMARK", kPaleBlue, 20);
    d.DrawText(584, 50, "RIVERLANDS", kPaleBlue, 20);
    for (int p = 1; p <= kProvinceCount; ++p) {
        auto [lx, ly] = ProvinceLabelPosition(s, p);
        const std::string t = IntToStr(p);
        const int tw = 9 * static_cast<int>(t.size());
        d.FillBox(lx - tw / 2 - 3, ly - 9, tw + 6, 19, kBlack);
        if (p == s.selectedProvince) d.OutlineBox(lx - tw / 2 - 5, ly - 11, tw + 10, 23, kGold);
        d.DrawText(lx - tw / 2, ly - 8, t, kNearWhite, 12);
    }
    const int home = TGame::GetInt(g.Faction(CurrentFaction(g)), "home", 0);
    if (home > 0) {
        auto [lx, ly] = ProvinceLabelPosition(s, home);
        d.FillBox(lx + 12, ly - 7, 14, 16, kBlack);
        d.FillBox(lx + 14, ly - 3, 10, 10, kNearWhite);
        d.FillBox(lx + 16, ly - 8, 6, 5, kNearWhite);
        d.DrawSegment(lx + 12, ly - 3, lx + 26, ly - 3, kGold);
        d.FillBox(lx + 18, ly + 3, 3, 5, kBlack);
    }
    d.FillBox(576, 532, 680, 22, kDarkBlue);
    const int sel = s.selectedProvince;
    const int owner = ProvinceOwner(g, sel);
    d.DrawText(586, 534,
               IntToStr(sel) + ": " + TGame::GetStr(g.Province(sel), "name") + " / " +
                   (owner == 0 ? std::string("Unclaimed") : LeaderNameOf(g, owner)),
               kNearWhite, 16);
}

// [SECTION] Command area

static void DrawCommandArea(TShell& s) {
    TGame& g = s.game;
    TDrawLayer& d = s.draw;
    const bool open = s.openCategory >= 1 && s.openCategory <= 9;
    if (!open) {
        std::string prompt = s.statusMessage;
        if (prompt.empty()) prompt = LeaderNameOf(g, CurrentFaction(g)) + ": your orders?";
        d.DrawWrapped(584, 584, 664, prompt, kPaleBlue, 18, 2);
    } else {
        d.DrawText(584, 584, "Choose an order. 0 returns.", kPaleBlue, 20);
    }
    if (!IsExileTurn(g)) {
        for (int i = 1; i <= 9; ++i) {
            d.AddMenuItem(584 + 222 * ((i - 1) % 3), 634 + 35 * ((i - 1) / 3), 218, 34, 7000 + i, open ? 0 : '0' + i,
                          kCategoryNames[i - 1], true);
        }
        d.AddMenuItem(584, 739, 218, 34, 100 + oRest, open ? 0 : '0', OrderName(oRest), true);
    } else {
        const TOrder exileOrders[] = {oTravel, oRecruit, oSettle, oRest, oScout, oRetire};
        for (int k = 0; k < 6; ++k) {
            d.AddMenuItem(584 + 222 * (k % 3), 634 + 35 * (k / 3), 218, 34, 100 + exileOrders[k], open ? 0 : '1' + k,
                          OrderName(exileOrders[k]), true);
        }
        d.AddMenuItem(1028, 704, 218, 34, 7009, open ? 0 : '9', "Other", true);
    }
    if (!open) return;
    const TCategory& category = Categories()[static_cast<size_t>(s.openCategory - 1)];
    const int n = static_cast<int>(category.items.size());
    d.DrawPanel(676, 180, 552, 48 * n + 116, category.heading);
    for (int k = 0; k < n; ++k) {
        const TMenuItem& item = category.items[static_cast<size_t>(k)];
        d.AddMenuItem(698, 210 + 48 * k, 504, 42, item.action, '1' + k, ItemCaption(s, item), true);
    }
    d.AddMenuItem(698, 222 + 48 * n, 504, 42, 7080, '0', "Back", true);
}

// [SECTION] Screen

void DrawCampaign(TShell& s) {
    if (!s.HasCampaign()) return;
    if (HasBattle(s.game)) {
        DrawBattle(s);
        return;
    }
    if (TGame::GetBool(s.game.Root(), "town")) {
        DrawTown(s);
        return;
    }
    s.draw.DrawImage(*s.background, "background", 0, 0, 1280, 800);
    DrawProvincePanels(s);
    DrawMapPanel(s);
    s.draw.FillBox(568, 576, 696, 208, kBlack);
    DrawCommandArea(s);
}

void TShell::HandleScreenClick(int x, int y) {
    if (screen == scProvince && HasCampaign()) {
        if (x > 412 && x < 1108 && y > 124 && y < 668) {
            const int p = atlas->ProvinceAt((x - 412) / 2, (y - 124) / 2);
            if (p > 0) order.target = p;
        }
        return;
    }
    if (screen == scCampaign && HasBattle(game)) {
        BattleClick(x, y);
        return;
    }
    if (screen == scCampaign && HasCampaign() && !HasBattle(game) && !TGame::GetBool(game.Root(), "town")) {
        const int p = atlas->ProvinceAt((x - 568) / 2, (y - 16) / 2);
        if (x > 567 && y > 15 && p > 0) {
            selectedProvince = p;
            statusMessage = "Province " + IntToStr(p) + " / " + TGame::GetStr(game.Province(p), "name") + ".";
        }
    }
}

}  // namespace reedmark
