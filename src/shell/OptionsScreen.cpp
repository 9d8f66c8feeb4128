// SPDX-License-Identifier: MIT
#include "shell/OptionsScreen.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "render/Brightness.h"
#include "render/Menu.h"
#include "shell/Controls.h"
#include "shell/GameSettings.h"
#include "shell/Korvalend3d.h"
#include "shell/TestStates.h"
#include "sys/Gamepad.h"
#include "sys/Letterbox.h"

namespace {
// Steps of the values the arrows change.
const int VOLUME_STEP = 16;
const double BRIGHTNESS_STEP = 0.1;
const double LEAST_BRIGHTNESS = 0.5, MOST_BRIGHTNESS = 2.0;
const int NUM_MODES = 6;
const char* const MODE_NAMES[NUM_MODES] = {"640 x 480",   "800 x 600",   "1024 x 768",
                                           "1152 x 864",  "1280 x 1024", "1600 x 1200"};
const char* const MUSIC_NAMES[] = {"Beat", "Songs", "Off"};
const char* const CAMERA_NAMES[] = {"Cockpit", "Chase", "Fixed"};
// A stick pushed this far (of 1) is an arrow key.
const double STICK_PUSH = 0.5;

// One row of a page: what it shows, and a change: -1 or +1 from the
// arrows, 0 from Enter or a click.
struct Item {
    std::string label;
    std::vector<std::string> (*values)(const Settings& s);
    void (*change)(Settings& s, int step);
    // An action's row: its places are chosen with the arrows, and set by
    // pressing what goes there.
    int action = -1;
};

struct Page {
    const char* name;
    std::vector<Item> items;
};

std::vector<std::string> One(const std::string& value) { return {value}; }
const char* OnOff(bool on) { return on ? "On" : "Off"; }

// A choice among count, one step on; Enter goes round.
int Step(int value, int count, int step) {
    return step == 0 ? (value + 1) % count : std::clamp(value + step, 0, count - 1);
}

int CurrentMode(const Settings& s) { return s.fullScreen ? s.fullScreenMode : s.windowedMode; }

std::string Percent(double fraction) {
    char text[16];
    std::snprintf(text, sizeof text, "%d%%", int(fraction * 100.0 + 0.5));
    return text;
}

std::string SongName() {
    Music* music = Music::GetInstance();
    if (music->GetMode() != MUSIC_FILE_MODE || music->NumMusicFiles() == 0) return "(with songs)";
    std::string name = music->MusicFile(music->CurrentMusicFile());
    const size_t slash = name.find_last_of('/');
    return slash == std::string::npos ? name : name.substr(slash + 1);
}

bool backOut = false;
bool nextSong = false;

const Item BACK = {"Back", [](const Settings&) { return One(""); }, [](Settings&, int) { backOut = true; }};

const char* const PLACE_WORDS[BINDING_SLOTS] = {"a key", "a key", "a mouse button", "a pad button"};
const int DEAD_ZONE_STEP = 1000;
const double SENSITIVITY_STEP = 0.1;

std::string Fixed(double value) {
    char text[16];
    std::snprintf(text, sizeof text, "%.1f", value);
    return text;
}

// The pad's long names, short enough to read in a column.
std::string ShortName(const std::string& name) {
    static const char* const SHORT[][2] = {{"PadLeftShoulder", "Pad LB"}, {"PadRightShoulder", "Pad RB"},
                                           {"PadLeftStick", "Pad LS"},    {"PadRightStick", "Pad RS"}};
    for (const auto& s : SHORT)
        if (name == s[0]) return s[1];
    return name;
}

std::vector<Item> ControlItems() {
    std::vector<Item> items;
    for (int a = 0; a < ACTION_COUNT; ++a) {
        Item item{ActionLabel(Action(a)), nullptr, [](Settings&, int) {}, a};
        items.push_back(item);
    }
    items.push_back({"Mouse sensitivity", [](const Settings& s) { return One(Fixed(s.mouseSensitivity)); },
                     [](Settings& s, int step) {
                         const double v = s.mouseSensitivity + (step == 0 ? 1 : step) * SENSITIVITY_STEP;
                         s.mouseSensitivity = std::clamp(std::round(v * 10.0) / 10.0, LEAST_MOUSE_SENSITIVITY,
                                                         MOST_MOUSE_SENSITIVITY);
                     }});
    items.push_back({"Up / down", [](const Settings& s) { return One(s.invertControls ? "Inverted" : "As pushed"); },
                     [](Settings& s, int) { s.invertControls = !s.invertControls; }});
    items.push_back({"Pad dead zone", [](const Settings& s) { return One(std::to_string(s.padDeadZone)); },
                     [](Settings& s, int step) {
                         s.padDeadZone =
                             std::clamp(s.padDeadZone + (step == 0 ? 1 : step) * DEAD_ZONE_STEP, 0, MOST_PAD_DEAD_ZONE);
                     }});
    items.push_back({"Default controls", [](const Settings&) { return One("Enter"); },
                     [](Settings& s, int) {
                         const Settings defaults;
                         s.bindings = defaults.bindings;
                         s.mouseSensitivity = defaults.mouseSensitivity;
                         s.invertControls = defaults.invertControls;
                         s.padDeadZone = defaults.padDeadZone;
                     }});
    return items;
}

std::vector<Page> Pages() {
    std::vector<Page> pages = {
        {"Screen",
         {{"Display", [](const Settings& s) { return One(s.fullScreen ? "Full screen" : "Window"); },
           [](Settings& s, int) { s.fullScreen = !s.fullScreen; }},
          {"Size", [](const Settings& s) { return One(MODE_NAMES[std::clamp(CurrentMode(s), 0, NUM_MODES - 1)]); },
           [](Settings& s, int step) {
               int& mode = s.fullScreen ? s.fullScreenMode : s.windowedMode;
               mode = Step(mode, NUM_MODES, step);
           }},
          {"Vertical sync", [](const Settings& s) { return One(OnOff(s.verticalSync)); },
           [](Settings& s, int) { s.verticalSync = !s.verticalSync; }},
          {"Brightness", [](const Settings& s) { return One(Percent(s.brightness)); },
           [](Settings& s, int step) {
               const double b = s.brightness + (step == 0 ? 1 : step) * BRIGHTNESS_STEP;
               // Enter goes round from the brightest to the darkest.
               s.brightness = step == 0 && b > MOST_BRIGHTNESS + 1e-6
                                  ? LEAST_BRIGHTNESS
                                  : std::clamp(std::round(b * 10.0) / 10.0, LEAST_BRIGHTNESS, MOST_BRIGHTNESS);
           }},
          {"Frame counter", [](const Settings& s) { return One(OnOff(s.frameCounter)); },
           [](Settings& s, int) { s.frameCounter = !s.frameCounter; }}}},
        {"Sound",
         {{"Effects volume", [](const Settings& s) { return One(std::to_string(s.effectsVolume)); },
           [](Settings& s, int step) {
               s.effectsVolume = std::clamp(s.effectsVolume + (step == 0 ? 1 : step) * VOLUME_STEP, 0, 255);
           }},
          {"Music volume", [](const Settings& s) { return One(std::to_string(s.musicVolume)); },
           [](Settings& s, int step) {
               s.musicVolume = std::clamp(s.musicVolume + (step == 0 ? 1 : step) * VOLUME_STEP, 0, 255);
           }},
          {"Music", [](const Settings& s) { return One(MUSIC_NAMES[std::clamp(s.musicMode, 0, 2)]); },
           [](Settings& s, int step) { s.musicMode = Step(s.musicMode, NUM_MUSIC_MODES, step); }},
          {"Next song", [](const Settings&) { return One(SongName()); }, [](Settings&, int) { nextSong = true; }}}},
        {"Game",
         {{"Camera", [](const Settings& s) { return One(CAMERA_NAMES[std::clamp(s.camera, 0, 2)]); },
           [](Settings& s, int step) { s.camera = Step(s.camera, 3, step); }},
          {"Particles", [](const Settings& s) { return One(OnOff(s.particles)); },
           [](Settings& s, int) { s.particles = !s.particles; }}}},
    };
    pages.insert(pages.begin() + 2, Page{"Controls", ControlItems()});
    for (Page& page : pages) page.items.push_back(BACK);
    return pages;
}

// What differs between was and now, given to the running game.
void Apply(const Settings& was, const Settings& now) {
    Screen* screenNow = Screen::GetInstance();
    if (now.fullScreen != was.fullScreen) screenNow->ToggleFullScreen();
    if (CurrentMode(now) != CurrentMode(was) && now.fullScreen == was.fullScreen)
        screenNow->SetVideoMode(CurrentMode(now));
    screenNow->SetVerticalSync(now.verticalSync);
    if (now.effectsVolume != was.effectsVolume) {
        Sound::GetInstance()->SetVolume(now.effectsVolume);
        // So that the player hears how loud the effects are now.
        Sound::GetInstance()->PlaySound(SHOT_SOUND);
    }
    if (now.musicVolume != was.musicVolume) Music::GetInstance()->SetVolume(now.musicVolume);
    if (now.musicMode != was.musicMode) Music::GetInstance()->SetMode(now.musicMode);
    if (now.camera != was.camera) ChooseCamera(CameraType(now.camera));
    ParticleEngine::particleEffectsOn = now.particles;
    if (now.bindings != was.bindings || now.mouseSensitivity != was.mouseSensitivity ||
        now.invertControls != was.invertControls || now.padDeadZone != was.padDeadZone)
        UseControls(now);
    worldBrightness = now.brightness;
    frameCounterOn = now.frameCounter;
}

struct Options {
    std::vector<Page> pages = Pages();
    Settings settings = CaptureSettings();
    int page = 0;
    int row = -1;  // the page names
    int column = 0;
    bool done = false;
    // Releases the game must still see, and where each stick was pushed.
    std::vector<SDL_Event> releases;
    std::map<int, int> stick;
    // Where the pointer was first seen: the pointer let go is reported
    // there without being moved, and chooses nothing until it moves.
    bool pointerSeen = false;
    int firstX = 0, firstY = 0;

