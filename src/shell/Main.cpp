// The process: video up, the world state, the first picture, then the game
// for ever. It ends only through exit, which runs Cleanup.
#include <SDL/SDL.h>

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "Korvalend3d.h"

namespace {
// The data folders are read by relative path. Started from elsewhere, the
// game looks for them beside its own executable.
void FindDataFolder() {
    struct stat info;
    if (stat("Models", &info) == 0 && S_ISDIR(info.st_mode)) return;
    char path[PATH_MAX];
    ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return;
    path[length] = '\0';
    char* slash = std::strrchr(path, '/');
    if (slash == nullptr) return;
    *slash = '\0';
    if (path[0] == '\0') return;
    if (chdir(path) != 0) myperror(path);
}
}  // namespace

void Cleanup() {
    CleanUpGlobals();
    SDL_Quit();
}

void Init() {
    srand(SDL_GetTicks());
    Screen::GetInstance()->Init();
    InitGlobals();
    // Something to look at while the rest loads.
    ImageServer::GetInstance()->DrawImage(PAUSE_SCREEN_IMAGE, 288, 88);
    SDL_GL_SwapBuffers();
}

int SDL_main(int argc, char** argv) {
    (void)argc;
    (void)argv;
    FindDataFolder();
    // The SDL 1.2 layer would otherwise draw full-screen modes into a scaled
    // off-screen buffer whose viewport does not match the one we set up, and
    // the picture comes out cropped. A value the user set is kept.
    setenv("SDL12COMPAT_OPENGL_SCALING", "0", 0);
    if (SDL_Init(SDL_INIT_VIDEO) < 0) fatal("Video initialization failed: %s\n", SDL_GetError());
    std::atexit(Cleanup);
    Init();
    RunGame();
    return 0;
}

// SDL 1.2 renames main only on Windows and macOS.
int main(int argc, char** argv) { return SDL_main(argc, argv); }
