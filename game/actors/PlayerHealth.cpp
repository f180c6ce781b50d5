#include "game/actors/PlayerHealth.h"

#include "game/SoundManager.h"
#include "game/actors/PlayerSounds.h"

#include <algorithm>

namespace {

constexpr float MaxHealth = 100.0f;
constexpr float RegenDelay = 3.0f;      // quiet seconds before health climbs back
constexpr float RegenPerSecond = 30.0f; // half a point a frame at 60 fps
constexpr float BurnPerSecond = 12.0f;  // a fifth of a point a frame at 60 fps

} // namespace

PlayerHealth::PlayerHealth(const PlayerSounds& sounds) : sounds_(sounds), points_(MaxHealth) {}

void PlayerHealth::Hurt(float amount, bool cry, const glm::vec3& position)
{
    points_ -= amount;
    hitTime_ = GameClock::Now();
    wasHurt_ = true;
    if (cry)
        sounds_.manager.PlaySound3D(sounds_.cry, position, false);
}

void PlayerHealth::Burn(GameClock::TimePoint from, GameClock::TimePoint to)
{
    if (to > from)
        points_ -= BurnPerSecond * std::chrono::duration<float>(to - from).count();
    hitTime_ = std::max(from, to);
    wasHurt_ = true;
}

void PlayerHealth::Regenerate(float dt)
{
    if (!wasHurt_ || points_ <= 0.0f)
        return;
    // Only the part of this frame past the quiet spell heals, so the climb starts on time at any
    // frame rate.
    const float healing = std::min(dt, SecondsSince(hitTime_) - RegenDelay);
    if (healing > 0.0f)
        points_ = std::min(points_ + RegenPerSecond * healing, MaxHealth);
}
