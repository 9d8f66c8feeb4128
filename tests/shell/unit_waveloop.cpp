// SPDX-License-Identifier: MIT
// The wave loop's rules: wave set-up and its random draws, the order of one
// world step, the arrival timers, the relaunch and the end of a game.
#include <algorithm>
#include <array>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <vector>

#include "ShellTestSupport.h"
#include "world/Collisions.h"

namespace {

// An object that writes down what the wave loop does to it.
class Probe : public Object {
public:
    Probe(int id, std::vector<std::string>* events, Vector3 where = Vector3())
        : Object(PRIZE, nullptr), name(id), log(events) {
        pos = where;
    }
    ~Probe() override {
        if (deleted != nullptr) *deleted = true;
    }
    void TimeUpdate(double deltaTime) override {
        ++updates;
        lastStep = deltaTime;
        log->push_back("T" + std::to_string(name));
        if (spawnOnUpdate) gObjects.AddObject(new Probe(name * 10, log, pos));
    }
    void HandleCollisionWith(Object* other) override {
        auto* probe = dynamic_cast<Probe*>(other);
        log->push_back(std::to_string(name) + ">" + (probe ? std::to_string(probe->name) : "?"));
        if (dieOnCollision) alive = false;
        if (spawnOnCollision) {
            spawnOnCollision = false;
            gObjects.AddObject(new Probe(name * 10, log, pos));
        }
    }

    int name;
    std::vector<std::string>* log;
    int updates = 0;
    double lastStep = 0.0;
    bool* deleted = nullptr;
    bool spawnOnUpdate = false;
    bool spawnOnCollision = false;
    bool dieOnCollision = false;
};

class WaveLoopTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        gThePlayer->invincible = false;
        gWave = 0;
    }
    void TearDown() override { ClearWorld(); }

    Probe* Add(int name, Vector3 where = Vector3()) {
        auto* p = new Probe(name, &log, where);
        gObjects.AddObject(p);
        return p;
    }

    std::vector<std::string> log;
};

std::vector<std::string> Only(const std::vector<std::string>& log, char first) {
    std::vector<std::string> out;
    for (const auto& e : log)
        if ((first == 'T') == (e[0] == 'T')) out.push_back(e);
    return out;
}

// ---- NextWave ----

struct WaveSetUp {
    double timers[8];
    std::vector<ObjectType> types;
    std::vector<Vector3> positions;
    std::vector<Vector3> velocities;
};

void Timers(double* t) {
    t[0] = gWhenMultiplier;
    t[1] = gWhenPrize;
    t[2] = gWhenBonus;
    t[3] = gWhenGrav;
    t[4] = gWhenNova;
    t[5] = gWhenEnemy;
    t[6] = gWhenDamagedShip;
    t[7] = gWhenHoming;
}

void Record(WaveSetUp& s, int from) {
    for (int i = from; i < gObjects.NumObjects(); ++i) {
        s.types.push_back(gObjects[i]->type);
        s.positions.push_back(gObjects[i]->pos);
        s.velocities.push_back(gObjects[i]->vel);
    }
}

WaveSetUp RunNextWave(int wave, unsigned seed) {
    ClearWorld();
    gWave = wave - 1;
    srand(seed);
    NextWave();
    WaveSetUp s;
    Timers(s.timers);
    EXPECT_EQ(gObjects[0], gThePlayer) << "the ship is object 0";
    Record(s, 1);
    ClearWorld();
    return s;
}

// The same draws, made here in the order the wave's rules give.
WaveSetUp ReplayNextWave(int wave, unsigned seed) {
    ClearWorld();
    gWave = wave;
    srand(seed);
    WaveSetUp s;
    auto timer = [](bool comes) { return comes ? RandomDouble(0.0, 30.0) : 0.0; };
    s.timers[0] = timer(RandomInt(0, 2) == 0);
    s.timers[1] = timer(RandomInt(0, 2) == 0);
    s.timers[2] = timer(RandomInt(0, 2) == 0);
    s.timers[3] = timer(RandomInt(0, wave + 10) > 11);
    s.timers[4] = timer(RandomInt(0, wave + 10) > 13);
    s.timers[5] = timer(RandomInt(0, 3) == 0);
    s.timers[6] = timer(RandomInt(0, 10) == 0);
    s.timers[7] = timer(RandomInt(0, wave + 10) > 12);
    int k = std::max(1, wave / 4);
    int count = RandomInt(0, k) + wave / 5 + 3;
    for (int i = 0; i < count; ++i) {
        if (RandomInt(0, 10) == 0)
            MakeSteelRoid();
        else
            MakeBigAsteroid();
    }
    Record(s, 0);
    ClearWorld();
    return s;
}

