// SPDX-License-Identifier: MIT
// Feeds arbitrary bytes to the music play-list reader as the list file:
// lines of any length, no final line feed, binary bytes, nothing at all.
// Every entry must be "Music/" and one piece of at most 99 characters
// without a line feed, and no more entries than the input has bytes.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "audio/Music.h"

// Inputs that gave at least one entry, for the standalone report.
static int gAccepted = 0;

extern "C" int LLVMFuzzerInitialize(int*, char***) { return 0; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // A real file, as the game reads Music/list.txt; one per process,
    // emptied and refilled for every input.
    static FILE* file = std::tmpfile();
    if (file == nullptr || ftruncate(fileno(file), 0) != 0) std::abort();
    std::rewind(file);
    if (size > 0 && std::fwrite(data, 1, size, file) != size) std::abort();
    std::fflush(file);
    std::rewind(file);
    char** entries = nullptr;
    int count = 0, capacity = 0;
    ReadPlayList(file, &entries, &count, &capacity);

    if (count < 0 || count > capacity || size_t(count) > size) std::abort();
    if (size > 0 && count == 0) std::abort();
    for (int i = 0; i < count; i++) {
        const char* entry = entries[i];
        size_t length = std::strlen(entry);
        if (length > 6 + 99 || std::strncmp(entry, "Music/", 6) != 0) std::abort();
        if (std::strchr(entry, '\n') != nullptr) std::abort();
        std::free(entries[i]);
    }
    std::free(entries);
    if (count > 0) gAccepted++;
    return 0;
}

#ifdef KORVALEND_FUZZ_STANDALONE
#include "StandaloneMain.h"
int main(int argc, char** argv) { return RunStandalone("fuzz_playlist", argc, argv, gAccepted); }
#endif
