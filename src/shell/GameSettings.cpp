// SPDX-License-Identifier: MIT
#include "shell/GameSettings.h"

#include "audio/Music.h"
#include "audio/Sound.h"
#include "render/Brightness.h"
#include "render/HUD.h"
#include "render/ParticleEngine.h"
#include "render/Screen.h"
#include "shell/Controls.h"
#include "shell/GameStates.h"
#include "shell/Globals.h"

static_assert(FIRST_PERSON == 0 && THIRD_PERSON == 1 && STATIC == 2, "the settings file names the cameras");
static_assert(MUSIC_ARCADE_MODE == 0 && MUSIC_OFF_MODE == 2, "the settings file names the music's modes");

namespace {
CameraType startCameraType = FIRST_PERSON;
}

Settings CaptureSettings() {
    Settings settings;
    Screen* screenNow = Screen::GetInstance();
    settings.fullScreen = screenNow->InFullScreen();
    settings.fullScreenMode = screenNow->FullScreenVideoMode();
    settings.windowedMode = screenNow->WindowedVideoMode();
    settings.camera = gCurrentCamera != nullptr ? gCurrentCamera->type : startCameraType;
    settings.musicMode = Music::GetInstance()->GetMode();
    settings.effectsVolume = Sound::GetInstance()->GetVolume();
    settings.musicVolume = Music::GetInstance()->GetVolume();
    CaptureControls(settings);
    settings.particles = ParticleEngine::particleEffectsOn;
    settings.brightness = worldBrightness;
    settings.verticalSync = screenNow->VerticalSync();
    settings.frameCounter = frameCounterOn;
    return settings;
}

void ApplyStartMode(const Settings& settings) {
    Screen::GetInstance()->SetVerticalSync(settings.verticalSync);
    Screen::GetInstance()->ChooseStartMode(settings.fullScreen, settings.fullScreenMode, settings.windowedMode);
}

void ApplySettings(const Settings& settings) {
    const Settings start;
    UseControls(settings);
    ParticleEngine::particleEffectsOn = settings.particles;
    worldBrightness = settings.brightness;
    frameCounterOn = settings.frameCounter;
    if (settings.effectsVolume != start.effectsVolume) Sound::GetInstance()->SetVolume(settings.effectsVolume);
    if (settings.musicVolume != start.musicVolume || settings.musicMode != start.musicMode) {
        // The music plays through the library the effects start.
        Sound::GetInstance();
        Music* music = Music::GetInstance();
        music->SetVolume(settings.musicVolume);
        music->SetMode(settings.musicMode);
    }
    startCameraType = CameraType(settings.camera);
}

Camera* StartCamera(Object* viewed) { return NewCamera(startCameraType, viewed); }

void ChooseCamera(CameraType type) {
    startCameraType = type;
    if (gCurrentCamera != nullptr) UseCamera(type);
}

void SaveSettingsAtQuit() { SaveSettings(CaptureSettings()); }
