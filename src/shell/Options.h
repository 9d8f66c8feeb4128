// SPDX-License-Identifier: MIT
// The command line. Without options the game starts as it always has (with
// the remembered settings, when there are any).
#ifndef KORVALEND_OPTIONS_H
#define KORVALEND_OPTIONS_H

#include <optional>
#include <string>

struct Settings;

struct Options {
    std::optional<bool> fullScreen;  // --fullscreen or --window, the last one given
    int mode = -1;                   // --mode WxH: the screen's mode 0 ... 5
    bool noSound = false;            // --nosound
    std::string dataFolder;          // --data DIR
    bool reset = false;              // --reset: the default settings
    std::string replayFile;          // --replay FILE
    bool replayLast = false;         // --replay alone: the last game played
    std::string timedemoFile;        // --timedemo FILE
    std::string replayInfoFile;      // --replay-info FILE
    bool help = false;               // --help
    bool version = false;            // --version
};

// False, with *complaint (one line), for an unknown or wrong option or a
// missing argument. An argument may also follow as --mode=WxH.
bool ParseOptions(int argc, const char* const* argv, Options* options, std::string* complaint);

const char* UsageText();
// "korvalend3d " and the version.
std::string VersionText();

// ParseOptions for the game: the usage on standard output for --help and
// the version for --version end the process with 0; a wrong command line
// ends it with 2 after the complaint and the usage on standard error.
Options TakeOptions(int argc, char** argv);

// The start the options ask for, over the remembered one: --mode sets the
// mode of the kind the game starts in.
void OverrideStartMode(const Options& options, Settings* settings);

#endif
