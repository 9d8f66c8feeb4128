// SPDX-License-Identifier: MIT
#include "sys/Letterbox.h"

#include <SDL/SDL.h>
#include <SDL/SDL_syswm.h>

#include <GL/gl.h>
#include <GL/glext.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cmath>
#include <cstdlib>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "shell/MyError.h"
#include "sys/Display.h"
#include "sys/Environment.h"
#include "sys/Scaler.h"

namespace {
// The off-screen frame, through the framebuffer-object extension.
struct FramebufferCalls {
    PFNGLGENFRAMEBUFFERSEXTPROC genFramebuffers = nullptr;
    PFNGLDELETEFRAMEBUFFERSEXTPROC deleteFramebuffers = nullptr;
    PFNGLBINDFRAMEBUFFEREXTPROC bindFramebuffer = nullptr;
    PFNGLGENRENDERBUFFERSEXTPROC genRenderbuffers = nullptr;
    PFNGLDELETERENDERBUFFERSEXTPROC deleteRenderbuffers = nullptr;
    PFNGLBINDRENDERBUFFEREXTPROC bindRenderbuffer = nullptr;
    PFNGLRENDERBUFFERSTORAGEEXTPROC renderbufferStorage = nullptr;
    PFNGLFRAMEBUFFERRENDERBUFFEREXTPROC framebufferRenderbuffer = nullptr;
    PFNGLCHECKFRAMEBUFFERSTATUSEXTPROC checkFramebufferStatus = nullptr;

    template <typename F>
    static bool Get(F* f, const char* name) {
        *f = reinterpret_cast<F>(SDL_GL_GetProcAddress(name));
        return *f != nullptr;
    }
    bool Load() {
        return Get(&genFramebuffers, "glGenFramebuffersEXT") &&
               Get(&deleteFramebuffers, "glDeleteFramebuffersEXT") &&
               Get(&bindFramebuffer, "glBindFramebufferEXT") &&
               Get(&genRenderbuffers, "glGenRenderbuffersEXT") &&
               Get(&deleteRenderbuffers, "glDeleteRenderbuffersEXT") &&
               Get(&bindRenderbuffer, "glBindRenderbufferEXT") &&
               Get(&renderbufferStorage, "glRenderbufferStorageEXT") &&
               Get(&framebufferRenderbuffer, "glFramebufferRenderbufferEXT") &&
               Get(&checkFramebufferStatus, "glCheckFramebufferStatusEXT");
    }
};

struct State {
    bool active = false;
    bool hardwareSeen = false;
    int width = 0, height = 0;               // the picture
    int left = 0, top = 0, outW = 0, outH = 0;  // where it is shown
    int screenW = 0, screenH = 0;
    double scale = 1.0;
    // The mouse in the screen's pixels, and where it was in the picture's.
    long mouseX = 0, mouseY = 0, pictureX = 0, pictureY = 0;

    FramebufferCalls gl;
    GLuint framebuffer = 0, colour = 0, depth = 0;

    Display* display = nullptr;  // SDL's, the game thread's
    // Where the pictures go: a connection of the shower's own, or SDL's when
    // there is no second one to be had (then the game's thread shows them).
    Display* out = nullptr;
    Window window = 0;
    GC gc = nullptr;
    XImage* image = nullptr;
    XShmSegmentInfo shm{};
    bool shared = false, putPending = false;
    bool threaded = false;  // shown by the shower
    bool bordered = false;  // the bars beside the picture drawn

