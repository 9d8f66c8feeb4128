// SPDX-License-Identifier: MIT
#include "assets/ModelServer.h"

#include "shell/MyError.h"
#include "assets/MilkshapeModel.h"

const char* fileNames[NUM_MODELS] = {
    "Models/Ship.ms3d",         "Models/Asteroid.ms3d",    "Models/Steelroid.ms3d",
    "Models/PlayerShot.ms3d",   "Models/ShinobiShot.ms3d", "Models/Shield.ms3d",
    "Models/Prize.ms3d",        "Models/Nova.ms3d",        "Models/Multiplier2.ms3d",
    "Models/Multiplier3.ms3d",  "Models/Multiplier4.ms3d", "Models/Multiplier5.ms3d",
    "Models/Bonus.ms3d",        "Models/Homing.ms3d",      "Models/Gravity.ms3d",
    "Models/BigShinobi.ms3d",   "Models/SmallShinobi.ms3d",
};

ModelServer* ModelServer::instance = nullptr;

ModelServer* ModelServer::GetInstance() {
    if (instance == nullptr) instance = new ModelServer();
    return instance;
}

// Display lists are not built here: the first ReInitializeModels, right
// after this, builds them all.
ModelServer::ModelServer() {
    for (int id = 0; id < NUM_MODELS; id++) {
        error("Loading model %s...\n", fileNames[id]);
        Model* model = new MilkshapeModel();
        if (model->LoadModelData(fileNames[id])) {
            error("Succeded in loading model %s\n", fileNames[id]);
            models[id] = model;
        } else {
            error("Failed in loading model %s\n", fileNames[id]);
            delete model;
            models[id] = nullptr;
        }
    }
}

void ModelServer::ReInitializeModels() {
    for (int id = 0; id < NUM_MODELS; id++)
        if (models[id] != nullptr) models[id]->ReInitialize();
}
