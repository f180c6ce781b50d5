#include "tools/models/UvAtlas.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <numeric>
#include <stdexcept>
#include <tuple>
#include <unordered_map>

namespace {

constexpr float Pi = 3.14159265f;
// Texels kept free around each island, so filtering and mip levels do not mix islands.
constexpr float Gutter = 4.0f;
// Cell size (model units) of the grid that files placed triangles for the overlap search.
constexpr float OverlapCell = 1.0f;
// A planar island grows only over triangles within this cosine of its first triangle's normal.
constexpr float PlanarAgreement = 0.6f;

struct ChartFrame {
    glm::vec3 a, axis, front, side;
    float length, radius = 0.0f;
};

ChartFrame FrameOf(const UvChart& c)
{
    ChartFrame f;
    f.a = c.a;
    f.length = glm::length(c.b - c.a);
    f.axis = (c.b - c.a) / f.length;
    f.front = glm::normalize(c.front - f.axis * glm::dot(c.front, f.axis));
    // side = axis x front keeps the unwrap unmirrored with v running against the axis.
    f.side = glm::cross(f.axis, f.front);
    return f;
}

// A group of triangles with 2D coordinates in model units (u right, v down seen from outside).
struct Island {
    int chart = 0;
    std::vector<uint32_t> triangles;
    std::vector<std::array<glm::vec2, 3>> uv;
    glm::vec2 lo{1e9f}, hi{-1e9f};
    glm::vec2 origin{0.0f}; // texels, after packing
    float density = 1.0f;   // texels per model unit, after packing
    void Bound()
    {
        lo = glm::vec2(1e9f);
        hi = glm::vec2(-1e9f);
        for (const auto& t : uv)
            for (const glm::vec2& p : t) {
                lo = glm::min(lo, p);
                hi = glm::max(hi, p);
            }
    }
};

// True when the interiors of two triangles overlap (separating axis test on their edges);
// triangles that only touch along an edge or at a corner do not count.
bool Overlap(const std::array<glm::vec2, 3>& a, const std::array<glm::vec2, 3>& b)
{
    for (const auto* t : {&a, &b})
        for (int k = 0; k < 3; ++k) {
            const glm::vec2 e = (*t)[(k + 1) % 3] - (*t)[k];
            const glm::vec2 axis(-e.y, e.x);
            float alo = 1e30f, ahi = -1e30f, blo = 1e30f, bhi = -1e30f;
            for (const glm::vec2& p : a) {
                alo = std::min(alo, glm::dot(axis, p));
                ahi = std::max(ahi, glm::dot(axis, p));
            }
            for (const glm::vec2& p : b) {
                blo = std::min(blo, glm::dot(axis, p));
                bhi = std::max(bhi, glm::dot(axis, p));
            }
            const float slack = 1e-4f * glm::dot(axis, axis);
            if (ahi <= blo + slack || bhi <= alo + slack)
                return false;
        }
    return true;
}

// The triangles already placed in one layout, filed in a coarse grid; a triangle whose interior
// would overlap one of them is refused.
class Occupancy {
public:
    bool Claim(const std::array<glm::vec2, 3>& t)
    {
        const glm::ivec2 lo = glm::ivec2(glm::floor(glm::min(t[0], glm::min(t[1], t[2])) / OverlapCell));
        const glm::ivec2 hi = glm::ivec2(glm::floor(glm::max(t[0], glm::max(t[1], t[2])) / OverlapCell));
        for (int y = lo.y; y <= hi.y; ++y)
            for (int x = lo.x; x <= hi.x; ++x) {
                auto it = grid_.find(Key(x, y));
                if (it == grid_.end())
                    continue;
                for (size_t other : it->second)
                    if (Overlap(t, placed_[other]))
                        return false;
            }
        placed_.push_back(t);
        for (int y = lo.y; y <= hi.y; ++y)
            for (int x = lo.x; x <= hi.x; ++x)
                grid_[Key(x, y)].push_back(placed_.size() - 1);
        return true;
    }

private:
    static int64_t Key(int x, int y) { return (static_cast<int64_t>(y) << 32) ^ static_cast<uint32_t>(x); }
    std::unordered_map<int64_t, std::vector<size_t>> grid_;
    std::vector<std::array<glm::vec2, 3>> placed_;
};

// A counter-clockwise triangle reads unmirrored (u right, v down from outside) exactly when its
// UV image turns clockwise; a flat or turned image would give the shaders a flipped bitangent.
bool Unmirrored(const std::array<glm::vec2, 3>& t)
{
    const glm::vec2 a = t[1] - t[0], b = t[2] - t[0];
    return a.x * b.y - a.y * b.x < -1e-6f;
}

// Cylindrical coordinates around a chart's axis in model units; the seam lies behind `front`.
std::array<glm::vec2, 3> Cylindrical(const ChartFrame& f, const std::array<glm::vec3, 3>& p)
{
    std::array<glm::vec2, 3> uv;
    for (int k = 0; k < 3; ++k) {
        const glm::vec3 r = p[k] - f.a;
        const float phi = std::atan2(glm::dot(r, f.side), glm::dot(r, f.front));
        uv[k] = {(phi + Pi) / (2.0f * Pi), -glm::dot(r, f.axis)};
    }
    // A triangle across the seam: bring its low side past one turn instead of stretching it round.
    const float umin = std::min({uv[0].x, uv[1].x, uv[2].x}), umax = std::max({uv[0].x, uv[1].x, uv[2].x});
    if (umax - umin > 0.5f)
        for (int k = 0; k < 3; ++k)
            if (uv[k].x < 0.5f)
                uv[k].x += 1.0f;
    for (int k = 0; k < 3; ++k)
        uv[k].x *= 2.0f * Pi * f.radius;
    return uv;
}

// Skyline packing of rectangles (texels) into a square, tallest first, each at the lowest spot
// along the skyline that holds it; false when they do not fit.
bool Pack(const std::vector<glm::vec2>& sizes, float side, std::vector<glm::vec2>& origins)
{
    std::vector<size_t> order(sizes.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) { return sizes[a].y > sizes[b].y; });
    origins.assign(sizes.size(), glm::vec2(0.0f));
    struct Segment {
        float x, width, y;
    };
    std::vector<Segment> skyline{{0.0f, side, 0.0f}};
    for (size_t i : order) {
        const glm::vec2 s = sizes[i] + glm::vec2(2.0f * Gutter);
        float bestY = 1e30f, bestX = 0.0f;
        size_t bestStart = 0;
        for (size_t start = 0; start < skyline.size(); ++start) {
            const float x = skyline[start].x;
            if (x + s.x > side)
                break;
            // The rectangle rests on the highest segment it spans.
            float y = 0.0f, covered = 0.0f;
            for (size_t k = start; k < skyline.size() && covered < s.x; ++k) {
                y = std::max(y, skyline[k].y);
                covered = skyline[k].x + skyline[k].width - x;
            }
            if (y + s.y <= side && y < bestY) {
                bestY = y;
                bestX = x;
                bestStart = start;
            }
        }
        if (bestY > side)
            return false;
        origins[i] = glm::vec2(bestX, bestY) + glm::vec2(Gutter);
        // Replace the covered stretch of skyline by the rectangle's top.
        std::vector<Segment> next(skyline.begin(), skyline.begin() + static_cast<std::ptrdiff_t>(bestStart));
        next.push_back({bestX, s.x, bestY + s.y});
        const float end = bestX + s.x;
        for (size_t k = bestStart; k < skyline.size(); ++k) {
            const float segEnd = skyline[k].x + skyline[k].width;
            if (segEnd <= end)
                continue;
            const float x0 = std::max(skyline[k].x, end);
            next.push_back({x0, segEnd - x0, skyline[k].y});
        }
        skyline.swap(next);
    }
    return true;
}

} // namespace

