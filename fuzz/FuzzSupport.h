// SPDX-License-Identifier: MIT
// Helpers of the fuzz drivers whose readers take a file name: the input is
// written to one temporary file per process, rewritten for every input.
#ifndef KORVALEND_FUZZ_FUZZSUPPORT_H
#define KORVALEND_FUZZ_FUZZSUPPORT_H

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

// A private folder under $TMPDIR (or /tmp), removed when the process ends.
inline const std::string& FuzzTempDir() {
    static std::string dir = [] {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/korvalend-fuzz-XXXXXX";
        if (mkdtemp(&pattern[0]) == nullptr) {
            std::perror("mkdtemp");
            std::abort();
        }
        return pattern;
    }();
    return dir;
}

// Writes the input to FuzzTempDir()/name and returns the path.
inline std::string WriteFuzzInput(const char* name, const uint8_t* data, size_t size) {
    std::string path = FuzzTempDir() + "/" + name;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr || (size > 0 && std::fwrite(data, 1, size, f) != size) || std::fclose(f) != 0) {
        std::perror(path.c_str());
        std::abort();
    }
    return path;
}

// Removes the temporary folder at exit.
inline void RemoveFuzzTempDirAtExit() {
    static bool registered = false;
    if (registered) return;
    registered = true;
    FuzzTempDir();
    std::atexit([] {
        std::error_code ignored;
        std::filesystem::remove_all(FuzzTempDir(), ignored);
    });
}

// Reads every byte so that the address sanitizer checks the whole buffer.
inline void TouchAll(const unsigned char* bytes, size_t size) {
    unsigned sum = 0;
    for (size_t i = 0; i < size; i++) sum += bytes[i];
    volatile unsigned sink = sum;
    (void)sink;
}

#endif
