// SPDX-License-Identifier: MIT
// Without libFuzzer: run every file named on the command line, and every
// file in every folder named there, once through LLVMFuzzerTestOneInput,
// and say how many the reader accepted. A reader fault aborts the program.
#ifndef KORVALEND_FUZZ_STANDALONEMAIN_H
#define KORVALEND_FUZZ_STANDALONEMAIN_H

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv);

inline int RunStandalone(const char* name, int argc, char** argv, const int& accepted) {
    LLVMFuzzerInitialize(&argc, &argv);
    std::vector<std::string> paths;
    for (int i = 1; i < argc; i++) {
        std::error_code ec;
        if (std::filesystem::is_directory(argv[i], ec)) {
            std::vector<std::string> inFolder;
            for (const auto& entry : std::filesystem::directory_iterator(argv[i], ec))
                if (entry.is_regular_file()) inFolder.push_back(entry.path().string());
            std::sort(inFolder.begin(), inFolder.end());
            paths.insert(paths.end(), inFolder.begin(), inFolder.end());
        } else {
            paths.push_back(argv[i]);
        }
    }
    int run = 0;
    for (const std::string& path : paths) {
        std::ifstream in(path, std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "cannot open %s\n", path.c_str());
            return 1;
        }
        std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
        run++;
    }
    std::fprintf(stderr, "%s: %d inputs run, %d accepted\n", name, run, accepted);
    return 0;
}

#endif
