// SPDX-License-Identifier: MIT
// Feeds arbitrary bytes to the replay reader: as a whole recording (header,
// compressed body, checksums) and, since the body's checksum stops most
// changes at the door, as a body read record by record. A reader that
// accepts must give back what it claims, and reading a body must end.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "profile/Replay.h"

static int gAccepted = 0;

extern "C" int LLVMFuzzerInitialize(int*, char***) { return 0; }

namespace {
// Every record of a body, to its end (or, for a repeat of millions of idle
// frames, a few million records in). Only the records of an idle frame
// and its repeats take no byte of their own.
void ReadAll(const std::vector<uint8_t>& body, uint32_t version) {
    TapeReader reader(&body, 0, version);
    for (size_t steps = 0; steps < 4000000; ++steps) {
        const size_t before = reader.Offset();
        TapeRecord r = reader.Next();
        if (r.kind == TapeRecord::END || r.kind == TapeRecord::BAD) break;
        if (reader.Offset() > body.size()) std::abort();
        if (reader.Offset() == before && r.kind != TapeRecord::CLOCK && r.kind != TapeRecord::NO_EVENT) std::abort();
        if (r.kind == TapeRecord::EVENT && !EventIsRecorded(r.event)) std::abort();
    }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ReplayHeader header;
    std::vector<uint8_t> body;
    std::string why;
    if (ReadReplayBytes(data, size, header, body, why)) {
        if (header.gameVersion.size() > 64 || header.camera > 2) std::abort();
        ReadAll(body, header.formatVersion);
        gAccepted++;
    } else if (why.empty()) {
        std::abort();  // a refusal always says why
    }
    for (uint32_t version : {1u, REPLAY_FORMAT_VERSION}) ReadAll(std::vector<uint8_t>(data, data + size), version);
    return 0;
}

#ifdef KORVALEND_FUZZ_STANDALONE
#include "StandaloneMain.h"
int main(int argc, char** argv) { return RunStandalone("fuzz_replay", argc, argv, gAccepted); }
#endif
