// SPDX-License-Identifier: MIT
// The MilkShape 3D (.ms3d) reader.
#ifndef KORVALEND_MILKSHAPEMODEL_H
#define KORVALEND_MILKSHAPEMODEL_H

#include "assets/Model.h"

class MilkshapeModel : public Model {
public:
    MilkshapeModel() {}
    ~MilkshapeModel() override {}
    bool LoadModelData(const char* filename) override;
    // Parses an in-memory file; directory is put before texture names.
    bool LoadFromBuffer(const unsigned char* buffer, long size, const char* directory);
};

#endif
