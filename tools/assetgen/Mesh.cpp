// SPDX-License-Identifier: MIT
#include "Mesh.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <tuple>

namespace vis {

void Part::Tri(int a, int b, int c, float ua, float ta, float ub, float tb, float uc, float tc) {
    Face f;
    f.v[0] = a;
    f.v[1] = b;
    f.v[2] = c;
    f.u[0] = ua;
    f.u[1] = ub;
    f.u[2] = uc;
    f.t[0] = ta;
    f.t[1] = tb;
    f.t[2] = tc;
    faces.push_back(f);
}

void Part::Quad(int a, int b, int c, int d, const float uv[8]) {
    Tri(a, b, c, uv[0], uv[1], uv[2], uv[3], uv[4], uv[5]);
    Tri(a, c, d, uv[0], uv[1], uv[4], uv[5], uv[6], uv[7]);
}

void Part::Transform(const Xform& x) {
    for (Vec3& p : pos) p = x.Apply(p);
    float det = x.m[0][0] * (x.m[1][1] * x.m[2][2] - x.m[1][2] * x.m[2][1]) -
                x.m[0][1] * (x.m[1][0] * x.m[2][2] - x.m[1][2] * x.m[2][0]) +
                x.m[0][2] * (x.m[1][0] * x.m[2][1] - x.m[1][1] * x.m[2][0]);
    if (det < 0) {
        // A mirror turns the faces inside out; restore their winding.
        for (Face& f : faces) {
            std::swap(f.v[1], f.v[2]);
            std::swap(f.u[1], f.u[2]);
            std::swap(f.t[1], f.t[2]);
        }
    }
}

void Part::Append(const Part& o) {
    int base = int(pos.size());
    pos.insert(pos.end(), o.pos.begin(), o.pos.end());
    for (Face f : o.faces) {
        for (int& v : f.v) v += base;
        faces.push_back(f);
    }
}

void Part::Append(const Part& o, const Xform& x) {
    Part c = o;
    c.Transform(x);
    Append(c);
}

void Part::BoxMap(float s, float du, float dt) {
    for (Face& f : faces) {
        Vec3 n = Cross(pos[size_t(f.v[1])] - pos[size_t(f.v[0])], pos[size_t(f.v[2])] - pos[size_t(f.v[0])]);
        float ax = std::fabs(n.x), ay = std::fabs(n.y), az = std::fabs(n.z);
        for (int k = 0; k < 3; ++k) {
            const Vec3& p = pos[size_t(f.v[k])];
            if (ax >= ay && ax >= az) {
                f.u[k] = p.z * s + du;
                f.t[k] = p.y * s + dt;
            } else if (ay >= az) {
                f.u[k] = p.x * s + du + 0.37f;
                f.t[k] = p.z * s + dt + 0.19f;
            } else {
                f.u[k] = p.x * s + du + 0.71f;
                f.t[k] = p.y * s + dt + 0.53f;
            }
        }
    }
}

void Part::PlanarMap(int axisU, float u0, float su, int axisT, float t0, float st) {
    for (Face& f : faces)
        for (int k = 0; k < 3; ++k) {
            const Vec3& p = pos[size_t(f.v[k])];
            f.u[k] = (p[axisU] - u0) * su;
            f.t[k] = (p[axisT] - t0) * st;
        }
}

namespace {

// The twelve corners and twenty faces of the unit icosahedron.
void Icosahedron(std::vector<Vec3>& v, std::vector<std::array<int, 3>>& f) {
    const float t = (1.0f + std::sqrt(5.0f)) / 2.0f;
    v = {{-1, t, 0}, {1, t, 0}, {-1, -t, 0}, {1, -t, 0}, {0, -1, t}, {0, 1, t},
         {0, -1, -t}, {0, 1, -t}, {t, 0, -1}, {t, 0, 1}, {-t, 0, -1}, {-t, 0, 1}};
    for (Vec3& p : v) p = Normalize(p);
    f = {{0, 11, 5}, {0, 5, 1},  {0, 1, 7},   {0, 7, 10}, {0, 10, 11}, {1, 5, 9},  {5, 11, 4},
         {11, 10, 2}, {10, 7, 6}, {7, 1, 8},   {3, 9, 4},  {3, 4, 2},   {3, 2, 6},  {3, 6, 8},
         {3, 8, 9},  {4, 9, 5},  {2, 4, 11},  {6, 2, 10}, {8, 6, 7},   {9, 8, 1}};
}

// A part of the sphere's faces, with spherical texture coordinates.
Part SpherePart(const std::vector<Vec3>& v, const std::vector<std::array<int, 3>>& f) {
    Part p;
    p.pos = v;
    for (auto& tri : f) {
        float u[3], tt[3];
        for (int k = 0; k < 3; ++k) {
            const Vec3& q = v[size_t(tri[size_t(k)])];
            u[k] = float(std::atan2(q.x, q.z) / (2 * kPi) + 0.5);
            tt[k] = float(std::acos(std::max(-1.0f, std::min(1.0f, q.y))) / kPi);
        }
        // A face across the seam gets its coordinates on one side of it.
        float mx = std::max(u[0], std::max(u[1], u[2]));
        for (float& uu : u)
            if (mx - uu > 0.5f) uu += 1.0f;
        p.Tri(tri[0], tri[1], tri[2], u[0], tt[0], u[1], tt[1], u[2], tt[2]);
    }
    return p;
}

}  // namespace

Part Icosphere(int subdivisions) {
    std::vector<Vec3> v;
    std::vector<std::array<int, 3>> f;
    Icosahedron(v, f);
    for (int s = 0; s < subdivisions; ++s) {
        std::map<std::pair<int, int>, int> mid;
        auto midpoint = [&](int a, int b) {
            auto key = std::make_pair(std::min(a, b), std::max(a, b));
            auto it = mid.find(key);
            if (it != mid.end()) return it->second;
            v.push_back(Normalize(v[size_t(a)] + v[size_t(b)]));
            int id = int(v.size()) - 1;
            mid[key] = id;
            return id;
        };
        std::vector<std::array<int, 3>> nf;
        for (auto& tri : f) {
            int a = midpoint(tri[0], tri[1]), b = midpoint(tri[1], tri[2]), c = midpoint(tri[2], tri[0]);
            nf.push_back({tri[0], a, c});
            nf.push_back({tri[1], b, a});
            nf.push_back({tri[2], c, b});
            nf.push_back({a, b, c});
        }
        f.swap(nf);
    }
    return SpherePart(v, f);
}

Part Geosphere(int frequency) {
    std::vector<Vec3> base, v;
    std::vector<std::array<int, 3>> baseFaces, f;
    Icosahedron(base, baseFaces);
    // Points shared by neighbouring faces are found again by position.
    std::map<std::tuple<long, long, long>, int> index;
    auto point = [&](const Vec3& q) {
        Vec3 n = Normalize(q);
        auto key = std::make_tuple(std::lround(n.x * 1e5f), std::lround(n.y * 1e5f), std::lround(n.z * 1e5f));
        auto it = index.find(key);
        if (it != index.end()) return it->second;
        v.push_back(n);
        index[key] = int(v.size()) - 1;
        return int(v.size()) - 1;
    };
    const float n = float(frequency);
    for (auto& tri : baseFaces) {
        const Vec3 &a = base[size_t(tri[0])], &b = base[size_t(tri[1])], &c = base[size_t(tri[2])];
        // Corner (i, j) of the face's grid lies i steps towards b and j towards c.
        auto at = [&](int i, int j) { return point(a * ((n - float(i) - float(j)) / n) + b * (float(i) / n) + c * (float(j) / n)); };
        for (int i = 0; i < frequency; ++i)
            for (int j = 0; i + j < frequency; ++j) {
                f.push_back({at(i, j), at(i + 1, j), at(i, j + 1)});
                if (i + j + 1 < frequency) f.push_back({at(i + 1, j), at(i + 1, j + 1), at(i, j + 1)});
            }
    }
    return SpherePart(v, f);
}

Part Lathe(const std::vector<std::pair<float, float>>& rings, int segments, bool capEnds, float phase) {
    Part p;
    size_t n = rings.size();
    std::vector<std::vector<int>> idx(n);
    for (size_t i = 0; i < n; ++i) {
        for (int s = 0; s <= segments; ++s) {
            float a = float(2 * kPi * s / segments) + phase;
            float r = rings[i].first;
            idx[i].push_back(p.V(Vec3(r * std::cos(a), r * std::sin(a), rings[i].second)));
        }
    }
    for (size_t i = 0; i + 1 < n; ++i) {
        float t0 = float(i) / float(n - 1), t1 = float(i + 1) / float(n - 1);
        for (int s = 0; s < segments; ++s) {
            float u0 = float(s) / float(segments), u1 = float(s + 1) / float(segments);
            int a = idx[i][size_t(s)], b = idx[i][size_t(s + 1)], c = idx[i + 1][size_t(s + 1)],
                d = idx[i + 1][size_t(s)];
            // Going round counter-clockwise about +z and along +z, the
            // outside is on the right: a, b, c, d wound that way faces out.
            if (rings[i].first > 1e-6f) p.Tri(a, b, c, u0, t0, u1, t0, u1, t1);
            if (rings[i + 1].first > 1e-6f) p.Tri(a, c, d, u0, t0, u1, t1, u0, t1);
        }
    }
    if (capEnds) {
        auto cap = [&](size_t i, bool front) {
            if (rings[i].first <= 1e-6f) return;
            int c = p.V(Vec3(0, 0, rings[i].second));
            for (int s = 0; s < segments; ++s) {
                int a = idx[i][size_t(s)], b = idx[i][size_t(s + 1)];
                float aa = float(2 * kPi * s / segments) + phase, ab = float(2 * kPi * (s + 1) / segments) + phase;
                float ua = 0.5f + 0.5f * std::cos(aa), ta = 0.5f + 0.5f * std::sin(aa);
                float ub = 0.5f + 0.5f * std::cos(ab), tb = 0.5f + 0.5f * std::sin(ab);
                if (front)
                    p.Tri(c, a, b, 0.5f, 0.5f, ua, ta, ub, tb);
                else
                    p.Tri(c, b, a, 0.5f, 0.5f, ub, tb, ua, ta);
            }
        };
        // Profiles run from -z to +z: the first ring closes the back, the
        // last the front (when the profile really moves that way).
        bool forward = rings.back().second >= rings.front().second;
        cap(n - 1, forward);
        cap(0, !forward);
    }
    return p;
}

Part Box(float hx, float hy, float hz) {
    Part p;
    const float uv[8] = {0, 1, 1, 1, 1, 0, 0, 0};
    auto face = [&](Vec3 c, Vec3 u, Vec3 v) {
        // Corners counter-clockwise seen from outside: c-u-v, c+u-v, c+u+v, c-u+v.
        int a = p.V(c - u - v), b = p.V(c + u - v), d = p.V(c + u + v), e = p.V(c - u + v);
        p.Quad(a, b, d, e, uv);
    };
    face(Vec3(0, 0, hz), Vec3(hx, 0, 0), Vec3(0, hy, 0));
    face(Vec3(0, 0, -hz), Vec3(-hx, 0, 0), Vec3(0, hy, 0));
    face(Vec3(hx, 0, 0), Vec3(0, 0, -hz), Vec3(0, hy, 0));
    face(Vec3(-hx, 0, 0), Vec3(0, 0, hz), Vec3(0, hy, 0));
    face(Vec3(0, hy, 0), Vec3(hx, 0, 0), Vec3(0, 0, -hz));
    face(Vec3(0, -hy, 0), Vec3(hx, 0, 0), Vec3(0, 0, hz));
    return p;
}

static float Cross2(float ax, float ay, float bx, float by) { return ax * by - ay * bx; }

std::vector<int> Triangulate(const std::vector<float>& xy) {
    int n = int(xy.size() / 2);
    std::vector<int> out, rest;
    for (int i = 0; i < n; ++i) rest.push_back(i);
    auto X = [&](int i) { return xy[size_t(2 * i)]; };
    auto Y = [&](int i) { return xy[size_t(2 * i + 1)]; };
    int guard = 0;
    while (rest.size() > 3 && guard < 10000) {
        ++guard;
        bool clipped = false;
        int m = int(rest.size());
        for (int k = 0; k < m; ++k) {
            int a = rest[size_t((k + m - 1) % m)], b = rest[size_t(k)], c = rest[size_t((k + 1) % m)];
            if (Cross2(X(b) - X(a), Y(b) - Y(a), X(c) - X(b), Y(c) - Y(b)) <= 1e-9f) continue;  // reflex
            bool empty = true;
            for (int q : rest) {
                if (q == a || q == b || q == c) continue;
                float px = X(q), py = Y(q);
                if (Cross2(X(b) - X(a), Y(b) - Y(a), px - X(a), py - Y(a)) >= 0 &&
                    Cross2(X(c) - X(b), Y(c) - Y(b), px - X(b), py - Y(b)) >= 0 &&
                    Cross2(X(a) - X(c), Y(a) - Y(c), px - X(c), py - Y(c)) >= 0) {
                    empty = false;
                    break;
                }
            }
            if (!empty) continue;
            out.insert(out.end(), {a, b, c});
            rest.erase(rest.begin() + k);
            clipped = true;
            break;
        }
        if (!clipped) break;  // degenerate outline: fan the rest
    }
    for (size_t k = 1; k + 1 < rest.size(); ++k) out.insert(out.end(), {rest[0], rest[k], rest[k + 1]});
    return out;
}

Part Extrude(const std::vector<float>& xy, float z0, float z1) {
    Part p;
    int n = int(xy.size() / 2);
    std::vector<int> tri = Triangulate(xy);
    std::vector<int> top, bot;
    for (int i = 0; i < n; ++i) {
        top.push_back(p.V(Vec3(xy[size_t(2 * i)], xy[size_t(2 * i + 1)], z1)));
        bot.push_back(p.V(Vec3(xy[size_t(2 * i)], xy[size_t(2 * i + 1)], z0)));
    }
    for (size_t k = 0; k + 2 < tri.size(); k += 3) {
        p.Tri(top[size_t(tri[k])], top[size_t(tri[k + 1])], top[size_t(tri[k + 2])]);
        p.Tri(bot[size_t(tri[k])], bot[size_t(tri[k + 2])], bot[size_t(tri[k + 1])]);
    }
    for (int i = 0; i < n; ++i) {
        int j = (i + 1) % n;
        const float uv[8] = {0, 1, 1, 1, 1, 0, 0, 0};
        p.Quad(bot[size_t(i)], bot[size_t(j)], top[size_t(j)], top[size_t(i)], uv);
    }
    p.PlanarMap(0, -1, 0.5f, 1, -1, 0.5f);
    return p;
}

Part Blade(const std::vector<float>& xy, float rimHalf, float centreHalf) {
    Part p;
    int n = int(xy.size() / 2);
    int ct = p.V(Vec3(0, 0, centreHalf)), cb = p.V(Vec3(0, 0, -centreHalf));
    std::vector<int> top, bot;
    for (int i = 0; i < n; ++i) {
        top.push_back(p.V(Vec3(xy[size_t(2 * i)], xy[size_t(2 * i + 1)], rimHalf)));
        bot.push_back(p.V(Vec3(xy[size_t(2 * i)], xy[size_t(2 * i + 1)], -rimHalf)));
    }
    for (int i = 0; i < n; ++i) {
        int j = (i + 1) % n;
        p.Tri(ct, top[size_t(i)], top[size_t(j)]);
        p.Tri(cb, bot[size_t(j)], bot[size_t(i)]);
        if (rimHalf > 1e-6f) {
            const float uv[8] = {0, 1, 1, 1, 1, 0, 0, 0};
            p.Quad(bot[size_t(i)], bot[size_t(j)], top[size_t(j)], top[size_t(i)], uv);
        }
    }
    p.PlanarMap(0, -1, 0.5f, 1, -1, 0.5f);
    return p;
}

Part Torus(float R, float r, int segR, int segr) {
    Part p;
    std::vector<std::vector<int>> idx(size_t(segR + 1));
    for (int i = 0; i <= segR; ++i) {
        float a = float(2 * kPi * i / segR);
        Vec3 c(R * std::cos(a), 0, R * std::sin(a)), out(std::cos(a), 0, std::sin(a));
        for (int j = 0; j <= segr; ++j) {
            float b = float(2 * kPi * j / segr);
            idx[size_t(i)].push_back(p.V(c + out * (r * std::cos(b)) + Vec3(0, r * std::sin(b), 0)));
        }
    }
    for (int i = 0; i < segR; ++i)
        for (int j = 0; j < segr; ++j) {
            float u0 = float(i) / float(segR), u1 = float(i + 1) / float(segR);
            float t0 = float(j) / float(segr), t1 = float(j + 1) / float(segr);
            int a = idx[size_t(i)][size_t(j)], b = idx[size_t(i + 1)][size_t(j)],
                c = idx[size_t(i + 1)][size_t(j + 1)], d = idx[size_t(i)][size_t(j + 1)];
            // Going round +x towards +z is clockwise seen from +y; wound
            // a, d, c, b the faces point out of the tube.
            const float uv[8] = {u0, t0, u0, t1, u1, t1, u1, t0};
            p.Quad(a, d, c, b, uv);
        }
    return p;
}

Part Annulus(float r0, float r1, int segments) {
    Part p;
    for (int side = 0; side < 2; ++side) {
        std::vector<int> in, out;
        for (int s = 0; s <= segments; ++s) {
            float a = float(2 * kPi * s / segments);
            in.push_back(p.V(Vec3(r0 * std::cos(a), 0, r0 * std::sin(a))));
            out.push_back(p.V(Vec3(r1 * std::cos(a), 0, r1 * std::sin(a))));
        }
        for (int s = 0; s < segments; ++s) {
            float u0 = float(s) / float(segments), u1 = float(s + 1) / float(segments);
            size_t i = size_t(s), j = size_t(s + 1);
            // t runs from the inner edge (1) to the outer (0).
            if (side == 0) {  // faces -y
                const float uv[8] = {u0, 1, u0, 0, u1, 0, u1, 1};
                p.Quad(in[i], out[i], out[j], in[j], uv);
            } else {  // faces +y
                const float uv[8] = {u1, 1, u1, 0, u0, 0, u0, 1};
                p.Quad(in[j], out[j], out[i], in[i], uv);
            }
        }
    }
    return p;
}

Material Material::Make(const std::string& name, const Vec3& c, float a, float d, float specular, float shin,
                        const Vec3& emit, const std::string& texture, float alpha) {
    Material m;
    m.name = name;
    float amb[4] = {c.x * a, c.y * a, c.z * a, alpha}, dif[4] = {c.x * d, c.y * d, c.z * d, alpha};
    float sp[4] = {specular, specular, specular, alpha}, em[4] = {emit.x, emit.y, emit.z, alpha};
    for (int i = 0; i < 4; ++i) {
        m.ambient[i] = amb[i];
        m.diffuse[i] = dif[i];
        m.specular[i] = sp[i];
        m.emissive[i] = em[i];
    }
    m.shininess = shin;
    m.transparency = alpha;
    m.texture = texture;
    return m;
}

int ModelData::AddMaterial(const Material& m) {
    materials.push_back(m);
    return int(materials.size()) - 1;
}

int ModelData::AddGroup(const std::string& name, int material) {
    groups.push_back(Group{name, material, {}});
    return int(groups.size()) - 1;
}

void ModelData::AddPart(const Part& p, int group, float creaseDeg) {
    // Weld equal points so that normals average across seams and the file
    // stores each point once.
    std::map<std::tuple<long, long, long>, int> weld;
    std::vector<int> remap(p.pos.size());
    for (size_t i = 0; i < p.pos.size(); ++i) {
        const Vec3& q = p.pos[i];
        auto key = std::make_tuple(std::lround(q.x * 1e4f), std::lround(q.y * 1e4f), std::lround(q.z * 1e4f));
        auto it = weld.find(key);
        if (it == weld.end()) {
            verts.push_back(q);
            int id = int(verts.size()) - 1;
            weld[key] = id;
            remap[i] = id;
        } else {
            remap[i] = it->second;
        }
    }
    std::vector<Vec3> fn(p.faces.size());
    std::map<int, std::vector<size_t>> around;
    std::vector<bool> keep(p.faces.size(), true);
    for (size_t f = 0; f < p.faces.size(); ++f) {
        const Part::Face& face = p.faces[f];
        int a = remap[size_t(face.v[0])], b = remap[size_t(face.v[1])], c = remap[size_t(face.v[2])];
        if (a == b || b == c || a == c) {
            keep[f] = false;  // collapsed by the weld
            continue;
        }
        fn[f] = Cross(verts[size_t(b)] - verts[size_t(a)], verts[size_t(c)] - verts[size_t(a)]);
        if (Length(fn[f]) < 1e-12f) {
            keep[f] = false;
            continue;
        }
        for (int k = 0; k < 3; ++k) around[remap[size_t(face.v[k])]].push_back(f);
    }
    float cosCrease = std::cos(float(creaseDeg * kPi / 180.0));
    for (size_t f = 0; f < p.faces.size(); ++f) {
        if (!keep[f]) continue;
        const Part::Face& face = p.faces[f];
        Triangle t;
        t.group = group;
        Vec3 own = Normalize(fn[f]);
        for (int k = 0; k < 3; ++k) {
            int v = remap[size_t(face.v[k])];
            t.v[k] = v;
            Vec3 sum;
            for (size_t g : around[v])
                if (Dot(own, Normalize(fn[g])) >= cosCrease - 1e-5f) sum += fn[g];
            t.n[k] = Length(sum) > 1e-12f ? Normalize(sum) : own;
            t.s[k] = face.u[k];
            t.t[k] = face.t[k];
        }
        tris.push_back(t);
        groups[size_t(group)].tris.push_back(int(tris.size()) - 1);
    }
}

float ModelData::Radius() const {
    float r = 0;
    for (const Vec3& v : verts) r = std::max(r, Length(v));
    return r;
}

}  // namespace vis
