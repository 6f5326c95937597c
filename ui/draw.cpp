// The drawing layer: rectangles, lines, bitmap text, word wrapping, frames, panels,
// paper and buttons: one renderer call per rectangle, and per text a copy of the text
// prepared in its colour and size (kept while it is drawn); a frame that repeats the
// picture on screen call for call is logged but not drawn.
#include "ui/draw.hpp"

#include <algorithm>

#include "art/art.hpp"

namespace reedmark {

namespace {

constexpr int kGlyphCell = 16;
constexpr int kFirstGlyph = 32;
constexpr int kLastGlyph = 127;
constexpr int kFontColumns = 16;

// The source pixel of a glyph cell for pixel `i` of a glyph drawn `size` wide: the
// centre-sampled nearest neighbour in 16.16 fixed point, as the renderer stretches.
int Sample(int i, int size) {
    const int step = (kGlyphCell << 16) / size;
    return (step / 2 + i * step) >> 16;
}

}  // namespace

std::string IntToStr(long long n) {
    return std::to_string(n);
}

void TDrawLayer::Attach(SDL_Renderer* renderer, SDL_Surface* font) {
    Detach();
    renderer_ = renderer;
    font_ = font;
    repaint_ = true;
}

void TDrawLayer::Detach() {
    for (auto& [key, text] : texts_) SDL_DestroyTexture(text.texture);
    texts_.clear();
    for (auto& [size, surface] : glyphs_) SDL_FreeSurface(surface);
    glyphs_.clear();
    renderer_ = nullptr;
    font_ = nullptr;
}

// The glyph sheet scaled (nearest neighbour) to one glyph size, glyphs opaque on
// transparent, made on first use. Null when it cannot be made: the text is then skipped.
SDL_Surface* TDrawLayer::GlyphsOfSize(int size) {
    auto found = glyphs_.find(size);
    if (found != glyphs_.end()) return found->second;
    const int rows = (kLastGlyph - kFirstGlyph) / kFontColumns + 1;
    if (size <= 0 || size > 256) return nullptr;
    SDL_Surface* source = SDL_ConvertSurfaceFormat(font_, SDL_PIXELFORMAT_ARGB8888, 0);
    SDL_Surface* scaled =
        SDL_CreateRGBSurfaceWithFormat(0, kFontColumns * size, rows * size, 32, SDL_PIXELFORMAT_ARGB8888);
    const bool ok = source && scaled && source->w >= kFontColumns * kGlyphCell && source->h >= rows * kGlyphCell;
    if (ok) {
        for (int y = 0; y < scaled->h; ++y) {
            const int sy = (y / size) * kGlyphCell + Sample(y % size, size);
            const auto* in = reinterpret_cast<const std::uint32_t*>(static_cast<const Uint8*>(source->pixels) +
                                                                    static_cast<std::ptrdiff_t>(sy) * source->pitch);
            auto* out = reinterpret_cast<std::uint32_t*>(static_cast<Uint8*>(scaled->pixels) +
                                                         static_cast<std::ptrdiff_t>(y) * scaled->pitch);
            for (int x = 0; x < scaled->w; ++x) {
                const int sx = (x / size) * kGlyphCell + Sample(x % size, size);
                const std::uint32_t rgb = in[sx] & 0xFFFFFFu;
                out[x] = rgb == 0 ? 0u : (0xFF000000u | rgb);  // black is the transparent colour
            }
        }
    }
    if (source) SDL_FreeSurface(source);
    if (!ok) {
        if (scaled) SDL_FreeSurface(scaled);
        return nullptr;
    }
    glyphs_[size] = scaled;
    return scaled;
}

// A text in one colour and size as a texture of its own: each glyph tinted as a colour
// modulation would tint it, later glyphs over earlier ones where they overlap.
const TDrawLayer::TCachedText* TDrawLayer::RenderedText(const std::string& text, std::uint32_t colour, int size) {
    auto key = std::make_tuple(size, colour, text);
    auto found = texts_.find(key);
    if (found != texts_.end()) {
        found->second.lastFrame = frame_;
        return &found->second;
    }
    SDL_Surface* glyphs = GlyphsOfSize(size);
    if (!glyphs) return nullptr;
    const int advance = TextAdvance(size);
    // Glyphs starting beyond a few canvas widths can never be seen; the texture stops there.
    constexpr long long kWidest = 4096;
    const size_t count = std::min<size_t>(text.size(), static_cast<size_t>(kWidest / std::max(advance, 1)) + 1);
    const long long width = static_cast<long long>(advance) * static_cast<long long>(count - 1) + size;
    SDL_Surface* line = SDL_CreateRGBSurfaceWithFormat(0, static_cast<int>(width), size, 32, SDL_PIXELFORMAT_ARGB8888);
    if (!line) return nullptr;
    SDL_FillRect(line, nullptr, 0);
    const std::uint32_t r = (colour >> 16) & 0xFF, g = (colour >> 8) & 0xFF, b = colour & 0xFF;
    for (size_t i = 0; i < count; ++i) {
        int code = static_cast<unsigned char>(text[i]);
        if (code < kFirstGlyph || code > kLastGlyph) code = '?';
        const int gx = (code % kFontColumns) * size;
        const int gy = (code - kFirstGlyph) / kFontColumns * size;
        const int ox = static_cast<int>(i) * advance;
        for (int y = 0; y < size; ++y) {
            const auto* in = reinterpret_cast<const std::uint32_t*>(
                static_cast<const Uint8*>(glyphs->pixels) + static_cast<std::ptrdiff_t>(gy + y) * glyphs->pitch);
            auto* out = reinterpret_cast<std::uint32_t*>(static_cast<Uint8*>(line->pixels) +
                                                         static_cast<std::ptrdiff_t>(y) * line->pitch);
            for (int x = 0; x < size; ++x) {
                const std::uint32_t p = in[gx + x];
                if ((p >> 24) == 0) continue;
                out[ox + x] = 0xFF000000u | ((((p >> 16) & 0xFF) * r / 255) << 16) |
                              ((((p >> 8) & 0xFF) * g / 255) << 8) | ((p & 0xFF) * b / 255);
            }
        }
    }
    SDL_Texture* texture = SDL_CreateTextureFromSurface(renderer_, line);
    SDL_FreeSurface(line);
    if (!texture) return nullptr;
    SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_BLEND);
    TCachedText& cached = texts_[key];
    cached = TCachedText{texture, static_cast<int>(width), frame_};
    return &cached;
}

