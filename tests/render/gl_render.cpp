// SPDX-License-Identifier: MIT
// The world renderer, particles, cameras and bitmaps in a real window, read
// back pixel by pixel.
#include <algorithm>
#include <cmath>
#include <vector>

#include <GL/glu.h>
#include <sys/stat.h>
#include <unistd.h>

#include "GlSupport.h"
#include "LiteralRender.h"
#include "assets/MilkshapeModel.h"
#include "assets/ModelServer.h"
#include "assets/Texture.h"
#include "assets/TextureServer.h"
#include "render/Bitmap.h"
#include "render/Brightness.h"
#include "render/Camera.h"
#include "render/Flat2D.h"
#include "render/GraphicsEngine.h"
#include "render/ParticleEngine.h"
#include "world/Objects.h"
#include "world/Player.h"

using namespace gltest;

namespace {

::testing::Environment* const screenEnv = ::testing::AddGlobalTestEnvironment(new ScreenEnvironment);

const float WHITE[4] = {1.0f, 1.0f, 1.0f, 1.0f};
const float FADED_RED[4] = {1.0f, 0.0f, 0.0f, 0.0f};

// A clean frame for drawing particles directly, the way DrawParticles calls
// them: the game's fixed state, fog off, the camera's view loaded.
void BeginParticleFrame(Camera& camera, float grey = 0.0f) {
    glClearColor(grey, grey, grey, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glClearColor(0, 0, 0, 1);
    camera.EstablishView();
    glDisable(GL_FOG);
}

struct Box { int minX, minY, maxX, maxY, count; };

Box LitBox(const Picture& p, int threshold = 24) {
    Box b{p.w, p.h, -1, -1, 0};
    for (int y = 0; y < p.h; ++y)
        for (int x = 0; x < p.w; ++x) {
            const unsigned char* px = p.At(x, y);
            if (px[0] + px[1] + px[2] <= threshold) continue;
            b.minX = std::min(b.minX, x);
            b.maxX = std::max(b.maxX, x);
            b.minY = std::min(b.minY, y);
            b.maxY = std::max(b.maxY, y);
            ++b.count;
        }
    return b;
}

TEST(Screen, StartsFullScreenFirstAndReportsTheMode) {
    const std::string& report = ScreenEnvironment::initReport;
    Screen* s = Screen::GetInstance();
    if (s->InFullScreen()) {
        EXPECT_EQ(report.rfind("Succeded in entering fullscreen mode at a resolution of 800x600\n", 0), 0u)
            << report;
    } else {
        EXPECT_EQ(report.rfind("Failed in entering fullscreen mode at a resolution of 800x600\n"
                               "Unable to enter full screen mode...trying windowed mode\n"
                               "Succeded in entering windowed mode at a resolution of 800x600\n",
                               0),
                  0u)
            << report;
    }
    EXPECT_EQ(s->FullScreenVideoMode(), 1);
    EXPECT_EQ(s->WindowedVideoMode(), 1);
    EXPECT_EQ(SurfaceWidth(), 800);
    EXPECT_EQ(SurfaceHeight(), 600);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 800);
    EXPECT_EQ(viewport[3], 600);
    // The models were loaded in that first set-up, one report pair each.
    EXPECT_NE(report.find("Loading model Models/Ship.ms3d...\n"), std::string::npos);
    EXPECT_NE(report.find("Loading model Models/SmallShinobi.ms3d...\n"), std::string::npos);
}

TEST(Particles, BillboardFacesTheCameraAndFadesOverItsLife) {
    ParticleEngine engine(nullptr);
    engine.CreateParticle(Vector3(0, 0, 0), Vector3(), Vector3(), 1.0, 2.0, 0.0, WHITE, FADED_RED);

    // Ten units away, 600 pixels for 90 degrees: 30 pixels a unit. The first
    // eye looks straight down -z, the others from oblique directions.
    const Vector3 eyes[] = {Vector3(0, 0, 10), Vector3(0, 0, -10), Vector3(6, 0, 8), Vector3(0, -8, 6),
                            Vector3(2, 4, std::sqrt(80.0))};
    for (const Vector3& eye : eyes) {
        SCOPED_TRACE(testing::Message() << "eye " << eye.x << "," << eye.y << "," << eye.z);
        StaticCamera camera(eye, Vector3(0, 0, 0), std::fabs(eye.y) > 7 ? Vector3(0, 0, 1) : Vector3(0, 1, 0));

        // At birth: 2 units across, full white.
        engine.Clear();
        engine.CreateParticle(Vector3(0, 0, 0), Vector3(), Vector3(), 1.0, 2.0, 0.0, WHITE, FADED_RED);
        BeginParticleFrame(camera);
        engine.RenderParticles(&camera);
        Picture young = ReadPicture();
        // The square may be rolled about the line of sight, so its area and
        // centre are what is checked.
        Box b = LitBox(young);
        EXPECT_NEAR(b.count, 3600, 250);
        EXPECT_LE(b.maxX - b.minX + 1, 86);
        const unsigned char* c = young.At(400, 300);
        EXPECT_NEAR(c[0], 255, 2);
        EXPECT_NEAR(c[1], 255, 2);

        // Half way: 1 unit across, colour (1, .5, .5) at alpha .5, added to black.
        engine.TimeUpdate(0.5);
        BeginParticleFrame(camera);
        engine.RenderParticles(&camera);
        Picture half = ReadPicture();
        b = LitBox(half);
        EXPECT_NEAR(b.count, 900, 120);
        EXPECT_LE(b.maxX - b.minX + 1, 44);
        EXPECT_NEAR((b.minX + b.maxX) / 2.0, 400, 2);
        EXPECT_NEAR((b.minY + b.maxY) / 2.0, 300, 2);
        c = half.At(400, 300);
        EXPECT_NEAR(c[0], 128, 3);
        EXPECT_NEAR(c[1], 64, 3);
        EXPECT_NEAR(c[2], 64, 3);
    }
}

TEST(Particles, BlendAdditivelyAndShowThroughWhatWasDrawnBefore) {
    StaticCamera camera(Vector3(0, 0, -10), Vector3(0, 0, 0), Vector3(0, 1, 0));
    const float halfWhite[4] = {1.0f, 1.0f, 1.0f, 0.5f};
    ParticleEngine engine(nullptr);
    engine.CreateParticle(Vector3(0, 0, 0), Vector3(), Vector3(), 1.0, 2.0, 2.0, halfWhite, halfWhite);

    // Grey 64 plus white at half alpha: 64 + 128, not a mix.
    BeginParticleFrame(camera, 0.25f);
    // An opaque quad nearer than the particle, with depth written.
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    glColor4f(0.25f, 0.25f, 0.25f, 1.0f);
    glBegin(GL_QUADS);
    glVertex3d(-5, -5, -5);
    glVertex3d(5, -5, -5);
    glVertex3d(5, 5, -5);
    glVertex3d(-5, 5, -5);
    glEnd();
    glPopAttrib();
    engine.RenderParticles(&camera);
    Picture p = ReadPicture();
    EXPECT_NEAR(p.At(400, 300)[0], 192, 3);
    EXPECT_NEAR(p.At(400, 300)[2], 192, 3);
    EXPECT_NEAR(p.At(10, 10)[0], 64, 2);

    // The pass leaves no state behind.
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    GLint dst = 0;
    glGetIntegerv(GL_BLEND_DST, &dst);
    EXPECT_EQ(dst, GL_ONE_MINUS_SRC_ALPHA);
}

TEST(Particles, SwitchedOffDrawsNothing) {
    StaticCamera camera(Vector3(0, 0, -10), Vector3(0, 0, 0), Vector3(0, 1, 0));
    ParticleEngine engine(nullptr);
    engine.CreateParticle(Vector3(0, 0, 0), Vector3(), Vector3(), 1.0, 4.0, 4.0, WHITE, WHITE);
    ParticleEngine::particleEffectsOn = false;
    BeginParticleFrame(camera);
    engine.RenderParticles(&camera);
    ParticleEngine::particleEffectsOn = true;
    EXPECT_EQ(ReadPicture().LitPixels(), 0);
    BeginParticleFrame(camera);
    engine.RenderParticles(&camera);
    EXPECT_GT(ReadPicture().LitPixels(), 1000);
}

// Four bands of colour, dark to full, over the whole window.
void DrawBands() {
    ClearScreen();
    Flat2D flat(4, 1);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    const float bands[4][3] = {{0.1f, 0.2f, 0.3f}, {0.4f, 0.6f, 0.05f}, {0.8f, 0.5f, 0.9f}, {1.0f, 1.0f, 1.0f}};
    for (int i = 0; i < 4; ++i) {
        glColor3fv(bands[i]);
        glRectf(float(i), 0.0f, float(i + 1), 1.0f);
    }
}

// The pass over the world: at 1 the picture stays as it is, byte for byte;
// otherwise every channel is scaled (and clamped at full), and it leaves no
// GL state behind.
TEST(Brightness, ScalesThePictureAndAtOneLeavesItExactly) {
    DrawBands();
    const Picture drawn = ReadPicture();
    worldBrightness = 1.0;
    BrightenWorld();
    EXPECT_EQ(DifferingPixels(drawn, ReadPicture(), 0), 0);
    for (double b : {1.5, 2.0, 0.5}) {
        DrawBands();
        const GLboolean blending = glIsEnabled(GL_BLEND);
        GLint blendSource = 0;
        glGetIntegerv(GL_BLEND_SRC, &blendSource);
        worldBrightness = b;
        BrightenWorld();
        EXPECT_EQ(glIsEnabled(GL_BLEND), blending);
        GLint after = 0;
        glGetIntegerv(GL_BLEND_SRC, &after);
        EXPECT_EQ(after, blendSource);
        const Picture bright = ReadPicture();
        for (int i = 0; i < 4; ++i) {
            const int x = drawn.w * (2 * i + 1) / 8, y = drawn.h / 2;
            for (int c = 0; c < 3; ++c)
                EXPECT_NEAR(bright.At(x, y)[c], std::min(255.0, drawn.At(x, y)[c] * b), 10)
                    << "brightness " << b << ", band " << i << ", channel " << c;
        }
    }
    worldBrightness = 1.0;
}

TEST(Particles, TexturedSquaresMatchTheOneByOneDrawing) {
    // Four coloured quadrants, so a mirrored or turned square shows.
    std::string path = WriteTga("render_test_quadrants.tga", 16, 16, [](int x, int y, unsigned char* rgb) {
        rgb[0] = x < 8 ? 255 : 0;
        rgb[1] = y < 8 ? 255 : 0;
        rgb[2] = (x < 8) == (y < 8) ? 0 : 255;
    });
    ASSERT_FALSE(path.empty());
    testing::internal::CaptureStderr();
    Texture* texture = TextureServer::GetInstance()->LoadTexture(path.c_str());
    testing::internal::GetCapturedStderr();
    std::remove(path.c_str());  // the pixels stay in memory
    ASSERT_NE(texture->data, nullptr);

    ParticleEngine engine(texture);
    std::srand(99);
    for (int i = 0; i < 40; ++i) {
        float s[4] = {static_cast<float>(RandomDouble(0.2, 1)), static_cast<float>(RandomDouble(0.2, 1)),
                      static_cast<float>(RandomDouble(0.2, 1)), 1.0f};
        float e[4] = {0.1f, 0.9f, 0.3f, 0.2f};
        engine.CreateParticle(RandomVector(RandomDouble(0, 6)), RandomVector(1), Vector3(0, -0.5, 0),
                              RandomDouble(1, 3), RandomDouble(0.5, 4), RandomDouble(0.1, 2), s, e);
    }
    engine.TimeUpdate(0.4);
    ASSERT_GT(engine.NumParticles(), 30);

    StaticCamera camera(Vector3(7, 5, -12), Vector3(0.5, -0.25, 1), Vector3(0, 1, 0));
    BeginParticleFrame(camera);
    engine.RenderParticles(&camera);
    Picture batched = ReadPicture();
    BeginParticleFrame(camera);
    literal::Particles(engine, &camera);
    Picture reference = ReadPicture();

    EXPECT_GT(reference.LitPixels(), 5000);
    // Only rounding at the squares' edges may differ.
    EXPECT_LE(DifferingPixels(batched, reference, 4), 200);
}

// Remembers the order it was drawn in and what the renderer had switched on.
struct DrawRecord {
    const Object* who;
    bool light0, light1, light2, lighting;
    GLfloat light1Pos[4];
    GLfloat spotDir[3];
    GLdouble modelview[16];
};
std::vector<DrawRecord> records;

class Recorder : public Object {
public:
    explicit Recorder(Vector3 p) : Object(SMALL_ASTEROID, nullptr) { pos = p; }
    void Draw() override {
        DrawRecord r;
        r.who = this;
        r.light0 = glIsEnabled(GL_LIGHT0);
        r.light1 = glIsEnabled(GL_LIGHT1);
        r.light2 = glIsEnabled(GL_LIGHT2);
        r.lighting = glIsEnabled(GL_LIGHTING);
        glGetLightfv(GL_LIGHT1, GL_POSITION, r.light1Pos);
        glGetLightfv(GL_LIGHT1, GL_SPOT_DIRECTION, r.spotDir);
        glGetDoublev(GL_MODELVIEW_MATRIX, r.modelview);
        records.push_back(r);
    }
};

class RenderWorldTest : public ::testing::Test {
protected:
    void SetUp() override { records.clear(); }
    void TearDown() override {
        while (gObjects.NumObjects() > 0) gObjects.DeleteObject(0);
        delete gThePlayer;
        gThePlayer = nullptr;
    }
};

TEST_F(RenderWorldTest, DrawsObjectsBackToFrontWithTheSunLightOnly) {
    StaticCamera camera(Vector3(0, 0, 0), Vector3(0, 0, 1), Vector3(0, 1, 0));
    Recorder* near = new Recorder(Vector3(0, 0, 5));
    Recorder* far = new Recorder(Vector3(0, 0, 20));
    Recorder* mid = new Recorder(Vector3(0, 6, 8));
    gObjects.AddObject(near);
    gObjects.AddObject(far);
    gObjects.AddObject(mid);
    camera.EstablishView();
    RenderWorld(&camera);
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].who, far);
    EXPECT_EQ(records[1].who, mid);
    EXPECT_EQ(records[2].who, near);
    EXPECT_TRUE(records[0].light0);
    EXPECT_FALSE(records[0].light1);
    EXPECT_FALSE(records[0].light2);
    EXPECT_TRUE(records[0].lighting);
    // Afterwards the lights are off again.
    EXPECT_FALSE(glIsEnabled(GL_LIGHT0));
    // Stars and the grid made a picture.
    EXPECT_GT(ReadPicture().LitPixels(), 2000);
}

