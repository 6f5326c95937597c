// TArt: pixel storage, the clipped primitives, the scaling blit and the lazily refilled texture.
#include "art/art.hpp"

#include <SDL.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <utility>

namespace reedmark {

namespace {

// Coordinates are arbitrary 32-bit integers, so differences and their products need
// more than 64 bits; the wide type keeps every edge and ellipse test exact.
__extension__ typedef __int128 Wide;

constexpr std::uint32_t kOpaque = 0xFF000000u;

constexpr std::uint32_t Opaque(std::uint32_t rgb) {
    return kOpaque | (rgb & 0xFFFFFFu);
}

// The source pixel at a 64-bit position, 0 outside the image.
std::uint32_t SampleAt(const TArt& art, std::int64_t x, std::int64_t y) {
    if (x < 0 || y < 0 || x >= art.Width() || y >= art.Height()) return 0;
    return art
        .Pixels()[static_cast<std::size_t>(y) * static_cast<std::size_t>(art.Width()) + static_cast<std::size_t>(x)];
}

std::uint32_t Channel(std::uint32_t argb, int shift) {
    return (argb >> shift) & 0xFFu;
}

// Greying keeps a quarter of each channel's own colour and three quarters of the luminance.
std::uint32_t Greyed(std::uint32_t argb) {
    std::uint32_t r = Channel(argb, 16), g = Channel(argb, 8), b = Channel(argb, 0);
    std::uint32_t l = (11 * b + 30 * r + 59 * g) / 100;
    r = (r + 3 * l) >> 2;
    g = (g + 3 * l) >> 2;
    b = (b + 3 * l) >> 2;
    return (argb & kOpaque) | (r << 16) | (g << 8) | b;
}

}  // namespace

// [SECTION] Storage

TArt::TArt(int width, int height) {
    Create(width, height);
}

TArt::~TArt() {
    ReleaseTexture();
}

TArt::TArt(TArt&& other) noexcept
    : width_(other.width_),
      height_(other.height_),
      pixels_(std::move(other.pixels_)),
      texture_(std::exchange(other.texture_, nullptr)),
      textureRenderer_(std::exchange(other.textureRenderer_, nullptr)),
      dirty_(other.dirty_) {
    other.width_ = 0;
    other.height_ = 0;
    other.pixels_.clear();
    other.dirty_ = true;
}

TArt& TArt::operator=(TArt&& other) noexcept {
    if (this != &other) {
        ReleaseTexture();
        width_ = std::exchange(other.width_, 0);
        height_ = std::exchange(other.height_, 0);
        pixels_ = std::move(other.pixels_);
        other.pixels_.clear();
        texture_ = std::exchange(other.texture_, nullptr);
        textureRenderer_ = std::exchange(other.textureRenderer_, nullptr);
        dirty_ = std::exchange(other.dirty_, true);
    }
    return *this;
}

void TArt::Create(int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width > kArtMaxSide || height > kArtMaxSide)
        throw TArtError("Image too large: " + std::to_string(width) + " x " + std::to_string(height) + " pixels");
    std::vector<std::uint32_t> fresh(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0u);
    ReleaseTexture();
    pixels_ = std::move(fresh);
    width_ = width;
    height_ = height;
    dirty_ = true;
}

std::uint32_t* TArt::MutablePixels() {
    dirty_ = true;
    return pixels_.data();
}

std::uint32_t TArt::Argb(int x, int y) const {
    return SampleAt(*this, x, y);
}

void TArt::SetArgb(int x, int y, std::uint32_t argb) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x)] = argb;
    dirty_ = true;
}

// [SECTION] Primitives

void TArt::SetPixel(int x, int y, std::uint32_t rgb) {
    SetArgb(x, y, Opaque(rgb));
}

std::uint32_t TArt::GetPixel(int x, int y) const {
    return Argb(x, y) & 0xFFFFFFu;
}

