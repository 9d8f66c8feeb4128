// SPDX-License-Identifier: MIT
// Text set with FreeType into coverage masks, for captions, digits and the
// numbers on the multiplier tokens.
#ifndef KORVALEND_ASSETGEN_FONT_H
#define KORVALEND_ASSETGEN_FONT_H

#include <string>

#include "Canvas.h"

namespace vis {

class Font {
public:
    // The bold sans face every picture uses.
    static Font& Bold();

    explicit Font(const std::string& path);
    ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    bool Ok() const { return face_ != nullptr; }
    // The text's ink, cropped to its bounding box. tracking adds pixels
    // between letters. Empty mask if the face could not be opened. When
    // baseline is given it gets the rows from the mask's top to the baseline.
    Mask Render(const std::string& text, int pixelSize, float tracking = 0, int* baseline = nullptr) const;

private:
    void* library_ = nullptr;
    void* face_ = nullptr;
};

// Largest pixel size at which text fits within maxW x maxH.
int FitSize(const Font& f, const std::string& text, int maxW, int maxH, int start, float tracking = 0);

}  // namespace vis

#endif
