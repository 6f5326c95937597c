// The painting kit of the art generator: a floating-point RGBA canvas, soft anti-aliased
// shapes given by signed distance functions, value noise for brush texture, and lighting.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "art/art.hpp"

namespace artgen {

// A colour with channels 0..1.
struct Col {
    float r = 0, g = 0, b = 0;
};

inline Col Hex(std::uint32_t rgb) {
    return {((rgb >> 16) & 0xFF) / 255.0f, ((rgb >> 8) & 0xFF) / 255.0f, (rgb & 0xFF) / 255.0f};
}
inline Col operator+(Col a, Col b) {
    return {a.r + b.r, a.g + b.g, a.b + b.b};
}
inline Col operator*(Col a, float k) {
    return {a.r * k, a.g * k, a.b * k};
}
inline Col operator*(Col a, Col b) {
    return {a.r * b.r, a.g * b.g, a.b * b.b};
}
inline Col Mix(Col a, Col b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}
// Lightens (k > 0) towards white or darkens (k < 0) towards black.
inline Col Tone(Col c, float k) {
    return k >= 0 ? Mix(c, Col{1, 1, 1}, k) : Mix(c, Col{0, 0, 0}, -k);
}
inline float Clamp01(float v) {
    return std::clamp(v, 0.0f, 1.0f);
}
inline float Smooth(float e0, float e1, float x) {
    const float t = Clamp01((x - e0) / (e1 - e0));
    return t * t * (3 - 2 * t);
}

struct Pt {
    float x = 0, y = 0;
};
inline Pt operator+(Pt a, Pt b) {
    return {a.x + b.x, a.y + b.y};
}
inline Pt operator-(Pt a, Pt b) {
    return {a.x - b.x, a.y - b.y};
}
inline Pt operator*(Pt a, float k) {
    return {a.x * k, a.y * k};
}
inline float Dot(Pt a, Pt b) {
    return a.x * b.x + a.y * b.y;
}
inline float Len(Pt a) {
    return std::sqrt(a.x * a.x + a.y * a.y);
}

// [SECTION] Noise

inline std::uint32_t Hash(std::int32_t x, std::int32_t y, std::uint32_t seed) {
    std::uint32_t h =
        static_cast<std::uint32_t>(x) * 374761393u + static_cast<std::uint32_t>(y) * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return h ^ (h >> 16);
}
// A hash value in 0..1.
inline float Rand(std::int32_t x, std::int32_t y, std::uint32_t seed) {
    return (Hash(x, y, seed) & 0xFFFFFF) / 16777215.0f;
}
// Smooth value noise in 0..1 with features about one unit apart.
inline float Noise(float x, float y, std::uint32_t seed) {
    const float fx = std::floor(x), fy = std::floor(y);
    const auto ix = static_cast<std::int32_t>(fx), iy = static_cast<std::int32_t>(fy);
    float tx = x - fx, ty = y - fy;
    tx = tx * tx * (3 - 2 * tx);
    ty = ty * ty * (3 - 2 * ty);
    const float a = Rand(ix, iy, seed), b = Rand(ix + 1, iy, seed);
    const float c = Rand(ix, iy + 1, seed), d = Rand(ix + 1, iy + 1, seed);
    return a + (b - a) * tx + (c - a) * ty + (a - b - c + d) * tx * ty;
}
// Fractal noise in about 0..1.
inline float Fbm(float x, float y, std::uint32_t seed, int octaves = 4) {
    float sum = 0, amplitude = 0.5f, total = 0;
    for (int i = 0; i < octaves; ++i) {
        sum += Noise(x, y, seed + static_cast<std::uint32_t>(i) * 101u) * amplitude;
        total += amplitude;
        x = x * 2.03f + 17.1f;
        y = y * 2.03f + 5.3f;
        amplitude *= 0.5f;
    }
    return sum / total;
}
// Brush-stroke texture: noise stretched along the direction of angle (radians), in -0.5..0.5.
inline float Strokes(float x, float y, float angle, float scale, std::uint32_t seed) {
    const float c = std::cos(angle), s = std::sin(angle);
    const float u = (x * c + y * s) / (scale * 4), v = (-x * s + y * c) / scale;
    return Fbm(u, v, seed, 3) - 0.5f;
}

// [SECTION] Signed distances (negative inside), in design units

inline float SdEllipse(Pt p, Pt c, float rx, float ry) {
    const float x = (p.x - c.x) / rx, y = (p.y - c.y) / ry;
    const float k0 = std::sqrt(x * x + y * y);
    const float k1 = std::sqrt(x * x / (rx * rx) + y * y / (ry * ry));
    if (k1 < 1e-6f) return -std::min(rx, ry);
    return k0 * (k0 - 1) / k1;
}
inline float SdCircle(Pt p, Pt c, float r) {
    return Len(p - c) - r;
}
// A segment from a to b whose radius runs from ra to rb.
inline float SdTaper(Pt p, Pt a, Pt b, float ra, float rb) {
    const Pt ab = b - a, ap = p - a;
    const float l2 = Dot(ab, ab);
    const float t = l2 > 0 ? std::clamp(Dot(ap, ab) / l2, 0.0f, 1.0f) : 0.0f;
    return Len(ap - ab * t) - (ra + (rb - ra) * t);
}
// Any simple polygon (either winding).
inline float SdPolygon(Pt p, const std::vector<Pt>& v) {
    float d = Dot(p - v[0], p - v[0]);
    float s = 1;
    for (std::size_t i = 0, j = v.size() - 1; i < v.size(); j = i, ++i) {
        const Pt e = v[j] - v[i], w = p - v[i];
        const float l2 = Dot(e, e);
        const float t = l2 > 0 ? std::clamp(Dot(w, e) / l2, 0.0f, 1.0f) : 0.0f;
        const Pt b = w - e * t;
        d = std::min(d, Dot(b, b));
        const bool c1 = p.y >= v[i].y, c2 = p.y<v[j].y, c3 = e.x * w.y> e.y * w.x;
        if ((c1 && c2 && c3) || (!c1 && !c2 && !c3)) s = -s;
    }
    return s * std::sqrt(d);
}
// Points along a quadratic curve from a to c bending towards b.
inline std::vector<Pt> Bezier(Pt a, Pt b, Pt c, int n = 12) {
    std::vector<Pt> out;
    for (int i = 0; i <= n; ++i) {
        const float t = static_cast<float>(i) / n, u = 1 - t;
        out.push_back(a * (u * u) + b * (2 * u * t) + c * (t * t));
    }
    return out;
}

// [SECTION] Canvas

// Premultiplied RGBA in floats. Design units map to pixels by scale (and an origin), so a
// picture can be painted larger than its design and reduced for smooth edges.
class Canvas {
   public:
    Canvas(int width, int height, float scale = 1)
        : w_(width), h_(height), scale_(scale), base_(scale), px_(static_cast<std::size_t>(width) * height * 4) {}

