// SPDX-License-Identifier: MIT
// Every 3D model of the game, loaded once from a fixed table.
#ifndef KORVALEND_MODELSERVER_H
#define KORVALEND_MODELSERVER_H

#include <cassert>

class Model;

enum ModelID {
    SHIP_MODEL = 0,
    ASTEROID_MODEL,
    STEEL_ROID_MODEL,
    PLAYER_SHOT_MODEL,
    SHINOBI_SHOT_MODEL,
    SHIELD_MODEL,
    PRIZE_MODEL,
    NOVA_MODEL,
    MULTIPLIER2_MODEL,
    MULTIPLIER3_MODEL,
    MULTIPLIER4_MODEL,
    MULTIPLIER5_MODEL,
    BONUS_MODEL,
    HOMING_MODEL,
    GRAVITY_MODEL,
    BIG_SHINOBI_MODEL,
    SMALL_SHINOBI_MODEL,
    NUM_MODELS
};

extern const char* fileNames[NUM_MODELS];

class ModelServer {
public:
    static ModelServer* GetInstance();
    Model* GetModel(int id) {
        assert(id >= 0 && id < NUM_MODELS);
        return models[id];
    }
    void LoadModels() {}
    void ReInitializeModels();

private:
    ModelServer();
    static ModelServer* instance;
    Model* models[NUM_MODELS];
};

#endif
