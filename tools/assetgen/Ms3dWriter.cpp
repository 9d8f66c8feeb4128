// SPDX-License-Identifier: MIT
#include "Ms3dWriter.h"

#include "AssetGen.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace vis {

namespace {

class Out {
public:
    std::vector<uint8_t> b;
    void U8(uint8_t v) { b.push_back(v); }
    void U16(unsigned v) {
        U8(uint8_t(v & 0xFF));
        U8(uint8_t((v >> 8) & 0xFF));
    }
    void U32(uint32_t v) {
        U16(v & 0xFFFF);
        U16(v >> 16);
    }
    void F32(float f) {
        uint32_t u;
        std::memcpy(&u, &f, 4);
        U32(u);
    }
    // A fixed-size, zero-padded text field (always zero-terminated).
    void Text(const std::string& s, size_t size) {
        for (size_t i = 0; i < size; ++i) U8(i < s.size() && i + 1 < size ? uint8_t(s[i]) : 0);
    }
};

}  // namespace

std::vector<uint8_t> EncodeMs3d(const ModelData& m) {
    if (m.verts.size() > 65535 || m.tris.size() > 65535 || m.groups.size() > 65535 || m.materials.size() > 127) {
        std::fprintf(stderr, "assetgen: model too large for the MS3D format\n");
        return {};
    }
    std::vector<int> uses(m.verts.size(), 0);
    for (const Triangle& t : m.tris)
        for (int v : t.v) uses[size_t(v)]++;

    Out o;
    o.b.insert(o.b.end(), {'M', 'S', '3', 'D', '0', '0', '0', '0', '0', '0'});
    o.U32(4);
    o.U16(unsigned(m.verts.size()));
    for (size_t i = 0; i < m.verts.size(); ++i) {
        o.U8(0);  // flags
        o.F32(m.verts[i].x);
        o.F32(m.verts[i].y);
        o.F32(m.verts[i].z);
        o.U8(0xFF);  // bone -1: no skeleton
        o.U8(uint8_t(uses[i] > 255 ? 255 : uses[i]));
    }
    o.U16(unsigned(m.tris.size()));
    for (const Triangle& t : m.tris) {
        o.U16(0);
        for (int v : t.v) o.U16(unsigned(v));
        for (const Vec3& n : t.n) {
            o.F32(n.x);
            o.F32(n.y);
            o.F32(n.z);
        }
        for (float s : t.s) o.F32(s);
        for (float tt : t.t) o.F32(tt);
        o.U8(1);  // smoothing group
        o.U8(uint8_t(t.group));
    }
    o.U16(unsigned(m.groups.size()));
    for (const Group& g : m.groups) {
        o.U8(0);
        o.Text(g.name, 32);
        o.U16(unsigned(g.tris.size()));
        for (int t : g.tris) o.U16(unsigned(t));
        o.U8(uint8_t(int8_t(g.material)));
    }
    o.U16(unsigned(m.materials.size()));
    for (const Material& mat : m.materials) {
        if (mat.texture.size() > 127) {
            std::fprintf(stderr, "assetgen: texture name too long: %s\n", mat.texture.c_str());
            return {};
        }
        o.Text(mat.name, 32);
        for (float f : mat.ambient) o.F32(f);
        for (float f : mat.diffuse) o.F32(f);
        for (float f : mat.specular) o.F32(f);
        for (float f : mat.emissive) o.F32(f);
        o.F32(mat.shininess);
        o.F32(mat.transparency);
        o.U8(0);  // mode
        o.Text(mat.texture, 128);
        o.Text("", 128);  // no alpha map
    }
    // Animation settings and an empty skeleton, as MilkShape itself writes.
    o.F32(24.0f);
    o.F32(0.0f);
    o.U32(1);
    o.U16(0);
    return o.b;
}

bool WriteMs3d(const std::string& path, const ModelData& m) {
    if (!AssetWanted(path)) return true;
    std::vector<uint8_t> bytes = EncodeMs3d(m);
    if (bytes.empty()) {
        std::fprintf(stderr, "assetgen: %s not written\n", path.c_str());
        return false;
    }
    return WriteAssetFile(path, bytes);
}

}  // namespace vis