    int Width() const { return w_; }
    int Height() const { return h_; }
    float Scale() const { return scale_; }
    // Paints what follows zoomed by `zoom` about the design point (ax, ay); zoom 1 undoes it.
    void Zoom(float zoom, float ax, float ay) {
        scale_ = base_ * zoom;
        ox_ = ax - ax / zoom;
        oy_ = ay - ay / zoom;
    }

    // Source-over of a straight colour with coverage alpha at pixel (x, y).
    void Over(int x, int y, Col c, float alpha) {
        if (x < 0 || y < 0 || x >= w_ || y >= h_ || alpha <= 0) return;
        alpha = std::min(alpha, 1.0f);
        float* p = &px_[(static_cast<std::size_t>(y) * w_ + x) * 4];
        const float k = 1 - alpha;
        p[0] = c.r * alpha + p[0] * k;
        p[1] = c.g * alpha + p[1] * k;
        p[2] = c.b * alpha + p[2] * k;
        p[3] = alpha + p[3] * k;
    }
    // The straight colour and alpha at a pixel.
    Col At(int x, int y, float* alpha = nullptr) const {
        x = std::clamp(x, 0, w_ - 1);
        y = std::clamp(y, 0, h_ - 1);
        const float* p = &px_[(static_cast<std::size_t>(y) * w_ + x) * 4];
        if (alpha != nullptr) *alpha = p[3];
        if (p[3] <= 0) return {};
        return {p[0] / p[3], p[1] / p[3], p[2] / p[3]};
    }

