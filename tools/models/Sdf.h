// Signed distance shapes for the generated characters and the gun: tapered capsules, ellipsoids
// and rounded boxes, smooth-unioned (or smooth-subtracted) in order. Every union primitive keeps
// the bone that carries it and a material tag, which skinning and texture painting read back.
#pragma once

#include <glm/glm.hpp>

#include <cstdint>
#include <vector>

struct SdfPrimitive {
    enum class Kind { Capsule, Ellipsoid, Box, Torus } kind = Kind::Capsule;
    enum class Op { Union, Subtract } op = Op::Union;
    glm::vec3 a{0.0f};          // capsule start / centre of the other kinds
    glm::vec3 b{0.0f};          // capsule end
    float ra = 1.0f, rb = 1.0f; // capsule radii at a and b; box rounding in ra; torus ring and tube radii
    glm::vec3 radii{1.0f};      // ellipsoid radii / box half extents, in the primitive's axes
    glm::mat3 axes{1.0f};       // columns: the primitive's x, y, z in model space (torus ring around y)
    // Only the side where dot(clip.xyz, p) <= clip.w is kept, for both planes (none by default).
    glm::vec4 clip{0.0f, 0.0f, 0.0f, 1.0f};
    glm::vec4 clip2{0.0f, 0.0f, 0.0f, 1.0f};
    float blend = 0.0f; // smooth-union (or subtraction) width
    // Ragged holes: where perlin(p * holeScale) exceeds holeLevel the primitive is cut away.
    float holeScale = 0.0f, holeLevel = 1.0f;
    // Surface wobble: perlin(p * bumpScale) * bumpAmount added to the distance.
    float bumpScale = 0.0f, bumpAmount = 0.0f;
    int bone = -1;
    int tag = 0;       // material, read by the painter
    int chart = 0;     // texture chart, see UvAtlas
    float skin = 3.0f; // how far (model units) this primitive's bone weight reaches past the nearest one
    float Distance(const glm::vec3& p) const;
    // Position along a capsule's axis, 0 at a and 1 at b (0 for other kinds).
    float AxisParameter(const glm::vec3& p) const;
};

class SdfShape {
public:
    std::vector<SdfPrimitive> primitives;

    // Primitives are fixed once added: their bounding spheres let far ones be skipped.
    void Add(const SdfPrimitive& p);
    float Distance(const glm::vec3& p) const;
    glm::vec3 Gradient(const glm::vec3& p) const;
    // The union primitive nearest to p (by its own distance), or -1 when there is none.
    int Nearest(const glm::vec3& p) const;
    // Moves p onto the surface along the gradient (a few Newton steps).
    glm::vec3 Project(glm::vec3 p) const;
    // Ambient occlusion estimate from distances sampled along the normal (1 = open).
    float Occlusion(const glm::vec3& p, const glm::vec3& n, float reach) const;
    void Bounds(glm::vec3& lo, glm::vec3& hi) const;

private:
    std::vector<glm::vec4> spheres_; // centre, radius (including wobble)
};

float SmoothMin(float a, float b, float k);
float SmoothMax(float a, float b, float k);
