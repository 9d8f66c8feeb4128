// SPDX-License-Identifier: MIT
#include "profile/Settings.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <charconv>
#include <cstring>
#include <vector>

#include "shell/MyError.h"
#include "sys/UserFiles.h"

namespace {
const char* const HEADER =
    "# Korvalend 3D remembers these from one run to the next; it writes this\n"
    "# file when it quits. Modes: 0 640x480, 1 800x600, 2 1024x768, 3 1152x864,\n"
    "# 4 1280x1024, 5 1600x1200. Volumes: 0 to 255. Brightness: percent, 50 to\n"
    "# 200 (100 draws the world as it is).\n";
const char* const CONTROLS_HEADER =
    "# Controls: for each action two keys, a mouse button and a pad button,\n"
    "# between bars, by name (SDL's key names, Mouse1 to Mouse5, PadA, PadB,\n"
    "# PadX, PadY, PadBack, PadStart, PadLeftStick, PadRightStick,\n"
    "# PadLeftShoulder, PadRightShoulder, PadUp, PadDown, PadLeft, PadRight);\n"
    "# nothing between two bars leaves a place empty. Escape always pauses.\n";
const std::string BIND = "bind_";
const char* const PLACES = "two keys, a mouse button and a pad button between bars";
const char* const PLACE_NAMES[BINDING_SLOTS] = {"key", "key", "mouse button", "pad button"};

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
    {"pad_dead_zone", nullptr, MOST_PAD_DEAD_ZONE, [](const Settings& s) { return s.padDeadZone; },
     [](Settings& s, int v) { s.padDeadZone = v; }},
};
const char* const SENSITIVITY = "mouse_sensitivity";

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
    if (value.empty() || value.size() > 5 || value.find_first_not_of("0123456789") != std::string::npos) return -1;
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

// The shortest text that reads back as the same number.
std::string Decimal(double v) {
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, v).ptr;
    return std::string(text, end);
}

bool ReadSensitivity(const std::string& value, double* sensitivity) {
    double v = 0.0;
    const auto got = std::from_chars(value.data(), value.data() + value.size(), v);
    if (value.empty() || got.ec != std::errc() || got.ptr != value.data() + value.size() ||
        !(v >= LEAST_MOUSE_SENSITIVITY && v <= MOST_MOUSE_SENSITIVITY))
        return false;
    *sensitivity = v;
    return true;
}

std::string BindingLine(const Bindings& b, int action) {
    std::string line = BIND + ActionWord(static_cast<Action>(action)) + " =";
    for (int slot = 0; slot < BINDING_SLOTS; ++slot)
        line += std::string(slot == 0 ? " " : " | ") + b.input[action][slot];
    return line + "\n";
}

int ActionOfWord(const std::string& word) {
    for (int a = 0; a < ACTION_COUNT; ++a)
        if (word == ActionWord(static_cast<Action>(a))) return a;
    return -1;
}

std::vector<std::string> SplitBars(const std::string& value) {
    std::vector<std::string> names;
    size_t start = 0;
    for (size_t bar; (bar = value.find('|', start)) != std::string::npos; start = bar + 1)
        names.push_back(Trim(value.substr(start, bar - start)));
    names.push_back(Trim(value.substr(start)));
    return names;
}

// One action's line; fromFile says which actions earlier lines set, so that
// a name bound twice in the file is said (taking one from the defaults is
// what rebinding means).
void ReadBindingLine(Settings& settings, int action, const std::string& value, bool fromFile[ACTION_COUNT],
                     const std::string& source, int number) {
    const char* word = ActionWord(static_cast<Action>(action));
    const std::vector<std::string> names = SplitBars(value);
    if (names.size() != BINDING_SLOTS) {
        error("%s:%d: \"%.60s\" is no value for %s%s (%s); ignored\n", source.c_str(), number, value.c_str(),
              BIND.c_str(), word, PLACES);
        return;
    }
    Bindings& b = settings.bindings;
    fromFile[action] = true;
    for (int slot = 0; slot < BINDING_SLOTS; ++slot) {
        const std::string& name = names[slot];
        if (!Bindable(name, slot)) {
            error("%s:%d: \"%.40s\" is no %s for %s%s; ignored\n", source.c_str(), number, name.c_str(),
                  PLACE_NAMES[slot], BIND.c_str(), word);
            continue;
        }
        Action other = Action::COUNT;
        int otherSlot = 0;
        if (FindBinding(b, name, &other, &otherSlot) && (static_cast<int>(other) != action || otherSlot != slot)) {
            b.input[static_cast<int>(other)][otherSlot].clear();
            if (fromFile[static_cast<int>(other)])
                error("%s:%d: \"%.40s\" is bound above too (%s); it works %s only\n", source.c_str(), number,
                      name.c_str(), ActionWord(other), word);
        }
        b.input[action][slot] = name;
    }
}
}  // namespace

bool Settings::operator==(const Settings& other) const {
    for (const Field& field : FIELDS)
        if (field.get(*this) != field.get(other)) return false;
    return bindings == other.bindings && mouseSensitivity == other.mouseSensitivity;
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
    double sensitivity = settings.mouseSensitivity;
    if (!(sensitivity >= LEAST_MOUSE_SENSITIVITY && sensitivity <= MOST_MOUSE_SENSITIVITY))
        sensitivity = Settings().mouseSensitivity;
    text += std::string(SENSITIVITY) + " = " + Decimal(sensitivity) + "\n" + CONTROLS_HEADER;
    for (int action = 0; action < ACTION_COUNT; ++action) text += BindingLine(settings.bindings, action);
    return text;
}

Settings ParseSettings(const std::string& text, const std::string& source) {
    Settings settings;
    bool bindingFromFile[ACTION_COUNT] = {};
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
        if (key.compare(0, BIND.size(), BIND) == 0 && ActionOfWord(key.substr(BIND.size())) >= 0) {
            ReadBindingLine(settings, ActionOfWord(key.substr(BIND.size())), value, bindingFromFile, source, number);
            continue;
        }
        if (key == SENSITIVITY) {
            if (!ReadSensitivity(value, &settings.mouseSensitivity))
                error("%s:%d: \"%.40s\" is no value for %s (%s to %s); ignored\n", source.c_str(), number,
                      value.c_str(), SENSITIVITY, Decimal(LEAST_MOUSE_SENSITIVITY).c_str(),
                      Decimal(MOST_MOUSE_SENSITIVITY).c_str());
            continue;
        }
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
