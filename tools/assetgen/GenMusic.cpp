#include "AssetGen.h"

// Placeholder until the generator for this kind lands.
bool GenerateMusic(const std::string&) { return true; }
