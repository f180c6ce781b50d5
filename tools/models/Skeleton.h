// The skeleton both characters share: bone names, parents, and the order in which their skin
// weights are written, which fixes the bone ids the game reads (0 pitch, 3 eyes, 8 and 32 hands,
// 36 striking hand). Each character places the joints at its own bind positions; every bind
// rotation is the identity, so a clip's rotations are relative to the bind pose in model axes.
#pragma once

#include <glm/glm.hpp>

#include <string>
#include <vector>

struct SkeletonBone {
    std::string name;
    int parent = -1;
    glm::vec3 joint{0.0f}; // bind position in model space
};

class Skeleton {
public:
    // Ids the game relies on.
    static constexpr int PitchBone = 0;
    static constexpr int EyesBone = 3;
    static constexpr int LeftHandBone = 8;
    static constexpr int RightHandBone = 32;
    static constexpr int StrikingHandBone = 36;

    std::vector<SkeletonBone> bones; // in id order

    Skeleton(); // the shared bone table with every joint at the origin

    int Find(const std::string& name) const; // throws std::out_of_range for an unknown name
    glm::vec3& Joint(const std::string& name) { return bones[static_cast<size_t>(Find(name))].joint; }
    const glm::vec3& Joint(const std::string& name) const { return bones[static_cast<size_t>(Find(name))].joint; }
    int Root() const; // the bone without parent (Hips)
    std::vector<int> Children(int bone) const;
    // Steps from `bone` up to `ancestor`, or -1 when it is not an ancestor.
    int Depth(int bone, int ancestor) const;
    glm::vec3 LocalOffset(int bone) const; // joint minus the parent's joint
};
