// SPDX-License-Identifier: MIT
// The flat pictures: the particle flare, the HUD's digits, font, captions,
// icons, cross hairs and pause panel, and the two full-screen title pictures.
//
// HUD images are drawn unscaled in a 1600 x 1200 virtual screen, one texel
// per unit, so each size below is chosen for its place in that layout:
// digits 24 x 32 (they are set 25 units apart), captions 128 x 32 (numbers
// follow 128 units to the right), icons 64 x 64 (75 units apart), cross
// hairs 64 x 64 centred at (800, 600), the pause panel 1024 x 1024 centred
// the same way. The HUD tints them by multiplying, so captions are white.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "AssetGen.h"
#include "Canvas.h"
#include "Font.h"
#include "ImageFiles.h"
#include "Palette.h"
#include "VisMath.h"

using namespace vis;

namespace {

struct Out {
    std::string dir;  // .../Images/
    bool ok = true;
};

void SaveTga(Out& out, const std::string& name, const Canvas& c) { out.ok = WriteTga(out.dir + name, c, true) && out.ok; }

const Color kGlow(0.75f, 0.88f, 1.0f, 1);

// Ink with its top-left corner at (ox, oy) over a soft halo.
void GlowMask(Canvas& c, const Mask& m, int ox, int oy, const Color& ink, const Color& glow, float sigma,
              float glowStrength) {
    int pad = int(std::ceil(sigma * 3));
    Mask halo = Blur(Pad(m, pad), sigma);
    for (float& v : halo.v) v = std::min(1.0f, v * glowStrength);
    c.DrawMask(halo, ox - pad, oy - pad, glow);
    c.DrawMask(m, ox, oy, ink);
}

// Text centred in the canvas with a soft halo behind it.
void GlowText(Canvas& c, const std::string& text, int size, const Color& ink, const Color& glow, float sigma,
              float glowStrength, float cx, float cy, float tracking = 0) {
    Mask m = Font::Bold().Render(text, size, tracking);
    if (m.w == 0) return;
    GlowMask(c, m, int(std::lround(cx - m.w / 2.0f)), int(std::lround(cy - m.h / 2.0f)), ink, glow, sigma,
             glowStrength);
}

// ------------------------------------------------------------------ flare

Canvas Flare() {
    // White light; alpha is a bright core with a long soft falloff that
    // reaches exactly zero at the rim of the inscribed circle.
    const int n = 128;
    Canvas c(n, n);
    c.Shade([&](int x, int y, const Color&) {
        float d = std::hypot(float(x) + 0.5f - n / 2.0f, float(y) + 0.5f - n / 2.0f) / (n / 2.0f);
        if (d >= 1) return Color(1, 1, 1, 0);
        float fall = (1 - d) * (1 - d);
        float core = std::exp(-d * d * 28.0f);
        return Color(1, 1, 1, Clamp01(0.75f * fall + 0.25f * core + 0.15f * core));
    });
    return c;
}

// ---------------------------------------------------------------- captions

void Captions(Out& out) {
    const char* names[5][2] = {{"score_text.tga", "SCORE"}, {"lives_text.tga", "LIVES"}, {"bonus_text.tga", "BONUS"},
                               {"wave_text.tga", "WAVE"},   {"shield_text.tga", "SHIELD"}};
    // One size for the whole row so the captions match.
    int size = 30;
    for (auto& n : names) size = std::min(size, FitSize(Font::Bold(), n[1], 112, 23, 30, 1.0f));
    for (auto& n : names) {
        Canvas c(128, 32);
        Mask m = Font::Bold().Render(n[1], size, 1.0f);
        // Left-aligned with a small margin, so the number that follows at
        // +128 does not float away from a short word.
        GlowText(c, n[1], size, kWhite, kGlow, 2.2f, 0.9f, 6 + m.w / 2.0f, 16, 1.0f);
        SaveTga(out, n[0], c);
    }
    {
        Canvas c(256, 64);
        GlowText(c, "WAVE COMPLETE", FitSize(Font::Bold(), "WAVE COMPLETE", 236, 40, 34, 1.0f), kWhite, kGlow, 3.0f,
                 0.9f, 128, 32, 1.0f);
        SaveTga(out, "wave_complete_text.tga", c);
    }
    {
        Canvas c(512, 64);
        GlowText(c, "NEXT WAVE", FitSize(Font::Bold(), "NEXT WAVE", 480, 44, 48, 3.0f), kWhite, kGlow, 4.0f, 0.9f, 256,
                 32, 3.0f);
        SaveTga(out, "next_wave_text.tga", c);
    }
    {
        Canvas c(256, 64);
        GlowText(c, "CHEATER", FitSize(Font::Bold(), "CHEATER", 230, 42, 44, 2.0f), Color(1, 0.35f, 0.25f, 1),
                 Color(1, 0.1f, 0.05f, 1), 3.5f, 1.0f, 128, 32, 2.0f);
        SaveTga(out, "cheater_text.tga", c);
    }
}

// The digits' size, which the HUD font shares.
int DigitSize() { return FitSize(Font::Bold(), "0", 18, 23, 30); }
const float kDigitGlow = 1.6f;

void Digits(Out& out) {
    int size = DigitSize();
    for (int d = 0; d <= 9; ++d) {
        Canvas c(24, 32);
        GlowText(c, std::to_string(d), size, kWhite, kGlow, kDigitGlow, 0.9f, 12, 16);
        SaveTga(out, "number_" + std::to_string(d) + ".tga", c);
    }
}

// The font of the HUD's lines of text (the high-score table): printable
// ASCII from the space on, in a 16 x 8 grid of 64 x 64 cells from the top
// left, at the digits' size and glow. Each glyph's ink starts 8 texels into
// its cell, on a baseline 18 texels above the cell's foot; the game reads
// the spacing from the ink.
void HudFont(Out& out) {
    const int cell = 64, columns = 16, rows = 8, inkLeft = 8, baselineFromTop = cell - 18;
    Canvas c(cell * columns, cell * rows);
    for (int i = 0; i < 95; ++i) {
        int baseline = 0;
        Mask m = Font::Bold().Render(std::string(1, char(' ' + i)), DigitSize(), 0, &baseline);
        if (m.w == 0) continue;
        GlowMask(c, m, (i % columns) * cell + inkLeft, (i / columns) * cell + baselineFromTop - baseline, kWhite,
                 kGlow, kDigitGlow, 0.9f);
    }
    SaveTga(out, "hudfont.tga", c);
}

void Times(Out& out) {
    // The same colours as the tokens in the arena.
    const Color* tints = kMultiplierTints;
    for (int n = 2; n <= 5; ++n) {
        Canvas c(64, 64);
        Mask x = Font::Bold().Render("x", 26), dg = Font::Bold().Render(std::to_string(n), 46);
        int total = x.w + 2 + dg.w;
        int ox = 32 - total / 2, oy = 32 - dg.h / 2;
        Mask hx = Blur(Pad(x, 6), 2.5f), hd = Blur(Pad(dg, 6), 2.5f);
        c.DrawMask(hx, ox - 6, oy + dg.h - x.h - 6, tints[n - 2]);
        c.DrawMask(hd, ox + x.w + 2 - 6, oy - 6, tints[n - 2]);
        c.DrawMask(x, ox, oy + dg.h - x.h, kWhite);
        c.DrawMask(dg, ox + x.w + 2, oy, Lerp(kWhite, tints[n - 2], 0.35f));
        SaveTga(out, "times_" + std::to_string(n) + ".tga", c);
    }
}

// ------------------------------------------------------------------- icons

// A 64 x 64 icon is painted at 4x and shrunk, with a dark rounded backing
// so it reads over bright explosions.
Canvas Shrink(const Canvas& big, int f) {
    Canvas c(big.W() / f, big.H() / f);
    for (int y = 0; y < c.H(); ++y)
        for (int x = 0; x < c.W(); ++x) {
            float r = 0, g = 0, b = 0, a = 0;
            for (int j = 0; j < f; ++j)
                for (int i = 0; i < f; ++i) {
                    const Color& p = big.At(x * f + i, y * f + j);
                    r += p.r * p.a;
                    g += p.g * p.a;
                    b += p.b * p.a;
                    a += p.a;
                }
            c.At(x, y) = a > 0 ? Color(r / a, g / a, b / a, a / float(f * f)) : Color(0, 0, 0, 0);
        }
    return c;
}

Canvas IconBase(const Color& edge) {
    Canvas c(256, 256);
    c.Rect(8, 8, 248, 248, Color(0.02f, 0.04f, 0.12f, 0.55f), 44);
    c.FillSdf([](float x, float y) { return std::fabs(SdBox(x, y, 128, 128, 118, 118, 42)) - 5; }, edge, 0, 0, 256, 256);
    return c;
}

// The icons' ink.
const Color kIconCyan(0.5f, 0.9f, 1.0f, 1), kIconGold(1.0f, 0.8f, 0.3f, 1), kIconRed(1.0f, 0.35f, 0.25f, 1);

// Long range: a bolt with a long trail reaching a far target
Canvas LongRangeIcon() {
    Canvas c = IconBase(Color(0.5f, 0.8f, 1.0f, 0.9f));
    for (int i = 0; i < 4; ++i) c.Capsule(40.0f + i * 26, 160, 52.0f + i * 26, 160, 6, kIconCyan.WithAlpha(0.35f + 0.15f * i));
    c.Capsule(140, 160, 176, 160, 12, kWhite);
    c.Polygon({176, 136, 210, 160, 176, 184}, kWhite);
    c.Ring(196, 84, 30, 6, kIconCyan);
    c.Circle(196, 84, 8, kIconCyan);
    c.Capsule(196, 42, 196, 60, 4, kIconCyan);
    c.Capsule(196, 108, 196, 126, 4, kIconCyan);
    c.Capsule(154, 84, 172, 84, 4, kIconCyan);
    c.Capsule(220, 84, 238, 84, 4, kIconCyan);
    c.Capsule(40, 84, 140, 84, 5, Color(1, 1, 1, 0.5f));
    c.Polygon({140, 68, 164, 84, 140, 100}, Color(1, 1, 1, 0.5f));
    return c;
}

// Machine guns: two streams of bullets
Canvas MachineGunsIcon() {
    Canvas c = IconBase(Color(1.0f, 0.8f, 0.35f, 0.9f));
    for (int row = 0; row < 2; ++row)
        for (int i = 0; i < 3; ++i) {
            float y = 92.0f + row * 72, x = 50.0f + i * 62;
            c.Rect(x, y - 14, x + 34, y + 14, kIconGold, 4);
            c.Polygon({x + 34, y - 14, x + 52, y, x + 34, y + 14}, Color(1.0f, 0.9f, 0.6f, 1));
            c.Rect(x - 4, y - 14, x + 4, y + 14, Color(0.7f, 0.5f, 0.15f, 1), 2);
        }
    return c;
}

// Triple fire: three bolts fanning out
Canvas TripleFireIcon() {
    Canvas c = IconBase(Color(0.6f, 1.0f, 0.5f, 0.9f));
    const Color lime(0.7f, 1.0f, 0.35f, 1);
    for (int k = -1; k <= 1; ++k) {
        float a = float(k) * 0.45f, ax = 128, ay = 214;
        float bx = ax + std::sin(a) * 150, by = ay - std::cos(a) * 150;
        c.Capsule(ax, ay, bx, by, 9, lime.WithAlpha(0.6f));
        c.Circle(bx, by, 20, lime);
        c.Circle(bx, by, 10, kWhite);
    }
    c.Circle(128, 214, 16, kWhite);
    return c;
}

// Lucky irish: a four-leaf clover
Canvas LuckyIrishIcon() {
    Canvas c = IconBase(Color(0.4f, 1.0f, 0.45f, 0.9f));
    const Color leaf(0.2f, 0.8f, 0.25f, 1), dark(0.05f, 0.4f, 0.1f, 1);
    c.Capsule(128, 128, 170, 226, 9, dark);
    for (int k = 0; k < 4; ++k) {
        float a = float(kPi / 4 + k * kPi / 2);
        float dx = std::cos(a), dy = std::sin(a), px = -dy, py = dx;
        // a heart-shaped leaf: two lobes and a point at the centre
        float lx = 128 + dx * 52, ly = 118 + dy * 52;
        c.Circle(lx + px * 20, ly + py * 20, 30, leaf);
        c.Circle(lx - px * 20, ly - py * 20, 30, leaf);
        c.Polygon({128, 118, lx + px * 44 + dx * 4, ly + py * 44 + dy * 4, lx + dx * 10, ly + dy * 10,
                   lx - px * 44 + dx * 4, ly - py * 44 + dy * 4},
                  leaf);
        c.Capsule(128, 118, lx + dx * 14, ly + dy * 14, 3, dark);
    }
    c.Circle(128, 118, 8, Color(0.6f, 1.0f, 0.5f, 1));
    return c;
}

// Air brakes: the brake symbol, a circle in brackets with "!"
Canvas AirBrakesIcon() {
    Canvas c = IconBase(Color(1.0f, 0.5f, 0.4f, 0.9f));
    c.Ring(128, 128, 58, 9, kIconRed);
    c.FillSdf([](float x, float y) {
        float d = std::fabs(SdCircle(x, y, 128, 128, 92)) - 8;
        return std::max(d, 30 - std::fabs(x - 128));  // keep only the sides
    }, kIconRed, 0, 0, 256, 256);
    c.Capsule(128, 96, 128, 138, 9, kWhite);
    c.Circle(128, 162, 10, kWhite);
    return c;
}

// Shield: a crest, flat top, curving in to a point at the bottom
Canvas ShieldIcon() {
    Canvas c(256, 256);
    std::vector<float> poly = {36, 40, 128, 22, 220, 40};
    for (int i = 0; i <= 20; ++i) {
        float t = float(i) / 20;
        poly.push_back(220 - 92 * (1 - std::cos(t * float(kPi) / 2)));
        poly.push_back(40 + 196 * std::sin(t * float(kPi) / 2) * 0.6f + 196 * 0.4f * t * t);
    }
    for (int i = 19; i >= 1; --i) {
        size_t k = size_t(6 + 2 * i);
        poly.push_back(256 - poly[k]);
        poly.push_back(poly[k + 1]);
    }
    Mask halo(256, 256);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) halo.Ref(x, y) = SdPolygon(x + 0.5f, y + 0.5f, poly) < 0 ? 1.0f : 0.0f;
    c.DrawMask(Blur(halo, 8), 0, 0, Color(0.3f, 0.6f, 1.0f, 0.8f));
    c.Polygon(poly, Color(0.9f, 0.95f, 1.0f, 1));
    std::vector<float> inner;
    for (size_t i = 0; i + 1 < poly.size(); i += 2) {
        inner.push_back(128 + (poly[i] - 128) * 0.82f);
        inner.push_back(120 + (poly[i + 1] - 120) * 0.82f);
    }
    c.FillSdf([&inner](float x, float y) { return SdPolygon(x, y, inner); }, Color(0.15f, 0.4f, 0.95f, 1), 0, 0, 256,
              256);
    c.FillSdf([&inner](float x, float y) { return std::max(SdPolygon(x, y, inner), x - 128); },
              Color(0.3f, 0.6f, 1.0f, 1), 0, 0, 256, 256);
    return c;
}