TEST_F(RenderWorldTest, PlayerLightsSitOnTheShipInWorldCoordinates) {
    gThePlayer = new Player();
    gThePlayer->alive = true;
    gThePlayer->pos = Vector3(3, -2, 6);
    gThePlayer->dir = Quaternion(Vector3(0, 90, 0));
    gObjects.AddObject(new Recorder(Vector3(0, 0, 10)));

    StaticCamera camera(Vector3(1, 2, -3), Vector3(0, 0, 5), Vector3(0, 1, 0));
    camera.EstablishView();
    RenderWorld(&camera);
    ASSERT_EQ(records.size(), 1u);
    const DrawRecord& r = records[0];
    EXPECT_TRUE(r.light0);
    EXPECT_TRUE(r.light1);
    EXPECT_FALSE(r.light2) << "shield is off";
    // OpenGL keeps light positions in eye space: the view applied to the ship.
    const double* m = r.modelview;
    Vector3 eyeSpace = MatrixVectorMultiply(m, gThePlayer->pos);
    EXPECT_NEAR(r.light1Pos[0], eyeSpace.x, 1e-4);
    EXPECT_NEAR(r.light1Pos[1], eyeSpace.y, 1e-4);
    EXPECT_NEAR(r.light1Pos[2], eyeSpace.z, 1e-4);
    EXPECT_NEAR(r.light1Pos[3], 1.0, 1e-6);
    Vector3 forward = gThePlayer->dir.RotateVector(Vector3(0, 0, 1));
    Vector3 forwardEye(m[0] * forward.x + m[4] * forward.y + m[8] * forward.z,
                       m[1] * forward.x + m[5] * forward.y + m[9] * forward.z,
                       m[2] * forward.x + m[6] * forward.y + m[10] * forward.z);
    EXPECT_NEAR(r.spotDir[0], forwardEye.x, 1e-4);
    EXPECT_NEAR(r.spotDir[1], forwardEye.y, 1e-4);
    EXPECT_NEAR(r.spotDir[2], forwardEye.z, 1e-4);

    records.clear();
    gThePlayer->invincible = true;
    ASSERT_TRUE(gThePlayer->ShieldOn());
    RenderWorld(&camera);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_TRUE(records[0].light2);

    records.clear();
    gThePlayer->alive = false;
    RenderWorld(&camera);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_FALSE(records[0].light1);
    EXPECT_FALSE(records[0].light2);
}

