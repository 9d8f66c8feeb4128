// SPDX-License-Identifier: MIT
// The game's seventeen models and their textures, built from simple solids.
// Object space: +z forward, +y up. The game scales every model so that its
// farthest point lands on the object's radius, so only proportions matter.
//
// Lighting in the arena: a blue global ambient, a white sun (whose ambient
// part is white too), the ship's narrow red spot and black fog. Seen from
// the cockpit the sun mostly lights what lies ahead from behind, so the side
// a player sees is lit by the ambient alone: rocks, armour and gunmetal take
// enough ambient and light enough textures to show as bright shapes on the
// black (bench_readability measures it), and the sun's side still comes out
// about twice as bright. Things that should glow get emission.
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>

#include "AssetGen.h"
#include "Canvas.h"
#include "Font.h"
#include "ImageFiles.h"
#include "Mesh.h"
#include "Ms3dWriter.h"
#include "Palette.h"
#include "VisMath.h"

using namespace vis;

namespace {

struct Out {
    std::string dir;  // .../Models/
    bool ok = true;
    int triangles = 0;
    // The render benchmark's baseline: the models that come in numbers as
    // they were before each got a triangle budget, their textures taken
    // from the game's own Models folder.
    bool fullDetail = false;
};

// The game's count, or the count the models had before their budgets.
int Detail(const Out& out, int budget, int full) { return out.fullDetail ? full : budget; }

void SaveTexture(Out& out, const std::string& name, const Canvas& c, bool alpha) {
    if (out.fullDetail) return;
    out.ok = WriteTga(out.dir + name, c, alpha) && out.ok;
}

void SaveModel(Out& out, const std::string& name, ModelData m) {
    if (out.fullDetail)
        for (Material& material : m.materials)
            if (!material.texture.empty()) material.texture = "../Models/" + material.texture;
    out.ok = WriteMs3d(out.dir + name, m) && out.ok;
    out.triangles += int(m.tris.size());
}

// Fills a square texture from a function of (u, v) in [0, 1), v from the top.
Canvas Paint(int size, const std::function<Color(float, float)>& f) {
    Canvas c(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) c.At(x, y) = f((float(x) + 0.5f) / float(size), (float(y) + 0.5f) / float(size));
    return c;
}

Color Rgb(float r, float g, float b) { return Color(r, g, b, 1); }

// The sky's blue ambient doubles the blue of a material's ambient colour, so
// a lit-from-behind rock would turn violet: a material that keeps its own
// hue in the shade asks for that much less blue (keep = 0.5: none extra).
Material ShadeBlue(Material m, float keep) {
    m.ambient[2] *= keep;
    return m;
}

// Radius of a star outline at angle phi: arms points reaching 1, valleys at
// valley; peak sets where in each arm's span the point sits (0.5 = straight,
// near 1 = hooked like a sickle).
float StarRadius(float phi, int arms, float valley, float peak, float sharp) {
    float span = float(2 * kPi) / float(arms);
    float f = std::fmod(phi + float(2 * kPi) * 4, span) / span;
    float k = f < peak ? f / peak : (1 - f) / (1 - peak);
    return valley + (1 - valley) * std::pow(k, sharp);
}

std::vector<float> StarOutline(int arms, float valley, float peak, float sharp, int perArm) {
    std::vector<float> xy;
    int n = arms * perArm;
    for (int i = 0; i < n; ++i) {
        float phi = float(2 * kPi) * float(i) / float(n);
        float r = StarRadius(phi, arms, valley, peak, sharp);
        xy.push_back(r * std::cos(phi));
        xy.push_back(r * std::sin(phi));
    }
    return xy;
}

// Turns a part built in the x-y plane so that it lies in the x-z plane
// (its +z side up).
Xform LayFlat() { return Xform::Rotate(Vec3(1, 0, 0), -90); }

// ---------------------------------------------------------------- textures

Canvas HullTexture() {
    // Light grey plating with panel seams, a blue racing stripe and a few
    // darker panels; tiles in both directions.
    return Paint(256, [](float u, float v) {
        float n = Fbm2Tile(u * 8, v * 8, 8, 4, 11);
        Color base = Rgb(0.78f, 0.80f, 0.84f) * (0.85f + 0.25f * n);
        float pu = std::fmod(u * 8, 1.0f), pv = std::fmod(v * 4 + (int(u * 8) % 2) * 0.5f, 1.0f);
        float seam = std::min(std::min(pu, 1 - pu) * 8, std::min(pv, 1 - pv) * 4);
        if (seam < 0.12f) base = base * 0.55f;
        if (HashFloat(int(u * 8), int(v * 4 + (int(u * 8) % 2) * 0.5f), 0, 5) > 0.8f) base = base * 0.8f;
        float stripe = std::fabs(u - 0.25f);
        if (stripe < 0.035f) base = Rgb(0.15f, 0.35f, 0.85f);
        else if (stripe < 0.045f) base = Rgb(0.9f, 0.9f, 0.95f);
        float stripe2 = std::fabs(u - 0.75f);
        if (stripe2 < 0.035f) base = Rgb(0.15f, 0.35f, 0.85f);
        else if (stripe2 < 0.045f) base = Rgb(0.9f, 0.9f, 0.95f);
        return base;
    });
}

Canvas GlowTexture() {
    // White-hot centre fading outwards: the faces of shots and nozzles.
    return Paint(64, [](float u, float v) {
        float d = std::hypot(u - 0.5f, v - 0.5f) * 2;
        float k = 0.55f + 0.45f * (1 - SmoothStep(0.0f, 1.0f, d));
        return Rgb(k, k, k);
    });
}

Canvas RockTexture() {
    return Paint(256, [](float u, float v) {
        float n = Fbm2Tile(u * 4, v * 4, 4, 6, 21, 0.55f);
        float m = Fbm2Tile(u * 16, v * 16, 16, 3, 22);
        float crack = std::fabs(Fbm2Tile(u * 6, v * 6, 6, 4, 23) - 0.5f);
        float k = 0.72f + 0.4f * n + 0.15f * (m - 0.5f);
        if (crack < 0.02f) k *= 0.55f;
        Color c = Lerp(Rgb(0.62f, 0.55f, 0.47f), Rgb(0.92f, 0.86f, 0.76f), Clamp01(n * 1.3f - 0.2f));
        return c * Clamp01(k);
    });
}

Canvas SteelTexture() {
    // Riveted armour plates with bevelled seams and a brushed grain.
    return Paint(256, [](float u, float v) {
        float pu = std::fmod(u * 2, 1.0f), pv = std::fmod(v * 2, 1.0f);
        float grain = Fbm2Tile(u * 64, v * 2, 64, 2, 31);
        float n = Fbm2Tile(u * 4, v * 4, 4, 4, 32);
        Color c = Lerp(Rgb(0.62f, 0.66f, 0.73f), Rgb(0.86f, 0.88f, 0.93f), grain * 0.6f + n * 0.4f);
        float e = std::min(std::min(pu, 1 - pu), std::min(pv, 1 - pv));
        if (e < 0.03f) c = c * 0.35f;
        else if (e < 0.06f) c = c * (pu < 0.5f && pv < 0.5f ? 1.25f : 0.8f);
        // rivets along the plate edges
        for (int i = 0; i < 6; ++i) {
            float t = (float(i) + 0.5f) / 6.0f;
            float d = std::min(std::min(std::hypot(pu - t, pv - 0.11f), std::hypot(pu - t, pv - 0.89f)),
                               std::min(std::hypot(pu - 0.11f, pv - t), std::hypot(pu - 0.89f, pv - t)));
            if (d < 0.025f) c = Rgb(0.9f, 0.92f, 0.95f) * (1.0f - d * 14);
        }
        return c;
    });
}

Canvas ShieldTexture() {
    // A honeycomb of bright lines over a faint fill; alpha carries it.
    return Paint(256, [](float u, float v) {
        float x = u * 16, y = v * 8 * 1.7320508f;
        // distance to the nearest hexagon centre on two offset lattices
        auto hexDist = [](float px, float py) {
            float qx = std::fabs(std::fmod(px, 1.0f) - 0.5f), qy = std::fabs(std::fmod(py, 1.7320508f) - 0.8660254f);
            return std::max(qx, qx * 0.5f + qy * 0.8660254f);
        };
        float a = hexDist(x, y), b = hexDist(x + 0.5f, y + 0.8660254f);
        float d = std::min(a, b);  // 0 at a centre, 0.5 at an edge
        float line = SmoothStep(0.40f, 0.48f, d);
        float alpha = 0.35f + 0.65f * line;
        return Color(0.55f + 0.45f * line, 0.8f + 0.2f * line, 1.0f, alpha);
    });
}

Canvas PrizeTexture() {
    // A crate face: gold frame, violet panel, a glowing question mark.
    Canvas c(128, 128, Rgb(0.25f, 0.1f, 0.45f));
    c.Shade([](int x, int y, const Color&) {
        float d = std::hypot(float(x) - 64, float(y) - 64) / 64;
        return Lerp(Rgb(0.55f, 0.25f, 0.85f), Rgb(0.18f, 0.06f, 0.35f), Clamp01(d));
    });
    Font& f = Font::Bold();
    Mask q = f.Render("?", 92);
    Mask glow = Blur(Pad(q, 12), 5);
    int ox = 64 - q.w / 2, oy = 64 - q.h / 2;
    c.DrawMask(glow, ox - 12, oy - 12, Color(1.0f, 0.8f, 0.2f, 1), true);
    c.DrawMask(q, ox, oy, Rgb(1.0f, 0.95f, 0.55f));
    // frame
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x) {
            int e = std::min(std::min(x, 127 - x), std::min(y, 127 - y));
            if (e < 12) {
                float k = e < 2 ? 0.5f : (e < 10 ? 1.0f : 0.6f);
                c.At(x, y) = Rgb(0.95f * k, 0.72f * k, 0.25f * k);
            }
        }
    return c;
}

