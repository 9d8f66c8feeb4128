// SPDX-License-Identifier: MIT
// Writes MilkShape 3D files byte by byte, for the loader tests.
#ifndef KORVALEND_TESTS_MS3DBUILDER_H
#define KORVALEND_TESTS_MS3DBUILDER_H

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

struct Ms3dBuilder {
    struct Vertex {
        float x, y, z;
        int8_t bone;
    };
    struct Triangle {
        uint16_t index[3];
        float normal[3][3];
        float s[3];
        float t[3];
    };
    struct Group {
        std::vector<uint16_t> triangles;
        int8_t material;
    };
    struct Material {
        float ambient[4], diffuse[4], specular[4], emissive[4];
        float shininess;
        // Copied into the 128-byte field; a 128-character name leaves no
        // room for a terminator.
        std::string texture;
        std::string alphaMap;
    };

    std::string identifier = "MS3D000000";
    int32_t version = 4;
    std::vector<Vertex> vertices;
    std::vector<Triangle> triangles;
    std::vector<Group> groups;
    std::vector<Material> materials;
    // Stands for the animation and joint sections the loader ignores.
    std::vector<uint8_t> trailer;
    // When set, these counts are written instead of the real sizes.
    int claimedVertices = -1, claimedTriangles = -1, claimedGroups = -1, claimedMaterials = -1;

    int AddVertex(float x, float y, float z, int8_t bone = 0) {
        vertices.push_back({x, y, z, bone});
        return int(vertices.size()) - 1;
    }
    int AddTriangle(uint16_t a, uint16_t b, uint16_t c, float tValue = 0.25f) {
        Triangle tri{};
        tri.index[0] = a;
        tri.index[1] = b;
        tri.index[2] = c;
        for (int k = 0; k < 3; k++) {
            tri.normal[k][0] = 0;
            tri.normal[k][1] = 0;
            tri.normal[k][2] = 1;
            tri.s[k] = 0.1f * (k + 1);
            tri.t[k] = tValue;
        }
        triangles.push_back(tri);
        return int(triangles.size()) - 1;
    }
    void AddGroup(std::vector<uint16_t> tris, int8_t material) { groups.push_back({tris, material}); }
    Material& AddMaterial(const std::string& texture) {
        Material m{};
        for (int k = 0; k < 4; k++) {
            m.ambient[k] = 0.1f + k;
            m.diffuse[k] = 0.2f + k;
            m.specular[k] = 0.3f + k;
            m.emissive[k] = 0.4f + k;
        }
        m.shininess = 12.5f;
        m.texture = texture;
        materials.push_back(m);
        return materials.back();
    }

    std::vector<uint8_t> Build() const {
        std::vector<uint8_t> out;
        out.insert(out.end(), identifier.begin(), identifier.end());
        I32(out, version);
        U16(out, claimedVertices >= 0 ? claimedVertices : int(vertices.size()));
        for (const Vertex& v : vertices) {
            out.push_back(0);
            F(out, v.x);
            F(out, v.y);
            F(out, v.z);
            out.push_back(uint8_t(v.bone));
            out.push_back(1);
        }
        U16(out, claimedTriangles >= 0 ? claimedTriangles : int(triangles.size()));
        for (const Triangle& t : triangles) {
            U16(out, 0);
            for (int k = 0; k < 3; k++) U16(out, t.index[k]);
            for (int k = 0; k < 3; k++)
                for (int j = 0; j < 3; j++) F(out, t.normal[k][j]);
            for (int k = 0; k < 3; k++) F(out, t.s[k]);
            for (int k = 0; k < 3; k++) F(out, t.t[k]);
            out.push_back(1);
            out.push_back(0);
        }
        U16(out, claimedGroups >= 0 ? claimedGroups : int(groups.size()));
        for (const Group& g : groups) {
            out.push_back(0);
            Fixed(out, "group", 32);
            U16(out, int(g.triangles.size()));
            for (uint16_t i : g.triangles) U16(out, i);
            out.push_back(uint8_t(g.material));
        }
        U16(out, claimedMaterials >= 0 ? claimedMaterials : int(materials.size()));
        for (const Material& m : materials) {
            Fixed(out, "material", 32);
            for (float f : m.ambient) F(out, f);
            for (float f : m.diffuse) F(out, f);
            for (float f : m.specular) F(out, f);
            for (float f : m.emissive) F(out, f);
            F(out, m.shininess);
            F(out, 1.0f);
            out.push_back(0);
            Fixed(out, m.texture, 128);
            Fixed(out, m.alphaMap, 128);
        }
        out.insert(out.end(), trailer.begin(), trailer.end());
        return out;
    }

private:
    static void U16(std::vector<uint8_t>& out, int v) {
        out.push_back(uint8_t(v & 0xFF));
        out.push_back(uint8_t((v >> 8) & 0xFF));
    }
    static void I32(std::vector<uint8_t>& out, int32_t v) {
        uint32_t u;
        std::memcpy(&u, &v, 4);
        for (int i = 0; i < 4; i++) out.push_back(uint8_t(u >> (8 * i)));
    }
    static void F(std::vector<uint8_t>& out, float f) {
        uint32_t u;
        std::memcpy(&u, &f, 4);
        for (int i = 0; i < 4; i++) out.push_back(uint8_t(u >> (8 * i)));
    }
    static void Fixed(std::vector<uint8_t>& out, const std::string& s, size_t size) {
        for (size_t i = 0; i < size; i++) out.push_back(i < s.size() ? uint8_t(s[i]) : 0);
    }
};

#endif
