// A real OpenGL window and small file helpers for the gl_ asset tests.
#ifndef KORVALEND_TESTS_GLSUPPORT_H
#define KORVALEND_TESTS_GLSUPPORT_H

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <GL/gl.h>
#include <SDL/SDL.h>
#include <unistd.h>

// Opens the window once per process; every later call reuses it.
inline bool EnsureWindow(int width, int height) {
    static bool open = false;
    if (open) return true;
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "SDL_Init: %s\n", SDL_GetError());
        return false;
    }
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    if (SDL_SetVideoMode(width, height, 0, SDL_OPENGL) == nullptr) {
        std::fprintf(stderr, "SDL_SetVideoMode: %s\n", SDL_GetError());
        return false;
    }
    glViewport(0, 0, width, height);
    open = true;
    return true;
}

struct Rgba {
    int r, g, b, a;
};

inline Rgba ReadPixel(int x, int y) {
    unsigned char p[4] = {0, 0, 0, 0};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
    return {p[0], p[1], p[2], p[3]};
}

inline void ExpectColour(Rgba got, int r, int g, int b, int tolerance, const std::string& where) {
    EXPECT_NEAR(got.r, r, tolerance) << where;
    EXPECT_NEAR(got.g, g, tolerance) << where;
    EXPECT_NEAR(got.b, b, tolerance) << where;
}

inline void ClearScreen() {
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

// An uncompressed TGA; pixels are given in file order (B, G, R(, A)).
inline std::vector<uint8_t> MakeTga(unsigned width, unsigned height, unsigned depth,
                                    const std::vector<uint8_t>& pixels, uint8_t type = 2) {
    std::vector<uint8_t> out = {0, 0, type, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    out.push_back(width & 0xFF);
    out.push_back(width >> 8);
    out.push_back(height & 0xFF);
    out.push_back(height >> 8);
    out.push_back(uint8_t(depth));
    out.push_back(0);
    out.insert(out.end(), pixels.begin(), pixels.end());
    return out;
}

// A solid colour TGA, 32 bits, given as R, G, B, A.
inline std::vector<uint8_t> SolidTga(unsigned width, unsigned height, uint8_t r, uint8_t g, uint8_t b,
                                     uint8_t a = 255) {
    std::vector<uint8_t> pixels;
    for (unsigned i = 0; i < width * height; i++) {
        pixels.push_back(b);
        pixels.push_back(g);
        pixels.push_back(r);
        pixels.push_back(a);
    }
    return MakeTga(width, height, 32, pixels);
}

inline bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

inline std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::vector<uint8_t> bytes;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) return bytes;
    int c;
    while ((c = std::fgetc(f)) != EOF) bytes.push_back(uint8_t(c));
    std::fclose(f);
    return bytes;
}

// A fresh folder under /tmp, removed with everything in it at the end.
class TempDir {
public:
    TempDir() {
        char pattern[] = "/tmp/korvalend_gl_XXXXXX";
        if (mkdtemp(pattern) != nullptr) path = pattern;
    }
    ~TempDir() {
        if (path.empty()) return;
        std::string command = "rm -rf '" + path + "'";
        if (std::system(command.c_str()) != 0) std::fprintf(stderr, "could not remove %s\n", path.c_str());
    }
    std::string File(const std::string& name) const { return path + "/" + name; }
    std::string path;
};

inline bool DirectoryExists(const std::string& path) {
    return access(path.c_str(), F_OK) == 0;
}

#endif
