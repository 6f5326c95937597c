// The battle screen while a battle is open: the painted field, and until the battle
// controls exist, a human side may have the battle resolved by the tactical AI or withdraw.
#include "model/battle.hpp"
#include "ui/screens.hpp"
#include "ui/shell.hpp"

namespace reedmark {

void DrawBattle(TShell& s) {
    TDrawLayer& d = s.draw;
    TObj b = Battle(s.game);
    d.DrawImage(*s.background, "background", 0, 0, 1280, 800);
    // The field, with each active unit's soldier count on its plate.
    s.field->DrawField(s.game, s.battle.selected, s.battle.cursorQ, s.battle.cursorR, s.battle.action, s.artwork);
    d.DrawImage(s.field->FrameImage(), "field", 392, 16, kFieldImageWidth, kFieldImageHeight);
    for (int i = 0, n = BattleUnitCount(s.game); i < n; ++i) {
        TObj unit = BattleUnit(s.game, i);
        const int q = TGame::GetInt(unit, "q", 0), r = TGame::GetInt(unit, "r", 0);
        if (!TGame::GetBool(unit, "active") || !Hex{q, r}.InField()) continue;
        auto [cx, cy] = TField::HexCentre(q, r);
        const std::string count =
            IntToStr(TGame::GetInt(s.game.Character(TGame::GetInt(unit, "char", 0)), "soldiers", 0));
        d.DrawText(392 + 2 * cx - static_cast<int>(count.size()) * 9 / 2, 2 * cy + 24, count, kNearWhite, 12);
    }
    d.DrawPanel(150, 576, 980, 208, "BATTLE");
    const std::string province = TGame::GetStr(s.game.Province(TGame::GetInt(b, "destination", 0)), "name");
    d.DrawWrapped(200, 616, 880, "A battle is being fought for " + province + ".", kPaleBlue, 24, 1);
    d.DrawWrapped(200, 648, 880, s.statusMessage, kGold, 18, 2);
    d.AddButton(200, 720, 420, 50, 91, "Resolve automatically");
    d.AddButton(650, 720, 420, 50, 92, "Withdraw");
}

bool TShell::HandleBattleKey(int) {
    return false;
}

void TShell::SelectNextReady() {}

}  // namespace reedmark