// From the cockpit at the start heading the sun lights what lies ahead from
// behind, and off the line of sight the ship's spot misses it: the rocks'
// own materials must still show them as bright shapes on the dark arena,
// the rock warm and the armour cool.
TEST_F(RenderWorldTest, RocksShowAsBrightShapesWithTheSunBehindThem) {
    gThePlayer = new Player();
    gThePlayer->alive = true;
    gThePlayer->pos = Vector3(0, 0, -24);
    FirstPersonCamera cockpit(gThePlayer);
    cockpit.TimeUpdate(0.0);
    const double aside = 20.0 * M_PI / 180.0;
    Object* rocks[2] = {new BigAsteroid(Vector3(), Vector3()), new SteelRoid(Vector3(), Vector3())};
    double luma[2], warmth[2];
    for (int k = 0; k < 2; ++k) {
        Object* rock = rocks[k];
        rock->pos = gThePlayer->pos + Vector3(-20.0 * std::sin(aside), 0, 20.0 * std::cos(aside));
        rock->dir = Quaternion(Vector3(0, 180, 0));
        gObjects.AddObject(rock);
        cockpit.EstablishView();
        RenderWorld(&cockpit);
        const Picture frame = ReadPicture();
        const std::vector<bool> covered = Coverage([&] {
            cockpit.EstablishView();
            rock->Draw();
        });
        double lit = 0, rest = 0, red = 0, blue = 0;
        long n = 0;
        for (int y = 0; y < frame.h; ++y)
            for (int x = 0; x < frame.w; ++x) {
                const unsigned char* px = frame.At(x, y);
                if (!covered[static_cast<size_t>(y) * frame.w + x]) {
                    rest += Luma(px);
                    continue;
                }
                lit += Luma(px);
                red += px[0];
                blue += px[2];
                ++n;
            }
        ASSERT_GT(n, 1000) << k;
        luma[k] = lit / n;
        warmth[k] = red / std::max(blue, 1.0);
        EXPECT_GE(luma[k], 20.0) << (k == 0 ? "rock" : "steel");
        EXPECT_LT(rest / (static_cast<double>(frame.w) * frame.h - n), 8.0) << "the background stays dark";
        gObjects.DeleteObject(0);
    }
    EXPECT_GT(warmth[0], warmth[1] * 1.2) << "rock " << warmth[0] << ", steel " << warmth[1];
}

