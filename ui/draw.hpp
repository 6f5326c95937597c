// The drawing layer: immediate-mode primitives on the 1280 x 800 canvas, the bitmap
// font, word wrapping, frames, panels, paper and buttons. Screens draw with these and
// register their buttons while drawing; the input handlers act on the button table the
// last frame left. Every primitive is recorded into a draw log, which is how the screens
// are tested without comparing pixels, and how a frame that would only repeat the
// picture already shown is recognised and not drawn again.
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
    TArt* image = nullptr;
    bool SameAs(const TDrawCall& o) const {
        return kind == o.kind && a == o.a && b == o.b && c == o.c && d == o.d && colour == o.colour && size == o.size &&
               image == o.image && text == o.text;
    }
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
    // Ends the frame's drawing. Answers true when the frame was drawn onto the renderer
    // and must be presented; false when every call repeated the picture on screen (same
    // calls in the same order, every picture unchanged), which is then left as it is.
    bool EndFrame();
    // The next frame is drawn whatever it holds (the window was exposed, resized or
    // switched to full-screen, so the picture on screen may be gone).
    void ForceRepaint() { repaint_ = true; }
    // A focus at or beyond the number of buttons registered becomes 0.
    void ClampFocus();
    // The log is always kept; recording needs no switch.
    void SetRecording(bool) {}
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
    // Logs a call; answers true when it must be drawn now. Until a call differs from
    // the one at its place in the picture on screen, calls are only logged; the first
    // that differs starts the drawing, which first draws the calls held back.
    bool Record(TDrawCall call);
    void StartDrawing(size_t heldBack);
    // Draws one logged call. A held-back picture is copied from its texture as it
    // stood when logged; a live one is refilled first when its pixels changed.
    void Render(const TDrawCall& call, bool live);

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
    std::vector<TDrawCall> log_;
    // The calls of the picture on screen, and whether this frame is being drawn.
    std::vector<TDrawCall> shown_;
    bool drawing_ = false;
    bool repaint_ = true;
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
