// SPDX-License-Identifier: MIT
// Time of one world frame in the heavy scene (800 x 600, 100 asteroids of
// mixed sizes, 10,000 live particles, the chase camera): RenderWorld, the
// same frame drawn the plain way (one matrix and strip per particle, the grid
// in immediate mode, every object drawn), each pass alone, and an empty
// frame. The plain frame is the baseline, and it draws the scene's models as
// they were before their triangle budgets (BaselineModels/, written by
// `assetgen DIR --baseline-models`); it is also timed with today's models,
// which shows what the drawing alone gained. The variants take turns in
// short blocks, so load from other
// processes falls on all of them alike. Run it in the build directory
// (beside Models/, Images/ and BaselineModels/) under a display, e.g.
//   xvfb-run -a -s "-screen 0 1024x768x24" ./bench_render [rounds]
// Every line is flushed as it is printed; the last one is the summary.
#include <SDL/SDL.h>

#include <GL/gl.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "LiteralRender.h"
#include "assets/MilkshapeModel.h"
#include "assets/ModelServer.h"
#include "render/Camera.h"
#include "render/GraphicsEngine.h"
#include "render/ParticleEngine.h"
#include "render/Screen.h"
#include "shell/Globals.h"
#include "world/Objects.h"
#include "world/Player.h"

namespace {

const int NUM_PARTICLES = 10000;
const int NUM_ROCKS = 100;
const int DEFAULT_ROUNDS = 12;
const int FRAMES_PER_BLOCK = 6;  // after one frame that settles the switch

using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double, std::milli>(b - a).count();
}

long MinorFaults() {
    rusage u;
    getrusage(RUSAGE_SELF, &u);
    return u.ru_minflt;
}

struct Variant {
    std::string name;
    // Draws and waits for the frame; returns the milliseconds it took.
    std::function<double(Camera&)> frame;
    std::vector<double> ms;
    long faults = 0;
    int frames = 0;

    double Percentile(double q) const {
        std::vector<double> s = ms;
        std::sort(s.begin(), s.end());
        size_t i = std::min(s.size() - 1, static_cast<size_t>(q * static_cast<double>(s.size())));
        return s[i];
    }
    double Median() const { return Percentile(0.5); }
};

// A whole frame: the software renderer works behind the calls, so it is
// only done when glFinish returns. The swap is not the frame's work.
std::function<double(Camera&)> WholeFrame(void (*draw)(Camera*)) {
    return [draw](Camera& camera) {
        camera.TimeUpdate(0.0);
        camera.EstablishView();
        glFinish();
        Clock::time_point t0 = Clock::now();
        draw(&camera);
        glFinish();
        Clock::time_point t1 = Clock::now();
        SDL_GL_SwapBuffers();
        return Ms(t0, t1);
    };
}

// One pass on a cleared frame, lit the way RenderWorld lights it.
std::function<double(Camera&)> OnePass(void (*pass)(Camera*)) {
    return [pass](Camera& camera) {
        camera.EstablishView();
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glFinish();
        Clock::time_point t0 = Clock::now();
        glPushAttrib(GL_ALL_ATTRIB_BITS);
        EnableWorldLights();
        pass(&camera);
        glPopAttrib();
        glFinish();
        Clock::time_point t1 = Clock::now();
        return Ms(t0, t1);
    };
}

double EmptyFrame(Camera& camera) {
    camera.EstablishView();
    glFinish();
    Clock::time_point t0 = Clock::now();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    SDL_GL_SwapBuffers();
    glFinish();
    return Ms(t0, Clock::now());
}

