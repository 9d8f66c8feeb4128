// SPDX-License-Identifier: MIT
#include "Canvas.h"

#include <algorithm>
#include <cmath>

namespace vis {

Color Lerp(const Color& a, const Color& b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

static std::vector<float> GaussKernel(float sigma, int& radius) {
    radius = std::max(1, int(std::ceil(sigma * 3)));
    std::vector<float> k(size_t(2 * radius + 1));
    float sum = 0;
    for (int i = -radius; i <= radius; ++i) {
        k[size_t(i + radius)] = std::exp(-0.5f * float(i * i) / (sigma * sigma));
        sum += k[size_t(i + radius)];
    }
    for (float& f : k) f /= sum;
    return k;
}

Mask Blur(const Mask& m, float sigma) {
    if (sigma <= 0 || m.w == 0 || m.h == 0) return m;
    int r = 0;
    std::vector<float> k = GaussKernel(sigma, r);
    Mask tmp(m.w, m.h), out(m.w, m.h);
    const float* src = m.v.data();
    float* t = tmp.v.data();
    for (int y = 0; y < m.h; ++y) {
        const float* row = src + size_t(y) * size_t(m.w);
        for (int x = 0; x < m.w; ++x) {
            int i0 = std::max(-r, -x), i1 = std::min(r, m.w - 1 - x);
            float s = 0;
            for (int i = i0; i <= i1; ++i) s += k[size_t(i + r)] * row[x + i];
            t[size_t(y) * size_t(m.w) + size_t(x)] = s;
        }
    }
    float* o = out.v.data();
    for (int y = 0; y < m.h; ++y) {
        int i0 = std::max(-r, -y), i1 = std::min(r, m.h - 1 - y);
        for (int x = 0; x < m.w; ++x) {
            float s = 0;
            for (int i = i0; i <= i1; ++i) s += k[size_t(i + r)] * t[size_t(y + i) * size_t(m.w) + size_t(x)];
            o[size_t(y) * size_t(m.w) + size_t(x)] = s;
        }
    }
    return out;
}

Mask Pad(const Mask& m, int pad) {
    Mask out(m.w + 2 * pad, m.h + 2 * pad);
    for (int y = 0; y < m.h; ++y)
        for (int x = 0; x < m.w; ++x) out.Ref(x + pad, y + pad) = m.At(x, y);
    return out;
}

Canvas::Canvas(int w, int h, Color fill) : w_(w), h_(h), px_(size_t(w) * size_t(h), fill) {}

void Canvas::Blend(int x, int y, const Color& c, float cov) {
    if (!Inside(x, y)) return;
    float sa = Clamp(c.a * cov);
    if (sa <= 0) return;
    Color& d = At(x, y);
    float oa = sa + d.a * (1 - sa);
    if (oa <= 1e-6f) {
        d = Color(0, 0, 0, 0);
        return;
    }
    d.r = (c.r * sa + d.r * d.a * (1 - sa)) / oa;
    d.g = (c.g * sa + d.g * d.a * (1 - sa)) / oa;
    d.b = (c.b * sa + d.b * d.a * (1 - sa)) / oa;
    d.a = oa;
}

void Canvas::Add(int x, int y, const Color& c, float amount) {
    if (!Inside(x, y) || amount <= 0) return;
    Color& d = At(x, y);
    float k = amount * c.a;
    if (d.a <= 0) {
        // Light on a transparent pixel: the colour is the light's own, its
        // strength becomes the alpha.
        d = Color(c.r, c.g, c.b, Clamp(k));
        return;
    }
    d.r += c.r * k;
    d.g += c.g * k;
    d.b += c.b * k;
    d.a = std::max(d.a, Clamp(k));
}

float Canvas::Clamp(float v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }

void Canvas::FillSdf(const std::function<float(float, float)>& sdf, const Color& c, float x0, float y0,
                     float x1, float y1, bool additive) {
    int ix0 = std::max(0, int(std::floor(x0)) - 2), iy0 = std::max(0, int(std::floor(y0)) - 2);
    int ix1 = std::min(w_ - 1, int(std::ceil(x1)) + 2), iy1 = std::min(h_ - 1, int(std::ceil(y1)) + 2);
    for (int y = iy0; y <= iy1; ++y)
        for (int x = ix0; x <= ix1; ++x) {
            float d = sdf(float(x) + 0.5f, float(y) + 0.5f);
            float cov = Clamp(0.5f - d);
            if (cov <= 0) continue;
            if (additive)
                Add(x, y, c, cov);
            else
                Blend(x, y, c, cov);
        }
}

float SdCircle(float x, float y, float cx, float cy, float r) {
    return std::hypot(x - cx, y - cy) - r;
}

float SdSegment(float x, float y, float ax, float ay, float bx, float by) {
    float px = x - ax, py = y - ay, dx = bx - ax, dy = by - ay;
    float l2 = dx * dx + dy * dy;
    float t = l2 > 0 ? std::max(0.0f, std::min(1.0f, (px * dx + py * dy) / l2)) : 0.0f;
    return std::hypot(px - dx * t, py - dy * t);
}

float SdPolygon(float x, float y, const std::vector<float>& xy) {
    size_t n = xy.size() / 2;
    if (n < 3) return 1e9f;
    float d = 1e9f;
    bool inside = false;
    for (size_t i = 0, j = n - 1; i < n; j = i++) {
        float xi = xy[2 * i], yi = xy[2 * i + 1], xj = xy[2 * j], yj = xy[2 * j + 1];
        d = std::min(d, SdSegment(x, y, xj, yj, xi, yi));
        if (((yi > y) != (yj > y)) && (x < (xj - xi) * (y - yi) / (yj - yi) + xi)) inside = !inside;
    }
    return inside ? -d : d;
}

float SdBox(float x, float y, float cx, float cy, float hw, float hh, float rad) {
    float qx = std::fabs(x - cx) - (hw - rad), qy = std::fabs(y - cy) - (hh - rad);
    float ox = std::max(qx, 0.0f), oy = std::max(qy, 0.0f);
    return std::hypot(ox, oy) + std::min(std::max(qx, qy), 0.0f) - rad;
}

void Canvas::Circle(float cx, float cy, float r, const Color& c, bool additive) {
    FillSdf([=](float x, float y) { return SdCircle(x, y, cx, cy, r); }, c, cx - r, cy - r, cx + r, cy + r,
            additive);
}

void Canvas::Ring(float cx, float cy, float r, float hw, const Color& c, bool additive) {
    FillSdf([=](float x, float y) { return std::fabs(SdCircle(x, y, cx, cy, r)) - hw; }, c, cx - r - hw,
            cy - r - hw, cx + r + hw, cy + r + hw, additive);
}

void Canvas::Capsule(float ax, float ay, float bx, float by, float r, const Color& c, bool additive) {
    FillSdf([=](float x, float y) { return SdSegment(x, y, ax, ay, bx, by) - r; }, c, std::min(ax, bx) - r,
            std::min(ay, by) - r, std::max(ax, bx) + r, std::max(ay, by) + r, additive);
}

void Canvas::Rect(float x0, float y0, float x1, float y1, const Color& c, float rad) {
    float cx = (x0 + x1) / 2, cy = (y0 + y1) / 2, hw = (x1 - x0) / 2, hh = (y1 - y0) / 2;
    FillSdf([=](float x, float y) { return SdBox(x, y, cx, cy, hw, hh, rad); }, c, x0, y0, x1, y1);
}

void Canvas::Polygon(const std::vector<float>& xy, const Color& c, bool additive) {
    float x0 = 1e9f, y0 = 1e9f, x1 = -1e9f, y1 = -1e9f;
    for (size_t i = 0; i + 1 < xy.size(); i += 2) {
        x0 = std::min(x0, xy[i]);
        x1 = std::max(x1, xy[i]);
        y0 = std::min(y0, xy[i + 1]);
        y1 = std::max(y1, xy[i + 1]);
    }
    FillSdf([&xy](float x, float y) { return SdPolygon(x, y, xy); }, c, x0, y0, x1, y1, additive);
}

void Canvas::DrawMask(const Mask& m, int ox, int oy, const Color& c, bool additive) {
    for (int y = 0; y < m.h; ++y)
        for (int x = 0; x < m.w; ++x) {
            float cov = m.At(x, y);
            if (cov <= 0) continue;
            if (additive)
                Add(ox + x, oy + y, c, cov);
            else
                Blend(ox + x, oy + y, c, cov);
        }
}

void Canvas::DrawMaskGradient(const Mask& m, int ox, int oy, const Color& top, const Color& bottom) {
    for (int y = 0; y < m.h; ++y) {
        Color c = Lerp(top, bottom, m.h > 1 ? float(y) / float(m.h - 1) : 0.0f);
        for (int x = 0; x < m.w; ++x) {
            float cov = m.At(x, y);
            if (cov > 0) Blend(ox + x, oy + y, c, cov);
        }
    }
}

void Canvas::Shade(const std::function<Color(int, int, const Color&)>& f) {
    for (int y = 0; y < h_; ++y)
        for (int x = 0; x < w_; ++x) At(x, y) = f(x, y, At(x, y));
}

}  // namespace vis
