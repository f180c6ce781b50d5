// The player and the zombies find their sounds when they are built: a sound the scene never
// loaded stops the build, with the words a play of it would fail with, instead of surfacing the
// first time it would sound in play.
#include "collision/Capsule.h"
#include "collision/CollisionComponent.h"
#include "game/SoundManager.h"
#include "renderer/AssetRegistry.h"
#include "scene/components/AnimationComponent.h"
#include "support/MessageOf.h"
#include "support/RecordingSoundEngine.h"
#include "support/SceneDriver.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const char* const PlayMissing = "ATTEMPTING TO PLAY A SOUND THAT DOES NOT EXISTS";
// The player turns these two up while he is built, which asks for their sources first.
const char* const GetMissing = "ATTEMPTING TO GET A SOUND SOURCE THAT DOES NOT EXISTS";

struct ActorSound {
    const char* name;
    bool player; // else a zombie's
    const char* failure;
};
const ActorSound ActorSounds[] = {
    {"GunShot", true, PlayMissing},        {"BulletExplode", true, GetMissing},   {"Bubbling", true, PlayMissing},
    {"Burning", true, GetMissing},         {"PlayerHit", true, PlayMissing},      {"Walk1", true, PlayMissing},
    {"Walk2", true, PlayMissing},          {"Walk3", true, PlayMissing},          {"Walk4", true, PlayMissing},
    {"ZombieAttack2", false, PlayMissing}, {"ZombieDeath1", false, PlayMissing},  {"ZombieDeath2", false, PlayMissing},
    {"ZombieNormal1", false, PlayMissing}, {"ZombieNormal2", false, PlayMissing}, {"ZombieNormal3", false, PlayMissing},
};

// Publishes, for its life, a sound manager with every actor sound loaded but one; then puts the
// scene's own back.
class SoundsWithout {
public:
    explicit SoundsWithout(const std::string& left) : manager_(&engine_), scenes_(soundManager)
    {
        for (const ActorSound& sound : ActorSounds)
            if (sound.name != left)
                manager_.LoadSound(sound.name);
        soundManager = &manager_;
    }
    ~SoundsWithout() { soundManager = scenes_; }

private:
    RecordingSoundEngine engine_;
    SoundManager manager_;
    SoundManager* scenes_;
};

} // namespace

TEST(ActorSounds, ASoundNeverLoadedStopsTheBuildOfTheActorThatPlaysIt)
{
    SceneDriver d;
    for (const ActorSound& sound : ActorSounds) {
        SoundsWithout sounds(sound.name);
        auto transform = std::make_shared<TransformComponent>();
        auto capsule = std::make_shared<CollisionComponent<COLLISION::Capsule>>(true, glm::vec3(0.0f), transform);
        const std::string failure = MessageOf([&] {
            if (sound.player)
                PlayerActor(assetRegistry->GetMesh("Drevik"), nullptr, nullptr, transform, capsule,
                            std::make_shared<AnimationComponent>(assetRegistry->GetAnimation("DrevikIdle"), 1.0f),
                            &d.Cam(), d.Player().gun);
            else
                ZombieActor(assetRegistry->GetMesh("Zombie"), nullptr, nullptr, transform, capsule,
                            std::make_shared<AnimationComponent>(assetRegistry->GetAnimation("ZombieIdle"), 1.0f),
                            &d.Player());
        });
        EXPECT_EQ(failure, sound.failure) << sound.name;
    }
}
