// SPDX-License-Identifier: MIT
// The desktop icon at every size the hicolor theme gets: the ship seen from
// above, climbing out of a corner of deep space past an asteroid, with its
// engine lit and a shot ahead. Drawn in units of the icon's side, so every
// size is painted afresh rather than scaled; the shapes are bold enough to
// read at 48 pixels. The window's own icon is the same picture, kept with
// the game's data as a 32-bit TGA that the game reads itself.
#include <png.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "AssetGen.h"
#include "Canvas.h"
#include "ImageFiles.h"

namespace {

using vis::Canvas;
using vis::Color;

void AppendBytes(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

// libpng reports failures by longjmp back here; nothing this function
// changes after setjmp is read again.
bool EncodeRows(png_structp png, png_infop info, const Canvas& c, std::vector<png_bytep>& rows,
                std::vector<uint8_t>& out) {
    if (setjmp(png_jmpbuf(png)) != 0) return false;
    png_set_write_fn(png, &out, AppendBytes, nullptr);
    png_set_IHDR(png, info, png_uint_32(c.W()), png_uint_32(c.H()), 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, 9);
    png_write_info(png, info);
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    return true;
}

// 8-bit RGBA encoded by libpng, straight alpha as the canvas holds it, then
// written like every other generated file.
bool WritePng(const std::string& path, const Canvas& c) {
    std::vector<png_byte> pixels(size_t(c.W()) * size_t(c.H()) * 4);
    std::vector<png_bytep> rows(size_t(c.H()));
    for (int y = 0; y < c.H(); ++y) {
        rows[size_t(y)] = &pixels[size_t(y) * size_t(c.W()) * 4];
        for (int x = 0; x < c.W(); ++x) {
            const Color& p = c.At(x, y);
            const float channels[4] = {p.r, p.g, p.b, p.a};
            for (int k = 0; k < 4; ++k)
                rows[size_t(y)][x * 4 + k] = png_byte(std::lround(std::fmin(std::fmax(channels[k], 0.0f), 1.0f) * 255.0f));
        }
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    std::vector<uint8_t> bytes;
    bool ok = info != nullptr && EncodeRows(png, info, c, rows, bytes);
    png_destroy_write_struct(&png, &info);
    if (!ok) {
        std::fprintf(stderr, "assetgen: could not encode the PNG %s\n", path.c_str());
        return false;
    }
    return WriteAssetFile(path, bytes);
}

// A point of the ship's outline: (along, across) in units of the side, the
// nose towards +along.
struct ShipPoint {
    float along, across;
};

Canvas DrawIcon(int side) {
    const float s = float(side);
    Canvas c(side, side);
    // Tile: rounded square of deep blue space, lighter towards the top left.
    c.Rect(0.03f * s, 0.03f * s, 0.97f * s, 0.97f * s, Color(0.02f, 0.03f, 0.10f), 0.18f * s);
    c.Shade([&](int x, int y, const Color& p) {
        if (p.a <= 0) return p;
        float d = std::hypot(float(x) / s - 0.30f, float(y) / s - 0.25f);
        float glow = std::exp(-d * d * 6.0f);
        return Color(p.r + 0.10f * glow, p.g + 0.16f * glow, p.b + 0.38f * glow, p.a);
    });
    const float stars[][3] = {{0.18f, 0.20f, 0.012f}, {0.80f, 0.16f, 0.016f}, {0.62f, 0.30f, 0.010f},
                              {0.14f, 0.55f, 0.010f}, {0.86f, 0.58f, 0.012f}, {0.46f, 0.12f, 0.010f}};
    for (const auto& st : stars)
        c.Circle(st[0] * s, st[1] * s, std::fmax(st[2] * s, 0.7f), Color(0.9f, 0.95f, 1.0f, 0.9f));

    // An asteroid low on the right, lit from the top left.
    c.Circle(0.76f * s, 0.80f * s, 0.17f * s, Color(0.42f, 0.36f, 0.30f));
    c.Circle(0.72f * s, 0.76f * s, 0.12f * s, Color(0.58f, 0.50f, 0.42f, 0.6f));
    c.Circle(0.80f * s, 0.84f * s, 0.035f * s, Color(0.25f, 0.21f, 0.18f));
    c.Circle(0.69f * s, 0.86f * s, 0.025f * s, Color(0.25f, 0.21f, 0.18f));

    // The ship: an arrowhead flying up and to the right.
    const float cx = 0.42f * s, cy = 0.56f * s;
    const float ax = std::cos(-0.80f), ay = std::sin(-0.80f);  // nose direction (screen y is down)
    auto at = [&](ShipPoint p, std::vector<float>& xy) {
        xy.push_back(cx + (ax * p.along - ay * p.across) * s);
        xy.push_back(cy + (ay * p.along + ax * p.across) * s);
    };
    auto shape = [&](std::initializer_list<ShipPoint> points) {
        std::vector<float> xy;
        for (ShipPoint p : points) at(p, xy);
        return xy;
    };
    // Engine flame first, so the hull covers its root.
    std::vector<float> tail = shape({{-0.11f, 0.0f}});
    c.Capsule(tail[0], tail[1], tail[0] - ax * 0.17f * s, tail[1] - ay * 0.17f * s, 0.05f * s,
              Color(1.0f, 0.55f, 0.15f), true);
    c.Circle(tail[0] - ax * 0.05f * s, tail[1] - ay * 0.05f * s, 0.05f * s, Color(1.0f, 0.85f, 0.5f), true);
    c.Polygon(shape({{0.34f, 0.0f}, {-0.22f, 0.25f}, {-0.12f, 0.0f}, {-0.22f, -0.25f}}),
              Color(0.78f, 0.82f, 0.88f));
    // The shaded half gives it depth; a dark spine keeps the two wings apart.
    c.Polygon(shape({{0.34f, 0.0f}, {-0.22f, 0.25f}, {-0.12f, 0.0f}}), Color(0.45f, 0.50f, 0.60f));
    c.Polygon(shape({{0.18f, 0.0f}, {0.02f, 0.055f}, {-0.06f, 0.0f}, {0.02f, -0.055f}}),
              Color(0.25f, 0.85f, 1.0f));
    // A shot ahead of the nose.
    std::vector<float> nose = shape({{0.42f, 0.0f}, {0.52f, 0.0f}});
    c.Capsule(nose[0], nose[1], nose[2], nose[3], 0.028f * s, Color(0.5f, 1.0f, 0.6f), true);
    return c;
}

}  // namespace

bool GenerateIcons(const std::string& dir) {
    bool ok = vis::EnsureDir(dir + "/icons");
    for (int side : {48, 64, 128, 256}) {
        std::string folder = dir + "/icons/" + std::to_string(side);
        ok = vis::EnsureDir(folder) && WritePng(folder + "/korvalend3d.png", DrawIcon(side)) && ok;
    }
    return ok;
}

bool GenerateWindowIcon(const std::string& dir) {
    return vis::EnsureDir(dir + "/Images") && vis::WriteTga(dir + "/Images/window_icon.tga", DrawIcon(64), true);
}