// Cross hairs: a broken ring with four ticks and a centre dot
Canvas CrossHairs() {
    Canvas c(256, 256);
    const Color ink(0.7f, 1.0f, 0.8f, 0.9f), edge(0, 0, 0, 0.5f);
    for (int pass = 0; pass < 2; ++pass) {
        float g = pass == 0 ? 6.0f : 0.0f;
        const Color& col = pass == 0 ? edge : ink;
        c.FillSdf([g](float x, float y) {
            float d = std::fabs(SdCircle(x, y, 128, 128, 70)) - 4 - g;
            float gap = std::min(std::fabs(x - 128), std::fabs(y - 128)) - 24;
            return std::max(d, -gap);
        }, col, 0, 0, 256, 256);
        for (int k = 0; k < 4; ++k) {
            float dx = k == 0 ? 1.0f : (k == 1 ? -1.0f : 0.0f), dy = k == 2 ? 1.0f : (k == 3 ? -1.0f : 0.0f);
            c.Capsule(128 + dx * 30, 128 + dy * 30, 128 + dx * 96, 128 + dy * 96, 5 + g, col);
        }
        c.Circle(128, 128, 7 + g, col);
    }
    return c;
}

void Icons(Out& out) {
    SaveTga(out, "long_range.tga", Shrink(LongRangeIcon(), 4));
    SaveTga(out, "machine_guns.tga", Shrink(MachineGunsIcon(), 4));
    SaveTga(out, "triple_fire.tga", Shrink(TripleFireIcon(), 4));
    SaveTga(out, "lucky_irish.tga", Shrink(LuckyIrishIcon(), 4));
    SaveTga(out, "air_brakes.tga", Shrink(AirBrakesIcon(), 4));
    SaveTga(out, "shield.tga", Shrink(ShieldIcon(), 4));
    SaveTga(out, "cross_hairs.tga", Shrink(CrossHairs(), 4));
}

