// SPDX-License-Identifier: MIT
// Triangle meshes for the generated models: parts are built from simple
// solids, moved into place, and merged into a model whose normals are
// worked out per corner with a crease angle (smooth rock, flat armour).
#ifndef KORVALEND_ASSETGEN_MESH_H
#define KORVALEND_ASSETGEN_MESH_H

#include <string>
#include <utility>
#include <vector>

#include "VisMath.h"

namespace vis {

// Texture coordinates in a Part are (u, t) with t measured from the top of
// the picture, which is how MilkShape stores them.
struct Part {
    struct Face {
        int v[3];
        float u[3], t[3];
    };
    std::vector<Vec3> pos;
    std::vector<Face> faces;

    int V(const Vec3& p) {
        pos.push_back(p);
        return int(pos.size()) - 1;
    }
    void Tri(int a, int b, int c, float ua = 0, float ta = 0, float ub = 0, float tb = 0, float uc = 0,
             float tc = 0);
    // Two triangles a-b-c, a-c-d (counter-clockwise seen from the front),
    // with corner coordinates given in the same order.
    void Quad(int a, int b, int c, int d, const float uv[8]);
    void Transform(const Xform& x);
    void Append(const Part& other);
    void Append(const Part& other, const Xform& x);
    // Replaces every corner's texture coordinates by a planar projection
    // along the face's dominant axis (a box mapping), scaled by s.
    void BoxMap(float s, float du = 0, float dt = 0);
    // Projects all corners onto the plane given by two axes (0 = x, 1 = y,
    // 2 = z): u = (p[a] - a0) * sa, t = (p[b] - b0) * sb.
    void PlanarMap(int axisU, float u0, float su, int axisT, float t0, float st);
};

// Solids. Each is closed unless said otherwise, counter-clockwise outside.
Part Icosphere(int subdivisions);  // unit sphere, spherical texture mapping
Part Geosphere(int frequency);     // the same with each face cut into frequency² (20 n² faces)
// Surface of revolution about the z axis through the rings (radius, z) from
// the first to the last; a ring of radius 0 closes the end in a point. With
// capEnds, flat discs close open ends. u runs round, t along the profile.
Part Lathe(const std::vector<std::pair<float, float>>& rings, int segments, bool capEnds = true,
           float phase = 0);
Part Box(float hx, float hy, float hz);  // each face mapped 0..1
// A prism: the polygon (x, y pairs, counter-clockwise) between z0 and z1.
Part Extrude(const std::vector<float>& xy, float z0, float z1);
// A flat plate of the given outline (star-shaped about the origin), thin at
// its rim (rimHalf) and rising to centreHalf at the middle, on both sides:
// a bevelled blade.
Part Blade(const std::vector<float>& xy, float rimHalf, float centreHalf);
// Torus about the y axis, ring radius R, tube radius r.
Part Torus(float R, float r, int segR, int segr);
// A flat ring (annulus) in the x-z plane, both faces.
Part Annulus(float r0, float r1, int segments);

// Triangulates a simple polygon (x, y pairs, counter-clockwise); returns
// index triples.
std::vector<int> Triangulate(const std::vector<float>& xy);

struct Material {
    std::string name;
    float ambient[4] = {0.2f, 0.2f, 0.2f, 1};
    float diffuse[4] = {0.8f, 0.8f, 0.8f, 1};
    float specular[4] = {0, 0, 0, 1};
    float emissive[4] = {0, 0, 0, 1};
    float shininess = 0;
    float transparency = 1;
    std::string texture;  // beside the model, or empty for none

    // Convenience: ambient = a * colour, diffuse = d * colour.
    static Material Make(const std::string& name, const Vec3& colour, float a, float d, float specular,
                         float shininess, const Vec3& emit, const std::string& texture, float alpha = 1);
};

struct Triangle {
    int v[3];
    Vec3 n[3];
    float s[3], t[3];
    int group;
};

struct Group {
    std::string name;
    int material;
    std::vector<int> tris;
};

struct ModelData {
    std::vector<Vec3> verts;
    std::vector<Triangle> tris;
    std::vector<Group> groups;
    std::vector<Material> materials;

    int AddMaterial(const Material& m);
    int AddGroup(const std::string& name, int material);
    // Adds the part's triangles to a group. Corner normals average the
    // faces around the same point that meet at less than creaseDeg.
    void AddPart(const Part& p, int group, float creaseDeg);
    float Radius() const;
};

}  // namespace vis

#endif
