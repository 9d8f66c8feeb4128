// SPDX-License-Identifier: MIT
#include "sys/Environment.h"

#include <cstdlib>
#include <cstring>
#include <string>

namespace {
bool vsyncOff = false;
}

const char* EnvValue(const char* name) { return std::getenv(name); }

void EnvSet(const char* name, const char* value, bool overwrite) { setenv(name, value, overwrite ? 1 : 0); }

void EnvUnset(const char* name) { unsetenv(name); }

const char* EnvDataFolder() { return std::getenv(DATA_FOLDER_VARIABLE); }

bool EnvVsyncWanted() {
    const char* v = std::getenv("KORVALEND3D_VSYNC");
    return !vsyncOff && (v == nullptr || std::string(v) != "0");
}

void EnvTurnVsyncOff() { vsyncOff = true; }

bool EnvTestStates() {
    static const bool on = std::getenv("KORVALEND3D_TEST_STATES") != nullptr;
    return on;
}

double EnvTestFrameSeconds() {
    static const double seconds = [] {
        const char* v = std::getenv("KORVALEND3D_TEST_FPS");
        const double fps = v != nullptr ? std::atof(v) : 0.0;
        return fps > 0.0 ? 1.0 / fps : 0.0;
    }();
    return seconds;
}

bool EnvSdlScaling() {
    const char* v = std::getenv("KORVALEND3D_SDL_SCALING");
    return v != nullptr && std::strcmp(v, "1") == 0;
}

unsigned long EnvTestHoldFrame() {
    static const unsigned long frame = [] {
        const char* v = std::getenv("KORVALEND3D_TEST_HOLD_FRAME");
        return v != nullptr ? std::strtoul(v, nullptr, 10) : 0ul;
    }();
    return frame;
}

bool EnvTestRefusesMode(int width, int height) {
    const char* list = std::getenv("KORVALEND3D_TEST_REFUSE_MODES");
    if (list == nullptr) return false;
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    const std::string all = std::string(",") + list + ",";
    return all.find("," + size + ",") != std::string::npos;
}

const char* EnvTestPad() {
    static const char* path = std::getenv("KORVALEND3D_TEST_PAD");
    return path;
}
