// SPDX-License-Identifier: MIT
// Video modes, the rebuild after each change, fades and the interruptible
// delay, in a real window.
#include <dlfcn.h>
#include <sys/stat.h>

#include <cstdlib>
#include <cstring>

#include <GL/glu.h>

#include "GlSupport.h"
#include "assets/Model.h"
#include "assets/ModelServer.h"
#include "assets/Texture.h"
#include "assets/TextureServer.h"
#include "render/Camera.h"
#include "render/GraphicsEngine.h"
#include "render/ParticleEngine.h"
#include "sys/Feed.h"
#include "shell/Timer.h"
#include "world/Objects.h"

using namespace gltest;

// Every frame the game shows goes through here: the test counts them and
// keeps the centre pixel of each before passing it on to SDL. (The context
// may draw into an off-screen buffer that SDL copies to the window, so the
// shown frame cannot be read back from a front buffer.)
namespace {
int swapCount = 0;
unsigned char lastShown[4];
std::vector<int> shownBlue;
}  // namespace

extern "C" void SDL_GL_SwapBuffers(void) {
    ++swapCount;
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(SurfaceWidth() / 2, SurfaceHeight() / 2, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, lastShown);
    shownBlue.push_back(lastShown[2]);
    using Swap = void (*)(void);
    static Swap real = reinterpret_cast<Swap>(dlsym(RTLD_NEXT, "SDL_GL_SwapBuffers"));
    if (real != nullptr) real();
}

namespace {

::testing::Environment* const screenEnv = ::testing::AddGlobalTestEnvironment(new ScreenEnvironment);

std::string Report(void (Screen::*change)()) {
    testing::internal::CaptureStderr();
    (Screen::GetInstance()->*change)();
    return testing::internal::GetCapturedStderr();
}

bool StartsWith(const std::string& text, const std::string& prefix) { return text.rfind(prefix, 0) == 0; }

std::string ModeLine(const char* result, const char* kind, int w, int h) {
    return std::string(result) + " in entering " + kind + " mode at a resolution of " + std::to_string(w) + "x" +
           std::to_string(h) + "\n";
}

// Into an 800 x 600 window, whatever the state the last test left.
void EnsureWindowed800() {
    Screen* s = Screen::GetInstance();
    if (s->InFullScreen()) Report(&Screen::ToggleFullScreen);
    while (!s->InFullScreen() && s->WindowedVideoMode() > 1) Report(&Screen::DecreaseResolution);
    while (!s->InFullScreen() && s->WindowedVideoMode() < 1) Report(&Screen::IncreaseResolution);
    ASSERT_FALSE(s->InFullScreen());
    ASSERT_EQ(s->WindowedVideoMode(), 1);
    ASSERT_EQ(SurfaceWidth(), 800);
}

void ExpectProjectionFor(int w, int h) {
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[0], 0);
    EXPECT_EQ(viewport[2], w);
    EXPECT_EQ(viewport[3], h);
    double p[16];
    glGetDoublev(GL_PROJECTION_MATRIX, p);
    // 90 degrees vertically: cot(45) = 1; near 1, far 1000.
    EXPECT_NEAR(p[5], 1.0, 1e-6);
    EXPECT_NEAR(p[0], static_cast<double>(h) / w, 1e-6);
    EXPECT_NEAR(p[10], -(1000.0 + 1.0) / (1000.0 - 1.0), 1e-6);
}

