// SPDX-License-Identifier: MIT
#include "render/Screen.h"

#include <SDL/SDL.h>

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "assets/ModelServer.h"
#include "assets/Texture.h"
#include "assets/TextureServer.h"
#include "sys/Feed.h"
#include "shell/MyError.h"
#include "shell/Timer.h"
#include "sys/UserFiles.h"
#include "sys/Display.h"
#include "sys/Environment.h"
#include "render/Flat2D.h"
#include "render/GraphicsEngine.h"
#include "sys/Letterbox.h"

namespace {
const int NUM_VIDEO_MODES = 6;
const SDL_Rect screenSizes[NUM_VIDEO_MODES] = {
    {0, 0, 640, 480},  {0, 0, 800, 600},   {0, 0, 1024, 768},
    {0, 0, 1152, 864}, {0, 0, 1280, 1024}, {0, 0, 1600, 1200},
};

// The window now open, so that a refused change can go back to it.
struct OpenWindow {
    int width = 0, height = 0;
    bool fullScreen = false;
};
OpenWindow current;
bool inputTaken = false;
bool pointerFree = false;

// Sizes a test has the driver refuse are refused as a driver would.
SDL_Surface* SetMode(int width, int height, Uint32 flags) {
    if (EnvTestRefusesMode(width, height)) {
        SDL_SetError("refused for the test");
        return nullptr;
    }
    return SDL_SetVideoMode(width, height, 0, flags);
}

// Vertical sync, as the player's machine allows; EnvVsyncWanted and the
// player's choice can turn it off. Said once, and again whenever what the
// driver gives changes.
bool WantVsync() { return EnvVsyncWanted() && Screen::GetInstance()->VerticalSync(); }

void ReportVsync() {
    static int reported = -2;
    int interval = -1;
    if (SDL_GL_GetAttribute(SDL_GL_SWAP_CONTROL, &interval) != 0) interval = -1;
    if (interval == reported) return;
    reported = interval;
    if (!EnvVsyncWanted())
        error("Vertical sync: off (KORVALEND3D_VSYNC=0)\n");
    else if (!WantVsync())
        error("Vertical sync: off, as chosen\n");
    else if (interval > 0)
        error("Vertical sync: on\n");
    else
        error("Vertical sync: asked for, not given by the driver\n");
}

// The window's name and icon, so that a task bar, a dock or Alt+Tab shows
// whose it is (its class is set with the environment, before SDL starts).
const char* const kWindowTitle = "Korvalend 3D";
const char* const kWindowIconFile = "Images/window_icon.tga";

// The icon from the game's data, read once; null without one (no data, or
// a damaged file: said once, and the window keeps SDL's icon).
SDL_Surface* WindowIcon() {
    static std::vector<unsigned char> topDown;
    static SDL_Surface* icon = nullptr;
    static bool read = false;
    if (read) return icon;
    read = true;
    std::string bytes;
    unsigned char* pixels = nullptr;
    unsigned int w = 0, h = 0, bpp = 0;
    const bool ok = ReadFileBytes(kWindowIconFile, &bytes) &&
                    Texture::DecodeTGA(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(),
                                       &pixels, &w, &h, &bpp);
    // An icon is small; a huge one would be a damaged file.
    if (!ok || bpp != 32 || w > 512 || h > 512) {
        delete[] pixels;
        error("Error loading %s; the window has no icon of its own\n", kWindowIconFile);
        return nullptr;
    }
    // The file holds its bottom row first; a surface starts at the top.
    const size_t row = size_t(w) * 4;
    topDown.resize(row * h);
    for (unsigned int y = 0; y < h; ++y)
        std::copy(pixels + row * (h - 1 - y), pixels + row * (h - y), topDown.begin() + row * y);
    delete[] pixels;
    // R, G, B, A bytes in memory order, on either kind of machine.
#if SDL_BYTEORDER == SDL_BIG_ENDIAN
    icon = SDL_CreateRGBSurfaceFrom(topDown.data(), int(w), int(h), 32, int(row), 0xFF000000, 0x00FF0000,
                                    0x0000FF00, 0x000000FF);
#else
    icon = SDL_CreateRGBSurfaceFrom(topDown.data(), int(w), int(h), 32, int(row), 0x000000FF, 0x0000FF00,
                                    0x00FF0000, 0xFF000000);
#endif
    if (icon == nullptr) error("The window's icon: %s\n", SDL_GetError());
    return icon;
}

// SDL forgets the name and the icon with its video subsystem: each fresh
// one gets them before its window is made.
void NameWindow() {
    SDL_WM_SetCaption(kWindowTitle, kWindowTitle);
    if (SDL_Surface* icon = WindowIcon()) SDL_WM_SetIcon(icon, nullptr);
}

void RequestFramebuffer() {
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 5);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 5);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 5);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_SWAP_CONTROL, WantVsync() ? 1 : 0);
}