Canvas PlasmaTexture(uint32_t seed, const Color& lo, const Color& hi) {
    return Paint(128, [=](float u, float v) {
        float n = Fbm2Tile(u * 4, v * 4, 4, 5, seed, 0.6f);
        float w = Fbm2Tile(u * 8 + n * 2, v * 8, 8, 3, seed + 7);
        return Lerp(lo, hi, Clamp01(n * 1.2f + w * 0.4f - 0.2f));
    });
}

Canvas MultiplierTexture(int n, const Color& tint) {
    // The token's face: a bright rim, a tinted disc and the number.
    Canvas c(128, 128);
    c.Shade([&](int x, int y, const Color&) {
        float d = std::hypot(float(x) + 0.5f - 64, float(y) + 0.5f - 64) / 64;
        Color inner = Lerp(tint * 1.15f, tint * 0.55f, Clamp01(d));
        if (d > 0.86f) inner = Lerp(Rgb(1, 0.95f, 0.7f), tint * 0.8f, Clamp01((d - 0.86f) * 8));
        inner.a = 1;
        return inner;
    });
    Font& f = Font::Bold();
    Mask digit = f.Render(std::to_string(n), 84);
    Mask x = f.Render("x", 40);
    int total = x.w + 2 + digit.w;
    int ox = 64 - total / 2, oy = 64 - digit.h / 2;
    Mask shadowD = Blur(Pad(digit, 6), 2.5f), shadowX = Blur(Pad(x, 6), 2.5f);
    c.DrawMask(shadowX, ox - 6 + 2, oy + digit.h - x.h - 6 + 2, Color(0, 0, 0, 0.8f));
    c.DrawMask(shadowD, ox + x.w + 2 - 6 + 2, oy - 6 + 2, Color(0, 0, 0, 0.8f));
    c.DrawMask(x, ox, oy + digit.h - x.h, Rgb(1, 1, 1));
    c.DrawMask(digit, ox + x.w + 2, oy, Rgb(1, 1, 0.9f));
    return c;
}

