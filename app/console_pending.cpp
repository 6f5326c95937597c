// Commands whose engine operations arrive with later work. They are registered so the
// console answers them with a clear refusal rather than "unknown command"; each
// subsystem's own registration replaces its entries.
#include "app/console.hpp"

namespace reedmark {

void RegisterPendingCommands(TConsole& console) {
    static const std::pair<const char*, int> pending[] = {
        {"plan", 0},        {"ai", 1},      {"simulate", 2},
    };
    for (const auto& [name, args] : pending) {
        TCommand c;
        c.minArgs = 0;
        c.maxArgs = args;
        std::string label = name;
        c.run = [label](TConsole&, const TArgs&) -> TJson {
            throw TUsageError("The command " + label + " is not available yet.");
        };
        console.Register(name, c);
    }
}

}  // namespace reedmark
