// SPDX-License-Identifier: MIT
// How well each kind of object reads against the arena: every kind drawn
// alone by the game's own renderer (its lights, fog, starscape and grid) at
// 10, 20 and 30 units straight ahead of the cockpit camera, the ship at its
// start heading (so the sun is where a new game shows it) with its forward
// light on. One line per kind and distance:
//   readability kind=NAME distance=D luma=L background=B pixels=N aside_luma=A
// L is the mean luminance (Rec. 709 weights on the pixel values, 0-100) of
// the pixels the object covers, B that of the rest of the frame, N the
// pixels it covers in one frame. Each kind is drawn in eight fixed poses and
// their pixels pooled, so no single pose (a blade edge-on, the lit side away)
// decides its figure. Straight ahead the ship's red forward light, a narrow
// spot, falls on the object; most things in the arena are met outside it, so
// A is the same figure with the object 20 degrees off the line of sight
// (above, below, left and right, two poses each). Which pixels are the
// object's comes from a second pass that draws it alone into the depth
// buffer. The gravity well's look is a dark heart inside a bright rim, so
// its lines add edge_luma and aside_edge_luma: its pixels beyond 55 % of its
// drawn radius. Kinds too small to cover a few pixels (the shots, whose size
// the rules fix) are marked "tiny" and left out of the minima. Last line:
//   readability min_asteroid_luma_20=... min_other_luma_20=... gravity_edge_luma_20=...
//   min_asteroid_aside_luma_20=... min_other_aside_luma_20=... gravity_aside_edge_luma_20=...
// It also writes readability.png (via readability.ppm and ImageMagick's
// montage when present): every kind at 20 units, ahead and aside.
// Run it in the build directory under a display:
//   xvfb-run -a -s "-screen 0 1024x768x24" ./bench_readability
#include <SDL/SDL.h>

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "Picture.h"
#include "render/Camera.h"
#include "render/GraphicsEngine.h"
#include "render/Screen.h"
#include "shell/Globals.h"
#include "world/Objects.h"
#include "world/Player.h"

namespace {

struct Kind {
    const char* name;
    std::function<Object*()> make;
    bool asteroid;
    bool edge;  // judged by its rim
};

// Poses as rotation vectors (axis times degrees); the first is the one in
// the gallery.
const Vector3 kPoses[8] = {Vector3(35, 40, 0), Vector3(0, 0, 0),  Vector3(0, 90, 0),  Vector3(0, 180, 0),
                           Vector3(0, -90, 0), Vector3(90, 0, 0), Vector3(-90, 0, 0), Vector3(-45, 0, 45)};
const int kNumPoses = 8;
const double kDistances[3] = {10, 20, 30};
// Off the line of sight, beyond the cone of the ship's forward light.
const double kAsideDegrees = 20;
// The ship sits near one wall looking across the arena, so that even the
// far distance stays inside the grid.
const Vector3 kEye(0, 0, -24);
const int kTile = 160;      // gallery tile, pixels
const int kTinyPixels = 4;  // fewer per frame: too small to judge


struct Tally {
    double object = 0, rest = 0, edge = 0;
    long objectPixels = 0, restPixels = 0, edgePixels = 0;
    int frames = 0;
    static double Mean(double sum, long n) { return n > 0 ? sum / double(n) : 0.0; }
    double Object() const { return Mean(object, objectPixels); }
    double Rest() const { return Mean(rest, restPixels); }
    double Edge() const { return Mean(edge, edgePixels); }
    long PixelsPerFrame() const { return frames > 0 ? objectPixels / frames : 0; }
};

// Where the object's centre lands in the window, in pixels.
void ProjectCentre(const Vector3& p, double& x, double& y) {
    GLdouble model[16], projection[16], z;
    GLint viewport[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, model);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    gluProject(p.x, p.y, p.z, model, projection, viewport, &x, &y, &z);
}

// Draws one frame with the object alone in the world and adds its pixels up.
gltest::Picture Measure(Object* object, Camera& camera, double distance, Tally& tally, double& cx, double& cy) {
    gObjects.AddObject(object);
    camera.TimeUpdate(0.0);
    camera.EstablishView();
    ProjectCentre(object->pos, cx, cy);
    RenderWorld(&camera);
    gltest::Picture frame = gltest::ReadPicture();
    gObjects.RemoveObject(object);
    const std::vector<bool> covered = gltest::Coverage([&] {
        camera.EstablishView();
        object->Draw();
    });
    // The 90-degree field of view: one unit at distance d spans h / 2d pixels.
    const double drawnRadius = object->radius / distance * frame.h / 2.0;
    for (int y = 0; y < frame.h; ++y)
        for (int x = 0; x < frame.w; ++x) {
            const double l = gltest::Luma(frame.At(x, y));
            if (covered[size_t(y) * size_t(frame.w) + size_t(x)]) {
                tally.object += l;
                ++tally.objectPixels;
                if (std::hypot(x + 0.5 - cx, y + 0.5 - cy) > 0.55 * drawnRadius) {
                    tally.edge += l;
                    ++tally.edgePixels;
                }
            } else {
                tally.rest += l;
                ++tally.restPixels;
            }
        }
    ++tally.frames;
    return frame;
}

// A tile of the frame round (cx, cy), top row first, RGB.
std::vector<unsigned char> Tile(const gltest::Picture& frame, double cx, double cy) {
    std::vector<unsigned char> rgb;
    const int left = std::max(0, std::min(frame.w - kTile, int(cx) - kTile / 2));
    const int top = std::max(kTile - 1, std::min(frame.h - 1, int(cy) + kTile / 2 - 1));
    for (int row = 0; row < kTile; ++row) {
        const int y = top - row;
        for (int col = 0; col < kTile; ++col) {
            const unsigned char* p = frame.At(left + col, y);
            rgb.insert(rgb.end(), {p[0], p[1], p[2]});
        }
    }
    return rgb;
}

bool WritePpm(const std::string& path, int w, int h, const std::vector<unsigned char>& rgb) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return false;
    std::fprintf(f, "P6\n%d %d\n255\n", w, h);
    const bool ok = std::fwrite(rgb.data(), 1, rgb.size(), f) == rgb.size();
    return std::fclose(f) == 0 && ok;
}

