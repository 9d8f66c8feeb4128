// SPDX-License-Identifier: MIT
// The grid is rebuilt every pass from the positions the objects have when the
// pass begins, and the pairs close enough to collide are gathered before any
// handler runs. That is exact because no handler moves an object or changes
// its radius; handlers end objects and add new ones, and CollisionBetween is
// still asked, in the plain loop's order, at the moment the plain loop would
// ask it, so an object ended earlier in the pass meets nothing more.
// Distances are straight, not across the arena's faces, so the grid need not
// wrap.
#include "world/Collisions.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <vector>

#include "world/Object.h"

namespace {

// Below this many objects the plain loop is cheaper than building a grid.
const int GRID_FROM = 48;
// At most this many cells a side, so that a world of tiny objects does not
// clear a huge grid every frame.
const int MAX_CELLS_A_SIDE = 32;

struct Grid {
    int cells[3] = {1, 1, 1};
    std::vector<int> cellOf;   // by object
    std::vector<int> start;    // by cell: its first slot below; one more entry at the end
    std::vector<int> fill;
    // The objects in cell order, so that a cell's neighbours are read in a row.
    std::vector<double> x, y, z, r;
    std::vector<int> index;
    std::vector<std::uint64_t> pairs;  // higher index << 32 | lower index
};

// Kept between passes: once the world has reached its size a pass allocates nothing.
Grid& TheGrid() {
    static Grid grid;
    return grid;
}

int CellOf(double v, double lo, double scale, int cells) {
    double t = (v - lo) * scale;
    if (!(t >= 0.0)) return 0;  // also NaN, which collides with nothing anyway
    if (t >= cells - 1) return cells - 1;
    return static_cast<int>(t);
}

// False when the radii give the grid nothing to work with (infinite or none
// positive); the plain loop then does the pass.
bool BuildGrid(ObjectList& list, Grid& g) {
    const int n = list.NumObjects();
    double maxR = 0.0;
    double lo[3] = {HUGE_VAL, HUGE_VAL, HUGE_VAL}, hi[3] = {-HUGE_VAL, -HUGE_VAL, -HUGE_VAL};
    for (int i = 0; i < n; ++i) {
        const Object* o = list[i];
        if (o->radius > maxR) maxR = o->radius;
        const double p[3] = {o->pos.x, o->pos.y, o->pos.z};
        for (int a = 0; a < 3; ++a) {
            if (!std::isfinite(p[a])) continue;
            lo[a] = std::min(lo[a], p[a]);
            hi[a] = std::max(hi[a], p[a]);
        }
    }
    if (!(maxR > 0.0) || !std::isfinite(maxR)) return false;

    // A cell is wider than any colliding pair is apart, with room for
    // rounding, so a pair always lies in the same or neighbouring cells.
    const int cap = std::min(MAX_CELLS_A_SIDE, static_cast<int>(std::cbrt(static_cast<double>(n))) + 1);
    double scale[3];
    int total = 1;
    for (int a = 0; a < 3; ++a) {
        double span = hi[a] > lo[a] ? hi[a] - lo[a] : 0.0;
        double fit = std::floor(span / (2.0 * maxR * 1.001));
        g.cells[a] = fit >= cap ? cap : std::max(1, static_cast<int>(fit));
        scale[a] = span > 0.0 ? g.cells[a] / span : 0.0;
        if (!std::isfinite(lo[a])) lo[a] = 0.0;
        total *= g.cells[a];
    }

    g.cellOf.resize(n);
    g.start.assign(static_cast<size_t>(total) + 1, 0);
    for (int i = 0; i < n; ++i) {
        const Vector3& p = list[i]->pos;
        int cx = CellOf(p.x, lo[0], scale[0], g.cells[0]);
        int cy = CellOf(p.y, lo[1], scale[1], g.cells[1]);
        int cz = CellOf(p.z, lo[2], scale[2], g.cells[2]);
        g.cellOf[i] = (cz * g.cells[1] + cy) * g.cells[0] + cx;
        ++g.start[g.cellOf[i] + 1];
    }
    for (int c = 0; c < total; ++c) g.start[c + 1] += g.start[c];
    g.fill.assign(g.start.begin(), g.start.end() - 1);
    for (auto* v : {&g.x, &g.y, &g.z, &g.r}) v->resize(n);
    g.index.resize(n);
    for (int i = 0; i < n; ++i) {
        const Object* o = list[i];
        int k = g.fill[g.cellOf[i]]++;
        g.x[k] = o->pos.x;
        g.y[k] = o->pos.y;
        g.z[k] = o->pos.z;
        g.r[k] = o->radius;
        g.index[k] = i;
    }
    return true;
}

// Never misses a pair that CollisionBetween finds: the squared distance is
// allowed a margin, and CollisionBetween decides later.
inline bool MayTouch(const Grid& g, int k, int l) {
    const double dx = g.x[k] - g.x[l], dy = g.y[k] - g.y[l], dz = g.z[k] - g.z[l];
    const double d2 = dx * dx + dy * dy + dz * dz;
    const double s = g.r[k] + g.r[l];
    return s > 0.0 && (d2 < s * s * (1.0 + 1e-9) || !(d2 > 1e-290));
}

inline void AddPair(Grid& g, int k, int l) {
    std::uint64_t a = static_cast<std::uint32_t>(g.index[k]), b = static_cast<std::uint32_t>(g.index[l]);
    g.pairs.push_back(a > b ? a << 32 | b : b << 32 | a);
}

// Every pair of objects in the same or neighbouring cells that may touch,
// each once. False when there are so many (a crowd at one spot) that the
// plain loop would do no worse.
bool GatherPairs(Grid& g, size_t limit) {
    g.pairs.clear();
    const int nx = g.cells[0], ny = g.cells[1], nz = g.cells[2];
    for (int cz = 0; cz < nz; ++cz) {
        for (int cy = 0; cy < ny; ++cy) {
            for (int cx = 0; cx < nx; ++cx) {
                const int c = (cz * ny + cy) * nx + cx;
                const int from = g.start[c], to = g.start[c + 1];
                if (from == to) continue;
                for (int k = from; k < to; ++k)
                    for (int l = k + 1; l < to; ++l)
                        if (MayTouch(g, k, l)) AddPair(g, k, l);
                // The 13 neighbours ahead of this cell: each pair of cells is met once.
                for (int dz = 0; dz <= 1; ++dz) {
                    for (int dy = dz ? -1 : 0; dy <= 1; ++dy) {
                        for (int dx = (dz || dy) ? -1 : 1; dx <= 1; ++dx) {
                            const int x = cx + dx, y = cy + dy, z = cz + dz;
                            if (x < 0 || x >= nx || y < 0 || y >= ny || z >= nz) continue;
                            const int d = (z * ny + y) * nx + x;
                            for (int k = from; k < to; ++k)
                                for (int l = g.start[d]; l < g.start[d + 1]; ++l)
                                    if (MayTouch(g, k, l)) AddPair(g, k, l);
                        }
                    }
                }
                if (g.pairs.size() > limit) return false;
            }
        }
    }
    return true;
}

void HandlePair(Object* a, Object* b) {
    if (CollisionBetween(a, b)) {
        a->HandleCollisionWith(b);
        b->HandleCollisionWith(a);
    }
}

}  // namespace

void HandleCollisionsAllPairs(ObjectList& list) {
    const int n = list.NumObjects();
    for (int i = n - 1; i >= 0; --i)
        for (int j = i - 1; j >= 0; --j) HandlePair(list[i], list[j]);
}

void HandleCollisions(ObjectList& list) {
    const int n = list.NumObjects();
    Grid& g = TheGrid();
    if (n < GRID_FROM || !BuildGrid(list, g) || !GatherPairs(g, 16 * static_cast<size_t>(n) + 4096)) {
        HandleCollisionsAllPairs(list);
        return;
    }
    // The plain loop's order: i from the top down, and below each i, j from the top down.
    std::sort(g.pairs.begin(), g.pairs.end(), std::greater<std::uint64_t>());
    for (std::uint64_t p : g.pairs) HandlePair(list[static_cast<int>(p >> 32)], list[static_cast<int>(p & 0xffffffffu)]);
}