void TArt::Fill(int x, int y, int w, int h, std::uint32_t argb) {
    std::int64_t x0 = std::max<std::int64_t>(x, 0), y0 = std::max<std::int64_t>(y, 0);
    std::int64_t x1 = std::min<std::int64_t>(std::int64_t{x} + w, width_);
    std::int64_t y1 = std::min<std::int64_t>(std::int64_t{y} + h, height_);
    if (x0 >= x1) return;
    for (std::int64_t py = y0; py < y1; ++py) {
        auto row = pixels_.begin() + py * width_;
        std::fill(row + x0, row + x1, argb);
    }
}

void TArt::FillRect(int x, int y, int w, int h, std::uint32_t rgb) {
    dirty_ = true;
    Fill(x, y, w, h, Opaque(rgb));
}

// The integer line algorithm that steps along the major axis and moves the minor axis
// once its error passes one half: at step k the minor offset is floor((2 k minor + major)
// / (2 major)), so ties advance towards the end point. Computing each step directly lets
// the walk start and stop at the image border however far away the ends lie.
void TArt::DrawLine(int x0, int y0, int x1, int y1, std::uint32_t rgb) {
    const std::int64_t ax = std::abs(std::int64_t{x1} - x0), ay = std::abs(std::int64_t{y1} - y0);
    const int stepX = x1 >= x0 ? 1 : -1, stepY = y1 >= y0 ? 1 : -1;
    const bool xMajor = ax >= ay;
    const std::int64_t major = xMajor ? ax : ay, minor = xMajor ? ay : ax;
    const std::int64_t majorStart = xMajor ? x0 : y0, minorStart = xMajor ? y0 : x0;
    const int majorStep = xMajor ? stepX : stepY, minorStep = xMajor ? stepY : stepX;
    const std::int64_t majorLimit = (xMajor ? width_ : height_) - 1;
    const std::int64_t minorLimit = (xMajor ? height_ : width_) - 1;
    if (majorLimit < 0 || minorLimit < 0) return;

    // Steps k whose major coordinate majorStart + majorStep * k lies in 0..majorLimit.
    std::int64_t kFirst, kLast;
    if (majorStep > 0) {
        kFirst = std::max<std::int64_t>(0, -majorStart);
        kLast = std::min<std::int64_t>(major, majorLimit - majorStart);
    } else {
        kFirst = std::max<std::int64_t>(0, majorStart - majorLimit);
        kLast = std::min<std::int64_t>(major, majorStart);
    }
    const std::uint32_t argb = Opaque(rgb);
    for (std::int64_t k = kFirst; k <= kLast; ++k) {
        Wide offset = major == 0 ? 0 : (Wide{2} * k * minor + major) / (Wide{2} * major);
        Wide m = minorStart + minorStep * offset;
        if (m < 0 || m > minorLimit) continue;
        std::int64_t mj = majorStart + majorStep * k;
        if (xMajor)
            SetArgb(static_cast<int>(mj), static_cast<int>(m), argb);
        else
            SetArgb(static_cast<int>(m), static_cast<int>(mj), argb);
    }
}