using Tiles = std::vector<std::pair<std::string, std::vector<unsigned char>>>;

// The tiles six to a row; the PNG names each underneath.
void WriteGallery(const Tiles& tiles) {
    const int perRow = 6;
    const int rows = (int(tiles.size()) + perRow - 1) / perRow;
    const int w = perRow * kTile, h = rows * kTile;
    std::vector<unsigned char> sheet(size_t(w) * size_t(h) * 3, 0);
    for (size_t i = 0; i < tiles.size(); ++i) {
        const int ox = int(i) % perRow * kTile, oy = int(i) / perRow * kTile;
        for (int y = 0; y < kTile; ++y)
            std::copy_n(&tiles[i].second[size_t(y) * kTile * 3], kTile * 3,
                        &sheet[(size_t(oy + y) * size_t(w) + size_t(ox)) * 3]);
    }
    if (!WritePpm("readability.ppm", w, h, sheet)) {
        std::fprintf(stderr, "bench_readability: cannot write readability.ppm\n");
        return;
    }
    // With ImageMagick at hand, a labelled PNG; the PPM stays either way.
    std::string command = "montage -background black -fill white -pointsize 13 -geometry +2+2 -tile 6x";
    for (size_t i = 0; i < tiles.size(); ++i) {
        const std::string tile = "readability-" + std::to_string(i) + ".ppm";
        if (!WritePpm(tile, kTile, kTile, tiles[i].second)) return;
        command += " -label '" + tiles[i].first + "' " + tile;
    }
    command += " -depth 8 PNG24:readability.png 2>/dev/null";
    const bool made = std::system(command.c_str()) == 0;
    for (size_t i = 0; i < tiles.size(); ++i) std::remove(("readability-" + std::to_string(i) + ".ppm").c_str());
    std::printf("gallery: readability.ppm%s\n", made ? ", readability.png" : " (no montage for the PNG)");
}

// Straight ahead at the distance, or off the line of sight in one of four
// directions (up, down, left, right by turn).
Vector3 Place(double distance, int aside) {
    if (aside < 0) return kEye + Vector3(0, 0, distance);
    const double a = kAsideDegrees * 3.14159265358979 / 180.0;
    const double off = distance * std::sin(a), ahead = distance * std::cos(a);
    const Vector3 dirs[4] = {Vector3(0, off, ahead), Vector3(0, -off, ahead), Vector3(off, 0, ahead),
                             Vector3(-off, 0, ahead)};
    return kEye + dirs[aside % 4];
}

}  // namespace

