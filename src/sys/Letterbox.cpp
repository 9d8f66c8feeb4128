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
#include <cmath>
#include <cstdlib>
#include <cstdint>
#include <cstring>
#include <functional>
#include <system_error>
#include <thread>
#include <vector>

#include "shell/MyError.h"
#include "sys/Environment.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#define KORVALEND_LETTERBOX 1
#else
#define KORVALEND_LETTERBOX 0
#endif

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

// One source column or row pair of the bilinear filter: the two samples and
// the second one's weight out of 256, as the renderer's own filter takes them.
struct Tap {
    int first, second;
    uint32_t weight;
};

// Two source rows scaled across, and which rows they are: one pair for each
// band of the picture scaled at once.
struct RowPair {
    std::vector<uint16_t> a, b;
    int aIs = -1, bIs = -1;
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

    Display* display = nullptr;
    Window window = 0;
    GC gc = nullptr;
    XImage* image = nullptr;
    XShmSegmentInfo shm{};
    bool shared = false, putPending = false;

    std::vector<uint32_t> frame;  // as read back, bottom row first
    std::vector<Tap> columns, rows;
    RowPair bands[2];
};
State s;

// Sample i of an axis of n source pixels drawn over m: centres mapped to
// centres, the edges clamped, the weight in 1/256ths.
std::vector<Tap> Taps(int n, int m) {
    std::vector<Tap> taps(static_cast<size_t>(m));
    for (int i = 0; i < m; ++i) {
        const long fixed = long(std::floor(((i + 0.5) * n / m - 0.5) * 256.0));
        long first = fixed >> 8;
        uint32_t weight = uint32_t(fixed & 0xFF);
        if (first < 0) first = 0, weight = 0;
        if (first >= n - 1) first = n - 1, weight = 0;
        taps[size_t(i)] = {int(first), int(first + 1 < n ? first + 1 : first), weight};
    }
    return taps;
}

#if KORVALEND_LETTERBOX
// A source row scaled across, each channel in a 16-bit lane.
void ScaleRow(int source, std::vector<uint16_t>& out) {
    const uint32_t* in = s.frame.data() + size_t(source) * size_t(s.width);
    const __m128i zero = _mm_setzero_si128(), half = _mm_set1_epi32(128);
    const size_t n = s.columns.size();
    for (size_t x = 0; x < n; x += 2) {
        // The two samples of each pixel side by side, channel by channel,
        // against their weights: one multiply-add gives the four channels.
        const Tap& t0 = s.columns[x];
        const Tap& t1 = s.columns[x + 1 < n ? x + 1 : x];
        const __m128i p0 = _mm_unpacklo_epi8(
            _mm_unpacklo_epi8(_mm_cvtsi32_si128(int(in[t0.first])), _mm_cvtsi32_si128(int(in[t0.second]))), zero);
        const __m128i p1 = _mm_unpacklo_epi8(
            _mm_unpacklo_epi8(_mm_cvtsi32_si128(int(in[t1.first])), _mm_cvtsi32_si128(int(in[t1.second]))), zero);
        const __m128i w0 = _mm_set1_epi32(int((t0.weight << 16) | (256 - t0.weight)));
        const __m128i w1 = _mm_set1_epi32(int((t1.weight << 16) | (256 - t1.weight)));
        const __m128i c0 = _mm_srli_epi32(_mm_add_epi32(_mm_madd_epi16(p0, w0), half), 8);
        const __m128i c1 = _mm_srli_epi32(_mm_add_epi32(_mm_madd_epi16(p1, w1), half), 8);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out.data() + 4 * x), _mm_packs_epi32(c0, c1));
    }
}

// Rows [y0, y1) of the frame, scaled, into the image (top row first).
void ScaleBand(int y0, int y1, RowPair& rows) {
    const int w = s.outW;
    const __m128i half = _mm_set1_epi32(128);
    for (int y = y0; y < y1; ++y) {
        const Tap& t = s.rows[size_t(y)];
        if (t.first != rows.aIs) {
            if (t.first == rows.bIs) {
                std::swap(rows.a, rows.b);
                std::swap(rows.aIs, rows.bIs);
            } else {
                ScaleRow(t.first, rows.a);
                rows.aIs = t.first;
            }
        }
        if (t.second != rows.bIs) {
            ScaleRow(t.second, rows.b);
            rows.bIs = t.second;
        }
        char* out = s.image->data + size_t(s.outH - 1 - y) * size_t(s.image->bytes_per_line);
        const __m128i weights = _mm_set1_epi32(int((t.weight << 16) | (256 - t.weight)));
        const uint16_t* a = rows.a.data();
        const uint16_t* b = rows.b.data();
        for (int x = 0; x < w; x += 2) {
            const __m128i va = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + 4 * x));
            const __m128i vb = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + 4 * x));
            const __m128i lo = _mm_madd_epi16(_mm_unpacklo_epi16(va, vb), weights);
            const __m128i hi = _mm_madd_epi16(_mm_unpackhi_epi16(va, vb), weights);
            const __m128i sums = _mm_packs_epi32(_mm_srli_epi32(_mm_add_epi32(lo, half), 8),
                                                 _mm_srli_epi32(_mm_add_epi32(hi, half), 8));
            const __m128i pixels = _mm_packus_epi16(sums, sums);
            if (x + 1 < w)
                _mm_storel_epi64(reinterpret_cast<__m128i*>(out + 4 * x), pixels);
            else {
                const int last = _mm_cvtsi128_si32(pixels);
                std::memcpy(out + 4 * x, &last, 4);
            }
        }
    }
    rows.aIs = rows.bIs = -1;
}

