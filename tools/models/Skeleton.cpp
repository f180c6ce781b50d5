#include "tools/models/Skeleton.h"

#include <stdexcept>

namespace {

struct Row {
    const char* name;
    const char* parent;
};

// Skin weights are written in this order. Ids 0, 3, 8, 32 and 36 are the ones the game reads;
// the rest are arranged around them.
constexpr Row Table[] = {
    {"Spine2", "Spine1"},                   // 0: pitch bone, at the chest pivot
    {"Neck", "Spine2"},                     // 1
    {"Head", "Neck"},                       // 2
    {"Eyes", "Head"},                       // 3: camera anchor
    {"Jaw", "Head"},                        // 4
    {"LeftShoulder", "Spine2"},             // 5
    {"LeftArm", "LeftShoulder"},            // 6
    {"LeftForeArm", "LeftArm"},             // 7
    {"LeftHand", "LeftForeArm"},            // 8: gun hand (front grip)
    {"LeftHandThumb1", "LeftHand"},         // 9
    {"LeftHandThumb2", "LeftHandThumb1"},   // 10
    {"LeftHandThumb3", "LeftHandThumb2"},   // 11
    {"LeftHandIndex1", "LeftHand"},         // 12
    {"LeftHandIndex2", "LeftHandIndex1"},   // 13
    {"LeftHandIndex3", "LeftHandIndex2"},   // 14
    {"LeftHandMiddle1", "LeftHand"},        // 15
    {"LeftHandMiddle2", "LeftHandMiddle1"}, // 16
    {"LeftHandMiddle3", "LeftHandMiddle2"}, // 17
    {"LeftHandRing1", "LeftHand"},          // 18
    {"LeftHandRing2", "LeftHandRing1"},     // 19
    {"LeftHandRing3", "LeftHandRing2"},     // 20
    {"LeftHandPinky1", "LeftHand"},         // 21
    {"LeftHandPinky2", "LeftHandPinky1"},   // 22
    {"LeftHandPinky3", "LeftHandPinky2"},   // 23
    {"RightShoulder", "Spine2"},            // 24
    {"RightArm", "RightShoulder"},          // 25
    {"RightForeArm", "RightArm"},           // 26
    {"Spine1", "Spine"},                    // 27
    {"Spine", "Hips"},                      // 28
    {"Hips", nullptr},                      // 29: root
    {"LeftUpLeg", "Hips"},                  // 30
    {"RightUpLeg", "Hips"},                 // 31
    {"RightHand", "RightForeArm"},          // 32: gun hand (rear grip)
    {"RightHandThumb1", "RightHand"},       // 33
    {"RightHandThumb2", "RightHandThumb1"}, // 34
    {"RightHandThumb3", "RightHandThumb2"}, // 35
    {"RightHandIndex1", "RightHand"},       // 36: the zombie's striking knuckles
    {"RightHandIndex2", "RightHandIndex1"}, // 37
    {"RightHandIndex3", "RightHandIndex2"}, // 38
    {"RightHandMiddle1", "RightHand"},      // 39
    {"RightHandMiddle2", "RightHandMiddle1"},
    {"RightHandMiddle3", "RightHandMiddle2"},
    {"RightHandRing1", "RightHand"},
    {"RightHandRing2", "RightHandRing1"},
    {"RightHandRing3", "RightHandRing2"},
    {"RightHandPinky1", "RightHand"},
    {"RightHandPinky2", "RightHandPinky1"},
    {"RightHandPinky3", "RightHandPinky2"}, // 47
    {"LeftLeg", "LeftUpLeg"},               // 48
    {"LeftFoot", "LeftLeg"},
    {"LeftToeBase", "LeftFoot"},
    {"RightLeg", "RightUpLeg"},
    {"RightFoot", "RightLeg"},
    {"RightToeBase", "RightFoot"}, // 53
};

} // namespace

Skeleton::Skeleton()
{
    for (const Row& row : Table)
        bones.push_back({row.name, -1, glm::vec3(0.0f)});
    for (size_t i = 0; i < bones.size(); ++i)
        if (Table[i].parent)
            bones[i].parent = Find(Table[i].parent);
}

int Skeleton::Find(const std::string& name) const
{
    for (size_t i = 0; i < bones.size(); ++i)
        if (bones[i].name == name)
            return static_cast<int>(i);
    throw std::out_of_range("no bone named " + name);
}

int Skeleton::Root() const
{
    for (size_t i = 0; i < bones.size(); ++i)
        if (bones[i].parent < 0)
            return static_cast<int>(i);
    throw std::logic_error("skeleton without root");
}

std::vector<int> Skeleton::Children(int bone) const
{
    std::vector<int> out;
    for (size_t i = 0; i < bones.size(); ++i)
        if (bones[i].parent == bone)
            out.push_back(static_cast<int>(i));
    return out;
}

int Skeleton::Depth(int bone, int ancestor) const
{
    int steps = 0;
    for (int b = bone; b >= 0; b = bones[static_cast<size_t>(b)].parent, ++steps)
        if (b == ancestor)
            return steps;
    return -1;
}

glm::vec3 Skeleton::LocalOffset(int bone) const
{
    const SkeletonBone& b = bones[static_cast<size_t>(bone)];
    return b.parent < 0 ? b.joint : b.joint - bones[static_cast<size_t>(b.parent)].joint;
}
