// SPDX-License-Identifier: MIT
// A floating-point RGBA picture with anti-aliased shape drawing, used for
// every texture, HUD image and title picture the generator writes.
// Row 0 is the top of the picture; the file writers turn it round where
// the format stores the bottom row first.
#ifndef KORVALEND_ASSETGEN_CANVAS_H
#define KORVALEND_ASSETGEN_CANVAS_H

#include <functional>
#include <string>
#include <vector>

namespace vis {

struct Color {
    float r = 0, g = 0, b = 0, a = 0;
    Color() = default;
    Color(float r_, float g_, float b_, float a_ = 1) : r(r_), g(g_), b(b_), a(a_) {}
    Color operator*(float s) const { return {r * s, g * s, b * s, a}; }
    Color WithAlpha(float na) const { return {r, g, b, na}; }
};

Color Lerp(const Color& a, const Color& b, float t);

// One channel of coverage (text, glow masks).
struct Mask {
    int w = 0, h = 0;
    std::vector<float> v;
    Mask() = default;
    Mask(int w_, int h_) : w(w_), h(h_), v(size_t(w_) * size_t(h_), 0.0f) {}
    float At(int x, int y) const {
        return (x < 0 || y < 0 || x >= w || y >= h) ? 0.0f : v[size_t(y) * size_t(w) + size_t(x)];
    }
    float& Ref(int x, int y) { return v[size_t(y) * size_t(w) + size_t(x)]; }
};

// Separable Gaussian blur with the given standard deviation in pixels.
Mask Blur(const Mask& m, float sigma);
// The mask enlarged by pad pixels on every side.
Mask Pad(const Mask& m, int pad);

class Canvas {
public:
    Canvas(int w, int h, Color fill = Color(0, 0, 0, 0));
    int W() const { return w_; }
    int H() const { return h_; }
    Color& At(int x, int y) { return px_[size_t(y) * size_t(w_) + size_t(x)]; }
    const Color& At(int x, int y) const { return px_[size_t(y) * size_t(w_) + size_t(x)]; }
    bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < w_ && y < h_; }

    // Paints c over the pixel with coverage cov (straight alpha "over").
    void Blend(int x, int y, const Color& c, float cov = 1.0f);
    // Adds light: rgb += c.rgb * amount (alpha raised towards amount * c.a).
    void Add(int x, int y, const Color& c, float amount = 1.0f);

    // Fills the region where sdf(x, y) < 0; sdf is a distance in pixels at
    // pixel centres, and the edge is smoothed over one pixel.
    void FillSdf(const std::function<float(float, float)>& sdf, const Color& c,
                 float x0, float y0, float x1, float y1, bool additive = false);

    void Circle(float cx, float cy, float r, const Color& c, bool additive = false);
    void Ring(float cx, float cy, float r, float halfWidth, const Color& c, bool additive = false);
    void Capsule(float ax, float ay, float bx, float by, float r, const Color& c, bool additive = false);
    void Rect(float x0, float y0, float x1, float y1, const Color& c, float cornerRadius = 0);
    void Polygon(const std::vector<float>& xy, const Color& c, bool additive = false);

    // Paints a coverage mask with its top-left corner at (ox, oy).
    void DrawMask(const Mask& m, int ox, int oy, const Color& c, bool additive = false);
    // Paints a mask filled with a vertical colour ramp (top to bottom).
    void DrawMaskGradient(const Mask& m, int ox, int oy, const Color& top, const Color& bottom);

    // Every pixel's colour from f(x, y, current).
    void Shade(const std::function<Color(int, int, const Color&)>& f);

private:
    static float Clamp(float v);
    int w_, h_;
    std::vector<Color> px_;
};

// Signed distances (negative inside), in the same units as the arguments.
float SdCircle(float x, float y, float cx, float cy, float r);
float SdSegment(float x, float y, float ax, float ay, float bx, float by);
float SdPolygon(float x, float y, const std::vector<float>& xy);
float SdBox(float x, float y, float cx, float cy, float hw, float hh, float rad);

}  // namespace vis

#endif
