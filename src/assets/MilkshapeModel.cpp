// SPDX-License-Identifier: MIT
#include "assets/MilkshapeModel.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char kIdentifier[10] = {'M', 'S', '3', 'D', '0', '0', '0', '0', '0', '0'};
const size_t kVertexSize = 15;
const size_t kTriangleSize = 70;
const size_t kGroupSize = 1 + 32 + 2 + 1;
const size_t kMaterialSize = 361;
const size_t kTextureNameSize = 128;

// Reads little-endian fields from a buffer and refuses, rather than
// overruns, any read that the remaining bytes cannot hold.
class Reader {
public:
    Reader(const unsigned char* bytes, size_t length) : data(bytes), size(length), pos(0) {}

    bool Has(size_t count) const { return count <= size - pos; }
    bool Skip(size_t count) {
        if (!Has(count)) return false;
        pos += count;
        return true;
    }
    bool U8(unsigned char& out) {
        if (!Has(1)) return false;
        out = data[pos++];
        return true;
    }
    bool U16(unsigned int& out) {
        if (!Has(2)) return false;
        out = data[pos] | (data[pos + 1] << 8);
        pos += 2;
        return true;
    }
    // The four bytes as they lie, copied into a signed or floating field.
    template <typename T>
    bool Bits32(T& out) {
        static_assert(sizeof(T) == 4, "a 32-bit field");
        if (!Has(4)) return false;
        unsigned int u = data[pos] | (data[pos + 1] << 8) | (data[pos + 2] << 16) |
                         (unsigned(data[pos + 3]) << 24);
        std::memcpy(&out, &u, sizeof out);
        pos += 4;
        return true;
    }
    bool S32(int& out) { return Bits32(out); }
    bool Float(float& out) { return Bits32(out); }
    bool Floats(float* out, int count) {
        if (!Has(size_t(count) * 4)) return false;
        for (int i = 0; i < count; i++) Float(out[i]);
        return true;
    }
    const unsigned char* Here() const { return data + pos; }

private:
    const unsigned char* data;
    size_t size;
    size_t pos;
};

struct ParsedGroup {
    int materialIndex;
    std::vector<int> triangles;
};

struct ParsedMaterial {
    float ambient[4], diffuse[4], specular[4], emissive[4];
    float shininess;
    std::string texture;
};

// A whole file, read and checked before the model takes any of it.
struct ParsedModel {
    std::vector<Model::Vertex> vertices;
    std::vector<Model::Triangle> triangles;
    // Where each triangle of the file went among the kept ones, or -1.
    std::vector<int> remap;
    std::vector<ParsedGroup> groups;
    std::vector<ParsedMaterial> materials;
};

bool ReadHeader(Reader& in) {
    if (!in.Has(sizeof kIdentifier) || std::memcmp(in.Here(), kIdentifier, sizeof kIdentifier) != 0)
        return false;
    in.Skip(sizeof kIdentifier);
    int version = 0;
    return in.S32(version) && version >= 3 && version <= 4;
}

bool ReadVertices(Reader& in, ParsedModel& model) {
    unsigned int nV = 0;
    if (!in.U16(nV) || !in.Has(size_t(nV) * kVertexSize)) return false;
    model.vertices.resize(nV);
    for (unsigned int i = 0; i < nV; i++) {
        unsigned char bone = 0;
        in.Skip(1);
        in.Floats(model.vertices[i].m_location, 3);
        in.U8(bone);
        in.Skip(1);
        model.vertices[i].m_boneID = char(bone);
    }
    return true;
}

// A triangle that names a vertex beyond the table is dropped.
bool ReadTriangles(Reader& in, ParsedModel& model) {
    const size_t nV = model.vertices.size();
    unsigned int nT = 0;
    if (!in.U16(nT) || !in.Has(size_t(nT) * kTriangleSize)) return false;
    model.triangles.reserve(nT);
    model.remap.assign(nT, -1);
    for (unsigned int i = 0; i < nT; i++) {
        Model::Triangle t;
        unsigned int index[3] = {0, 0, 0};
        in.Skip(2);
        for (int k = 0; k < 3; k++) in.U16(index[k]);
        for (int k = 0; k < 3; k++) in.Floats(t.m_vertexNormals[k], 3);
        in.Floats(t.m_s, 3);
        in.Floats(t.m_t, 3);
        in.Skip(2);
        bool valid = true;
        for (int k = 0; k < 3; k++) {
            t.m_vertexIndices[k] = int(index[k]);
            if (index[k] >= nV) valid = false;
            // The file's t runs the other way from OpenGL's texture rows.
            t.m_t[k] = 1.0f - t.m_t[k];
        }
        if (!valid) continue;
        model.remap[i] = int(model.triangles.size());
        model.triangles.push_back(t);
    }
    return true;
}

