#include "tools/models/PrimitiveMeshes.h"

#include <cmath>

namespace {

constexpr float Pi = 3.14159265f;

// A flat face seen from `normal`: right = up x normal, down = -up, so the texture is unmirrored.
void Face(ModelMesh& m, const glm::vec3& centre, const glm::vec3& normal, const glm::vec3& up, float half,
          const glm::vec2& uvScale = glm::vec2(1.0f), int cells = 1)
{
    const glm::vec3 right = glm::cross(up, normal);
    const uint32_t base = static_cast<uint32_t>(m.positions.size());
    for (int j = 0; j <= cells; ++j)
        for (int i = 0; i <= cells; ++i) {
            const float u = static_cast<float>(i) / static_cast<float>(cells),
                        v = static_cast<float>(j) / static_cast<float>(cells);
            const glm::vec3 p = centre + right * (half * (2.0f * u - 1.0f)) - up * (half * (2.0f * v - 1.0f));
            m.AddVertex(p, normal, glm::vec2(u, v) * uvScale);
        }
    for (int j = 0; j < cells; ++j)
        for (int i = 0; i < cells; ++i) {
            const uint32_t a = base + static_cast<uint32_t>(j * (cells + 1) + i);
            const uint32_t row = static_cast<uint32_t>(cells + 1);
            // (a) top-left, then bottom-left, bottom-right, top-right: counter-clockwise from the front.
            m.AddQuad(a, a + row, a + row + 1, a + 1);
        }
}

glm::vec3 OnSphere(float phi, float lambda)
{
    // Exactly on the axis at the poles, so the triangles that collapse there can be recognised.
    if (std::abs(lambda) >= 0.5f * Pi - 1e-6f)
        return {0.0f, lambda > 0.0f ? 1.0f : -1.0f, 0.0f};
    return {std::sin(phi) * std::cos(lambda), std::sin(lambda), std::cos(phi) * std::cos(lambda)};
}

// Latitude bands of the unit sphere from lambda0 up to lambda1, u east, v = 0.5 - lambda / pi.
void SphereBand(ModelMesh& m, int segments, int rings, float lambda0, float lambda1)
{
    const uint32_t base = static_cast<uint32_t>(m.positions.size());
    for (int j = 0; j <= rings; ++j) {
        const float lambda = lambda0 + (lambda1 - lambda0) * static_cast<float>(j) / static_cast<float>(rings);
        for (int i = 0; i <= segments; ++i) {
            const float u = static_cast<float>(i) / static_cast<float>(segments);
            const glm::vec3 p = OnSphere(u * 2.0f * Pi, lambda);
            // A pole vertex serves one triangle: give it the middle of that triangle's span (the
            // south pole's triangle lies east of it, the north pole's west).
            const float poleShift = std::abs(p.y) == 1.0f ? -0.5f * p.y / static_cast<float>(segments) : 0.0f;
            m.AddVertex(p, p, {u + poleShift, 0.5f - lambda / Pi});
        }
    }
    const uint32_t row = static_cast<uint32_t>(segments + 1);
    for (int j = 0; j < rings; ++j)
        for (int i = 0; i < segments; ++i) {
            const uint32_t a = base + static_cast<uint32_t>(j) * row + static_cast<uint32_t>(i);
            // East then north: counter-clockwise from outside. Triangles that collapse at a pole are skipped.
            if (m.positions[a] != m.positions[a + 1])
                m.AddTriangle(a, a + 1, a + row + 1);
            if (m.positions[a + row] != m.positions[a + row + 1])
                m.AddTriangle(a, a + row + 1, a + row);
        }
}

// A disc of radius 1 at height y facing up (+1) or down (-1), UVs as the cube's top or bottom.
void Disc(ModelMesh& m, int segments, float y, float facing)
{
    const glm::vec3 n(0.0f, facing, 0.0f);
    const uint32_t centre = m.AddVertex({0, y, 0}, n, {0.5f, 0.5f});
    for (int i = 0; i < segments; ++i) {
        const float a = 2.0f * Pi * static_cast<float>(i) / static_cast<float>(segments);
        const float x = std::sin(a), z = std::cos(a);
        m.AddVertex({x, y, z}, n, {0.5f + 0.5f * x, 0.5f + 0.5f * z * facing});
    }
    for (int i = 0; i < segments; ++i) {
        const uint32_t a = centre + 1 + static_cast<uint32_t>(i),
                       b = centre + 1 + static_cast<uint32_t>((i + 1) % segments);
        // Increasing angle turns +Z towards +X: counter-clockwise seen from above.
        if (facing > 0.0f)
            m.AddTriangle(centre, a, b);
        else
            m.AddTriangle(centre, b, a);
    }
}

} // namespace