Canvas HazardTexture() {
    // Dark gunmetal with a yellow-black hazard band round the equator
    // (spherical mapping: t = 0.5 is the equator).
    return Paint(128, [](float u, float v) {
        float n = Fbm2Tile(u * 8, v * 8, 8, 4, 41);
        Color c = Rgb(0.56f, 0.58f, 0.63f) * (0.8f + 0.4f * n);
        if (std::fabs(v - 0.5f) < 0.07f) {
            bool yellow = std::fmod(u * 16 + v * 4, 1.0f) < 0.5f;
            c = yellow ? Rgb(0.95f, 0.75f, 0.1f) : Rgb(0.08f, 0.08f, 0.08f);
        } else if (std::fabs(v - 0.5f) < 0.085f) {
            c = c * 0.4f;
        }
        float pv = std::fmod(v * 6, 1.0f);
        if (pv < 0.04f) c = c * 0.5f;
        return c;
    });
}

Canvas GravityCoreTexture() {
    return Paint(128, [](float u, float v) {
        float n = Fbm2Tile(u * 6 + v * 3, v * 6, 6, 4, 51, 0.6f);
        float k = SmoothStep(0.55f, 0.9f, n);
        return Lerp(Rgb(0.02f, 0.0f, 0.05f), Rgb(0.45f, 0.15f, 0.75f), k);
    });
}

Canvas GravityDiskTexture() {
    // Swirling bands, bright at the inner edge (t = 1) fading outwards.
    return Paint(256, [](float u, float v) {
        float r = 1 - v;  // 0 inner, 1 outer
        float swirl = Fbm2Tile(u * 16 + r * 3, r * 4, 16, 4, 61, 0.6f);
        float k = (1 - r) * (0.5f + 0.8f * swirl);
        Color c = Lerp(Rgb(0.35f, 0.1f, 0.9f), Rgb(0.7f, 0.95f, 1.0f), Clamp01(k * 1.4f - 0.2f));
        c.a = Clamp01(0.25f + 0.85f * k) * SmoothStep(0.0f, 0.12f, 1 - r) * SmoothStep(0.0f, 0.08f, r);
        return c;
    });
}

Canvas ShinobiTexture(const std::vector<float>& outline, const Color& accent) {
    // Blued gunmetal with an engraved ring and a glowing line just inside
    // the blade's own edge; mapped flat over the blade (x, y in -1..1).
    return Paint(256, [&](float u, float v) {
        float x = u * 2 - 1, y = 1 - v * 2;
        float n = Fbm2Tile(u * 8, v * 8, 8, 4, 71);
        Color c = Rgb(0.36f, 0.40f, 0.50f) * (0.8f + 0.4f * n);
        float r = std::hypot(x, y);
        // Only the band near the rim can be close to the edge; elsewhere
        // the exact distance is not needed.
        float d = (r > 1.02f || r < 0.2f) ? (r > 1.02f ? -1.0f : 1.0f) : -SdPolygon(x, y, outline);
        if (d > 0.04f && d < 0.075f) c = accent;
        else if (d >= 0 && d <= 0.04f) c = Rgb(0.75f, 0.78f, 0.85f);  // honed edge
        if (std::fabs(r - 0.42f) < 0.015f) c = c * 0.4f;
        return c;
    });
}

// ------------------------------------------------------------------ models

