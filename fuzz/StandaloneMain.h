// Without libFuzzer: run every file named on the command line once through
// LLVMFuzzerTestOneInput and say how many the reader accepted.
#ifndef KORVALEND_FUZZ_STANDALONEMAIN_H
#define KORVALEND_FUZZ_STANDALONEMAIN_H

#include <cstdint>
#include <cstdio>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

inline int RunStandalone(const char* name, int argc, char** argv, const int& accepted) {
    int run = 0;
    for (int i = 1; i < argc; i++) {
        FILE* f = std::fopen(argv[i], "rb");
        if (f == nullptr) {
            std::fprintf(stderr, "cannot open %s\n", argv[i]);
            continue;
        }
        std::vector<uint8_t> bytes;
        int c;
        while ((c = std::fgetc(f)) != EOF) bytes.push_back(uint8_t(c));
        std::fclose(f);
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
        run++;
    }
    std::fprintf(stderr, "%s: %d inputs run, %d accepted\n", name, run, accepted);
    return 0;
}

#endif
