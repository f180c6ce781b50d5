#include "tools/modelpreview/SoftRasteriser.h"

#include <algorithm>
#include <cmath>

glm::vec3 PreviewTexture::Sample(const glm::vec2& uv) const
{
    if (width == 0)
        return glm::vec3(0.6f);
    const float x = (uv.x - std::floor(uv.x)) * static_cast<float>(width) - 0.5f;
    const float y = (uv.y - std::floor(uv.y)) * static_cast<float>(height) - 0.5f;
    const int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
    const float fx = x - static_cast<float>(x0), fy = y - static_cast<float>(y0);
    auto texel = [&](int tx, int ty) {
        tx = (tx % width + width) % width;
        ty = (ty % height + height) % height;
        const uint8_t* p = &rgba[static_cast<size_t>(ty * width + tx) * 4];
        // The files are sRGB; shade in linear light.
        return glm::pow(glm::vec3(p[0], p[1], p[2]) / 255.0f, glm::vec3(2.2f));
    };
    return glm::mix(glm::mix(texel(x0, y0), texel(x0 + 1, y0), fx),
                    glm::mix(texel(x0, y0 + 1), texel(x0 + 1, y0 + 1), fx), fy);
}

SoftRasteriser::SoftRasteriser(int width, int height, const glm::vec3& background)
    : w_(width), h_(height), colour_(static_cast<size_t>(width) * height, background),
      depth_(static_cast<size_t>(width) * height, 1e30f)
{}

void SoftRasteriser::Draw(const PreviewVertex& a, const PreviewVertex& b, const PreviewVertex& c,
                          const PreviewTexture* texture)
{
    const PreviewVertex* v[3] = {&a, &b, &c};
    glm::vec4 clip[3];
    glm::vec3 screen[3];
    for (int i = 0; i < 3; ++i) {
        clip[i] = viewProj_ * glm::vec4(v[i]->position, 1.0f);
        if (clip[i].w <= 1e-4f || clip[i].z < -clip[i].w)
            return; // behind the eye or the near plane: dropped whole, this is only a preview
        const glm::vec3 ndc = glm::vec3(clip[i]) / clip[i].w;
        screen[i] = {(ndc.x * 0.5f + 0.5f) * static_cast<float>(w_), (0.5f - ndc.y * 0.5f) * static_cast<float>(h_),
                     ndc.z};
    }
    // Screen y points down, so counter-clockwise in the world is clockwise here: negative area.
    const float area = (screen[1].x - screen[0].x) * (screen[2].y - screen[0].y) -
                       (screen[2].x - screen[0].x) * (screen[1].y - screen[0].y);
    if (area >= 0.0f) {
        ++culled;
        return;
    }
    ++drawn;
    const int x0 = std::max(0, static_cast<int>(std::floor(std::min({screen[0].x, screen[1].x, screen[2].x}))));
    const int x1 = std::min(w_ - 1, static_cast<int>(std::ceil(std::max({screen[0].x, screen[1].x, screen[2].x}))));
    const int y0 = std::max(0, static_cast<int>(std::floor(std::min({screen[0].y, screen[1].y, screen[2].y}))));
    const int y1 = std::min(h_ - 1, static_cast<int>(std::ceil(std::max({screen[0].y, screen[1].y, screen[2].y}))));
    const glm::vec3 light = glm::normalize(glm::vec3(0.4f, 0.8f, 0.6f));
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            const glm::vec2 p(static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f);
            float w0 = ((screen[1].x - p.x) * (screen[2].y - p.y) - (screen[2].x - p.x) * (screen[1].y - p.y)) / area;
            float w1 = ((screen[2].x - p.x) * (screen[0].y - p.y) - (screen[0].x - p.x) * (screen[2].y - p.y)) / area;
            float w2 = 1.0f - w0 - w1;
            if (w0 < 0.0f || w1 < 0.0f || w2 < 0.0f)
                continue;
            const float z = w0 * screen[0].z + w1 * screen[1].z + w2 * screen[2].z;
            float& depth = depth_[static_cast<size_t>(y * w_ + x)];
            if (z >= depth)
                continue;
            depth = z;
            // Perspective-correct attributes.
            const float q0 = w0 / clip[0].w, q1 = w1 / clip[1].w, q2 = w2 / clip[2].w, qs = q0 + q1 + q2;
            const glm::vec2 uv = (q0 * a.uv + q1 * b.uv + q2 * c.uv) / qs;
            const glm::vec3 n = glm::normalize(q0 * a.normal + q1 * b.normal + q2 * c.normal);
            const glm::vec3 albedo = texture ? texture->Sample(uv) : glm::vec3(0.5f);
            const float lambert = std::max(glm::dot(n, light), 0.0f);
            const float rim = 0.15f * std::max(n.y, 0.0f);
            const glm::vec3 lit = albedo * (0.25f + 0.85f * lambert + rim);
            colour_[static_cast<size_t>(y * w_ + x)] = glm::pow(glm::clamp(lit, 0.0f, 1.0f), glm::vec3(1.0f / 2.2f));
        }
}

void SoftRasteriser::Blit(std::vector<uint8_t>& sheet, int sheetWidth, int x, int y) const
{
    for (int j = 0; j < h_; ++j)
        for (int i = 0; i < w_; ++i) {
            const glm::vec3 c = colour_[static_cast<size_t>(j * w_ + i)];
            uint8_t* p = &sheet[static_cast<size_t>((y + j) * sheetWidth + x + i) * 3];
            for (int k = 0; k < 3; ++k)
                p[k] = static_cast<uint8_t>(std::lround(std::clamp(c[k], 0.0f, 1.0f) * 255.0f));
        }
}
