// assimp to GLM: assimp matrices are row-major, GLM's column-major.
#pragma once

#include <assimp/matrix4x4.h>
#include <assimp/quaternion.h>
#include <assimp/vector3.h>
#include <glm/glm.hpp>
#include <glm/gtc/quaternion.hpp>

inline glm::mat4 ToGlm(const aiMatrix4x4& m)
{
    glm::mat4 r;
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col)
            r[col][row] = m[row][col];
    return r;
}

inline glm::vec3 ToGlm(const aiVector3D& v) { return glm::vec3(v.x, v.y, v.z); }

inline glm::quat ToGlm(const aiQuaternion& q) { return glm::quat(q.w, q.x, q.y, q.z); }
