// The character roster of the selected province (sorted, filtered, eight to a page),
// the character cards it shares with the person chooser, and the character record.
#include <algorithm>

#include "model/orders.hpp"
#include "model/queue.hpp"
#include "ui/screens.hpp"
#include "ui/shell.hpp"

namespace reedmark {

const char* const kSortCaptions[8] = {"ID", "Name", "Body", "Strength", "Dexterity", "Wisdom", "Loyalty", "Soldiers"};
const char* const kFilterCaptions[4] = {"All people", "Your fellowship", "Free residents", "Prisoners"};

namespace {

constexpr std::uint32_t kCardEdge = 0x7E6C4C;

std::string Stat(TObj ch, const char* key) {
    return IntToStr(TGame::GetInt(ch, key, 0));
}

void StatCell(TDrawLayer& d, int x, int y, const std::string& label, const std::string& value) {
    d.DrawText(x, y, label, kGold, 16);
    d.DrawText(x + 104, y, value, kNearWhite, 16);
}

}  // namespace

void DrawCharacterCard(TShell& s, int x, int y, int w, int h, int charId, int action, int hotkey, bool tall) {
    TDrawLayer& d = s.draw;
    const TGame& g = s.game;
    TObj ch = g.Character(charId);
    d.SetHotkey(d.AddButton(x, y, w, h, action, ""), hotkey);
    d.OutlineBox(x, y, w, h, kCardEdge);
    const int pw = tall ? 104 : 78;
    const int ph = tall ? 138 : 104;
    const int size = tall ? 20 : 18;
    s.FramedPortrait(x + 12, y + 8, pw, ph, charId);
    const int tx = x + pw + 30;
    d.DrawText(tx, y + 10, std::string(1, static_cast<char>(hotkey)) + " " + TGame::GetStr(ch, "name"), kGold, size);
    std::string line;
    if (TGame::GetBool(ch, "captured")) {
        line = "Prisoner";
    } else {
        line = TGame::GetStr(ch, "profession");
        if (TGame::GetInt(ch, "faction", 0) == 0) line += " / free";
    }
    d.DrawText(tx, y + 38, line, kPaleBlue, 16);
    d.DrawText(tx, y + 62, "Body " + Stat(ch, "body") + "/" + Stat(ch, "bodyMax") + "  Men " + Stat(ch, "soldiers"),
               kNearWhite, 16);
    d.DrawText(tx, y + 84,
               "Str " + Stat(ch, "strength") + "  Dex " + Stat(ch, "dexterity") + "  Wis " + Stat(ch, "wisdom"),
               kNearWhite, 16);
    if (!tall) {
        d.DrawText(tx, y + 104,
                   "Loyalty " + Stat(ch, "loyalty") + "  Ship " + (TGame::GetBool(ch, "ship") ? "yes" : "no"), kGrey,
                   14);
        return;
    }
    // Compatibility with the recruiter when choosing whom to approach, else with the
    // leader of the fellowship whose turn it is.
    const bool resident = s.order.chooserMode == 1 && (s.order.order == oRecruit || s.order.order == oDivination);
    const int r = resident ? s.order.actor : CurrentFaction(g);
    d.DrawText(tx, y + 110,
               "Loyalty " + Stat(ch, "loyalty") + "  Compatibility " + IntToStr(g.Compatibility(r, charId)), kGrey, 14);
}

void DrawRoster(TShell& s) {
    if (!s.HasCampaign()) return;
    TDrawLayer& d = s.draw;
    const std::vector<int> list = BuildChooserList(s, -1);
    const int length = static_cast<int>(list.size());
    // A page beyond the end (after the filter shrank the list) snaps back to the last one.
    if (s.listScroll >= length && s.listScroll > 0) s.listScroll = length > 0 ? (length - 1) / 8 * 8 : 0;
    const int scroll = std::max(s.listScroll, 0);
    d.DrawPanel(30, 98, 1218, 676, "CHARACTERS / " + TGame::GetStr(s.game.Province(s.selectedProvince), "name"));
    d.AddButton(48, 120, 540, 36, 6101, std::string("Sort: ") + kSortCaptions[std::clamp(s.rosterSort, 0, 7)] + " (S)");
    d.AddButton(652, 120, 572, 36, 6102,
                std::string("Show: ") + kFilterCaptions[std::clamp(s.rosterFilter, 0, 3)] + " (F)");
    for (int k = 0; k < 8 && scroll + k < length; ++k) {
        const int id = list[static_cast<size_t>(scroll + k)];
        DrawCharacterCard(s, 48 + 604 * (k % 2), 176 + 128 * (k / 2), 572, 120, id, 1000 + id, '1' + k, false);
    }
    if (length == 0) d.DrawText(60, 208, "No people match this view.", kPaleBlue, 20);
    d.AddButton(48, 710, 184, 40, 50, "Previous");
    d.AddButton(252, 710, 184, 40, 51, "Next");
    d.DrawText(466, 722,
               IntToStr(std::min(scroll + 1, length)) + "-" + IntToStr(std::min(scroll + 8, length)) + " of " +
                   IntToStr(length),
               kPaleBlue, 18);
    d.AddButton(1034, 710, 190, 40, 8, "Back");
}

void DrawRecord(TShell& s) {
    if (!s.HasCampaign()) return;
    TDrawLayer& d = s.draw;
    const int R = s.recordChar;
    TObj ch = s.game.Character(R);
    d.DrawPanel(140, 110, 1000, 606, "CHARACTER RECORD");
    s.FramedPortrait(180, 160, 160, 200, R);
    d.DrawText(390, 160, TGame::GetStr(ch, "name"), kGold, 28);
    const std::string profession = TGame::GetStr(ch, "profession");
    d.DrawText(390, 210, profession + " / Age " + Stat(ch, "age") + " / " + TGame::GetStr(ch, "pronouns"), kPaleBlue,
               16);
    d.DrawText(390, 250, "Role: " + TGame::GetStr(ch, "role"), kPaleBlue, 16);
    d.DrawText(390, 288, "Stamina " + Stat(ch, "body") + " / " + Stat(ch, "bodyMax"), kPaleBlue, 16);
    StatCell(d, 190, 410, "Strength", Stat(ch, "strength"));
    StatCell(d, 490, 410, "Dexterity", Stat(ch, "dexterity"));
    StatCell(d, 810, 410, "Wisdom", Stat(ch, "wisdom"));
    StatCell(d, 190, 464, "Integrity", Stat(ch, "integrity"));
    StatCell(d, 490, 464, "Mercy", Stat(ch, "mercy"));
    StatCell(d, 810, 464, "Courage", Stat(ch, "courage"));
    d.DrawWrapped(190, 536, 890,
                  CharacterBlurb(R, profession) +
                      " Navigation: " + (TGame::GetBool(ch, "navigator") ? "True" : "False") +
                      ". Ship: " + (TGame::GetBool(ch, "ship") ? "True" : "False") + ".",
                  kGrey, 18, 4);
    d.AddButton(190, 650, 890, 42, 8, "Back to roster");
}

}  // namespace reedmark