ModelData Ship(Out& out) {
    SaveTexture(out, "ship.tga", HullTexture(), false);
    ModelData m;
    int hull = m.AddMaterial(Material::Make("hull", Vec3(0.9f, 0.9f, 0.95f), 0.3f, 0.85f, 0.6f, 40, Vec3(0.05f, 0.05f, 0.06f), "ship.tga"));
    int dark = m.AddMaterial(Material::Make("metal", Vec3(0.35f, 0.36f, 0.42f), 0.3f, 0.9f, 0.8f, 60, Vec3(0.02f, 0.02f, 0.03f), "ship.tga"));
    int glass = m.AddMaterial(Material::Make("canopy", Vec3(0.2f, 0.5f, 0.9f), 0.3f, 0.6f, 1.0f, 90, Vec3(0.05f, 0.15f, 0.3f), ""));
    int flame = m.AddMaterial(Material::Make("exhaust", Vec3(1.0f, 0.6f, 0.2f), 0.0f, 0.3f, 0.0f, 0, Vec3(1.0f, 0.55f, 0.15f), "glow.tga"));
    int trim = m.AddMaterial(Material::Make("trim", Vec3(0.85f, 0.15f, 0.1f), 0.3f, 0.8f, 0.5f, 30, Vec3(0.08f, 0.01f, 0.0f), ""));
    int gHull = m.AddGroup("hull", hull), gDark = m.AddGroup("engines", dark), gGlass = m.AddGroup("canopy", glass),
        gFlame = m.AddGroup("exhaust", flame), gTrim = m.AddGroup("trim", trim);

    // Fuselage: a flattened body of revolution, pointed at the nose.
    Part body = Lathe({{0.0f, -1.95f}, {0.30f, -1.9f}, {0.42f, -1.5f}, {0.48f, -0.7f}, {0.45f, 0.2f},
                       {0.36f, 1.0f}, {0.22f, 1.7f}, {0.09f, 2.15f}, {0.0f, 2.4f}},
                      12, false, float(kPi / 12));
    body.Transform(Xform::Scale(1.0f, 0.62f, 1.0f));
    m.AddPart(body, gHull, 50);

    // Cockpit canopy, set into the top of the fuselage ahead of the wings.
    Part canopy = Icosphere(1);
    canopy.Transform(Xform::Translate(Vec3(0, 0.2f, 0.75f)) * Xform::Scale(0.22f, 0.2f, 0.6f));
    m.AddPart(canopy, gGlass, 60);

    // Swept wings with a slight dihedral.
    std::vector<float> wing = {0.35f, 0.7f, 0.35f, -1.45f, 2.05f, -1.75f, 2.05f, -1.2f};
    for (int side = 0; side < 2; ++side) {
        Part w = Extrude(wing, -0.04f, 0.04f);
        Xform place = Xform::Rotate(Vec3(0, 0, 1), 6) * Xform::Rotate(Vec3(1, 0, 0), 90);
        if (side) place = Xform::Scale(-1, 1, 1) * place;
        w.Transform(place * Xform());
        w.Transform(Xform::Translate(Vec3(0, -0.05f, 0)));
        w.BoxMap(0.5f);
        m.AddPart(w, gHull, 30);

        // Wing-tip cannons.
        Part gun = Lathe({{0.0f, -1.8f}, {0.07f, -1.75f}, {0.07f, -0.5f}, {0.04f, -0.3f}, {0.04f, 0.1f}, {0.0f, 0.12f}}, 6, false);
        gun.Transform(Xform::Translate(Vec3(side ? -2.08f : 2.08f, 0.17f, 0)));
        m.AddPart(gun, gDark, 40);

        // Red wing-tip stripe plates.
        std::vector<float> tip = {1.7f, -1.25f, 2.05f, -1.2f, 2.05f, -1.75f, 1.7f, -1.7f};
        Part t = Extrude(tip, -0.045f, 0.045f);
        Xform tp = Xform::Rotate(Vec3(0, 0, 1), 6) * Xform::Rotate(Vec3(1, 0, 0), 90);
        if (side) tp = Xform::Scale(-1, 1, 1) * tp;
        t.Transform(tp);
        t.Transform(Xform::Translate(Vec3(0, -0.05f, 0)));
        m.AddPart(t, gTrim, 30);

        // Canted tail fin.
        std::vector<float> fin = {-0.8f, 0.0f, -1.9f, 0.0f, -2.05f, 0.85f, -1.7f, 0.85f};
        Part f = Extrude(fin, -0.035f, 0.035f);
        // fin outline is in (z, y): swap x and z, then cant outwards
        Xform swapXZ;
        swapXZ.m[0][0] = 0; swapXZ.m[0][2] = 1; swapXZ.m[2][0] = 1; swapXZ.m[2][2] = 0;
        Xform fp = Xform::Translate(Vec3(0.28f, 0.15f, 0)) * Xform::Rotate(Vec3(0, 0, 1), -18) * swapXZ;
        if (side) fp = Xform::Scale(-1, 1, 1) * fp;
        f.Transform(fp);
        f.BoxMap(0.5f);
        m.AddPart(f, gHull, 30);

        // Engine nacelle and its glowing nozzle.
        float ex = side ? -0.5f : 0.5f;
        Part eng = Lathe({{0.17f, -2.2f}, {0.23f, -2.0f}, {0.23f, -1.0f}, {0.14f, -0.4f}, {0.0f, -0.25f}}, 10, false);
        eng.Transform(Xform::Translate(Vec3(ex, -0.06f, 0)));
        m.AddPart(eng, gDark, 50);
        Part noz = Lathe({{0.0f, -2.15f}, {0.17f, -2.2f}}, 10, false);
        noz.PlanarMap(0, -0.17f, 1 / 0.34f, 1, -0.17f, 1 / 0.34f);
        noz.Transform(Xform::Translate(Vec3(ex, -0.06f, 0)));
        m.AddPart(noz, gFlame, 80);
    }
    return m;
}

ModelData Asteroid(Out& out) {
    SaveTexture(out, "rock.tga", RockTexture(), false);
    ModelData m;
    int rock = m.AddMaterial(ShadeBlue(Material::Make("rock", Vec3(0.88f, 0.8f, 0.68f), 0.55f, 0.85f, 0.1f, 10, Vec3(0, 0, 0), "rock.tga"), 0.5f));
    int g = m.AddGroup("rock", rock);
    // 180 triangles: a hundred rocks on screen at once, a few pixels per
    // facet; the lumps are in the shape, the craters' detail in the texture.
    Part p = out.fullDetail ? Icosphere(3) : Geosphere(3);
    Rng rng(0xA57E401Dull);
    std::vector<std::pair<Vec3, float>> craters;
    for (int i = 0; i < 9; ++i) craters.push_back({rng.UnitVector(), float(rng.Range(0.22, 0.5))});
    for (Vec3& v : p.pos) {
        Vec3 d = Normalize(v);
        float r = 1.0f + 0.55f * (Fbm3(d * 1.4f, 4, 77) - 0.5f) + 0.12f * (Fbm3(d * 5.0f, 2, 78) - 0.5f);
        for (auto& c : craters) {
            float ang = std::acos(std::max(-1.0f, std::min(1.0f, Dot(d, c.first))));
            float x = ang / c.second;
            if (x < 1.3f) r += (x < 1.0f ? -0.10f * (1 - x * x) : 0.04f * std::sin((x - 1.0f) / 0.3f * float(kPi)));
        }
        v = Mul(d * r, Vec3(1.2f, 0.85f, 1.0f));
    }
    p.BoxMap(0.45f);
    m.AddPart(p, g, 75);
    return m;
}

