// The battle screen: the unit panel, the painted hex field with soldier counts, the title
// and cursor lines, the battle council, the message area and one of the defence prompt,
// the deployment controls or the action bar; and the field's clicks and keys. The screen
// only reads the battle: every change is a BattleAction, except the deployment placement
// and the two phase flags, which the battle leaves to this screen.
#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>

#include "model/battle.hpp"
#include "ui/screens.hpp"
#include "ui/shell.hpp"

namespace reedmark {

namespace {

constexpr int kFieldLeft = 392;
constexpr int kFieldTop = 16;
constexpr int kKeyReturn = 13;
constexpr int kKeySpace = 32;
constexpr int kKeyLeft = 0x40000050;
constexpr int kKeyRight = 0x4000004F;
constexpr int kKeyUp = 0x40000052;
constexpr int kKeyDown = 0x40000051;

constexpr std::uint32_t kReadyGreen = 0x2E7D4F;

// The defence prompt's dialog box; clicks inside it never reach the field beneath.
constexpr int kPromptX = 614, kPromptY = 194, kPromptW = 586, kPromptH = 306;

const std::array<const char*, 8> kTerrainNames = {"Plain",  "Forest", "Hill",  "Mountain",
                                                  "Castle", "River",  "Marsh", "Ice"};
const std::array<const char*, 4> kWeatherNames = {"Clear", "Cloudy", "Rain", "Snow"};

std::string TerrainName(int code) {
    return code >= 0 && code < static_cast<int>(kTerrainNames.size()) ? kTerrainNames[static_cast<size_t>(code)]
                                                                      : "Plain";
}

std::string WeatherName(int code) {
    return code >= 0 && code < static_cast<int>(kWeatherNames.size()) ? kWeatherNames[static_cast<size_t>(code)] : "";
}

std::string Upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// The faction fighting on a side: the attacker for side 1, the defender for side 0.
int SideFaction(TObj b, int side) {
    return TGame::GetInt(b, side == kSideAttackers ? "attacker" : "defender", 0);
}

// Whose army is "ours": a human attacker, else a human defender, else the acting side.
int ViewingSide(const TGame& game, TObj b) {
    if (game.IsHumanFaction(TGame::GetInt(b, "attacker", 0))) return kSideAttackers;
    if (game.IsHumanFaction(TGame::GetInt(b, "defender", 0))) return kSideDefenders;
    return TGame::GetInt(b, "side", 0);
}

int UnitChar(TObj unit) {
    return TGame::GetInt(unit, "char", 0);
}

bool IsCommander(TObj b, TObj unit) {
    const int side = TGame::GetInt(unit, "side", 0);
    return UnitChar(unit) != 0 &&
           UnitChar(unit) == TGame::GetInt(b, side == kSideAttackers ? "commander1" : "commander0", 0);
}

// The unit the panel describes: the selected one, else the first active one (-1: none).
int ShownUnit(const TShell& s) {
    if (BattleUnit(s.game, s.battle.selected) != nullptr) return s.battle.selected;
    for (int i = 0, n = BattleUnitCount(s.game); i < n; ++i)
        if (TGame::GetBool(BattleUnit(s.game, i), "active")) return i;
    return -1;
}

void DrawUnitPanel(TShell& s, TObj b) {
    TDrawLayer& d = s.draw;
    const TGame& g = s.game;
    d.FillPaper(16, 16, 360, 544);
    const int viewing = ViewingSide(g, b);
    const int shown = ShownUnit(s);
    TObj unit = BattleUnit(g, shown);
    TObj ch = g.Character(UnitChar(unit));
    const int side = TGame::GetInt(unit, "side", 0);
    if (unit != nullptr) {
        s.FramedPortrait(28, 30, 134, 188, UnitChar(unit));
        d.DrawText(180, 30, "Companion", kBlack, 20);
        d.DrawText(180, 64, side == viewing ? "Your army" : "Enemy army", FactionColour(SideFaction(b, side)), 20);
        if (IsCommander(b, unit)) d.DrawText(180, 98, "Commander", kProfessionBrown, 20);
        const bool spent = TGame::GetBool(unit, "spent");
        const bool deploying = TGame::GetBool(b, "deploy");
        const int body = TGame::GetInt(ch, "body", 0);
        std::string status = "Ready";
        if (spent) status = "Done";
        if (deploying) status = "Deploying";
        if (body < 11 && !spent && !deploying) status = "Must rest";
        const std::uint32_t colour = status == "Done" ? kDarkGrey : status == "Must rest" ? kRed : kReadyGreen;
        d.DrawText(180, 132, status, colour, 20);
        d.DrawText(180, 166, "Body " + IntToStr(body), kBlack, 18);
        d.DrawText(180, 194, "Arrows " + IntToStr(TGame::GetInt(unit, "arrows", 0)), kBlack, 18);
        d.DrawText(28, 238, TGame::GetStr(ch, "name"), kNameViolet, 24);
    }
    const std::string sideKey = IntToStr(side);
    const int day = TGame::GetInt(b, "day", 0);
    struct TRow {
        const char* label;
        std::string value;
        std::uint32_t colour;
        bool ofUnit;
    };
    const TRow rows[] = {
        {"Soldiers", IntToStr(TGame::GetInt(ch, "soldiers", 0)), kBlack, true},
        {"Skill / Arms",
         IntToStr(TGame::GetInt(b, "skill" + sideKey, 0)) + "/" + IntToStr(TGame::GetInt(b, "arms" + sideKey, 0)),
         kBlack, true},
        {"Str / Dex", IntToStr(TGame::GetInt(ch, "strength", 0)) + "/" + IntToStr(TGame::GetInt(ch, "dexterity", 0)),
         kBlack, true},
        {"Wisdom", IntToStr(TGame::GetInt(ch, "wisdom", 0)), kBlack, true},
        {"Ground", TerrainName(TerrainAt(g, TGame::GetInt(unit, "q", 0), TGame::GetInt(unit, "r", 0))), kBlack, true},
        {"Day", IntToStr(day) + " / 30", kBlack, false},
        {"Weather", WeatherName(TGame::GetInt(b, "weather", 0)), kDarkBlue, false},
        {"Food ours", IntToStr(TGame::GetInt(b, "food" + IntToStr(viewing), 0)), kProfessionBrown, false},
        {"Food theirs", IntToStr(TGame::GetInt(b, "food" + IntToStr(1 - viewing), 0)), kRed, false},
    };
    // Without any unit only the battle's own rows mean anything.
    int y = 274;
    for (const TRow& row : rows) {
        if (unit != nullptr || !row.ofUnit) {
            d.DrawText(28, y, row.label, kBlack, 20);
            d.DrawText(238, y, row.value, row.colour, 20);
        }
        y += 32;
    }
}

// The field, the soldier counts on the plates, the title, legend and cursor lines.
void DrawFieldArea(TShell& s, TObj b) {
    TDrawLayer& d = s.draw;
    const TGame& g = s.game;
    const TBattleView& v = s.battle;
    s.field->DrawField(g, v.selected, v.cursorQ, v.cursorR, v.action, s.artwork);
    d.DrawImage(s.field->FrameImage(), "field", kFieldLeft, kFieldTop, kFieldImageWidth, kFieldImageHeight);
    const std::string province = TGame::GetStr(g.Province(TGame::GetInt(b, "destination", 0)), "name");
    d.DrawText(408, 24, Upper(province) + " / " + (TGame::GetInt(b, "side", 0) == 0 ? "DEFENDERS" : "ATTACKERS"),
               kPaleBlue, 18);
    for (int i = 0, n = BattleUnitCount(g); i < n; ++i) {
        TObj unit = BattleUnit(g, i);
        const int q = TGame::GetInt(unit, "q", 0), r = TGame::GetInt(unit, "r", 0);
        if (!TGame::GetBool(unit, "active") || !Hex{q, r}.InField()) continue;
        auto [cx, cy] = TField::HexCentre(q, r);
        const std::string count = IntToStr(TGame::GetInt(g.Character(UnitChar(unit)), "soldiers", 0));
        d.DrawText(kFieldLeft + 2 * cx - static_cast<int>(count.size()) * 9 / 2, 2 * cy + 24, count, kNearWhite, 12);
    }
    d.DrawText(408, 510, "Pennant: commander   Gold: selected   Grey: acted", kGold, 16);

    std::string line = "Cursor " + IntToStr(v.cursorQ + 1) + "," + IntToStr(v.cursorR + 1) + " / " +
                       TerrainName(TerrainAt(g, v.cursorQ, v.cursorR));
    const int there = UnitAt(g, v.cursorQ, v.cursorR);
    TObj selected = BattleUnit(g, v.selected);
    if (there >= 0) {
        line += " / " + TGame::GetStr(g.Character(UnitChar(BattleUnit(g, there))), "name");
    } else if (selected != nullptr && !TGame::GetBool(selected, "spent") && HumanBattleTurn(g) &&
               (v.action == "move" || v.action == "charge") && Hex{v.cursorQ, v.cursorR}.InField() &&
               !TGame::GetBool(b, "deploy") && TGame::GetBool(selected, "active") &&
               TGame::GetInt(selected, "side", -1) == TGame::GetInt(b, "side", 0) &&
               TGame::GetInt(g.Character(UnitChar(selected)), "body", 0) > 10) {
        // The cost is the one the field has just computed for this very preview; it is
        // not shown while no preview is lit (the cache then belongs to an earlier one).
        const int cost = s.field->MovementCostCache()[static_cast<size_t>(Hex{v.cursorQ, v.cursorR}.Index())];
        if (cost >= 1 && cost <= kUnreachable - 1) line += " / movement " + IntToStr(cost);
    }
    d.DrawText(408, 536, line, kPaleBlue, 16);
}

void DrawCouncil(TShell& s) {
    TDrawLayer& d = s.draw;
    d.DrawPanel(16, 576, 360, 208, "");
    d.DrawText(28, 588, "BATTLE COUNCIL", kGold, 22);
    d.AddButton(28, 628, 160, 38, 42, "Save");
    d.AddButton(204, 628, 154, 38, 43, "Load");
    d.AddButton(28, 674, 160, 38, 6100, "Next ready (N)");
    d.AddButton(204, 674, 154, 38, 45, "Settings");
    d.AddButton(28, 720, 330, 38, 44, "How to fight");
}

void DrawBottomControls(TShell& s, TObj b) {
    TDrawLayer& d = s.draw;
    if (TGame::GetBool(b, "defensePrompt")) {
        d.DrawPanel(kPromptX, kPromptY, kPromptW, kPromptH, "THE GARRISON AWAITS");
        d.DrawWrapped(644, 230, 522, "An enemy army approaches. Will you lead the defense?", kPaleBlue, 22, 3);
        d.AddMenuItem(638, 324, 536, 44, 90, '1', "Fight manually", true);
        d.AddMenuItem(638, 376, 536, 44, 91, '2', "Resolve automatically", true);
        d.AddMenuItem(638, 428, 536, 44, 92, '3', "Withdraw", true);
        return;
    }
    if (TGame::GetBool(b, "deploy")) {
        d.DrawText(408, 640, "Choose your banners, then an empty lit hex.", kNearWhite, 20);
        d.AddMenuItem(408, 690, 402, 50, 93, '1', "Confirm deployment", true);
        d.AddMenuItem(828, 690, 410, 50, 91, '2', "Resolve automatically", true);
        return;
    }
    static const char kHotkeys[] = "1234567890b";
    for (int i = 0; i < kBattleActionCount; ++i) {
        const std::string name = kBattleActions[static_cast<size_t>(i)];
        std::string caption = name == s.battle.action ? ">" : "";
        caption += Upper(name);
        d.AddMenuItem(408 + 208 * (i % 4), 636 + 40 * (i / 4), 204, 38, 3000 + i, kHotkeys[i], caption, true);
    }
    d.AddMenuItem(1032, 716, 204, 38, 91, 'a', "Auto resolve", true);
}

}  // namespace

const std::array<const char*, kBattleActionCount> kBattleActions = {
    "move", "melee", "archery", "charge", "mist", "duel", "fire", "extinguish", "retreat", "rest", "reinforce"};

void DrawBattle(TShell& s) {
    TObj b = Battle(s.game);
    if (b == nullptr) return;
    TDrawLayer& d = s.draw;
    d.DrawImage(*s.background, "background", 0, 0, kCanvasWidth, kCanvasHeight);
    DrawUnitPanel(s, b);
    DrawFieldArea(s, b);
    DrawCouncil(s);
    d.DrawPanel(392, 576, 872, 208, "");
    d.DrawWrapped(408, 584, 832, s.statusMessage, kPaleBlue, 18, 2);
    DrawBottomControls(s, b);
}

// [SECTION] Selection, clicks and keys

bool TShell::IsSelectable(int index) const {
    TObj b = Battle(game);
    TObj unit = BattleUnit(game, index);
    if (b == nullptr || unit == nullptr || !TGame::GetBool(unit, "active")) return false;
    const int side = TGame::GetInt(unit, "side", 0);
    if (TGame::GetBool(b, "deploy")) return game.IsHumanFaction(SideFaction(b, side));
    return HumanBattleTurn(game) && side == TGame::GetInt(b, "side", 0);
}

void TShell::TrackBattle() {
    // A battle that opens (or a document that replaces the open one) starts with a fresh
    // selection, cursor and action: an index kept from an earlier battle would name
    // somebody else's unit.
    TObj b = Battle(game);
    const std::string key =
        b == nullptr
            ? std::string()
            : IntToStr(reinterpret_cast<std::uintptr_t>(b)) + ":" + IntToStr(TGame::GetInt(b, "origin", 0)) + ":" +
                  IntToStr(TGame::GetInt(b, "destination", 0)) + ":" + IntToStr(TGame::GetInt(b, "attacker", 0));
    if (!key.empty() && key != shownBattle) battle = TBattleView{};
    shownBattle = key;
}

void TShell::PlaceDeployedUnit(int q, int r) {
    TObj b = Battle(game);
    TObj unit = BattleUnit(game, battle.selected);
    if (b == nullptr || unit == nullptr || !IsSelectable(battle.selected)) return;
    const bool attacker = TGame::GetInt(unit, "side", 0) == kSideAttackers;
    const int first = attacker ? 0 : 13, last = attacker ? 3 : 17;
    const int kind = TerrainAt(game, q, r);
    if (!Hex{q, r}.InField() || UnitAt(game, q, r) >= 0 || q < first || q > last || kind == tMountain || kind == tRiver)
        return;
    game.SetInt(unit, "q", q);
    game.SetInt(unit, "r", r);
}

void TShell::BattleClick(int x, int y) {
    TObj b = Battle(game);
    if (b == nullptr) return;
    if (x < kFieldLeft || x >= kFieldLeft + kFieldImageWidth || y < kFieldTop || y >= kFieldTop + kFieldImageHeight)
        return;
    if (TGame::GetBool(b, "defensePrompt") && x >= kPromptX && x < kPromptX + kPromptW && y >= kPromptY &&
        y < kPromptY + kPromptH)
        return;
    const THexHit hit = field->HexAt((x - kFieldLeft) / 2, (y - kFieldTop) / 2);
    if (!hit.found) return;
    battle.cursorQ = hit.q;
    battle.cursorR = hit.r;
    const int u = UnitAt(game, hit.q, hit.r);
    if (IsSelectable(u)) {
        battle.selected = u;
        statusMessage = "Selected " + TGame::GetStr(game.Character(UnitChar(BattleUnit(game, u))), "name") + ".";
    } else if (!TGame::GetBool(b, "deploy")) {
        if (HumanBattleTurn(game)) statusMessage = BattleAction(game, battle.selected, u, hit.q, hit.r, battle.action);
    } else {
        PlaceDeployedUnit(hit.q, hit.r);
    }
}

// Return and 'e': the current action at the cursor, with the unit there as the target.
// During deployment the cursor places the selected banner instead, as a click would.
void TShell::ActAtCursor() {
    TObj b = Battle(game);
    if (b == nullptr) return;
    if (TGame::GetBool(b, "deploy")) {
        PlaceDeployedUnit(battle.cursorQ, battle.cursorR);
        return;
    }
    if (!HumanBattleTurn(game)) return;
    statusMessage = BattleAction(game, battle.selected, UnitAt(game, battle.cursorQ, battle.cursorR), battle.cursorQ,
                                 battle.cursorR, battle.action);
}

bool TShell::HandleBattleKey(int key) {
    switch (key) {
        case 'n': DispatchAction(6100); return true;
        case kKeyLeft:
        case kKeyRight:
            battle.cursorQ = std::clamp(battle.cursorQ + (key == kKeyRight ? 1 : -1), 0, kFieldColumns - 1);
            battle.cursorMode = true;
            return true;
        case kKeyUp:
        case kKeyDown:
            battle.cursorR = std::clamp(battle.cursorR + (key == kKeyDown ? 1 : -1), 0, kFieldRows - 1);
            battle.cursorMode = true;
            return false;  // the focus moves too
        case kKeySpace: {
            const int u = UnitAt(game, battle.cursorQ, battle.cursorR);
            if (IsSelectable(u)) battle.selected = u;
            return true;
        }
        case 'r':
            statusMessage = BattleAction(game, battle.selected, -1, battle.cursorQ, battle.cursorR, "rest");
            return true;
        case kKeyReturn: {
            if (!battle.cursorMode) return false;
            const int u = UnitAt(game, battle.cursorQ, battle.cursorR);
            if (IsSelectable(u))
                battle.selected = u;
            else
                ActAtCursor();
            return true;
        }
        case 'e': ActAtCursor(); return true;
        default: return false;
    }
}

void TShell::SelectNextReady() {
    const int n = BattleUnitCount(game);
    for (int k = 1; k <= n; ++k) {
        const int u = ((battle.selected < 0 ? -1 : battle.selected) + k) % n;
        if (!IsSelectable(u) || TGame::GetBool(BattleUnit(game, u), "spent")) continue;
        TObj unit = BattleUnit(game, u);
        battle.selected = u;
        battle.cursorQ = TGame::GetInt(unit, "q", 0);
        battle.cursorR = TGame::GetInt(unit, "r", 0);
        battle.cursorMode = false;
        statusMessage = TGame::GetStr(game.Character(UnitChar(unit)), "name") + " awaits orders.";
        return;
    }
    statusMessage = "No ready companion on this side.";
}

}  // namespace reedmark
