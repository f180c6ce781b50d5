// Where the player's eyes and hands are on his animated skeleton: the camera's anchor follows
// bone 3, and the gun rests between the hands, bones 32 and 8.
#pragma once

#include <glm/glm.hpp>

class MeshComponent;
class TransformComponent;

class PlayerBones {
public:
    // Reads the bones' inverse offsets from the character's mesh.
    explicit PlayerBones(const MeshComponent& mesh);

    // From his pose this frame (`finalBones`, the animation's skinning matrices): `eye` on his
    // eyes, and `gun` between his hands, just in front of them along `forward`, facing his way.
    void Place(const TransformComponent& body, const glm::mat4* finalBones, const glm::vec3& forward,
               TransformComponent& eye, TransformComponent& gun) const;

private:
    glm::mat4 eyeBoneMatrix_{1.0f};
    glm::mat4 leftHandBoneMatrix_{1.0f};
    glm::mat4 rightHandBoneMatrix_{1.0f};
};