// The frame, scaled, into the image: its two halves at once, since the
// renderer's own threads wait while it is scaled. Each row is computed alone,
// so the picture is the same as one pass makes.
void Scale() {
    const int middle = s.outH / 2;
    std::thread top;
    try {
        top = std::thread(ScaleBand, 0, middle, std::ref(s.bands[1]));
    } catch (const std::system_error&) {
        ScaleBand(0, middle, s.bands[1]);  // no thread to be had: one after the other
    }
    ScaleBand(middle, s.outH, s.bands[0]);
    if (top.joinable()) top.join();
}

#else
// Without SSE2 the scaling stays with SDL (LetterboxWanted says no).
void Scale() {}
#endif

bool attachFailed = false;
int NoteAttachError(Display*, XErrorEvent*) {
    attachFailed = true;
    return 0;
}

void FreeImage() {
    if (s.image == nullptr) return;
    XSync(s.display, False);
    if (s.shared) {
        XShmDetach(s.display, &s.shm);
        XSync(s.display, False);
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
    if (!XGetWindowAttributes(s.display, s.window, &attributes)) return false;
    Visual* visual = attributes.visual;
    const int depth = attributes.depth;
    const bool littleEndian = SDL_BYTEORDER == SDL_LIL_ENDIAN;
    if (visual->red_mask != 0xFF0000 || visual->green_mask != 0xFF00 || visual->blue_mask != 0xFF) return false;

    if (XShmQueryExtension(s.display)) {
        s.image = XShmCreateImage(s.display, visual, unsigned(depth), ZPixmap, nullptr, &s.shm, unsigned(s.outW),
                                  unsigned(s.outH));
        if (s.image != nullptr) {
            s.shm.shmid = shmget(IPC_PRIVATE, size_t(s.image->bytes_per_line) * size_t(s.outH), IPC_CREAT | 0600);
            void* at = s.shm.shmid >= 0 ? shmat(s.shm.shmid, nullptr, 0) : reinterpret_cast<void*>(-1);
            if (at != reinterpret_cast<void*>(-1)) {
                s.shm.shmaddr = s.image->data = static_cast<char*>(at);
                s.shm.readOnly = True;
                attachFailed = false;
                XSync(s.display, False);
                XErrorHandler previous = XSetErrorHandler(NoteAttachError);
                const bool attached = XShmAttach(s.display, &s.shm) && (XSync(s.display, False), !attachFailed);
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
        s.image = XCreateImage(s.display, visual, unsigned(depth), ZPixmap, 0, nullptr, unsigned(s.outW),
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
    return KORVALEND_LETTERBOX && !s.hardwareSeen && UsingX() && !EnvSdlScaling();
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
    if (!MakeFramebuffer() || !MakeImage()) {
        FreeFramebuffer();
        error("Full screen: scaled by SDL (%s)\n", s.image == nullptr ? "no usable X image" : "no framebuffer object");
        return false;
    }
    s.gc = XCreateGC(s.display, s.window, 0, nullptr);
    XSetForeground(s.display, s.gc, BlackPixel(s.display, DefaultScreen(s.display)));
    s.frame.assign(size_t(width) * size_t(height), 0);
    s.columns = Taps(width, s.outW);
    s.rows = Taps(height, s.outH);
    // Room for a whole pair of pixels at the end of a row.
    for (RowPair& band : s.bands) {
        band.a.assign(4 * size_t(s.outW + 1), 0);
        band.b.assign(4 * size_t(s.outW + 1), 0);
    }
    s.mouseX = s.screenW / 2;
    s.mouseY = s.screenH / 2;
    s.pictureX = ToPicture(s.mouseX, s.left);
    s.pictureY = ToPicture(s.mouseY, s.top);
    s.active = true;
    return true;
}

void LetterboxStop() {
    if (!s.active) return;
    s.active = false;
    FreeImage();
    if (s.gc != nullptr) XFreeGC(s.display, s.gc);
    s.gc = nullptr;
    FreeFramebuffer();
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
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, s.width, s.height, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, s.frame.data());
    // The server has read the last frame out of shared memory before it is
    // written again.
    if (s.putPending && s.shared) XSync(s.display, False);
    Scale();
    if (s.left > 0) {
        XFillRectangle(s.display, s.window, s.gc, 0, 0, unsigned(s.left), unsigned(s.screenH));
        XFillRectangle(s.display, s.window, s.gc, s.left + s.outW, 0, unsigned(s.screenW - s.left - s.outW),
                       unsigned(s.screenH));
    }
    if (s.top > 0) {
        XFillRectangle(s.display, s.window, s.gc, 0, 0, unsigned(s.screenW), unsigned(s.top));
        XFillRectangle(s.display, s.window, s.gc, 0, s.top + s.outH, unsigned(s.screenW),
                       unsigned(s.screenH - s.top - s.outH));
    }
    if (s.shared)
        XShmPutImage(s.display, s.window, s.gc, s.image, 0, 0, s.left, s.top, unsigned(s.outW), unsigned(s.outH),
                     False);
    else
        XPutImage(s.display, s.window, s.gc, s.image, 0, 0, s.left, s.top, unsigned(s.outW), unsigned(s.outH));
    XFlush(s.display);
    s.putPending = true;
    return true;
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