    // The place waiting for a key or button, and what the help line says
    // until the next input (a swap, a name that cannot go there).
    bool waiting = false;
    std::string said;

    const std::vector<Item>& Items() const { return pages[size_t(page)].items; }
    int Waited() const { return Items()[size_t(row)].action; }

    std::vector<std::string> Values(const Item& item) const {
        if (item.action < 0) return item.values(settings);
        std::vector<std::string> places;
        for (const std::string& name : settings.bindings.input[item.action])
            places.push_back(name.empty() ? "-" : ShortName(name));
        return places;
    }

    // Puts name at the chosen place of the chosen action.
    void BindChosen(const std::string& name) {
        const Settings was = settings;
        Action swapped = Action::COUNT;
        if (!Bind(settings.bindings, Action(Waited()), column, name, &swapped)) {
            const bool options = (column == KEY_1 || column == KEY_2) && KeyOfName(name) == OPTIONS_KEY;
            said = "\"" + name + (options ? "\" opens the options" : "\" is not " + std::string(PLACE_WORDS[column])) +
                   "; press " + PLACE_WORDS[column] + "    Esc: cancel";
            return;
        }
        waiting = false;
        if (swapped != Action::COUNT && swapped != Action(Waited()))
            said = ActionLabel(swapped, settings.invertControls) + std::string(" has what ") +
                   ActionLabel(Action(Waited()), settings.invertControls) + " had";
        Apply(was, settings);
        settings = CaptureSettings();
    }

