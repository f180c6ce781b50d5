// Clip import from bytes against the real Zombie model's bone map, then a few frames of playback
// so that the keys and node tree assimp returned are sampled as the game samples them.
// ZORBULON_FUZZ_PACK names the directory holding Assets.bin and AssetsOffsets.bin.
#include "assets/MeshComponent.h"
#include "scene/components/Animation.h"
#include "scene/components/AnimationComponent.h"

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

std::shared_ptr<MeshComponent> model;
// The model as loaded: an import teaches it the bones of channels it lacked, which later inputs
// must not see.
std::vector<BoneInfo> loadedBones;
std::unordered_map<std::string, BoneInfo> loadedBoneMap;
int32_t loadedBoneCounter = 0;

void RestoreModel()
{
    model->bones = loadedBones;
    model->boneInfoMap = loadedBoneMap;
    model->boneCounter = loadedBoneCounter;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    const char* pack = std::getenv("ZORBULON_FUZZ_PACK");
    if (!pack) {
        std::fprintf(stderr, "clip_import: set ZORBULON_FUZZ_PACK to the directory holding Assets.bin\n");
        std::exit(2);
    }
    char* startDir = getcwd(nullptr, 0);
    try {
        if (chdir(pack) != 0)
            throw std::runtime_error(std::string("cannot enter ") + pack);
        model = std::make_shared<MeshComponent>(nullptr, "Zombie");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "clip_import: %s\n", e.what());
        std::exit(2);
    }
    if (!startDir || chdir(startDir) != 0)
        std::exit(2);
    std::free(startDir);
    loadedBones = model->bones;
    loadedBoneMap = model->boneInfoMap;
    loadedBoneCounter = model->boneCounter;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    try {
        auto clip = std::make_shared<Animation>("fuzz input", reinterpret_cast<const char*>(data), size, model);
        // Looping at the game's frame step, then once through to the end as a death clip plays.
        AnimationComponent player(clip, 1.0f);
        for (int frame = 0; frame < 3; ++frame)
            player.Update(false, 1.0f / 60.0f);
        player.PlayAnimation(clip, false, 1.0f);
        player.Update(false, 0.5f);
        player.Update(false, 1000.0f);
    } catch (const std::exception&) {
    }
    RestoreModel();
    return 0;
}
