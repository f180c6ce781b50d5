// A scene whose build fails part-way releases everything it made before the failure. Over the
// renderer without a GPU, the allocations of what the scene owns one by one (its services, the
// camera, its characters and their grid entries) are made to fail, one per build; after each
// failed build the count of live allocations is where it stood, but for the failed one itself.
// A sound manager that cannot make its table gives back the engine reference it was handed.
// Links the program's counting allocation operator, whose observer injects the failures.
#include "app/AllocationCounter.h"
#include "collision/HGrid.h"
#include "collision/Object.h"
#include "game/Scene0.h"
#include "game/SoundManager.h"
#include "game/actors/PlayerActor.h"
#include "game/actors/SphereActor.h"
#include "game/actors/ZombieActor.h"
#include "renderer/AssetRegistry.h"
#include "scene/camera/Camera.h"
#include "support/NullRenderer.h"
#include "support/RecordingSoundEngine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <new>
#include <set>
#include <thread>
#include <utility>

namespace {

// The sizes of the objects the build allocates one at a time and hands to an owner: its services,
// the camera, the characters, the hand spheres and every grid entry. The bare actors and the
// zombies' states share their sizes with too many small allocations to be told apart; every
// step that makes one also makes one of these.
const std::array<std::size_t, 7> OwnedSizes = {
    sizeof(HGrid),       sizeof(AssetRegistry), sizeof(Camera), sizeof(PlayerActor),
    sizeof(ZombieActor), sizeof(SphereActor),   sizeof(Object),
};

// What the observer sees; it must not allocate. Only the building thread counts: the sound
// engine's own threads allocate at times of their own.
struct Watch {
    std::thread::id builder;
    std::size_t seen = 0; // allocations of an owned size in this build
    std::size_t failAt = SIZE_MAX;
    bool anySize = false;                  // every allocation counts, not only the owned sizes
    std::array<std::size_t, 2048> sizes{}; // the size of each, in order
} watch;

void Observe(std::size_t size)
{
    if (std::this_thread::get_id() != watch.builder ||
        (!watch.anySize && std::find(OwnedSizes.begin(), OwnedSizes.end(), size) == OwnedSizes.end()))
        return;
    const std::size_t index = watch.seen++;
    if (index < watch.sizes.size())
        watch.sizes[index] = size;
    if (index == watch.failAt)
        throw std::bad_alloc();
}

// Builds and destroys a scene with the watched allocation `failAt` failing; true when it threw.
bool BuildFailingAt(NullRenderer& renderer, std::size_t failAt)
{
    watch.builder = std::this_thread::get_id();
    watch.seen = 0;
    watch.failAt = failAt;
    SetAllocationObserver(Observe);
    bool threw = false;
    try {
        Scene0 scene(&renderer);
    } catch (const std::exception&) { // the model importer reports a failed allocation in its own words
        threw = true;
    }
    SetAllocationObserver(nullptr);
    return threw;
}

} // namespace

TEST(SceneBuildFailure, AFailedAllocationPartWayLeavesNothingOfTheSceneAlive)
{
    NullRenderer renderer;
    // The first build grows what lives for the process (the pack's state, the hand sphere list).
    BuildFailingAt(renderer, SIZE_MAX);

    int64_t live = LiveAllocationCount();
    ASSERT_FALSE(BuildFailingAt(renderer, SIZE_MAX));
    ASSERT_EQ(LiveAllocationCount(), live) << "a whole build and teardown left allocations behind";
    const std::size_t count = watch.seen;
    ASSERT_LE(count, watch.sizes.size());
    const std::array<std::size_t, 2048> sizes = watch.sizes;
    // The services come first. The asset loading between them and the camera runs library code
    // (the model importer) that keeps what it had when an allocation fails, so the failures go
    // to the services and to what follows the camera, made last of its size.
    ASSERT_GE(count, 2u);
    ASSERT_EQ(sizes[0], sizeof(HGrid));
    ASSERT_EQ(sizes[1], sizeof(AssetRegistry));
    std::size_t camera = count;
    while (camera > 0 && sizes[camera - 1] != sizeof(Camera))
        --camera;
    ASSERT_GT(camera, 2u) << "no camera";
    ASSERT_GT(count - camera, static_cast<std::size_t>(4 * ZombiePoolSize)) << "the actors are not all watched";

    // One failure at the first place of each kind of step, a step told apart by the sizes of
    // its allocation and of the two before it: the zombies and walls repeat theirs.
    std::set<std::array<std::size_t, 3>> tried;
    for (std::size_t i = 0; i < count; ++i) {
        if (i >= 2 && i + 1 < camera)
            continue;
        const std::array<std::size_t, 3> step = {i >= 2 ? sizes[i - 2] : 0, i >= 1 ? sizes[i - 1] : 0, sizes[i]};
        if (!tried.insert(step).second)
            continue;
        live = LiveAllocationCount();
        EXPECT_TRUE(BuildFailingAt(renderer, i)) << "allocation " << i << " failed unnoticed";
        // The failed allocation was counted but never made.
        EXPECT_EQ(LiveAllocationCount(), live + 1) << "allocation " << i << " of " << sizes[i] << " bytes (after "
                                                   << step[1] << ") failed and the build left the difference alive";
    }
    EXPECT_GT(tried.size(), 8u);
}

TEST(SceneBuildFailure, ASoundManagerThatCannotMakeItsTableDropsTheEngineItTookOver)
{
    RecordingSoundEngine engine;
    engine.grab(); // the test's own reference, so the engine outlives the manager
    watch.builder = std::this_thread::get_id();
    watch.seen = 0;
    watch.failAt = 0;
    watch.anySize = true;
    SetAllocationObserver(Observe);
    bool threw = false;
    try {
        SoundManager manager(&engine);
    } catch (const std::bad_alloc&) {
        threw = true;
    }
    SetAllocationObserver(nullptr);
    watch.anySize = false;
    ASSERT_TRUE(threw) << "the manager made its table without allocating";
    EXPECT_EQ(engine.refCount, 1) << "the engine reference was kept by a manager that never existed";
}
