// SPDX-License-Identifier: MIT
// Time of one UpdateWorld at a fixed 1/60 s step with 100 to 3,000 asteroids
// of mixed sizes spread through the arena, next to the collision pass alone
// done by the grid and by the plain loop over every pair, all in one run.
// Run it in the build directory (beside Models/) under a display, e.g.
//   xvfb-run -a -s "-screen 0 1024x768x24" ./bench_update
#include <SDL/SDL.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "render/Screen.h"
#include "shell/GameStates.h"
#include "shell/Globals.h"
#include "world/Collisions.h"
#include "world/Objects.h"
#include "world/Player.h"

namespace {

const double STEP = 1.0 / 60.0;

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

template <class F>
double Ms(F f) {
    auto t0 = std::chrono::steady_clock::now();
    f();
    auto t1 = std::chrono::steady_clock::now();
    return std::chrono::duration<double, std::milli>(t1 - t0).count();
}

// One big, three medium and six small asteroids in every ten.
void MakeWorld(int count) {
    for (int i = gObjects.NumObjects() - 1; i >= 0; --i) gObjects.DeleteObject(i);
    std::srand(1234);
    for (int i = 0; i < count; ++i) {
        Vector3 pos(RandomDouble(gRealArenaMin[0], gRealArenaMax[0]), RandomDouble(gRealArenaMin[1], gRealArenaMax[1]),
                    RandomDouble(gRealArenaMin[2], gRealArenaMax[2]));
        Vector3 vel = RandomVector(RandomDouble(2.0, 8.0));
        int kind = i % 10;
        if (kind == 0)
            gObjects.AddObject(new BigAsteroid(pos, vel));
        else if (kind < 4)
            gObjects.AddObject(new MediumAsteroid(pos, vel));
        else
            gObjects.AddObject(new SmallAsteroid(pos, vel));
    }
}

}  // namespace

int main(int, char**) {
    // The objects carry the game's models, which need a window to load into.
    if (SDL_Init(SDL_INIT_VIDEO) < 0) {
        std::fprintf(stderr, "Video initialization failed: %s\n", SDL_GetError());
        return 1;
    }
    Screen::GetInstance()->Init();
    InitGlobals();
    SDL_WM_GrabInput(SDL_GRAB_OFF);
    gThePlayer = new Player();  // alive and out of the list: nothing to relaunch
    const int sizes[] = {100, 300, 1000, 3000};
    double update1000 = 0, update3000 = 0, allPairs3000 = 0;
    std::printf("objects  update_ms  grid_pass_ms  allpairs_pass_ms  update_with_allpairs_ms  pass_ratio\n");
    std::fflush(stdout);
    for (int n : sizes) {
        MakeWorld(n);
        const int reps = n >= 3000 ? 60 : n >= 1000 ? 200 : 600;
        std::vector<double> update, grid, allPairs;
        for (int r = 0; r < reps + 5; ++r) {
            // Alternated, so that a busy moment of the machine hits all three alike.
            double u = Ms([] { UpdateWorld(STEP); });
            double g = Ms([] { HandleCollisions(gObjects); });
            double a = Ms([] { HandleCollisionsAllPairs(gObjects); });
            if (r < 5) continue;  // warm-up
            update.push_back(u);
            grid.push_back(g);
            allPairs.push_back(a);
        }
        if (gObjects.NumObjects() != n) std::fprintf(stderr, "the world changed size: %d\n", gObjects.NumObjects());
        double u = Median(update), g = Median(grid), a = Median(allPairs);
        // UpdateWorld as it was: the same step with the plain loop in place of the grid.
        std::printf("%7d  %9.4f  %12.4f  %16.4f  %23.4f  %10.1f\n", n, u, g, a, u - g + a, a / g);
        std::fflush(stdout);
        if (n == 1000) update1000 = u;
        if (n == 3000) {
            update3000 = u;
            allPairs3000 = a;
        }
    }
    std::printf("update_ms_1000=%.4f update_ms_3000=%.4f allpairs_ms_3000=%.4f\n", update1000, update3000, allPairs3000);
    std::fflush(stdout);
    return 0;
}