// Objects with real models of every kind that comes in numbers, strewn
// through the arena round the ship, some in view, some across its edges,
// some behind; the particles of a few explosions.
void FillBusyArena() {
    std::srand(4242);
    gThePlayer = new Player();
    gThePlayer->alive = true;
    gThePlayer->pos = Vector3(2, -1, -12);
    gThePlayer->dir = Quaternion(Vector3(10, 25, 0));
    gObjects.AddObject(gThePlayer);
    for (int i = 0; i < 90; ++i) {
        Vector3 p(RandomDouble(-24, 24), RandomDouble(-24, 24), RandomDouble(-24, 24));
        Vector3 v = RandomVector(1.0);
        Object* o = nullptr;
        switch (i % 8) {
            case 0: o = new BigAsteroid(p, v); break;
            case 1: o = new MediumAsteroid(p, v); break;
            case 2: o = new SmallAsteroid(p, v); break;
            case 3: o = new SteelRoid(p, v); break;
            case 4: o = new Homing(p, v); break;
            case 5: o = new Gravity(p); break;
            case 6: o = i % 16 == 6 ? static_cast<Object*>(new BigShinobi(p, 1)) : new SmallShinobi(p, 2); break;
            default: o = new Bonus(p, v, 500); break;
        }
        o->dir = RandomRotation();
        gObjects.AddObject(o);
    }
    gParticleEngine->Clear();
    for (int burst = 0; burst < 4; ++burst) EmitExplosionBurst(RandomVector(15.0), Vector3(), burst % 2 == 0);
    gParticleEngine->TimeUpdate(0.3);
}