int main(int, char**) {
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    if (SDL_Init(SDL_INIT_VIDEO) < 0) {
        std::fprintf(stderr, "Video initialization failed: %s\n", SDL_GetError());
        return 1;
    }
    std::srand(1234);
    // A window at 800 x 600: the frame is the game's own, not scaled.
    Screen::GetInstance()->ChooseStartMode(false, 1, 1);
    Screen::GetInstance()->Init();
    InitGlobals();
    SDL_WM_GrabInput(SDL_GRAB_OFF);

    gThePlayer = new Player();
    gThePlayer->alive = true;
    gThePlayer->pos = kEye;
    gThePlayer->dir = Quaternion();
    FirstPersonCamera camera(gThePlayer);
    const Vector3 still;

    const std::vector<Kind> kinds = {
        {"big_asteroid", [&] { return new BigAsteroid(still, still); }, true, false},
        {"medium_asteroid", [&] { return new MediumAsteroid(still, still); }, true, false},
        {"small_asteroid", [&] { return new SmallAsteroid(still, still); }, true, false},
        {"steel_asteroid", [&] { return new SteelRoid(still, still); }, true, false},
        {"player_shot", [&] { return new PlayerShot(nullptr, still, still, 1.0); }, false, false},
        {"enemy_shot", [&] { return new ShinobiShot(nullptr, still, still, 1.0); }, false, false},
        {"prize", [&] { return new Prize(still, still); }, false, false},
        {"multiplier_x2", [&] { return new Multiplier(still, 2); }, false, false},
        {"multiplier_x3", [&] { return new Multiplier(still, 3); }, false, false},
        {"multiplier_x4", [&] { return new Multiplier(still, 4); }, false, false},
        {"multiplier_x5", [&] { return new Multiplier(still, 5); }, false, false},
        {"damaged_ship", [&] { return new DamagedShip(still, still); }, false, false},
        {"bonus", [&] { return new Bonus(still, still, 1000); }, false, false},
        {"nova", [&] { return new Nova(still); }, false, false},
        {"homing_mine", [&] { return new Homing(still, still); }, false, false},
        {"gravity_well", [&] { return new Gravity(still); }, false, true},
        {"big_shinobi", [&] { return new BigShinobi(still, 0); }, false, false},
        {"small_shinobi", [&] { return new SmallShinobi(still, 0); }, false, false},
    };

    // [0] straight ahead, [1] aside.
    double minAsteroid[2] = {1e9, 1e9}, minOther[2] = {1e9, 1e9}, wellEdge[2] = {0, 0};
    Tiles tiles;
    for (const Kind& kind : kinds) {
        for (double distance : kDistances) {
            Tally tally[2];
            for (int pose = 0; pose < kNumPoses; ++pose)
                for (int way = 0; way < 2; ++way) {
                    Object* object = kind.make();
                    object->pos = Place(distance, way == 0 ? -1 : pose);
                    object->dir = Quaternion(kPoses[pose]);
                    double cx = 0, cy = 0;
                    const gltest::Picture frame = Measure(object, camera, distance, tally[way], cx, cy);
                    // Aside, the gallery shows pose 3, to the left of the line of sight.
                    if (distance == 20 && pose == (way == 0 ? 0 : 3))
                        tiles.push_back({std::string(kind.name) + (way == 0 ? "" : " (aside)"), Tile(frame, cx, cy)});
                    delete object;
                }
            const bool tiny = tally[0].PixelsPerFrame() < kTinyPixels;
            std::printf("readability kind=%s distance=%g luma=%.1f background=%.1f pixels=%ld aside_luma=%.1f",
                        kind.name, distance, tally[0].Object(), tally[0].Rest(), tally[0].PixelsPerFrame(),
                        tally[1].Object());
            if (kind.edge) std::printf(" edge_luma=%.1f aside_edge_luma=%.1f", tally[0].Edge(), tally[1].Edge());
            std::printf("%s\n", tiny ? " tiny" : "");
            if (distance != 20 || tiny) continue;
            for (int way = 0; way < 2; ++way) {
                if (kind.asteroid)
                    minAsteroid[way] = std::min(minAsteroid[way], tally[way].Object());
                else if (kind.edge)
                    wellEdge[way] = tally[way].Edge();
                else
                    minOther[way] = std::min(minOther[way], tally[way].Object());
            }
        }
    }
    WriteGallery(tiles);
    std::printf("readability min_asteroid_luma_20=%.1f min_other_luma_20=%.1f gravity_edge_luma_20=%.1f"
                " min_asteroid_aside_luma_20=%.1f min_other_aside_luma_20=%.1f gravity_aside_edge_luma_20=%.1f\n",
                minAsteroid[0], minOther[0], wellEdge[0], minAsteroid[1], minOther[1], wellEdge[1]);
    SDL_Quit();
    return 0;
}