TEST(VideoModes, StepsReportTheModeAndRebuildTextures) {
    EnsureWindowed800();
    // A texture the server must upload again after the change.
    std::string path = WriteTga("screen_test_stripes.tga", 8, 8, [](int x, int, unsigned char* rgb) {
        rgb[0] = rgb[1] = rgb[2] = x % 2 ? 255 : 0;
    });
    testing::internal::CaptureStderr();
    Texture* texture = TextureServer::GetInstance()->LoadTexture(path.c_str());
    testing::internal::GetCapturedStderr();
    std::remove(path.c_str());  // the pixels stay in memory
    ASSERT_NE(texture->data, nullptr);

    std::string report = Report(&Screen::IncreaseResolution);
    EXPECT_TRUE(StartsWith(report, ModeLine("Succeded", "windowed", 1024, 768))) << report;
    const std::string upload = "Loading texture " + path + " into memory...texture id = ";
    EXPECT_NE(report.find(upload), std::string::npos) << report;
    EXPECT_EQ(Screen::GetInstance()->WindowedVideoMode(), 2);
    EXPECT_EQ(Screen::GetInstance()->FullScreenVideoMode(), 1);
    EXPECT_EQ(SurfaceWidth(), 1024);
    EXPECT_EQ(SurfaceHeight(), 768);
    ExpectProjectionFor(1024, 768);
    EXPECT_TRUE(glIsTexture(texture->ID));
    // The fixed state was set again as well.
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_FOG));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));

    report = Report(&Screen::DecreaseResolution);
    EXPECT_TRUE(StartsWith(report, ModeLine("Succeded", "windowed", 800, 600))) << report;
    EXPECT_NE(report.find(upload), std::string::npos);
    ExpectProjectionFor(800, 600);
}

TEST(VideoModes, NoStepBeyondTheLowestOrHighestMode) {
    EnsureWindowed800();
    Screen* s = Screen::GetInstance();
    EXPECT_EQ(Report(&Screen::DecreaseResolution).rfind(ModeLine("Succeded", "windowed", 640, 480), 0), 0u);
    EXPECT_EQ(s->WindowedVideoMode(), 0);
    EXPECT_EQ(Report(&Screen::DecreaseResolution), "");
    EXPECT_EQ(s->WindowedVideoMode(), 0);
    EXPECT_EQ(SurfaceWidth(), 640);

    const int widths[] = {640, 800, 1024, 1152, 1280, 1600};
    const int heights[] = {480, 600, 768, 864, 1024, 1200};
    for (int mode = 1; mode <= 5; ++mode) {
        std::string report = Report(&Screen::IncreaseResolution);
        EXPECT_TRUE(StartsWith(report, ModeLine("Succeded", "windowed", widths[mode], heights[mode]))) << report;
    }
    EXPECT_EQ(s->WindowedVideoMode(), 5);
    EXPECT_EQ(Report(&Screen::IncreaseResolution), "");
    EXPECT_EQ(s->WindowedVideoMode(), 5);
    EXPECT_EQ(SurfaceWidth(), 1600);
    EXPECT_FALSE(s->InFullScreen());
}

TEST(VideoModes, ToggleReturnsToTheLastModeOfEachKind) {
    EnsureWindowed800();
    Screen* s = Screen::GetInstance();
    Report(&Screen::IncreaseResolution);  // window at mode 2
    std::string report = Report(&Screen::ToggleFullScreen);
    if (StartsWith(report, ModeLine("Succeded", "fullscreen", 800, 600))) {
        EXPECT_TRUE(s->InFullScreen());
        EXPECT_EQ(s->FullScreenVideoMode(), 1);
        EXPECT_EQ(SurfaceWidth(), 800);
        ExpectProjectionFor(800, 600);
    } else {
        // A refused full screen falls back once to its lowest resolution.
        EXPECT_TRUE(StartsWith(report, ModeLine("Failed", "fullscreen", 800, 600) +
                                           ModeLine("Succeded", "fullscreen", 640, 480)) ||
                    report == ModeLine("Failed", "fullscreen", 800, 600) +
                                  ModeLine("Failed", "fullscreen", 640, 480))
            << report;
    }
    if (s->InFullScreen()) {
        report = Report(&Screen::ToggleFullScreen);
        EXPECT_TRUE(StartsWith(report, ModeLine("Succeded", "windowed", 1024, 768))) << report;
        EXPECT_FALSE(s->InFullScreen());
        EXPECT_EQ(s->WindowedVideoMode(), 2);
        EXPECT_EQ(SurfaceWidth(), 1024);
    }
}

