// SPDX-License-Identifier: MIT
// Feeds arbitrary bytes to the MS3D reader. A model it accepts must only
// refer to vertices, triangles and materials inside its own tables.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "assets/MilkshapeModel.h"

// Inputs the reader accepted, for the standalone report.
static int gAccepted = 0;

extern "C" int LLVMFuzzerInitialize(int*, char***) { return 0; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // A heap copy of exactly the input's size, so that reading past it is
    // seen by the address sanitizer.
    unsigned char* copy = new unsigned char[size > 0 ? size : 1];
    if (size > 0) std::memcpy(copy, data, size);
    MilkshapeModel model;
    bool loaded = model.LoadFromBuffer(copy, long(size), "Models/");
    delete[] copy;
    if (!loaded) {
        if (model.NumVertices() != 0 || model.NumTriangles() != 0 || model.NumMeshes() != 0 ||
            model.NumMaterials() != 0)
            std::abort();
        return 0;
    }
    gAccepted++;
    for (int i = 0; i < model.NumTriangles(); i++)
        for (int k = 0; k < 3; k++) {
            int v = model.GetTriangle(i).m_vertexIndices[k];
            if (v < 0 || v >= model.NumVertices()) std::abort();
        }
    for (int i = 0; i < model.NumMeshes(); i++) {
        const Model::Mesh& mesh = model.GetMesh(i);
        if (mesh.m_materialIndex < -1 || mesh.m_materialIndex >= model.NumMaterials()) std::abort();
        for (int j = 0; j < mesh.m_numTriangles; j++) {
            int t = mesh.m_pTriangleIndices[j];
            if (t < 0 || t >= model.NumTriangles()) std::abort();
        }
    }
    for (int i = 0; i < model.NumMaterials(); i++) {
        const char* name = model.GetMaterial(i).m_pTextureFilename;
        if (name != nullptr && std::strlen(name) > 7 + 128) std::abort();
    }
    volatile float radius = model.GetRadius();
    (void)radius;
    return 0;
}

#ifdef KORVALEND_FUZZ_STANDALONE
#include "StandaloneMain.h"
int main(int argc, char** argv) { return RunStandalone("fuzz_ms3d", argc, argv, gAccepted); }
#endif