    // Paints the shape whose signed distance (design units) is sd(p) inside the design box
    // (x0, y0)-(x1, y1); colour(p) gives its colour, edges are soft over `soft` design units
    // plus one pixel, and opacity scales the whole shape. colour may answer an alpha factor
    // through its second argument.
    template <class Sd, class Shade>
    void Paint(float x0, float y0, float x1, float y1, Sd sd, Shade colour, float soft = 0, float opacity = 1) {
        const int px0 = std::max(0, static_cast<int>(std::floor((x0 - ox_) * scale_)) - 1);
        const int py0 = std::max(0, static_cast<int>(std::floor((y0 - oy_) * scale_)) - 1);
        const int px1 = std::min(w_ - 1, static_cast<int>(std::ceil((x1 - ox_) * scale_)) + 1);
        const int py1 = std::min(h_ - 1, static_cast<int>(std::ceil((y1 - oy_) * scale_)) + 1);
        const float edge = soft + 1.0f / scale_;
        for (int y = py0; y <= py1; ++y)
            for (int x = px0; x <= px1; ++x) {
                const Pt p{(x + 0.5f) / scale_ + ox_, (y + 0.5f) / scale_ + oy_};
                const float d = sd(p);
                if (d >= edge * 0.5f) continue;
                const float coverage = Clamp01(0.5f - d / edge);
                float alpha = 1;
                const Col c = colour(p, alpha);
                Over(x, y, c, coverage * opacity * alpha);
            }
    }
    // Every pixel of the design box gets colour(p, alpha) over it.
    template <class Shade>
    void Wash(float x0, float y0, float x1, float y1, Shade colour) {
        Paint(
            x0, y0, x1, y1, [](Pt) { return -1e6f; }, colour);
    }

    // Each pixel moved by f(p, colour) -> new colour, alpha kept (lighting passes, grading).
    template <class F>
    void Grade(F f) {
        for (int y = 0; y < h_; ++y)
            for (int x = 0; x < w_; ++x) {
                float* p = &px_[(static_cast<std::size_t>(y) * w_ + x) * 4];
                if (p[3] <= 0) continue;
                const Col c{p[0] / p[3], p[1] / p[3], p[2] / p[3]};
                const Col n = f(Pt{(x + 0.5f) / scale_ + ox_, (y + 0.5f) / scale_ + oy_}, c);
                p[0] = n.r * p[3];
                p[1] = n.g * p[3];
                p[2] = n.b * p[3];
            }
    }

    // Mirrors the picture left to right.
    void FlipX() {
        for (int y = 0; y < h_; ++y)
            for (int x = 0; x < w_ / 2; ++x)
                for (int k = 0; k < 4; ++k)
                    std::swap(px_[(static_cast<std::size_t>(y) * w_ + x) * 4 + k],
                              px_[(static_cast<std::size_t>(y) * w_ + (w_ - 1 - x)) * 4 + k]);
    }
    // Puts a dark rim of `radius` pixels under everything painted, so small sprites stay
    // readable on any ground.
    void Outline(int radius, Col c, float opacity) {
        std::vector<float> rim(static_cast<std::size_t>(w_) * h_, 0.0f);
        for (int y = 0; y < h_; ++y)
            for (int x = 0; x < w_; ++x) {
                float m = 0;
                for (int j = -radius; j <= radius; ++j)
                    for (int i = -radius; i <= radius; ++i) {
                        if (i * i + j * j > radius * radius) continue;
                        const int xx = x + i, yy = y + j;
                        if (xx < 0 || yy < 0 || xx >= w_ || yy >= h_) continue;
                        m = std::max(m, px_[(static_cast<std::size_t>(yy) * w_ + xx) * 4 + 3]);
                    }
                rim[static_cast<std::size_t>(y) * w_ + x] = m * opacity;
            }
        for (std::size_t i = 0; i < rim.size(); ++i) {
            float* p = &px_[i * 4];
            const float under = rim[i] * (1 - p[3]);
            p[0] += c.r * under;
            p[1] += c.g * under;
            p[2] += c.b * under;
            p[3] += under;
        }
    }

    // Averages factor x factor blocks into an image (premultiplied, so edges stay clean);
    // channels are rounded with a small ordered dither against banding.
    void Reduce(reedmark::TArt& out, int factor, int ox, int oy, std::uint32_t seed) const;

