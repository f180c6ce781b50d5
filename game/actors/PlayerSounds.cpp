#include "game/actors/PlayerSounds.h"

#include "game/SoundManager.h"

namespace {

constexpr float LoudVolume = 2.0f; // the burst and the burning are mixed louder than the default

} // namespace

PlayerSounds::PlayerSounds(SoundManager& manager) : manager(manager)
{
    manager.SetAuthoredVolume("Burning", LoudVolume);
    manager.SetAuthoredVolume("BulletExplode", LoudVolume);
    gunShot = manager.Resolve("GunShot");
    burst = manager.Resolve("BulletExplode");
    bubbling = manager.Resolve("Bubbling");
    burning = manager.Resolve("Burning");
    cry = manager.Resolve("PlayerHit");
    firstSteps[0] = manager.Resolve("Walk1");
    firstSteps[1] = manager.Resolve("Walk2");
    secondSteps[0] = manager.Resolve("Walk3");
    secondSteps[1] = manager.Resolve("Walk4");
}
