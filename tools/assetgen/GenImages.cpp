#include "AssetGen.h"

// Placeholder until the generator for this kind lands.
bool GenerateImages(const std::string&) { return true; }
