// The engine console behind `reedmark-sim`: one TGame, commands in, one JSON answer
// line per command out. Each subsystem registers its own commands
// (console_campaign.cpp, console_battle.cpp, ...); this file holds the protocol.
#pragma once

#include <functional>
#include <iosfwd>
#include <map>
#include <string>
#include <vector>

#include "model/game.hpp"

namespace reedmark {

// A malformed command (wrong argument count, a number that is not a number, no
// campaign where one is needed). It changes nothing and answers ok:false.
class TUsageError : public std::runtime_error {
   public:
    explicit TUsageError(const std::string& message) : std::runtime_error(message) {}
};

class TConsole;

// The arguments of one command, with strict parsers that throw TUsageError.
class TArgs {
   public:
    explicit TArgs(std::vector<std::string> tokens) : tokens_(std::move(tokens)) {}
    size_t Size() const { return tokens_.size(); }
    const std::string& Str(size_t i) const { return tokens_.at(i); }
    // A signed 32-bit decimal integer.
    int Int(size_t i) const;
    // An unsigned 32-bit decimal integer.
    std::uint32_t U32(size_t i) const;

   private:
    std::vector<std::string> tokens_;
};

struct TCommand {
    int minArgs = 0;
    int maxArgs = 0;
    bool needsCampaign = false;
    // The last argument runs to the end of the line and may contain spaces (`set`).
    bool restOfLine = false;
    std::function<TJson(TConsole&, const TArgs&)> run;
};

// A command taking minArgs..maxArgs arguments.
TCommand MakeCommand(int minArgs, int maxArgs, bool needsCampaign, std::function<TJson(TConsole&, const TArgs&)> run);

class TConsole {
   public:
    TConsole(TGame& game, std::string worldPath);

    TGame& Game() { return game_; }
    const std::string& WorldPath() const { return worldPath_; }

    void Register(const std::string& name, TCommand command);
    bool Has(const std::string& name) const { return commands_.count(name) != 0; }

    // Runs one script line. Returns false for a skipped line (blank or comment);
    // otherwise sets answer to the JSON answer line (without line break).
    bool Execute(const std::string& line, std::string& answer);
    // Runs every line of in, writing one flushed answer line per command to out.
    void Run(std::istream& in, std::ostream& out);

   private:
    TGame& game_;
    std::string worldPath_;
    std::map<std::string, TCommand> commands_;
};

// Script lines: the next token from pos (false at the end of the line), and a line
// without its surrounding blanks.
bool IsBlank(char ch);
bool NextToken(const std::string& line, size_t& pos, std::string& token);
std::string Trim(const std::string& s);

// Answer lines.
std::string OkAnswer(const TJson& result);
std::string ErrorAnswer(const std::string& message);

// Registration of each command group (one source file each).
void RegisterCampaignCommands(TConsole& console);
void RegisterAiCommands(TConsole& console);
void RegisterAtlasCommands(TConsole& console);
void RegisterMonthEndCommands(TConsole& console);
void RegisterOrdersCommands(TConsole& console);
void RegisterBattleCommands(TConsole& console);

// Runs computer ticks (8 steps each) until `months` month ends have passed, the campaign
// ended, or a tick changed nothing (a human must decide). The result of `simulate`.
TJson Simulate(TGame& game, int months, bool timing);

// The world file found with the game's base-directory rule: assets/ beside the
// executable, else in its parent directory.
std::string DefaultWorldPath();

}  // namespace reedmark
