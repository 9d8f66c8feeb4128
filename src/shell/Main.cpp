// SPDX-License-Identifier: MIT
// The process: the command line and the remembered settings, video up, the
// world state, the first picture, then the game for ever. It ends only
// through exit, which runs Cleanup (and, once the game is up, saves the
// settings).
#include <SDL/SDL.h>

#include <cstdio>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "sys/Display.h"
#include "sys/DataFolder.h"
#include "sys/Environment.h"
#include "sys/UserFiles.h"
#include "shell/Korvalend3d.h"
#include "shell/Options.h"
#include "shell/GameSettings.h"

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
    SeedRandom(FeedSeed());
    Screen::GetInstance()->Init();
    InitGlobals();
    // Something to look at while the rest loads.
    ImageServer::GetInstance()->DrawImage(PAUSE_SCREEN_IMAGE, 288, 88);
    FeedSwap();
}

namespace {
// --replay [FILE] or --timedemo FILE: a recording read now, before the game
// changes into its data folder.
void PlayBackIfAsked(const Options& options) {
    const bool paced = options.timedemoFile.empty();
    if (paced && options.replayFile.empty() && !options.replayLast) return;
    const std::string file = !paced ? AbsolutePath(options.timedemoFile)
                             : options.replayLast ? LastRecordingPath()
                                                  : AbsolutePath(options.replayFile);
    if (file.empty()) {
        error("Replay: no last game is kept without a home folder\n");
        EndPlayback(false);
    }
    std::string why;
    if (!FeedPlayBack(file, paced, why)) {
        error("Replay: %s: %s\n", file.c_str(), why.c_str());
        EndPlayback(false);
    }
    // A time demo draws as fast as it can.
    if (!paced) EnvTurnVsyncOff();
}

// --replay-info FILE: the recording described on standard output.
bool PrintReplayInfo(const std::string& file) {
    ReplayHeader header;
    std::vector<uint8_t> body;
    std::string why;
    if (!ReadReplayFile(file, header, body, why)) {
        error("Replay: %s: %s\n", file.c_str(), why.c_str());
        return false;
    }
    std::fputs(DescribeReplay(header, body).c_str(), stdout);
    return true;
}

// The window's class, named by the desktop entry (StartupWMClass) so that a
// task bar or a dock matches the window to its menu entry and icon; on
// Wayland the application's id is the entry's own name. SDL reads both when
// its video starts. A class the player set in the environment stays.
void NameTheApplication() {
    EnvSet("SDL_VIDEO_X11_WMCLASS", "korvalend3d", false);
    EnvSet("SDL_VIDEO_WAYLAND_WMCLASS", "org.korvalend.korvalend3d", false);
}

// The settings are kept only by a game that got as far as applying them.
bool keepSettings = false;

// The display went away: what needs no display is kept, as at a quit.
void SaveWithoutDisplay() {
    FeedSaveRecording();
    if (keepSettings) SaveSettingsAtQuit();
}

// A recording made with other models would play another game.
void CheckReplayData() {
    if (FeedPlaying() && FeedPlaybackHeader().dataHash != DataHash()) {
        error("Replay: the recording was made with other game data; not played\n");
        EndPlayback(false);
    }
}
}  // namespace

int SDL_main(int argc, char** argv) {
    const Options options = TakeOptions(argc, argv);
    if (!options.replayInfoFile.empty()) EndCommandLine(PrintReplayInfo(options.replayInfoFile) ? 0 : 1);
    PlayBackIfAsked(options);
    if (!FeedPlaying()) RecordGames();
    FindDataFolder(KORVALEND3D_DATA_FROM_BIN, KORVALEND3D_DATADIR, options.dataFolder);
    if (options.noSound) SoundLibrary_StaySilent();
    Settings settings = options.reset ? Settings() : LoadSettings();
    OverrideStartMode(options, &settings);
    NameTheApplication();
    if (SDL_Init(SDL_INIT_VIDEO) < 0) fatal("Video initialization failed: %s\n", SDL_GetError());
    std::atexit(Cleanup);
    DisplayOnLoss(SaveWithoutDisplay);
    ApplyStartMode(settings);
    Init();
    CheckReplayData();
    ApplySettings(settings);
    // Only a game that got this far has anything to remember; watching a
    // recording changes nothing the player keeps.
    if (!FeedPlaying()) {
        std::atexit(SaveSettingsAtQuit);
        keepSettings = true;
    }
    RunGame();
    return 0;
}

// SDL 1.2 renames main only on Windows and macOS.
int main(int argc, char** argv) { return SDL_main(argc, argv); }
