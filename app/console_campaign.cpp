// Console commands of the campaign document, the queue and the shared counts.
#include <sstream>

#include "app/console.hpp"
#include "model/campaign.hpp"
#include "model/document_io.hpp"
#include "model/month_end.hpp"
#include "model/queue.hpp"
#include "model/random.hpp"
#include "model/saves.hpp"

namespace reedmark {

namespace {

// LEADERS: "-" for none, else comma-separated ids.
std::vector<int> ParseLeaders(const std::string& text) {
    std::vector<int> leaders;
    if (text == "-") return leaders;
    std::stringstream in(text);
    std::string item;
    while (std::getline(in, item, ',')) leaders.push_back(TArgs({item}).Int(0));
    return leaders;
}

TCommand Cmd(int minArgs, int maxArgs, bool needsCampaign, std::function<TJson(TConsole&, const TArgs&)> run) {
    return MakeCommand(minArgs, maxArgs, needsCampaign, std::move(run));
}

void RegisterDocumentCommands(TConsole& console) {
    console.Register("new", Cmd(5, 5, false, [](TConsole& con, const TArgs& a) -> TJson {
                         int scenario = a.Int(0);
                         int humans = a.Int(1);
                         int difficulty = a.Int(2);
                         std::vector<int> leaders = ParseLeaders(a.Str(3));
                         std::uint32_t seed = a.U32(4);
                         NewCampaign(con.Game(), con.WorldPath(), scenario, humans, difficulty, leaders, seed);
                         return "";
                     }));
    console.Register("load", Cmd(1, 1, false, [](TConsole& con, const TArgs& a) -> TJson {
                         LoadCampaign(con.Game(), a.Str(0));
                         return "";
                     }));
    console.Register("save", Cmd(1, 1, false, [](TConsole& con, const TArgs& a) -> TJson {
                         SaveCampaign(con.Game(), a.Str(0));
                         return "";
                     }));
    console.Register("validate", Cmd(0, 0, false, [](TConsole& con, const TArgs&) -> TJson {
                         return Validate(con.Game());
                     }));
    console.Register("checksum", Cmd(0, 0, true, [](TConsole& con, const TArgs&) -> TJson {
                         return Checksum(con.Game());
                     }));
    console.Register("dump", Cmd(1, 1, true, [](TConsole& con, const TArgs& a) -> TJson {
                         WriteFileSynced(a.Str(0), SerializeDocument(con.Game()) + "\n");
                         return "";
                     }));
    console.Register("get", Cmd(1, 1, true, [](TConsole& con, const TArgs& a) -> TJson {
                         std::string pointer = a.Str(0) == "\"\"" ? "" : a.Str(0);
                         const TJson* value = con.Game().AtPointer(pointer);
                         return value == nullptr ? TJson() : *value;
                     }));
    TCommand set = Cmd(2, 2, true, [](TConsole& con, const TArgs& a) -> TJson {
        std::string pointer = a.Str(0) == "\"\"" ? "" : a.Str(0);
        TJson value;
        try {
            value = ParseJsonText(a.Str(1));
        } catch (const TGameError& e) {
            throw TUsageError(e.what());
        }
        con.Game().SetAtPointer(pointer, value);
        return "";
    });
    set.restOfLine = true;
    console.Register("set", set);
    console.Register("del", Cmd(1, 1, true, [](TConsole& con, const TArgs& a) -> TJson {
                         con.Game().RemoveAtPointer(a.Str(0));
                         return "";
                     }));
    console.Register("random", Cmd(1, 1, true, [](TConsole& con, const TArgs& a) -> TJson {
                         return Random(con.Game(), a.Int(0));
                     }));
    console.Register("chronicle", Cmd(1, 1, false, [](TConsole& con, const TArgs& a) -> TJson {
                         int n = a.Int(0);
                         const auto& lines = con.Game().Chronicle();
                         TJson out = TJson::array();
                         size_t count = n < 0 ? 0 : std::min(lines.size(), static_cast<size_t>(n));
                         for (size_t i = lines.size() - count; i < lines.size(); ++i) out.push_back(lines[i]);
                         return out;
                     }));
}

void RegisterQueueCommands(TConsole& console) {
    console.Register("entry", Cmd(0, 0, false, [](TConsole& con, const TArgs&) -> TJson {
                         TJson out = TJson::object();
                         out["entry"] = CurrentEntry(con.Game());
                         out["province"] = CurrentProvince(con.Game());
                         out["faction"] = CurrentFaction(con.Game());
                         out["exile"] = IsExileTurn(con.Game());
                         return out;
                     }));
    console.Register("buildqueue", Cmd(0, 0, true, [](TConsole& con, const TArgs&) -> TJson {
                         BuildQueue(con.Game());
                         return "";
                     }));
    console.Register("advance", Cmd(0, 0, true, [](TConsole& con, const TArgs&) -> TJson {
                         AdvanceQueue(con.Game());
                         return "";
                     }));
    console.Register("monthend", Cmd(0, 0, true, [](TConsole& con, const TArgs&) -> TJson {
                         MonthEnd(con.Game());
                         return "";
                     }));
}

void RegisterCountCommands(TConsole& console) {
    console.Register("headcount", Cmd(1, 1, false, [](TConsole& con, const TArgs& a) -> TJson {
                         return con.Game().ProvinceHeadcount(a.Int(0));
                     }));
    console.Register("soldiers", Cmd(1, 1, false, [](TConsole& con, const TArgs& a) -> TJson {
                         return con.Game().ProvinceSoldiers(a.Int(0));
                     }));
    console.Register("compat", Cmd(2, 2, false, [](TConsole& con, const TArgs& a) -> TJson {
                         return con.Game().Compatibility(a.Int(0), a.Int(1));
                     }));
    console.Register("treaty", Cmd(2, 2, false, [](TConsole& con, const TArgs& a) -> TJson {
                         return con.Game().TreatyActive(a.Int(0), a.Int(1));
                     }));
    console.Register("adjacent", Cmd(2, 2, false, [](TConsole& con, const TArgs& a) -> TJson {
                         return con.Game().AreNeighbours(a.Int(0), a.Int(1));
                     }));
}

}  // namespace

void RegisterCampaignCommands(TConsole& console) {
    RegisterDocumentCommands(console);
    RegisterQueueCommands(console);
    RegisterCountCommands(console);
}

}  // namespace reedmark
