// The scene's six shader programs as the renderer builds them: which texture entry each binds,
// its push-constant range and its pipeline kind, all over the one vertex layout.
#pragma once

class AssetRegistry;

// Creates "SkyBoxShader", "BaseShader", "PBRShader", "AnimPBRShader", "CollisionShader" and
// "BillBoardPBRShader" in the registry. The texture array entry is sized by the textures
// registered so far, so the registry's textures (the sky box last) come first.
void CreateSceneShaders(AssetRegistry& registry);