// Texts not drawn for a few seconds are let go, so the cache holds about one screen.
void TDrawLayer::DropUnusedTexts() {
    constexpr long long kKeepFrames = 120;
    for (auto it = texts_.begin(); it != texts_.end();) {
        if (frame_ - it->second.lastFrame > kKeepFrames) {
            SDL_DestroyTexture(it->second.texture);
            it = texts_.erase(it);
        } else {
            ++it;
        }
    }
}

void TDrawLayer::BeginFrame() {
    buttonCount_ = 0;
    shown_.swap(log_);
    log_.clear();
    drawing_ = false;
    if (repaint_ && renderer_) StartDrawing(0);
    repaint_ = false;
}

bool TDrawLayer::EndFrame() {
    // Fewer calls than the picture on screen: it lost something, so it is drawn.
    if (!drawing_ && renderer_ && log_.size() != shown_.size()) StartDrawing(log_.size());
    return drawing_;
}

bool TDrawLayer::Record(TDrawCall call) {
    log_.push_back(std::move(call));
    if (!renderer_) return false;
    if (drawing_) return true;
    const size_t i = log_.size() - 1;
    const TDrawCall& now = log_[i];
    if (i < shown_.size() && now.SameAs(shown_[i]) && (now.image == nullptr || now.image->TextureCurrent(renderer_)))
        return false;
    StartDrawing(i);
    return true;
}

