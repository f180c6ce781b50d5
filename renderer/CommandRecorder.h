// The frame's own vkCmd* calls, through one place: counts what a frame records, drops binds that
// would change nothing (the same pipeline, vertex or index buffer, or push-constant bytes again),
// and, when asked, times the driver's side of each call, so a frame's recording time splits into
// the driver's and ours.
#pragma once

#include <vulkan/vulkan.h>

#include <chrono>
#include <cstdint>

// What one frame recorded through the recorder (the UI library records on its own).
struct CommandCounts {
    uint32_t draws = 0;
    uint32_t pipelineBinds = 0;
    uint32_t descriptorBinds = 0;
    uint32_t pushConstants = 0;
    uint32_t vertexBufferBinds = 0;
    uint32_t indexBufferBinds = 0;
    double driverSeconds = 0.0; // inside the vkCmd* calls; 0 unless timed
};

class CommandRecorder {
public:
    CommandRecorder(VkCommandBuffer commandBuffer, bool timed);

    VkCommandBuffer Buffer() const { return commandBuffer; }
    // Forgets what is bound: after commands recorded around the recorder.
    void ForgetBindings();

    void BindPipeline(VkPipeline pipeline);
    void BindDescriptorSet(VkPipelineLayout layout, VkDescriptorSet set, const uint32_t* dynamicOffset);
    // Push constants are skipped when the same bytes were pushed last under the same pipeline.
    void PushConstants(VkPipelineLayout layout, VkShaderStageFlags stages, uint32_t size, const void* data);
    void BindVertexBuffer(VkBuffer buffer);
    void BindIndexBuffer(VkBuffer buffer);
    void DrawIndexed(uint32_t indexCount, uint32_t firstIndex, int32_t vertexOffset, uint32_t firstInstance);

    const CommandCounts& Counts() const { return counts; }

private:
    using Clock = std::chrono::steady_clock;
    Clock::time_point Start() const { return timed ? Clock::now() : Clock::time_point{}; }
    void Stop(Clock::time_point start);

    VkCommandBuffer commandBuffer;
    bool timed;
    CommandCounts counts;
    VkPipeline boundPipeline = VK_NULL_HANDLE;
    VkBuffer boundVertexBuffer = VK_NULL_HANDLE;
    VkBuffer boundIndexBuffer = VK_NULL_HANDLE;
    static constexpr uint32_t PushCapacity = 128;
    alignas(16) uint8_t pushed[PushCapacity] = {};
    uint32_t pushedSize = 0; // 0: nothing pushed under the bound pipeline
};