ModelMesh PrimitiveMeshes::Cube()
{
    ModelMesh m;
    const glm::vec3 y(0, 1, 0), z(0, 0, 1);
    Face(m, {0, 0, 1}, {0, 0, 1}, y, 1.0f);
    Face(m, {0, 0, -1}, {0, 0, -1}, y, 1.0f);
    Face(m, {1, 0, 0}, {1, 0, 0}, y, 1.0f);
    Face(m, {-1, 0, 0}, {-1, 0, 0}, y, 1.0f);
    Face(m, {0, 1, 0}, {0, 1, 0}, -z, 1.0f);
    Face(m, {0, -1, 0}, {0, -1, 0}, z, 1.0f);
    return m;
}

ModelMesh PrimitiveMeshes::Sphere(int segments, int rings)
{
    ModelMesh m;
    SphereBand(m, segments, rings, -0.5f * Pi, 0.5f * Pi);
    return m;
}

ModelMesh PrimitiveMeshes::Cylinder(int segments)
{
    ModelMesh m;
    const uint32_t base = 0;
    for (int j = 0; j <= 1; ++j)
        for (int i = 0; i <= segments; ++i) {
            const float u = static_cast<float>(i) / static_cast<float>(segments);
            const glm::vec3 dir(std::sin(u * 2.0f * Pi), 0.0f, std::cos(u * 2.0f * Pi));
            const float y = j == 0 ? -1.0f : 1.0f;
            m.AddVertex(dir + glm::vec3(0, y, 0), dir, {u, j == 0 ? 1.0f : 0.0f});
        }
    const uint32_t row = static_cast<uint32_t>(segments + 1);
    for (int i = 0; i < segments; ++i) {
        const uint32_t a = base + static_cast<uint32_t>(i);
        m.AddQuad(a, a + 1, a + row + 1, a + row);
    }
    Disc(m, segments, 1.0f, 1.0f);
    Disc(m, segments, -1.0f, -1.0f);
    return m;
}

ModelMesh PrimitiveMeshes::HalfSphere(int segments, int rings)
{
    ModelMesh m;
    SphereBand(m, segments, rings, 0.0f, 0.5f * Pi);
    Disc(m, segments, 0.0f, -1.0f);
    return m;
}

ModelMesh PrimitiveMeshes::Triangle()
{
    ModelMesh m;
    const glm::vec3 n(0, 0, 1);
    m.AddTriangle(m.AddVertex({-1, -1, 0}, n, {0, 1}), m.AddVertex({1, -1, 0}, n, {1, 1}),
                  m.AddVertex({0, 1, 0}, n, {0.5f, 0}));
    return m;
}

ModelMesh PrimitiveMeshes::Plane(int cells, float tiles)
{
    ModelMesh m;
    Face(m, {0, 0, 0}, {0, 1, 0}, {0, 0, -1}, 1.0f, glm::vec2(tiles), cells);
    return m;
}

ModelMesh PrimitiveMeshes::Grass(int blades)
{
    ModelMesh m;
    // Normals lean upwards so the tuft is lit from above rather than edge-on.
    const float lean = 0.8f;
    for (int b = 0; b < blades; ++b) {
        const float a = Pi * static_cast<float>(b) / static_cast<float>(blades);
        const glm::vec3 right(std::cos(a), 0.0f, -std::sin(a));
        const glm::vec3 facing = glm::cross(right, glm::vec3(0, 1, 0));
        for (float side : {1.0f, -1.0f}) {
            const glm::vec3 n = glm::normalize(facing * side + glm::vec3(0, lean, 0));
            const glm::vec3 r = right * side; // from behind the quad, right is the other way
            // Each side spans the whole texture, row 0 at the top, read unmirrored from its side.
            const uint32_t tl = m.AddVertex(-r + glm::vec3(0, GrassHeight, 0), n, {0, 0});
            const uint32_t bl = m.AddVertex(-r, n, {0, 1});
            const uint32_t br = m.AddVertex(r, n, {1, 1});
            const uint32_t tr = m.AddVertex(r + glm::vec3(0, GrassHeight, 0), n, {1, 0});
            m.AddQuad(tl, bl, br, tr);
        }
    }
    return m;
}
