// What a generated character (or the gun) is made of before meshing: its skeleton in the bind
// pose, its signed distance shape whose primitives name their bone, material and texture chart,
// and the charts themselves.
#pragma once

#include "tools/models/Sdf.h"
#include "tools/models/Skeleton.h"

#include <string>
#include <vector>

// Materials the painters know; stored in SdfPrimitive::tag.
enum Material : int {
    Skin,
    Hair,
    Eye,
    Jacket,
    Shirt,
    Trousers,
    Boot,
    Strap,
    Backpack,
    Nail,
    GunBody,
    GunAccent,
    GunGlass,
    GunMetal,
    GunRubber,
    GunLiquid,
};

// A cylindrical texture chart around the axis a -> b; `front` marks the middle of the chart, so
// the wrap-around seam lies opposite it. Density scales the texels it gets per unit of area.
struct UvChart {
    glm::vec3 a{0.0f}, b{0.0f, 1.0f, 0.0f};
    glm::vec3 front{0.0f, 0.0f, 1.0f};
    float density = 1.0f;
};

struct CharacterDesign {
    std::string name;
    Skeleton skeleton;
    SdfShape shape;
    std::vector<UvChart> charts;
    float cell = 0.6f;            // surface-nets grid step, model units
    size_t triangleBudget = 5600; // the software rasteriser draws up to 25 characters
    // Furthest the simplified surface may stray, as a share of the shape's extent: half a percent
    // is under a centimetre on a character, which the baked normal maps hide.
    float maxSimplifyError = 0.005f;
};
