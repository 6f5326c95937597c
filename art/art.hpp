// TArt: a 32-bit ARGB pixel image in memory with clipped drawing primitives, a scaling and
// blending blit, and a renderer texture that is refilled only when the pixels changed.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <vector>

struct SDL_Renderer;
struct SDL_Texture;

namespace reedmark {

// Failures of the art layer: textures that cannot be made, artwork that cannot be read.
class TArtError : public std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Largest side an image may have; bigger requests are refused rather than allocated.
constexpr int kArtMaxSide = 16384;

class TArt {
   public:
    TArt() = default;
    TArt(int width, int height);
    // Also destroys the texture. The renderer that made the texture must still exist
    // (call ReleaseTexture before destroying a renderer that outlives no image).
    virtual ~TArt();
    TArt(const TArt&) = delete;
    TArt& operator=(const TArt&) = delete;
    TArt(TArt&& other) noexcept;
    TArt& operator=(TArt&& other) noexcept;

    // A new image of the given size, all zero (transparent black) and dirty. Negative
    // sizes count as 0; a side above kArtMaxSide throws TArtError and keeps the image.
    // The old texture is released, since its size no longer fits.
    void Create(int width, int height);

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Dirty() const { return dirty_; }
    const std::vector<std::uint32_t>& Pixels() const { return pixels_; }
    // Row-major pixel storage for loaders and bulk painters; marks the image dirty.
    std::uint32_t* MutablePixels();

    // The stored value with alpha, 0 outside the image.
    std::uint32_t Argb(int x, int y) const;
    // Raw write including alpha; outside the image nothing changes (dirty neither).
    void SetArgb(int x, int y, std::uint32_t argb);

    // Primitives: colours are 24-bit RGB written opaque; everything is clipped.
    void SetPixel(int x, int y, std::uint32_t rgb);                // outside: no change, dirty untouched
    std::uint32_t GetPixel(int x, int y) const;                    // RGB without alpha, 0 outside
    void FillRect(int x, int y, int w, int h, std::uint32_t rgb);  // always marks dirty
    // Bresenham line, both ends included.
    void DrawLine(int x0, int y0, int x1, int y1, std::uint32_t rgb);
    // Every pixel of the bounding box whose three edge functions share a sign (either
    // winding; pixels on an edge are inside).
    void FillTriangle(int x1, int y1, int x2, int y2, int x3, int y3, std::uint32_t rgb);
    // Pixels (cx + i, cy + j), |i| <= rx, |j| <= ry, with i² ry² + j² rx² <= rx² ry².
    void FillEllipse(int cx, int cy, int rx, int ry, std::uint32_t rgb);
    // Colour a where (px + py) mod period != 0 in image coordinates, colour b on the
    // diagonals where it is 0. A period of 0 has no diagonals; a negative period acts
    // like its magnitude. Always marks dirty.
    void FillPattern(int x, int y, int w, int h, std::uint32_t a, std::uint32_t b, int period);

    // Scales the source rectangle (sx, sy, sw, sh) onto (dx, dy, dw, dh): nearest pixel or
    // a 4-sample average, optionally greyed, blended by source alpha times opacity / 255.
    // Nothing happens for a missing source or a size below 1; otherwise the image is dirty.
    void Blit(const TArt* source, int sx, int sy, int sw, int sh, int dx, int dy, int dw, int dh, int opacity,
              bool smooth, bool grey);

    // Creates the texture when missing (or made by another renderer) and fills it with
    // the pixels; dirty becomes false. Throws TArtError with SDL's text on failure. An
    // empty image has no texture.
    void UploadTexture(SDL_Renderer* renderer);
    // Uploads when there is no texture or the pixels changed, then copies the whole
    // texture to (x, y, w, h), blending by its alpha. An empty image draws nothing.
    void Draw(SDL_Renderer* renderer, int x, int y, int w, int h);
    // True when drawing with `renderer` would show exactly what its texture already
    // holds: the texture exists there and the pixels have not changed since it was
    // filled (an empty image, which draws nothing, always is).
    bool TextureCurrent(const SDL_Renderer* renderer) const;
    // Copies the texture as it stands, without refilling it, to (x, y, w, h): a picture
    // drawn earlier in a frame keeps the pixels it had then.
    void CopyTexture(SDL_Renderer* renderer, int x, int y, int w, int h) const;
    // Destroys the texture (the next Draw makes a new one).
    void ReleaseTexture();

   private:
    void Fill(int x, int y, int w, int h, std::uint32_t argb);

    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint32_t> pixels_;
    SDL_Texture* texture_ = nullptr;
    SDL_Renderer* textureRenderer_ = nullptr;
    bool dirty_ = true;
};

// The fellowship palette: faction f (negative counts as 0) has colour f mod 15.
std::uint32_t FactionColour(int f);

}  // namespace reedmark