Picture ObjectsOnly(Camera& camera, void (*draw)(Camera*)) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    EnableWorldLights();
    draw(&camera);
    glPopAttrib();
    return ReadPicture();
}

TEST_F(RenderWorldTest, BusyArenaLooksTheSameAsTheLiteralFrame) {
    FillBusyArena();
    ASSERT_GT(gParticleEngine->NumParticles(), 500);
    ThirdPersonCamera chase(gThePlayer);
    FirstPersonCamera cockpit(gThePlayer);
    StaticCamera corner(Vector3(23, 22, -24), Vector3(0, 0, 0), Vector3(0, 1, 0));
    Camera* cameras[] = {&chase, &cockpit, &corner};
    int skipped = 0, drawn = 0;
    for (Camera* camera : cameras) {
        SCOPED_TRACE(testing::Message() << "camera type " << camera->type);
        camera->TimeUpdate(0.0);
        camera->EstablishView();
        const ViewVolume view;
        for (int i = 0; i < gObjects.NumObjects(); ++i)
            (view.MayBeSeen(gObjects[i]->pos, gObjects[i]->radius) ? drawn : skipped) += 1;

        // Skipping what lies outside the view changes no pixel at all.
        Picture objects = ObjectsOnly(*camera, DrawObjects);
        Picture every = ObjectsOnly(*camera, literal::Objects);
        EXPECT_GT(every.LitPixels(), 2000);
        EXPECT_EQ(DifferingPixels(objects, every, 0), 0);

        // The whole frame: only the particles' edges may round differently.
        RenderWorld(camera);
        Picture frame = ReadPicture();
        literal::World(camera);
        Picture plain = ReadPicture();
        EXPECT_LE(DifferingPixels(frame, plain, 4), 300);
    }
    // The scene does test the skipping: many objects are out of view.
    EXPECT_GT(skipped, 30);
    EXPECT_GT(drawn, 30);
    gObjects.RemoveObject(gThePlayer);  // the fixture deletes the ship itself
}

