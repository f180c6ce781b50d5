// A small CPU rasteriser for looking at generated models: z-buffered triangles with back-face
// culling (so a wrong winding shows as holes), Lambert shading and a bilinear diffuse texture.
#pragma once

#include <glm/glm.hpp>

#include <cstdint>
#include <string>
#include <vector>

struct PreviewTexture {
    int width = 0, height = 0;
    std::vector<uint8_t> rgba;
    glm::vec3 Sample(const glm::vec2& uv) const; // repeat addressing, UV (0, 0) at the top-left
};

struct PreviewVertex {
    glm::vec3 position; // world
    glm::vec3 normal;   // world
    glm::vec2 uv;
};

class SoftRasteriser {
public:
    SoftRasteriser(int width, int height, const glm::vec3& background);

    void SetCamera(const glm::mat4& viewProjection, const glm::vec3& eye) { viewProj_ = viewProjection, eye_ = eye; }
    // Counter-clockwise triangles facing the camera are drawn; `texture` may be null (grey).
    void Draw(const PreviewVertex& a, const PreviewVertex& b, const PreviewVertex& c, const PreviewTexture* texture);
    // Copies this image into `sheet` at (x, y).
    void Blit(std::vector<uint8_t>& sheet, int sheetWidth, int x, int y) const;
    int culled = 0, drawn = 0;

private:
    int w_, h_;
    std::vector<glm::vec3> colour_;
    std::vector<float> depth_;
    glm::mat4 viewProj_{1.0f};
    glm::vec3 eye_{0.0f};
};