    // As read back (red, green, blue, alpha; bottom row first): the next is
    // read while the last is shown.
    std::vector<uint32_t> frames[2];
    int next = 0;
    Scaler scaler;
};
State s;

// The shower: a thread that scales a frame and puts it on the screen while
// the game draws the next, so that neither of the two cores waits. It lives
// as long as the process and is never destroyed: exit handlers could
// otherwise pull its lock from under it.
struct Shower {
    std::mutex lock;
    std::condition_variable wake, done;
    const uint32_t* job = nullptr;
    bool started = false;
};
Shower* shower = nullptr;

// The bars beside the picture, once: the window's background keeps them
// black when something that covered them goes.
void DrawBorders() {
    if (s.left > 0) {
        XFillRectangle(s.out, s.window, s.gc, 0, 0, unsigned(s.left), unsigned(s.screenH));
        XFillRectangle(s.out, s.window, s.gc, s.left + s.outW, 0, unsigned(s.screenW - s.left - s.outW),
                       unsigned(s.screenH));
    }
    if (s.top > 0) {
        XFillRectangle(s.out, s.window, s.gc, 0, 0, unsigned(s.screenW), unsigned(s.top));
        XFillRectangle(s.out, s.window, s.gc, 0, s.top + s.outH, unsigned(s.screenW),
                       unsigned(s.screenH - s.top - s.outH));
    }
    s.bordered = true;
}

// A frame, scaled, on the screen. The server has read the last one out of
// shared memory before the image is written again.
void Present(const uint32_t* frame) {
    if (s.putPending && s.shared) XSync(s.out, False);
    s.scaler.Scale(frame, s.image->data, size_t(s.image->bytes_per_line), 0, s.outH);
    if (!s.bordered) DrawBorders();
    if (s.shared)
        XShmPutImage(s.out, s.window, s.gc, s.image, 0, 0, s.left, s.top, unsigned(s.outW), unsigned(s.outH),
                     False);
    else
        XPutImage(s.out, s.window, s.gc, s.image, 0, 0, s.left, s.top, unsigned(s.outW), unsigned(s.outH));
    XFlush(s.out);
    s.putPending = true;
}

void ShowerLoop() {
    std::unique_lock<std::mutex> hold(shower->lock);
    for (;;) {
        shower->wake.wait(hold, [] { return shower->job != nullptr; });
        const uint32_t* frame = shower->job;
        hold.unlock();
        Present(frame);
        hold.lock();
        shower->job = nullptr;
        shower->done.notify_all();
    }
}

// Until the shower has put its frame on the screen. Should the display go
// meanwhile, the game ends here, as it would between any two of its steps.
void WaitForShower() {
    if (shower == nullptr) return;
    std::unique_lock<std::mutex> hold(shower->lock);
    while (shower->job != nullptr)
        if (!shower->done.wait_for(hold, std::chrono::milliseconds(10), [] { return shower->job == nullptr; }) &&
            DisplayGone()) {
            hold.unlock();
            DisplayEnd();
        }
}

// The process may end in the middle of a frame: the shower is let finish
// before the frames go.
void SettleAtExit() { WaitForShower(); }

bool StartShower() {
    if (shower == nullptr) shower = new Shower;
    if (shower->started) return true;
    try {
        std::thread(ShowerLoop).detach();
    } catch (const std::system_error&) {
        return false;
    }
    shower->started = true;
    std::atexit(SettleAtExit);
    return true;
}

bool attachFailed = false;
int NoteAttachError(Display*, XErrorEvent*) {
    attachFailed = true;
    return 0;
}

void FreeImage() {
    if (s.image == nullptr) return;
    XSync(s.out, False);
    if (s.shared) {
        XShmDetach(s.out, &s.shm);
        XSync(s.out, False);
        shmdt(s.shm.shmaddr);
        s.image->data = nullptr;
    }
    XDestroyImage(s.image);  // frees the data it owns
    s.image = nullptr;
    s.shared = false;
    s.putPending = false;
}

// An image of the shown size in the window's own pixel layout, in memory
// the X server shares where it can.
bool MakeImage() {
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(s.out, s.window, &attributes)) return false;
    Visual* visual = attributes.visual;
    const int depth = attributes.depth;
    const bool littleEndian = SDL_BYTEORDER == SDL_LIL_ENDIAN;
    if (visual->red_mask != 0xFF0000 || visual->green_mask != 0xFF00 || visual->blue_mask != 0xFF) return false;

