// Shared helpers of the screen tests: a started headless shell with its own preference
// directory, and readers of the last frame's button table and draw log.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "ui/draw.hpp"
#include "ui/platform.hpp"
#include "ui/shell.hpp"

namespace reedmark::testing {

// A fresh temporary directory, removed with everything in it at the end of the test.
class TTempDir {
   public:
    TTempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "reedmark-ui-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        dir_ = pattern;
    }
    ~TTempDir() {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    TTempDir(const TTempDir&) = delete;
    TTempDir& operator=(const TTempDir&) = delete;
    // The directory with a trailing separator.
    std::string Dir() const { return dir_ + "/"; }

   private:
    std::string dir_;
};

// One expected button: rectangle, action, caption and hotkey.
struct TExpectedButton {
    int x, y, w, h, action;
    std::string caption;
    int hotkey = 0;
};

// A shell started headless on the build tree's assets with a private preference
// directory; the draw log records every frame.
class TShellTest : public ::testing::Test {
   protected:
    TShellTest() : shell(HeadlessSeams()) {}

    void SetUp() override {
        TStartOptions options;
        options.baseDir = std::string(REEDMARK_BUILD_DIR) + "/";
        options.prefDir = pref.Dir();
        shell.Startup(options);
        shell.draw.SetRecording(true);
    }

    // Draws one frame of a screen.
    void Show(int screen) {
        shell.screen = screen;
        shell.DrawFrame();
    }

    std::vector<TButton> Buttons() const {
        std::vector<TButton> buttons;
        for (int i = 0; i < shell.draw.ButtonCount(); ++i) buttons.push_back(shell.draw.Button(i));
        return buttons;
    }

    // The registered buttons equal the table, in registration order.
    void ExpectButtons(const std::vector<TExpectedButton>& expected) const {
        std::vector<TButton> actual = Buttons();
        ASSERT_EQ(actual.size(), expected.size());
        for (size_t i = 0; i < expected.size(); ++i) {
            const TExpectedButton& e = expected[i];
            const TButton& a = actual[i];
            SCOPED_TRACE("button " + std::to_string(i) + " " + e.caption);
            EXPECT_EQ(a.x, e.x);
            EXPECT_EQ(a.y, e.y);
            EXPECT_EQ(a.w, e.w);
            EXPECT_EQ(a.h, e.h);
            EXPECT_EQ(a.action, e.action);
            EXPECT_EQ(a.caption, e.caption);
            EXPECT_EQ(a.hotkey, e.hotkey);
        }
    }

    std::vector<TDrawCall> Texts() const {
        std::vector<TDrawCall> texts;
        for (const TDrawCall& call : shell.draw.Log())
            if (call.kind == TDrawCall::dkText) texts.push_back(call);
        return texts;
    }

    // The texts drawn at one point.
    std::vector<std::string> TextsAt(int x, int y) const {
        std::vector<std::string> found;
        for (const TDrawCall& call : Texts())
            if (call.a == x && call.b == y) found.push_back(call.text);
        return found;
    }

    // The text is drawn at (x, y) in that colour and size.
    void ExpectText(int x, int y, const std::string& text, std::uint32_t colour, int size) const {
        for (const TDrawCall& call : Texts()) {
            if (call.a != x || call.b != y || call.text != text) continue;
            EXPECT_EQ(call.colour, colour) << text;
            EXPECT_EQ(call.size, size) << text;
            return;
        }
        ADD_FAILURE() << "not drawn at (" << x << ", " << y << "): " << text;
    }

    bool HasImage(const std::string& name, int x, int y, int w, int h) const {
        for (const TDrawCall& call : shell.draw.Log())
            if (call.kind == TDrawCall::dkImage && call.text == name && call.a == x && call.b == y && call.c == w &&
                call.d == h)
                return true;
        return false;
    }

    // Every text that starts inside the rectangle also ends inside it (nothing spills
    // over a panel's edge).
    void ExpectTextsInside(int x, int y, int w, int h) const {
        for (const TDrawCall& call : Texts()) {
            if (call.a < x || call.a >= x + w || call.b < y || call.b >= y + h) continue;
            const long long right = call.a + static_cast<long long>(call.text.size()) * TextAdvance(call.size);
            EXPECT_LE(right, x + w) << "text overflows to the right: " << call.text;
            EXPECT_LE(call.b + call.size, y + h) << "text overflows at the bottom: " << call.text;
        }
    }

    TTempDir pref;
    TShell shell;
};

}  // namespace reedmark::testing
