#include "renderer/CommandRecorder.h"

#include <cstring>

CommandRecorder::CommandRecorder(VkCommandBuffer commandBuffer, bool timed) : commandBuffer(commandBuffer), timed(timed)
{}

void CommandRecorder::ForgetBindings()
{
    boundPipeline = VK_NULL_HANDLE;
    boundVertexBuffer = VK_NULL_HANDLE;
    boundIndexBuffer = VK_NULL_HANDLE;
    pushedSize = 0;
}

void CommandRecorder::Stop(Clock::time_point start)
{
    if (timed)
        counts.driverSeconds += std::chrono::duration<double>(Clock::now() - start).count();
}

void CommandRecorder::BindPipeline(VkPipeline pipeline)
{
    if (pipeline == boundPipeline)
        return;
    const auto start = Start();
    vkCmdBindPipeline(commandBuffer, VK_PIPELINE_BIND_POINT_GRAPHICS, pipeline);
    Stop(start);
    boundPipeline = pipeline;
    pushedSize = 0; // another layout: what was pushed is no longer known to hold
    ++counts.pipelineBinds;
}

void CommandRecorder::BindDescriptorSet(VkPipelineLayout layout, VkDescriptorSet set, const uint32_t* dynamicOffset)
{
    const auto start = Start();
    vkCmdBindDescriptorSets(commandBuffer, VK_PIPELINE_BIND_POINT_GRAPHICS, layout, 0, 1, &set, dynamicOffset ? 1 : 0,
                            dynamicOffset);
    Stop(start);
    ++counts.descriptorBinds;
}

void CommandRecorder::PushConstants(VkPipelineLayout layout, VkShaderStageFlags stages, uint32_t size, const void* data)
{
    if (size <= PushCapacity && size == pushedSize && std::memcmp(pushed, data, size) == 0)
        return;
    const auto start = Start();
    vkCmdPushConstants(commandBuffer, layout, stages, 0, size, data);
    Stop(start);
    if (size <= PushCapacity) {
        std::memcpy(pushed, data, size);
        pushedSize = size;
    } else {
        pushedSize = 0;
    }
    ++counts.pushConstants;
}

void CommandRecorder::BindVertexBuffer(VkBuffer buffer)
{
    if (buffer == boundVertexBuffer)
        return;
    const VkDeviceSize zero = 0;
    const auto start = Start();
    vkCmdBindVertexBuffers(commandBuffer, 0, 1, &buffer, &zero);
    Stop(start);
    boundVertexBuffer = buffer;
    ++counts.vertexBufferBinds;
}

void CommandRecorder::BindIndexBuffer(VkBuffer buffer)
{
    if (buffer == boundIndexBuffer)
        return;
    const auto start = Start();
    vkCmdBindIndexBuffer(commandBuffer, buffer, 0, VK_INDEX_TYPE_UINT32);
    Stop(start);
    boundIndexBuffer = buffer;
    ++counts.indexBufferBinds;
}

void CommandRecorder::DrawIndexed(uint32_t indexCount, uint32_t firstIndex, int32_t vertexOffset,
                                  uint32_t firstInstance)
{
    const auto start = Start();
    vkCmdDrawIndexed(commandBuffer, indexCount, 1, firstIndex, vertexOffset, firstInstance);
    Stop(start);
    ++counts.draws;
}
