// The screens: each is a drawing procedure called every frame, which reads the shell
// and the campaign and registers its buttons. None of them changes anything.
#pragma once

#include <array>
#include <string>
#include <utility>
#include <vector>

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
// The canvas point of a province's number on the map screen.
std::pair<int, int> ProvinceLabelPosition(const TShell& s, int p);

// The order dialog and its two choosers.
void DrawOrderDialog(TShell& s);
void DrawPersonChooser(TShell& s);
void DrawProvinceChooser(TShell& s);
// Whether an order uses a dialog field (0 companion, 1 target, 2 quantity, 3 option).
bool FieldEnabled(int order, int field);
// Orders whose target is a province.
bool IsProvinceOrder(int order);
// Steps the active field's value by one (delta -1 or +1).
void CycleField(TShell& s, int delta);
// The people a chooser offers (mode 0 companions, 1 targets), or with mode -1 the
// roster's filtered and sorted list.
std::vector<int> BuildChooserList(const TShell& s, int mode);

// The roster, its character cards and the character record.
void DrawRoster(TShell& s);
void DrawRecord(TShell& s);
void DrawCharacterCard(TShell& s, int x, int y, int w, int h, int charId, int action, int hotkey, bool tall);
extern const char* const kSortCaptions[8];
extern const char* const kFilterCaptions[4];

// The battle actions in the order of the action bar (action codes 3000 + index).
constexpr int kBattleActionCount = 11;
extern const std::array<const char*, kBattleActionCount> kBattleActions;

}  // namespace reedmark
