// The window's own behaviour: frames that repeat the picture on screen are not drawn
// again (and the pixels stay right when they are), and F11 full-screen with its setting.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

#include "art/art.hpp"
#include "tests/ui/shell_fixture.hpp"
#include "ui/draw.hpp"

namespace reedmark {
namespace {

constexpr int kF11 = 0x40000044;

// A draw layer on a small software-rendered surface whose pixels the test reads.
class TSurfaceLayer {
   public:
    TSurfaceLayer() {
        surface_ = SDL_CreateRGBSurfaceWithFormat(0, 64, 32, 32, SDL_PIXELFORMAT_ARGB8888);
        renderer_ = SDL_CreateSoftwareRenderer(surface_);
        layer.Attach(renderer_, nullptr);
    }
    ~TSurfaceLayer() {
        layer.Detach();
        SDL_DestroyRenderer(renderer_);
        SDL_FreeSurface(surface_);
    }
    std::uint32_t Pixel(int x, int y) const {
        SDL_RenderFlush(renderer_);
        const auto* row = static_cast<const std::uint8_t*>(surface_->pixels) + y * surface_->pitch;
        return reinterpret_cast<const std::uint32_t*>(row)[x] & 0xFFFFFF;
    }
    SDL_Renderer* Renderer() const { return renderer_; }
    TDrawLayer layer;

   private:
    SDL_Surface* surface_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
};

TEST(Window, OnlyFramesThatChangeThePictureAreDrawn) {
    TSurfaceLayer s;
    TArt image(8, 8);
    image.FillRect(0, 0, 8, 8, 0x2040A0);
    auto frame = [&](auto&& body) {
        s.layer.BeginFrame();
        body();
        return s.layer.EndFrame();
    };
    auto usual = [&] {
        s.layer.FillBox(0, 0, 64, 32, 0x102030);
        s.layer.DrawImage(image, "a", 0, 0, 8, 8);
        s.layer.FillBox(40, 0, 8, 8, kGold);
    };
    struct TStep {
        const char* what;
        std::function<void()> before;
        std::function<void()> body;
        bool drawn;
    };
    const TStep steps[] = {
        {"first frame", [] {}, usual, true},
        {"same calls, same pictures", [] {}, usual, false},
        {"a picture changed", [&] { image.SetPixel(1, 1, 0xFFFFFF); }, usual, true},
        {"unchanged again", [] {}, usual, false},
        {"a colour changed", [] {},
         [&] {
             s.layer.FillBox(0, 0, 64, 32, 0x102030);
             s.layer.DrawImage(image, "a", 0, 0, 8, 8);
             s.layer.FillBox(40, 0, 8, 8, kRed);
         },
         true},
        {"one call fewer", [] {},
         [&] {
             s.layer.FillBox(0, 0, 64, 32, 0x102030);
             s.layer.DrawImage(image, "a", 0, 0, 8, 8);
         },
         true},
        {"forced after an expose", [&] { s.layer.ForceRepaint(); },
         [&] {
             s.layer.FillBox(0, 0, 64, 32, 0x102030);
             s.layer.DrawImage(image, "a", 0, 0, 8, 8);
         },
         true},
    };
    for (const TStep& step : steps) {
        step.before();
        EXPECT_EQ(frame(step.body), step.drawn) << step.what;
    }
    EXPECT_EQ(s.Pixel(1, 1), 0xFFFFFFu);
    EXPECT_EQ(s.Pixel(2, 2), 0x2040A0u);
    EXPECT_EQ(s.Pixel(44, 4), 0x102030u);  // the gold box is gone
    EXPECT_EQ(s.layer.Log().size(), 2u);   // the log of a frame not drawn is still whole

    // A picture drawn, then changed and drawn again in the same frame: the first copy
    // keeps the pixels it had when it was drawn, as when every call drew at once.
    EXPECT_TRUE(frame([&] {
        s.layer.FillBox(0, 0, 64, 32, 0x102030);
        s.layer.DrawImage(image, "a", 0, 0, 8, 8);
        image.FillRect(0, 0, 8, 8, 0x00FF00);
        s.layer.DrawImage(image, "a", 16, 0, 8, 8);
    }));
    EXPECT_EQ(s.Pixel(2, 2), 0x2040A0u);
    EXPECT_EQ(s.Pixel(18, 2), 0x00FF00u);
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(Window, F11SwitchesFullScreenAndKeepsItAcrossARestart) {
    testing::THeadlessShell shell("fullscreen");
    const std::string path = shell.pref + "settings.json";
    shell.Frames();
    shell->SaveSettingsNow();
    const std::string usual = ReadAll(path);
    EXPECT_EQ(usual.find("fullscreen"), std::string::npos) << usual;

    shell.Key(kF11);
    EXPECT_TRUE(shell->settings.fullscreen);
    EXPECT_EQ(shell->screen, scTitle);
    EXPECT_EQ(ReadAll(path), usual.substr(0, usual.size() - 1) + R"(,"fullscreen":true})");
    shell.Key(kF11);
    EXPECT_FALSE(shell->settings.fullscreen);
    shell.Key(kF11);
    shell->Shutdown();

    TShell again(HeadlessSeams());
    again.Startup({{}, testing::BuildBase(), shell.pref});
    EXPECT_TRUE(again.settings.fullscreen);
    again.RunFrame();
    again.HandleKey(kF11, 0);
    EXPECT_FALSE(again.settings.fullscreen);
    again.Shutdown();
    EXPECT_NE(ReadAll(path).find(R"("fullscreen":false)"), std::string::npos);
}

TEST(Window, F11IsNoBindableActionAndGivesWayToBindings) {
    testing::THeadlessShell shell("fullscreen-keys");
    shell.Frames();
    // A capture takes F11 like any key.
    shell->settings.captureSlot = 0;
    shell.Key(kF11);
    EXPECT_EQ(shell->settings.keys[0], kF11);
    EXPECT_FALSE(shell->settings.fullscreen);
    // Bound to Left, F11 is Left and switches nothing.
    EXPECT_EQ(TranslateKey(shell->settings, kF11), kStandardKeys[0]);
    shell.Key(kF11);
    EXPECT_FALSE(shell->settings.fullscreen);
    EXPECT_FALSE(shell->settings.fullscreenStored);
    // A value of another kind in the file is left alone and the window stays windowed.
    std::ofstream(shell.pref + "settings.json") << R"({"fullscreen":"yes","muted":true})";
    TSettings read;
    EXPECT_EQ(LoadSettings(read, shell.pref + "settings.json"), "");
    EXPECT_FALSE(read.fullscreen);
    SaveSettings(read, shell.pref + "settings.json");
    EXPECT_NE(ReadAll(shell.pref + "settings.json").find(R"({"fullscreen":"yes","muted":true,)"), std::string::npos);
}

}  // namespace
}  // namespace reedmark
