// The record screens: help pages, save and load slots, the chronicle, the table of
// fellowships and treaties, and the screen of an ended campaign.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <string>
#include <system_error>

#include "model/queue.hpp"
#include "ui/screens.hpp"
#include "ui/shell.hpp"

namespace reedmark {

const char* const kHelpPages[6] = {
    "THE FELLOWSHIP. You lead an outlaw fellowship in the fictional Tarn Empire. Win public support, "
    "earn a Royal Writ and defeat Chancellor Gao Kiu before January 327. The writ is awarded in January "
    "to settled leaders with Popularity 250. Without it, his home is protected. Other provinces may be "
    "attacked normally.",
    "ON THE ROAD. The Exiles scenario begins without land. Travel along an atlas connection, recruit "
    "residents, then Settle an unclaimed province. Settlement grants 30 Food once. Next month, cultivate "
    "fields and build public support. Body is stamina: full command cost is required before commitment. "
    "Rest restores 10 plus the normal monthly 5.",
    "SUPPLIES AND THE PEOPLE. Each serving character costs 1 Gold per month. Troops eat one Food per ten "
    "soldiers, rounded up. Unpaid people lose loyalty and hungry armies desert. January taxes require "
    "Support 40. Cultivate, construction and flood works raise support. Give citizens food to build "
    "support and popularity. Keep a reserve for winter.",
    "COMPANIONS AND GOVERNORS. Recruitment depends on Wisdom, compatibility and Popularity. Reward "
    "followers to increase Loyalty. A follower with Loyalty 95 and compatibility 70 may swear an oath. "
    "Sworn governors give direct control. Ordinary governors act once per month under their selected "
    "policy. Free troop and ship transfers preserve exact totals.",
    "WAR. Choose an adjacent enemy province and provide Gold, Body and Food. Treaties block attacks. "
    "Human defenders can fight, resolve automatically, or withdraw. Defenders move first. Select a unit "
    "explicitly, choose an action, then an enemy or destination. Every unit acts once per day. Arrow "
    "keys move the battlefield cursor; Enter confirms. Rest or pass with R. Battles end after 30 days in "
    "the defender favor.",
    "CONTROLS AND SAVES. Tab / Shift-Tab selects a button. Enter activates. Escape returns or cancels. "
    "Mouse clicks work on all buttons and map cells. Order dialogs use Left/Right to cycle companion and "
    "target; type quantities in the quantity field. F5 quicksaves and F9 quickloads. Ten manual slots "
    "and three rotating autosaves store the queue, random state and ongoing battle. Town purchases "
    "persist until Return to lair.",
};

namespace {

// The modification time of a save slot as "YYYY-MM-DD HH:MM:SS" local time, or "" when
// the file is missing or its directory entry cannot be read.
std::string SlotTime(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (!fs::is_regular_file(path, ec) || ec) return "";
    const fs::file_time_type written = fs::last_write_time(path, ec);
    if (ec) return "";
    const auto sys = std::chrono::file_clock::to_sys(written);
    const std::time_t t =
        std::chrono::system_clock::to_time_t(std::chrono::time_point_cast<std::chrono::system_clock::duration>(sys));
    std::tm local{};
    if (localtime_r(&t, &local) == nullptr) return "";
    char text[32];
    if (std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local) == 0) return "";
    return text;
}

// One row of the fellowship table, as "%-18s %3d      %5d       %3d       %s" formats
// it: the name is padded to 18 columns and a longer name pushes the columns right.
std::string TreatyRow(const std::string& name, int lands, int soldiers, int popularity, bool writ) {
    std::string row(name.c_str());
    if (row.size() < 18) row.resize(18, ' ');
    char columns[96];
    std::snprintf(columns, sizeof columns, " %3d      %5d       %3d       %s", lands, soldiers, popularity,
                  writ ? "Yes" : "No");
    return row + columns;
}

std::string LeaderOf(const TGame& game, int f) {
    return TGame::GetStr(game.Character(f), "name");
}

}  // namespace

void DrawHelp(TShell& s) {
    TDrawLayer& d = s.draw;
    const int page = std::clamp(s.helpPage, 0, 5);
    d.DrawPanel(100, 110, 1080, 606, "A WAYFARER GUIDE / " + IntToStr(page + 1) + " OF 6");
    d.DrawWrapped(144, 160, 990, kHelpPages[page], kPaleBlue, 22, 17);
    d.AddButton(144, 640, 280, 46, 70, "Previous");
    d.AddButton(456, 640, 280, 46, 71, "Next");
    d.AddButton(768, 640, 368, 46, 8, "Back");
}

