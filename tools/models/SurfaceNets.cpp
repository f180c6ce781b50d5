#include "tools/models/SurfaceNets.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <unordered_map>

namespace {

// The coarse grid that finds the band is this many fine cells wide.
constexpr int CoarseStep = 4;
// Coarse values beyond this many coarse cells keep their sign across the coarse cell, even for a
// field that is only roughly a distance (smooth unions, approximate ellipsoids, noise).
constexpr float BandCells = 1.75f;

struct Grid {
    int nx, ny, nz;
    glm::vec3 origin;
    float cell;
    std::vector<float> values;
    size_t Index(int i, int j, int k) const { return (static_cast<size_t>(k) * ny + j) * nx + i; }
    glm::vec3 Point(int i, int j, int k) const { return origin + cell * glm::vec3(i, j, k); }
};

Grid Sample(const SurfaceNets::Field& field, const glm::vec3& lo, const glm::vec3& hi, float cell)
{
    Grid g;
    g.cell = cell;
    g.origin = lo - glm::vec3(cell); // one empty layer around the shape closes the surface
    const glm::vec3 span = hi - lo + glm::vec3(2.0f * cell);
    g.nx = static_cast<int>(std::ceil(span.x / cell)) + 1;
    g.ny = static_cast<int>(std::ceil(span.y / cell)) + 1;
    g.nz = static_cast<int>(std::ceil(span.z / cell)) + 1;

    const float coarseCell = cell * CoarseStep;
    const int cx = g.nx / CoarseStep + 2, cy = g.ny / CoarseStep + 2, cz = g.nz / CoarseStep + 2;
    std::vector<float> coarse(static_cast<size_t>(cx) * cy * cz);
    for (int k = 0; k < cz; ++k)
        for (int j = 0; j < cy; ++j)
            for (int i = 0; i < cx; ++i)
                coarse[(static_cast<size_t>(k) * cy + j) * cx + i] = field(g.origin + coarseCell * glm::vec3(i, j, k));

    g.values.resize(static_cast<size_t>(g.nx) * g.ny * g.nz);
    for (int k = 0; k < g.nz; ++k)
        for (int j = 0; j < g.ny; ++j)
            for (int i = 0; i < g.nx; ++i) {
                const int ci = (i + CoarseStep / 2) / CoarseStep, cj = (j + CoarseStep / 2) / CoarseStep,
                          ck = (k + CoarseStep / 2) / CoarseStep;
                const float c = coarse[(static_cast<size_t>(ck) * cy + cj) * cx + ci];
                g.values[g.Index(i, j, k)] = std::abs(c) > BandCells * coarseCell ? c : field(g.Point(i, j, k));
            }
    return g;
}

} // namespace

ModelMesh SurfaceNets::Build(const Field& field, const glm::vec3& lo, const glm::vec3& hi, float cell)
{
    const Grid g = Sample(field, lo, hi, cell);
    ModelMesh mesh;
    std::unordered_map<size_t, uint32_t> cellVertex;

    static const std::array<std::array<int, 2>, 12> edges = {
        {{0, 1}, {2, 3}, {4, 5}, {6, 7}, {0, 2}, {1, 3}, {4, 6}, {5, 7}, {0, 4}, {1, 5}, {2, 6}, {3, 7}}};
    // The vertex of cell (i, j, k): the mean of its crossed edges' zero points.
    auto vertexOf = [&](int i, int j, int k) -> uint32_t {
        const size_t key = g.Index(i, j, k);
        auto it = cellVertex.find(key);
        if (it != cellVertex.end())
            return it->second;
        float v[8];
        glm::vec3 p[8];
        for (int c = 0; c < 8; ++c) {
            const int di = c & 1, dj = (c >> 1) & 1, dk = (c >> 2) & 1;
            v[c] = g.values[g.Index(i + di, j + dj, k + dk)];
            p[c] = g.Point(i + di, j + dj, k + dk);
        }
        glm::vec3 sum(0.0f);
        int count = 0;
        for (const auto& e : edges) {
            if ((v[e[0]] < 0.0f) == (v[e[1]] < 0.0f))
                continue;
            const float t = v[e[0]] / (v[e[0]] - v[e[1]]);
            sum += p[e[0]] + t * (p[e[1]] - p[e[0]]);
            ++count;
        }
        mesh.positions.push_back(count ? sum / static_cast<float>(count) : g.Point(i, j, k));
        const uint32_t index = static_cast<uint32_t>(mesh.positions.size() - 1);
        cellVertex.emplace(key, index);
        return index;
    };

    for (int k = 1; k < g.nz - 1; ++k)
        for (int j = 1; j < g.ny - 1; ++j)
            for (int i = 1; i < g.nx - 1; ++i) {
                const float v0 = g.values[g.Index(i, j, k)];
                const int n[3] = {i, j, k};
                for (int axis = 0; axis < 3; ++axis) {
                    int m[3] = {i, j, k};
                    ++m[axis];
                    const float v1 = g.values[g.Index(m[0], m[1], m[2])];
                    if ((v0 < 0.0f) == (v1 < 0.0f))
                        continue;
                    // The four cells around this edge, counter-clockwise seen from +axis.
                    const int u = (axis + 1) % 3, w = (axis + 2) % 3;
                    uint32_t q[4];
                    const int du[4] = {-1, 0, 0, -1}, dw[4] = {-1, -1, 0, 0};
                    for (int c = 0; c < 4; ++c) {
                        int cc[3] = {n[0], n[1], n[2]};
                        cc[u] += du[c];
                        cc[w] += dw[c];
                        q[c] = vertexOf(cc[0], cc[1], cc[2]);
                    }
                    // Outward is from the inside (negative) end towards the outside.
                    if (!(v0 < 0.0f))
                        std::swap(q[1], q[3]);
                    // Split along the shorter diagonal for better-shaped triangles.
                    const auto& P = mesh.positions;
                    if (glm::distance(P[q[0]], P[q[2]]) <= glm::distance(P[q[1]], P[q[3]])) {
                        mesh.AddTriangle(q[0], q[1], q[2]);
                        mesh.AddTriangle(q[0], q[2], q[3]);
                    } else {
                        mesh.AddTriangle(q[0], q[1], q[3]);
                        mesh.AddTriangle(q[1], q[2], q[3]);
                    }
                }
            }
    return mesh;
}
