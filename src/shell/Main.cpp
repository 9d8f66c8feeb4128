// The process: the command line and the remembered settings, video up, the
// world state, the first picture, then the game for ever. It ends only
// through exit, which runs Cleanup (and, once the game is up, saves the
// settings).
#include <SDL/SDL.h>

#include <cstdio>
#include <cstdlib>

#include "DataFolder.h"
#include "Korvalend3d.h"
#include "Options.h"
#include "Settings.h"

// Set by the build: the data folder as installed, relative to the installed
// executable and as an absolute path.
#ifndef KORVALEND3D_DATA_FROM_BIN
#define KORVALEND3D_DATA_FROM_BIN ""
#endif
#ifndef KORVALEND3D_DATADIR
#define KORVALEND3D_DATADIR ""
#endif

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
    const Options options = TakeOptions(argc, argv);
    FindDataFolder(KORVALEND3D_DATA_FROM_BIN, KORVALEND3D_DATADIR, options.dataFolder);
    if (options.noSound) SoundLibrary_StaySilent();
    Settings settings = options.reset ? Settings() : LoadSettings();
    OverrideStartMode(options, &settings);
    if (SDL_Init(SDL_INIT_VIDEO) < 0) fatal("Video initialization failed: %s\n", SDL_GetError());
    std::atexit(Cleanup);
    ApplyStartMode(settings);
    Init();
    ApplySettings(settings);
    // Only a game that got this far has anything to remember.
    std::atexit(SaveSettingsAtQuit);
    RunGame();
    return 0;
}

// SDL 1.2 renames main only on Windows and macOS.
int main(int argc, char** argv) { return SDL_main(argc, argv); }