    // While a place waits: Escape cancels and is never bound; anything
    // else pressed is its name.
    void Wait(const SDL_Event& e) {
        if (e.type == SDL_KEYDOWN && e.key.keysym.sym == SDLK_ESCAPE) {
            waiting = false;
            said.clear();
            return;
        }
        const std::string name = InputNameOf(e);
        if (!name.empty()) BindChosen(name);
    }

    MenuPicture Picture() const {
        MenuPicture p;
        p.title = "OPTIONS";
        for (const Page& pg : pages) p.pages.push_back(pg.name);
        p.page = page;
        for (const Item& item : Items())
            p.rows.push_back(
                {item.action >= 0 ? ActionLabel(Action(item.action), settings.invertControls) : item.label, Values(item)});
        p.row = row;
        p.column = column;
        p.waiting = waiting;
        if (pages[size_t(page)].items.front().action >= 0) p.columns = {"Key", "Key", "Mouse", "Pad"};
        p.help = !said.empty() ? said
                 : waiting     ? std::string("Press ") + PLACE_WORDS[column] + " for " +
                                 ActionLabel(Action(Waited()), settings.invertControls) +
                                 "    Esc: cancel"
                 : row >= 0 && Items()[size_t(row)].action >= 0
                     ? "Arrows: choose    Enter: set    Backspace: clear    Esc: back"
                     : "Arrows: choose    Enter: change    Esc: back";
        return p;
    }

