#include "tools/models/TextureBaker.h"

#include <stb_image_write.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace {

// Texels each chart's paint is grown outwards by.
constexpr int DilatePasses = 12;
// Beyond two edge lengths (the field is about 1-Lipschitz) plus this slack, a primitive farther
// than the nearest at a triangle's corners cannot be nearest inside it.
constexpr float CandidateSlack = 1.5f;

struct Texel {
    Paint paint;
    float texelsPerUnit = 1.0f;
    bool filled = false;
};

void Dilate(std::vector<Texel>& img, int size)
{
    for (int pass = 0; pass < DilatePasses; ++pass) {
        std::vector<Texel> next = img;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                if (img[static_cast<size_t>(y * size + x)].filled)
                    continue;
                Paint sum;
                sum.colour = glm::vec3(0.0f);
                sum.gloss = 0.0f;
                float tpu = 0.0f;
                int n = 0;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) {
                        const int sx = x + dx, sy = y + dy;
                        if (sx < 0 || sy < 0 || sx >= size || sy >= size)
                            continue;
                        const Texel& s = img[static_cast<size_t>(sy * size + sx)];
                        if (!s.filled)
                            continue;
                        sum.colour += s.paint.colour;
                        sum.height += s.paint.height;
                        sum.gloss += s.paint.gloss;
                        tpu += s.texelsPerUnit;
                        ++n;
                    }
                if (n == 0)
                    continue;
                Texel& t = next[static_cast<size_t>(y * size + x)];
                const float inv = 1.0f / static_cast<float>(n);
                t.paint = {sum.colour * inv, sum.height * inv, sum.gloss * inv};
                t.texelsPerUnit = tpu * inv;
                t.filled = true;
            }
        img.swap(next);
    }
}

} // namespace

