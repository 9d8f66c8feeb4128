// The process: video up, the world state, the first picture, then the game
// for ever. It ends only through exit, which runs Cleanup.
#include <SDL/SDL.h>

#include <cstdio>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "DataFolder.h"
#include "UserFiles.h"
#include "Korvalend3d.h"

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
void Usage(FILE* to) {
    std::fprintf(to,
                 "Usage: korvalend3d [--replay [FILE] | --timedemo FILE]\n"
                 "  --replay [FILE]  watch a recorded game at its own pace (the last game\n"
                 "                   played when no FILE is named)\n"
                 "  --timedemo FILE  play a recorded game as fast as it can be drawn and\n"
                 "                   print the frame times\n");
}

// Every game is recorded, the last one kept as replays/last.kvr.
std::string LastRecording() { return UserDataFolder() + "/replays/last.kvr"; }

void RecordGames() {
    const std::string folder = UserDataFolder();
    if (folder.empty()) return;
    const std::string replays = folder + "/replays";
    if (!MakeFolders(replays)) {
        error("Replay: cannot make %s (%s); games are not recorded\n", replays.c_str(),
              std::strerror(errno));
        return;
    }
    FeedRecordTo(LastRecording());
}

// --replay FILE or --timedemo FILE, or nothing.
void ReadArguments(int argc, char** argv) {
    if (argc == 1) return;
    const std::string option = argv[1];
    if ((argc == 3 && (option == "--replay" || option == "--timedemo")) ||
        (argc == 2 && option == "--replay")) {
        const bool paced = option == "--replay";
        const std::string file = argc == 3 ? AbsolutePath(argv[2]) : LastRecording();
        std::string why;
        if (!FeedPlayBack(file, paced, why)) {
            error("Replay: %s: %s\n", file.c_str(), why.c_str());
            std::exit(1);
        }
        // A time demo draws as fast as it can.
        if (!paced) setenv("KORVALEND3D_VSYNC", "0", 1);
        return;
    }
    if (option == "--help") {
        Usage(stdout);
        std::exit(0);
    }
    Usage(stderr);
    std::exit(2);
}

// A recording made with other models would play another game.
void CheckReplayData() {
    if (FeedPlaying() && FeedPlaybackHeader().dataHash != DataHash()) {
        error("Replay: the recording was made with other game data; not played\n");
        std::exit(1);
    }
}
}  // namespace

int SDL_main(int argc, char** argv) {
    ReadArguments(argc, argv);
    if (!FeedPlaying()) RecordGames();
    FindDataFolder(KORVALEND3D_DATA_FROM_BIN, KORVALEND3D_DATADIR);
    if (SDL_Init(SDL_INIT_VIDEO) < 0) fatal("Video initialization failed: %s\n", SDL_GetError());
    std::atexit(Cleanup);
    Init();
    CheckReplayData();
    RunGame();
    return 0;
}

// SDL 1.2 renames main only on Windows and macOS.
int main(int argc, char** argv) { return SDL_main(argc, argv); }