// A change the driver refuses leaves the game as it was: the mode it had,
// the cursor hidden, the mouse kept; when even that mode is refused, the
// next that opens; when none does, the end.
void Refuse(const char* sizes) { setenv("KORVALEND3D_TEST_REFUSE_MODES", sizes, 1); }

TEST(VideoModes, ARefusedChangeGoesBackAndKeepsTheMouse) {
    EnsureWindowed800();
    Screen* s = Screen::GetInstance();
    Refuse("1024x768");
    std::string report = Report(&Screen::IncreaseResolution);
    EXPECT_TRUE(StartsWith(report, ModeLine("Failed", "windowed", 1024, 768))) << report;
    EXPECT_EQ(s->WindowedVideoMode(), 1);
    EXPECT_FALSE(s->InFullScreen());
    EXPECT_EQ(SurfaceWidth(), 800);
    ExpectProjectionFor(800, 600);
    EXPECT_EQ(SDL_WM_GrabInput(SDL_GRAB_QUERY), SDL_GRAB_ON);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), 0);

    Refuse("1024x768,800x600");
    report = Report(&Screen::IncreaseResolution);
    EXPECT_NE(report.find(ModeLine("Failed", "windowed", 1024, 768)), std::string::npos) << report;
    EXPECT_NE(report.find(ModeLine("Succeded", "windowed", 640, 480)), std::string::npos) << report;
    EXPECT_EQ(s->WindowedVideoMode(), 0) << "the first mode of the kind that opens";
    EXPECT_EQ(SurfaceWidth(), 640);
    ExpectProjectionFor(640, 480);
    EXPECT_EQ(SDL_WM_GrabInput(SDL_GRAB_QUERY), SDL_GRAB_ON);
    unsetenv("KORVALEND3D_TEST_REFUSE_MODES");
}

TEST(VideoModesDeathTest, WhenNoModeOpensTheGameEnds) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EnsureWindowed800();
    // The child's new window waits seconds for a grab this process holds.
    Screen::GetInstance()->ReleaseInput();
    EXPECT_EXIT(
        {
            Refuse("640x480,800x600,1024x768,1152x864,1280x1024,1600x1200");
            Screen::GetInstance()->IncreaseResolution();
            std::exit(0);
        },
        ::testing::ExitedWithCode(1), "Unable to create a window");
    Screen::GetInstance()->TakeInput();
}

// Full screen at a size the display has no mode for (the test screen is
// smaller): the game still draws and reads back its own picture at the
// mode's size, corner to corner, and a fade freezes all of it.
TEST(VideoModes, FullScreenBeyondTheDisplayKeepsTheModesPicture) {
    EnsureWindowed800();
    Screen* s = Screen::GetInstance();
    std::string report = Report(&Screen::ToggleFullScreen);
    if (!s->InFullScreen()) GTEST_SKIP() << "no full screen here: " << report;
    while (s->FullScreenVideoMode() < 5) Report(&Screen::IncreaseResolution);
    ASSERT_EQ(SurfaceWidth(), 1600);
    ExpectProjectionFor(1600, 1200);

    glClearColor(0, 0, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glClearColor(0, 0, 0, 1);
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_FOG);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluOrtho2D(0, 1600, 0, 1200);
    glMatrixMode(GL_MODELVIEW);
    glColor3f(1, 0, 0);
    glRecti(1590, 1190, 1600, 1200);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopAttrib();
    Picture drawn = ReadPicture();
    ASSERT_EQ(drawn.w, 1600);
    EXPECT_EQ(drawn.At(1595, 1195)[0], 255);
    EXPECT_EQ(drawn.At(800, 600)[2], 255);
    // The fade's last frame is the frozen picture under almost no black.
    s->Fade(IN, 0.6);
    Picture faded = ReadPicture();
    EXPECT_GT(faded.At(1595, 1195)[0], 128);
    EXPECT_GT(faded.At(10, 10)[2], 128);

    while (s->FullScreenVideoMode() > 1) Report(&Screen::DecreaseResolution);
    Report(&Screen::ToggleFullScreen);
    EXPECT_FALSE(s->InFullScreen());
    EXPECT_EQ(SurfaceWidth(), 800);
}