// ------------------------------------------------------------- pause panel

void PauseScreen(Out& out) {
    Canvas c(1024, 1024);
    const float x0 = 152, x1 = 872, y0 = 272, y1 = 752;
    // A soft drop shadow under the panel.
    c.FillSdf([&](float x, float y) {
        float d = SdBox(x, y, (x0 + x1) / 2 + 6, (y0 + y1) / 2 + 10, (x1 - x0) / 2, (y1 - y0) / 2, 28);
        return d;  // solid inside
    }, Color(0, 0, 0, 0.35f), x0 - 40, y0 - 40, x1 + 40, y1 + 40);
    c.Shade([&](int x, int y, const Color& cur) {
        float d = SdBox(float(x) + 0.5f, float(y) + 0.5f, (x0 + x1) / 2, (y0 + y1) / 2, (x1 - x0) / 2, (y1 - y0) / 2, 28);
        if (d > 0.5f) return cur;
        float t = (float(y) - y0) / (y1 - y0);
        Color fill = Lerp(Color(0.06f, 0.1f, 0.28f, 0.82f), Color(0.01f, 0.02f, 0.1f, 0.82f), t);
        Color panel = fill;
        if (d > -5) panel = Color(0.55f, 0.8f, 1.0f, 0.95f);
        float cov = Clamp01(0.5f - d);
        return Lerp(cur, panel, cov);
    });
    GlowText(c, "PAUSED", 120, kWhite, Color(0.4f, 0.7f, 1.0f, 1), 8, 1.0f, 512, 370, 6);
    c.Rect(232, 452, 792, 456, Color(0.55f, 0.8f, 1.0f, 0.6f));
    // Both layouts of the default controls: the keypad's and the main block's.
    const char* lines[] = {"Mouse: steer    Tab / left button: fire    Space / middle button: shield",
                           "Keypad:  4 6 8 5 turn    7 9 roll    0 thrust",
                           "Main keys:  arrows turn    Z X roll    Left Shift thrust",
                           "Right button: thrust    P: pause    F1 F2 F3: views",
                           "F9: particles    F10: invert"};
    const int numLines = int(sizeof lines / sizeof lines[0]);
    int size = 26;
    for (const char* l : lines) size = std::min(size, FitSize(Font::Bold(), l, 660, 30, 26));
    for (int i = 0; i < numLines; ++i)
        GlowText(c, lines[i], size, Color(0.8f, 0.88f, 1.0f, 1),
                 Color(0.2f, 0.4f, 0.9f, 1), 2, 0.6f, 512, 490.0f + 38 * i);
    const char* const keys = "Esc: resume    O: options    Q: quit";
    GlowText(c, keys, FitSize(Font::Bold(), keys, 640, 48, 40), kWhite, Color(0.4f, 0.7f, 1.0f, 1), 4, 0.9f, 512,
             704);
    SaveTga(out, "pause_screen.tga", c);
}

