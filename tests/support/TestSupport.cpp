// SPDX-License-Identifier: MIT
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <system_error>

#include <sys/stat.h>

std::string TestDataDir() {
    struct stat st;
    std::string dir = KORVALEND_TESTDATA_DIR;
    if (stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return dir;
    return "";
}

std::string MakeTempFolder(const std::string& prefix) {
    std::string pattern = "/tmp/" + prefix + "_XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    return mkdtemp(name.data()) != nullptr ? std::string(name.data()) : std::string();
}

void RemoveTree(const std::string& path) {
    std::error_code failed;
    if (!path.empty() && std::filesystem::remove_all(path, failed) == std::uintmax_t(-1))
        std::fprintf(stderr, "could not remove %s\n", path.c_str());
}

bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return false;
    // An empty vector's data() may be null, which fwrite must not get.
    bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::vector<uint8_t> bytes;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) return bytes;
    int c;
    while ((c = std::fgetc(f)) != EOF) bytes.push_back(uint8_t(c));
    std::fclose(f);
    return bytes;
}

std::vector<uint8_t> MakeTga(unsigned width, unsigned height, unsigned depth, const std::vector<uint8_t>& pixels,
                             uint8_t type) {
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

std::string Capture(FILE* stream, const std::function<void()>& fn) {
    if (stream == stdout) {
        std::fflush(stdout);
        testing::internal::CaptureStdout();
        fn();
        std::fflush(stdout);
        return testing::internal::GetCapturedStdout();
    }
    std::fflush(stderr);
    testing::internal::CaptureStderr();
    fn();
    std::fflush(stderr);
    return testing::internal::GetCapturedStderr();
}
