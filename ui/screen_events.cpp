// The decisions the month leaves to a human: a captive to judge, a riot to settle and
// a wild beast to acknowledge.
#include <cctype>
#include <cstdint>
#include <memory>
#include <string>

#include "ui/screens.hpp"
#include "ui/shell.hpp"

namespace reedmark {

namespace {

std::string Upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

constexpr std::uint32_t kAlarmRed = 0xE0705C;

}  // namespace

void DrawPrisoner(TShell& s) {
    TDrawLayer& d = s.draw;
    d.DrawPanel(150, 110, 980, 610, "PRISONER RESOLUTION");
    s.FramedPortrait(190, 156, 128, 160, s.prisonerChar);
    d.DrawText(360, 166, TGame::GetStr(s.game.Character(s.prisonerChar), "name"), kGold, 24);
    d.DrawWrapped(360, 224, 700,
                  "Your fellowship holds this captive. Choose their fate explicitly. Execution costs 10 Popularity "
                  "and 5 Support, except when your Royal Writ entitles you to defeat the Chancellor.",
                  kPaleBlue, 18, 6);
    d.AddButton(190, 396, 880, 50, 4000, "Recruit / may be refused");
    d.AddButton(190, 464, 880, 50, 4001, "Hold in custody");
    d.AddButton(190, 532, 880, 50, 4002, "Release");
    d.AddButton(190, 600, 880, 50, 4003, "Execute / final decision");
}

void DrawUnrest(TShell& s) {
    TDrawLayer& d = s.draw;
    d.DrawPanel(160, 140, 960, 510, "UNREST IN " + Upper(TGame::GetStr(s.game.Province(s.selectedProvince), "name")));
    d.DrawWrapped(210, 220, 860,
                  "Angry townsfolk gather outside the gates. Pay 30 Gold to settle their grievances and gain 3 "
                  "Support, or refuse and suffer unrest: Support -10, Gold and Food -20%, governor Body -15.",
                  kPaleBlue, 22, 10);
    d.AddButton(210, 480, 860, 52, 6000, "Pay 30 Gold");
    d.AddButton(210, 554, 860, 52, 6001, "Refuse");
}

void DrawBeast(TShell& s) {
    TObj notice = s.game.FirstBeastNotice();
    if (notice == nullptr) return;
    TDrawLayer& d = s.draw;
    const std::string beast = TGame::BeastName(TGame::GetInt(notice, "beast", 0));
    const std::string province = TGame::GetStr(s.game.Province(TGame::GetInt(notice, "province", 0)), "name");

    d.DrawPanel(150, 110, 980, 610, "WILD BEAST: " + Upper(beast));

    // The town picture is shared with the town screen and painted once.
    if (!s.townPicture) {
        s.townPicture = std::make_unique<TArt>(744, 528);
        if (!s.artwork.PaintLandscape(*s.townPicture)) s.townPicture->FillRect(0, 0, 744, 528, kDarkBlue);
    }
    d.DrawImage(*s.townPicture, "town", 196, 164, 304, 216);
    d.DrawText(196, 408, province, kGold, 24);

    d.DrawWrapped(538, 172, 536, "A " + beast + " terrorises the residents of " + province + ".", kAlarmRed, 24, 3);
    d.DrawWrapped(538, 280, 536,
                  "It raids livestock and food stores. The province loses 5% of its Food each month until a Beast "
                  "expedition succeeds or the season ends.",
                  kPaleBlue, 18, 5);

    d.DrawText(196, 452, "Food before: " + IntToStr(TGame::GetInt(notice, "foodBefore", 0)), kNearWhite, 18);
    d.DrawText(196, 488, "Food lost: " + IntToStr(TGame::GetInt(notice, "foodLoss", 0)), kAlarmRed, 18);
    d.DrawText(196, 524, "Food left: " + IntToStr(TGame::GetInt(notice, "foodAfter", 0)), kNearWhite, 18);
    d.DrawText(
        196, 566,
        "Reported: " + IntToStr(TGame::GetInt(notice, "month", 0)) + "/" + IntToStr(TGame::GetInt(notice, "year", 0)),
        kGrey, 16);
    d.DrawWrapped(538, 444, 536,
                  "Choose Develop > Beast expedition on this province's turn. Select a companion; their abilities "
                  "and soldiers determine the chance of success.",
                  kGrey, 18, 5);

    d.AddButton(196, 626, 416, 52, 6750, "Understood");
    d.AddButton(640, 626, 444, 52, 6751, "Plan beast expedition");
}

}  // namespace reedmark