void DrawSlots(TShell& s) {
    TDrawLayer& d = s.draw;
    d.DrawPanel(200, 98, 880, 640, s.slotsMode == 1 ? "SAVE CAMPAIGN" : "LOAD CAMPAIGN");
    for (int n = 1; n <= 10; ++n) {
        const std::string when = SlotTime(s.prefDir + "slot" + IntToStr(n) + ".json");
        d.AddButton(238, 128 + 49 * (n - 1), 804, 40, 2000 + n,
                    "Slot " + IntToStr(n) + " / " + (when.empty() ? std::string("empty") : when));
    }
    d.AddButton(238, 652, 804, 48, 8, "Back");
}

void DrawChronicle(TShell& s) {
    TDrawLayer& d = s.draw;
    d.DrawPanel(50, 100, 1180, 630, "CHRONICLE AND LEDGER");
    // The newest 17 lines, moved back by the scroll; the scroll has no upper bound, so
    // the arithmetic is done wide and the view simply stops at the oldest line.
    const auto& lines = s.game.Chronicle();
    const long long n = static_cast<long long>(lines.size());
    const long long first = std::max(n - 17 - static_cast<long long>(s.listScroll), 0LL);
    const long long last = std::min(first + 16, n - 1);
    for (long long i = first; i <= last; ++i) {
        d.DrawWrapped(78, static_cast<int>(136 + 30 * (i - first)), 1110, lines[static_cast<size_t>(i)], kPaleBlue, 16,
                      1);
    }
    d.AddButton(78, 664, 200, 40, 50, "Older");
    d.AddButton(300, 664, 200, 40, 51, "Newer");
    d.AddButton(990, 664, 210, 40, 8, "Back");
}

void DrawTreaties(TShell& s) {
    TDrawLayer& d = s.draw;
    const TGame& game = s.game;
    d.DrawPanel(60, 100, 1160, 630, "FELLOWSHIPS AND TREATIES");
    d.DrawText(90, 138, "LEADER             LANDS    SOLDIERS   POPULARITY   WRIT", kGold, 20);

    // One row per active fellowship, after the scrolled-away ones, while rows fit.
    const int scroll = std::max(s.listScroll, 0);
    const int factions = game.FactionCount();
    int row = 0;
    for (int f = 1; f <= factions; ++f) {
        TObj fellowship = game.Faction(f);
        if (!TGame::GetBool(fellowship, "active")) continue;
        const int index = row++;
        if (index < scroll) continue;
        const long long y = 180 + 33LL * (index - scroll);
        if (y > 546) break;
        int lands = 0;
        long long soldiers = 0;
        for (int p = 1; p <= kProvinceCount; ++p) {
            if (TGame::GetInt(game.Province(p), "owner", 0) != f) continue;
            ++lands;
            soldiers += game.ProvinceSoldiers(p);
        }
        d.DrawText(90, static_cast<int>(y),
                   TreatyRow(LeaderOf(game, f), lands, Clamp(soldiers, 0, kIntLimit),
                             TGame::GetInt(fellowship, "popularity", 0), TGame::GetBool(fellowship, "writ")),
                   kNearWhite, 20);
    }

    // The treaties of the fellowship whose turn it is.
    const int current = CurrentFaction(game);
    std::string text = "Your treaties: ";
    bool any = false;
    TArr treaties = TGame::GetArr(game.Root(), "treaties");
    const int count = current >= 1 ? TGame::ArrLen(treaties) : 0;
    for (int i = 0; i < count; ++i) {
        TObj treaty = TGame::ArrObj(treaties, i);
        const int a = TGame::GetInt(treaty, "a", 0);
        const int b = TGame::GetInt(treaty, "b", 0);
        if (treaty == nullptr || (a != current && b != current)) continue;
        text += LeaderOf(game, a == current ? b : a) + " (" + IntToStr(TGame::GetInt(treaty, "years", 0)) + " years); ";
        any = true;
    }
    if (!any) text += "None.";
    d.DrawWrapped(90, 574, 1100, text, kPaleBlue, 18, 2);

    d.AddButton(90, 672, 220, 40, 50, "Previous");
    d.AddButton(336, 672, 220, 40, 51, "Next");
    d.AddButton(960, 672, 220, 40, 8, "Back");
}

void DrawEnded(TShell& s) {
    TDrawLayer& d = s.draw;
    d.DrawPanel(150, 160, 980, 490, "CHRONICLE ENDED");
    d.DrawWrapped(200, 240, 880, TGame::GetStr(s.game.Root(), "result"), kPaleBlue, 24, 8);
    d.AddButton(200, 540, 420, 50, 3, "Load campaign");
    d.AddButton(650, 540, 420, 50, 1, "New campaign");
    d.AddButton(200, 602, 870, 42, 46, "Return to main menu");
}

}  // namespace reedmark
