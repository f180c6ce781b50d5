// Hands: the wrist joint, fifteen finger joints and the skin primitives around them, laid out in
// the hand's own frame (towards the knuckles, the way the palm faces, the thumb's side) and bent
// by per-joint curls, so one builder makes a gun grip, a cupped support hand or a claw.
#pragma once

#include "tools/models/BodyKit.h"

#include <array>
#include <string>

struct HandStyle {
    float scale = 1.0f; // overall size (1 = an adult man's hand, about 19 cm)
    float fingerLength = 1.0f;
    float thickness = 1.0f; // finger radii
    // Flexion of each finger's three joints, degrees (index, middle, ring, pinky).
    std::array<std::array<float, 3>, 4> curl{};
    float spread = 0.0f; // fan of the fingers, degrees
    std::array<float, 3> thumbCurl{};
    float thumbOpen = 0.0f; // thumb swung away from the palm, degrees
};

struct HandLayout {
    glm::vec3 wrist;
    glm::vec3 forward, palm, thumbSide;             // unit axes
    std::array<std::array<glm::vec3, 4>, 5> finger; // thumb, index, middle, ring, pinky: 3 joints + tip
    // Centre and radius of the round hole the curled fingers close around.
    glm::vec3 gripCentre;
    float gripRadius;
};

class HandBuilder {
public:
    // `side` is "Left" or "Right"; forward points from the wrist to the knuckles, palm is the
    // direction the palm faces.
    static HandLayout Layout(const HandStyle& style, const std::string& side, const glm::vec3& wrist,
                             const glm::vec3& forward, const glm::vec3& palm);
    // Writes the hand's joints into the skeleton and adds its primitives (skin, nails) on `chart`.
    static void Build(BodyKit& kit, CharacterDesign& design, const HandStyle& style, const std::string& side,
                      const HandLayout& hand, int chart, int skinMaterial);
};