// ----------------------------------------------------------- title pictures

void Starfield(Canvas& c, uint64_t seed, int count) {
    Rng rng(seed);
    for (int i = 0; i < count; ++i) {
        float x = float(rng.Range(0, c.W())), y = float(rng.Range(0, c.H()));
        float b = float(std::pow(rng.Uniform(), 3.0));
        float hue = float(rng.Uniform());
        Color col = Lerp(Color(1.0f, 0.85f, 0.7f, 1), Color(0.7f, 0.8f, 1.0f, 1), hue);
        float r = 0.6f + 1.6f * b;
        c.FillSdf([=](float px, float py) { return SdCircle(px, py, x, y, r); }, col, x - r, y - r, x + r, y + r, true);
        c.Circle(x, y, r * 4, col.WithAlpha(0.08f * b), true);
        if (b > 0.93f) {  // a few bright ones with diffraction spikes
            c.Capsule(x - r * 6, y, x + r * 6, y, 0.6f, col.WithAlpha(0.4f), true);
            c.Capsule(x, y - r * 6, x, y + r * 6, 0.6f, col.WithAlpha(0.4f), true);
        }
    }
}

void Nebula(Canvas& c, uint32_t seed, const Color& a, const Color& b, float strength) {
    // Gas clouds are soft: work them out on a half-size grid and spread
    // them bilinearly, which keeps the title pictures quick to make.
    const int gw = c.W() / 2 + 2, gh = c.H() / 2 + 2;
    std::vector<Color> g(size_t(gw) * size_t(gh));
    for (int y = 0; y < gh; ++y)
        for (int x = 0; x < gw; ++x) {
            float u = float(x * 2) / 160.0f, v = float(y * 2) / 160.0f;
            float n = Fbm2Tile(u, v, 0, 6, seed, 0.55f);
            float m = Fbm2Tile(u * 2 + 5, v * 2, 0, 5, seed + 3, 0.5f);
            float k = SmoothStep(0.45f, 0.85f, n) * strength;
            g[size_t(y) * size_t(gw) + size_t(x)] = Lerp(a, b, Clamp01(m * 1.5f - 0.3f)) * k;
        }
    c.Shade([&](int x, int y, const Color& cur) {
        int gx = x / 2, gy = y / 2;
        float fx = float(x % 2) * 0.5f, fy = float(y % 2) * 0.5f;
        auto at = [&](int i, int j) { return g[size_t(j) * size_t(gw) + size_t(i)]; };
        Color col = Lerp(Lerp(at(gx, gy), at(gx + 1, gy), fx), Lerp(at(gx, gy + 1), at(gx + 1, gy + 1), fx), fy);
        return Color(cur.r + col.r, cur.g + col.g, cur.b + col.b, 1);
    });
}

