// What the stand-in scene loads: the game's textures, meshes, clips, sky box and six shaders,
// each only when the pack holds it, so the scene builds on whatever content has landed.
#pragma once

#include <string>

class AssetRegistry;

// Whether the pack in the working directory lists `name` (no pack at all: false).
bool AssetInPack(const std::string& name);

// Textures in the game's order and formats, then the meshes, then the clips of the meshes that
// loaded, then the sky box when all six faces are there.
void LoadStandInAssets(AssetRegistry& registry);

// The six shaders with the game's arguments, in the game's order, each only when both stages are
// in the pack (the sky shader also needs the sky box and the "Cube" it is drawn on); the
// billboard shader draws the sorted transparent list. Vulkan backend only.
void CreateStandInShaders(AssetRegistry& registry);
