// The renderer as the application and the scene see it.
#pragma once

#include "app/UniformBufferFrame.h"
#include "app/WindowInfo.h"

#include <cstdint>
#include <string>

class Scene;
class StagingBuffer;
class TextureCache;

class IRenderer {
public:
    RendererBackend backend = RendererBackend::Vulkan;
    // The application's window record (not owned); the camera reads its size for the aspect.
    WindowInfo* windowInfo = nullptr;

    virtual ~IRenderer() = default;
    // Whole device bring-up against the window of the WindowInfo record.
    virtual void Init() = 0;
    // After a scene was replaced: command pool and buffers again, swap-chain set rebuilt.
    virtual void RecreateFrameResources() = 0;
    // Waits for the device; destroys the command pool and every named buffer.
    virtual void ReleaseFrameResources() = 0;
    // Named per-frame buffers (one copy per frame in flight); a name that exists is left alone.
    virtual void CreateUniformBuffer(const std::string& name, uint32_t size, uint32_t stride, bool storage) = 0;
    virtual UniformBufferFrame& GetUniformBuffer(const std::string& name) = 0;
    virtual void UpdateUniformBuffer(const std::string& name, const void* data, uint32_t size) = 0;
    // One whole frame for a scene.
    virtual void DrawFrame(Scene* scene) = 0;
    virtual void NoOp() {}
    // Per-frame upload of camera, light and per-object data.
    virtual void UpdateUniforms(Scene* scene) = 0;
    // Textures kept from one scene to the next; null where the renderer makes no GPU objects.
    virtual TextureCache* KeptTextures() { return nullptr; }
    // The staging buffer uploads share; null where each upload makes its own.
    virtual StagingBuffer* UploadStaging() { return nullptr; }
};
