// SPDX-License-Identifier: MIT
#include "render/GraphicsEngine.h"

#include <GL/gl.h>

#include <cstdlib>
#include <vector>

#include "assets/TextureServer.h"
#include "shell/Globals.h"
#include "world/Player.h"
#include "world/Rules.h"
#include "render/Camera.h"
#include "render/ParticleEngine.h"

ParticleEngine* starscape1 = nullptr;
ParticleEngine* starscape2 = nullptr;
ParticleEngine* theSun = nullptr;
float arenaColor[4] = {0.6f, 0.6f, 1.0f, 0.5f};

namespace {
const int NUM_STARS = 1000;
const double STAR_RANGE = 200.0;
// The arena's walls as start-up sets them: the starscape is made before the
// globals hold them, so the stars are kept outside these fixed bounds.
const double ARENA_LOW = -ARENA_HALF_SIZE;
const double ARENA_HIGH = ARENA_HALF_SIZE;
// One grid line a unit, wall to wall.
const int ARENA_LINES = int(2 * ARENA_HALF_SIZE) + 1;

// The arena grid never changes between mode changes, so it is compiled once
// per context and replayed; it is rebuilt if the bounds it was made for move.
GLuint arenaList = 0;
double arenaListMin[3];
double arenaListMax[3];

// Reused every frame so that sorting the objects allocates nothing.
std::vector<ObjDistPair> drawOrder;

bool OutsideArena(const Vector3& p) {
    for (int axis = 0; axis < 3; ++axis)
        if (p[axis] < ARENA_LOW || p[axis] > ARENA_HIGH) return true;
    return false;
}

bool ArenaListCurrent() {
    if (arenaList == 0) return false;
    for (int i = 0; i < 3; ++i)
        if (arenaListMin[i] != gVisArenaMin[i] || arenaListMax[i] != gVisArenaMax[i]) return false;
    return true;
}
}  // namespace

void ArenaOutlines() {
    const double* mn = gVisArenaMin;
    const double* mx = gVisArenaMax;
    for (int i = 0; i < ARENA_LINES; ++i) {
        double x = mn[0] + i;
        glBegin(GL_LINE_LOOP);
        glVertex3d(x, mn[1], mn[2]);
        glVertex3d(x, mx[1], mn[2]);
        glVertex3d(x, mx[1], mx[2]);
        glVertex3d(x, mn[1], mx[2]);
        glEnd();
    }
    for (int i = 0; i < ARENA_LINES; ++i) {
        double y = mn[1] + i;
        glBegin(GL_LINE_LOOP);
        glVertex3d(mn[0], y, mn[2]);
        glVertex3d(mx[0], y, mn[2]);
        glVertex3d(mx[0], y, mx[2]);
        glVertex3d(mn[0], y, mx[2]);
        glEnd();
    }
    for (int i = 0; i < ARENA_LINES; ++i) {
        double z = mn[2] + i;
        glBegin(GL_LINE_LOOP);
        glVertex3d(mn[0], mn[1], z);
        glVertex3d(mx[0], mn[1], z);
        glVertex3d(mx[0], mx[1], z);
        glVertex3d(mn[0], mx[1], z);
        glEnd();
    }
}

void ObjDistPair::Init(Object* object, Vector3 ref) {
    o = object;
    d = (object->pos - ref).Length();
}

void InitGraphics() {
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glShadeModel(GL_SMOOTH);

    glEnable(GL_DEPTH_TEST);

    glEnable(GL_FOG);
    const GLfloat fogColor[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    glFogfv(GL_FOG_COLOR, fogColor);
    glFogi(GL_FOG_MODE, GL_EXP2);
    glFogf(GL_FOG_DENSITY, 0.025f);

    glEnable(GL_NORMALIZE);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);

    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

    const GLfloat globalAmbient[4] = {0.0f, 0.0f, 1.0f, 1.0f};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, globalAmbient);
    glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, GL_TRUE);

    const GLfloat white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    glLightfv(GL_LIGHT0, GL_AMBIENT, white);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
    glLightfv(GL_LIGHT0, GL_SPECULAR, white);

    const GLfloat red[4] = {1.0f, 0.0f, 0.0f, 1.0f};
    glLightfv(GL_LIGHT1, GL_AMBIENT, red);
    glLightfv(GL_LIGHT1, GL_DIFFUSE, red);
    glLightfv(GL_LIGHT1, GL_SPECULAR, red);
    glLightf(GL_LIGHT1, GL_CONSTANT_ATTENUATION, 0.0f);
    glLightf(GL_LIGHT1, GL_LINEAR_ATTENUATION, 0.01f);
    glLightf(GL_LIGHT1, GL_QUADRATIC_ATTENUATION, 0.0f);
    glLightf(GL_LIGHT1, GL_SPOT_CUTOFF, 10.0f);
    glLightf(GL_LIGHT1, GL_SPOT_EXPONENT, 100.0f);

    const GLfloat blue[4] = {0.0f, 0.0f, 1.0f, 1.0f};
    glLightfv(GL_LIGHT2, GL_AMBIENT, blue);
    glLightfv(GL_LIGHT2, GL_DIFFUSE, blue);
    glLightfv(GL_LIGHT2, GL_SPECULAR, blue);
    glLightf(GL_LIGHT2, GL_CONSTANT_ATTENUATION, 0.0f);
    glLightf(GL_LIGHT2, GL_LINEAR_ATTENUATION, 0.0f);
    glLightf(GL_LIGHT2, GL_QUADRATIC_ATTENUATION, 0.1f);

    glEnable(GL_LIGHTING);

    // A mode change may or may not have kept the context; either way the
    // grid is compiled afresh in the one that is current now.
    if (arenaList != 0 && glIsList(arenaList)) glDeleteLists(arenaList, 1);
    arenaList = 0;

    if (theSun == nullptr) CreateStarscape();
}