ModelData Steelroid(Out& out) {
    SaveTexture(out, "steel.tga", SteelTexture(), false);
    ModelData m;
    // Cooler than the rock: some of the sky's blue stays in its shade.
    int steel = m.AddMaterial(ShadeBlue(Material::Make("steel", Vec3(0.82f, 0.84f, 0.86f), 0.45f, 0.85f, 1.0f, 70, Vec3(0.02f, 0.02f, 0.02f), "steel.tga"), 0.75f));
    int stud = m.AddMaterial(ShadeBlue(Material::Make("studs", Vec3(0.6f, 0.6f, 0.6f), 0.45f, 0.75f, 1.0f, 100, Vec3(0, 0, 0), "steel.tga"), 0.75f));
    int gs = m.AddGroup("armour", steel), gt = m.AddGroup("studs", stud);
    Part p = Icosphere(1);
    Rng rng(0x57EE1ull);
    // Push each corner in or out a little so the facets differ, keeping it
    // a solid, heavy shape.
    std::vector<float> rad;
    for (size_t i = 0; i < p.pos.size(); ++i) rad.push_back(float(rng.Range(0.86, 1.06)));
    for (size_t i = 0; i < p.pos.size(); ++i) p.pos[i] = Mul(p.pos[i] * rad[i], Vec3(1.05f, 0.95f, 1.0f));
    p.BoxMap(0.7f);
    m.AddPart(p, gs, 10);
    // Bolt heads at the twelve five-fold corners.
    Part ico = Icosphere(0);
    for (size_t i = 0; i < ico.pos.size(); ++i) {
        Vec3 d = Normalize(ico.pos[i]);
        float r = rad[i] * 0.98f;
        Part b = out.fullDetail ? Lathe({{0.16f, -0.06f}, {0.16f, 0.06f}, {0.10f, 0.11f}, {0.0f, 0.12f}}, 6, true)
                                : Lathe({{0.16f, -0.06f}, {0.16f, 0.05f}, {0.0f, 0.12f}}, 6, true);
        b.Transform(Xform::Translate(Mul(d * r, Vec3(1.05f, 0.95f, 1.0f))) * Xform::AimZ(d));
        b.BoxMap(1.0f);
        m.AddPart(b, gt, 35);
    }
    return m;
}

ModelData Bolt(Out& out, bool player) {
    (void)out;
    ModelData m;
    if (player) {
        // A short, hot green-yellow dart.
        int core = m.AddMaterial(Material::Make("bolt", Vec3(0.8f, 1.0f, 0.5f), 0.0f, 0.4f, 0.0f, 0, Vec3(0.9f, 1.0f, 0.5f), "glow.tga"));
        int g = m.AddGroup("bolt", core);
        Part p = Lathe({{0.0f, -1.0f}, {0.35f, -0.4f}, {0.45f, 0.1f}, {0.3f, 0.6f}, {0.0f, 1.0f}}, 8, false);
        p.PlanarMap(0, -0.5f, 1.0f, 2, -1.0f, 0.5f);
        m.AddPart(p, g, 60);
    } else {
        // A red-violet spiked spark.
        int core = m.AddMaterial(Material::Make("spark", Vec3(1.0f, 0.2f, 0.5f), 0.0f, 0.3f, 0.0f, 0, Vec3(1.0f, 0.15f, 0.45f), "glow.tga"));
        int g = m.AddGroup("spark", core);
        Part ball = Icosphere(1);
        ball.Transform(Xform::Scale(0.45f));
        m.AddPart(ball, g, 60);
        const Vec3 dirs[6] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
        for (const Vec3& d : dirs) {
            Part s = Lathe({{0.2f, 0.25f}, {0.0f, 1.0f}}, 5, false);
            s.Transform(Xform::AimZ(d));
            s.PlanarMap(0, -1, 0.5f, 1, -1, 0.5f);
            m.AddPart(s, g, 60);
        }
    }
    return m;
}

ModelData Shield(Out& out) {
    SaveTexture(out, "shield.tga", ShieldTexture(), true);
    ModelData m;
    int mat = m.AddMaterial(Material::Make("shield", Vec3(0.4f, 0.75f, 1.0f), 0.3f, 0.8f, 0.9f, 40, Vec3(0.1f, 0.3f, 0.6f), "shield.tga", 0.3f));
    int g = m.AddGroup("bubble", mat);
    Part p = Icosphere(2);
    m.AddPart(p, g, 180);
    return m;
}