// A textured square in front of the eye, drawn as a world object.
class TexturedSquare : public Object {
public:
    TexturedSquare(Vector3 p, Texture* t) : Object(PRIZE, nullptr), texture(t) { pos = p; }
    void Draw() override {
        glPushAttrib(GL_ALL_ATTRIB_BITS);
        glDisable(GL_LIGHTING);
        glDisable(GL_CULL_FACE);
        glEnable(GL_TEXTURE_2D);
        texture->Bind();
        glColor4f(1, 1, 1, 1);
        glBegin(GL_QUADS);
        glTexCoord2d(0, 0); glVertex3d(pos.x - 2, pos.y - 2, pos.z);
        glTexCoord2d(1, 0); glVertex3d(pos.x + 2, pos.y - 2, pos.z);
        glTexCoord2d(1, 1); glVertex3d(pos.x + 2, pos.y + 2, pos.z);
        glTexCoord2d(0, 1); glVertex3d(pos.x - 2, pos.y + 2, pos.z);
        glEnd();
        glPopAttrib();
    }
    Texture* texture;
};

class SceneTest : public ::testing::Test {
protected:
    void TearDown() override {
        while (gObjects.NumObjects() > 0) gObjects.DeleteObject(0);
        if (gParticleEngine != nullptr) gParticleEngine->Clear();
    }
};

Picture DrawScene(Camera& camera) {
    camera.EstablishView();
    RenderWorld(&camera);
    return ReadPicture();
}

TEST_F(SceneTest, ModeChangesLeaveTheSamePicture) {
    EnsureWindowed800();
    std::string path = WriteTga("screen_test_checker.tga", 16, 16, [](int x, int y, unsigned char* rgb) {
        rgb[0] = (x / 4 + y / 4) % 2 ? 255 : 40;
        rgb[1] = x * 16;
        rgb[2] = y * 16;
    });
    testing::internal::CaptureStderr();
    Texture* texture = TextureServer::GetInstance()->LoadTexture(path.c_str());
    testing::internal::GetCapturedStderr();
    std::remove(path.c_str());  // the pixels stay in memory
    ASSERT_NE(texture->data, nullptr);

    gObjects.AddObject(new TexturedSquare(Vector3(-3, 0, 8), texture));
    Model* rock = ModelServer::GetInstance()->GetModel(ASTEROID_MODEL);
    if (rock != nullptr) {
        std::srand(5);
        BigAsteroid* asteroid = new BigAsteroid(Vector3(4, 1, 12), Vector3());
        gObjects.AddObject(asteroid);
    } else {
        std::printf("note: Models/Asteroid.ms3d is not loaded; the scene has no model\n");
    }
    ASSERT_NE(gParticleEngine, nullptr);
    const float orange[4] = {1.0f, 0.6f, 0.1f, 0.8f};
    const float dim[4] = {0.8f, 0.1f, 0.0f, 0.1f};
    for (int i = 0; i < 20; ++i)
        gParticleEngine->CreateParticle(Vector3(i * 0.4 - 4, -3, 10), Vector3(), Vector3(), 2.0, 1.5, 0.5, orange, dim);
    gParticleEngine->TimeUpdate(0.5);

    StaticCamera camera(Vector3(0, 0, 0), Vector3(0, 0, 1), Vector3(0, 1, 0));
    Picture before = DrawScene(camera);
    ASSERT_GT(before.LitPixels(), 20000);
    // The textured square's checker shows: bright and dark texels side by side.
    int brightRed = 0, darkRed = 0;
    for (int y = 250; y < 350; ++y)
        for (int x = 480; x < 560; ++x) {
            int r = before.At(x, y)[0];
            if (r > 200) ++brightRed;
            if (r < 80) ++darkRed;
        }
    EXPECT_GT(brightRed, 500);
    EXPECT_GT(darkRed, 500);

    Report(&Screen::IncreaseResolution);
    Picture larger = DrawScene(camera);
    EXPECT_EQ(larger.w, 1024);
    EXPECT_GT(larger.LitPixels(), before.LitPixels());
    Report(&Screen::DecreaseResolution);
    Picture after = DrawScene(camera);
    EXPECT_EQ(DifferingPixels(before, after, 2), 0);

    Screen* s = Screen::GetInstance();
    Report(&Screen::ToggleFullScreen);
    if (s->InFullScreen() && SurfaceWidth() == 800) {
        // Where the display cannot switch, full screen draws into SDL's
        // off-screen buffer (24-bit depth): a few edge pixels differ by a
        // handful of levels from the window's own buffer.
        Picture full = DrawScene(camera);
        EXPECT_EQ(DifferingPixels(before, full, 8), 0);
    }
    if (s->InFullScreen()) Report(&Screen::ToggleFullScreen);
    ASSERT_FALSE(s->InFullScreen());
    ASSERT_EQ(SurfaceWidth(), 800);
    Picture back = DrawScene(camera);
    EXPECT_EQ(DifferingPixels(before, back, 2), 0);
}

