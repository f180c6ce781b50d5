// A renderer whose backend is not Vulkan: scenes and assets build over it without any GPU
// object, and frames are only counted.
#pragma once

#include "app/IRenderer.h"

#include <string>

class NullRenderer : public IRenderer {
public:
    int drawnFrames = 0;
    int releases = 0;
    int recreations = 0;
    WindowInfo window;

    explicit NullRenderer(uint16_t width = 1280, uint16_t height = 720)
    {
        backend = RendererBackend::OpenGL;
        window.backend = backend;
        window.width = width;
        window.height = height;
        windowInfo = &window;
    }
    void Init() override {}
    void RecreateFrameResources() override { ++recreations; }
    void ReleaseFrameResources() override { ++releases; }
    void CreateUniformBuffer(const std::string&, uint32_t, uint32_t, bool) override {}
    UniformBufferFrame& GetUniformBuffer(const std::string&) override { return dummy_; }
    void UpdateUniformBuffer(const std::string&, const void*, uint32_t) override {}
    void DrawFrame(Scene* scene) override
    {
        UpdateUniforms(scene);
        ++drawnFrames;
    }
    void UpdateUniforms(Scene*) override {}

private:
    UniformBufferFrame dummy_;
};
