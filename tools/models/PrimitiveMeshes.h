// The scene's simple meshes, unit-sized: "Cube" spans [-1, 1] on every axis, "Sphere" has radius
// 1 with equirectangular UVs (u east from +Z, v = 0 at the north pole), "Plane" lies on y = 0
// facing +Y with UVs that tile the ground texture, "Grass" is a tuft of crossed quads on y = 0.
// Every UV layout reads unmirrored from outside (u right, v down).
#pragma once

#include "tools/models/ModelMesh.h"

class PrimitiveMeshes {
public:
    static ModelMesh Cube();
    static ModelMesh Sphere(int segments = 48, int rings = 24);
    static ModelMesh Cylinder(int segments = 32);                   // radius 1, y in [-1, 1], capped
    static ModelMesh HalfSphere(int segments = 32, int rings = 10); // dome y >= 0 on a disc
    static ModelMesh Triangle();                                    // in the z = 0 plane, facing +Z
    static ModelMesh Plane(int cells = 8, float tiles = 12.0f);
    static ModelMesh Grass(int blades = 3);

    static constexpr float GrassHeight = 2.0f;
};
