// SPDX-License-Identifier: MIT
#include "sys/Display.h"

#include <SDL/SDL.h>

#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <dlfcn.h>
#include <link.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "shell/MyError.h"
#include "sys/Environment.h"

namespace {
bool UsingX() {
    char name[32];
    return SDL_VideoDriverName(name, sizeof name) != nullptr && std::strcmp(name, "x11") == 0;
}

// Our own connection for questions, used by the game's thread only.
Display* QueryDisplay() {
    static Display* display = nullptr;
    static bool tried = false;
    if (!tried && UsingX()) {
        tried = true;
        display = XOpenDisplay(nullptr);
    }
    return display;
}

// SDL 1.2's key symbols are X's for Latin-1 and, shifted, for the keypad.
KeySym ToKeySym(int sdlKey) {
    switch (sdlKey) {
    case SDLK_BACKSPACE: return XK_BackSpace;
    case SDLK_TAB: return XK_Tab;
    case SDLK_RETURN: return XK_Return;
    case SDLK_ESCAPE: return XK_Escape;
    case SDLK_DELETE: return XK_Delete;
    default: break;
    }
    if (sdlKey >= 32 && sdlKey < 127) return static_cast<KeySym>(sdlKey);
    if (sdlKey >= SDLK_KP0 && sdlKey <= SDLK_KP9) return XK_KP_0 + (sdlKey - SDLK_KP0);
    return NoSymbol;
}

std::atomic<bool> lost{false}, ending{false}, ended{false};
std::thread::id gameThread;
void (*saveOnLoss)() = nullptr;
// How long the watcher waits for the game's thread to end the process, and
// for that thread's saving, in steps of 10 ms.
const int WAIT_FOR_GAME_STEPS = 300, WAIT_FOR_SAVE_STEPS = 1000;

void SayGone() {
    static std::atomic<bool> said{false};
    if (!said.exchange(true)) {
        const char* name = EnvValue("DISPLAY");
        error("The display %s has gone away; the game ends\n", name != nullptr ? name : "");
    }
}

// Xlib's handler for a lost connection, on whichever thread found it; it
// must not return. The game's own thread ends at once; the watcher leaves
// that to the game's thread, which is never stopped halfway through a step
// (a file half written, a temporary file left).
int OnConnectionLost(Display*) {
    lost = true;
    if (std::this_thread::get_id() == gameThread) DisplayEnd();
    const auto step = std::chrono::milliseconds(10);
    for (int i = 0; i < WAIT_FOR_GAME_STEPS && !ending; ++i) std::this_thread::sleep_for(step);
    for (int i = 0; i < WAIT_FOR_SAVE_STEPS && ending && !ended; ++i) std::this_thread::sleep_for(step);
    SayGone();
    _exit(1);
}

void Watch(Display* display) {
    pollfd p{ConnectionNumber(display), POLLIN, 0};
    for (;;) {
        if (poll(&p, 1, -1) < 0) continue;
        // Whatever the server sends is read; a closed connection ends here.
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
        }
    }
}

int PinIfDriver(dl_phdr_info* info, size_t, void* names) {
    const std::string name = info->dlpi_name != nullptr ? info->dlpi_name : "";
    for (const char* part : {"_dri.so", "libglapi", "libGLX", "libgallium", "libLLVM", "libEGL"})
        if (name.find(part) != std::string::npos) {
            static_cast<std::vector<std::string>*>(names)->push_back(name);
            break;
        }
    return 0;
}
}  // namespace

bool HeldInput::Key(int sdlKey) const {
    Display* display = QueryDisplay();
    const KeySym sym = ToKeySym(sdlKey);
    if (display == nullptr || sym == NoSymbol) return false;
    const KeyCode code = XKeysymToKeycode(display, sym);
    return code != 0 && (keymap[code / 8] & (1 << (code % 8))) != 0;
}

bool HeldInput::Button(int button) const {
    if (button < 1 || button > 5) return false;
    return (buttons & (Button1Mask << (button - 1))) != 0;
}

bool DisplayHeldInput(HeldInput& held) {
    Display* display = QueryDisplay();
    if (display == nullptr) return false;
    XQueryKeymap(display, held.keymap);
    Window root, child;
    int rx, ry, wx, wy;
    if (!XQueryPointer(display, DefaultRootWindow(display), &root, &child, &rx, &ry, &wx, &wy,
                       &held.buttons))
        held.buttons = 0;
    return true;
}

void DisplayOnLoss(void (*save)()) { saveOnLoss = save; }

bool DisplayGone() { return lost; }

void DisplayEnd() {
    // A second loss found while saving (the save needs no display, but a
    // sound or a driver might ask for it) ends at once.
    if (ending.exchange(true)) _exit(1);
    SayGone();
    if (saveOnLoss != nullptr) saveOnLoss();
    ended = true;
    // Nothing that needs the display may run now: no exit handlers.
    _exit(1);
}

void DisplayWatch() {
    static bool watching = false;
    if (watching || !UsingX()) return;
    gameThread = std::this_thread::get_id();
    XSetIOErrorHandler(OnConnectionLost);
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) return;
    watching = true;
    std::thread(Watch, display).detach();
}

void DisplayPinDriver() {
    std::vector<std::string> names;
    dl_iterate_phdr(PinIfDriver, &names);
    for (const std::string& name : names) dlopen(name.c_str(), RTLD_LAZY | RTLD_NOLOAD | RTLD_NODELETE);
}