ModelMesh UvAtlas::Unwrap(const CharacterDesign& design, const ModelMesh& mesh, int size, AtlasLayout& layout)
{
    const SdfShape& shape = design.shape;
    const size_t nc = design.charts.size();
    std::vector<ChartFrame> frames;
    for (const UvChart& c : design.charts)
        frames.push_back(FrameOf(c));

    std::vector<int> vertexChart(mesh.positions.size());
    for (size_t i = 0; i < mesh.positions.size(); ++i)
        vertexChart[i] = shape.primitives[static_cast<size_t>(shape.Nearest(mesh.positions[i]))].chart;
    auto corners = [&](size_t t) {
        const glm::uvec3 tri = mesh.triangles[t];
        return std::array<glm::vec3, 3>{mesh.positions[tri.x], mesh.positions[tri.y], mesh.positions[tri.z]};
    };

    // Each triangle goes to the chart most of its corners belong to.
    std::vector<int> triChart(mesh.triangles.size());
    for (size_t t = 0; t < mesh.triangles.size(); ++t) {
        const glm::uvec3 tri = mesh.triangles[t];
        const int a = vertexChart[tri.x], b = vertexChart[tri.y], c = vertexChart[tri.z];
        triChart[t] = (b == c) ? b : a;
        if (a != b && b != c && a != c) {
            const auto p = corners(t);
            triChart[t] = shape.primitives[static_cast<size_t>(shape.Nearest((p[0] + p[1] + p[2]) / 3.0f))].chart;
        }
        for (const glm::vec3& p : corners(t)) {
            ChartFrame& f = frames[static_cast<size_t>(triChart[t])];
            const glm::vec3 r = p - f.a;
            f.radius = std::max(f.radius, glm::length(r - f.axis * glm::dot(r, f.axis)));
        }
    }

    // Cylindrical islands; triangles that would land on earlier ones are set aside.
    std::vector<Island> islands(nc);
    std::vector<uint32_t> leftovers;
    for (size_t c = 0; c < nc; ++c) {
        islands[c].chart = static_cast<int>(c);
        Occupancy occ;
        for (size_t t = 0; t < mesh.triangles.size(); ++t) {
            if (triChart[t] != static_cast<int>(c))
                continue;
            const auto uv = Cylindrical(frames[c], corners(t));
            // Triangles that face the axis (folds, armpits) would come out mirrored: set aside too.
            if (Unmirrored(uv) && occ.Claim(uv)) {
                islands[c].triangles.push_back(static_cast<uint32_t>(t));
                islands[c].uv.push_back(uv);
            } else {
                leftovers.push_back(static_cast<uint32_t>(t));
            }
        }
    }

    // Leftovers: planar islands of connected, similarly facing triangles, projected along their normal.
    std::vector<bool> pending(mesh.triangles.size(), false);
    for (uint32_t t : leftovers)
        pending[t] = true;
    std::map<uint32_t, std::vector<uint32_t>> byVertex;
    for (uint32_t t : leftovers)
        for (int k = 0; k < 3; ++k)
            byVertex[mesh.triangles[t][k]].push_back(t);
    auto normalOf = [&](uint32_t t) {
        const auto p = corners(t);
        return glm::normalize(glm::cross(p[1] - p[0], p[2] - p[0]));
    };
    for (uint32_t seed : leftovers) {
        if (!pending[seed])
            continue;
        const glm::vec3 n = normalOf(seed);
        const glm::vec3 helper = std::abs(n.y) < 0.9f ? glm::vec3(0, 1, 0) : glm::vec3(1, 0, 0);
        const glm::vec3 u = glm::normalize(glm::cross(helper, n));
        const glm::vec3 v = glm::cross(u, n); // u x v = -n: not mirrored
        Island island;
        island.chart = triChart[seed];
        Occupancy occ;
        std::vector<uint32_t> stack{seed};
        pending[seed] = false;
        while (!stack.empty()) {
            const uint32_t t = stack.back();
            stack.pop_back();
            const auto p = corners(t);
            std::array<glm::vec2, 3> uv;
            for (int k = 0; k < 3; ++k)
                uv[k] = {glm::dot(p[k], u), glm::dot(p[k], v)};
            if (!Unmirrored(uv) || !occ.Claim(uv)) {
                pending[t] = true; // starts or joins another island later
                continue;
            }
            island.triangles.push_back(t);
            island.uv.push_back(uv);
            for (int k = 0; k < 3; ++k)
                for (uint32_t o : byVertex[mesh.triangles[t][k]])
                    if (pending[o] && triChart[o] == island.chart && glm::dot(normalOf(o), n) > PlanarAgreement) {
                        pending[o] = false;
                        stack.push_back(o);
                    }
        }
        islands.push_back(std::move(island));
    }

    // The largest texel density at which every island still fits.
    std::vector<glm::vec2> units;
    std::vector<size_t> live;
    for (size_t i = 0; i < islands.size(); ++i) {
        if (islands[i].triangles.empty())
            continue;
        islands[i].Bound();
        live.push_back(i);
        units.push_back((islands[i].hi - islands[i].lo) * design.charts[static_cast<size_t>(islands[i].chart)].density);
    }
    float lo = 0.0f, hi = 1000.0f;
    std::vector<glm::vec2> origins, sizes(live.size());
    for (int iter = 0; iter < 40; ++iter) {
        const float mid = 0.5f * (lo + hi);
        for (size_t k = 0; k < live.size(); ++k)
            sizes[k] = glm::ceil(units[k] * mid) + 1.0f;
        (Pack(sizes, static_cast<float>(size), origins) ? lo : hi) = mid;
    }
    for (size_t k = 0; k < live.size(); ++k)
        sizes[k] = glm::ceil(units[k] * lo) + 1.0f;
    if (!Pack(sizes, static_cast<float>(size), origins))
        throw std::runtime_error("charts do not fit the atlas");

    layout.size = size;
    layout.triangleChart.clear();
    layout.texelsPerUnit.clear();
    layout.rects.clear();
    ModelMesh out;
    std::map<std::tuple<uint32_t, float, float>, uint32_t> cornerIndex;
    for (size_t k = 0; k < live.size(); ++k) {
        const Island& isl = islands[live[k]];
        const float density = lo * design.charts[static_cast<size_t>(isl.chart)].density;
        layout.texelsPerUnit.push_back(density);
        layout.rects.push_back(glm::vec4(origins[k], sizes[k]));
        for (size_t j = 0; j < isl.triangles.size(); ++j) {
            const glm::uvec3 src = mesh.triangles[isl.triangles[j]];
            glm::uvec3 tri;
            for (int c = 0; c < 3; ++c) {
                const glm::vec2 texel = origins[k] + 0.5f + (isl.uv[j][c] - isl.lo) * density;
                const glm::vec2 uv = texel / static_cast<float>(size);
                auto [it, added] =
                    cornerIndex.try_emplace({src[c], uv.x, uv.y}, static_cast<uint32_t>(out.positions.size()));
                if (added)
                    out.AddVertex(mesh.positions[src[c]], mesh.normals[src[c]], uv);
                tri[c] = it->second;
            }
            out.triangles.push_back(tri);
            layout.triangleChart.push_back(static_cast<int>(k));
        }
    }
    return out;
}
