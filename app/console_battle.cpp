// Console commands of the tactical battle.
#include "app/console.hpp"
#include "model/battle.hpp"

namespace reedmark {

namespace {

TCommand Cmd(int args, bool needsCampaign, std::function<TJson(TConsole&, const TArgs&)> run) {
    return MakeCommand(args, args, needsCampaign, std::move(run));
}

int Province(const TArgs& a, size_t i) {
    int p = a.Int(i);
    if (p < 1 || p > kProvinceCount) throw TUsageError("No such province: " + a.Str(i));
    return p;
}

void RegisterBattleSetupCommands(TConsole& console) {
    console.Register("startbattle", Cmd(3, true, [](TConsole& con, const TArgs& a) -> TJson {
                         int origin = Province(a, 0);
                         int destination = Province(a, 1);
                         int attacker = a.Int(2);
                         if (con.Game().Faction(attacker) == nullptr) throw TUsageError("No such fellowship: " + a.Str(2));
                         if (HasBattle(con.Game())) throw TUsageError("A battle is already open.");
                         StartBattle(con.Game(), origin, destination, attacker);
                         return "";
                     }));
    console.Register("battle", Cmd(5, false, [](TConsole& con, const TArgs& a) -> TJson {
                         return BattleAction(con.Game(), a.Int(0), a.Int(1), a.Int(2), a.Int(3), a.Str(4));
                     }));
    console.Register("battleai", Cmd(0, true, [](TConsole& con, const TArgs&) -> TJson {
                         BattleAIStep(con.Game());
                         return "";
                     }));
    console.Register("battleauto", Cmd(0, true, [](TConsole& con, const TArgs&) -> TJson {
                         ResolveBattleAuto(con.Game());
                         return "";
                     }));
    console.Register("endday", Cmd(0, true, [](TConsole& con, const TArgs&) -> TJson {
                         EndBattleDay(con.Game());
                         return "";
                     }));
    console.Register("resolvebattle", Cmd(1, true, [](TConsole& con, const TArgs& a) -> TJson {
                         int w = a.Int(0);
                         if (w != 0 && w != 1) throw TUsageError("The winner is 0 or 1.");
                         ResolveBattle(con.Game(), w);
                         return "";
                     }));
}

void RegisterBattleQueryCommands(TConsole& console) {
    console.Register("movecosts", Cmd(2, false, [](TConsole& con, const TArgs& a) -> TJson {
                         int charge = a.Int(1);
                         if (charge != 0 && charge != 1) throw TUsageError("CHARGE is 0 or 1.");
                         TJson out = TJson::array();
                         for (int c : MovementCosts(con.Game(), a.Int(0), charge == 1)) out.push_back(c);
                         return out;
                     }));
    console.Register("power", Cmd(1, false, [](TConsole& con, const TArgs& a) -> TJson {
                         return UnitPower(con.Game(), a.Int(0));
                     }));
    console.Register("unitat", Cmd(2, false, [](TConsole& con, const TArgs& a) -> TJson {
                         return UnitAt(con.Game(), a.Int(0), a.Int(1));
                     }));
    console.Register("ray", Cmd(2, false, [](TConsole& con, const TArgs& a) -> TJson {
                         return ClearRay(con.Game(), a.Int(0), a.Int(1));
                     }));
    console.Register("hexdist", Cmd(4, false, [](TConsole&, const TArgs& a) -> TJson {
                         return HexDistance(a.Int(0), a.Int(1), a.Int(2), a.Int(3));
                     }));
}

}  // namespace

void RegisterBattleCommands(TConsole& console) {
    RegisterBattleSetupCommands(console);
    RegisterBattleQueryCommands(console);
}

}  // namespace reedmark
