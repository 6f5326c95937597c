// The observed campaign of `reedmark-sim --observe`.
#include <iomanip>
#include <ostream>

#include "app/console.hpp"
#include "app/observe.hpp"
#include "model/ai.hpp"
#include "model/battle.hpp"
#include "model/campaign.hpp"
#include "model/queue.hpp"

namespace reedmark {

namespace {

// Enough ticks for any campaign many times over; a safety net, not a rule.
constexpr long long kMaxObservedTicks = 5'000'000;

struct TYearTally {
    int battles = 0;
};

// Who the next step's lines are about: the fellowship whose turn it is, or the battle.
std::string Speaker(const TGame& game) {
    if (HasBattle(game)) {
        int p = TGame::GetInt(Battle(game), "destination", 0);
        return "Battle of " + TGame::GetStr(game.Province(p), "name", "?");
    }
    int f = CurrentFaction(game);
    return f > 0 ? TGame::GetStr(game.Character(f), "name", "?") : "";
}

// The calendar's own lines speak for nobody.
bool IsCalendarLine(const std::string& line) { return line.rfind("--- ", 0) == 0 || line.rfind("Month ", 0) == 0; }

void PrintNewChronicle(const TGame& game, const std::string& speaker, std::uint64_t& printed, std::ostream& out) {
    const auto& lines = game.Chronicle();
    std::uint64_t fresh = game.ChronicleAdded() - printed;
    size_t count = std::min<std::uint64_t>(fresh, lines.size());
    for (size_t i = lines.size() - count; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (IsCalendarLine(line)) out << line << "\n";
        else if (speaker.empty()) out << "  " << line << "\n";
        else out << "  " << speaker << ": " << line << "\n";
    }
    printed = game.ChronicleAdded();
}

void PrintYearSummary(const TGame& game, int year, const TYearTally& tally, std::ostream& out) {
    out << "\n== Year " << year << " of the River Calendar: " << tally.battles << " battle"
        << (tally.battles == 1 ? "" : "s") << " ==\n";
    out << "  " << std::left << std::setw(24) << "fellowship" << std::right << std::setw(10) << "provinces"
        << std::setw(10) << "members" << std::setw(10) << "soldiers" << std::setw(12) << "popularity"
        << "  writ\n";
    for (int f = 1; f <= game.FactionCount(); ++f) {
        TObj fac = game.Faction(f);
        if (!TGame::GetBool(fac, "active")) continue;
        int provinces = 0;
        for (int p = 1; p <= kProvinceCount; ++p) provinces += TGame::GetInt(game.Province(p), "owner", 0) == f;
        int members = 0;
        int soldiers = 0;
        for (int c = 1; c <= kCharacterCount; ++c) {
            TObj ch = game.Character(c);
            if (TGame::GetInt(ch, "faction", 0) != f || !TGame::GetBool(ch, "alive") ||
                TGame::GetBool(ch, "captured"))
                continue;
            ++members;
            soldiers += TGame::GetInt(ch, "soldiers", 0);
        }
        out << "  " << std::left << std::setw(24) << TGame::GetStr(game.Character(f), "name", "?") << std::right
            << std::setw(10) << provinces << std::setw(10) << members << std::setw(10) << soldiers << std::setw(12)
            << TGame::GetInt(fac, "popularity", 0) << "  " << (TGame::GetBool(fac, "writ") ? "yes" : "") << "\n";
    }
    out << "\n";
}

}  // namespace

int RunObservedCampaign(const std::string& worldPath, int scenario, std::uint32_t seed, std::ostream& out) {
    TGame game;
    try {
        NewCampaign(game, worldPath, scenario, 0, 2, {}, seed);
    } catch (const TGameError& e) {
        out << "Cannot start the campaign: " << e.what() << "\n";
        return 1;
    }
    out << "Observed campaign: scenario " << Clamp(scenario, 1, kScenarioCount) << ", seed " << seed << "\n\n";
    std::uint64_t printed = 0;
    TYearTally tally;
    int year = TGame::GetInt(game.Root(), "year", 0);
    PrintNewChronicle(game, "", printed, out);
    // One step per tick, so every line can be told with the fellowship that wrote it.
    for (long long tick = 0; tick < kMaxObservedTicks && !game.IsEnded(); ++tick) {
        bool battleBefore = HasBattle(game);
        std::string speaker = Speaker(game);
        std::uint64_t revision = game.Revision();
        ComputerTick(game, kNormalComputerSteps);
        if (!battleBefore && HasBattle(game)) ++tally.battles;
        PrintNewChronicle(game, speaker, printed, out);
        int now = TGame::GetInt(game.Root(), "year", 0);
        if (now != year && !game.IsEnded()) {
            PrintYearSummary(game, year, tally, out);
            tally = TYearTally();
            year = now;
        }
        if (game.Revision() == revision) {
            out << "The campaign stalled: no computer player could act.\n";
            return 1;
        }
    }
    PrintYearSummary(game, year, tally, out);
    out << TGame::GetStr(game.Root(), "result", "") << "\n";
    return game.IsEnded() ? 0 : 1;
}

}  // namespace reedmark