void Planet(Canvas& c, float cx, float cy, float R, const Color& lo, const Color& hi, uint32_t seed) {
    // A banded world lit from the upper left, with a thin atmosphere.
    Vec3 light = Normalize(Vec3(-0.6f, 0.5f, 0.62f));  // x right, y up, z towards the viewer
    for (int y = int(cy - R - 12); y <= int(cy + R + 12); ++y)
        for (int x = int(cx - R - 12); x <= int(cx + R + 12); ++x) {
            if (!c.Inside(x, y)) continue;
            float px = (float(x) + 0.5f - cx) / R, py = -(float(y) + 0.5f - cy) / R;
            float d2 = px * px + py * py;
            float d = std::sqrt(d2);
            if (d < 1.0f) {
                float pz = std::sqrt(1 - d2);
                Vec3 n(px, py, pz);
                float lat = py, lon = std::atan2(px, pz);
                float band = Fbm2Tile(lon * 1.5f + 10, lat * 6, 0, 5, seed, 0.55f);
                float fine = Fbm2Tile(lon * 6, lat * 24, 0, 3, seed + 1);
                Color albedo = Lerp(lo, hi, Clamp01(band * 1.4f - 0.2f + 0.2f * (fine - 0.5f)));
                float lit = std::max(0.0f, Dot(n, light));
                float shade = 0.03f + 1.05f * std::pow(lit, 0.8f);
                Color col(albedo.r * shade, albedo.g * shade, albedo.b * shade, 1);
                float rim = std::pow(1 - pz, 3.0f) * std::max(0.0f, Dot(n, light) + 0.4f);
                col.r += 0.25f * rim;
                col.g += 0.45f * rim;
                col.b += 0.9f * rim;
                c.Blend(x, y, col, Clamp01((1.0f - d) * R));
            } else {
                float glow = std::exp(-(d - 1) * R / 5.0f) * 0.6f;
                float side = std::max(0.0f, (px * light.x + py * light.y) / d + 0.3f);
                c.Add(x, y, Color(0.3f, 0.55f, 1.0f, 1), glow * side);
            }
        }
}

