// Painting helpers of the fallback drawings: colour mixing, a brush that draws in design
// units on a canvas, translucent layers, soft glows and supersampled painting.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <vector>

#include "art/art.hpp"

namespace reedmark::paint {

using Colour = std::uint32_t;

// The interface palette the pictures harmonise with.
inline constexpr Colour kGold = 0xF0D850;
inline constexpr Colour kNearWhite = 0xF4F4EC;
inline constexpr Colour kFrameRed = 0xA82828;
inline constexpr Colour kDarkBlue = 0x1C2C70;
inline constexpr Colour kBlack = 0x000000;

inline int Red(Colour c) {
    return static_cast<int>((c >> 16) & 0xFF);
}
inline int Green(Colour c) {
    return static_cast<int>((c >> 8) & 0xFF);
}
inline int Blue(Colour c) {
    return static_cast<int>(c & 0xFF);
}

inline Colour Rgb(int r, int g, int b) {
    auto clampByte = [](int v) { return static_cast<Colour>(std::clamp(v, 0, 255)); };
    return (clampByte(r) << 16) | (clampByte(g) << 8) | clampByte(b);
}

// t = 0 gives a, t = 1 gives b.
inline Colour Mix(Colour a, Colour b, double t) {
    t = std::clamp(t, 0.0, 1.0);
    auto lerp = [t](int x, int y) { return static_cast<int>(x + (y - x) * t + 0.5); };
    return Rgb(lerp(Red(a), Red(b)), lerp(Green(a), Green(b)), lerp(Blue(a), Blue(b)));
}

inline Colour Lighter(Colour c, double t) {
    return Mix(c, 0xFFFFFF, t);
}
inline Colour Darker(Colour c, double t) {
    return Mix(c, 0x000000, t);
}

inline int Luma(Colour c) {
    return (30 * Red(c) + 59 * Green(c) + 11 * Blue(c)) / 100;
}

struct Point {
    double x, y;
};

// Paints in design units onto a canvas: canvas pixel = design unit * scale - offset. The
// offset lets a small layer stand for a part of a larger picture.
class Brush {
   public:
    Brush(TArt& canvas, double scaleX, double scaleY, int offsetX = 0, int offsetY = 0)
        : canvas_(canvas), sx_(scaleX), sy_(scaleY), ox_(offsetX), oy_(offsetY) {}

    TArt& Canvas() const { return canvas_; }
    double ScaleX() const { return sx_; }
    double ScaleY() const { return sy_; }
    int X(double x) const { return static_cast<int>(std::lround(x * sx_)) - ox_; }
    int Y(double y) const { return static_cast<int>(std::lround(y * sy_)) - oy_; }

    void Rect(double x, double y, double w, double h, Colour c) const {
        canvas_.FillRect(X(x), Y(y), X(x + w) - X(x), Y(y + h) - Y(y), c);
    }
    void Ellipse(double cx, double cy, double rx, double ry, Colour c) const {
        canvas_.FillEllipse(X(cx), Y(cy), static_cast<int>(std::lround(rx * sx_)),
                            static_cast<int>(std::lround(ry * sy_)), c);
    }
    void Circle(double cx, double cy, double r, Colour c) const { Ellipse(cx, cy, r, r * sx_ / sy_, c); }
    void Triangle(Point a, Point b, Point c, Colour colour) const {
        canvas_.FillTriangle(X(a.x), Y(a.y), X(b.x), Y(b.y), X(c.x), Y(c.y), colour);
    }
    // A convex polygon as a fan of triangles.
    void Polygon(std::initializer_list<Point> points, Colour c) const { Polygon(std::vector<Point>(points), c); }
    void Polygon(const std::vector<Point>& points, Colour c) const {
        for (std::size_t i = 2; i < points.size(); ++i) Triangle(points[0], points[i - 1], points[i], c);
    }
    // A straight stroke of the given width with round ends.
    void Stroke(Point a, Point b, double width, Colour c) const {
        const double dx = b.x - a.x, dy = b.y - a.y;
        const double length = std::hypot(dx, dy);
        const double half = width / 2;
        if (length > 0) {
            const double nx = -dy / length * half, ny = dx / length * half;
            Polygon({{a.x + nx, a.y + ny}, {b.x + nx, b.y + ny}, {b.x - nx, b.y - ny}, {a.x - nx, a.y - ny}}, c);
        }
        Circle(a.x, a.y, half, c);
        Circle(b.x, b.y, half, c);
    }
    // A stroke along a quadratic curve from a to b bending towards control point m.
    void Curve(Point a, Point m, Point b, double width, Colour c, int segments = 10) const {
        Point previous = a;
        for (int i = 1; i <= segments; ++i) {
            const double t = static_cast<double>(i) / segments, u = 1 - t;
            Point p{u * u * a.x + 2 * u * t * m.x + t * t * b.x, u * u * a.y + 2 * u * t * m.y + t * t * b.y};
            Stroke(previous, p, width, c);
            previous = p;
        }
    }
    // A curved stroke whose width runs from w0 at a to w1 at b (locks of hair, tails).
    void TaperCurve(Point a, Point m, Point b, double w0, double w1, Colour c, int segments = 10) const {
        Point previous = a;
        for (int i = 1; i <= segments; ++i) {
            const double t = static_cast<double>(i) / segments, u = 1 - t;
            const double tp = static_cast<double>(i - 1) / segments;
            Point p{u * u * a.x + 2 * u * t * m.x + t * t * b.x, u * u * a.y + 2 * u * t * m.y + t * t * b.y};
            const double wa = w0 + (w1 - w0) * tp, wb = w0 + (w1 - w0) * t;
            Taper(previous, p, wa, wb, c);
            if (i < segments) Circle(p.x, p.y, wb / 2, c);
            previous = p;
        }
    }
    // A stroke that tapers from width w0 at a to w1 at b (leaves, reeds, hair strands).
    void Taper(Point a, Point b, double w0, double w1, Colour c) const {
        const double dx = b.x - a.x, dy = b.y - a.y;
        const double length = std::hypot(dx, dy);
        if (length <= 0) return;
        const double nx = -dy / length, ny = dx / length;
        Polygon({{a.x + nx * w0 / 2, a.y + ny * w0 / 2},
                 {b.x + nx * w1 / 2, b.y + ny * w1 / 2},
                 {b.x - nx * w1 / 2, b.y - ny * w1 / 2},
                 {a.x - nx * w0 / 2, a.y - ny * w0 / 2}},
                c);
    }
    // Vertical gradient from colour top to colour bottom over the rectangle.
    void Gradient(double x, double y, double w, double h, Colour top, Colour bottom) const {
        const int y0 = Y(y), y1 = Y(y + h);
        for (int row = y0; row < y1; ++row) {
            const double t = y1 - y0 > 1 ? static_cast<double>(row - y0) / (y1 - y0 - 1) : 0.0;
            canvas_.FillRect(X(x), row, X(x + w) - X(x), 1, Mix(top, bottom, t));
        }
    }

