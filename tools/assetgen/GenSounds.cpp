#include "AssetGen.h"

// Placeholder until the generator for this kind lands.
bool GenerateSounds(const std::string&) { return true; }
