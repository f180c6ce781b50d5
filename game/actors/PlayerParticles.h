// The small bubbles that rise over a landed puddle: scattered over it at random once it lands,
// hidden while there is none.
#pragma once

#include <memory>

class Actor;
class TransformComponent;
namespace COLLISION {
class Cube;
}

inline constexpr int BubbleParticleCount = 10;

class PlayerParticles {
public:
    using Actors = Actor* [BubbleParticleCount];

    // Takes the scene's particle actors; the scene owns them.
    void Set(const Actors& particles);
    const Actors& Particles() const { return particles_; }

    // Keeps them over `puddle` once it has landed, rising by dt; hidden before.
    void Tend(float dt, bool puddleLanded, const COLLISION::Cube& puddle);
    // The next landing scatters them again.
    void Reset() { placed_ = false; }

private:
    Actors particles_ = {};
    std::shared_ptr<TransformComponent> transforms_[BubbleParticleCount];
    float riseSpeeds_[BubbleParticleCount] = {};
    bool placed_ = false;
};