// SDL's 1.2 layer over SDL 2 keeps one window for every mode and leaves its
// full-screen size and place to the window manager; without one (or on a
// display that cannot switch) the window keeps its old size and place and
// the picture comes out cropped. A fresh video subsystem gives a fresh
// window, placed and sized by SDL itself. Whether the layer draws into an
// off-screen buffer that it scales to the window is read only here.
bool RestartVideo(bool layerScales) {
    static std::string driver;  // the one SDL chose at start-up
    char name[64];
    if (driver.empty() && SDL_VideoDriverName(name, sizeof name) != nullptr) driver = name;
    const bool userChoseDriver = EnvValue("SDL_VIDEODRIVER") != nullptr;
    LetterboxStop();
    EnvSet("SDL12COMPAT_OPENGL_SCALING", layerScales ? "1" : "0", true);
    // An X server may refuse a connection made right after the last one
    // closed (Xvfb does, a few times in a hundred), and SDL would then go on
    // quietly with another driver: keep to the first one and try again.
    for (int attempt = 0; attempt < 10; ++attempt) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        if (attempt > 0) SDL_Delay(10);
        if (!userChoseDriver && !driver.empty()) EnvSet("SDL_VIDEODRIVER", driver.c_str(), true);
        const bool up = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
        if (!userChoseDriver) EnvUnset("SDL_VIDEODRIVER");
        if (up && (driver.empty() || (SDL_VideoDriverName(name, sizeof name) != nullptr && driver == name))) {
            RequestFramebuffer();
            NameWindow();
            return true;
        }
    }
    return false;
}

bool DisplayOffers(int width, int height) {
    SDL_Rect** modes = SDL_ListModes(nullptr, SDL_OPENGL | SDL_FULLSCREEN);
    if (modes == reinterpret_cast<SDL_Rect**>(-1)) return true;
    for (int i = 0; modes != nullptr && modes[i] != nullptr; ++i)
        if (modes[i]->w == width && modes[i]->h == height) return true;
    return false;
}

// A window, or the whole display at a mode it can switch to. Any other
// full-screen size is drawn at that size off screen and scaled uniformly,
// centred, to a window that covers the display: that window is made first,
// at the display's own size, and the layer keeps its size and place when the
// mode's size follows.
bool OpenVideoAgain(int width, int height, bool fullScreen) {
    if (!RestartVideo(false)) return false;
    if (!fullScreen) return SetMode(width, height, SDL_OPENGL) != nullptr;

    const Uint32 flags = SDL_OPENGL | SDL_FULLSCREEN;
    const SDL_VideoInfo* info = SDL_GetVideoInfo();
    const int displayWidth = info != nullptr ? info->current_w : 0;
    const int displayHeight = info != nullptr ? info->current_h : 0;
    if (displayWidth <= 0 || displayHeight <= 0 || DisplayOffers(width, height))
        return SetMode(width, height, flags) != nullptr;
    // On a software renderer the game scales the picture itself, for less.
    if (LetterboxWanted() && !EnvTestRefusesMode(width, height) &&
        SetMode(displayWidth, displayHeight, flags) != nullptr && LetterboxStart(width, height))
        return true;
    if (!RestartVideo(true)) return false;
    if (SetMode(displayWidth, displayHeight, flags) == nullptr) return false;
    return SetMode(width, height, flags) != nullptr;
}

// SDL's queue goes with its video: what is queued is kept for the game,
// and the keys held are put right afterwards. The driver stays loaded and
// the display is watched from the first window on.
void FocusChanged(bool gained) {
    if (gained)
        Screen::GetInstance()->TakeInput();
    else
        Screen::GetInstance()->ReleaseInput();
}

bool OpenVideo(int width, int height, bool fullScreen) {
    FeedOnFocus(FocusChanged);
    FeedHoldEvents();
    const bool ok = OpenVideoAgain(width, height, fullScreen);
    if (ok) {
        DisplayPinDriver();
        DisplayWatch();
    }
    FeedAfterVideoRestart();
    return ok;
}
}  // namespace


Screen* Screen::instance = nullptr;

Screen* Screen::GetInstance() {
    if (instance == nullptr) instance = new Screen();
    return instance;
}