ModelData Prize(Out& out) {
    SaveTexture(out, "prize.tga", PrizeTexture(), false);
    ModelData m;
    int face = m.AddMaterial(Material::Make("crate", Vec3(1.0f, 1.0f, 1.0f), 0.3f, 0.8f, 0.4f, 30, Vec3(0.35f, 0.3f, 0.35f), "prize.tga"));
    int gold = m.AddMaterial(Material::Make("frame", Vec3(1.0f, 0.78f, 0.3f), 0.3f, 0.85f, 1.0f, 60, Vec3(0.2f, 0.14f, 0.03f), "prize.tga"));
    int gf = m.AddGroup("crate", face), gg = m.AddGroup("frame", gold);
    m.AddPart(Box(0.9f, 0.9f, 0.9f), gf, 10);
    // Gold edge bars standing slightly proud of the faces.
    for (int axis = 0; axis < 3; ++axis)
        for (int a = -1; a <= 1; a += 2)
            for (int b = -1; b <= 1; b += 2) {
                float L = 1.0f, w = 0.1f;
                Vec3 half(axis == 0 ? L : w, axis == 1 ? L : w, axis == 2 ? L : w);
                Part bar = Box(half.x, half.y, half.z);
                Vec3 c;
                float o = 0.92f;
                if (axis == 0) c = Vec3(0, a * o, b * o);
                if (axis == 1) c = Vec3(a * o, 0, b * o);
                if (axis == 2) c = Vec3(a * o, b * o, 0);
                bar.Transform(Xform::Translate(c));
                // sample the gold border of the crate texture
                for (auto& f : bar.faces)
                    for (int k = 0; k < 3; ++k) {
                        f.u[k] = 0.04f + 0.02f * f.u[k];
                        f.t[k] = 0.1f + 0.8f * f.t[k];
                    }
                m.AddPart(bar, gg, 10);
            }
    return m;
}

ModelData Nova(Out& out) {
    SaveTexture(out, "nova.tga", PlasmaTexture(81, Rgb(1.0f, 0.35f, 0.05f), Rgb(1.0f, 1.0f, 0.7f)), false);
    ModelData m;
    int core = m.AddMaterial(Material::Make("core", Vec3(1.0f, 0.7f, 0.3f), 0.2f, 0.5f, 0.0f, 0, Vec3(1.0f, 0.75f, 0.35f), "nova.tga"));
    int spike = m.AddMaterial(Material::Make("rays", Vec3(1.0f, 0.9f, 0.5f), 0.2f, 0.6f, 0.5f, 20, Vec3(0.9f, 0.7f, 0.25f), "glow.tga"));
    int gc = m.AddGroup("core", core), gs = m.AddGroup("rays", spike);
    Part c = Icosphere(2);
    c.Transform(Xform::Scale(0.38f));
    m.AddPart(c, gc, 180);
    // Long rays through the icosahedron's corners, shorter ones through its
    // faces.
    Part ico = Icosphere(0);
    std::vector<std::pair<Vec3, float>> rays;
    for (const Vec3& v : ico.pos) rays.push_back({Normalize(v), 1.0f});
    for (const auto& f : ico.faces)
        rays.push_back({Normalize(ico.pos[size_t(f.v[0])] + ico.pos[size_t(f.v[1])] + ico.pos[size_t(f.v[2])]), 0.68f});
    for (const auto& r : rays) {
        Part s = Lathe({{0.11f, 0.25f}, {0.0f, r.second}}, 5, false);
        s.PlanarMap(0, -0.11f, 4.5f, 2, 0.25f, 1.0f);
        s.Transform(Xform::AimZ(r.first));
        m.AddPart(s, gs, 60);
    }
    return m;
}

ModelData Multiplier(Out& out, int n) {
    Color tint = kMultiplierTints[n - 2];
    std::string tex = "multiplier" + std::to_string(n) + ".tga";
    SaveTexture(out, tex, MultiplierTexture(n, tint), false);
    ModelData m;
    int face = m.AddMaterial(Material::Make("face", Vec3(1, 1, 1), 0.3f, 0.8f, 0.6f, 40, Vec3(0.35f, 0.35f, 0.35f), tex));
    int rim = m.AddMaterial(Material::Make("rim", Vec3(1.0f, 0.85f, 0.45f), 0.3f, 0.85f, 1.0f, 60, Vec3(tint.r * 0.3f, tint.g * 0.3f, tint.b * 0.3f), ""));
    int gf = m.AddGroup("faces", face), gr = m.AddGroup("rim", rim);
    const int seg = 28;
    Part front = Lathe({{0.86f, 0.1f}, {0.0f, 0.1f}}, seg, false);
    front.PlanarMap(0, -1.0f, 0.5f, 1, 1.0f, -0.5f);
    m.AddPart(front, gf, 10);
    Part back = Lathe({{0.0f, -0.1f}, {0.86f, -0.1f}}, seg, false);
    back.PlanarMap(0, 1.0f, -0.5f, 1, 1.0f, -0.5f);  // mirrored, so it reads right from behind
    m.AddPart(back, gf, 10);
    Part edge = Lathe({{0.86f, -0.1f}, {1.0f, -0.16f}, {1.0f, 0.16f}, {0.86f, 0.1f}}, seg, false);
    m.AddPart(edge, gr, 50);
    return m;
}

