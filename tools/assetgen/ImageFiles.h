// SPDX-License-Identifier: MIT
// Writers for the two picture formats the game reads: uncompressed
// true-colour TGA (textures and HUD images) and 24-bit Windows BMP (the
// full-screen title pictures).
#ifndef KORVALEND_ASSETGEN_IMAGEFILES_H
#define KORVALEND_ASSETGEN_IMAGEFILES_H

#include <string>

#include "Canvas.h"

namespace vis {

// Type-2 TGA, 24 bits (alpha dropped, colour kept as painted) or 32 bits;
// the bottom row is stored first, as the game's reader expects.
bool WriteTga(const std::string& path, const Canvas& c, bool withAlpha);

// 24-bit BI_RGB bitmap, bottom row first, rows padded to 4 bytes; the
// picture is flattened over black.
bool WriteBmp(const std::string& path, const Canvas& c);

// Creates the folder if it is missing (one level).
bool EnsureDir(const std::string& path);

}  // namespace vis

#endif