TEST_F(SceneTest, EveryGeneratedModelDrawsTheSameAfterAModeChange) {
    struct stat st;
    if (stat("Models", &st) != 0 || !S_ISDIR(st.st_mode))
        GTEST_SKIP() << "no Models/ folder in the working directory (generated assets missing)";
    EnsureWindowed800();
    StaticCamera camera(Vector3(0, 0, 0), Vector3(0, 0, 1), Vector3(0, 1, 0));
    ModelServer* server = ModelServer::GetInstance();
    std::vector<Picture> pictures;
    auto drawEach = [&]() {
        std::vector<Picture> result;
        for (int id = 0; id < NUM_MODELS; ++id) {
            Model* model = server->GetModel(id);
            if (model == nullptr) {
                result.emplace_back();
                continue;
            }
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            camera.EstablishView();
            glPushAttrib(GL_ALL_ATTRIB_BITS);
            GLfloat sun[4] = {1, 1, 1, 0};
            glLightfv(GL_LIGHT0, GL_POSITION, sun);
            glEnable(GL_LIGHT0);
            Object thing(PRIZE, model);
            thing.pos = Vector3(0, 0, 8);
            thing.dir = Quaternion(Vector3(20, 35, 0));
            thing.radius = 3.0;
            thing.Draw();
            glPopAttrib();
            result.push_back(ReadPicture());
        }
        return result;
    };
    std::vector<Picture> before = drawEach();
    Report(&Screen::IncreaseResolution);
    Report(&Screen::DecreaseResolution);
    std::vector<Picture> after = drawEach();
    int loaded = 0;
    for (int id = 0; id < NUM_MODELS; ++id) {
        if (before[id].w == 0) continue;
        ++loaded;
        EXPECT_GT(before[id].LitPixels(8), 500) << fileNames[id] << " draws almost nothing";
        EXPECT_EQ(DifferingPixels(before[id], after[id], 2), 0) << fileNames[id];
    }
    EXPECT_EQ(loaded, NUM_MODELS);
}

TEST(Fade, ZeroTimeDrawsNoFrameAndRestoresTheState) {
    EnsureWindowed800();
    Screen* s = Screen::GetInstance();
    // Red on the screen, green waiting in the back buffer.
    glClearColor(1, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    SDL_GL_SwapBuffers();
    glClearColor(0, 1, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(0, 0, 0, 1);

    double projectionBefore[16], projectionAfter[16];
    glGetDoublev(GL_PROJECTION_MATRIX, projectionBefore);
    const int swapsBefore = swapCount;
    s->Fade(OUT, 0.0);
    s->Fade(IN, 0.0);
    EXPECT_EQ(swapCount, swapsBefore) << "a frame was shown";
    glGetDoublev(GL_PROJECTION_MATRIX, projectionAfter);

    // The picture the caller drew is still there to be shown.
    Picture backBuffer = ReadPicture(GL_BACK);
    EXPECT_EQ(backBuffer.At(400, 300)[1], 255);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(projectionBefore[i], projectionAfter[i]);
    GLint mode;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_FOG));
}