ModelData Bonus(Out& out) {
    SaveTexture(out, "bonus.tga", PlasmaTexture(91, Rgb(0.25f, 0.55f, 1.0f), Rgb(0.95f, 1.0f, 1.0f)), false);
    ModelData m;
    int core = m.AddMaterial(Material::Make("head", Vec3(0.7f, 0.9f, 1.0f), 0.2f, 0.5f, 0.5f, 30, Vec3(0.55f, 0.8f, 1.0f), "bonus.tga"));
    int inner = m.AddMaterial(Material::Make("coma", Vec3(0.4f, 0.7f, 1.0f), 0.2f, 0.6f, 0.0f, 0, Vec3(0.3f, 0.6f, 1.0f), "bonus.tga", 0.3f));
    int outer = m.AddMaterial(Material::Make("halo", Vec3(0.3f, 0.5f, 1.0f), 0.2f, 0.6f, 0.0f, 0, Vec3(0.2f, 0.4f, 1.0f), "bonus.tga", 0.16f));
    int gc = m.AddGroup("head", core), gi = m.AddGroup("coma", inner), go = m.AddGroup("halo", outer);
    // A bright icy nucleus inside two soft, lumpy shells of glowing gas:
    // each shell adds a little light, so the edge fades out.
    // The nucleus sits inside the shells and the coma is seen through the
    // halo, so they make do with fewer facets than the outer edge.
    Part c = Icosphere(Detail(out, 1, 2));
    for (Vec3& v : c.pos) v = v * (0.45f + 0.08f * (Fbm3(v * 3.0f, 3, 92) - 0.5f));
    m.AddPart(c, gc, 70);
    Part h = Icosphere(Detail(out, 1, 2));
    for (Vec3& v : h.pos) v = v * (0.68f + 0.16f * (Fbm3(v * 2.0f, 3, 93) - 0.5f));
    m.AddPart(h, gi, 180);
    Part o = Icosphere(2);
    for (Vec3& v : o.pos) v = v * (0.9f + 0.2f * (Fbm3(v * 1.7f, 3, 94) - 0.5f));
    m.AddPart(o, go, 180);
    return m;
}

ModelData Homing(Out& out) {
    SaveTexture(out, "homing.tga", HazardTexture(), false);
    ModelData m;
    int body = m.AddMaterial(ShadeBlue(Material::Make("casing", Vec3(0.7f, 0.7f, 0.75f), 0.55f, 0.85f, 0.9f, 50, Vec3(0, 0, 0), "homing.tga"), 0.5f));
    int horn = m.AddMaterial(ShadeBlue(Material::Make("horns", Vec3(0.55f, 0.55f, 0.6f), 0.55f, 0.85f, 0.9f, 50, Vec3(0, 0, 0), "homing.tga"), 0.5f));
    int lamp = m.AddMaterial(Material::Make("lamps", Vec3(1.0f, 0.15f, 0.1f), 0.2f, 0.6f, 0.5f, 20, Vec3(0.9f, 0.08f, 0.05f), "glow.tga"));
    int gb = m.AddGroup("casing", body), gh = m.AddGroup("horns", horn), gl = m.AddGroup("lamps", lamp);
    // The horns break the outline, so the casing can be coarse.
    Part s = Icosphere(Detail(out, 1, 2));
    s.Transform(Xform::Scale(0.58f));
    m.AddPart(s, gb, 180);
    Part ico = Icosphere(0);
    for (const Vec3& v : ico.pos) {
        Vec3 d = Normalize(v);
        Part stem = out.fullDetail ? Lathe({{0.13f, 0.5f}, {0.13f, 0.62f}, {0.07f, 0.66f}, {0.06f, 0.86f}}, 6, false)
                                   : Lathe({{0.13f, 0.5f}, {0.13f, 0.6f}, {0.06f, 0.86f}}, 5, false);
        stem.Transform(Xform::AimZ(d));
        stem.PlanarMap(0, -1, 0.05f, 1, -1, 0.05f);  // plain gunmetal above the band
        m.AddPart(stem, gh, 50);
        Part tip = Lathe({{0.06f, 0.86f}, {0.0f, 1.0f}}, Detail(out, 5, 6), false);
        tip.PlanarMap(0, -0.06f, 8.0f, 1, -0.06f, 8.0f);
        tip.Transform(Xform::AimZ(d));
        m.AddPart(tip, gl, 60);
    }
    return m;
}

ModelData Gravity(Out& out) {
    SaveTexture(out, "gravity_core.tga", GravityCoreTexture(), false);
    SaveTexture(out, "gravity_disk.tga", GravityDiskTexture(), true);
    ModelData m;
    int core = m.AddMaterial(Material::Make("core", Vec3(0.2f, 0.1f, 0.3f), 0.1f, 0.3f, 0.6f, 80, Vec3(0.35f, 0.2f, 0.5f), "gravity_core.tga"));
    int ring = m.AddMaterial(Material::Make("ring", Vec3(0.7f, 0.95f, 1.0f), 0.2f, 0.5f, 0.5f, 30, Vec3(0.75f, 1.0f, 1.0f), ""));
    int disk = m.AddMaterial(Material::Make("disk", Vec3(0.8f, 0.7f, 1.0f), 0.2f, 0.4f, 0.0f, 0, Vec3(0.95f, 0.85f, 1.0f), "gravity_disk.tga", 0.95f));
    int gc = m.AddGroup("core", core), gr = m.AddGroup("ring", ring), gd = m.AddGroup("disk", disk);
    Xform tilt = Xform::Rotate(Vec3(1, 0, 0), 22) * Xform::Rotate(Vec3(0, 0, 1), 10);
    Part c = Icosphere(Detail(out, 1, 2));
    c.Transform(Xform::Scale(0.5f));
    m.AddPart(c, gc, 180);
    Part t = Torus(0.93f, 0.06f, Detail(out, 28, 40), Detail(out, 4, 6));
    t.PlanarMap(0, -1, 0.5f, 2, -1, 0.5f);
    t.Transform(tilt);
    m.AddPart(t, gr, 60);
    Part a = Annulus(0.56f, 0.9f, Detail(out, 28, 40));
    a.Transform(tilt);
    m.AddPart(a, gd, 10);
    return m;
}

