// The town screen while a fellowship visits the town of its province: the town picture,
// the visitor, the province's stores, the market's quoted prices and the menu of town
// places, whose items open the town orders in the order dialog.
#include <cctype>

#include "model/orders.hpp"
#include "model/queue.hpp"
#include "ui/screens.hpp"
#include "ui/shell.hpp"

namespace reedmark {

namespace {

constexpr int kTownWidth = 744;
constexpr int kTownHeight = 528;

std::string Upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// A town place or order; a closed place keeps working but says so and is drawn grey.
void TownItem(TDrawLayer& d, int index, const std::string& caption, int action, int hotkey, bool enabled) {
    d.AddMenuItem(808, 614 + 32 * index, 432, 30, action, hotkey, enabled ? caption : caption + " (closed)", enabled);
}

void PriceRow(TDrawLayer& d, int y, const std::string& label, const std::string& value, bool available) {
    d.DrawText(808, y, label, kBlack, 18);
    d.DrawText(1080, y, value, available ? kProfessionBrown : kDarkGrey, 16);
}

TArt& TownPicture(TShell& s) {
    if (!s.townPicture) {
        s.townPicture = std::make_unique<TArt>(kTownWidth, kTownHeight);
        if (!s.artwork.PaintLandscape(*s.townPicture))
            s.townPicture->FillRect(0, 0, kTownWidth, kTownHeight, kDarkBlue);
    }
    return *s.townPicture;
}

}  // namespace

void DrawTown(TShell& s) {
    TDrawLayer& d = s.draw;
    const TGame& g = s.game;
    const int p = CurrentProvince(g);
    TObj P = g.Province(p);
    TObj actor = g.Character(TGame::GetInt(g.Root(), "townActor", 0));
    const int rate = TGame::GetInt(P, "rate", 0);
    const bool smithy = TGame::GetBool(P, "smithy");
    const bool shipyard = TGame::GetBool(P, "shipyard");

    // 1, 2. The picture with its name and caption bars.
    d.DrawImage(*s.background, "background", 0, 0, 1280, 800);
    d.DrawFrame(16, 16, 760, 544);
    d.DrawImage(TownPicture(s), "town", 24, 24, kTownWidth, kTownHeight);
    d.FillBox(38, 40, 694, 34, kBlack);
    d.DrawText(54, 47, "TOWN OF " + Upper(TGame::GetStr(P, "name")), kGold, 24);
    d.FillBox(38, 500, 694, 32, kBlack);
    d.DrawText(54, 507, "Markets, travelers and the news of the riverlands", kPaleBlue, 18);

    // 3, 4. The visitor and the stores.
    d.FillPaper(792, 16, 472, 544);
    s.FramedPortrait(808, 36, 122, 168, TGame::GetInt(g.Root(), "townActor", 0));
    d.DrawText(952, 36, TGame::GetStr(actor, "name"), kNameViolet, 22);
    d.DrawText(952, 78, "Visiting the town", kProfessionBrown, 18);
    d.DrawText(952, 116, "Body " + IntToStr(TGame::GetInt(actor, "body", 0)), kBlack, 18);
    d.DrawText(952, 154, "Market rate " + IntToStr(rate), kBlack, 18);
    d.DrawText(952, 188, "Prices change each month", kProfessionBrown, 14);
    d.DrawText(808, 230, "Gold " + IntToStr(TGame::GetInt(P, "gold", 0)), kBlack, 20);
    d.DrawText(1048, 230, "Food " + IntToStr(TGame::GetInt(P, "food", 0)), kBlack, 20);
    d.DrawText(808, 266, "Metal " + IntToStr(TGame::GetInt(P, "metal", 0)), kBlack, 20);
    d.DrawText(1048, 266, "Fur " + IntToStr(TGame::GetInt(P, "fur", 0)), kBlack, 20);

    // 5, 6. Quoted prices and which places are open.
    d.DrawText(808, 310, "QUOTED PRICES / GOLD", kNameViolet, 20);
    PriceRow(d, 350, "Food: buy / sell", PriceText(g, oBuyFood, p) + " / " + PriceText(g, oSellFood, p), true);
    PriceRow(d, 386, "Fur: buy / sell", PriceText(g, oBuyFur, p) + " / " + PriceText(g, oSellFur, p), true);
    PriceRow(d, 422, "Arms: per point", IntToStr((rate + 4) / 5), smithy);
    PriceRow(d, 458, "Ship: each", IntToStr((rate + 1) / 2), shipyard);
    d.DrawText(808, 508,
               std::string("Smithy ") + (smithy ? "open" : "closed") + " / Shipyard " + (shipyard ? "open" : "closed"),
               kProfessionBrown, 16);

    // 7, 8. The message area and the general buttons.
    d.FillBox(16, 576, 760, 208, kBlack);
    d.DrawWrapped(32, 590, 728, s.statusMessage, kPaleBlue, 18, 2);
    d.AddButton(32, 650, 160, 40, 42, "Save");
    d.AddButton(214, 650, 160, 40, 43, "Load");
    d.AddButton(396, 650, 160, 40, 40, "People");
    d.AddButton(578, 650, 160, 40, 44, "Help");
    d.AddMenuItem(32, 712, 706, 46, 100 + oRest, '0', "Return to lair", true);

    // 9, 10. The menu of the current town place.
    static const char* const kHeadings[5] = {"TOWN", "MARKETPLACE", "DOWNTOWN", "SMITHY", "SHIPYARD"};
    const int menu = s.townMenu >= 0 && s.townMenu <= 4 ? s.townMenu : 0;
    d.FillBox(792, 576, 472, 208, kBlack);
    d.DrawText(808, 586, kHeadings[menu], kGold, 22);
    switch (menu) {
        case 0:
            TownItem(d, 0, "Marketplace", 6601, '1', true);
            TownItem(d, 1, "Downtown", 6602, '2', true);
            TownItem(d, 2, "Smithy", 6603, '3', smithy);
            TownItem(d, 3, "Shipyard", 6604, '4', shipyard);
            break;
        case 1:
            TownItem(d, 0, "Buy food", 100 + oBuyFood, '1', true);
            TownItem(d, 1, "Sell food", 100 + oSellFood, '2', true);
            TownItem(d, 2, "Buy fur", 100 + oBuyFur, '3', true);
            TownItem(d, 3, "Sell fur", 100 + oSellFur, '4', true);
            TownItem(d, 4, "Back to town", 6605, '0', true);
            break;
        case 2:
            TownItem(d, 0, "Recruit a resident", 100 + oRecruit, '1', true);
            TownItem(d, 1, "Divination", 100 + oDivination, '2', true);
            TownItem(d, 2, "Listen to rumors", 100 + oRumors, '3', true);
            TownItem(d, 4, "Back to town", 6605, '0', true);
            break;
        case 3:
            TownItem(d, 0, "Buy arms", 100 + oBuyArms, '1', smithy);
            TownItem(d, 4, "Back to town", 6605, '0', true);
            break;
        default:
            TownItem(d, 0, "Buy a ship", 100 + oBuyShip, '1', shipyard);
            TownItem(d, 4, "Back to town", 6605, '0', true);
            break;
    }
}

}  // namespace reedmark
