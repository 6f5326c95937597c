// A headless shell for screen and shell tests: the game's own shell with the
// off-screen canvas, recording audio and the virtual clock, started on the build tree's
// assets with a fresh per-user directory.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "ui/shell.hpp"

namespace reedmark::testing {

inline std::string FreshDir(const std::string& name) {
    auto dir =
        std::filesystem::temp_directory_path() / ("reedmark-ui-" + name + "-" + std::to_string(::getpid()) + "-" +
                                                  std::to_string(reinterpret_cast<std::uintptr_t>(&name) & 0xFFFFF));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir.string() + "/";
}

inline std::string BuildBase() {
    return std::string(REEDMARK_BUILD_DIR) + "/";
}
inline std::string WorldPath() {
    return BuildBase() + "assets/data/world.json";
}

struct THeadlessShell {
    explicit THeadlessShell(const std::string& name = "shell", std::vector<std::string> args = {})
        : pref(FreshDir(name)), shell(std::make_unique<TShell>(HeadlessSeams())) {
        shell->draw.SetRecording(true);
        shell->Startup({std::move(args), BuildBase(), pref});
    }
    ~THeadlessShell() {
        shell.reset();
        std::filesystem::remove_all(pref);
    }
    TShell& operator*() { return *shell; }
    TShell* operator->() { return shell.get(); }
    void Frames(int n = 1) {
        for (int i = 0; i < n; ++i) shell->RunFrame();
    }
    // A key press handled between two frames, as the frame loop does.
    void Key(int key, int modifiers = 0) {
        shell->HandleKey(key, modifiers);
        shell->RunFrame();
    }
    void Action(int code) {
        shell->DispatchAction(code);
        shell->RunFrame();
    }
    // The texts drawn by the last frame.
    std::vector<TDrawCall> Texts() const {
        std::vector<TDrawCall> texts;
        for (const TDrawCall& c : shell->draw.Log())
            if (c.kind == TDrawCall::dkText) texts.push_back(c);
        return texts;
    }
    bool Drew(const std::string& text) const {
        for (const TDrawCall& c : Texts())
            if (c.text == text) return true;
        return false;
    }

    std::string pref;
    std::unique_ptr<TShell> shell;
};

}  // namespace reedmark::testing