// A distant sun flaring at the upper left.
void TitleSun(Canvas& c) {
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) {
            float d = std::hypot(float(x) - 96, float(y) - 70);
            c.Add(x, y, Color(1.0f, 0.9f, 0.75f, 1), 40.0f / (d + 40.0f) * std::exp(-d / 220.0f));
        }
    c.Circle(96, 70, 7, Color(1, 1, 0.95f, 1), true);
    c.Capsule(96 - 70, 70, 96 + 70, 70, 0.8f, Color(1, 0.95f, 0.85f, 0.45f), true);
    c.Capsule(96, 70 - 40, 96, 70 + 40, 0.8f, Color(1, 0.95f, 0.85f, 0.45f), true);
}

// Asteroid silhouettes crossing the foreground.
void TitleAsteroids(Canvas& c) {
    Rng rng(104);
    for (int i = 0; i < 6; ++i) {
        float ax = float(rng.Range(30, 420)), ay = float(rng.Range(300, 460)), ar = float(rng.Range(6, 22));
        std::vector<float> poly;
        for (int k = 0; k < 11; ++k) {
            float a = float(2 * kPi * k / 11), r = ar * float(rng.Range(0.75, 1.15));
            poly.push_back(ax + r * std::cos(a));
            poly.push_back(ay + r * std::sin(a));
        }
        c.Polygon(poly, Color(0.16f, 0.13f, 0.12f, 1));
        c.FillSdf([&poly, ax, ay, ar](float x, float y) {
            return std::max(SdPolygon(x, y, poly), -SdCircle(x, y, ax + ar * 0.35f, ay + ar * 0.3f, ar * 0.95f));
        }, Color(0.42f, 0.36f, 0.3f, 1), ax - ar * 1.2f, ay - ar * 1.2f, ax + ar * 1.2f, ay + ar * 1.2f);
    }
}

