// Shorthand for building a CharacterDesign: primitives take the current bone, material, chart
// and blend, so a design reads as a list of body parts.
#pragma once

#include "tools/models/CharacterDesign.h"

class BodyKit {
public:
    explicit BodyKit(CharacterDesign& design) : design_(design) {}

    // Following primitives hang on `bone`, with this material, chart, smooth-union width and
    // skin-weight reach.
    void Use(const std::string& bone, int material, int chart, float blend, float skin = 3.0f);
    void Use(int material) { tag_ = material; }
    int Chart(const glm::vec3& a, const glm::vec3& b, const glm::vec3& front, float density);
    glm::vec3 Joint(const std::string& bone) const { return design_.skeleton.Joint(bone); }

    SdfPrimitive& Capsule(const glm::vec3& a, const glm::vec3& b, float ra, float rb);
    SdfPrimitive& Ellipsoid(const glm::vec3& centre, const glm::vec3& radii, const glm::mat3& axes = glm::mat3(1.0f));
    SdfPrimitive& Box(const glm::vec3& centre, const glm::vec3& half, float rounding,
                      const glm::mat3& axes = glm::mat3(1.0f));
    SdfPrimitive& Torus(const glm::vec3& centre, float ring, float tube, const glm::mat3& axes = glm::mat3(1.0f));
    // Carves a shape out of everything added before it.
    SdfPrimitive& Cut(SdfPrimitive p, float blend);
    // Adds the pending primitive (after its fields have been tuned) to the shape.
    void Commit();

    // Axes whose y is `up` and z is as close to `forward` as possible.
    static glm::mat3 Frame(const glm::vec3& up, const glm::vec3& forward);
    // Elbow or knee for a two-bone chain from `root` reaching `target`, bending towards `pole`.
    static glm::vec3 MiddleJoint(const glm::vec3& root, const glm::vec3& target, float upper, float lower,
                                 const glm::vec3& pole);

private:
    SdfPrimitive& Start(SdfPrimitive p);

    CharacterDesign& design_;
    SdfPrimitive pending_;
    bool hasPending_ = false;
    int bone_ = -1, tag_ = 0, chart_ = 0;
    float blend_ = 0.0f, skin_ = 3.0f;
};
