// The battle screen while a battle is open. Until the field is painted, a human side
// may have the battle resolved by the tactical AI or withdraw.
#include "model/battle.hpp"
#include "ui/screens.hpp"
#include "ui/shell.hpp"

namespace reedmark {

void DrawBattle(TShell& s) {
    TDrawLayer& d = s.draw;
    TObj b = Battle(s.game);
    d.DrawPanel(150, 160, 980, 490, "BATTLE");
    const std::string province = TGame::GetStr(s.game.Province(TGame::GetInt(b, "province", 0)), "name");
    d.DrawWrapped(200, 220, 880, "A battle is being fought for " + province + ".", kPaleBlue, 24, 3);
    d.DrawWrapped(200, 320, 880, s.statusMessage, kGold, 18, 4);
    d.AddButton(200, 540, 420, 50, 91, "Resolve automatically");
    d.AddButton(650, 540, 420, 50, 92, "Withdraw");
}

bool TShell::HandleBattleKey(int) {
    return false;
}

void TShell::SelectNextReady() {}

}  // namespace reedmark
