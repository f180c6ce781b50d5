// One frame: wait for the slot, acquire, upload, record, submit, present; and the recording of
// the sky box, every shader's actors and the UI.
#include "renderer/VulkanRenderer.h"

#include "app/Scene.h"
#include "assets/AssetRegistry.h"
#include "assets/MeshComponent.h"
#include "assets/SubMesh.h"
#include "renderer/GpuContext.h"
#include "renderer/NamedBuffers.h"
#include "renderer/ObjectRecords.h"
#include "renderer/UniformLayout.h"
#include "renderer/VulkanCheck.h"
#include "renderer/shader/ShaderComponent.h"
#include "scene/actors/Actor.h"
#include "scene/camera/Camera.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>

namespace {

// How long a frame for an unpresentable (minimised, hidden, zero-sized) window waits for the
// next window event: long enough not to spin a core, short enough to notice the window return.
constexpr Uint32 IdleWaitMilliseconds = 50;

double SecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

bool Drawn(const Actor& actor)
{
    return actor.visible && !actor.hidden;
}

// Names the frame looks buffers and shaders up by, made into strings once: most are too long for
// the short-string buffer, and built from the literal every frame each would allocate.
const std::string PointLightsBufferName = "PointLightsBuffer";
const std::string SpotLightsBufferName = "SpotLightsBuffer";
const std::string DirectionalLightsBufferName = "DirectionalLightsBuffer";
const std::string BillboardShaderName = "BillBoardPBRShader";

const std::string& BlockNameString(ObjectBlock block)
{
    static const std::array<std::string, ObjectBlockCount> names = {
        ObjectBlockName(ObjectBlock::Base), ObjectBlockName(ObjectBlock::Pbr),
        ObjectBlockName(ObjectBlock::BillBoardPbr), ObjectBlockName(ObjectBlock::Anim),
        ObjectBlockName(ObjectBlock::AnimStorage)};
    return names[static_cast<size_t>(block)];
}

} // namespace

void VulkanRenderer::DrawFrame(Scene* scene)
{
    // Between ReleaseFrameResources and RecreateFrameResources there is nothing to record with.
    if (!scene || gpu.device == VK_NULL_HANDLE || commandBuffers.empty())
        return;
    // A minimised or hidden window, or one whose swap chain could not be rebuilt at zero size,
    // gets no frame: wait for the next window event instead of spinning.
    const bool away = (SDL_GetWindowFlags(windowInfo->sdlWindow) & (SDL_WINDOW_MINIMIZED | SDL_WINDOW_HIDDEN)) != 0;
    if (!away && swapChainStale)
        RecreateSwapChainSet();
    if (away || swapChainStale) {
        SDL_WaitEventTimeout(nullptr, IdleWaitMilliseconds);
        ++windowWaits;
        return;
    }

    constexpr uint64_t NoTimeout = std::numeric_limits<uint64_t>::max();
    VkCheck(vkWaitForFences(gpu.device, 1, &inFlightFences[currentFrame], VK_TRUE, NoTimeout),
            "failed to wait for the frame's fence");

    uint32_t imageIndex = 0;
    VkResult result = vkAcquireNextImageKHR(gpu.device, swapChain.swapChain, NoTimeout,
                                            imageAvailableSemaphores[currentFrame], VK_NULL_HANDLE, &imageIndex);
    if (result == VK_ERROR_OUT_OF_DATE_KHR) {
        RecreateSwapChainSet(); // nothing drawn; the slot is used again next frame
        return;
    }
    if (result != VK_SUCCESS && result != VK_SUBOPTIMAL_KHR)
        throw std::runtime_error("failed to acquire swapchain image");

    VkCheck(vkResetFences(gpu.device, 1, &inFlightFences[currentFrame]), "failed to reset the frame's fence");
    VkCommandBuffer commandBuffer = commandBuffers[currentFrame];
    VkCheck(vkResetCommandBuffer(commandBuffer, 0), "failed to reset command buffer!");

    auto start = std::chrono::steady_clock::now();
    UpdateUniforms(scene);
    lastFrameCpuTimes.updateUniforms = SecondsSince(start);
    start = std::chrono::steady_clock::now();
    Record(commandBuffer, imageIndex, scene);
    lastFrameCpuTimes.record = SecondsSince(start);

    const VkPipelineStageFlags waitStage = VK_PIPELINE_STAGE_COLOR_ATTACHMENT_OUTPUT_BIT;
    VkSubmitInfo submit{VK_STRUCTURE_TYPE_SUBMIT_INFO};
    submit.waitSemaphoreCount = 1;
    submit.pWaitSemaphores = &imageAvailableSemaphores[currentFrame];
    submit.pWaitDstStageMask = &waitStage;
    submit.commandBufferCount = 1;
    submit.pCommandBuffers = &commandBuffer;
    submit.signalSemaphoreCount = 1;
    submit.pSignalSemaphores = &renderFinishedSemaphores[imageIndex];
    VkCheck(vkQueueSubmit(gpu.graphicsQueue, 1, &submit, inFlightFences[currentFrame]),
            "failed to submit draw command buffer!");

    VkPresentInfoKHR present{VK_STRUCTURE_TYPE_PRESENT_INFO_KHR};
    present.waitSemaphoreCount = 1;
    present.pWaitSemaphores = &renderFinishedSemaphores[imageIndex];
    present.swapchainCount = 1;
    present.pSwapchains = &swapChain.swapChain;
    present.pImageIndices = &imageIndex;
    result = vkQueuePresentKHR(presentQueue, &present);
    if (result == VK_ERROR_OUT_OF_DATE_KHR || result == VK_SUBOPTIMAL_KHR)
        RecreateSwapChainSet();
    else if (result != VK_SUCCESS)
        throw std::runtime_error("failed to present swap chain image");

    ++presentedFrames;
    currentFrame = (currentFrame + 1) % MaxFramesInFlight;
}