namespace {

// Fills the rows top..bottom, columns left..right of the triangle with the given integer
// type for the edge functions: 64 bits when the coordinates are moderate, wider otherwise.
template <class Int>
bool FillTriangleRows(std::uint32_t* pixels, std::int64_t stride, std::int64_t left, std::int64_t right,
                      std::int64_t top, std::int64_t bottom, const std::array<std::int64_t, 6>& v, std::uint32_t argb) {
    // Edge function of the edge a->b at p: (bx - ax)(py - ay) - (by - ay)(px - ax); moving p
    // one pixel right changes it by -(by - ay).
    struct Edge {
        Int value;
        Int stepX;
    };
    auto edgeAt = [](std::int64_t ax, std::int64_t ay, std::int64_t bx, std::int64_t by, std::int64_t px,
                     std::int64_t py) {
        return Edge{Int(bx - ax) * Int(py - ay) - Int(by - ay) * Int(px - ax), -Int(by - ay)};
    };
    bool wrote = false;
    for (std::int64_t py = top; py <= bottom; ++py) {
        std::array<Edge, 3> e = {edgeAt(v[0], v[1], v[2], v[3], left, py), edgeAt(v[2], v[3], v[4], v[5], left, py),
                                 edgeAt(v[4], v[5], v[0], v[1], left, py)};
        std::uint32_t* row = pixels + py * stride;
        for (std::int64_t px = left; px <= right; ++px) {
            const bool allNonNegative = e[0].value >= 0 && e[1].value >= 0 && e[2].value >= 0;
            const bool allNonPositive = e[0].value <= 0 && e[1].value <= 0 && e[2].value <= 0;
            if (allNonNegative || allNonPositive) {
                row[px] = argb;
                wrote = true;
            }
            for (Edge& edge : e) edge.value += edge.stepX;
        }
    }
    return wrote;
}

}  // namespace

void TArt::FillTriangle(int x1, int y1, int x2, int y2, int x3, int y3, std::uint32_t rgb) {
    std::int64_t left = std::max<std::int64_t>({0, std::min({x1, x2, x3})});
    std::int64_t right = std::min<std::int64_t>({std::int64_t{width_} - 1, std::max({x1, x2, x3})});
    std::int64_t top = std::max<std::int64_t>({0, std::min({y1, y2, y3})});
    std::int64_t bottom = std::min<std::int64_t>({std::int64_t{height_} - 1, std::max({y1, y2, y3})});
    if (left > right || top > bottom) return;
    const std::array<std::int64_t, 6> v = {x1, y1, x2, y2, x3, y3};
    // Below 2^29 every difference fits 30 bits and each edge function 62 bits.
    constexpr std::int64_t kModerate = std::int64_t{1} << 29;
    const bool moderate =
        std::all_of(v.begin(), v.end(), [](std::int64_t c) { return c > -kModerate && c < kModerate; });
    const bool wrote =
        moderate ? FillTriangleRows<std::int64_t>(pixels_.data(), width_, left, right, top, bottom, v, Opaque(rgb))
                 : FillTriangleRows<Wide>(pixels_.data(), width_, left, right, top, bottom, v, Opaque(rgb));
    if (wrote) dirty_ = true;
}

void TArt::FillEllipse(int cx, int cy, int rx, int ry, std::uint32_t rgb) {
    if (rx < 0 || ry < 0) return;
    const Wide rx2 = Wide(rx) * rx, ry2 = Wide(ry) * ry;
    const std::int64_t jFirst = std::max<std::int64_t>(-std::int64_t{ry}, -std::int64_t{cy});
    const std::int64_t jLast = std::min<std::int64_t>(ry, std::int64_t{height_} - 1 - cy);
    const std::uint32_t argb = Opaque(rgb);
    for (std::int64_t j = jFirst; j <= jLast; ++j) {
        // Widest i with i² ry² <= rx² (ry² - j²); a flat ellipse (ry = 0) is its whole row.
        std::int64_t half = rx;
        if (ry > 0) {
            const Wide rhs = rx2 * (ry2 - Wide(j) * j);
            half = static_cast<std::int64_t>(std::sqrt(static_cast<long double>(rhs) / static_cast<long double>(ry2)));
            while (half > 0 && Wide(half) * half * ry2 > rhs) --half;
            while (Wide(half + 1) * (half + 1) * ry2 <= rhs) ++half;
            half = std::min<std::int64_t>(half, rx);
        }
        std::int64_t from = std::max<std::int64_t>(std::int64_t{cx} - half, 0);
        std::int64_t to = std::min<std::int64_t>(std::int64_t{cx} + half, std::int64_t{width_} - 1);
        if (from > to) continue;
        auto row = pixels_.begin() + (cy + j) * width_;
        std::fill(row + from, row + to + 1, argb);
        dirty_ = true;
    }
}