TEST(Fade, OutEndsNearBlackAndInEndsNearThePicture) {
    EnsureWindowed800();
    Screen* s = Screen::GetInstance();
    auto drawPicture = []() {
        glClearColor(0.2f, 0.8f, 1.0f, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glClearColor(0, 0, 0, 1);
    };

    drawPicture();
    Timer timer;
    timer.Start();
    shownBlue.clear();
    s->Fade(OUT, 0.3);
    EXPECT_GE(timer.GetTime(), 0.3) << "a fade always runs its full time";
    ASSERT_GE(shownBlue.size(), 2u);
    // From the picture itself (blue 255) down towards black, never brighter again.
    EXPECT_GT(shownBlue.front(), 200);
    EXPECT_LT(shownBlue.back(), 128);
    for (size_t i = 1; i < shownBlue.size(); ++i) EXPECT_LE(shownBlue[i], shownBlue[i - 1] + 1) << "frame " << i;

    drawPicture();
    shownBlue.clear();
    s->Fade(IN, 0.3);
    ASSERT_GE(shownBlue.size(), 2u);
    EXPECT_LT(shownBlue.front(), 60);
    EXPECT_GT(shownBlue.back(), 128);
    for (size_t i = 1; i < shownBlue.size(); ++i) EXPECT_GE(shownBlue[i] + 1, shownBlue[i - 1]) << "frame " << i;
    // The colour under the black is the frozen picture's.
    EXPECT_GT(lastShown[1], lastShown[0]);

    double projection[16];
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    EXPECT_NEAR(projection[5], 1.0, 1e-6) << "the perspective projection is back";
}

// Everything queued, what the game's own source kept from a mode change too.
void DrainEvents() {
    SDL_Event e;
    while (FeedPollEvent(&e)) {
    }
}

void Push(Uint8 type) {
    SDL_Event e;
    std::memset(&e, 0, sizeof e);
    e.type = type;
    if (type == SDL_KEYDOWN || type == SDL_KEYUP) {
        e.key.type = type;
        e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
        e.key.keysym.sym = SDLK_SPACE;
    } else if (type == SDL_MOUSEBUTTONDOWN) {
        e.button.type = type;
        e.button.button = SDL_BUTTON_LEFT;
        e.button.state = SDL_PRESSED;
    } else if (type == SDL_MOUSEMOTION) {
        e.motion.type = type;
        e.motion.x = 10;
        e.motion.y = 20;
        e.motion.xrel = 3;
    }
    ASSERT_EQ(SDL_PushEvent(&e), 0);
}

// On the game's simulated clock: each look at the queue takes 1 ms.
TEST(DelayInteractively, KeyPressOrClickEndsItEarly) {
    Screen* s = Screen::GetInstance();
    DrainEvents();
    Push(SDL_KEYDOWN);
    FeedSimulate(16);
    Timer timer;
    timer.Start();
    EXPECT_TRUE(s->DelayInteractively(5000));
    EXPECT_LT(timer.GetTime(), 1.0) << "the waiting press ends it at once";
    FeedLive();

    DrainEvents();
    Push(SDL_MOUSEMOTION);
    Push(SDL_MOUSEBUTTONDOWN);
    EXPECT_TRUE(s->DelayInteractively(5000));
}

TEST(DelayInteractively, MotionAndReleasesDoNotEndItAndTimeOutIsFalse) {
    Screen* s = Screen::GetInstance();
    DrainEvents();
    Push(SDL_MOUSEMOTION);
    Push(SDL_KEYUP);
    Push(SDL_MOUSEMOTION);
    FeedSimulate(16);
    Timer timer;
    timer.Start();
    EXPECT_FALSE(s->DelayInteractively(250));
    EXPECT_NEAR(timer.GetTime(), 0.25, 1e-9) << "it runs its whole time, no more";
    FeedLive();

    // A press that comes after the drops still counts.
    Push(SDL_KEYUP);
    Push(SDL_KEYDOWN);
    EXPECT_TRUE(s->DelayInteractively(5000));
    EXPECT_FALSE(s->DelayInteractively(0));
}

}  // namespace
