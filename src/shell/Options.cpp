// SPDX-License-Identifier: MIT
#include "shell/Options.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "profile/Settings.h"

namespace {
// The screen's six modes, in its order.
const char* const MODE_NAMES[] = {"640x480", "800x600", "1024x768", "1152x864", "1280x1024", "1600x1200"};
const int NUM_MODES = 6;

const char* const USAGE =
    "usage: korvalend3d [OPTION]...\n"
    "A 3D arcade shooter in a wrapping cube of asteroids.\n"
    "\n"
    "  --fullscreen     start in full screen\n"
    "  --window         start in a window\n"
    "  --mode WxH       start at this size: 640x480, 800x600, 1024x768,\n"
    "                   1152x864, 1280x1024 or 1600x1200\n"
    "  --nosound        play without sound; no audio device is opened\n"
    "  --data DIR       read the game's data from DIR\n"
    "  --reset          start from the default settings, not the remembered ones\n"
    "  --replay [FILE]  watch a recorded game at its own pace (without FILE, the\n"
    "                   last game played)\n"
    "  --timedemo FILE  play a recorded game back as fast as it draws, timed\n"
    "  --help           show this and quit\n"
    "  --version        show the version and quit\n"
    "\n"
    "Without options the game starts as it was at the last quit (the first time\n"
    "in full screen at 800x600). Settings are kept in\n"
    "$XDG_CONFIG_HOME/korvalend3d/settings, high scores in\n"
    "$XDG_DATA_HOME/korvalend3d/scores (~/.config and ~/.local/share by default).\n";

enum Takes { NOTHING, ARGUMENT, MAYBE_ARGUMENT };
}  // namespace

bool ParseOptions(int argc, const char* const* argv, Options* options, std::string* complaint) {
    *options = Options();
    for (int i = 1; i < argc; ++i) {
        std::string word = argv[i], argument;
        bool inlineArgument = false;
        size_t equals = word.find('=');
        if (word.rfind("--", 0) == 0 && equals != std::string::npos) {
            argument = word.substr(equals + 1);
            word.resize(equals);
            inlineArgument = true;
        }
        const struct {
            const char* name;
            Takes takes;
        } known[] = {{"--fullscreen", NOTHING}, {"--window", NOTHING}, {"--mode", ARGUMENT},
                     {"--nosound", NOTHING},    {"--data", ARGUMENT},  {"--reset", NOTHING},
                     {"--replay", MAYBE_ARGUMENT},    {"--timedemo", ARGUMENT}, {"--help", NOTHING},
                     {"--version", NOTHING}};
        Takes takes = NOTHING;
        bool found = false;
        for (const auto& option : known)
            if (word == option.name) {
                found = true;
                takes = option.takes;
            }
        if (!found) {
            *complaint = "korvalend3d: unknown option \"" + std::string(argv[i]) + "\"";
            return false;
        }
        if (takes == NOTHING && inlineArgument) {
            *complaint = "korvalend3d: " + word + " takes no argument";
            return false;
        }
        // An optional argument is the next word unless that is an option.
        if (takes == MAYBE_ARGUMENT && !inlineArgument && i + 1 < argc &&
            std::string(argv[i + 1]).rfind("--", 0) != 0)
            argument = argv[++i];
        if (takes == ARGUMENT && !inlineArgument) {
            if (i + 1 >= argc) {
                *complaint = "korvalend3d: " + word + " needs an argument";
                return false;
            }
            argument = argv[++i];
        }
        if (takes == ARGUMENT && argument.empty()) {
            *complaint = "korvalend3d: " + word + " needs an argument";
            return false;
        }

        if (word == "--fullscreen") options->fullScreen = true;
        else if (word == "--window") options->fullScreen = false;
        else if (word == "--nosound") options->noSound = true;
        else if (word == "--data") options->dataFolder = argument;
        else if (word == "--reset") options->reset = true;
        else if (word == "--replay") {
            options->replayFile = argument;
            options->replayLast = argument.empty();
        }
        else if (word == "--timedemo") options->timedemoFile = argument;
        else if (word == "--help") options->help = true;
        else if (word == "--version") options->version = true;
        else if (word == "--mode") {
            options->mode = -1;
            for (int m = 0; m < NUM_MODES; ++m)
                if (argument == MODE_NAMES[m]) options->mode = m;
            if (options->mode < 0) {
                *complaint = "korvalend3d: --mode " + argument + " is not one of the sizes below";
                return false;
            }
        }
    }
    return true;
}

const char* UsageText() { return USAGE; }

std::string VersionText() { return std::string("korvalend3d ") + KORVALEND3D_VERSION; }

Options TakeOptions(int argc, char** argv) {
    Options options;
    std::string complaint;
    if (!ParseOptions(argc, argv, &options, &complaint)) {
        std::fprintf(stderr, "%s\n%s", complaint.c_str(), USAGE);
        std::exit(2);
    }
    if (options.help || options.version) {
        std::fputs(options.help ? USAGE : (VersionText() + "\n").c_str(), stdout);
        std::exit(0);
    }
    return options;
}

void OverrideStartMode(const Options& options, Settings* settings) {
    if (options.fullScreen.has_value()) settings->fullScreen = *options.fullScreen;
    if (options.mode < 0) return;
    if (settings->fullScreen)
        settings->fullScreenMode = options.mode;
    else
        settings->windowedMode = options.mode;
}
