// SPDX-License-Identifier: MIT
// The world frame drawn the plain way, one call per thing: every particle
// with its own matrix and strip, the grid as 153 immediate line loops, every
// object drawn whether it can be seen or not. The renderer's faster paths
// must give the same picture (the window tests compare them pixel by pixel)
// and the render benchmark times them against it.
#ifndef KORVALEND_RENDER_LITERALRENDER_H
#define KORVALEND_RENDER_LITERALRENDER_H

#include <GL/gl.h>

#include <cstdlib>
#include <vector>

#include "assets/Texture.h"
#include "render/Camera.h"
#include "render/GraphicsEngine.h"
#include "render/ParticleEngine.h"
#include "shell/Globals.h"
#include "world/Object.h"

namespace literal {

inline void Particles(const ParticleEngine& engine, Camera* camera) {
    if (!ParticleEngine::particleEffectsOn || camera == nullptr) return;
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glEnable(GL_TEXTURE_2D);
    if (engine.GetTexture() != nullptr)
        engine.GetTexture()->Bind();
    else
        glBindTexture(GL_TEXTURE_2D, 0);
    glDisable(GL_LIGHTING);
    double m[16];
    ParticleEngine::BillboardRotation(camera->eye, camera->center).GetRotationMatrix(m);
    for (int i = 0; i < engine.NumParticles(); ++i) {
        const Particle& p = engine.GetParticle(i);
        const double f = p.age / p.ttl;
        glPushMatrix();
        glTranslated(p.pos.x, p.pos.y, p.pos.z);
        glMultMatrixd(m);
        const double h = (p.start_size + (p.end_size - p.start_size) * f) / 2;
        float c[4];
        for (int k = 0; k < 4; ++k)
            c[k] = static_cast<float>(p.start_color[k] + (p.end_color[k] - p.start_color[k]) * f);
        glColor4fv(c);
        glBegin(GL_TRIANGLE_STRIP);
        glTexCoord2d(1, 1);
        glVertex3d(-h, h, 0);
        glTexCoord2d(0, 1);
        glVertex3d(h, h, 0);
        glTexCoord2d(1, 0);
        glVertex3d(-h, -h, 0);
        glTexCoord2d(0, 0);
        glVertex3d(h, -h, 0);
        glEnd();
        glPopMatrix();
    }
    glPopAttrib();
}

inline void Starscape(Camera* camera) {
    if (theSun == nullptr) return;
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glDisable(GL_FOG);
    Particles(*starscape1, camera);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glTranslated(camera->eye.x, camera->eye.y, camera->eye.z);
    Particles(*starscape2, camera);
    Particles(*theSun, camera);
    glPopMatrix();
    glPopAttrib();
}

inline void Arena(Camera* = nullptr) {
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glDisable(GL_LIGHTING);
    glColor4fv(arenaColor);
    ArenaOutlines();
    glPopAttrib();
}

inline void Objects(Camera* camera) {
    std::vector<ObjDistPair> order(static_cast<size_t>(gObjects.NumObjects()));
    for (size_t i = 0; i < order.size(); ++i) order[i].Init(gObjects[static_cast<int>(i)], camera->eye);
    std::qsort(order.data(), order.size(), sizeof(ObjDistPair), CmpObjDistPair);
    for (const ObjDistPair& pair : order) pair.o->Draw();
}

inline void ParticlePass(Camera* camera) {
    if (gParticleEngine == nullptr) return;
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glDisable(GL_FOG);
    Particles(*gParticleEngine, camera);
    glPopAttrib();
}

inline void World(Camera* camera) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    EnableWorldLights();
    Starscape(camera);
    Arena(camera);
    Objects(camera);
    ParticlePass(camera);
    glPopAttrib();
}

}  // namespace literal

#endif
