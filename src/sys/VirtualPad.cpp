// SPDX-License-Identifier: MIT
#include "sys/VirtualPad.h"

#include "sys/Environment.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "sys/Gamepad.h"
#include "sys/Sdl2Library.h"

namespace {
const int SDL2_JOYSTICK_TYPE_GAMECONTROLLER = 1;

struct Virtual {
    int deviceIndex = -1;
    void* joystick = nullptr;
};
Virtual virtualPad;

const Sdl2Controllers* VirtualApi() {
    const Sdl2Controllers* sdl = GetSdl2Controllers();
    return sdl != nullptr && sdl->JoystickAttachVirtual != nullptr ? sdl : nullptr;
}

// A mapped trigger reads the joystick's whole range as 0..32767.
int RawAxis(int axis, int value) {
    if (axis == PAD_LEFT_TRIGGER || axis == PAD_RIGHT_TRIGGER) return 2 * value - PAD_AXIS_MAX;
    return value;
}

void Run(const char* line) {
    int n = 0, value = 0;
    if (std::strcmp(line, "attach") == 0)
        VirtualPad_Attach();
    else if (std::strcmp(line, "detach") == 0)
        VirtualPad_Detach();
    else if (std::sscanf(line, "axis %d %d", &n, &value) == 2)
        VirtualPad_SetAxis(n, value);
    else if (std::sscanf(line, "button %d %d", &n, &value) == 2)
        VirtualPad_SetButton(n, value != 0);
}
}  // namespace

bool VirtualPad_Attach() {
    const Sdl2Controllers* sdl = VirtualApi();
    if (sdl == nullptr || virtualPad.joystick != nullptr) return false;
    int index = sdl->JoystickAttachVirtual(SDL2_JOYSTICK_TYPE_GAMECONTROLLER, NUM_PAD_AXES,
                                           NUM_PAD_BUTTONS, 0);
    if (index < 0) return false;
    virtualPad.joystick = sdl->JoystickOpen(index);
    if (virtualPad.joystick == nullptr) {
        sdl->JoystickDetachVirtual(index);
        return false;
    }
    virtualPad.deviceIndex = index;
    // Triggers at rest, not half pulled.
    VirtualPad_SetAxis(PAD_LEFT_TRIGGER, 0);
    VirtualPad_SetAxis(PAD_RIGHT_TRIGGER, 0);
    return true;
}

void VirtualPad_Detach() {
    const Sdl2Controllers* sdl = VirtualApi();
    if (sdl == nullptr || virtualPad.joystick == nullptr) return;
    sdl->JoystickClose(virtualPad.joystick);
    sdl->JoystickDetachVirtual(virtualPad.deviceIndex);
    virtualPad = Virtual();
}

void VirtualPad_SetAxis(int axis, int value) {
    const Sdl2Controllers* sdl = VirtualApi();
    if (sdl == nullptr || virtualPad.joystick == nullptr) return;
    sdl->JoystickSetVirtualAxis(virtualPad.joystick, axis, static_cast<int16_t>(RawAxis(axis, value)));
}

void VirtualPad_SetButton(int button, bool down) {
    const Sdl2Controllers* sdl = VirtualApi();
    if (sdl == nullptr || virtualPad.joystick == nullptr) return;
    sdl->JoystickSetVirtualButton(virtualPad.joystick, button, down ? 1 : 0);
}

void VirtualPad_ReadCommands() {
    const char* path = EnvTestPad();
    static int fd = -1;
    static std::string pending;
    if (path == nullptr || *path == '\0') return;
    // Non-blocking, so a pipe with no writer yet holds nothing up.
    if (fd < 0) fd = open(path, O_RDONLY | O_NONBLOCK);
    if (fd < 0) return;
    char buffer[256];
    ssize_t got;
    while ((got = read(fd, buffer, sizeof buffer)) > 0) pending.append(buffer, static_cast<size_t>(got));
    size_t end;
    while ((end = pending.find('\n')) != std::string::npos) {
        Run(pending.substr(0, end).c_str());
        pending.erase(0, end + 1);
    }
}
