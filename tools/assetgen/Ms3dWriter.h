// SPDX-License-Identifier: MIT
// Writes a model as a MilkShape 3D binary file, version 4.
#ifndef KORVALEND_ASSETGEN_MS3DWRITER_H
#define KORVALEND_ASSETGEN_MS3DWRITER_H

#include <cstdint>
#include <string>
#include <vector>

#include "Mesh.h"

namespace vis {

// The file's bytes; empty (after a message on stderr) when the model does
// not fit the format's 16-bit counts or 8-bit material index.
std::vector<uint8_t> EncodeMs3d(const ModelData& m);
bool WriteMs3d(const std::string& path, const ModelData& m);

}  // namespace vis

#endif