// The whole target is cleared first, so the bars around a letterboxed canvas stay black.
void TDrawLayer::StartDrawing(size_t heldBack) {
    drawing_ = true;
    if (++frame_ % 120 == 0) DropUnusedTexts();
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    for (size_t i = 0; i < heldBack && i < log_.size(); ++i) Render(log_[i], false);
}

void TDrawLayer::Render(const TDrawCall& call, bool live) {
    switch (call.kind) {
        case TDrawCall::dkBox: {
            SetColor(call.colour);
            SDL_Rect r{call.a, call.b, call.c, call.d};
            SDL_RenderFillRect(renderer_, &r);
            break;
        }
        case TDrawCall::dkOutline: {
            SetColor(call.colour);
            SDL_Rect r{call.a, call.b, call.c, call.d};
            SDL_RenderDrawRect(renderer_, &r);
            break;
        }
        case TDrawCall::dkSegment:
            SetColor(call.colour);
            SDL_RenderDrawLine(renderer_, call.a, call.b, call.c, call.d);
            break;
        case TDrawCall::dkText: {
            if (!font_) break;
            const TCachedText* rendered = RenderedText(call.text, call.colour, call.size);
            if (!rendered) break;
            SDL_Rect dst{call.a, call.b, rendered->width, call.size};
            SDL_RenderCopy(renderer_, rendered->texture, nullptr, &dst);
            break;
        }
        case TDrawCall::dkImage:
            if (live)
                call.image->Draw(renderer_, call.a, call.b, call.c, call.d);
            else
                call.image->CopyTexture(renderer_, call.a, call.b, call.c, call.d);
            break;
    }
}

void TDrawLayer::ClampFocus() {
    if (focusIndex >= buttonCount_ || focusIndex < 0) focusIndex = 0;
}

void TDrawLayer::SetColor(std::uint32_t colour) {
    if (!renderer_) return;
    SDL_SetRenderDrawColor(renderer_, static_cast<Uint8>(colour >> 16), static_cast<Uint8>(colour >> 8),
                           static_cast<Uint8>(colour), 255);
}

void TDrawLayer::FillBox(int x, int y, int w, int h, std::uint32_t colour) {
    if (Record({TDrawCall::dkBox, x, y, w, h, colour, 0, {}})) Render(log_.back(), true);
}

void TDrawLayer::OutlineBox(int x, int y, int w, int h, std::uint32_t colour) {
    if (Record({TDrawCall::dkOutline, x, y, w, h, colour, 0, {}})) Render(log_.back(), true);
}

void TDrawLayer::DrawSegment(int x1, int y1, int x2, int y2, std::uint32_t colour) {
    if (Record({TDrawCall::dkSegment, x1, y1, x2, y2, colour, 0, {}})) Render(log_.back(), true);
}

void TDrawLayer::DrawText(int x, int y, const std::string& text, std::uint32_t colour, int size) {
    if (text.empty()) return;
    if (Record({TDrawCall::dkText, x, y, 0, 0, colour, size, text})) Render(log_.back(), true);
}

