// SPDX-License-Identifier: MIT
#include "render/Brightness.h"

#include <GL/gl.h>

#include <algorithm>

#include "render/Flat2D.h"

double worldBrightness = 1.0;

void BrightenWorld() {
    const double b = std::clamp(worldBrightness, 0.5, 2.0);
    if (b == 1.0) return;
    Flat2D flat(1, 1);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_FOG);
    glDisable(GL_CULL_FACE);
    glEnable(GL_BLEND);
    float f;
    if (b > 1.0) {
        // dst * (b - 1) + dst: one pass reaches twice as bright.
        glBlendFunc(GL_DST_COLOR, GL_ONE);
        f = float(b - 1.0);
    } else {
        glBlendFunc(GL_ZERO, GL_SRC_COLOR);
        f = float(b);
    }
    glColor4f(f, f, f, 1.0f);
    glRectf(0.0f, 0.0f, 1.0f, 1.0f);
}