// The name, in a cold metal gradient over a blue glow.
void TitleName(Canvas& c) {
    int size = 86;
    while (size > 20 && Font::Bold().Render("KORVALEND", size, 2).w + 24 + Font::Bold().Render("3D", size, 2).w > 580)
        --size;
    Mask name = Font::Bold().Render("KORVALEND", size, 2);
    Mask three = Font::Bold().Render("3D", size, 2);
    int total = name.w + 24 + three.w;
    int ox = 320 - total / 2, oy = 150 - name.h / 2;
    c.DrawMask(Blur(Pad(name, 24), 10), ox - 24, oy - 24, Color(0.2f, 0.5f, 1.0f, 0.9f));
    c.DrawMask(Blur(Pad(three, 24), 10), ox + name.w + 24 - 24, oy - 24, Color(1.0f, 0.4f, 0.1f, 0.9f));
    c.DrawMask(Pad(name, 0), ox + 3, oy + 4, Color(0, 0, 0, 0.7f));
    c.DrawMaskGradient(name, ox, oy, Color(1, 1, 1, 1), Color(0.45f, 0.65f, 0.95f, 1));
    c.DrawMaskGradient(three, ox + name.w + 24, oy, Color(1.0f, 0.95f, 0.6f, 1), Color(1.0f, 0.45f, 0.1f, 1));
    GlowText(c, "press any key    O: options", 26, Color(0.85f, 0.9f, 1.0f, 1), Color(0.2f, 0.4f, 1.0f, 1), 4, 0.8f, 320, 430,
             1.5f);
}

