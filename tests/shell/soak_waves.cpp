// SPDX-License-Identifier: MIT
// Many waves played by a scripted pilot through the game's own wave loop and
// bonus screen (DoOneWave), headless, on the simulated clock (a frame every
// 16 ms), with the world's bookkeeping checked after every frame.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "ShellTestSupport.h"

namespace {

const Uint32 FRAME_MILS = 16;
const double STEP = FRAME_MILS / 1000.0;
// KORVALEND_SOAK_WAVES plays fewer (make test's sanitizer build).
int Waves() {
    const char* text = std::getenv("KORVALEND_SOAK_WAVES");
    int n = text ? std::atoi(text) : 0;
    return n > 0 ? n : 100;
}
// Game seconds after which the pilot gives up aiming and blasts the arena.
const double PATIENCE = 90.0;

bool IsRock(const Object* o) {
    return o->type == BIG_ASTEROID || o->type == MEDIUM_ASTEROID || o->type == SMALL_ASTEROID;
}

bool IsShooter(const Object* o) {
    return o->type == PLAYER || o->type == BIG_SHINOBI || o->type == SMALL_SHINOBI;
}

bool Finite(const Vector3& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

// Turns, thrusts and fires through the same events a player makes, and
// cheats now and then.
class Pilot {
public:
    void StartWave(int number) {
        frame = 0;
        wave = number;
        // More rock of both kinds than the wave brings.
        Tap(SDLK_5);
        Tap(SDLK_6);
        if (wave % 3 == 0) Tap(SDLK_8);  // an enemy ship
        if (wave % 4 == 0) Tap(SDLK_9);  // a homing mine
        if (wave % 5 == 0) Tap(SDLK_7);  // a gravity well
        if (wave % 6 == 0) Tap(SDLK_2);  // a prize
        if (wave % 7 == 0) Tap(SDLK_1);  // a multiplier
        // Guns that keep up with later waves; plain single shots in every
        // third wave, so both ways of firing are flown.
        plainGuns = wave % 3 == 1;
        SetPower(&Player::machineGuns, SDLK_m, !plainGuns);
        SetPower(&Player::tripleFire, SDLK_t, !plainGuns);
        SetPower(&Player::longRange, SDLK_l, wave % 2 == 0);
        SetPower(&Player::airBrakes, SDLK_a, wave % 5 != 0);
        // Mortal in every eighth wave, for a while.
        SetPower(&Player::invincible, SDLK_BACKQUOTE, wave % 8 != 0);
    }

    // Events for the coming frame.
    void Fly() {
        ++frame;
        Object* target = NearestRock();
        if (target != nullptr) {
            Vector3 d = Lead(target).Normalize();
            // Turn the nose straight at it; the odd mouse nudge on top.
            if (d.Length() > 0.5) gThePlayer->dir = Quaternion(d, Vector3(0.0, 0.0, 1.0));
        }
        if (frame % 50 == 0) PushMotion(frame % 100 == 0 ? 7 : -7, 3);
        // Fire: single shots need a fresh press for each (every sixth frame
        // is the gun's interval); machine guns fire while the key is held.
        if (plainGuns) {
            if (frame % 6 == 0) PushKey(SDLK_TAB, true);
            if (frame % 6 == 3) PushKey(SDLK_TAB, false);
        } else {
            if (frame % 240 == 1) PushKey(SDLK_TAB, true);
            if (frame % 240 == 0) PushKey(SDLK_TAB, false);
        }
        if (wave % 8 == 0 && frame == 1800) SetPower(&Player::invincible, SDLK_BACKQUOTE, true);
        // Thrust in bursts, roll and yaw now and then.
        if (frame % 120 == 0) PushKey(SDLK_KP0, true);
        if (frame % 120 == 40) PushKey(SDLK_KP0, false);
        if (frame % 200 == 10) PushKey(SDLK_KP7, true);
        if (frame % 200 == 30) PushKey(SDLK_KP7, false);
        if (frame % 170 == 5) PushKey(SDLK_KP4, true);
        if (frame % 170 == 25) PushKey(SDLK_KP4, false);
        if (frame % 300 == 150) PushKey(SDLK_SPACE, true);
        if (frame % 300 == 170) PushKey(SDLK_SPACE, false);
        // A short pause now and then.
        if (wave % 9 == 0 && frame == 100) PushKey(SDLK_ESCAPE, true);
        if (wave % 9 == 0 && frame == 130) PushKey(SDLK_ESCAPE, true);
        // Freeze, and thaw early.
        if (wave % 5 == 0 && frame == 200) PushKey(SDLK_f, true);
        if (wave % 10 == 0 && frame == 500) PushKey(SDLK_f, true);
        // Lose a ship now and then: relaunches and, in time, a game over.
        if (wave % 10 == 0 && frame == 240) PushKey(SDLK_k, true);
        // Reinforcements in mid-wave.
        if (frame == 450) PushKey(SDLK_5, true);
        if (frame == 900) PushKey(SDLK_6, true);
        // A wave the pilot cannot finish is blasted clear.
        if (frame * STEP > PATIENCE && frame % 60 == 0) {
            PushKey(SDLK_n, true);
            ++blasts;
        }
    }

    int blasts = 0;

private:
    // Where to point so that a shot meets the target: shots fly at 25
    // relative to the ship, the target drifts relative to the ship.
    static Vector3 Lead(const Object* target) {
        Vector3 r = target->pos - gThePlayer->pos;
        Vector3 v = target->vel - gThePlayer->vel;
        const double speed = 25.0;
        double a = DotProduct(v, v) - speed * speed;
        double b = 2.0 * DotProduct(r, v);
        double c = DotProduct(r, r);
        double disc = b * b - 4.0 * a * c;
        if (a >= 0.0 || disc < 0.0) return r;
        double t = (-b - std::sqrt(disc)) / (2.0 * a);
        if (t <= 0.0) return r;
        return r + v * t;
    }

    static Object* NearestRock() {
        Object* best = nullptr;
        double bestDistance = 1e30;
        for (int i = 0; i < gObjects.NumObjects(); ++i) {
            Object* o = gObjects[i];
            if (!o->alive || !IsRock(o)) continue;
            double distance = (o->pos - gThePlayer->pos).Length();
            if (distance < bestDistance) {
                bestDistance = distance;
                best = o;
            }
        }
        return best;
    }

    // Sets a power through its toggle key.
    static void SetPower(bool Player::*power, SDLKey key, bool on) {
        if (gThePlayer->*power != on) Tap(key);
    }

    int frame = 0;
    int wave = 0;
    bool plainGuns = false;
};

// The list's bookkeeping against a recount, every shooter's count of shots
// against the shots alive, and no runaway numbers.
void CheckWorld(long frameNumber) {
    int recount[NUM_OBJECT_TYPES] = {};
    int playerEntries = 0;
    for (int i = 0; i < gObjects.NumObjects(); ++i) {
        Object* o = gObjects[i];
        ASSERT_NE(o, nullptr);
        ASSERT_GE(o->type, 0);
        ASSERT_LT(o->type, NUM_OBJECT_TYPES);
        ++recount[o->type];
        playerEntries += (o == gThePlayer);
        ASSERT_TRUE(Finite(o->pos) && Finite(o->vel))
            << "object " << i << " of kind " << o->type << " at frame " << frameNumber;
        ASSERT_TRUE(std::isfinite(o->dir.w) && std::isfinite(o->dir.x) &&
                    std::isfinite(o->dir.y) && std::isfinite(o->dir.z));
    }
    for (int t = 0; t < NUM_OBJECT_TYPES; ++t)
        ASSERT_EQ(gObjects.Count(static_cast<ObjectType>(t)), recount[t])
            << "kind " << t << " at frame " << frameNumber;
    ASSERT_LE(playerEntries, 1);
    ASSERT_EQ(playerEntries == 1, gThePlayer->alive) << "frame " << frameNumber;

    auto shotsOf = [](const Shooter* s) {
        int n = 0;
        for (int i = 0; i < gObjects.NumObjects(); ++i) {
            Object* o = gObjects[i];
            if (o->type != PLAYER_SHOT && o->type != SHINOBI_SHOT) continue;
            n += static_cast<Shot*>(o)->shooter == s;
        }
        return n;
    };
    ASSERT_EQ(gThePlayer->numShots, shotsOf(gThePlayer)) << "frame " << frameNumber;
    for (int i = 0; i < gObjects.NumObjects(); ++i) {
        Object* o = gObjects[i];
        if (!IsShooter(o) || o == gThePlayer) continue;
        auto* s = static_cast<Shooter*>(o);
        ASSERT_EQ(s->numShots, shotsOf(s)) << "enemy at frame " << frameNumber;
    }
}

// What the wave loop shows each frame, the pilot answers: while a wave is
// played (its clock runs; not in fades or the bonus screen).
struct Run {
    Pilot pilot;
    int pilotWave = 0;
    long frames = 0, relaunches = 0;
    int peak = 0;
    bool wasAlive = true;
} run;

void OnFrame() {
    if (!gameTimer.IsRunning()) return;
    if (run.pilotWave != gWave) {
        run.pilotWave = gWave;
        run.pilot.StartWave(gWave);
        run.wasAlive = gThePlayer->alive;
    }
    ++run.frames;
    run.peak = std::max(run.peak, gObjects.NumObjects());
    if (gThePlayer->alive && !run.wasAlive) ++run.relaunches;
    run.wasAlive = gThePlayer->alive;
    CheckWorld(run.frames);
    EXPECT_LT(currentTime, 3600.0) << "wave " << gWave << " never ends";
    run.pilot.Fly();
}

TEST(Soak, HundredWavesWithAScriptedPilot) {
    StartWorldOnce();
    ClearWorld();
    DrainEvents();
    srand(20240601);
    gCurrentCamera = new FirstPersonCamera(gThePlayer);
    screen = Screen::GetInstance();
    FeedSimulate(FRAME_MILS);
    FeedEachFrame(OnFrame);

    int waves = 0, games = 0, highestWave = 0, gameOvers = 0;
    auto start = std::chrono::steady_clock::now();

    const int WAVES = Waves();
    while (waves < WAVES) {
        BeginGame();
        ++games;
        while (!gameOver && waves < WAVES) {
            run.pilotWave = 0;
            DoOneWave();
            if (HasFailure()) return;
            ASSERT_EQ(gObjects.NumObjects(), 0);
            ASSERT_GE(gThePlayer->lives, 0);
            if (gameOver) {
                ++gameOvers;
                ASSERT_FALSE(gThePlayer->alive);
            }
            highestWave = std::max(highestWave, gWave);
            ++waves;
        }
        // Held keys and pause do not carry into the next game's checks.
        gamePaused = false;
    }
    FeedLive();
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf(
        "soak: %d waves in %d games (highest wave %d, %d game overs, %ld relaunches), "
        "%ld frames (%.0f s of play), peak %d objects, %d blasts, %.1f s wall time\n",
        waves, games, highestWave, gameOvers, run.relaunches, run.frames, run.frames * STEP,
        run.peak, run.pilot.blasts, seconds);
    EXPECT_EQ(waves, WAVES);
    EXPECT_GT(run.relaunches, 0);
}

}  // namespace
