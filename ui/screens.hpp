// The screens: each is a drawing procedure called every frame, which reads the shell
// and the campaign and registers its buttons. None of them changes anything.
#pragma once

#include <array>
#include <string>

namespace reedmark {

class TShell;

// Title and campaign setup.
void DrawTitle(TShell& s);
void DrawSetup(TShell& s);
std::string CharacterBlurb(int id, const std::string& profession);
std::string ScenarioName(int scenario);
std::string LeaderName(int leader);

// Settings and key bindings.
void DrawSettings(TShell& s);
void DrawKeyBindings(TShell& s);

// Records: help pages, save and load slots, chronicle, treaties, the ended campaign.
void DrawHelp(TShell& s);
void DrawSlots(TShell& s);
void DrawChronicle(TShell& s);
void DrawTreaties(TShell& s);
void DrawEnded(TShell& s);
extern const char* const kHelpPages[6];

// Decisions the month leaves to a human: a captive, a riot, a wild beast.
void DrawPrisoner(TShell& s);
void DrawUnrest(TShell& s);
void DrawBeast(TShell& s);

// The campaign screen (the map and its command area, the town, or the battle).
void DrawCampaign(TShell& s);
void DrawTown(TShell& s);
void DrawBattle(TShell& s);
// The battle actions in the order of the action bar (action codes 3000 + index).
constexpr int kBattleActionCount = 11;
extern const std::array<const char*, kBattleActionCount> kBattleActions;

}  // namespace reedmark