// The shattered remains of a ship: a bright burst with debris.
void GameOverBurst(Canvas& c) {
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) {
            float d = std::hypot(float(x) - 320, float(y) - 250);
            c.Add(x, y, Color(1.0f, 0.55f, 0.2f, 1), 60.0f / (d + 60.0f) * std::exp(-d / 160.0f) * 0.9f);
        }
    Rng rng(203);
    for (int i = 0; i < 90; ++i) {
        Vec3 dir = rng.UnitVector();
        float r0 = float(rng.Range(20, 60)), r1 = r0 + float(rng.Range(20, 150));
        float dx = dir.x, dy = dir.y;
        float l = std::hypot(dx, dy);
        if (l < 1e-3f) continue;
        dx /= l;
        dy /= l;
        c.Capsule(320 + dx * r0, 250 + dy * r0, 320 + dx * r1, 250 + dy * r1, float(rng.Range(0.5, 1.5)),
                  Color(1.0f, 0.8f, 0.4f, float(rng.Range(0.2, 0.7))), true);
    }
}

// The words, in hot colours over a red glow.
void GameOverWords(Canvas& c) {
    Mask word = Font::Bold().Render("GAME OVER", FitSize(Font::Bold(), "GAME OVER", 560, 140, 110, 3), 3);
    int ox = 320 - word.w / 2, oy = 240 - word.h / 2;
    c.DrawMask(Blur(Pad(word, 28), 12), ox - 28, oy - 28, Color(1.0f, 0.2f, 0.05f, 0.95f));
    c.DrawMask(word, ox + 4, oy + 5, Color(0, 0, 0, 0.75f));
    c.DrawMaskGradient(word, ox, oy, Color(1.0f, 0.95f, 0.7f, 1), Color(1.0f, 0.3f, 0.1f, 1));
}

Canvas Title(bool gameOver) {
    Canvas c(640, 480, Color(0.0f, 0.0f, 0.02f, 1));
    if (!gameOver) {
        Nebula(c, 101, Color(0.35f, 0.1f, 0.55f, 1), Color(0.1f, 0.35f, 0.7f, 1), 0.55f);
        Starfield(c, 102, 700);
        Planet(c, 520, 400, 150, Color(0.35f, 0.22f, 0.15f, 1), Color(0.85f, 0.7f, 0.5f, 1), 103);
        TitleSun(c);
        TitleAsteroids(c);
        TitleName(c);
    } else {
        Nebula(c, 201, Color(0.6f, 0.08f, 0.04f, 1), Color(0.45f, 0.2f, 0.05f, 1), 0.5f);
        Starfield(c, 202, 500);
        GameOverBurst(c);
        GameOverWords(c);
    }
    // Keep every channel within range before the file clamps it.
    c.Shade([](int, int, const Color& p) {
        auto tone = [](float v) { return v <= 0.8f ? v : 0.8f + 0.2f * (1 - std::exp(-(v - 0.8f) * 5)); };
        return Color(tone(p.r), tone(p.g), tone(p.b), 1);
    });
    return c;
}

}  // namespace

bool GenerateImages(const std::string& dir) {
    Out out;
    out.dir = dir + "/Images/";
    if (!EnsureDir(dir + "/Images")) return false;
    if (!Font::Bold().Ok()) out.ok = false;  // the pictures are still written, without text
    SaveTga(out, "flare.tga", Flare());
    Digits(out);
    HudFont(out);
    Captions(out);
    Times(out);
    Icons(out);
    PauseScreen(out);
    out.ok = WriteBmp(out.dir + "Korvalend_Titles#130.bmp", Title(false)) && out.ok;
    out.ok = WriteBmp(out.dir + "Korvalend_Titles#128.bmp", Title(true)) && out.ok;
    return out.ok;
}
