// Time of one world frame in a heavy scene: 100 asteroids of mixed sizes and
// 10,000 live particles, with particle effects on and off. Run it in the
// build directory (beside Models/ and Images/) under a display, e.g.
//   xvfb-run -a -s "-screen 0 1024x768x24" ./bench_render
#include <SDL/SDL.h>

#include <GL/gl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "assets/ModelServer.h"
#include "render/Camera.h"
#include "render/GraphicsEngine.h"
#include "render/ParticleEngine.h"
#include "render/Screen.h"
#include "shell/Globals.h"
#include "world/Objects.h"
#include "world/Player.h"

namespace {

const int WARM_UP_FRAMES = 20;
const int MEASURED_FRAMES = 300;
const int NUM_PARTICLES = 10000;

struct Figures {
    double median, p95, mean;
};

// One RenderWorld, finished: the software renderer works behind the calls,
// so the frame is only done when glFinish returns.
Figures TimeFrames(Camera& camera) {
    std::vector<double> ms;
    for (int i = 0; i < WARM_UP_FRAMES + MEASURED_FRAMES; ++i) {
        camera.TimeUpdate(0.0);
        camera.EstablishView();
        glFinish();  // the last swap's copy is not this frame's work
        auto t0 = std::chrono::steady_clock::now();
        RenderWorld(&camera);
        glFinish();
        auto t1 = std::chrono::steady_clock::now();
        SDL_GL_SwapBuffers();
        if (i >= WARM_UP_FRAMES) ms.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
    }
    std::sort(ms.begin(), ms.end());
    Figures f;
    f.median = ms[ms.size() / 2];
    f.p95 = ms[static_cast<size_t>(ms.size() * 0.95)];
    double sum = 0;
    for (double v : ms) sum += v;
    f.mean = sum / ms.size();
    return f;
}

void TimePass(const char* name, Camera& camera, void (*pass)(Camera*)) {
    std::vector<double> ms;
    for (int i = 0; i < WARM_UP_FRAMES + MEASURED_FRAMES; ++i) {
        camera.EstablishView();
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glFinish();
        auto t0 = std::chrono::steady_clock::now();
        glPushAttrib(GL_ALL_ATTRIB_BITS);
        const GLfloat sun[4] = {1, 1, 1, 0};
        glLightfv(GL_LIGHT0, GL_POSITION, sun);
        glEnable(GL_LIGHT0);
        pass(&camera);
        glPopAttrib();
        glFinish();
        auto t1 = std::chrono::steady_clock::now();
        if (i >= WARM_UP_FRAMES) ms.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
    }
    std::sort(ms.begin(), ms.end());
    std::printf("  %-24s alone: median %7.2f ms  p95 %7.2f ms\n", name, ms[ms.size() / 2],
                ms[static_cast<size_t>(ms.size() * 0.95)]);
}

void FillParticles() {
    gParticleEngine->Clear();
    const float hot[4] = {1.0f, 0.8f, 0.3f, 0.75f};
    const float cool[4] = {1.0f, 0.0f, 0.0f, 0.25f};
    for (int i = 0; i < NUM_PARTICLES; ++i) {
        // Clouds of explosion size spread over the arena; all outlive the run.
        Vector3 cloud(RandomDouble(-20, 20), RandomDouble(-20, 20), RandomDouble(-20, 20));
        gParticleEngine->CreateParticle(cloud + RandomVector(RandomDouble(0, 3)), RandomVector(1.0), Vector3(),
                                        1e6, RandomDouble(0.2, 0.8), RandomDouble(0.1, 0.4), hot, cool);
    }
}

}  // namespace

int main(int, char**) {
    if (SDL_Init(SDL_INIT_VIDEO) < 0) {
        std::fprintf(stderr, "Video initialization failed: %s\n", SDL_GetError());
        return 1;
    }
    std::srand(1234);
    Screen::GetInstance()->Init();
    InitGlobals();
    // The grab would hold the pointer of whoever runs this on a desktop.
    SDL_WM_GrabInput(SDL_GRAB_OFF);

    int loadedModels = 0;
    for (int id = 0; id < NUM_MODELS; ++id)
        if (ModelServer::GetInstance()->GetModel(id) != nullptr) ++loadedModels;

    SDL_Surface* surface = SDL_GetVideoSurface();
    std::printf("window %dx%d (%s), renderer %s, %d of %d models loaded\n", surface->w, surface->h,
                Screen::GetInstance()->InFullScreen() ? "full screen" : "windowed",
                reinterpret_cast<const char*>(glGetString(GL_RENDERER)), loadedModels, NUM_MODELS);

    // The ship at the centre with its lights, seen from the chase camera.
    gThePlayer = new Player();
    gThePlayer->alive = true;
    gThePlayer->pos = Vector3(0, 0, -15);
    gObjects.AddObject(gThePlayer);
    for (int i = 0; i < 100; ++i) {
        Vector3 pos(RandomDouble(-24, 24), RandomDouble(-24, 24), RandomDouble(-24, 24));
        Vector3 vel = RandomVector(2.0);
        Object* rock;
        if (i % 3 == 0)
            rock = new BigAsteroid(pos, vel);
        else if (i % 3 == 1)
            rock = new MediumAsteroid(pos, vel);
        else
            rock = new SmallAsteroid(pos, vel);
        gObjects.AddObject(rock);
    }
    ThirdPersonCamera camera(gThePlayer);

    ParticleEngine::particleEffectsOn = true;
    FillParticles();
    std::printf("objects %d, live particles %d\n", gObjects.NumObjects(), gParticleEngine->NumParticles());
    Figures on = TimeFrames(camera);
    std::printf("RenderWorld, particle effects on : median %7.2f ms  p95 %7.2f ms  mean %7.2f ms\n", on.median,
                on.p95, on.mean);

    ParticleEngine::particleEffectsOn = false;
    Figures off = TimeFrames(camera);
    std::printf("RenderWorld, particle effects off: median %7.2f ms  p95 %7.2f ms  mean %7.2f ms\n", off.median,
                off.p95, off.mean);

    // Each pass alone, to show where a frame's time goes.
    ParticleEngine::particleEffectsOn = true;
    FillParticles();
    TimePass("DrawStarscape", camera, DrawStarscape);
    TimePass("DrawArena", camera, DrawArena);
    TimePass("DrawObjects (101)", camera, DrawObjects);
    TimePass("DrawParticles (10000)", camera, DrawParticles);

    gObjects.RemoveObject(gThePlayer);
    return 0;
}