    if (XShmQueryExtension(s.out)) {
        s.image = XShmCreateImage(s.out, visual, unsigned(depth), ZPixmap, nullptr, &s.shm, unsigned(s.outW),
                                  unsigned(s.outH));
        if (s.image != nullptr) {
            s.shm.shmid = shmget(IPC_PRIVATE, size_t(s.image->bytes_per_line) * size_t(s.outH), IPC_CREAT | 0600);
            void* at = s.shm.shmid >= 0 ? shmat(s.shm.shmid, nullptr, 0) : reinterpret_cast<void*>(-1);
            if (at != reinterpret_cast<void*>(-1)) {
                s.shm.shmaddr = s.image->data = static_cast<char*>(at);
                s.shm.readOnly = True;
                attachFailed = false;
                XSync(s.out, False);
                XErrorHandler previous = XSetErrorHandler(NoteAttachError);
                const bool attached = XShmAttach(s.out, &s.shm) && (XSync(s.out, False), !attachFailed);
                XSetErrorHandler(previous);
                // Gone with the last user, should the game end any way at all.
                shmctl(s.shm.shmid, IPC_RMID, nullptr);
                if (attached) {
                    s.shared = true;
                } else {
                    shmdt(at);
                    s.image->data = nullptr;
                }
            } else if (s.shm.shmid >= 0) {
                shmctl(s.shm.shmid, IPC_RMID, nullptr);
            }
            if (!s.shared) {
                XDestroyImage(s.image);
                s.image = nullptr;
            }
        }
    }
    if (s.image == nullptr) {
        s.image = XCreateImage(s.out, visual, unsigned(depth), ZPixmap, 0, nullptr, unsigned(s.outW),
                               unsigned(s.outH), 32, 0);
        if (s.image == nullptr) return false;
        s.image->data = static_cast<char*>(std::calloc(size_t(s.image->bytes_per_line) * size_t(s.outH), 1));
    }
    const bool layout = s.image->data != nullptr && s.image->bits_per_pixel == 32 &&
                        (s.image->byte_order == LSBFirst) == littleEndian;
    if (!layout) FreeImage();
    return layout;
}

bool MakeFramebuffer() {
    const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    if (extensions == nullptr || std::strstr(extensions, "GL_EXT_framebuffer_object") == nullptr || !s.gl.Load())
        return false;
    s.gl.genFramebuffers(1, &s.framebuffer);
    s.gl.genRenderbuffers(1, &s.colour);
    s.gl.genRenderbuffers(1, &s.depth);
    s.gl.bindFramebuffer(GL_FRAMEBUFFER_EXT, s.framebuffer);
    s.gl.bindRenderbuffer(GL_RENDERBUFFER_EXT, s.colour);
    s.gl.renderbufferStorage(GL_RENDERBUFFER_EXT, GL_RGBA8, s.width, s.height);
    s.gl.framebufferRenderbuffer(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_RENDERBUFFER_EXT, s.colour);
    s.gl.bindRenderbuffer(GL_RENDERBUFFER_EXT, s.depth);
    s.gl.renderbufferStorage(GL_RENDERBUFFER_EXT, GL_DEPTH_COMPONENT24, s.width, s.height);
    s.gl.framebufferRenderbuffer(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_RENDERBUFFER_EXT, s.depth);
    s.gl.bindRenderbuffer(GL_RENDERBUFFER_EXT, 0);
    return s.gl.checkFramebufferStatus(GL_FRAMEBUFFER_EXT) == GL_FRAMEBUFFER_COMPLETE_EXT;
}

void FreeFramebuffer() {
    if (s.gl.bindFramebuffer == nullptr) return;
    s.gl.bindFramebuffer(GL_FRAMEBUFFER_EXT, 0);
    if (s.framebuffer != 0) s.gl.deleteFramebuffers(1, &s.framebuffer);
    if (s.colour != 0) s.gl.deleteRenderbuffers(1, &s.colour);
    if (s.depth != 0) s.gl.deleteRenderbuffers(1, &s.depth);
    s.framebuffer = s.colour = s.depth = 0;
}

void CloseOut() {
    if (s.out != nullptr && s.out != s.display) XCloseDisplay(s.out);
    s.out = nullptr;
}

bool SoftwareRenderer() {
    const char* name = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    if (name == nullptr) return false;
    for (const char* kind : {"llvmpipe", "softpipe", "Software Rasterizer", "swrast"})
        if (std::strstr(name, kind) != nullptr) return true;
    return false;
}

bool UsingX() {
    char name[32];
    return SDL_VideoDriverName(name, sizeof name) != nullptr && std::strcmp(name, "x11") == 0;
}

// Where a point of the screen falls in the picture.
long ToPicture(long screen, int origin) { return long(std::floor((screen - origin) / s.scale)); }
}  // namespace

bool LetterboxWanted() {
    return Scaler::Available() && !s.hardwareSeen && UsingX() && !EnvSdlScaling();
}

