// Console commands of the month end: governors, the fellowship refresh, the defeat
// check, riots and prisoners (`monthend` itself lives with the queue commands).
#include "app/console.hpp"
#include "model/events.hpp"
#include "model/fellowships.hpp"
#include "model/month_end.hpp"
#include "model/prisoners.hpp"

namespace reedmark {

namespace {

TCommand CampaignCmd(int args, std::function<TJson(TConsole&, const TArgs&)> run) {
    return MakeCommand(args, args, true, std::move(run));
}

}  // namespace

void RegisterMonthEndCommands(TConsole& console) {
    console.Register("governor", CampaignCmd(1, [](TConsole& con, const TArgs& a) -> TJson {
                         int p = a.Int(0);
                         ChooseGovernor(con.Game(), p);
                         return TGame::GetInt(con.Game().Province(p), "governor", 0);
                     }));
    console.Register("refresh", CampaignCmd(0, [](TConsole& con, const TArgs&) -> TJson {
                         RefreshFellowships(con.Game());
                         return "";
                     }));
    console.Register("defeatcheck", CampaignCmd(0, [](TConsole& con, const TArgs&) -> TJson {
                         CheckDefeat(con.Game());
                         return "";
                     }));
    console.Register("riot", CampaignCmd(2, [](TConsole& con, const TArgs& a) -> TJson {
                         return ResolveRiot(con.Game(), a.Int(0), a.Int(1) == 1);
                     }));
    console.Register("prisoner", CampaignCmd(3, [](TConsole& con, const TArgs& a) -> TJson {
                         return ResolvePrisoner(con.Game(), a.Int(0), a.Int(1), a.Str(2));
                     }));
}

}  // namespace reedmark
