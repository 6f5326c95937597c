// The settings screen and the key-bindings screen.
#include <string>

#include "ui/screens.hpp"
#include "ui/shell.hpp"

namespace reedmark {

namespace {

const char* TrueFalse(bool b) {
    return b ? "True" : "False";
}

}  // namespace

void DrawSettings(TShell& s) {
    TDrawLayer& d = s.draw;
    const TSettings& st = s.settings;
    d.DrawPanel(200, 96, 880, 620, "SETTINGS");
    d.AddButton(240, 130, 800, 46, 80, "Music: " + IntToStr(st.musicVolume) + "% / click to cycle");
    d.AddButton(240, 190, 800, 46, 81, std::string("Mute: ") + TrueFalse(st.muted));
    d.AddButton(240, 250, 800, 46, 82, st.fastAI ? "AI animation: instant" : "AI animation: normal");
    d.AddButton(240, 310, 800, 46, 83, "Effects: " + IntToStr(st.effectsVolume) + "% / click to cycle");
    d.AddButton(240, 370, 800, 46, 84, "Key bindings");
    d.AddButton(240, 430, 800, 46, 85, std::string("Reduced motion: ") + TrueFalse(st.reducedMotion));
    d.DrawWrapped(242, 500, 790,
                  "Resizable window / logical 1280 x 800. Pixel atlas and portraits are original. Keyboard and "
                  "mouse controls are both available. Audio and settings use SDL2 on Linux and Windows.",
                  kGrey, 18, 5);
    d.AddButton(240, 604, 800, 48, 8, "Back");
}

void DrawKeyBindings(TShell& s) {
    TDrawLayer& d = s.draw;
    const TSettings& st = s.settings;
    d.DrawPanel(200, 110, 880, 606, "KEY BINDINGS");
    for (int i = 0; i < kBindableActions; ++i) {
        d.AddButton(
            240, 150 + 64 * i, 800, 48, 5000 + i,
            std::string(kBindingNames[static_cast<size_t>(i)]) + " / key " + IntToStr(st.keys[static_cast<size_t>(i)]));
    }
    if (st.captureSlot >= 0 && st.captureSlot < kBindableActions) {
        d.DrawText(240, 550, std::string("Press a key for ") + kBindingNames[static_cast<size_t>(st.captureSlot)],
                   kGold, 16);
    }
    d.AddButton(240, 632, 800, 48, 8, "Back");
}

}  // namespace reedmark