TEST(Arena, GridIsTheSameAsTheLineLoopsDrawnOneByOne) {
    const Vector3 eyes[] = {Vector3(0, 0, 0), Vector3(20, 10, -22), Vector3(-3, 24, 5)};
    for (const Vector3& eye : eyes) {
        StaticCamera camera(eye, Vector3(1, 0.5, 30), Vector3(0, 1, 0));
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        camera.EstablishView();
        DrawArena(&camera);
        Picture grid = ReadPicture();
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        literal::Arena();
        Picture byHand = ReadPicture();
        EXPECT_GT(grid.LitPixels(8), 10000);
        EXPECT_EQ(DifferingPixels(grid, byHand, 0), 0);
    }
    // Half transparent, fogged lines: dimmer than the colour itself.
    EXPECT_FLOAT_EQ(arenaColor[3], 0.5f);
}

TEST(Cameras, EstablishViewLooksFromEyeToCenterWithUpUp) {
    Object ship(PLAYER, nullptr);
    ship.pos = Vector3(4, -3, 2);
    ship.dir = Quaternion(Vector3(30, 50, -20));
    ThirdPersonCamera camera(&ship);
    camera.TimeUpdate(0.0);
    glMatrixMode(GL_PROJECTION);  // EstablishView must select the model-view itself
    camera.EstablishView();
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    double m[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, m);
    Vector3 e = MatrixVectorMultiply(m, camera.eye);
    Vector3 c = MatrixVectorMultiply(m, camera.center);
    Vector3 u = MatrixVectorMultiply(m, camera.eye + camera.up);
    double distance = (camera.center - camera.eye).Length();
    // OpenGL keeps the matrix in single precision.
    EXPECT_NEAR(e.Length(), 0.0, 1e-5);
    EXPECT_NEAR(c.x, 0.0, 1e-5);
    EXPECT_NEAR(c.y, 0.0, 1e-5);
    EXPECT_NEAR(c.z, -distance, 1e-5);
    // Up stays in the vertical plane of the view, pointing upwards.
    EXPECT_NEAR(u.x, 0.0, 1e-5);
    EXPECT_GT(u.y, 0.9);
}

