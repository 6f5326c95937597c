// The console protocol: tokenising, dispatch, answers.
#include "app/console.hpp"

#include <charconv>
#include <filesystem>
#include <istream>
#include <ostream>

namespace reedmark {

bool IsBlank(char ch) {
    return ch == ' ' || ch == '\t' || ch == '\r';
}

// Splits off the next token at pos; returns false at the end of the line.
bool NextToken(const std::string& line, size_t& pos, std::string& token) {
    while (pos < line.size() && IsBlank(line[pos])) ++pos;
    if (pos >= line.size()) return false;
    size_t start = pos;
    while (pos < line.size() && !IsBlank(line[pos])) ++pos;
    token = line.substr(start, pos - start);
    return true;
}

std::string Trim(const std::string& s) {
    size_t a = 0;
    size_t b = s.size();
    while (a < b && IsBlank(s[a])) ++a;
    while (b > a && IsBlank(s[b - 1])) --b;
    return s.substr(a, b - a);
}

namespace {

std::string Dump(const TJson& answer) {
    return answer.dump(-1, ' ', false, TJson::error_handler_t::replace);
}

}  // namespace

int TArgs::Int(size_t i) const {
    const std::string& s = Str(i);
    int value = 0;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (ec != std::errc() || end != s.data() + s.size()) throw TUsageError("Not a number: " + s);
    return value;
}

std::uint32_t TArgs::U32(size_t i) const {
    const std::string& s = Str(i);
    std::uint32_t value = 0;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (ec != std::errc() || end != s.data() + s.size()) throw TUsageError("Not an unsigned number: " + s);
    return value;
}

TCommand MakeCommand(int minArgs, int maxArgs, bool needsCampaign, std::function<TJson(TConsole&, const TArgs&)> run) {
    TCommand c;
    c.minArgs = minArgs;
    c.maxArgs = maxArgs;
    c.needsCampaign = needsCampaign;
    c.run = std::move(run);
    return c;
}

std::string OkAnswer(const TJson& result) {
    TJson answer = TJson::object();
    answer["ok"] = true;
    answer["result"] = result;
    return Dump(answer);
}

std::string ErrorAnswer(const std::string& message) {
    TJson answer = TJson::object();
    answer["ok"] = false;
    answer["error"] = message;
    return Dump(answer);
}

TConsole::TConsole(TGame& game, std::string worldPath) : game_(game), worldPath_(std::move(worldPath)) {
    RegisterMonthEndCommands(*this);
    RegisterOrdersCommands(*this);
    RegisterBattleCommands(*this);
    RegisterCampaignCommands(*this);
    RegisterAtlasCommands(*this);
    RegisterAiCommands(*this);
}

void TConsole::Register(const std::string& name, TCommand command) {
    commands_[name] = std::move(command);
}

bool TConsole::Execute(const std::string& rawLine, std::string& answer) {
    std::string line = Trim(rawLine);
    if (line.empty() || line[0] == '#') return false;
    size_t pos = 0;
    std::string name;
    NextToken(line, pos, name);
    auto it = commands_.find(name);
    if (it == commands_.end()) {
        answer = ErrorAnswer("Unknown command: " + name);
        return true;
    }
    const TCommand& command = it->second;
    std::vector<std::string> tokens;
    std::string token;
    while (true) {
        if (command.restOfLine && static_cast<int>(tokens.size()) == command.maxArgs - 1) {
            std::string rest = Trim(line.substr(pos));
            if (!rest.empty()) tokens.push_back(rest);
            break;
        }
        if (!NextToken(line, pos, token)) break;
        tokens.push_back(token);
    }
    int count = static_cast<int>(tokens.size());
    if (count < command.minArgs || count > command.maxArgs) {
        answer = ErrorAnswer("Wrong number of arguments for " + name + ".");
        return true;
    }
    if (command.needsCampaign && !game_.HasCampaign()) {
        answer = ErrorAnswer("No campaign loaded.");
        return true;
    }
    try {
        answer = OkAnswer(command.run(*this, TArgs(std::move(tokens))));
    } catch (const TUsageError& e) {
        answer = ErrorAnswer(e.what());
    } catch (const TGameError& e) {
        answer = ErrorAnswer(e.what());
    } catch (const std::exception& e) {
        // Anything else the engine raised (a file system error, say) is still an answer.
        answer = ErrorAnswer(e.what());
    }
    return true;
}

void TConsole::Run(std::istream& in, std::ostream& out) {
    std::string line;
    std::string answer;
    while (std::getline(in, line)) {
        if (Execute(line, answer)) out << answer << std::endl;
    }
}

std::string DefaultWorldPath() {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    fs::path base = ec ? fs::current_path(ec) : exe.parent_path();
    if (!fs::exists(base / "assets" / "data" / "world.json", ec)) base = base.parent_path();
    return (base / "assets" / "data" / "world.json").string();
}

}  // namespace reedmark
