// SPDX-License-Identifier: MIT
// Feeds arbitrary bytes to the replay reader: as a whole recording (header,
// compressed body, checksums) and, since the body's checksum stops most
// changes at the door, as a body read record by record. A reader that
// accepts must give back what it claims, and reading a body must end.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "shell/Replay.h"

static int gAccepted = 0;

extern "C" int LLVMFuzzerInitialize(int*, char***) { return 0; }

namespace {
// Every record of a body, to its end; each takes at least one byte.
void ReadAll(const std::vector<uint8_t>& body) {
    TapeReader reader(&body, 0);
    for (size_t steps = 0;; ++steps) {
        const size_t before = reader.Offset();
        TapeRecord r = reader.Next();
        if (r.kind == TapeRecord::END || r.kind == TapeRecord::BAD) break;
        if (reader.Offset() <= before || reader.Offset() > body.size() || steps > body.size()) std::abort();
        if (r.kind == TapeRecord::EVENT && !EventIsRecorded(r.event)) std::abort();
    }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ReplayHeader header;
    std::vector<uint8_t> body;
    std::string why;
    if (ReadReplayBytes(data, size, header, body, why)) {
        if (header.gameVersion.size() > 64) std::abort();
        ReadAll(body);
        gAccepted++;
    } else if (why.empty()) {
        std::abort();  // a refusal always says why
    }
    ReadAll(std::vector<uint8_t>(data, data + size));
    return 0;
}

#ifdef KORVALEND_FUZZ_STANDALONE
#include "StandaloneMain.h"
int main(int argc, char** argv) { return RunStandalone("fuzz_replay", argc, argv, gAccepted); }
#endif