TEST_F(WaveLoopTest, NextWaveReplaysTheGeneratorForWaves1To20) {
    for (int wave = 1; wave <= 20; ++wave) {
        for (unsigned seed : {11u, 2024u, 777u}) {
            SCOPED_TRACE("wave " + std::to_string(wave) + " seed " + std::to_string(seed));
            WaveSetUp got = RunNextWave(wave, seed);
            EXPECT_EQ(gWave, wave);
            WaveSetUp want = ReplayNextWave(wave, seed);
            for (int t = 0; t < 8; ++t) EXPECT_EQ(got.timers[t], want.timers[t]) << "timer " << t;
            ASSERT_EQ(got.types, want.types);
            for (size_t i = 0; i < got.positions.size(); ++i) {
                EXPECT_EQ(got.positions[i].x, want.positions[i].x);
                EXPECT_EQ(got.positions[i].y, want.positions[i].y);
                EXPECT_EQ(got.positions[i].z, want.positions[i].z);
                EXPECT_EQ(got.velocities[i].x, want.velocities[i].x);
            }
        }
    }
}

TEST_F(WaveLoopTest, AsteroidCountsAndKindsByWave) {
    // The range of counts per wave, over many seeds.
    const std::map<int, std::pair<int, int>> expected = {
        {1, {3, 3}}, {4, {3, 3}}, {5, {4, 4}}, {7, {4, 4}}, {8, {4, 5}},
        {9, {4, 5}}, {10, {5, 6}}, {11, {5, 6}}, {20, {7, 11}}};
    for (const auto& [wave, range] : expected) {
        std::set<int> seen;
        int steel = 0, total = 0;
        for (unsigned seed = 1; seed <= 300; ++seed) {
            WaveSetUp s = RunNextWave(wave, seed);
            int n = static_cast<int>(s.types.size());
            seen.insert(n);
            for (ObjectType t : s.types) {
                EXPECT_TRUE(t == BIG_ASTEROID || t == STEEL_ROID);
                steel += (t == STEEL_ROID);
            }
            total += n;
        }
        EXPECT_EQ(*seen.begin(), range.first) << "wave " << wave;
        EXPECT_EQ(*seen.rbegin(), range.second) << "wave " << wave;
        // About one in ten is steel.
        EXPECT_GT(steel, total / 25) << "wave " << wave;
        EXPECT_LT(steel, total / 5) << "wave " << wave;
    }
}

TEST_F(WaveLoopTest, HazardTimersNeedLaterWaves) {
    auto counts = [](int wave) {
        std::array<int, 8> drawn{};
        for (unsigned seed = 1; seed <= 400; ++seed) {
            WaveSetUp s = RunNextWave(wave, seed);
            for (int t = 0; t < 8; ++t) {
                EXPECT_GE(s.timers[t], 0.0);
                EXPECT_LE(s.timers[t], 30.0);
                drawn[t] += s.timers[t] > 0.0;
            }
        }
        return drawn;
    };
    std::array<int, 8> w1 = counts(1);
    EXPECT_EQ(w1[3], 0) << "gravity in wave 1";
    EXPECT_EQ(w1[4], 0) << "nova in wave 1";
    EXPECT_EQ(w1[7], 0) << "homing in wave 1";
    // One in two, two, two, three, ten.
    EXPECT_NEAR(w1[0], 200, 50);
    EXPECT_NEAR(w1[1], 200, 50);
    EXPECT_NEAR(w1[2], 200, 50);
    EXPECT_NEAR(w1[5], 133, 45);
    EXPECT_NEAR(w1[6], 40, 25);
    std::array<int, 8> w2 = counts(2);
    EXPECT_EQ(w2[3], 0);
    std::array<int, 8> w4 = counts(4);
    EXPECT_GT(w4[3], 0) << "gravity from wave 3";
    EXPECT_EQ(w4[4], 0) << "no nova before wave 5";
    EXPECT_GT(w4[7], 0) << "homing from wave 4";
    std::array<int, 8> w30 = counts(30);
    // (30 - 2) in 40, (30 - 4) in 40, (30 - 3) in 40.
    EXPECT_NEAR(w30[3], 280, 50);
    EXPECT_NEAR(w30[4], 260, 50);
    EXPECT_NEAR(w30[7], 270, 50);
}

