#include "game/SkyBox.h"

#include "assets/ImageBatch.h"
#include "assets/Texture.h"
#include "renderer/AssetRegistry.h"

#include <memory>

std::vector<std::string> SkyBoxFaceNames()
{
    std::vector<std::string> names;
    for (const char* face : {"px", "nx", "py", "ny", "pz", "nz"})
        names.push_back(std::string("SkyBox") + face);
    return names;
}

void CreateSkyBox(AssetRegistry& registry, ImageBatch* images)
{
    if (!images) {
        registry.RegisterTexture("SkyBox",
                                 std::make_shared<Texture>(registry.renderer, SkyBoxFaceNames(), registry.textureCount));
        return;
    }
    // Taken in face order: the first face that failed to read or decode is the one reported.
    std::vector<std::shared_ptr<const DecodedImage>> faces;
    for (const std::string& name : SkyBoxFaceNames())
        faces.push_back(images->Take(name));
    registry.LoadCubeMap("SkyBox", std::move(faces));
}
