// Generates one character's files: the skinned model, its clips and its textures.
#pragma once

#include "tools/models/CharacterExport.h"
#include "tools/models/TextureBaker.h"

#include <string>
#include <vector>

struct ClipRecipe {
    std::string name;
    int durationTicks;
    CharacterExport::PoseAt pose;
};

struct CharacterRecipe {
    CharacterDesign design;
    TextureBaker::Painter painter;
    std::vector<ClipRecipe> clips;
    int textureSize = 1024;
    float occlusionReach = 4.0f;
    std::string diffuseName, normalName, glossName; // glossName may be empty
};

class CharacterGenerator {
public:
    // Writes <design name>.x, <clip>.x and the textures (<name>.png) into `dir`.
    static void Generate(const CharacterRecipe& recipe, const std::string& dir);
};
