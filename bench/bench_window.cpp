// SPDX-License-Identifier: MIT
// The memory floor of any SDL + OpenGL program here: a bare 800 x 600 window
// with a textured, lit, fogged and blended triangle drawn for a second (so
// the software renderer has built its shaders and threads), then its peak
// resident memory. bench/memory_report.sh sets it beside the game's.
#include <SDL/SDL.h>

#include <GL/gl.h>

#include <cstdio>
#include <cstring>

namespace {
long StatusKb(const char* field) {
    FILE* f = std::fopen("/proc/self/status", "r");
    if (f == nullptr) return -1;
    char line[256];
    long kb = -1;
    const size_t n = std::strlen(field);
    while (std::fgets(line, sizeof line, f) != nullptr)
        if (std::strncmp(line, field, n) == 0) std::sscanf(line + n, ": %ld", &kb);
    std::fclose(f);
    return kb;
}
}  // namespace

int main(int, char**) {
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    if (SDL_Init(SDL_INIT_VIDEO) < 0 || SDL_SetVideoMode(800, 600, 0, SDL_OPENGL) == nullptr) {
        std::fprintf(stderr, "Video initialization failed: %s\n", SDL_GetError());
        return 1;
    }
    unsigned char texel[4 * 4 * 4];
    for (size_t i = 0; i < sizeof texel; ++i) texel[i] = static_cast<unsigned char>(i * 37);
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 4, 4, 0, GL_RGBA, GL_UNSIGNED_BYTE, texel);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_FOG);
    glEnable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    const Uint32 start = SDL_GetTicks();
    int frames = 0;
    while (SDL_GetTicks() - start < 1000) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glBegin(GL_TRIANGLES);
        glNormal3f(0, 0, 1);
        glTexCoord2f(0, 0);
        glVertex3f(-0.8f, -0.8f, -0.5f);
        glTexCoord2f(1, 0);
        glVertex3f(0.8f, -0.8f, -0.5f);
        glTexCoord2f(0, 1);
        glVertex3f(0.0f, 0.8f, -0.5f);
        glEnd();
        SDL_GL_SwapBuffers();
        ++frames;
    }
    std::printf("bare window 800x600, %d frames, renderer %s\n", frames,
                reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
    std::printf("bare_window_peak_kb=%ld\n", StatusKb("VmHWM"));
    SDL_Quit();
    return 0;
}
