// The drawing layer: immediate-mode primitives on the 1280 x 800 canvas, the bitmap
// font, word wrapping, frames, panels, paper and buttons. Screens draw with these and
// register their buttons while drawing; the input handlers act on the button table the
// last frame left. Every primitive can also be recorded into a draw log, which is how
// the screens are tested without comparing pixels.
#pragma once

#include <SDL.h>

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <tuple>
#include <vector>

namespace reedmark {

class TArt;

// Interface colours.
constexpr std::uint32_t kGold = 0xF0D850;
constexpr std::uint32_t kNearWhite = 0xF4F4EC;
constexpr std::uint32_t kPaleBlue = 0xC8E0EC;
constexpr std::uint32_t kGrey = 0xB4B4A8;
constexpr std::uint32_t kDarkGrey = 0x585860;
constexpr std::uint32_t kRed = 0xA82828;
constexpr std::uint32_t kDarkBlue = 0x1C2C70;
constexpr std::uint32_t kBlack = 0x000000;
constexpr std::uint32_t kPaper = 0xF0EFDE;
constexpr std::uint32_t kPaperRule = 0xDCE4DB;
constexpr std::uint32_t kNameViolet = 0x803C8C;
constexpr std::uint32_t kProfessionBrown = 0x8C5A2C;

constexpr int kMaxButtons = 160;

struct TButton {
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
    int action = 0;
    std::string caption;
    int hotkey = 0;
    bool Contains(int px, int py) const { return x <= px && px < x + w && y <= py && py < y + h; }
};

// One recorded drawing call.
struct TDrawCall {
    enum TKind { dkBox, dkOutline, dkSegment, dkText, dkImage };
    TKind kind = dkBox;
    int a = 0, b = 0, c = 0, d = 0;  // x, y, w, h (or x1, y1, x2, y2)
    std::uint32_t colour = 0;
    int size = 0;
    std::string text;  // the text, or the image name
};

class TDrawLayer {
   public:
    // [SECTION] Frame and state
    // Draws with `renderer` and the glyph sheet `font` (white glyphs on black, not owned).
    // Glyphs are prepared once per size, so a frame's text is copied, never stretched.
    void Attach(SDL_Renderer* renderer, SDL_Surface* font);
    // Releases the prepared glyphs; call before the renderer goes.
    void Detach();
    SDL_Renderer* Renderer() const { return renderer_; }
    // Empties the button table (and the draw log) before a frame is drawn.
    void BeginFrame();
    // A focus at or beyond the number of buttons registered becomes 0.
    void ClampFocus();
    void SetRecording(bool on) { recording_ = on; }
    const std::vector<TDrawCall>& Log() const { return log_; }

    const TButton& Button(int i) const { return buttons_[static_cast<size_t>(i)]; }
    int ButtonCount() const { return buttonCount_; }
    int focusIndex = 0;

    // [SECTION] Primitives
    void SetColor(std::uint32_t colour);
    void FillBox(int x, int y, int w, int h, std::uint32_t colour);
    void OutlineBox(int x, int y, int w, int h, std::uint32_t colour);
    void DrawSegment(int x1, int y1, int x2, int y2, std::uint32_t colour);
    void DrawText(int x, int y, const std::string& text, std::uint32_t colour, int size);
    void DrawWrapped(int x, int y, int width, const std::string& text, std::uint32_t colour, int size, int maxLines);
    void DrawFrame(int x, int y, int w, int h);
    void DrawPanel(int x, int y, int w, int h, const std::string& title);
    void FillPaper(int x, int y, int w, int h);
    // A picture scaled into the rectangle; `name` labels it in the draw log.
    void DrawImage(TArt& image, const std::string& name, int x, int y, int w, int h);

    // [SECTION] Buttons
    // Draws and registers a plain button; answers its index, or -1 when the table is full.
    int AddButton(int x, int y, int w, int h, int action, const std::string& caption);
    // A button with a hotkey glyph; a disabled item is drawn grey and still works.
    int AddMenuItem(int x, int y, int w, int h, int action, int hotkey, const std::string& caption, bool enabled);
    // Gives a registered button a hotkey (a card drawn over a plain button).
    void SetHotkey(int index, int hotkey) {
        if (index >= 0 && index < buttonCount_) buttons_[static_cast<size_t>(index)].hotkey = hotkey;
    }

   private:
    void Record(TDrawCall call) {
        if (recording_) log_.push_back(std::move(call));
    }

    struct TCachedText {
        SDL_Texture* texture = nullptr;
        int width = 0;
        long long lastFrame = 0;
    };
    SDL_Surface* GlyphsOfSize(int size);
    const TCachedText* RenderedText(const std::string& text, std::uint32_t colour, int size);
    void DropUnusedTexts();

    SDL_Renderer* renderer_ = nullptr;
    SDL_Surface* font_ = nullptr;
    // The glyph sheet scaled to each size used, and each text drawn recently in its
    // colour: a frame's text is then one plain copy per string, never a stretched,
    // tinted copy per glyph (which costs the software renderer most of a frame).
    std::map<int, SDL_Surface*> glyphs_;
    std::map<std::tuple<int, std::uint32_t, std::string>, TCachedText> texts_;
    long long frame_ = 0;
    std::array<TButton, kMaxButtons> buttons_{};
    int buttonCount_ = 0;
    bool recording_ = false;
    std::vector<TDrawCall> log_;
};

// Decimal text of a signed integer.
std::string IntToStr(long long n);
// The pixel advance of one character at a glyph size.
inline int TextAdvance(int size) {
    return size * 3 / 4;
}
// The lines DrawWrapped draws for a text (the wrapping rule alone, for callers that
// measure, and for tests).
std::vector<std::string> WrapLines(int width, const std::string& text, int size, int maxLines);

}  // namespace reedmark
