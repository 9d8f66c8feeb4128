// SPDX-License-Identifier: MIT
// Lines of text in the HUD's look (white with a soft glow, tinted by the
// current colour), set from the glyph atlas "Images/hudfont.tga": the
// printable ASCII characters, space first, in a grid of 16 x 8 equal cells
// read from the top left, all on one baseline. Glyphs are as wide as their
// ink in the atlas and the baseline is where the ink of 'H' ends, so the
// atlas alone decides the spacing. One texel is one virtual unit of the
// 1600 x 1200 screen, as for every HUD image.
#ifndef KORVALEND_TEXTWRITER_H
#define KORVALEND_TEXTWRITER_H

#include <string>

class Texture;

const char* const HUD_FONT_IMAGE = "Images/hudfont.tga";

class TextWriter {
public:
    // The writer of HUD_FONT_IMAGE, loaded through the texture server on
    // first use (so it is uploaded again after every mode change).
    static TextWriter* GetInstance();
    // A writer for any atlas; one that is not such a grid is reported once
    // (a missing or unreadable file the texture server has reported
    // already) and the writer draws nothing.
    explicit TextWriter(Texture* atlas);

    bool Ok() const { return cellWidth > 0; }
    // The width text takes when drawn, in virtual units.
    int Width(const std::string& text) const;
    // Draws text from x on the baseline y, in the current colour, inside an
    // ImageServer batch. Characters outside printable ASCII show as '?'.
    // Returns the width.
    int Draw(const std::string& text, int x, int baseline) const;

private:
    static const int FIRST_CHAR = 32;
    static const int NUM_CHARS = 95;
    // Where a glyph's ink starts in its cell, and its advance.
    struct Glyph {
        int left = 0;
        int advance = 0;
    };
    int Index(char c) const;

    Texture* atlas;
    int cellWidth = 0;
    int cellHeight = 0;
    int baseline = 0;  // texels from a cell's foot: where the ink of 'H' ends
    Glyph glyphs[NUM_CHARS];
};

#endif
