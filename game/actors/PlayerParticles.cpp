#include "game/actors/PlayerParticles.h"

#include "collision/Cube.h"
#include "math/MathUtils.h"
#include "scene/actors/Actor.h"
#include "scene/components/TransformComponent.h"

void PlayerParticles::Set(const Actors& particles)
{
    for (int i = 0; i < BubbleParticleCount; ++i) {
        particles_[i] = particles[i];
        transforms_[i] = particles[i]->GetComponent<TransformComponent>();
    }
}

void PlayerParticles::Tend(float dt, bool puddleLanded, const COLLISION::Cube& puddle)
{
    if (!puddleLanded) {
        for (Actor* particle : particles_)
            if (particle)
                particle->hidden = true;
        return;
    }
    if (!placed_) {
        const glm::vec3 c = puddle.centre;
        const glm::vec3 h = puddle.halfExtents;
        for (int i = 0; i < BubbleParticleCount; ++i) {
            if (!particles_[i])
                continue;
            particles_[i]->hidden = false;
            // Draws in a fixed order: x, z, then the rise speed.
            const float x = RandomRange(c.x - h.x, c.x + h.x);
            const float z = RandomRange(c.z - h.z, c.z + h.z);
            transforms_[i]->position = glm::vec3(x, 0.0f, z);
            riseSpeeds_[i] = RandomRange(0.2f, 0.6f);
        }
        placed_ = true;
    }
    for (int i = 0; i < BubbleParticleCount; ++i)
        if (transforms_[i])
            transforms_[i]->position.y += dt * riseSpeeds_[i];
}
