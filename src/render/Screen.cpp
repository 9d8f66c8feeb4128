#include "Screen.h"

#include <SDL/SDL.h>

#include <GL/gl.h>
#include <GL/glu.h>

#include <cstdlib>
#include <vector>

#include "../assets/ModelServer.h"
#include "../assets/TextureServer.h"
#include "../shell/MyError.h"
#include "../shell/Timer.h"
#include "GraphicsEngine.h"

namespace {
const int NUM_VIDEO_MODES = 6;
const SDL_Rect screenSizes[NUM_VIDEO_MODES] = {
    {0, 0, 640, 480},  {0, 0, 800, 600},   {0, 0, 1024, 768},
    {0, 0, 1152, 864}, {0, 0, 1280, 1024}, {0, 0, 1600, 1200},
};
}  // namespace

Screen* Screen::instance = nullptr;

Screen* Screen::GetInstance() {
    if (instance == nullptr) instance = new Screen();
    return instance;
}

void Screen::Init() {
    if (SDL_GetVideoInfo() == nullptr) fatal("Video query failed: %s\n", SDL_GetError());

    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 5);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 5);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 5);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);

    if (!EnterVideoMode(fullScreenVideoMode, true)) {
        error("Unable to enter full screen mode...trying windowed mode\n");
        if (!EnterVideoMode(windowedVideoMode, false))
            fatal("Unable to create a window: %s\n", SDL_GetError());
    }

    SDL_ShowCursor(0);
    SDL_WM_GrabInput(SDL_GRAB_ON);
}

bool Screen::EnterVideoMode(int mode, bool fullScreen) {
    if (mode < 0 || mode >= NUM_VIDEO_MODES) return false;

    const int width = screenSizes[mode].w;
    const int height = screenSizes[mode].h;
    Uint32 flags = SDL_OPENGL;
    if (fullScreen) flags |= SDL_FULLSCREEN;
    const bool ok = SDL_SetVideoMode(width, height, 0, flags) != nullptr;

    error("%s in entering %s mode at a resolution of %dx%d\n", ok ? "Succeded" : "Failed",
          fullScreen ? "fullscreen" : "windowed", width, height);

    if (ok) {
        if (fullScreen)
            fullScreenVideoMode = mode;
        else
            windowedVideoMode = mode;
        inFullScreen = fullScreen;
        InitOpenGL();
    }
    return ok;
}

void Screen::InitOpenGL() {
    SDL_Surface* surface = SDL_GetVideoSurface();
    const int w = surface->w;
    const int h = surface->h;

    glViewport(0, 0, w, h);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(90.0, static_cast<double>(w) / static_cast<double>(h), 1.0, 1000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    // Everything the old context held is made again in this one.
    InitGraphics();
    TextureServer::GetInstance()->ReloadTextures();
    ModelServer::GetInstance()->ReInitializeModels();
}

void Screen::ToggleFullScreen() {
    const bool target = !inFullScreen;
    const int mode = inFullScreen ? windowedVideoMode : fullScreenVideoMode;
    if (!EnterVideoMode(mode, target)) EnterVideoMode(0, target);
}

void Screen::IncreaseResolution() {
    const int mode = inFullScreen ? fullScreenVideoMode : windowedVideoMode;
    EnterVideoMode(mode + 1, inFullScreen);
}

void Screen::DecreaseResolution() {
    const int mode = inFullScreen ? fullScreenVideoMode : windowedVideoMode;
    EnterVideoMode(mode - 1, inFullScreen);
}

void Screen::Fade(FadeType type, double fadeTime) {
    SDL_Surface* surface = SDL_GetVideoSurface();
    if (surface == nullptr) return;
    const int w = surface->w;
    const int h = surface->h;
    std::vector<Uint32> buffer(static_cast<size_t>(w) * static_cast<size_t>(h));

    // The caller has just drawn the picture into the back buffer.
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, buffer.data());

    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluOrtho2D(0, w, 0, h);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();

    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_FOG);
    glDisable(GL_LIGHTING);
    glDisable(GL_NORMALIZE);
    glDisable(GL_CULL_FACE);
    // The copy goes back one to one, whatever zoom a picture left behind.
    glDisable(GL_TEXTURE_2D);
    glPixelZoom(1.0f, 1.0f);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);

    Timer timer;
    timer.Start();
    for (;;) {
        const double t = timer.GetTime();
        if (!(t < fadeTime)) break;
        const double alpha = type == OUT ? t / fadeTime : 1.0 - t / fadeTime;

        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glRasterPos2i(0, 0);
        glDrawPixels(w, h, GL_RGBA, GL_UNSIGNED_BYTE, buffer.data());

        glColor4f(0.0f, 0.0f, 0.0f, static_cast<float>(alpha));
        glRecti(0, 0, w, h);

        SDL_GL_SwapBuffers();
    }

    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopAttrib();
}

bool Screen::DelayInteractively(int mils) {
    Timer timer;
    timer.Start();
    for (;;) {
        if (timer.GetTime() >= mils / 1000.0) {
            timer.Stop();
            return false;
        }
        SDL_Event event;
        if (SDL_PollEvent(&event)) {
            if (event.type == SDL_KEYDOWN || event.type == SDL_MOUSEBUTTONDOWN) return true;
        }
    }
}
