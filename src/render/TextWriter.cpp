// SPDX-License-Identifier: MIT
#include "render/TextWriter.h"

#include <GL/gl.h>

#include "assets/Texture.h"
#include "assets/TextureServer.h"
#include "shell/MyError.h"

namespace {
const int COLUMNS = 16;
const int ROWS = 8;
// A texel belongs to a glyph's ink from this alpha up; the fainter glow
// around it may overlap the next glyph's.
const unsigned char INK_ALPHA = 128;
// Units between one glyph's ink and the next.
const int GAP = 2;
}  // namespace

TextWriter* TextWriter::GetInstance() {
    static TextWriter* instance = new TextWriter(TextureServer::GetInstance()->LoadTexture(HUD_FONT_IMAGE));
    return instance;
}

TextWriter::TextWriter(Texture* font) : atlas(font) {
    // No pixels: the texture server has said why.
    if (atlas == nullptr || atlas->data == nullptr) return;
    const int w = int(atlas->width), h = int(atlas->height);
    if (atlas->bpp != 32 || w < COLUMNS || h < ROWS || w % COLUMNS != 0 || h % ROWS != 0) {
        error("%s is not a grid of %d x %d glyphs with alpha; no text is drawn\n",
              atlas->filename != nullptr ? atlas->filename : "The font", COLUMNS, ROWS);
        return;
    }
    const int cw = w / COLUMNS, ch = h / ROWS;
    // Rows are stored bottom first: the atlas's top row of cells is last.
    auto ink = [&](int i, int x, int y) {
        const int x0 = (i % COLUMNS) * cw, y0 = h - (i / COLUMNS + 1) * ch;
        return atlas->data[(size_t(y0 + y) * size_t(w) + size_t(x0 + x)) * 4 + 3] >= INK_ALPHA;
    };
    for (int i = 0; i < NUM_CHARS; ++i) {
        int first = -1, last = -1;
        for (int x = 0; x < cw; ++x)
            for (int y = 0; y < ch; ++y)
                if (ink(i, x, y)) {
                    if (first < 0) first = x;
                    last = x;
                    break;
                }
        // A glyph without ink (the space) advances a fifth of a cell.
        glyphs[i].left = first < 0 ? 0 : first;
        glyphs[i].advance = first < 0 ? cw / 5 : last - first + 1 + GAP;
    }
    for (int y = ch - 1; y >= 0; --y)
        for (int x = 0; x < cw; ++x)
            if (ink('H' - FIRST_CHAR, x, y)) baseline = y;
    cellWidth = cw;
    cellHeight = ch;
}

int TextWriter::Index(char c) const {
    const int code = static_cast<unsigned char>(c);
    return code >= FIRST_CHAR && code < FIRST_CHAR + NUM_CHARS ? code - FIRST_CHAR : '?' - FIRST_CHAR;
}

int TextWriter::Width(const std::string& text) const {
    if (!Ok()) return 0;
    int width = 0;
    for (char c : text) width += glyphs[Index(c)].advance;
    return text.empty() ? 0 : width - GAP;
}

int TextWriter::Draw(const std::string& text, int x, int baselineY) const {
    if (!Ok() || text.empty()) return 0;
    const int y = baselineY - baseline;
    const float w = float(atlas->width), h = float(atlas->height);
    atlas->Bind();
    glBegin(GL_QUADS);
    int pen = x;
    for (char c : text) {
        const int i = Index(c);
        const int left = pen - glyphs[i].left;
        const float s0 = float((i % COLUMNS) * cellWidth) / w, s1 = s0 + float(cellWidth) / w;
        const float t1 = 1.0f - float((i / COLUMNS) * cellHeight) / h, t0 = t1 - float(cellHeight) / h;
        glTexCoord2f(s0, t0);
        glVertex2i(left, y);
        glTexCoord2f(s1, t0);
        glVertex2i(left + cellWidth, y);
        glTexCoord2f(s1, t1);
        glVertex2i(left + cellWidth, y + cellHeight);
        glTexCoord2f(s0, t1);
        glVertex2i(left, y + cellHeight);
        pen += glyphs[i].advance;
    }
    glEnd();
    return pen - x - GAP;
}