void Screen::ChooseStartMode(bool fullScreen, int fullScreenMode, int windowedMode) {
    // Until a mode is entered, the kind it will be.
    startFullScreen = inFullScreen = fullScreen;
    if (fullScreenMode >= 0 && fullScreenMode < NUM_VIDEO_MODES) fullScreenVideoMode = fullScreenMode;
    if (windowedMode >= 0 && windowedMode < NUM_VIDEO_MODES) windowedVideoMode = windowedMode;
}

void Screen::TakeInput() {
    SDL_ShowCursor(pointerFree ? 1 : 0);
    SDL_WM_GrabInput(pointerFree ? SDL_GRAB_OFF : SDL_GRAB_ON);
    inputTaken = true;
}

void Screen::FreePointer(bool free) {
    pointerFree = free;
    if (inputTaken) TakeInput();
}

void Screen::SetVerticalSync(bool on) {
    if (on == verticalSync) return;
    verticalSync = on;
    // The swap interval is asked for as a window is made.
    if (current.width > 0) EnterVideoMode(VideoMode(), inFullScreen);
}

void Screen::SetVideoMode(int mode) {
    if (mode != VideoMode()) EnterVideoMode(mode, inFullScreen);
}

void Screen::ReleaseInput() {
    if (!inputTaken) return;
    SDL_WM_GrabInput(SDL_GRAB_OFF);
    SDL_ShowCursor(1);
}

void Screen::Init() {
    if (SDL_GetVideoInfo() == nullptr) fatal("Video query failed: %s\n", SDL_GetError());

    RequestFramebuffer();

    if (startFullScreen) {
        if (!EnterVideoMode(fullScreenVideoMode, true)) {
            error("Unable to enter full screen mode...trying windowed mode\n");
            if (!EnterVideoMode(windowedVideoMode, false))
                fatal("Unable to create a window: %s\n", SDL_GetError());
        }
    } else if (!EnterVideoMode(windowedVideoMode, false) && !EnterVideoMode(fullScreenVideoMode, true)) {
        fatal("Unable to create a window: %s\n", SDL_GetError());
    }

    TakeInput();
}

void Screen::Entered(int mode, bool fullScreen) {
    if (fullScreen)
        fullScreenVideoMode = mode;
    else
        windowedVideoMode = mode;
    inFullScreen = fullScreen;
    current = {screenSizes[mode].w, screenSizes[mode].h, fullScreen};
    ReportVsync();
    InitOpenGL();
}

// The old window went with a refused attempt: the game goes on in the mode
// it had, or failing that in any mode of the same kind, then in any window.
bool Screen::OpenAnyMode() {
    if (OpenVideo(current.width, current.height, current.fullScreen)) {
        InitOpenGL();
        return true;
    }
    for (bool fullScreen : {current.fullScreen, false}) {
        for (int mode = 0; mode < NUM_VIDEO_MODES; ++mode) {
            const SDL_Rect& size = screenSizes[mode];
            if (size.w == current.width && size.h == current.height && fullScreen == current.fullScreen)
                continue;
            const bool ok = OpenVideo(size.w, size.h, fullScreen);
            error("%s in entering %s mode at a resolution of %dx%d\n", ok ? "Succeded" : "Failed",
                  fullScreen ? "fullscreen" : "windowed", size.w, size.h);
            if (ok) {
                Entered(mode, fullScreen);
                return true;
            }
        }
    }
    return false;
}

bool Screen::EnterVideoMode(int mode, bool fullScreen) {
    if (mode < 0 || mode >= NUM_VIDEO_MODES) return false;

    const int width = screenSizes[mode].w;
    const int height = screenSizes[mode].h;
    const bool ok = OpenVideo(width, height, fullScreen);

    error("%s in entering %s mode at a resolution of %dx%d\n", ok ? "Succeded" : "Failed",
          fullScreen ? "fullscreen" : "windowed", width, height);

    if (ok)
        Entered(mode, fullScreen);
    else if (current.width > 0 && !OpenAnyMode())
        fatal("Unable to create a window: %s\n", SDL_GetError());
    // Refused or not, the mouse steers again.
    if (inputTaken) TakeInput();
    return ok;
}

void Screen::InitOpenGL() {
    int w = 0, h = 0;
    LetterboxPictureSize(&w, &h);

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
    int w = 0, h = 0;
    LetterboxPictureSize(&w, &h);
    if (w <= 0 || h <= 0) return;
    std::vector<Uint32> buffer(static_cast<size_t>(w) * static_cast<size_t>(h));

    // The caller has just drawn the picture into the back buffer.
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, buffer.data());

    Flat2D flat(w, h);
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

        FeedSwap();
    }
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
        if (FeedPollEvent(&event)) {
            if (event.type == SDL_KEYDOWN || event.type == SDL_MOUSEBUTTONDOWN) return true;
        }
        FeedIdle();
    }
}