TEST_F(WaveLoopTest, NextWaveRestsTheWorldAndLaunchesALostShip) {
    gShakeTime = 3.0;
    gFreezeTime = 2.0;
    playerDeadTime = 4.0;
    gThePlayer->lives = 2;
    gThePlayer->alive = false;
    gWave = 6;
    NextWave();
    EXPECT_EQ(gShakeTime, 0.0);
    EXPECT_EQ(gFreezeTime, 0.0);
    EXPECT_EQ(playerDeadTime, 0.0);
    EXPECT_EQ(gWave, 7);
    EXPECT_TRUE(gThePlayer->alive);
    EXPECT_EQ(gThePlayer->lives, 1);
    EXPECT_EQ(gThePlayer->bonus, 2000);
    EXPECT_EQ(gThePlayer->bonusMult, 1);
    EXPECT_EQ(gObjects[0], gThePlayer);
}

// ---- UpdateWorld ----

TEST_F(WaveLoopTest, ObjectsAdvanceFromTheTopDownWithTheWholeStep) {
    Probe* a = Add(1, Vector3(-20, 0, 0));
    Probe* b = Add(2, Vector3(0, 0, 0));
    Probe* c = Add(3, Vector3(20, 0, 0));
    UpdateWorld(0.75);
    EXPECT_EQ(Only(log, 'T'), (std::vector<std::string>{"T3", "T2", "T1"}));
    for (Probe* p : {a, b, c}) EXPECT_EQ(p->lastStep, 0.75);
}

TEST_F(WaveLoopTest, FreezeSkipsFreezableObjectsAfterItsOwnCountDown) {
    Probe* frozen = Add(1, Vector3(-20, 0, 0));
    Probe* free = Add(2, Vector3(20, 0, 0));
    free->canBeFrozen = false;
    gFreezeTime = 1.0;
    UpdateWorld(0.25);
    EXPECT_EQ(gFreezeTime, 0.75);
    EXPECT_EQ(frozen->updates, 0);
    EXPECT_EQ(free->updates, 1);
    // The freeze runs out in this very step, so everything moves in it.
    gFreezeTime = 0.25;
    UpdateWorld(0.5);
    EXPECT_EQ(gFreezeTime, 0.0);
    EXPECT_EQ(frozen->updates, 1);
    EXPECT_EQ(free->updates, 2);
}

TEST_F(WaveLoopTest, CountDownsStopAtZero) {
    gShakeTime = 0.3;
    gFreezeTime = 2.0;
    UpdateWorld(0.5);
    EXPECT_EQ(gShakeTime, 0.0);
    EXPECT_EQ(gFreezeTime, 1.5);
}

TEST_F(WaveLoopTest, ObjectsAddedWhileAdvancingWaitAFrame) {
    Probe* spawner = Add(1);
    spawner->spawnOnUpdate = true;
    UpdateWorld(0.1);
    ASSERT_EQ(gObjects.NumObjects(), 2);
    auto* child = dynamic_cast<Probe*>(gObjects[1]);
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(child->updates, 0);
    spawner->spawnOnUpdate = false;
    UpdateWorld(0.1);
    EXPECT_EQ(child->updates, 1);
}

TEST_F(WaveLoopTest, EveryPairOnceFromTheTopDownBothHandlersInOrder) {
    Add(0);
    Add(1);
    Add(2);
    Add(3, Vector3(10, 0, 0));  // touches nobody
    UpdateWorld(0.0);
    EXPECT_EQ(Only(log, '>'), (std::vector<std::string>{"2>1", "1>2", "2>0", "0>2", "1>0", "0>1"}));
}

TEST_F(WaveLoopTest, AnObjectEndedInACollisionMeetsNothingMoreThatFrame) {
    Add(0);
    Add(1);
    Probe* top = Add(2);
    top->dieOnCollision = true;
    bool deleted = false;
    top->deleted = &deleted;
    UpdateWorld(0.0);
    // 2 ends when it meets 1; the pair (2, 0) is not handled.
    EXPECT_EQ(Only(log, '>'), (std::vector<std::string>{"2>1", "1>2", "1>0", "0>1"}));
    EXPECT_TRUE(deleted);
    EXPECT_EQ(gObjects.NumObjects(), 2);
}