bool LetterboxStart(int width, int height) {
    LetterboxStop();
    SDL_Surface* surface = SDL_GetVideoSurface();
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (surface == nullptr || width <= 0 || height <= 0 || !UsingX() || SDL_GetWMInfo(&info) != 1 ||
        info.info.x11.display == nullptr)
        return false;
    if (!SoftwareRenderer()) {
        s.hardwareSeen = true;
        return false;
    }
    s.display = info.info.x11.display;
    s.window = info.info.x11.window;
    s.width = width;
    s.height = height;
    s.screenW = surface->w;
    s.screenH = surface->h;
    // Uniformly, as large as fits, centred; whole pixels.
    s.scale = std::fmin(double(s.screenW) / width, double(s.screenH) / height);
    s.outW = int(std::lround(width * s.scale));
    s.outH = int(std::lround(height * s.scale));
    s.left = (s.screenW - s.outW) / 2;
    s.top = (s.screenH - s.outH) / 2;
    // Pictures go through a connection of their own, so that a thread of
    // their own can show them; failing that, through SDL's.
    s.out = XOpenDisplay(DisplayString(s.display));
    if (s.out == nullptr) s.out = s.display;
    if (!MakeFramebuffer() || !MakeImage()) {
        FreeFramebuffer();
        CloseOut();
        error("Full screen: scaled by SDL (%s)\n", s.image == nullptr ? "no usable X image" : "no framebuffer object");
        return false;
    }
    s.gc = XCreateGC(s.out, s.window, 0, nullptr);
    const unsigned long black = BlackPixel(s.out, DefaultScreen(s.out));
    XSetForeground(s.out, s.gc, black);
    // What is uncovered the server paints black itself; without a background
    // (as SDL leaves its windows) it would keep what covered it.
    XSetWindowBackground(s.out, s.window, black);
    s.bordered = false;
    for (std::vector<uint32_t>& frame : s.frames) frame.assign(size_t(width) * size_t(height) + Scaler::SLACK, 0);
    s.next = 0;
    s.threaded = s.out != s.display && StartShower();
    s.scaler.Prepare(width, height, s.outW, s.outH);
    s.mouseX = s.screenW / 2;
    s.mouseY = s.screenH / 2;
    s.pictureX = ToPicture(s.mouseX, s.left);
    s.pictureY = ToPicture(s.mouseY, s.top);
    s.active = true;
    return true;
}

void LetterboxStop() {
    if (!s.active) return;
    WaitForShower();
    s.active = false;
    XSetWindowBackgroundPixmap(s.out, s.window, None);
    FreeImage();
    if (s.gc != nullptr) XFreeGC(s.out, s.gc);
    s.gc = nullptr;
    FreeFramebuffer();
    CloseOut();
    s.display = nullptr;
}

void LetterboxPictureSize(int* width, int* height) {
    if (s.active) {
        *width = s.width;
        *height = s.height;
        return;
    }
    SDL_Surface* surface = SDL_GetVideoSurface();
    *width = surface != nullptr ? surface->w : 0;
    *height = surface != nullptr ? surface->h : 0;
}

bool LetterboxShow() {
    if (!s.active) return false;
    uint32_t* frame = s.frames[s.next].data();
    s.next ^= 1;
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    // Waits for the frame to be drawn; the shower may still be showing the
    // last one meanwhile.
    glReadPixels(0, 0, s.width, s.height, GL_RGBA, GL_UNSIGNED_BYTE, frame);
    if (!s.threaded) {
        Present(frame);
        return true;
    }
    WaitForShower();
    {
        std::lock_guard<std::mutex> hold(shower->lock);
        shower->job = frame;
    }
    shower->wake.notify_one();
    return true;
}

void LetterboxFinish() {
    if (!s.active) return;
    WaitForShower();
    XSync(s.out, False);
}

void LetterboxMouse(SDL_Event* event) {
    if (!s.active) return;
    if (event->type == SDL_MOUSEMOTION) {
        s.mouseX += event->motion.xrel;
        s.mouseY += event->motion.yrel;
        const long x = ToPicture(s.mouseX, s.left), y = ToPicture(s.mouseY, s.top);
        event->motion.xrel = Sint16(x - s.pictureX);
        event->motion.yrel = Sint16(y - s.pictureY);
        s.pictureX = x;
        s.pictureY = y;
        event->motion.x = Uint16(std::min(std::max(x, 0L), long(s.width - 1)));
        event->motion.y = Uint16(std::min(std::max(y, 0L), long(s.height - 1)));
    } else if (event->type == SDL_MOUSEBUTTONDOWN || event->type == SDL_MOUSEBUTTONUP) {
        event->button.x = Uint16(std::min(std::max(ToPicture(event->button.x, s.left), 0L), long(s.width - 1)));
        event->button.y = Uint16(std::min(std::max(ToPicture(event->button.y, s.top), 0L), long(s.height - 1)));
    }
}
