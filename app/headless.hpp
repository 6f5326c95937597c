// The command set of reedmark-headless: frames and input for the shell, readings of its
// state, draw log and audio, the campaign console on the shell's own TGame, and the
// picture primitives on named images. One JSON answer line per command.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/console.hpp"
#include "ui/shell.hpp"

namespace reedmark {

class THeadless {
   public:
    // The shell has started; the console is bound to its TGame and its world file.
    explicit THeadless(TShell& shell);

    // Runs one command line. Returns false for a skipped line (blank or comment);
    // otherwise sets answer to the JSON answer line (without line break).
    bool Execute(const std::string& line, std::string& answer);
    // True once a frame has ended the shell's loop: the caller answers, then shuts down.
    bool Ended() const { return !shell_.running; }

   private:
    using TRun = std::function<TJson(const TArgs&)>;
    struct TEntry {
        int minArgs = 0;
        int maxArgs = 0;
        TRun run;
    };
    void Add(std::map<std::string, TEntry>& table, const std::string& name, int minArgs, int maxArgs, TRun run);
    void RegisterShellCommands();
    void RegisterArtCommands();

    // [SECTION] Frames and input
    void RunFrames(int count);
    void PushEvent(SDL_Event& event);
    TJson State() const;

    // [SECTION] Named images: the driver's own and the shell's
    TArt& Image(const std::string& name);
    bool IsShellImage(const std::string& name) const;
    TArt* ShellImage(const std::string& name) const;

    TShell& shell_;
    TConsole console_;
    std::map<std::string, TEntry> commands_;
    std::map<std::string, TEntry> artCommands_;
    std::map<std::string, std::unique_ptr<TArt>> images_;
};

// [SECTION] Argument parsing shared by the commands (TUsageError on a malformed value)
// A colour: decimal or 0x hexadecimal, 0 .. 0xFFFFFF.
std::uint32_t ColourArg(const TArgs& args, size_t i);
// 0 or 1.
bool FlagArg(const TArgs& args, size_t i);
// The key code of a key name: one printable character, a name (Return, F1, ...) or a
// decimal key code; -1 when it is none of these.
int KeyCodeOf(const std::string& name);
// The modifier state of a modifier name (shift, lshift, rshift, ctrl, alt); -1 when unknown.
int ModifierOf(const std::string& name);

}  // namespace reedmark