   private:
    int w_, h_;
    float scale_, base_;
    float ox_ = 0, oy_ = 0;
    std::vector<float> px_;
};

inline void Canvas::Reduce(reedmark::TArt& out, int factor, int ox, int oy, std::uint32_t seed) const {
    const int ow = w_ / factor, oh = h_ / factor;
    const float n = static_cast<float>(factor * factor);
    for (int y = 0; y < oh; ++y)
        for (int x = 0; x < ow; ++x) {
            float s[4] = {0, 0, 0, 0};
            for (int j = 0; j < factor; ++j)
                for (int i = 0; i < factor; ++i) {
                    const float* p = &px_[(static_cast<std::size_t>(y * factor + j) * w_ + x * factor + i) * 4];
                    for (int k = 0; k < 4; ++k) s[k] += p[k];
                }
            const float a = s[3] / n;
            if (a <= 0.5f / 255) {
                out.SetArgb(ox + x, oy + y, 0);
                continue;
            }
            const float dither = (Rand(x, y, seed) - 0.5f) / 255.0f;
            auto byte = [&](float v) {
                return static_cast<std::uint32_t>(std::clamp(std::lround((v / n / a + dither) * 255.0f), 0L, 255L));
            };
            const std::uint32_t alpha = static_cast<std::uint32_t>(std::clamp(std::lround(a * 255.0f), 0L, 255L));
            out.SetArgb(ox + x, oy + y, alpha << 24 | byte(s[0]) << 16 | byte(s[1]) << 8 | byte(s[2]));
        }
}

// [SECTION] Light

// The light of every picture comes from the upper left and a little in front.
struct Light {
    float x = -0.45f, y = -0.6f, z = 0.66f;
};

// Diffuse light 0..1 on a dome over the ellipse (cx, cy, rx, ry) at p.
inline float DomeLight(Pt p, Pt c, float rx, float ry, Light l = {}) {
    const float u = std::clamp((p.x - c.x) / rx, -1.0f, 1.0f), v = std::clamp((p.y - c.y) / ry, -1.0f, 1.0f);
    const float z = std::sqrt(std::max(0.0f, 1 - u * u - v * v));
    const float len = std::sqrt(l.x * l.x + l.y * l.y + l.z * l.z);
    return Clamp01((u * l.x + v * l.y + z * l.z) / len);
}

// A shade from a dark, a middle and a light colour by light 0..1 (0.5 gives the middle).
inline Col Ramp(Col dark, Col mid, Col light, float t) {
    return t < 0.5f ? Mix(dark, mid, t * 2) : Mix(mid, light, (t - 0.5f) * 2);
}

// [SECTION] Shapes

// A shade of one colour everywhere.
inline auto Solid(Col c) {
    return [c](Pt, float&) { return c; };
}

template <class Shade>
void Ellipse(Canvas& cv, Pt c, float rx, float ry, Shade shade, float soft = 0, float opacity = 1) {
    const float m = soft + 1;
    cv.Paint(
        c.x - rx - m, c.y - ry - m, c.x + rx + m, c.y + ry + m, [=](Pt p) { return SdEllipse(p, c, rx, ry); }, shade,
        soft, opacity);
}

template <class Shade>
void Poly(Canvas& cv, const std::vector<Pt>& v, Shade shade, float soft = 0, float opacity = 1) {
    float x0 = 1e9f, y0 = 1e9f, x1 = -1e9f, y1 = -1e9f;
    for (const Pt& q : v) {
        x0 = std::min(x0, q.x);
        y0 = std::min(y0, q.y);
        x1 = std::max(x1, q.x);
        y1 = std::max(y1, q.y);
    }
    const float m = soft + 1;
    cv.Paint(
        x0 - m, y0 - m, x1 + m, y1 + m, [&v](Pt p) { return SdPolygon(p, v); }, shade, soft, opacity);
}

// A stroke along the points whose radius runs from r0 at the first to r1 at the last.
template <class Shade>
void Stroke(Canvas& cv, const std::vector<Pt>& v, float r0, float r1, Shade shade, float soft = 0, float opacity = 1) {
    float x0 = 1e9f, y0 = 1e9f, x1 = -1e9f, y1 = -1e9f;
    for (const Pt& q : v) {
        x0 = std::min(x0, q.x);
        y0 = std::min(y0, q.y);
        x1 = std::max(x1, q.x);
        y1 = std::max(y1, q.y);
    }
    const float m = soft + 1 + std::max(r0, r1);
    const float n = static_cast<float>(v.size() - 1);
    cv.Paint(
        x0 - m, y0 - m, x1 + m, y1 + m,
        [&](Pt p) {
            float d = 1e9f;
            for (std::size_t i = 1; i < v.size(); ++i) {
                const float ra = r0 + (r1 - r0) * (i - 1) / n, rb = r0 + (r1 - r0) * i / n;
                d = std::min(d, SdTaper(p, v[i - 1], v[i], ra, rb));
            }
            return d;
        },
        shade, soft, opacity);
}
template <class Shade>
void Line(Canvas& cv, Pt a, Pt b, float r0, float r1, Shade shade, float soft = 0, float opacity = 1) {
    Stroke(cv, {a, b}, r0, r1, shade, soft, opacity);
}

// Parses a colour written as six hex digits; throws std::runtime_error otherwise.
std::uint32_t ParseHex(const std::string& text);

}  // namespace artgen