void VulkanRenderer::UpdateUniforms(Scene* scene)
{
    if (!scene || !scene->camera)
        return;
    const CameraRecord camera{scene->camera->GetViewMatrix(), scene->camera->projection};
    UpdateUniformBuffer("CameraBuffer", &camera, sizeof(camera));
    UpdateUniformBuffer(PointLightsBufferName, scene->pointLights, sizeof(scene->pointLights));
    UpdateUniformBuffer(SpotLightsBufferName, &scene->spotLight, sizeof(scene->spotLight));
    UpdateUniformBuffer(DirectionalLightsBufferName, scene->directionalLights, sizeof(scene->directionalLights));
    if (!assetRegistry)
        return;

    opaqueShaders.clear();
    for (const std::string& name : assetRegistry->shaderNames)
        if (name != "SkyBoxShader" && name != "BillBoardPBRShader" && name != "CollisionShader")
            opaqueShaders.push_back(assetRegistry->GetShader(name).get());
    const ShaderComponent* billboard = assetRegistry->GetShader(BillboardShaderName, true).get();
    packer.Pack(scene->actors, scene->transparentActors, opaqueShaders, billboard);

    for (size_t i = 0; i < ObjectBlockCount; ++i) {
        const ObjectBlock block = static_cast<ObjectBlock>(i);
        const std::vector<uint8_t>& bytes = packer.Bytes(block);
        if (!bytes.empty()) // a shader with nothing to draw keeps last frame's bytes
            UpdateUniformBuffer(BlockNameString(block), bytes.data(), static_cast<uint32_t>(bytes.size()));
    }
}

void VulkanRenderer::Record(VkCommandBuffer commandBuffer, uint32_t imageIndex, Scene* scene)
{
    VkCommandBufferBeginInfo begin{VK_STRUCTURE_TYPE_COMMAND_BUFFER_BEGIN_INFO};
    VkCheck(vkBeginCommandBuffer(commandBuffer, &begin), "failed to begin recording command buffer");

    VkClearValue clear[2];
    clear[0].color = {{0.0f, 0.0f, 0.0f, 1.0f}};
    clear[1].depthStencil = {1.0f, 0};
    VkRenderPassBeginInfo pass{VK_STRUCTURE_TYPE_RENDER_PASS_BEGIN_INFO};
    pass.renderPass = gpu.renderPass;
    pass.framebuffer = swapChain.framebuffers[imageIndex];
    pass.renderArea = {{0, 0}, gpu.swapChainExtent};
    pass.clearValueCount = 2;
    pass.pClearValues = clear;
    vkCmdBeginRenderPass(commandBuffer, &pass, VK_SUBPASS_CONTENTS_INLINE);

    const VkViewport viewport{0.0f, 0.0f, float(gpu.swapChainExtent.width), float(gpu.swapChainExtent.height),
                              0.0f, 1.0f};
    vkCmdSetViewport(commandBuffer, 0, 1, &viewport);
    const VkRect2D scissor{{0, 0}, gpu.swapChainExtent};
    vkCmdSetScissor(commandBuffer, 0, 1, &scissor);

    if (assetRegistry) {
        // The sky first, behind everything (its pipeline does not write depth).
        std::shared_ptr<ShaderComponent> sky = assetRegistry->GetShader("SkyBoxShader", true);
        if (sky && sky->pipeline != VK_NULL_HANDLE) {
            vkCmdBindPipeline(commandBuffer, VK_PIPELINE_BIND_POINT_GRAPHICS, sky->pipeline);
            vkCmdBindDescriptorSets(commandBuffer, VK_PIPELINE_BIND_POINT_GRAPHICS, sky->pipelineLayout, 0, 1,
                                    &sky->descriptorSets[currentFrame], 0, nullptr);
            assetRegistry->GetMesh("Cube")->Draw(&commandBuffer);
        }
        // Every other shader in creation order; the wireframe collision shader is never drawn.
        for (const std::string& name : assetRegistry->shaderNames) {
            if (name == "SkyBoxShader" || name == "CollisionShader")
                continue;
            std::shared_ptr<ShaderComponent> shader = assetRegistry->GetShader(name);
            if (shader->pipeline == VK_NULL_HANDLE)
                continue; // never built: nothing to draw with
            vkCmdBindPipeline(commandBuffer, VK_PIPELINE_BIND_POINT_GRAPHICS, shader->pipeline);
            if (!shader->hasDynamicBlock)
                vkCmdBindDescriptorSets(commandBuffer, VK_PIPELINE_BIND_POINT_GRAPHICS, shader->pipelineLayout, 0, 1,
                                        &shader->descriptorSets[currentFrame], 0, nullptr);
            DrawActors(commandBuffer, shader->usesSortedList ? scene->transparentActors : scene->actors, *shader);
        }
    }

    RecordUi(commandBuffer, scene);

    vkCmdEndRenderPass(commandBuffer);
    VkCheck(vkEndCommandBuffer(commandBuffer), "failed to record command buffer!");
}