void CreateStarscape() {
    TextureServer* ts = TextureServer::GetInstance();
    starscape1 = new ParticleEngine(ts->LoadTexture("Images/flare.tga"));
    starscape2 = new ParticleEngine(ts->LoadTexture("Images/flare.tga"));
    theSun = new ParticleEngine(ts->LoadTexture("Images/flare.tga"));

    const Vector3 still(0.0, 0.0, 0.0);
    for (int star = 0; star < NUM_STARS; ++star) {
        Vector3 p;
        do {
            p.x = RandomDouble(-STAR_RANGE, STAR_RANGE);
            p.y = RandomDouble(-STAR_RANGE, STAR_RANGE);
            p.z = RandomDouble(-STAR_RANGE, STAR_RANGE);
        } while (!OutsideArena(p));
        float color[4];
        color[0] = static_cast<float>(RandomDouble(0.5, 1.0));
        color[1] = static_cast<float>(RandomDouble(0.5, 1.0));
        color[2] = static_cast<float>(RandomDouble(0.5, 1.0));
        color[3] = 1.0f;
        ParticleEngine* sky = star < NUM_STARS / 2 ? starscape1 : starscape2;
        sky->CreateParticle(p, still, still, FOREVER, 1.0, 1.0, color, color);
    }

    const float sunColor[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    theSun->CreateParticle(Vector3(1.0, 1.0, 1.0) * 200.0, still, still, FOREVER, 100.0, 100.0, sunColor,
                           sunColor);
}

void EnableWorldLights() {
    // Directional, from where the sun flare hangs in the sky.
    const GLfloat sunDirection[4] = {1.0f, 1.0f, 1.0f, 0.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, sunDirection);
    glEnable(GL_LIGHT0);

    if (gThePlayer != nullptr && gThePlayer->alive) {
        const Vector3& p = gThePlayer->pos;
        Vector3 forward = gThePlayer->dir.RotateVector(Vector3(0.0, 0.0, 1.0));
        const GLfloat position[4] = {static_cast<GLfloat>(p.x), static_cast<GLfloat>(p.y),
                                     static_cast<GLfloat>(p.z), 1.0f};
        const GLfloat spot[3] = {static_cast<GLfloat>(forward.x), static_cast<GLfloat>(forward.y),
                                 static_cast<GLfloat>(forward.z)};
        glLightfv(GL_LIGHT1, GL_POSITION, position);
        glLightfv(GL_LIGHT1, GL_SPOT_DIRECTION, spot);
        glEnable(GL_LIGHT1);
        if (gThePlayer->ShieldOn()) {
            glLightfv(GL_LIGHT2, GL_POSITION, position);
            glEnable(GL_LIGHT2);
        }
    }
}

void RenderWorld(Camera* camera) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    EnableWorldLights();

    DrawStarscape(camera);
    DrawArena(camera);
    DrawObjects(camera);
    DrawParticles(camera);

    glPopAttrib();
}

void DrawStarscape(Camera* camera) {
    if (theSun == nullptr) return;
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glDisable(GL_FOG);
    starscape1->RenderParticles(camera);
    // The far half of the sky and the sun travel with the viewer.
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glTranslated(camera->eye.x, camera->eye.y, camera->eye.z);
    starscape2->RenderParticles(camera);
    theSun->RenderParticles(camera);
    glPopMatrix();
    glPopAttrib();
}

void DrawArena(Camera*) {
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glDisable(GL_LIGHTING);
    glColor4fv(arenaColor);
    if (!ArenaListCurrent()) {
        if (arenaList != 0) glDeleteLists(arenaList, 1);
        arenaList = glGenLists(1);
        for (int i = 0; i < 3; ++i) {
            arenaListMin[i] = gVisArenaMin[i];
            arenaListMax[i] = gVisArenaMax[i];
        }
        if (arenaList != 0) {
            glNewList(arenaList, GL_COMPILE);
            ArenaOutlines();
            glEndList();
        }
    }
    if (arenaList != 0)
        glCallList(arenaList);
    else
        ArenaOutlines();
    glPopAttrib();
}

int CmpObjDistPair(const void* a, const void* b) {
    const ObjDistPair* pa = static_cast<const ObjDistPair*>(a);
    const ObjDistPair* pb = static_cast<const ObjDistPair*>(b);
    if (pa->d < pb->d) return 1;
    if (pa->d > pb->d) return -1;
    return 0;
}

void DrawObjects(Camera* camera) {
    const int n = gObjects.NumObjects();
    if (n <= 0) return;
    drawOrder.resize(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) drawOrder[static_cast<size_t>(i)].Init(gObjects[i], camera->eye);
    // Farthest first, so that blended objects cover what lies behind them.
    std::qsort(drawOrder.data(), static_cast<size_t>(n), sizeof(ObjDistPair), CmpObjDistPair);
    // Everything an object draws lies within its radius of its position, so
    // one wholly outside the view would colour no pixel: skip it. All are
    // sorted first, so those drawn keep the order they would have had.
    const ViewVolume view;
    for (int i = 0; i < n; ++i) {
        Object* o = drawOrder[static_cast<size_t>(i)].o;
        if (view.MayBeSeen(o->pos, o->radius)) o->Draw();
    }
}

void DrawParticles(Camera* camera) {
    if (gParticleEngine == nullptr) return;
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glDisable(GL_FOG);
    gParticleEngine->RenderParticles(camera);
    glPopAttrib();
}
