// SPDX-License-Identifier: MIT
#include "Font.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <climits>
#include <cstdio>

namespace vis {

static const char* kBoldPath = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";

Font& Font::Bold() {
    static Font f(kBoldPath);
    return f;
}

Font::Font(const std::string& path) {
    FT_Library lib = nullptr;
    if (FT_Init_FreeType(&lib) != 0) {
        std::fprintf(stderr, "assetgen: FreeType could not start\n");
        return;
    }
    FT_Face face = nullptr;
    if (FT_New_Face(lib, path.c_str(), 0, &face) != 0) {
        std::fprintf(stderr, "assetgen: cannot open font %s (the captions stay blank)\n", path.c_str());
        FT_Done_FreeType(lib);
        return;
    }
    library_ = lib;
    face_ = face;
}

Font::~Font() {
    if (face_) FT_Done_Face(static_cast<FT_Face>(face_));
    if (library_) FT_Done_FreeType(static_cast<FT_Library>(library_));
}

Mask Font::Render(const std::string& text, int pixelSize, float tracking, int* baseline) const {
    if (!face_ || text.empty()) return Mask();
    FT_Face face = static_cast<FT_Face>(face_);
    FT_Set_Pixel_Sizes(face, 0, FT_UInt(pixelSize));

    // First pass: place every glyph on a pen line and find the ink box.
    struct Placed {
        int x, y;  // top-left, y down from the baseline
        Mask m;
    };
    std::vector<Placed> glyphs;
    float pen = 0;
    FT_UInt prev = 0;
    int minX = INT_MAX, minY = INT_MAX, maxX = INT_MIN, maxY = INT_MIN;
    for (unsigned char ch : text) {
        FT_UInt gi = FT_Get_Char_Index(face, ch);
        if (prev && gi && FT_HAS_KERNING(face)) {
            FT_Vector k;
            if (FT_Get_Kerning(face, prev, gi, FT_KERNING_DEFAULT, &k) == 0) pen += float(k.x) / 64.0f;
        }
        if (FT_Load_Glyph(face, gi, FT_LOAD_RENDER) != 0) continue;
        FT_GlyphSlot g = face->glyph;
        const FT_Bitmap& bm = g->bitmap;
        Placed p;
        p.x = int(pen + 0.5f) + g->bitmap_left;
        p.y = -g->bitmap_top;
        p.m = Mask(int(bm.width), int(bm.rows));
        for (int y = 0; y < int(bm.rows); ++y)
            for (int x = 0; x < int(bm.width); ++x)
                p.m.Ref(x, y) = float(bm.buffer[y * bm.pitch + x]) / 255.0f;
        if (bm.width > 0 && bm.rows > 0) {
            minX = std::min(minX, p.x);
            minY = std::min(minY, p.y);
            maxX = std::max(maxX, p.x + int(bm.width));
            maxY = std::max(maxY, p.y + int(bm.rows));
        }
        glyphs.push_back(std::move(p));
        pen += float(g->advance.x) / 64.0f + tracking;
        prev = gi;
    }
    if (minX == INT_MAX) return Mask();
    if (baseline != nullptr) *baseline = -minY;
    Mask out(maxX - minX, maxY - minY);
    for (const Placed& p : glyphs)
        for (int y = 0; y < p.m.h; ++y)
            for (int x = 0; x < p.m.w; ++x) {
                float& d = out.Ref(p.x - minX + x, p.y - minY + y);
                d = std::min(1.0f, d + p.m.At(x, y));
            }
    return out;
}

int FitSize(const Font& f, const std::string& text, int maxW, int maxH, int start, float tracking) {
    for (int s = start; s > 4; --s) {
        Mask m = f.Render(text, s, tracking);
        if (m.w <= maxW && m.h <= maxH) return s;
    }
    return 4;
}

}  // namespace vis