void BuildScene() {
    // The ship at the centre with its lights, seen from the chase camera.
    gThePlayer = new Player();
    gThePlayer->alive = true;
    gThePlayer->pos = Vector3(0, 0, -15);
    gObjects.AddObject(gThePlayer);
    for (int i = 0; i < NUM_ROCKS; ++i) {
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
    const float hot[4] = {1.0f, 0.8f, 0.3f, 0.75f};
    const float cool[4] = {1.0f, 0.0f, 0.0f, 0.25f};
    for (int i = 0; i < NUM_PARTICLES; ++i) {
        // Clouds of explosion size spread over the arena; all outlive the run.
        Vector3 cloud(RandomDouble(-20, 20), RandomDouble(-20, 20), RandomDouble(-20, 20));
        gParticleEngine->CreateParticle(cloud + RandomVector(RandomDouble(0, 3)), RandomVector(1.0), Vector3(),
                                        1e6, RandomDouble(0.2, 0.8), RandomDouble(0.1, 0.4), hot, cool);
    }
}

// The models that come in numbers, as they were before their triangle
// budgets; a frame drawn through Former() shows them in place of today's.
class FormerModels {
public:
    void Load() {
        const std::pair<int, const char*> files[] = {
            {ASTEROID_MODEL, "Asteroid"}, {STEEL_ROID_MODEL, "Steelroid"}, {BONUS_MODEL, "Bonus"},
            {HOMING_MODEL, "Homing"},     {GRAVITY_MODEL, "Gravity"},      {BIG_SHINOBI_MODEL, "BigShinobi"},
            {SMALL_SHINOBI_MODEL, "SmallShinobi"}};
        for (const auto& f : files) {
            Model* today = ModelServer::GetInstance()->GetModel(f.first);
            MilkshapeModel* former = new MilkshapeModel();
            const std::string path = std::string("BaselineModels/") + f.second + ".ms3d";
            if (today == nullptr || !former->LoadModelData(path.c_str())) {
                std::fprintf(stderr, "bench_render: cannot load %s; build the bench_render target\n", path.c_str());
                std::exit(1);
            }
            former->ReInitialize();
            swap[today] = former;
        }
    }
    std::function<double(Camera&)> Former(std::function<double(Camera&)> frame) {
        return [this, frame](Camera& camera) {
            Exchange();
            const double ms = frame(camera);
            Exchange();
            return ms;
        };
    }
    int Triangles(int id) const {
        for (const auto& s : swap)
            if (s.first == ModelServer::GetInstance()->GetModel(id)) return s.second->NumTriangles();
        return 0;
    }

private:
    // Both ways at once: today's become former and former today's.
    void Exchange() {
        for (int i = 0; i < gObjects.NumObjects(); ++i) {
            Object* o = gObjects[i];
            for (const auto& s : swap) {
                if (o->model == s.first) {
                    o->model = s.second;
                    break;
                }
                if (o->model == s.second) {
                    o->model = s.first;
                    break;
                }
            }
        }
    }
    std::map<Model*, Model*> swap;
};

// How much of the scene lies at least partly in the camera's view.
void PrintInView(const char* name, Camera& camera) {
    camera.TimeUpdate(0.0);
    camera.EstablishView();
    const ViewVolume view;
    int objects = 0, particles = 0;
    for (int i = 0; i < gObjects.NumObjects(); ++i)
        if (view.MayBeSeen(gObjects[i]->pos, gObjects[i]->radius)) ++objects;
    for (int i = 0; i < gParticleEngine->NumParticles(); ++i) {
        const Particle& p = gParticleEngine->GetParticle(i);
        const double h = (p.start_size + (p.end_size - p.start_size) * p.age / p.ttl) / 2.0;
        if (view.MayBeSeen(p.pos, h * 1.4143)) ++particles;
    }
    std::printf("%s camera sees %d of %d objects and %d of %d particles\n", name, objects, gObjects.NumObjects(),
                particles, gParticleEngine->NumParticles());
}

}  // namespace

