// In-memory content of one DirectX text (.x) file, in the game's own conventions: right-handed,
// +Y up, counter-clockwise triangles seen from outside, column-major matrices for column vectors,
// UV (0, 0) at the image's top-left. The writer converts to the file's left-handed conventions.
#pragma once

#include <glm/glm.hpp>
#include <glm/gtc/quaternion.hpp>

#include <cstdint>
#include <string>
#include <vector>

// One bone's influence on a mesh: its vertices and weights, and the inverse of its bind transform.
struct XSkinBone {
    std::string name;
    glm::mat4 offset{1.0f};
    std::vector<uint32_t> vertices;
    std::vector<float> weights;
};

struct XMesh {
    std::string name;
    std::vector<glm::vec3> positions;
    std::vector<glm::vec3> normals; // one per position
    std::vector<glm::vec2> uvs;     // one per position, or none
    std::vector<glm::uvec3> triangles;
    std::vector<XSkinBone> bones; // file order = bone ids on import
};

struct XFrame {
    std::string name;
    glm::mat4 transform{1.0f}; // relative to the parent frame
    std::vector<XMesh> meshes;
    std::vector<XFrame> children;
};

// Keys at whole ticks; every channel starts at tick 0 and ends at the set's duration.
template <class T> struct XKey {
    int32_t tick = 0;
    T value{};
};

struct XChannel {
    std::string frame;
    std::vector<XKey<glm::quat>> rotations;
    std::vector<XKey<glm::vec3>> scales;
    std::vector<XKey<glm::vec3>> positions;
};

struct XAnimationSet {
    std::string name;
    int32_t durationTicks = 0;
    std::vector<XChannel> channels;
};

struct XScene {
    XFrame root; // the single top-level frame
    std::vector<XAnimationSet> animations;
    // assimp keeps the rate as written and reports 0 without one; the game's timings assume 30.
    int32_t ticksPerSecond = 30;
};
