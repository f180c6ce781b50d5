// The player's shot: one bubble at a time, flying from the gun along the view until it touches
// something solid, where it bursts. A shot lasts five seconds, whatever the bubble meets.
#pragma once

#include "app/GameClock.h"

#include <glm/glm.hpp>

#include <memory>

class DynamicActor;
class ICollisionComponent;
class Object;
struct PlayerSounds;
class TransformComponent;

class PlayerBubble {
public:
    // Builds the bubble actor, hidden; the scene's lists draw it.
    explicit PlayerBubble(const PlayerSounds& sounds);

    DynamicActor* Actor() const { return actor_.get(); }
    const bool& Active() const { return active_; }
    const bool& Flying() const { return flying_; }
    const GameClock::TimePoint& ShotTime() const { return shotTime_; }
    const glm::vec3& Velocity() const { return velocity_; }
    const glm::vec3& Position() const;
    // When the running shot ends.
    GameClock::TimePoint ShotEnd() const;

    // Fires from `muzzle` along the unit `direction` unless a shot is under way.
    void Fire(const glm::vec3& muzzle, const glm::vec3& direction);
    // Moves a flying bubble on by dt; it stops where it first touches a solid.
    void Fly(float dt);
    // Whether the bubble burst since the last call (at Position()); asking clears it.
    bool TakeBurst();
    bool Expired() const;
    // Back to no shot: the bubble hidden and still.
    void Reset();

private:
    // Puts the bubble at `position` and asks the grid whether a solid is there; a solid bursts it.
    bool TouchesSolid(const glm::vec3& position);
    void OnContact(Object& found);

    const PlayerSounds& sounds_;
    std::unique_ptr<DynamicActor> actor_; // its grid entry calls back into this part, so it goes with it
    std::shared_ptr<TransformComponent> transform_;
    std::shared_ptr<ICollisionComponent> collider_;
    GameClock::TimePoint shotTime_{};
    glm::vec3 velocity_{0.0f};
    bool active_ = false;
    bool flying_ = false;
    bool burst_ = false;
};