int main(int argc, char** argv) {
    // A reader on the other end of a pipe sees each line as it comes.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : DEFAULT_ROUNDS;
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

    FormerModels former;
    former.Load();
    std::printf("asteroid model: %d triangles today, %d before its budget\n",
                ModelServer::GetInstance()->GetModel(ASTEROID_MODEL)->NumTriangles(), former.Triangles(ASTEROID_MODEL));

    ParticleEngine::particleEffectsOn = true;
    BuildScene();
    ThirdPersonCamera camera(gThePlayer);
    std::printf("%d rounds of %d frames per variant\n", rounds, FRAMES_PER_BLOCK);
    PrintInView("chase", camera);

    std::vector<Variant> variants;
    auto add = [&](const std::string& name, std::function<double(Camera&)> frame) {
        Variant v;
        v.name = name;
        v.frame = std::move(frame);
        variants.push_back(v);
        return variants.size() - 1;
    };
    const size_t current = add("RenderWorld", WholeFrame(RenderWorld));
    const size_t literalFrame = add("literal frame", former.Former(WholeFrame(literal::World)));
    const size_t literalToday = add("literal frame, today's models", WholeFrame(literal::World));
    add("empty frame (clear+swap)", EmptyFrame);
    const char* passNames[4] = {"starscape", "arena", "objects", "particles"};
    void (*passes[4])(Camera*) = {DrawStarscape, DrawArena, DrawObjects, DrawParticles};
    void (*literalPasses[4])(Camera*) = {literal::Starscape, literal::Arena, literal::Objects, literal::ParticlePass};
    size_t passIndex[4], literalPassIndex[4];
    for (int p = 0; p < 4; ++p) {
        passIndex[p] = add(std::string("pass ") + passNames[p], OnePass(passes[p]));
        literalPassIndex[p] = add(std::string("pass ") + passNames[p] + ", literal",
                                  former.Former(OnePass(literalPasses[p])));
    }
    const size_t objectsToday = add("pass objects, literal, today's models", OnePass(literal::Objects));

    // The cockpit view of the same ship: much of the arena lies behind it.
    FirstPersonCamera cockpit(gThePlayer);
    PrintInView("cockpit", cockpit);
    auto inCockpit = [&cockpit](std::function<double(Camera&)> frame) {
        return [&cockpit, frame](Camera&) { return frame(cockpit); };
    };
    const size_t cockpitObjects = add("pass objects, cockpit", inCockpit(OnePass(DrawObjects)));
    const size_t cockpitLiteral =
        add("pass objects, cockpit, literal", former.Former(inCockpit(OnePass(literal::Objects))));
    const size_t cockpitToday =
        add("pass objects, cockpit, literal, today's models", inCockpit(OnePass(literal::Objects)));

    // Warm up every path once (lists compiled, textures resident, heap grown).
    for (Variant& v : variants)
        for (int i = 0; i < 3; ++i) v.frame(camera);

    for (int round = 0; round < rounds; ++round) {
        for (Variant& v : variants) {
            v.frame(camera);
            long faults0 = MinorFaults();
            for (int i = 0; i < FRAMES_PER_BLOCK; ++i) v.ms.push_back(v.frame(camera));
            v.faults += MinorFaults() - faults0;
            v.frames += FRAMES_PER_BLOCK;
        }
        std::printf("round %d of %d: RenderWorld %.2f ms, literal %.2f ms so far (medians)\n", round + 1, rounds,
                    variants[current].Median(), variants[literalFrame].Median());
    }

    std::printf("\n%-48s %9s %9s %13s\n", "variant", "median", "p95", "faults/frame");
    for (const Variant& v : variants)
        std::printf("%-48s %6.2f ms %6.2f ms %13.0f\n", v.name.c_str(), v.Median(), v.Percentile(0.95),
                    static_cast<double>(v.faults) / v.frames);
    auto row = [&](const char* name, size_t from, size_t to, const char* what) {
        std::printf("  %-10s %7.2f ms -> %7.2f ms  x%.2f%s\n", name, variants[from].Median(), variants[to].Median(),
                    variants[from].Median() / variants[to].Median(), what);
    };
    std::printf("\nper pass, literal / current:\n");
    for (int p = 0; p < 4; ++p) row(passNames[p], literalPassIndex[p], passIndex[p], "");
    row("", cockpitLiteral, cockpitObjects, "  (objects, cockpit camera)");
    std::printf("with today's models in the literal drawing too:\n");
    row("frame", literalToday, current, "");
    row("objects", objectsToday, passIndex[2], "");
    row("", cockpitToday, cockpitObjects, "  (objects, cockpit camera)");
    const double heavy = variants[current].Median();
    const double plain = variants[literalFrame].Median();
    const double plainToday = variants[literalToday].Median();
    std::printf("heavy_frame_ms=%.2f literal_frame_ms=%.2f ratio=%.2f", heavy, plain, plain / heavy);
    std::printf(" literal_today_models_ms=%.2f ratio_today_models=%.2f\n", plainToday, plainToday / heavy);

    gObjects.RemoveObject(gThePlayer);
    SDL_Quit();
    return 0;
}
