// The night sky: a six-face cube map registered in the scene's registry as "SkyBox", drawn first
// in every frame with the "SkyBoxShader" around the camera.
#pragma once

#include <string>
#include <vector>

class AssetRegistry;
class ImageBatch;

// "SkyBoxpx", "SkyBoxnx", "SkyBoxpy", "SkyBoxny", "SkyBoxpz", "SkyBoxnz": +X, -X, +Y, -Y, +Z, -Z,
// the cube map's layer order.
std::vector<std::string> SkyBoxFaceNames();

// Builds the cube map with the registry's next texture index and registers it as "SkyBox"; the
// faces come from `images` when given, else from the pack.
void CreateSkyBox(AssetRegistry& registry, ImageBatch* images = nullptr);