BakedMaps TextureBaker::Bake(const CharacterDesign& design, const ModelMesh& mesh, const AtlasLayout& layout,
                             const Painter& painter, float occlusionReach)
{
    const SdfShape& shape = design.shape;
    const int size = layout.size;
    std::vector<Texel> img(static_cast<size_t>(size) * size);

    std::vector<float> occlusion(mesh.positions.size());
    for (size_t i = 0; i < mesh.positions.size(); ++i)
        occlusion[i] = shape.Occlusion(mesh.positions[i], mesh.normals[i], occlusionReach);

    std::vector<size_t> candidates;
    for (size_t t = 0; t < mesh.triangles.size(); ++t) {
        const glm::uvec3 tri = mesh.triangles[t];
        const glm::vec3 P[3] = {mesh.positions[tri.x], mesh.positions[tri.y], mesh.positions[tri.z]};
        const glm::vec2 T[3] = {mesh.uvs[tri.x] * static_cast<float>(size), mesh.uvs[tri.y] * static_cast<float>(size),
                                mesh.uvs[tri.z] * static_cast<float>(size)};
        const float det = (T[1].x - T[0].x) * (T[2].y - T[0].y) - (T[2].x - T[0].x) * (T[1].y - T[0].y);
        if (std::abs(det) < 1e-8f)
            continue;
        const int chart = layout.triangleChart[t];
        const glm::vec4 rect = layout.rects[static_cast<size_t>(chart)];
        const float tpu = layout.texelsPerUnit[static_cast<size_t>(chart)];

        // Primitives that can be nearest somewhere on this triangle.
        candidates.clear();
        float nearest = 1e9f;
        std::vector<float> dist(shape.primitives.size(), 1e9f);
        for (size_t i = 0; i < shape.primitives.size(); ++i) {
            if (shape.primitives[i].op != SdfPrimitive::Op::Union)
                continue;
            for (const glm::vec3& p : P)
                dist[i] = std::min(dist[i], shape.primitives[i].Distance(p));
            nearest = std::min(nearest, dist[i]);
        }
        const float edge = std::max({glm::distance(P[0], P[1]), glm::distance(P[1], P[2]), glm::distance(P[2], P[0])});
        for (size_t i = 0; i < shape.primitives.size(); ++i)
            if (dist[i] <= nearest + 2.0f * edge + CandidateSlack)
                candidates.push_back(i);

        // Texel centres inside the triangle, plus a one-texel rim for the edges' filtering.
        const glm::vec2 lo = glm::floor(glm::min(T[0], glm::min(T[1], T[2]))) - 1.0f;
        const glm::vec2 hi = glm::ceil(glm::max(T[0], glm::max(T[1], T[2]))) + 1.0f;
        for (int y = std::max(0, static_cast<int>(lo.y)); y <= std::min(size - 1, static_cast<int>(hi.y)); ++y)
            for (int x = std::max(0, static_cast<int>(lo.x)); x <= std::min(size - 1, static_cast<int>(hi.x)); ++x) {
                const glm::vec2 c(static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f);
                float b1 = ((c.x - T[0].x) * (T[2].y - T[0].y) - (T[2].x - T[0].x) * (c.y - T[0].y)) / det;
                float b2 = ((T[1].x - T[0].x) * (c.y - T[0].y) - (c.x - T[0].x) * (T[1].y - T[0].y)) / det;
                float b0 = 1.0f - b1 - b2;
                const float rim = 1.5f / std::sqrt(std::abs(det));
                if (b0 < -rim || b1 < -rim || b2 < -rim)
                    continue;
                Texel& texel = img[static_cast<size_t>(y * size + x)];
                const bool inside = b0 >= 0.0f && b1 >= 0.0f && b2 >= 0.0f;
                if (texel.filled && !inside)
                    continue; // rims never overwrite a triangle's own texels
                b0 = std::max(b0, 0.0f);
                b1 = std::max(b1, 0.0f);
                b2 = std::max(b2, 0.0f);
                const float bs = b0 + b1 + b2;
                b0 /= bs, b1 /= bs, b2 /= bs;

                SurfacePoint sp;
                sp.position = b0 * P[0] + b1 * P[1] + b2 * P[2];
                sp.normal =
                    glm::normalize(b0 * mesh.normals[tri.x] + b1 * mesh.normals[tri.y] + b2 * mesh.normals[tri.z]);
                sp.occlusion = b0 * occlusion[tri.x] + b1 * occlusion[tri.y] + b2 * occlusion[tri.z];
                float best = 1e9f;
                for (size_t i : candidates) {
                    const float d = shape.primitives[i].Distance(sp.position);
                    if (d < best) {
                        best = d;
                        sp.primitive = static_cast<int>(i);
                    }
                }
                const SdfPrimitive& prim = shape.primitives[static_cast<size_t>(sp.primitive)];
                sp.material = prim.tag;
                sp.axis = prim.AxisParameter(sp.position);
                sp.chart = (c - glm::vec2(rect.x, rect.y)) / tpu;
                texel.paint = painter(sp);
                texel.texelsPerUnit = tpu;
                texel.filled = true;
            }
    }
    Dilate(img, size);

    BakedMaps maps;
    maps.size = size;
    const size_t n = static_cast<size_t>(size) * size;
    maps.colour.resize(n * 3);
    maps.normal.resize(n * 3);
    maps.gloss.resize(n);
    auto at = [&](int x, int y) -> const Texel& {
        return img[static_cast<size_t>(std::clamp(y, 0, size - 1) * size + std::clamp(x, 0, size - 1))];
    };
    auto byte = [](float v) { return static_cast<uint8_t>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f)); };
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const size_t i = static_cast<size_t>(y * size + x);
            const Texel& t = img[i];
            for (int k = 0; k < 3; ++k)
                maps.colour[i * 3 + k] = byte(t.paint.colour[k]);
            maps.gloss[i] = byte(t.paint.gloss);
            // Slopes per model unit. Green runs along +v (down the image), as the lit shaders and
            // the other normal maps read it, so a height rising down the image tilts green negative.
            const float du = (at(x + 1, y).paint.height - at(x - 1, y).paint.height) * 0.5f * t.texelsPerUnit;
            const float dv = (at(x, y + 1).paint.height - at(x, y - 1).paint.height) * 0.5f * t.texelsPerUnit;
            const glm::vec3 nrm = glm::normalize(glm::vec3(-du, -dv, 1.0f));
            for (int k = 0; k < 3; ++k)
                maps.normal[i * 3 + k] = byte(nrm[k] * 0.5f + 0.5f);
        }
    return maps;
}

void TextureBaker::WritePng(const std::string& path, int size, int channels, const std::vector<uint8_t>& pixels)
{
    if (!stbi_write_png(path.c_str(), size, size, channels, pixels.data(), size * channels))
        throw std::runtime_error("cannot write " + path);
}
