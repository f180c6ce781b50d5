#include "game/SkyBox.h"

#include "assets/AssetRegistry.h"
#include "assets/Texture.h"

#include <memory>

std::vector<std::string> SkyBoxFaceNames()
{
    std::vector<std::string> names;
    for (const char* face : {"px", "nx", "py", "ny", "pz", "nz"})
        names.push_back(std::string("SkyBox") + face);
    return names;
}

void CreateSkyBox(AssetRegistry& registry)
{
    registry.RegisterTexture("SkyBox",
                             std::make_shared<Texture>(registry.renderer, SkyBoxFaceNames(), registry.textureCount));
}