TEST_F(WaveLoopTest, ObjectsMadeInACollisionAreNotTestedThatFrame) {
    Probe* a = Add(1);
    Add(2);
    a->spawnOnCollision = true;
    UpdateWorld(0.0);
    ASSERT_EQ(gObjects.NumObjects(), 3);
    EXPECT_EQ(Only(log, '>'), (std::vector<std::string>{"2>1", "1>2"}));
    log.clear();
    UpdateWorld(0.0);
    EXPECT_EQ(Only(log, '>').size(), 6u) << "the new one joins in the next frame";
}

// A crowd of probes of mixed sizes on a half-unit lattice, so that many
// touch exactly, sit on the grid's cell borders or lie on and beyond the
// arena's faces; some are dead already, some end or spawn when they meet.
void AddRandomWorld(unsigned seed, std::vector<std::string>* log) {
    std::mt19937 rng(seed);  // not the game's random source
    auto pick = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    const int count = std::array<int, 4>{48, 100, 300, 700}[seed % 4];
    const int half = std::array<int, 3>{10, 20, 54}[seed % 3];  // half-units from the centre
    for (int i = 0; i < count; ++i) {
        Vector3 at(pick(2 * half + 1) - half, pick(2 * half + 1) - half, pick(2 * half + 1) - half);
        auto* p = new Probe(i, log, at * 0.5);
        p->radius = (pick(8) + 1) * 0.25;
        if (pick(8) == 0) p->radius = 4.0;
        if (pick(200) == 0) p->pos.y = pick(2) ? NAN : 1e300;
        p->alive = pick(10) != 0;
        p->dieOnCollision = pick(4) == 0;
        p->spawnOnCollision = pick(10) == 0;
        gObjects.AddObject(p);
    }
}

TEST_F(WaveLoopTest, TheGridMeetsTheSamePairsInTheSameOrderAsTheLoopOverEveryPair) {
    size_t handled = 0;
    for (unsigned seed = 1; seed <= 24; ++seed) {
        std::vector<std::string> plain, grid;
        AddRandomWorld(seed, &plain);
        HandleCollisionsAllPairs(gObjects);
        ClearWorld();
        AddRandomWorld(seed, &grid);
        UpdateWorld(0.0);
        ClearWorld();
        ASSERT_EQ(Only(grid, '>'), Only(plain, '>')) << "world " << seed;
        handled += plain.size();
    }
    EXPECT_GT(handled, 2000u) << "the worlds should be crowded enough to matter";
}

TEST_F(WaveLoopTest, DeadObjectsAreDeletedTheShipIsOnlyTakenOut) {
    Probe* keep = Add(1, Vector3(-20, 0, 0));
    Probe* dead = Add(2, Vector3(20, 0, 0));
    bool keepDeleted = false, deadDeleted = false;
    keep->deleted = &keepDeleted;
    dead->deleted = &deadDeleted;
    dead->alive = false;
    gObjects.AddObject(gThePlayer);
    gThePlayer->lives = 2;
    gThePlayer->alive = false;
    UpdateWorld(0.1);
    EXPECT_TRUE(deadDeleted);
    EXPECT_FALSE(keepDeleted);
    ASSERT_EQ(gObjects.NumObjects(), 1);
    EXPECT_EQ(gObjects[0], keep);
    EXPECT_EQ(gObjects.Count(PLAYER), 0);
    EXPECT_EQ(playerDeadTime, 5.0);
    EXPECT_EQ(gThePlayer->lives, 2);
}

TEST_F(WaveLoopTest, ALostShipReturnsAfterFiveSecondsOfPlay) {
    gObjects.AddObject(gThePlayer);
    gThePlayer->lives = 2;
    gThePlayer->Explode();
    UpdateWorld(0.5);  // taken out
    ASSERT_EQ(playerDeadTime, 5.0);
    for (int i = 0; i < 4; ++i) UpdateWorld(1.0);
    EXPECT_FALSE(gThePlayer->alive);
    EXPECT_EQ(gObjects.Count(PLAYER), 0);
    EXPECT_DOUBLE_EQ(playerDeadTime, 1.0);
    UpdateWorld(1.0);
    EXPECT_TRUE(gThePlayer->alive);
    EXPECT_EQ(gThePlayer->lives, 1);
    EXPECT_EQ(gObjects.Count(PLAYER), 1);
    EXPECT_FALSE(gameOver);
}

