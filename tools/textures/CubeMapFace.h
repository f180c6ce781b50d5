// Cube-map face geometry in the Vulkan (and OpenGL) convention, layer order +X, -X, +Y, -Y, +Z, -Z.
// For a direction r whose largest component is the face's major axis m, the face coordinates are
// s = (sc / |m| + 1) / 2 and t = (tc / |m| + 1) / 2 with
//   +X: sc = -rz, tc = -ry     -X: sc = +rz, tc = -ry
//   +Y: sc = +rx, tc = +rz     -Y: sc = +rx, tc = -rz
//   +Z: sc = +rx, tc = -ry     -Z: sc = -rx, tc = -ry
// s runs along image columns (left to right) and t along rows (row 0 is t = 0, the first row of
// the file). The sky is painted in world directions with +Y up, so the sky shader must sample the
// cube with the unflipped world-space view direction.
#pragma once

#include <glm/vec2.hpp>
#include <glm/vec3.hpp>

#include <array>
#include <string>

enum class CubeFace { PositiveX, NegativeX, PositiveY, NegativeY, PositiveZ, NegativeZ };

inline constexpr std::array<CubeFace, 6> AllCubeFaces = {CubeFace::PositiveX, CubeFace::NegativeX, CubeFace::PositiveY,
                                                         CubeFace::NegativeY, CubeFace::PositiveZ, CubeFace::NegativeZ};

// "px", "nx", "py", "ny", "pz", "nz": the suffix of the face's asset name after "SkyBox".
std::string CubeFaceCode(CubeFace face);

// Direction (not normalised, major component +-1) through face coordinates (s, t); s and t may
// leave [0, 1] to reach past the face's edge in its plane.
glm::vec3 CubeFaceDirection(CubeFace face, float s, float t);

struct CubeFaceCoord {
    CubeFace face = CubeFace::PositiveX;
    float s = 0.0f;
    float t = 0.0f;
};

// Coordinates of a direction in the plane of `face`, also beyond the face's edges; the direction
// must have a positive component along the face's axis.
glm::vec2 CubeFacePlaneCoord(CubeFace face, const glm::vec3& direction);

// The face a direction selects and its coordinates there; ties go to X, then Y, as the largest
// component test below reads.
CubeFaceCoord CubeFaceOf(const glm::vec3& direction);