    void TurnPage(int step) {
        const int n = int(pages.size());
        page = (page + step + n) % n;
        row = -1;
        column = 0;
    }

    void Move(int step) {
        const int n = int(Items().size());
        // The page names are the row above the first.
        row = (row + 1 + step + n + 1) % (n + 1) - 1;
        column = 0;
    }

    void Change(int step) {
        if (row < 0) {
            TurnPage(step == 0 ? 1 : step);
            return;
        }
        const Item& item = Items()[size_t(row)];
        if (item.action >= 0) {
            if (step != 0)
                column = std::clamp(column + step, 0, BINDING_SLOTS - 1);
            else
                waiting = true;
            return;
        }
        const Settings was = settings;
        item.change(settings, step);
        if (backOut) {
            backOut = false;
            done = true;
            return;
        }
        if (nextSong) {
            nextSong = false;
            Music::GetInstance()->NextSong();
        }
        Apply(was, settings);
        // What the game runs with now (a mode may be refused).
        settings = CaptureSettings();
    }

    void Arrow(SDLKey key) {
        switch (key) {
        case SDLK_UP: Move(-1); break;
        case SDLK_DOWN: Move(1); break;
        case SDLK_LEFT: Change(-1); break;
        case SDLK_RIGHT: Change(1); break;
        default: break;
        }
    }

    void Key(const SDL_keysym& key) {
        switch (key.sym) {
        case SDLK_ESCAPE: done = true; break;
        case SDLK_RETURN:
        case SDLK_KP_ENTER: Change(0); break;
        case SDLK_PAGEUP: TurnPage(-1); break;
        case SDLK_PAGEDOWN: TurnPage(1); break;
        case SDLK_BACKSPACE:
        case SDLK_DELETE:
            if (row >= 0 && Items()[size_t(row)].action >= 0) BindChosen("");
            break;
        default: Arrow(key.sym); break;
        }
    }

    void Pointer(int x, int y, bool click, int button) {
        int w = 0, h = 0;
        LetterboxPictureSize(&w, &h);
        int r = 0, c = 0;
        if (!MenuHit(Picture(), x, y, w, h, &r, &c)) return;
        if (r < 0) {
            if (click) TurnPage(c - page);
            return;
        }
        row = r;
        column = c;
        if (!click) return;
        if (button == SDL_BUTTON_LEFT) Change(0);
        if (button == SDL_BUTTON_RIGHT || button == SDL_BUTTON_WHEELDOWN) Change(-1);
        if (button == SDL_BUTTON_WHEELUP) Change(1);
    }

    void PadButton(int button) {
        switch (button) {
        case PAD_DPAD_UP: Move(-1); break;
        case PAD_DPAD_DOWN: Move(1); break;
        case PAD_DPAD_LEFT: Change(-1); break;
        case PAD_DPAD_RIGHT: Change(1); break;
        case PAD_A: Change(0); break;
        case PAD_B: done = true; break;
        case PAD_LEFT_SHOULDER: TurnPage(-1); break;
        case PAD_RIGHT_SHOULDER: TurnPage(1); break;
        default: break;
        }
    }