TEST_F(WaveLoopTest, TheLastShipLostEndsTheGameFiveSecondsLater) {
    gObjects.AddObject(gThePlayer);
    gThePlayer->lives = 0;
    gThePlayer->Explode();
    UpdateWorld(0.5);
    float colour[4] = {1, 1, 1, 1};
    gParticleEngine->Clear();
    gParticleEngine->CreateParticle(Vector3(), Vector3(), Vector3(), 100.0, 1, 1, colour, colour);
    UpdateWorld(4.0);
    EXPECT_FALSE(gameOver);
    ASSERT_EQ(gParticleEngine->NumParticles(), 1);
    EXPECT_EQ(gParticleEngine->GetParticle(0).age, 4.0);
    UpdateWorld(1.0);
    EXPECT_TRUE(gameOver);
    EXPECT_FALSE(gThePlayer->alive);
    EXPECT_EQ(gThePlayer->lives, 0);
    EXPECT_EQ(gObjects.Count(PLAYER), 0);
    // The frame that ends the game does not advance the particles.
    EXPECT_EQ(gParticleEngine->GetParticle(0).age, 4.0);
}

// ---- CheckForEvents ----

TEST_F(WaveLoopTest, ArrivalsFireOnceInTheirOrder) {
    gWave = 3;
    gWhenMultiplier = gWhenPrize = gWhenBonus = gWhenEnemy = 0.5;
    gWhenGrav = gWhenDamagedShip = gWhenHoming = gWhenNova = 0.5;
    CheckForEvents(0.5);
    std::map<ObjectType, int> rank = {{MULTIPLIER, 0}, {PRIZE, 1},        {BONUS, 2},
                                      {BIG_SHINOBI, 3}, {SMALL_SHINOBI, 3}, {GRAVITY, 4},
                                      {DAMAGED_SHIP, 5}, {HOMING, 6},      {NOVA, 7}};
    std::vector<int> ranks;
    for (int i = 0; i < gObjects.NumObjects(); ++i) {
        ASSERT_EQ(rank.count(gObjects[i]->type), 1u) << "kind " << gObjects[i]->type;
        ranks.push_back(rank[gObjects[i]->type]);
    }
    EXPECT_TRUE(std::is_sorted(ranks.begin(), ranks.end()));
    EXPECT_EQ(std::set<int>(ranks.begin(), ranks.end()).size(), 8u);
    EXPECT_EQ(gObjects.Count(MULTIPLIER), 1);
    EXPECT_EQ(gObjects.Count(DAMAGED_SHIP), 1);
    EXPECT_EQ(gObjects.Count(NOVA), 1);
    EXPECT_EQ(gWhenNova, 0.0);
    // Spent timers stay quiet.
    int n = gObjects.NumObjects();
    CheckForEvents(0.5);
    EXPECT_EQ(gObjects.NumObjects(), n);
}

TEST_F(WaveLoopTest, ArrivalTimersRunDownAndZeroMeansNone) {
    gWhenPrize = 1.0;
    gWhenNova = 0.0;
    gWhenMultiplier = -1.0;
    CheckForEvents(0.25);
    EXPECT_EQ(gWhenPrize, 0.75);
    EXPECT_EQ(gWhenNova, 0.0);
    EXPECT_EQ(gWhenMultiplier, -1.0);
    EXPECT_EQ(gObjects.NumObjects(), 0);
    CheckForEvents(0.8);
    EXPECT_LT(gWhenPrize, 0.0);
    EXPECT_GE(gObjects.Count(PRIZE), 1);
    EXPECT_EQ(gObjects.NumObjects(), gObjects.Count(PRIZE));
}

TEST_F(WaveLoopTest, UpdateWorldRunsTheArrivalsFirst) {
    gWhenMultiplier = 0.1;
    UpdateWorld(0.2);
    ASSERT_EQ(gObjects.Count(MULTIPLIER), 1);
}

// ---- Playing a wave without a screen ----

// One frame at a fixed step, as DoOneWave runs it minus the drawing.
double Frame(double step) {
    double dt = WaveFrame(currentTime + step);
    EndWaveFrame(dt);
    return dt;
}