TEST(BitmapDraw, ZoomsFromTheDesignScreenToTheWindow) {
    ASSERT_EQ(SurfaceWidth(), 800);
    // 320 x 240, blue, with an 8-pixel red block at the bottom left and green
    // at the top right.
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, 320, 240, 24, 0x0000FF, 0x00FF00, 0xFF0000, 0);
    ASSERT_NE(s, nullptr);
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 320; ++x) {
            Uint8* p = static_cast<Uint8*>(s->pixels) + y * s->pitch + x * 3;
            bool bottomLeft = x < 8 && y >= 232;  // surface rows run top down
            bool topRight = x >= 312 && y < 8;
            p[0] = bottomLeft ? 255 : 0;
            p[1] = topRight ? 255 : 0;
            p[2] = bottomLeft || topRight ? 0 : 255;
        }
    std::string path = std::string(KORVALEND_BUILD_DIR) + "/render_test_320x240.bmp";
    ASSERT_EQ(SDL_SaveBMP(s, path.c_str()), 0);
    SDL_FreeSurface(s);
    Bitmap picture(path.c_str());
    std::remove(path.c_str());
    ASSERT_NE(picture.pixels, nullptr);

    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    GLint modeBefore;
    glGetIntegerv(GL_MATRIX_MODE, &modeBefore);
    picture.Draw(160, 120, 640, 480);
    Picture p = ReadPicture();

    // Zoom 1.25: from (200, 150) to (599, 449) inclusive.
    EXPECT_EQ(p.At(200, 150)[0], 255);
    EXPECT_EQ(p.At(199, 150)[0] + p.At(199, 150)[2], 0);
    EXPECT_EQ(p.At(200, 149)[0] + p.At(200, 149)[2], 0);
    EXPECT_EQ(p.At(209, 159)[0], 255);  // 8 picture pixels = 10 window pixels
    EXPECT_EQ(p.At(210, 160)[2], 255);
    EXPECT_EQ(p.At(599, 449)[1], 255);
    EXPECT_EQ(p.At(590, 440)[1], 255);
    EXPECT_EQ(p.At(400, 300)[2], 255);
    EXPECT_EQ(p.At(600, 449)[1] + p.At(600, 449)[2], 0);
    EXPECT_EQ(p.At(599, 450)[1] + p.At(599, 450)[2], 0);
    Box b = LitBox(p);
    EXPECT_EQ(b.count, 400 * 300);

    // Nothing left behind: zoom and matrices restored.
    GLfloat zoom = 0;
    glGetFloatv(GL_ZOOM_X, &zoom);
    EXPECT_EQ(zoom, 1.0f);
    GLint modeAfter;
    glGetIntegerv(GL_MATRIX_MODE, &modeAfter);
    EXPECT_EQ(modeAfter, GL_MODELVIEW);
    GLint depth = 0;
    glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, 1);
}