// References to missing or dropped triangles are dropped.
bool ReadGroups(Reader& in, ParsedModel& model) {
    const size_t nT = model.remap.size();
    unsigned int nG = 0;
    // A group takes at least kGroupSize bytes: no room for them is refused
    // before room is made for them.
    if (!in.U16(nG) || !in.Has(size_t(nG) * kGroupSize)) return false;
    model.groups.resize(nG);
    for (unsigned int i = 0; i < nG; i++) {
        ParsedGroup& group = model.groups[i];
        unsigned int count = 0;
        if (!in.Skip(1 + 32) || !in.U16(count) || !in.Has(size_t(count) * 2 + 1)) return false;
        group.triangles.reserve(count);
        for (unsigned int j = 0; j < count; j++) {
            unsigned int index = 0;
            in.U16(index);
            if (index < nT && model.remap[index] >= 0) group.triangles.push_back(model.remap[index]);
        }
        unsigned char material = 0;
        in.U8(material);
        group.materialIndex = int(static_cast<signed char>(material));
    }
    return true;
}

bool ReadMaterials(Reader& in, ParsedModel& model) {
    unsigned int nM = 0;
    if (!in.U16(nM) || !in.Has(size_t(nM) * kMaterialSize)) return false;
    model.materials.resize(nM);
    for (ParsedMaterial& m : model.materials) {
        in.Skip(32);
        in.Floats(m.ambient, 4);
        in.Floats(m.diffuse, 4);
        in.Floats(m.specular, 4);
        in.Floats(m.emissive, 4);
        in.Float(m.shininess);
        in.Skip(4 + 1);
        // The name field need not hold a terminator.
        const char* name = reinterpret_cast<const char*>(in.Here());
        m.texture.assign(name, strnlen(name, kTextureNameSize));
        in.Skip(kTextureNameSize * 2);
    }
    return true;
}

// A new array holding the table (never zero-sized, so never null).
template <typename T>
T* CopyTable(const std::vector<T>& table, int& count) {
    count = int(table.size());
    T* copy = new T[count > 0 ? count : 1];
    for (int i = 0; i < count; i++) copy[i] = table[i];
    return copy;
}

void CopyMesh(const ParsedGroup& group, int materialCount, Model::Mesh& mesh) {
    int material = group.materialIndex;
    // A material beyond the table, or any negative one, means none.
    mesh.m_materialIndex = (material >= 0 && material < materialCount) ? material : -1;
    mesh.m_pTriangleIndices = CopyTable(group.triangles, mesh.m_numTriangles);
}

void CopyMaterial(const ParsedMaterial& m, const std::string& prefix, Model::Material& out) {
    for (int k = 0; k < 4; k++) {
        out.m_ambient[k] = m.ambient[k];
        out.m_diffuse[k] = m.diffuse[k];
        out.m_specular[k] = m.specular[k];
        out.m_emissive[k] = m.emissive[k];
    }
    out.m_shininess = m.shininess;
    if (!m.texture.empty()) {
        std::string path = prefix + m.texture;
        out.m_pTextureFilename = new char[path.size() + 1];
        std::memcpy(out.m_pTextureFilename, path.c_str(), path.size() + 1);
    }
}

}  // namespace

bool MilkshapeModel::LoadModelData(const char* filename) {
    if (filename == nullptr) return false;
    FILE* file = std::fopen(filename, "rb");
    if (file == nullptr) return false;

    const char* slash = std::strrchr(filename, '/');
    std::string directory = slash != nullptr ? std::string(filename, slash + 1) : std::string();

    std::vector<unsigned char> buffer;
    unsigned char chunk[65536];
    bool readFailed = false;
    for (;;) {
        size_t got = std::fread(chunk, 1, sizeof chunk, file);
        buffer.insert(buffer.end(), chunk, chunk + got);
        if (got < sizeof chunk) {
            readFailed = std::ferror(file) != 0;
            break;
        }
    }
    std::fclose(file);
    if (readFailed) return false;

    if (!LoadFromBuffer(buffer.data(), long(buffer.size()), directory.c_str())) return false;
    LoadTextures();
    return true;
}

bool MilkshapeModel::LoadFromBuffer(const unsigned char* buffer, long size, const char* directory) {
    FreeData();
    if (buffer == nullptr || size <= 0) return false;
    Reader in(buffer, size_t(size));
    ParsedModel parsed;
    if (!ReadHeader(in) || !ReadVertices(in, parsed) || !ReadTriangles(in, parsed) ||
        !ReadGroups(in, parsed) || !ReadMaterials(in, parsed))
        return false;

    // Everything checked: hand the data to the model.
    m_pVertices = CopyTable(parsed.vertices, m_numVertices);
    m_pTriangles = CopyTable(parsed.triangles, m_numTriangles);
    m_numMeshes = int(parsed.groups.size());
    m_pMeshes = new Mesh[m_numMeshes > 0 ? m_numMeshes : 1];
    for (int i = 0; i < m_numMeshes; i++) CopyMesh(parsed.groups[i], int(parsed.materials.size()), m_pMeshes[i]);
    const std::string prefix = directory != nullptr ? directory : "";
    m_numMaterials = int(parsed.materials.size());
    m_pMaterials = new Material[m_numMaterials > 0 ? m_numMaterials : 1];
    for (int i = 0; i < m_numMaterials; i++) CopyMaterial(parsed.materials[i], prefix, m_pMaterials[i]);
    return true;
}