ModelData Shinobi(Out& out, bool big) {
    // One family: blued steel blades with a honed edge, a glowing line
    // inside the edge and a glowing eye in the hub. The big ship is a
    // four-pointed star; the small one a three-bladed, hooked sickle.
    // An even count per arm puts a corner on each straight point.
    std::vector<float> outline = big ? StarOutline(4, 0.3f, 0.5f, 2.2f, Detail(out, 10, 14))
                                     : StarOutline(3, 0.34f, 0.82f, 1.6f, Detail(out, 12, 18));
    Color accent = big ? Rgb(1.0f, 0.15f, 0.1f) : Rgb(1.0f, 0.75f, 0.1f);
    std::string tex = big ? "shinobi_big.tga" : "shinobi_small.tga";
    SaveTexture(out, tex, ShinobiTexture(outline, accent), false);
    ModelData m;
    int blade = m.AddMaterial(Material::Make("blades", Vec3(0.85f, 0.88f, 1.0f), 0.45f, 0.85f, 1.0f, 60, Vec3(0.1f, 0.1f, 0.12f), tex));
    int hub = m.AddMaterial(Material::Make("hub", Vec3(0.6f, 0.62f, 0.7f), 0.45f, 0.8f, 1.0f, 80, Vec3(0, 0, 0), tex));
    int eye = m.AddMaterial(Material::Make("eye", Vec3(accent.r, accent.g, accent.b), 0.2f, 0.6f, 1.0f, 80, Vec3(accent.r * 0.9f, accent.g * 0.9f, accent.b * 0.9f), "glow.tga"));
    int gb = m.AddGroup("blades", blade), gh = m.AddGroup("hub", hub), ge = m.AddGroup("eye", eye);
    Part b = Blade(outline, 0.025f, big ? 0.16f : 0.2f);
    b.Transform(LayFlat());
    m.AddPart(b, gb, 8);
    if (big) {
        // A second, upright star across the first: seen from the side the
        // ship still shows points, and its spin makes them flash.
        Part up = Blade(StarOutline(4, 0.3f, 0.5f, 2.2f, Detail(out, 8, 10)), 0.02f, 0.12f);
        up.Transform(Xform::Scale(0.72f) * Xform::Rotate(Vec3(0, 0, 1), 45));
        m.AddPart(up, gb, 8);
    } else {
        // Upright spikes through the hub and three short prongs between the
        // blades: a cross seen from the side, a hooked wheel from above.
        for (int s = -1; s <= 1; s += 2) {
            Part sp = Lathe({{0.12f, 0.2f}, {0.0f, 0.85f}}, 6, false);
            sp.Transform(Xform::AimZ(Vec3(0, float(s), 0)));
            sp.PlanarMap(0, -1, 0.5f, 2, -1, 0.5f);
            m.AddPart(sp, gh, 50);
        }
        for (int k = 0; k < 3; ++k) {
            float a = float(2 * kPi) * (float(k) + 0.1f) / 3.0f;
            Vec3 d(std::cos(a), 0, -std::sin(a));
            Part p = Lathe({{0.07f, 0.3f}, {0.07f, 0.5f}, {0.0f, 0.62f}}, 6, false);
            p.Transform(Xform::AimZ(d));
            p.PlanarMap(0, -1, 0.5f, 2, -1, 0.5f);
            m.AddPart(p, gh, 50);
        }
    }
    float hubR = big ? 0.3f : 0.36f;
    Part ring = Torus(hubR, 0.06f, Detail(out, 16, 24), Detail(out, 4, 6));
    ring.PlanarMap(0, -1, 0.5f, 2, -1, 0.5f);
    m.AddPart(ring, gh, 60);
    Part dome = Icosphere(Detail(out, 1, 2));
    dome.Transform(Xform::Scale(hubR * 0.85f, big ? 0.26f : 0.3f, hubR * 0.85f));
    dome.PlanarMap(0, -0.3f, 1.6f, 2, -0.3f, 1.6f);
    m.AddPart(dome, ge, 180);
    return m;
}

// The models that come in numbers, each held to a triangle budget (or, for
// the benchmark's baseline, at the detail it had before).
void SaveCountedModels(Out& out) {
    SaveModel(out, "Asteroid.ms3d", Asteroid(out));
    SaveModel(out, "Steelroid.ms3d", Steelroid(out));
    SaveModel(out, "Bonus.ms3d", Bonus(out));
    SaveModel(out, "Homing.ms3d", Homing(out));
    SaveModel(out, "Gravity.ms3d", Gravity(out));
    SaveModel(out, "BigShinobi.ms3d", Shinobi(out, true));
    SaveModel(out, "SmallShinobi.ms3d", Shinobi(out, false));
}

}  // namespace

bool GenerateModels(const std::string& dir) {
    Out out;
    out.dir = dir + "/Models/";
    if (!EnsureDir(dir + "/Models")) return false;
    SaveTexture(out, "glow.tga", GlowTexture(), false);
    SaveModel(out, "Ship.ms3d", Ship(out));
    SaveModel(out, "PlayerShot.ms3d", Bolt(out, true));
    SaveModel(out, "ShinobiShot.ms3d", Bolt(out, false));
    SaveModel(out, "Shield.ms3d", Shield(out));
    SaveModel(out, "Prize.ms3d", Prize(out));
    SaveModel(out, "Nova.ms3d", Nova(out));
    for (int n = 2; n <= 5; ++n) SaveModel(out, "Multiplier" + std::to_string(n) + ".ms3d", Multiplier(out, n));
    SaveCountedModels(out);
    return out.ok;
}

bool GenerateBaselineModels(const std::string& dir) {
    Out out;
    out.dir = dir + "/BaselineModels/";
    out.fullDetail = true;
    if (!EnsureDir(dir + "/BaselineModels")) return false;
    SaveCountedModels(out);
    return out.ok;
}