   private:
    TArt& canvas_;
    double sx_, sy_;
    int ox_, oy_;
};

// Paints translucent shapes: paint() draws opaque shapes with the brush it is given onto
// a transparent layer covering the design rectangle (x, y, w, h), which is then blended
// onto the canvas with the given opacity.
template <class Paint>
void Glaze(const Brush& brush, double x, double y, double w, double h, int opacity, Paint paint) {
    const int left = std::max(brush.X(x), 0), top = std::max(brush.Y(y), 0);
    const int right = std::min(brush.X(x + w), brush.Canvas().Width());
    const int bottom = std::min(brush.Y(y + h), brush.Canvas().Height());
    if (right <= left || bottom <= top) return;
    TArt layer(right - left, bottom - top);
    const Brush layerBrush(layer, brush.ScaleX(), brush.ScaleY(), left - brush.X(0), top - brush.Y(0));
    paint(layerBrush);
    brush.Canvas().Blit(&layer, 0, 0, layer.Width(), layer.Height(), left, top, layer.Width(), layer.Height(), opacity,
                        false, false);
}

// A soft light (or haze) centred on (cx, cy): each canvas pixel inside the ellipse moves
// towards the colour by strength * (1 - d)^2, d being its elliptic distance from the centre.
inline void Glow(const Brush& b, double cx, double cy, double rx, double ry, Colour colour, double strength) {
    TArt& canvas = b.Canvas();
    const double ccx = cx * b.ScaleX() + b.X(0), ccy = cy * b.ScaleY() + b.Y(0);
    const double crx = rx * b.ScaleX(), cry = ry * b.ScaleY();
    if (crx <= 0 || cry <= 0) return;
    const int left = std::max(0, static_cast<int>(ccx - crx)),
              right = std::min(canvas.Width() - 1, static_cast<int>(ccx + crx));
    const int top = std::max(0, static_cast<int>(ccy - cry)),
              bottom = std::min(canvas.Height() - 1, static_cast<int>(ccy + cry));
    for (int y = top; y <= bottom; ++y)
        for (int x = left; x <= right; ++x) {
            const double u = (x - ccx) / crx, v = (y - ccy) / cry;
            if (u * u + v * v >= 1) continue;
            const double d = std::sqrt(u * u + v * v);
            canvas.SetPixel(x, y, Mix(canvas.GetPixel(x, y), colour, strength * (1 - d) * (1 - d)));
        }
}

// A small deterministic generator for scattered details (stars, reeds, ripples).
class Scatter {
   public:
    explicit Scatter(std::uint32_t seed) : state_(seed * 2654435761u + 1u) {}
    double Next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return (state_ % 100000u) / 100000.0;
    }
    double Range(double low, double high) { return low + (high - low) * Next(); }

   private:
    std::uint32_t state_;
};

// Paints a picture at twice the target's size with paint(brush) in design units of
// designW x designH, then scales it down smoothly onto the whole target.
template <class Paint>
void PaintSupersampled(TArt& target, double designW, double designH, Paint paint) {
    if (target.Width() < 1 || target.Height() < 1) return;
    TArt canvas(std::min(target.Width() * 2, kArtMaxSide), std::min(target.Height() * 2, kArtMaxSide));
    const Brush brush(canvas, canvas.Width() / designW, canvas.Height() / designH);
    paint(brush);
    target.Blit(&canvas, 0, 0, canvas.Width(), canvas.Height(), 0, 0, target.Width(), target.Height(), 255, true,
                false);
}

}  // namespace reedmark::paint
