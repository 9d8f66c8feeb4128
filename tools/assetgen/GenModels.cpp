#include "AssetGen.h"

// Placeholder until the generator for this kind lands.
bool GenerateModels(const std::string&) { return true; }
