// SPDX-License-Identifier: MIT
// The frame read back from the window, for the window tests and the
// benchmarks that look at pixels (no test framework needed).
#ifndef KORVALEND_RENDER_PICTURE_H
#define KORVALEND_RENDER_PICTURE_H

#include <SDL/SDL.h>

#include <GL/gl.h>
#include <GL/glext.h>

#include <cstdlib>
#include <functional>
#include <vector>

#include "sys/Letterbox.h"

namespace gltest {

// The size the game draws at: the window's, or the mode's where the game
// scales its picture into a larger full-screen window itself.
inline int SurfaceWidth() {
    int w = 0, h = 0;
    LetterboxPictureSize(&w, &h);
    return w;
}
inline int SurfaceHeight() {
    int w = 0, h = 0;
    LetterboxPictureSize(&w, &h);
    return h;
}

struct Picture {
    int w = 0, h = 0;
    std::vector<unsigned char> rgba;
    const unsigned char* At(int x, int y) const { return &rgba[(static_cast<size_t>(y) * w + x) * 4]; }
    long Brightness() const {
        long sum = 0;
        for (size_t i = 0; i < rgba.size(); i += 4) sum += rgba[i] + rgba[i + 1] + rgba[i + 2];
        return sum;
    }
    int LitPixels(int threshold = 24) const {
        int n = 0;
        for (size_t i = 0; i < rgba.size(); i += 4)
            if (rgba[i] + rgba[i + 1] + rgba[i + 2] > threshold) ++n;
        return n;
    }
};

// GL_NONE reads the buffer GL reads now (a bare test window may have no
// back buffer).
inline Picture ReadPicture(GLenum buffer = GL_BACK) {
    // Drawn off screen (the game scaling its picture), there is one buffer.
    GLint offScreen = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING_EXT, &offScreen);
    if (offScreen != 0) buffer = GL_NONE;
    Picture p;
    p.w = SurfaceWidth();
    p.h = SurfaceHeight();
    p.rgba.resize(static_cast<size_t>(p.w) * p.h * 4);
    if (buffer != GL_NONE) glReadBuffer(buffer);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, p.w, p.h, GL_RGBA, GL_UNSIGNED_BYTE, p.rgba.data());
    if (buffer != GL_NONE) glReadBuffer(GL_BACK);
    return p;
}

// Pixels whose colour differs by more than tolerance in any channel.
inline int DifferingPixels(const Picture& a, const Picture& b, int tolerance) {
    if (a.w != b.w || a.h != b.h) return -1;
    int n = 0;
    for (size_t i = 0; i < a.rgba.size(); i += 4)
        for (int k = 0; k < 3; ++k)
            if (std::abs(a.rgba[i + k] - b.rgba[i + k]) > tolerance) {
                ++n;
                break;
            }
    return n;
}

// A pixel's luminance, 0-100: Rec. 709 weights on the stored values.
inline double Luma(const unsigned char* rgb) {
    return (0.2126 * rgb[0] + 0.7152 * rgb[1] + 0.0722 * rgb[2]) / 255.0 * 100.0;
}

// The pixels that draw() covers, row by row from the bottom: it is drawn
// alone into a cleared depth buffer, the colours left as they are. Unlike a
// difference of two frames this also counts pixels as dark as the
// background behind them.
inline std::vector<bool> Coverage(const std::function<void()>& draw) {
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    glClearDepth(1.0);
    glClear(GL_DEPTH_BUFFER_BIT);
    draw();
    glPopAttrib();
    const int w = SurfaceWidth(), h = SurfaceHeight();
    std::vector<float> depth(static_cast<size_t>(w) * h);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, w, h, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
    std::vector<bool> covered(depth.size());
    for (size_t i = 0; i < depth.size(); ++i) covered[i] = depth[i] < 1.0f;
    return covered;
}

}  // namespace gltest

#endif