    // A stick pushed past STICK_PUSH is an arrow, once until it comes back.
    void PadStick(int axis, int value) {
        if (axis != PAD_LEFT_X && axis != PAD_LEFT_Y) return;
        const double v = value / double(PAD_AXIS_MAX);
        const int push = v > STICK_PUSH ? 1 : v < -STICK_PUSH ? -1 : 0;
        if (push != 0 && push != stick[axis]) {
            if (axis == PAD_LEFT_X) Change(push);
            else Move(push);
        }
        stick[axis] = push;
    }

    void Handle(const SDL_Event& e) {
        if (e.type == SDL_KEYDOWN || e.type == SDL_MOUSEBUTTONDOWN || e.type == SDL_JOYBUTTONDOWN) said.clear();
        if (waiting && e.type != SDL_QUIT) {
            Wait(e);
            if (e.type == SDL_KEYUP || e.type == SDL_MOUSEBUTTONUP || e.type == SDL_JOYBUTTONUP ||
                e.type == SDL_JOYAXISMOTION)
                releases.push_back(e);
            return;
        }
        switch (e.type) {
        case SDL_KEYDOWN: Key(e.key.keysym); break;
        case SDL_MOUSEMOTION:
            if (!pointerSeen) {
                pointerSeen = true;
                firstX = e.motion.x;
                firstY = e.motion.y;
            } else if (e.motion.x != firstX || e.motion.y != firstY) {
                firstX = -1;  // it has moved
                Pointer(e.motion.x, e.motion.y, false, 0);
            }
            break;
        case SDL_MOUSEBUTTONDOWN: Pointer(e.button.x, e.button.y, true, e.button.button); break;
        case SDL_JOYBUTTONDOWN: PadButton(e.jbutton.button); break;
        case SDL_JOYAXISMOTION:
            PadStick(e.jaxis.axis, e.jaxis.value);
            releases.push_back(e);  // the stick's last place, for the ship
            break;
        case SDL_KEYUP:
        case SDL_MOUSEBUTTONUP:
        case SDL_JOYBUTTONUP: releases.push_back(e); break;
        case SDL_QUIT:
            // Left to the screen below, as any close of the window.
            releases.push_back(e);
            done = true;
            break;
        default: break;
        }
    }
};
}  // namespace

bool OpensOptions(const SDL_Event& e) {
    return (e.type == SDL_KEYDOWN && e.key.keysym.sym == OPTIONS_KEY) ||
           (e.type == SDL_JOYBUTTONDOWN && e.jbutton.button == PAD_BACK);
}

void DoOptionsScreen(const std::function<void()>& drawBackground, bool withMusic) {
    Options options;
    Screen* screenNow = Screen::GetInstance();
    screenNow->FreePointer(true);
    FeedOffTheRecord(true);
    Timer timer;
    timer.Start();
    double last = 0.0;
    bool changed = true;
    while (!options.done) {
        SDL_Event event;
        while (!options.done && FeedPollEvent(&event)) {
            options.Handle(event);
            changed = true;
        }
        const double now = timer.GetTime();
        if (withMusic) Music::GetInstance()->TimeUpdate(now - last);
        last = now;
        drawBackground();
        DrawMenu(options.Picture());
        FeedSwap();
        // Each new picture, for the tests that drive the screen, once its
        // window has the keyboard (a mode change makes a new one).
        if (changed && (SDL_GetAppState() & SDL_APPINPUTFOCUS) != 0) {
            ReportShown("options");
            changed = false;
        }
    }
    FeedOffTheRecord(false);
    for (const SDL_Event& e : options.releases) FeedPutBack(e);
    screenNow->FreePointer(false);
    if (!FeedPlaying()) SaveSettings(CaptureSettings());
}
