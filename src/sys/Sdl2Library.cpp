// SPDX-License-Identifier: MIT
#include "sys/Sdl2Library.h"

#include <dlfcn.h>

namespace {
const unsigned SDL2_INIT_GAMECONTROLLER = 0x00002000u;

// Fills fn from the library; false when the symbol is missing.
template <typename F>
bool Find(void* library, const char* name, F& fn) {
    fn = reinterpret_cast<F>(dlsym(library, name));
    return fn != nullptr;
}

bool Load(Sdl2Controllers& api) {
    // Only the copy sdl12-compat has loaded: a second SDL 2 would not see
    // its events or its window's focus.
    void* library = dlopen("libSDL2-2.0.so.0", RTLD_NOW | RTLD_NOLOAD);
    if (library == nullptr) return false;
    int (*initSubSystem)(unsigned) = nullptr;
    bool found = Find(library, "SDL_InitSubSystem", initSubSystem) &&
                 Find(library, "SDL_NumJoysticks", api.NumJoysticks) &&
                 Find(library, "SDL_IsGameController", api.IsGameController) &&
                 Find(library, "SDL_GameControllerOpen", api.GameControllerOpen) &&
                 Find(library, "SDL_GameControllerClose", api.GameControllerClose) &&
                 Find(library, "SDL_GameControllerGetAttached", api.GameControllerGetAttached) &&
                 Find(library, "SDL_GameControllerGetAxis", api.GameControllerGetAxis) &&
                 Find(library, "SDL_GameControllerGetButton", api.GameControllerGetButton) &&
                 Find(library, "SDL_GameControllerName", api.GameControllerName) &&
                 Find(library, "SDL_GameControllerUpdate", api.GameControllerUpdate);
    if (!found || initSubSystem(SDL2_INIT_GAMECONTROLLER) != 0) {
        dlclose(library);
        return false;
    }
    bool haveVirtual = Find(library, "SDL_JoystickAttachVirtual", api.JoystickAttachVirtual) &&
                       Find(library, "SDL_JoystickDetachVirtual", api.JoystickDetachVirtual) &&
                       Find(library, "SDL_JoystickOpen", api.JoystickOpen) &&
                       Find(library, "SDL_JoystickClose", api.JoystickClose) &&
                       Find(library, "SDL_JoystickSetVirtualAxis", api.JoystickSetVirtualAxis) &&
                       Find(library, "SDL_JoystickSetVirtualButton", api.JoystickSetVirtualButton);
    if (!haveVirtual) api.JoystickAttachVirtual = nullptr;
    // The reference is kept, so the functions stay valid to the end.
    return true;
}
}  // namespace

const Sdl2Controllers* GetSdl2Controllers() {
    static Sdl2Controllers api{};
    static const bool loaded = Load(api);
    return loaded ? &api : nullptr;
}
