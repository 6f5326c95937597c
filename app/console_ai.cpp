// Console commands of the computer players: plan, ai and simulate.
#include <algorithm>
#include <chrono>

#include "app/console.hpp"
#include "model/ai.hpp"
#include "model/battle.hpp"

namespace reedmark {

namespace {

// In 64 bits: a year read from a file may be as large as the getters allow.
long long MonthKey(const TGame& game) {
    TObj root = game.Root();
    return TGame::GetInt(root, "year", 0) * 12LL + TGame::GetInt(root, "month", 0);
}

}  // namespace

TJson Simulate(TGame& game, int months, bool timing) {
    using Clock = std::chrono::steady_clock;
    int passed = 0;
    bool waiting = false;
    long long ticks = 0;
    long long maxMicros = 0;
    long long totalMicros = 0;
    while (passed < months && !game.IsEnded()) {
        long long key = MonthKey(game);
        std::uint64_t revision = game.Revision();
        auto start = Clock::now();
        ComputerTick(game, kFastComputerSteps);
        long long micros = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start).count();
        ++ticks;
        totalMicros += micros;
        maxMicros = std::max(maxMicros, micros);
        passed += static_cast<int>(std::clamp(MonthKey(game) - key, 0LL, static_cast<long long>(months - passed)));
        if (game.Revision() == revision) {
            waiting = true;  // a human must act or decide
            break;
        }
    }
    TJson out = TJson::object();
    out["months"] = passed;
    out["ended"] = game.IsEnded();
    out["waiting"] = waiting;
    if (timing) {
        out["ticks"] = ticks;
        out["maxTickMicros"] = maxMicros;
        out["totalMicros"] = totalMicros;
    }
    return out;
}

void RegisterAiCommands(TConsole& console) {
    TCommand plan;
    plan.needsCampaign = true;
    plan.run = [](TConsole& con, const TArgs&) -> TJson {
        PlanOrder(con.Game());
        return "";
    };
    console.Register("plan", plan);

    TCommand ai;
    ai.minArgs = ai.maxArgs = 1;
    ai.needsCampaign = true;
    ai.run = [](TConsole& con, const TArgs& a) -> TJson {
        RunComputerTurns(con.Game(), a.Int(0));
        return "";
    };
    console.Register("ai", ai);

    TCommand simulate;
    simulate.minArgs = 1;
    simulate.maxArgs = 2;
    simulate.needsCampaign = true;
    simulate.run = [](TConsole& con, const TArgs& a) -> TJson {
        bool timing = a.Size() == 2;
        if (timing && a.Str(1) != "timing") throw TUsageError("The second argument of simulate is \"timing\".");
        return Simulate(con.Game(), a.Int(0), timing);
    };
    console.Register("simulate", simulate);
}

}  // namespace reedmark