void KillRock() {
    for (int i = 0; i < gObjects.NumObjects(); ++i)
        if (gObjects[i] != gThePlayer) gObjects[i]->alive = false;
}

TEST_F(WaveLoopTest, AWaveEndsFiveSecondsAfterTheLastAsteroid) {
    BeginGame();
    NextWave();
    gWhenMultiplier = gWhenPrize = gWhenBonus = gWhenGrav = gWhenNova = gWhenEnemy = 0.0;
    gWhenDamagedShip = gWhenHoming = 0.0;
    gThePlayer->invincible = true;
    BeginWavePlay();
    EXPECT_EQ(WaveCountDown(), 5.0);
    for (int i = 0; i < 10; ++i) Frame(0.25);
    EXPECT_EQ(WaveCountDown(), 5.0) << "asteroids hold the wave open";
    KillRock();
    gObjects.AddObject(new SteelRoid(Vector3(20, 20, 20), Vector3()));
    Frame(0.25);  // the rock is deleted in this frame's world step
    EXPECT_EQ(WaveCountDown(), 4.75) << "a steel asteroid does not hold it";
    int frames = 1;
    while (WaveGoesOn()) {
        Frame(0.25);
        ++frames;
        ASSERT_LT(frames, 100);
    }
    // 5.0 down to exactly 0 still runs a frame; below 0 ends it.
    EXPECT_EQ(frames, 21);
    EndWave();
    EXPECT_FALSE(gameOver);
    EXPECT_EQ(gObjects.NumObjects(), 0);
    EXPECT_FALSE(gameTimer.IsRunning());
    EXPECT_TRUE(gThePlayer->alive);
    gThePlayer->invincible = false;
}

TEST_F(WaveLoopTest, PauseStopsTheWorldButNotTheEndCountDown) {
    BeginGame();
    NextWave();
    BeginWavePlay();
    Probe* p = Add(1, Vector3(20, 20, 20));
    gWhenPrize = 0.1;
    KillRock();
    p->alive = true;
    Frame(0.1);  // rock gone, prize made
    int prizes = gObjects.Count(PRIZE);
    double left = WaveCountDown();
    gamePaused = true;
    Frame(0.5);
    EXPECT_EQ(p->updates, 1);
    EXPECT_EQ(gObjects.Count(PRIZE), prizes);
    EXPECT_DOUBLE_EQ(WaveCountDown(), left - 0.5);
    gamePaused = false;
}

// A ship lost with no ship in reserve during the final count-down ends the
// game even when the wave runs out before the relaunch delay.
TEST_F(WaveLoopTest, LastShipLostInTheFinalCountDownEndsTheGame) {
    for (int reserve : {0, 1}) {
        SCOPED_TRACE("reserve " + std::to_string(reserve));
        ClearWorld();
        BeginGame();
        NextWave();
        gWhenMultiplier = gWhenPrize = gWhenBonus = gWhenGrav = gWhenNova = gWhenEnemy = 0.0;
        gWhenDamagedShip = gWhenHoming = 0.0;
        BeginWavePlay();
        KillRock();
        Frame(0.25);
        for (int i = 0; i < 8; ++i) Frame(0.25);  // 2.75 s left
        gThePlayer->lives = reserve;
        gThePlayer->Explode();
        while (WaveGoesOn()) Frame(0.25);
        EXPECT_GT(playerDeadTime, 0.0) << "the wave ended before the relaunch";
        EndWave();
        EXPECT_EQ(gObjects.NumObjects(), 0);
        if (reserve == 0) {
            EXPECT_TRUE(gameOver);
            EXPECT_EQ(gThePlayer->lives, 0);
        } else {
            EXPECT_FALSE(gameOver);
            NextWave();
            EXPECT_TRUE(gThePlayer->alive);
            EXPECT_EQ(gThePlayer->lives, 0);
        }
    }
}

TEST_F(WaveLoopTest, BeginGameResetsTheGame) {
    gameOver = true;
    gWave = 9;
    gCheater = true;
    gThePlayer->score = 1234;
    gThePlayer->lives = 0;
    BeginGame();
    EXPECT_FALSE(gameOver);
    EXPECT_EQ(gWave, 0);
    EXPECT_FALSE(gCheater);
    EXPECT_EQ(gThePlayer->score, 0);
    EXPECT_EQ(gThePlayer->lives, 2);
}

}  // namespace