std::vector<std::string> WrapLines(int width, const std::string& text, int size, int maxLines) {
    std::vector<std::string> lines;
    std::string flat = text;
    std::replace(flat.begin(), flat.end(), '\n', ' ');
    // Strict splitting at every single space: two spaces give an empty word.
    std::vector<std::string> words;
    size_t start = 0;
    while (true) {
        size_t space = flat.find(' ', start);
        if (space == std::string::npos) {
            words.push_back(flat.substr(start));
            break;
        }
        words.push_back(flat.substr(start, space - start));
        start = space + 1;
    }
    const long long advance = TextAdvance(size);
    std::string line;
    for (const std::string& word : words) {
        if (advance * static_cast<long long>(line.size() + word.size() + 1) > width) {
            lines.push_back(line);
            line.clear();
            if (static_cast<int>(lines.size()) >= maxLines) return lines;
        }
        if (!line.empty()) line += ' ';
        line += word;
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

void TDrawLayer::DrawWrapped(int x, int y, int width, const std::string& text, std::uint32_t colour, int size,
                             int maxLines) {
    std::vector<std::string> lines = WrapLines(width, text, size, maxLines);
    for (size_t i = 0; i < lines.size(); ++i) DrawText(x, y + (size + 7) * static_cast<int>(i), lines[i], colour, size);
}

void TDrawLayer::DrawFrame(int x, int y, int w, int h) {
    FillBox(x, y, w, h, kRed);
    OutlineBox(x, y, w, h, kGold);
    OutlineBox(x + 3, y + 3, w - 6, h - 6, kDarkBlue);
    for (int i = 0; i <= (w - 4) / 12; ++i) {
        FillBox(x + 2 + 12 * i, y + 2, 4, 4, kGold);
        FillBox(x + 5 + 12 * i, y + h - 6, 4, 4, kNearWhite);
    }
    for (int j = 0; j <= (h - 4) / 12; ++j) {
        FillBox(x + 2, y + 12 * j, 4, 4, kGold);
        FillBox(x + w - 6, y + 3 + 12 * j, 4, 4, kNearWhite);
    }
}

void TDrawLayer::DrawPanel(int x, int y, int w, int h, const std::string& title) {
    DrawFrame(x, y, w, h);
    FillBox(x + 8, y + 8, w - 16, h - 16, kBlack);
    if (!title.empty()) {
        FillBox(x + 16, y - 6, static_cast<int>(title.size()) * 12 + 16, 22, kBlack);
        DrawText(x + 24, y - 5, title, kGold, 16);
    }
}

void TDrawLayer::FillPaper(int x, int y, int w, int h) {
    FillBox(x, y, w, h, kPaper);
    for (int k = 0; k <= h / 4; ++k) FillBox(x, y + 4 * k, w, 1, kPaperRule);
}

void TDrawLayer::DrawImage(TArt& image, const std::string& name, int x, int y, int w, int h) {
    if (Record({TDrawCall::dkImage, x, y, w, h, 0, 0, name, &image})) Render(log_.back(), true);
}

int TDrawLayer::AddButton(int x, int y, int w, int h, int action, const std::string& caption) {
    if (buttonCount_ >= kMaxButtons) return -1;
    const int index = buttonCount_;
    buttons_[static_cast<size_t>(index)] = TButton{x, y, w, h, action, caption, 0};
    FillBox(x, y, w, h, kBlack);
    if (index == focusIndex) {
        FillBox(x, y, w, h, kDarkBlue);
        OutlineBox(x, y, w, h, kGold);
    }
    const int length = static_cast<int>(caption.size());
    const int s = std::clamp(((w - 24) * 4) / std::max(3 * length, 1), 12, 20);
    DrawText(x + 12, y + (h - s) / 2, caption, kNearWhite, s);
    ++buttonCount_;
    return index;
}

int TDrawLayer::AddMenuItem(int x, int y, int w, int h, int action, int hotkey, const std::string& caption,
                            bool enabled) {
    const int index = AddButton(x, y, w, h, action, "");
    if (index < 0) return -1;
    TButton& b = buttons_[static_cast<size_t>(index)];
    b.caption = caption;
    b.hotkey = hotkey;
    if (hotkey > 0) DrawText(x + 6, y + 5, std::string(1, static_cast<char>(hotkey)), enabled ? kGold : kDarkGrey, 24);
    const int length = static_cast<int>(caption.size());
    const int s = std::clamp(((w - 32) * 4) / std::max(3 * length, 1), 14, 24);
    DrawText(x + 32, y + 5, caption, enabled ? kNearWhite : kDarkGrey, s);
    return index;
}

}  // namespace reedmark