void TArt::FillPattern(int x, int y, int w, int h, std::uint32_t a, std::uint32_t b, int period) {
    dirty_ = true;
    const std::int64_t p = std::abs(std::int64_t{period});
    std::int64_t x0 = std::max<std::int64_t>(x, 0), y0 = std::max<std::int64_t>(y, 0);
    std::int64_t x1 = std::min<std::int64_t>(std::int64_t{x} + w, width_);
    std::int64_t y1 = std::min<std::int64_t>(std::int64_t{y} + h, height_);
    const std::uint32_t colourA = Opaque(a), colourB = Opaque(b);
    for (std::int64_t py = y0; py < y1; ++py)
        for (std::int64_t px = x0; px < x1; ++px)
            pixels_[py * width_ + px] = (p == 0 || (px + py) % p != 0) ? colourA : colourB;
}

// [SECTION] Blit

void TArt::Blit(const TArt* source, int sx, int sy, int sw, int sh, int dx, int dy, int dw, int dh, int opacity,
                bool smooth, bool grey) {
    if (source == nullptr || sw < 1 || sh < 1 || dw < 1 || dh < 1) return;
    dirty_ = true;
    // Blitting an image onto itself reads from a snapshot so that written pixels are not
    // sampled again.
    TArt snapshot;
    if (source == this) {
        snapshot.width_ = width_;
        snapshot.height_ = height_;
        snapshot.pixels_ = pixels_;
        source = &snapshot;
    }
    const std::int64_t alphaScale = std::clamp(opacity, 0, 255);
    const std::int64_t iFirst = std::max<std::int64_t>(0, -std::int64_t{dx});
    const std::int64_t iLast = std::min<std::int64_t>(std::int64_t{dw} - 1, std::int64_t{width_} - 1 - dx);
    const std::int64_t jFirst = std::max<std::int64_t>(0, -std::int64_t{dy});
    const std::int64_t jLast = std::min<std::int64_t>(std::int64_t{dh} - 1, std::int64_t{height_} - 1 - dy);

    if (iFirst > iLast || jFirst > jLast) return;

    // The source columns of each target column: the nearest one and the two smooth samples.
    const std::size_t columns = static_cast<std::size_t>(iLast - iFirst + 1);
    std::vector<std::int64_t> nearestU(columns);
    std::vector<std::array<std::int64_t, 2>> smoothU(columns);
    for (std::int64_t i = iFirst; i <= iLast; ++i) {
        const std::size_t c = static_cast<std::size_t>(i - iFirst);
        nearestU[c] = sx + std::min<std::int64_t>(sw - 1, (i * sw + sw / 2) / dw);
        for (int k = 0; k < 2; ++k)
            smoothU[c][k] = sx + std::min<std::int64_t>(sw - 1, (4 * i + 1 + 2 * k) * sw / (4 * std::int64_t{dw}));
    }

    for (std::int64_t j = jFirst; j <= jLast; ++j) {
        const std::int64_t v = sy + std::min<std::int64_t>(sh - 1, (j * sh + sh / 2) / dh);
        if (v < 0 || v >= source->height_) continue;
        std::array<std::int64_t, 2> vk{};
        for (int k = 0; k < 2; ++k)
            vk[k] = sy + std::min<std::int64_t>(sh - 1, (4 * j + 1 + 2 * k) * sh / (4 * std::int64_t{dh}));
        std::uint32_t* row = pixels_.data() + (dy + j) * width_;

        for (std::int64_t i = iFirst; i <= iLast; ++i) {
            const std::size_t c = static_cast<std::size_t>(i - iFirst);
            const std::int64_t u = nearestU[c];
            if (u < 0 || u >= source->width_) continue;
            std::uint32_t s;
            if (smooth) {
                std::array<std::uint32_t, 4> sum{};
                for (int k = 0; k < 4; ++k) {
                    std::uint32_t p = SampleAt(*source, smoothU[c][k % 2], vk[k / 2]);
                    for (int ch = 0; ch < 4; ++ch) sum[ch] += Channel(p, 8 * ch);
                }
                s = 0;
                for (int ch = 0; ch < 4; ++ch) s |= (sum[ch] / 4) << (8 * ch);
            } else {
                s = SampleAt(*source, u, v);
            }
            if (grey) s = Greyed(s);

            const std::int64_t a = std::int64_t{Channel(s, 24)} * alphaScale / 255;
            if (a == 0) continue;
            std::uint32_t& t = row[dx + i];
            if (a == 255) {
                t = s;
                continue;
            }
            std::uint32_t out = kOpaque;
            for (int shift = 0; shift <= 16; shift += 8) {
                std::int64_t blended = (Channel(s, shift) * a + Channel(t, shift) * (255 - a)) / 255;
                out |= static_cast<std::uint32_t>(blended) << shift;
            }
            t = out;
        }
    }
}

