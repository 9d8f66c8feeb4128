// SPDX-License-Identifier: MIT
// Helpers shared by the test programs of several folders.
#ifndef KORVALEND_TESTSUPPORT_H
#define KORVALEND_TESTSUPPORT_H

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "math/MyMath.h"

// The folder of real third-party files for loader tests, or "" when it is
// not beside the project (a user's clone); tests then skip.
std::string TestDataDir();

// A fresh empty folder under /tmp whose name starts with prefix, or "".
std::string MakeTempFolder(const std::string& prefix);
// Removes a folder and everything in it; an empty path is left alone.
void RemoveTree(const std::string& path);

// A fresh folder under /tmp, removed with everything in it at the end.
class TempDir {
public:
    explicit TempDir(const std::string& prefix = "korvalend") : path(MakeTempFolder(prefix)) {}
    ~TempDir() { RemoveTree(path); }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    std::string File(const std::string& name) const { return path + "/" + name; }
    std::string path;
};

bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);
// The whole file, or nothing when it cannot be read.
std::vector<uint8_t> ReadBytes(const std::string& path);

// An uncompressed TGA; pixels are given in file order (B, G, R(, A)).
std::vector<uint8_t> MakeTga(unsigned width, unsigned height, unsigned depth,
                             const std::vector<uint8_t>& pixels, uint8_t type = 2);

// What fn writes to stdout or stderr, caught at the file descriptor (so
// unbuffered writes are caught too) by GoogleTest's capture, the one way
// the tests catch output.
std::string Capture(FILE* stream, const std::function<void()>& fn);

inline bool Near(const Vector3& a, const Vector3& b, double eps = 1e-9) { return (a - b).Length() < eps; }

#endif
