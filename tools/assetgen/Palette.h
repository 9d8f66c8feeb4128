// SPDX-License-Identifier: MIT
// Colours that the models and the pictures must agree on.
#ifndef KORVALEND_ASSETGEN_PALETTE_H
#define KORVALEND_ASSETGEN_PALETTE_H

#include "Canvas.h"

namespace vis {

const Color kWhite(1, 1, 1, 1);

// The multiplier tokens x2 to x5: the arena's models and the HUD's pictures.
const Color kMultiplierTints[4] = {Color(0.2f, 0.75f, 0.25f, 1), Color(0.2f, 0.5f, 1.0f, 1),
                                   Color(0.8f, 0.25f, 0.9f, 1), Color(1.0f, 0.55f, 0.1f, 1)};

}  // namespace vis

#endif
