// SPDX-License-Identifier: MIT
#include "ImageFiles.h"

#include "AssetGen.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

namespace vis {

static uint8_t ToByte(float v) {
    if (!(v > 0)) return 0;
    if (v >= 1) return 255;
    return uint8_t(v * 255.0f + 0.5f);
}

static void Put16(std::vector<uint8_t>& b, unsigned v) {
    b.push_back(uint8_t(v & 0xFF));
    b.push_back(uint8_t((v >> 8) & 0xFF));
}

static void Put32(std::vector<uint8_t>& b, uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

bool WriteTga(const std::string& path, const Canvas& c, bool withAlpha) {
    const int bpp = withAlpha ? 4 : 3;
    // No identifier, no colour map, type 2, all-zero colour-map fields,
    // origin (0, 0): the fixed twelve bytes the game compares.
    const uint8_t head[12] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    std::vector<uint8_t> b(head, head + 12);
    b.reserve(18 + size_t(c.W()) * size_t(c.H()) * size_t(bpp));
    Put16(b, unsigned(c.W()));
    Put16(b, unsigned(c.H()));
    b.push_back(uint8_t(bpp * 8));
    b.push_back(withAlpha ? 8 : 0);  // alpha bits; origin bottom-left
    for (int y = c.H() - 1; y >= 0; --y)
        for (int x = 0; x < c.W(); ++x) {
            const Color& p = c.At(x, y);
            b.push_back(ToByte(p.b));
            b.push_back(ToByte(p.g));
            b.push_back(ToByte(p.r));
            if (withAlpha) b.push_back(ToByte(p.a));
        }
    return WriteAssetFile(path, b);
}

bool WriteBmp(const std::string& path, const Canvas& c) {
    const uint32_t rowBytes = (uint32_t(c.W()) * 3u + 3u) & ~3u;
    const uint32_t dataBytes = rowBytes * uint32_t(c.H());
    std::vector<uint8_t> b;
    b.reserve(54 + dataBytes);
    b.push_back('B');
    b.push_back('M');
    Put32(b, 54 + dataBytes);
    Put32(b, 0);
    Put32(b, 54);
    Put32(b, 40);  // BITMAPINFOHEADER
    Put32(b, uint32_t(c.W()));
    Put32(b, uint32_t(c.H()));  // positive: bottom row first
    Put16(b, 1);
    Put16(b, 24);
    Put32(b, 0);  // BI_RGB
    Put32(b, dataBytes);
    Put32(b, 2835);  // 72 dpi
    Put32(b, 2835);
    Put32(b, 0);
    Put32(b, 0);
    for (int y = c.H() - 1; y >= 0; --y) {
        size_t start = b.size();
        for (int x = 0; x < c.W(); ++x) {
            const Color& p = c.At(x, y);
            b.push_back(ToByte(p.b * p.a));
            b.push_back(ToByte(p.g * p.a));
            b.push_back(ToByte(p.r * p.a));
        }
        while (b.size() - start < rowBytes) b.push_back(0);
    }
    return WriteAssetFile(path, b);
}

bool EnsureDir(const std::string& path) {
    if (mkdir(path.c_str(), 0755) == 0 || errno == EEXIST) return true;
    std::fprintf(stderr, "assetgen: cannot create %s: %s\n", path.c_str(), std::strerror(errno));
    return false;
}

}  // namespace vis
