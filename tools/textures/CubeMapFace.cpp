#include "tools/textures/CubeMapFace.h"

#include <cmath>

std::string CubeFaceCode(CubeFace face)
{
    static const char* const codes[] = {"px", "nx", "py", "ny", "pz", "nz"};
    return codes[static_cast<int>(face)];
}

glm::vec3 CubeFaceDirection(CubeFace face, float s, float t)
{
    const float sc = 2.0f * s - 1.0f;
    const float tc = 2.0f * t - 1.0f;
    switch (face) {
    case CubeFace::PositiveX:
        return {1.0f, -tc, -sc};
    case CubeFace::NegativeX:
        return {-1.0f, -tc, sc};
    case CubeFace::PositiveY:
        return {sc, 1.0f, tc};
    case CubeFace::NegativeY:
        return {sc, -1.0f, -tc};
    case CubeFace::PositiveZ:
        return {sc, -tc, 1.0f};
    case CubeFace::NegativeZ:
        return {-sc, -tc, -1.0f};
    }
    return {0.0f, 0.0f, 0.0f};
}

glm::vec2 CubeFacePlaneCoord(CubeFace face, const glm::vec3& r)
{
    float sc = 0.0f, tc = 0.0f, ma = 1.0f;
    switch (face) {
    case CubeFace::PositiveX:
        ma = r.x, sc = -r.z, tc = -r.y;
        break;
    case CubeFace::NegativeX:
        ma = -r.x, sc = r.z, tc = -r.y;
        break;
    case CubeFace::PositiveY:
        ma = r.y, sc = r.x, tc = r.z;
        break;
    case CubeFace::NegativeY:
        ma = -r.y, sc = r.x, tc = -r.z;
        break;
    case CubeFace::PositiveZ:
        ma = r.z, sc = r.x, tc = -r.y;
        break;
    case CubeFace::NegativeZ:
        ma = -r.z, sc = -r.x, tc = -r.y;
        break;
    }
    return {0.5f * (sc / ma + 1.0f), 0.5f * (tc / ma + 1.0f)};
}

CubeFaceCoord CubeFaceOf(const glm::vec3& r)
{
    const float ax = std::fabs(r.x), ay = std::fabs(r.y), az = std::fabs(r.z);
    CubeFaceCoord c;
    if (ax >= ay && ax >= az)
        c.face = r.x >= 0.0f ? CubeFace::PositiveX : CubeFace::NegativeX;
    else if (ay >= az)
        c.face = r.y >= 0.0f ? CubeFace::PositiveY : CubeFace::NegativeY;
    else
        c.face = r.z >= 0.0f ? CubeFace::PositiveZ : CubeFace::NegativeZ;
    const glm::vec2 st = CubeFacePlaneCoord(c.face, r);
    c.s = st.x;
    c.t = st.y;
    return c;
}
