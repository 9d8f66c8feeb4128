// SPDX-License-Identifier: MIT
#include "shell/Options.h"

#include <cstdio>
#include <cstring>

#include "profile/Settings.h"
#include "shell/MyError.h"

namespace {
// The screen's six modes, in its order.
const char* const MODE_NAMES[] = {"640x480", "800x600", "1024x768", "1152x864", "1280x1024", "1600x1200"};
const int NUM_MODES = 6;

enum Takes { NOTHING, ARGUMENT, MAYBE_ARGUMENT };

// One option: its name, what it takes, how its argument is shown in the
// usage, what it sets (a flag, a text, or through a function that says
// whether the argument is good) and its help (a new line goes on under the
// help's first column).
struct Option {
    const char* name;
    Takes takes;
    const char* argument;
    bool Options::*flag;
    std::string Options::*text;
    bool (*set)(Options& options, const std::string& argument, std::string* complaint);
    const char* help;
};

bool SetMode(Options& o, const std::string& argument, std::string* complaint) {
    o.mode = -1;
    for (int m = 0; m < NUM_MODES; ++m)
        if (argument == MODE_NAMES[m]) o.mode = m;
    if (o.mode < 0) *complaint = "korvalend3d: --mode " + argument + " is not one of the sizes below";
    return o.mode >= 0;
}

const Option OPTIONS[] = {
    {"--fullscreen", NOTHING, "", nullptr, nullptr,
     [](Options& o, const std::string&, std::string*) { o.fullScreen = true; return true; },
     "start in full screen"},
    {"--window", NOTHING, "", nullptr, nullptr,
     [](Options& o, const std::string&, std::string*) { o.fullScreen = false; return true; }, "start in a window"},
    {"--mode", ARGUMENT, "WxH", nullptr, nullptr, SetMode,
     "start at this size: 640x480, 800x600, 1024x768,\n1152x864, 1280x1024 or 1600x1200"},
    {"--nosound", NOTHING, "", &Options::noSound, nullptr, nullptr, "play without sound; no audio device is opened"},
    {"--data", ARGUMENT, "DIR", nullptr, &Options::dataFolder, nullptr, "read the game's data from DIR"},
    {"--reset", NOTHING, "", &Options::reset, nullptr, nullptr,
     "start from the default settings, not the remembered ones"},
    {"--replay", MAYBE_ARGUMENT, "[FILE]", &Options::replayLast, &Options::replayFile, nullptr,
     "watch a recorded game at its own pace (without FILE, the\nlast game played)"},
    {"--timedemo", ARGUMENT, "FILE", nullptr, &Options::timedemoFile, nullptr,
     "play a recorded game back as fast as it draws, timed"},
    {"--replay-info", ARGUMENT, "FILE", nullptr, &Options::replayInfoFile, nullptr,
     "describe a recorded game (its header and records) and quit"},
    {"--help", NOTHING, "", &Options::help, nullptr, nullptr, "show this and quit"},
    {"--version", NOTHING, "", &Options::version, nullptr, nullptr, "show the version and quit"},
};

// Where the help starts on a line of the usage.
const size_t HELP_COLUMN = 19;

std::string MakeUsage() {
    std::string text =
        "usage: korvalend3d [OPTION]...\n"
        "A 3D arcade shooter in a wrapping cube of asteroids.\n"
        "\n";
    for (const Option& option : OPTIONS) {
        std::string left = std::string("  ") + option.name + (*option.argument != '\0' ? " " : "") + option.argument;
        // A long name has its help on the next line.
        if (left.size() + 2 > HELP_COLUMN) left += "\n";
        text += left + std::string(HELP_COLUMN - (left.back() == '\n' ? 0 : left.size()), ' ');
        for (const char* c = option.help; *c != '\0'; ++c)
            text += *c == '\n' ? "\n" + std::string(HELP_COLUMN, ' ') : std::string(1, *c);
        text += "\n";
    }
    text +=
        "\n"
        "Without options the game starts as it was at the last quit (the first time\n"
        "in full screen at 800x600). Settings are kept in\n"
        "$XDG_CONFIG_HOME/korvalend3d/settings, high scores in\n"
        "$XDG_DATA_HOME/korvalend3d/scores (~/.config and ~/.local/share by default).\n";
    return text;
}
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
        const Option* option = nullptr;
        for (const Option& known : OPTIONS)
            if (word == known.name) option = &known;
        if (option == nullptr) {
            *complaint = "korvalend3d: unknown option \"" + std::string(argv[i]) + "\"";
            return false;
        }
        if (option->takes == NOTHING && inlineArgument) {
            *complaint = "korvalend3d: " + word + " takes no argument";
            return false;
        }
        // An optional argument is the next word unless that is an option.
        if (option->takes == MAYBE_ARGUMENT && !inlineArgument && i + 1 < argc &&
            std::string(argv[i + 1]).rfind("--", 0) != 0)
            argument = argv[++i];
        if (option->takes == ARGUMENT && !inlineArgument) {
            if (i + 1 >= argc) {
                *complaint = "korvalend3d: " + word + " needs an argument";
                return false;
            }
            argument = argv[++i];
        }
        if (option->takes == ARGUMENT && argument.empty()) {
            *complaint = "korvalend3d: " + word + " needs an argument";
            return false;
        }
        // A flag beside a text is set when the text is left out.
        if (option->flag != nullptr) options->*option->flag = option->text == nullptr || argument.empty();
        if (option->text != nullptr) options->*option->text = argument;
        if (option->set != nullptr && !option->set(*options, argument, complaint)) return false;
    }
    return true;
}

const char* UsageText() {
    static const std::string usage = MakeUsage();
    return usage.c_str();
}

std::string VersionText() { return std::string("korvalend3d ") + KORVALEND3D_VERSION; }

Options TakeOptions(int argc, char** argv) {
    Options options;
    std::string complaint;
    if (!ParseOptions(argc, argv, &options, &complaint)) {
        std::fprintf(stderr, "%s\n%s", complaint.c_str(), UsageText());
        EndCommandLine(2);
    }
    if (options.help || options.version) {
        std::fputs(options.help ? UsageText() : (VersionText() + "\n").c_str(), stdout);
        EndCommandLine(0);
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