// [SECTION] Texture

void TArt::UploadTexture(SDL_Renderer* renderer) {
    if (width_ == 0 || height_ == 0) {
        ReleaseTexture();
        dirty_ = false;
        return;
    }
    if (texture_ != nullptr && textureRenderer_ != renderer) ReleaseTexture();
    if (texture_ == nullptr) {
        texture_ = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, width_, height_);
        if (texture_ == nullptr) throw TArtError(SDL_GetError());
        textureRenderer_ = renderer;
    }
    if (SDL_UpdateTexture(texture_, nullptr, pixels_.data(), 4 * width_) != 0) throw TArtError(SDL_GetError());
    // A fully opaque picture blends to exactly its own pixels, so it is copied without
    // blending, which the software renderer does many times faster.
    const bool opaque = std::all_of(pixels_.begin(), pixels_.end(), [](std::uint32_t p) { return p >= kOpaque; });
    SDL_SetTextureBlendMode(texture_, opaque ? SDL_BLENDMODE_NONE : SDL_BLENDMODE_BLEND);
    dirty_ = false;
}

void TArt::Draw(SDL_Renderer* renderer, int x, int y, int w, int h) {
    if (width_ == 0 || height_ == 0) return;
    if (texture_ == nullptr || dirty_ || textureRenderer_ != renderer) UploadTexture(renderer);
    SDL_Rect rect{x, y, w, h};
    // A failed copy only loses this picture for one frame; the next frame tries again.
    SDL_RenderCopy(renderer, texture_, nullptr, &rect);
}

bool TArt::TextureCurrent(const SDL_Renderer* renderer) const {
    if (width_ == 0 || height_ == 0) return true;
    return texture_ != nullptr && textureRenderer_ == renderer && !dirty_;
}

void TArt::CopyTexture(SDL_Renderer* renderer, int x, int y, int w, int h) const {
    if (texture_ == nullptr || textureRenderer_ != renderer) return;
    SDL_Rect rect{x, y, w, h};
    SDL_RenderCopy(renderer, texture_, nullptr, &rect);
}

void TArt::ReleaseTexture() {
    if (texture_ != nullptr) SDL_DestroyTexture(texture_);
    texture_ = nullptr;
    textureRenderer_ = nullptr;
}

// [SECTION] Palette

std::uint32_t FactionColour(int f) {
    static constexpr std::array<std::uint32_t, 15> kColours = {0x78C870, 0xA82828, 0x5C7CE0, 0x2E7D4F, 0x803C8C,
                                                               0x8C5A2C, 0x2A8A8A, 0xD45CD4, 0xF0D850, 0xC8E0EC,
                                                               0xE0705C, 0xA82828, 0xB4B4A8, 0x1C2C70, 0x585860};
    return kColours[static_cast<std::size_t>(std::max(f, 0) % 15)];
}

}  // namespace reedmark