void VulkanRenderer::DrawActors(VkCommandBuffer commandBuffer, const std::vector<Actor*>& actors,
                                ShaderComponent& shader)
{
    const bool pushMaterial = shader.hasPushConstants && shader.pipelineKind == PipelineKind::Default;
    const uint32_t pushSize = std::min<uint32_t>(shader.pushConstantSize, sizeof(PushConstantRecord));
    // Looked up once per shader, not per actor.
    uint32_t stride = 0;
    VkDeviceSize dynamicCapacity = 0;
    if (shader.hasDynamicBlock) {
        const UniformBufferFrame& frame = GetUniformBufferFrames(shader.dynamicBlockName)[currentFrame];
        stride = frame.stride;
        dynamicCapacity = frame.size;
    }
    const bool animStorage =
        shader.hasStorageBlock && shader.storageBlockName == ObjectBlockName(ObjectBlock::AnimStorage);
    const VkDeviceSize storageCapacity =
        animStorage ? GetUniformBufferFrames(shader.storageBlockName)[currentFrame].size : 0;

    for (Actor* actor : actors) {
        if (!Drawn(*actor) || actor->GetComponent<ShaderComponent>().get() != &shader)
            continue;
        std::shared_ptr<MeshComponent> mesh = actor->GetComponent<MeshComponent>();
        if (!mesh || mesh->vertexBuffer == VK_NULL_HANDLE)
            continue;
        // Records beyond what the buffers were sized for were never uploaded: skip, not misdraw.
        if (shader.hasDynamicBlock && !RecordFits(actor->uniformIndex, stride, dynamicCapacity))
            continue;
        if (animStorage && !RecordFits(actor->storageIndex, sizeof(AnimStorageRecord), storageCapacity))
            continue;

        if (pushMaterial) {
            const PushConstantRecord push = MakePushConstantRecord(*actor);
            vkCmdPushConstants(commandBuffer, shader.pipelineLayout, shader.pushConstantStages, 0, pushSize, &push);
        }
        if (shader.hasDynamicBlock) {
            const uint32_t offset = DynamicOffset(actor->uniformIndex, stride);
            vkCmdBindDescriptorSets(commandBuffer, VK_PIPELINE_BIND_POINT_GRAPHICS, shader.pipelineLayout, 0, 1,
                                    &shader.descriptorSets[currentFrame], 1, &offset);
        }
        if (!shader.hasStorageBlock) {
            mesh->Draw(&commandBuffer);
            continue;
        }
        // The vertex shader finds the actor's storage record through the instance index.
        const VkDeviceSize zero = 0;
        vkCmdBindVertexBuffers(commandBuffer, 0, 1, &mesh->vertexBuffer, &zero);
        vkCmdBindIndexBuffer(commandBuffer, mesh->indexBuffer, 0, VK_INDEX_TYPE_UINT32);
        for (const SubMesh* sub : mesh->meshes)
            vkCmdDrawIndexed(commandBuffer, sub->indexCount, 1, sub->firstIndex, sub->baseVertex, actor->storageIndex);
    }
}
