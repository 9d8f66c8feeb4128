// SPDX-License-Identifier: MIT
// The records of a recording's body, read with the game's own reader.
#ifndef KORVALEND_TAPESUPPORT_H
#define KORVALEND_TAPESUPPORT_H

#include <vector>

#include "profile/Replay.h"

// Every record up to the end mark (not kept) or the first BAD one (kept).
inline std::vector<TapeRecord> ReadRecords(const std::vector<uint8_t>& body, Uint32 firstTicks) {
    std::vector<TapeRecord> records;
    TapeReader reader(&body, firstTicks);
    for (;;) {
        TapeRecord r = reader.Next();
        if (r.kind == TapeRecord::END || r.kind == TapeRecord::BAD) {
            if (r.kind == TapeRecord::BAD) records.push_back(r);
            return records;
        }
        records.push_back(r);
    }
}

#endif
