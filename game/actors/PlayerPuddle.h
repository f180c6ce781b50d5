// The burning puddle a burst bubble leaves: it falls to the ground, bubbles once it lands and
// meets whatever stands in it until the shot ends.
#pragma once

#include "app/GameClock.h"
#include "collision/Object.h"

#include <glm/glm.hpp>

#include <memory>

class DynamicActor;
class ICollisionComponent;
struct PlayerSounds;
class TransformComponent;
namespace COLLISION {
class Cube;
}

class PlayerPuddle {
public:
    // Builds the puddle actor, hidden; the scene's lists draw it.
    // `onContact` is called for everything the landed puddle touches.
    PlayerPuddle(const PlayerSounds& sounds, CollisionCallback onContact);

    DynamicActor* Actor() const { return actor_.get(); }
    const bool& Active() const { return active_; }
    const bool& Landed() const { return landed_; }
    const COLLISION::Cube& Box() const { return *box_; }
    // When the burning of the frame being tended began: the frame's start, or the landing if
    // that came later.
    GameClock::TimePoint BurningSince() const;

    // The bubble burst at `position`: the puddle appears there.
    void Start(const glm::vec3& position);
    // Lets an active puddle fall for dt, or lie on the ground and meet what stands in it.
    void Tend(float dt);
    // Back to no puddle, hidden.
    void Reset();

private:
    const PlayerSounds& sounds_;
    std::unique_ptr<DynamicActor> actor_; // its grid entry calls back into this part, so it goes with it
    std::shared_ptr<TransformComponent> transform_;
    std::shared_ptr<ICollisionComponent> collider_;
    std::shared_ptr<COLLISION::Cube> box_;
    GameClock::TimePoint landedAt_{};
    float frameSeconds_ = 0.0f; // the dt being tended, for the burn (a rate per second)
    bool active_ = false;
    bool landed_ = false;
    bool bubblingPlayed_ = false;
};
