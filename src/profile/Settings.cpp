// SPDX-License-Identifier: MIT
#include "profile/Settings.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>

#include "shell/MyError.h"
#include "sys/UserFiles.h"

namespace {
const char* const HEADER =
    "# Korvalend 3D remembers these from one run to the next; it writes this\n"
    "# file when it quits. Modes: 0 640x480, 1 800x600, 2 1024x768, 3 1152x864,\n"
    "# 4 1280x1024, 5 1600x1200. Volumes: 0 to 255. Brightness: percent, 50 to\n"
    "# 200 (100 draws the world as it is).\n";

// The words of a value, by its number; null ends the list.
const char* const YES_NO[] = {"no", "yes", nullptr};
const char* const SCREENS[] = {"window", "fullscreen", nullptr};
const char* const CAMERAS[] = {"cockpit", "chase", "fixed", nullptr};  // as Settings::camera
const char* const MUSIC[] = {"arcade", "songs", "off", nullptr};       // as Settings::musicMode

const int LEAST_BRIGHTNESS = 50, MOST_BRIGHTNESS = 200;
int BrightnessPercent(double brightness) {
    return std::clamp(int(std::lround(brightness * 100.0)), LEAST_BRIGHTNESS, MOST_BRIGHTNESS);
}

// One line of the file: a value written as one of its words, or as a
// number from 0 to most when there are none.
struct Field {
    const char* key;
    const char* const* words;
    int most;
    int (*get)(const Settings&);
    void (*set)(Settings&, int);
};

const Field FIELDS[] = {
    {"screen", SCREENS, 1, [](const Settings& s) { return int(s.fullScreen); },
     [](Settings& s, int v) { s.fullScreen = v != 0; }},
    {"fullscreen_mode", nullptr, 5, [](const Settings& s) { return s.fullScreenMode; },
     [](Settings& s, int v) { s.fullScreenMode = v; }},
    {"window_mode", nullptr, 5, [](const Settings& s) { return s.windowedMode; },
     [](Settings& s, int v) { s.windowedMode = v; }},
    {"camera", CAMERAS, 2, [](const Settings& s) { return s.camera; },
     [](Settings& s, int v) { s.camera = v; }},
    {"music", MUSIC, 2, [](const Settings& s) { return s.musicMode; }, [](Settings& s, int v) { s.musicMode = v; }},
    {"effects_volume", nullptr, 255, [](const Settings& s) { return s.effectsVolume; },
     [](Settings& s, int v) { s.effectsVolume = v; }},
    {"music_volume", nullptr, 255, [](const Settings& s) { return s.musicVolume; },
     [](Settings& s, int v) { s.musicVolume = v; }},
    {"invert_controls", YES_NO, 1, [](const Settings& s) { return int(s.invertControls); },
     [](Settings& s, int v) { s.invertControls = v != 0; }},
    {"particles", YES_NO, 1, [](const Settings& s) { return int(s.particles); },
     [](Settings& s, int v) { s.particles = v != 0; }},
    // Whole percent; less than the least is the least.
    {"brightness", nullptr, MOST_BRIGHTNESS, [](const Settings& s) { return BrightnessPercent(s.brightness); },
     [](Settings& s, int v) { s.brightness = std::max(v, LEAST_BRIGHTNESS) / 100.0; }},
    {"vertical_sync", YES_NO, 1, [](const Settings& s) { return int(s.verticalSync); },
     [](Settings& s, int v) { s.verticalSync = v != 0; }},
    {"frame_counter", YES_NO, 1, [](const Settings& s) { return int(s.frameCounter); },
     [](Settings& s, int v) { s.frameCounter = v != 0; }},
};

std::string Trim(const std::string& s) {
    size_t first = s.find_first_not_of(" \t\r");
    if (first == std::string::npos) return "";
    return s.substr(first, s.find_last_not_of(" \t\r") - first + 1);
}

// The value's number, or -1 when it is none of the field's.
int ValueOf(const Field& field, const std::string& value) {
    if (field.words != nullptr) {
        for (int i = 0; field.words[i] != nullptr; ++i)
            if (value == field.words[i]) return i;
        return -1;
    }
    if (value.empty() || value.size() > 3 || value.find_first_not_of("0123456789") != std::string::npos) return -1;
    int number = std::stoi(value);
    return number <= field.most ? number : -1;
}

std::string Allowed(const Field& field) {
    if (field.words == nullptr) return "0 to " + std::to_string(field.most);
    std::string words;
    for (int i = 0; field.words[i] != nullptr; ++i)
        words += std::string(i == 0 ? "" : field.words[i + 1] == nullptr ? " or " : ", ") + field.words[i];
    return words;
}
}  // namespace

bool Settings::operator==(const Settings& other) const {
    for (const Field& field : FIELDS)
        if (field.get(*this) != field.get(other)) return false;
    return true;
}

std::string SettingsPath() {
    const std::string folder = UserConfigFolder();
    return folder.empty() ? "" : folder + "/settings";
}

std::string FormatSettings(const Settings& settings) {
    std::string text = HEADER;
    for (const Field& field : FIELDS) {
        int value = field.get(settings);
        if (value < 0 || value > field.most) value = field.get(Settings());
        text += std::string(field.key) + " = " +
                (field.words != nullptr ? field.words[value] : std::to_string(value)) + "\n";
    }
    return text;
}

Settings ParseSettings(const std::string& text, const std::string& source) {
    Settings settings;
    size_t start = 0;
    for (int number = 1; start < text.size(); ++number) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string line = Trim(text.substr(start, end - start));
        start = end + 1;
        if (line.empty() || line[0] == '#') continue;
        size_t equals = line.find('=');
        if (equals == std::string::npos) {
            error("%s:%d: not a \"key = value\" line; ignored\n", source.c_str(), number);
            continue;
        }
        const std::string key = Trim(line.substr(0, equals)), value = Trim(line.substr(equals + 1));
        const Field* field = nullptr;
        for (const Field& f : FIELDS)
            if (key == f.key) field = &f;
        if (field == nullptr) {
            error("%s:%d: unknown key \"%.40s\"; ignored\n", source.c_str(), number, key.c_str());
            continue;
        }
        int v = ValueOf(*field, value);
        if (v < 0) {
            error("%s:%d: \"%.40s\" is no value for %s (%s); ignored\n", source.c_str(), number, value.c_str(),
                  field->key, Allowed(*field).c_str());
            continue;
        }
        field->set(settings, v);
    }
    return settings;
}

Settings LoadSettings() {
    const std::string path = SettingsPath();
    std::string text;
    if (path.empty()) return Settings();  // no home: nothing was kept
    if (!ReadFileBytes(path, &text)) {
        if (errno != ENOENT)
            error("Settings: cannot read \"%s\" (%s); starting from the defaults\n", path.c_str(), std::strerror(errno));
        return Settings();
    }
    return ParseSettings(text, path);
}

bool SaveSettings(const Settings& settings) {
    const std::string folder = UserConfigFolder(), path = SettingsPath();
    if (folder.empty()) return false;  // no home: nothing is kept
    if (MakeFolders(folder) && WriteFileAtomically(path, FormatSettings(settings))) return true;
    error("Settings: cannot write \"%s\" (%s); they are not remembered\n", path.c_str(), std::strerror(errno));
    return false;
}