// The models that come in numbers were given triangle budgets: each must
// keep its outline and its look. Each is drawn lit as in the arena beside
// its former self (BaselineModels/, made for the render benchmark), from two
// sides; the pictures are kept in artifacts/models/.
TEST(LighterModels, KeepTheirOutlineAndLookBesideTheirFormerSelves) {
    if (access("BaselineModels", F_OK) != 0) GTEST_SKIP() << "no BaselineModels/ here (made with bench_render)";
    const std::pair<int, const char*> kinds[] = {
        {ASTEROID_MODEL, "Asteroid"}, {STEEL_ROID_MODEL, "Steelroid"}, {BONUS_MODEL, "Bonus"},
        {HOMING_MODEL, "Homing"},     {GRAVITY_MODEL, "Gravity"},      {BIG_SHINOBI_MODEL, "BigShinobi"},
        {SMALL_SHINOBI_MODEL, "SmallShinobi"}};
    const int w = 200, h = 150;  // a cell: former and today side by side, two pairs a row
    const Vector3 sides[] = {Vector3(1.6, 1.3, -2.2), Vector3(-0.4, 3.0, 1.2)};
    mkdir(KORVALEND_BUILD_DIR "/artifacts", 0755);
    mkdir(KORVALEND_BUILD_DIR "/artifacts/models", 0755);
    for (int side = 0; side < 2; ++side) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        for (int k = 0; k < 7; ++k) {
            MilkshapeModel former;
            testing::internal::CaptureStderr();
            ASSERT_TRUE(former.LoadModelData((std::string("BaselineModels/") + kinds[k].second + ".ms3d").c_str()));
            testing::internal::GetCapturedStderr();
            former.ReInitialize();
            Model* versions[2] = {&former, ModelServer::GetInstance()->GetModel(kinds[k].first)};
            // The baseline must be the heavier one (the asteroid had 1280 triangles).
            EXPECT_GT(former.NumTriangles(), versions[1]->NumTriangles() * 11 / 10) << kinds[k].second;
            for (int v = 0; v < 2; ++v) {
                glViewport(((k % 2) * 2 + v) * w, (3 - k / 2) * h, w, h);
                glMatrixMode(GL_PROJECTION);
                glLoadIdentity();
                gluPerspective(45.0, double(w) / h, 0.1, 50.0);
                StaticCamera(sides[side], Vector3(0, 0, 0), Vector3(0, 1, 0)).EstablishView();
                glPushAttrib(GL_ALL_ATTRIB_BITS);
                EnableWorldLights();
                glScalef(1 / versions[v]->GetRadius(), 1 / versions[v]->GetRadius(), 1 / versions[v]->GetRadius());
                versions[v]->Draw();
                glPopAttrib();
            }
        }
        glViewport(0, 0, SurfaceWidth(), SurfaceHeight());
        Picture lit = ReadPicture();
        std::vector<float> depth(lit.rgba.size() / 4);
        glReadPixels(0, 0, lit.w, lit.h, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
        WriteTga("artifacts/models/former_and_today_" + std::to_string(side + 1) + ".tga", lit.w, lit.h,
                 [&lit](int x, int y, unsigned char* rgb) { std::copy(lit.At(x, y), lit.At(x, y) + 3, rgb); });

        for (int k = 0; k < 7; ++k) {
            SCOPED_TRACE(testing::Message() << kinds[k].second << " from side " << side + 1);
            // What each version covers (by depth), how much of it both cover,
            // and the mean colour of what each covers.
            int both = 0, either = 0, covered[2] = {0, 0};
            double colour[2][3] = {};
            for (int y = (3 - k / 2) * h; y < (4 - k / 2) * h; ++y)
                for (int x = (k % 2) * 2 * w; x < ((k % 2) * 2 + 1) * w; ++x) {
                    bool in[2];
                    for (int v = 0; v < 2; ++v) {
                        in[v] = depth[static_cast<size_t>(y) * lit.w + x + v * w] < 1.0f;
                        covered[v] += in[v];
                        for (int c = 0; c < 3 && in[v]; ++c) colour[v][c] += lit.At(x + v * w, y)[c];
                    }
                    both += in[0] && in[1];
                    either += in[0] || in[1];
                }
            ASSERT_GT(covered[0], 2000);
            EXPECT_GT(double(both) / either, 0.9);
            for (int c = 0; c < 3; ++c) EXPECT_NEAR(colour[1][c] / covered[1], colour[0][c] / covered[0], 15.0);
        }
    }
}

}  // namespace
