// One frame: wait for the slot, acquire, upload, record, submit, present; and the recording of
// the sky box and every shader's actors at the render scale, the upscale, and the UI.
#include "renderer/VulkanRenderer.h"

#include "app/GpuContext.h"
#include "app/Scene.h"
#include "app/VulkanCheck.h"
#include "assets/MeshComponent.h"
#include "assets/SubMesh.h"
#include "renderer/AssetRegistry.h"
#include "renderer/NamedBuffers.h"
#include "renderer/ObjectRecords.h"
#include "renderer/QualityChoice.h"
#include "renderer/UniformLayout.h"
#include "renderer/shader/ShaderComponent.h"
#include "scene/actors/Actor.h"
#include "scene/camera/Camera.h"

#include <SDL2/SDL.h>
#include <time.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <string>

namespace {

// How long a frame for an unpresentable (minimised, hidden, zero-sized) window waits for the
// next window event: long enough not to spin a core, short enough to notice the window return.
constexpr Uint32 IdleWaitMilliseconds = 50;

// CPU time of the calling thread: on a software rasterizer the frame's own threads take the cores
// from the recording thread, and wall time would count their turns as ours.
double ThreadCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
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
    // A resized window, a new window mode or a vsync change: a new set before the acquire.
    const bool away = (SDL_GetWindowFlags(windowInfo->sdlWindow) & (SDL_WINDOW_MINIMIZED | SDL_WINDOW_HIDDEN)) != 0;
    if (!away && (swapChainStale || SwapChainOutdated()))
        RecreateSwapChainSet();
    if (away || swapChainStale) {
        SDL_WaitEventTimeout(nullptr, IdleWaitMilliseconds);
        ++windowWaits;
        lastFrameStart.reset(); // the wait is no frame time
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

    ChooseRenderScale();
    double start = ThreadCpuSeconds();
    UpdateUniforms(scene);
    lastFrameCpuTimes.updateUniforms = ThreadCpuSeconds() - start;
    start = ThreadCpuSeconds();
    Record(commandBuffer, imageIndex, scene);
    lastFrameCpuTimes.record = ThreadCpuSeconds() - start;

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

RenderQuality VulkanRenderer::EffectiveQuality() const
{
    return StartQuality(windowInfo->quality, deviceType);
}

void VulkanRenderer::ChooseRenderScale()
{
    const RenderQuality quality = EffectiveQuality();
    const float chosen = windowInfo->renderScale;
    const auto now = std::chrono::steady_clock::now();
    if (quality == RenderQuality::Auto) {
        scaleController.SetCeiling(chosen);
        if (scaledFor != RenderQuality::Auto) {
            scaleController.Reset(QualityScale(quality, chosen));
        } else if (lastFrameStart) {
            // The frame time is the whole loop's, from this frame's start to the next: the game's
            // update and the wait for the device included.
            scaleController.Update(std::chrono::duration<double>(now - *lastFrameStart).count());
        }
    }
    scaledFor = quality;
    lastFrameStart = now;
    const float scale = quality == RenderQuality::Auto ? scaleController.Scale() : QualityScale(quality, chosen);
    renderScale = forcedScale ? std::clamp(*forcedScale, RenderScaleController::MinScale,
                                           RenderScaleController::MaxScale)
                              : scale;
}

namespace {

// The current frame's copy of a named buffer found when the lists were built; without one, the
// look-up by name, which reports the missing name.
template <class Write> void WriteBuffer(std::vector<UniformBufferFrame>* frames, uint32_t frame, Write byName,
                                        const void* data, uint32_t size)
{
    if (!frames) {
        byName();
        return;
    }
    UniformBufferFrame& target = (*frames)[frame];
    // Never past the mapping: records beyond what the buffer was sized for are not drawn either.
    std::memcpy(target.mapped, data, std::min<VkDeviceSize>(size, target.size));
}

} // namespace

void VulkanRenderer::UpdateUniforms(Scene* scene)
{
    if (!scene || !scene->camera)
        return;
    drawLists.Refresh(scene->actors, scene->transparentActors, assetRegistry);
    const FrameBufferSlots& slots = drawLists.Buffers();

    const CameraRecord camera{scene->camera->GetViewMatrix(), scene->camera->projection, std::log2(renderScale)};
    WriteBuffer(slots.camera, currentFrame, [&] { UpdateUniformBuffer("CameraBuffer", &camera, sizeof(camera)); },
                &camera, sizeof(camera));
    WriteBuffer(slots.pointLights, currentFrame,
                [&] { UpdateUniformBuffer(PointLightsBufferName, scene->pointLights, sizeof(scene->pointLights)); },
                scene->pointLights, sizeof(scene->pointLights));
    WriteBuffer(slots.spotLights, currentFrame,
                [&] { UpdateUniformBuffer(SpotLightsBufferName, &scene->spotLight, sizeof(scene->spotLight)); },
                &scene->spotLight, sizeof(scene->spotLight));
    WriteBuffer(slots.directionalLights, currentFrame,
                [&] {
                    UpdateUniformBuffer(DirectionalLightsBufferName, scene->directionalLights,
                                        sizeof(scene->directionalLights));
                },
                scene->directionalLights, sizeof(scene->directionalLights));
    if (!assetRegistry)
        return;

    // Before recording, so a light or an actor that moved is shaded by its new lights this frame.
    drawLists.AssignPointLights(scene->pointLights, recordingOptions.pointLightLists);
    // Records follow list order; the draw order (Record) finds them through the actors' indices.
    packer.Pack(drawLists);
    if (recordingOptions.opaqueFrontToBack)
        drawLists.OrderFrontToBack(glm::vec3(glm::inverse(camera.view)[3]));
    for (size_t i = 0; i < ObjectBlockCount; ++i) {
        const ObjectBlock block = static_cast<ObjectBlock>(i);
        const std::vector<uint8_t>& bytes = packer.Bytes(block);
        if (bytes.empty()) // a shader with nothing to draw keeps last frame's bytes
            continue;
        const uint32_t size = static_cast<uint32_t>(bytes.size());
        WriteBuffer(slots.objectBlocks[i], currentFrame,
                    [&] { UpdateUniformBuffer(BlockNameString(block), bytes.data(), size); }, bytes.data(), size);
    }
}

void VulkanRenderer::Record(VkCommandBuffer commandBuffer, uint32_t imageIndex, Scene* scene)
{
    VkCommandBufferBeginInfo begin{VK_STRUCTURE_TYPE_COMMAND_BUFFER_BEGIN_INFO};
    VkCheck(vkBeginCommandBuffer(commandBuffer, &begin), "failed to begin recording command buffer");

    // The scene into the corner of the scene image, at the render scale (never under a pixel).
    const VkExtent2D full = gpu.swapChainExtent;
    const VkExtent2D drawn{std::max(1u, uint32_t(std::lround(full.width * double(renderScale)))),
                           std::max(1u, uint32_t(std::lround(full.height * double(renderScale))))};
    VkClearValue clear[2];
    clear[0].color = {{0.0f, 0.0f, 0.0f, 1.0f}};
    clear[1].depthStencil = {1.0f, 0};
    VkRenderPassBeginInfo pass{VK_STRUCTURE_TYPE_RENDER_PASS_BEGIN_INFO};
    pass.renderPass = gpu.renderPass;
    pass.framebuffer = swapChain.sceneFramebuffer;
    pass.renderArea = {{0, 0}, drawn};
    pass.clearValueCount = 2;
    pass.pClearValues = clear;
    vkCmdBeginRenderPass(commandBuffer, &pass, VK_SUBPASS_CONTENTS_INLINE);

    const VkViewport viewport{0.0f, 0.0f, float(drawn.width), float(drawn.height), 0.0f, 1.0f};
    vkCmdSetViewport(commandBuffer, 0, 1, &viewport);
    const VkRect2D scissor{{0, 0}, drawn};
    vkCmdSetScissor(commandBuffer, 0, 1, &scissor);

    CommandRecorder recorder(commandBuffer, recordingOptions.timeCommands);
    if (assetRegistry)
        DrawScene(recorder);
    lastFrameCpuTimes.commands = recorder.Counts();
    vkCmdEndRenderPass(commandBuffer);

    // The scene to the window's size; the UI over it at full resolution, in the same pass.
    upscale.Record(commandBuffer, swapChain.upscaledFramebuffer, swapChain.framebuffers[imageIndex], full, drawn,
                   DeviceFilter(windowInfo->upscaleFilter, deviceType));

    const double uiStart = ThreadCpuSeconds();
    if (recordingOptions.passes & FramePassUi)
        RecordUi(commandBuffer, scene);
    lastFrameCpuTimes.ui = ThreadCpuSeconds() - uiStart;

    vkCmdEndRenderPass(commandBuffer);
    if (capture.requested && capture.size == VkDeviceSize(full.width) * full.height * 4) // not resized since
        RecordCapture(commandBuffer, imageIndex);
    VkCheck(vkEndCommandBuffer(commandBuffer), "failed to record command buffer!");
}

void VulkanRenderer::DrawSkyBox(CommandRecorder& recorder)
{
    ShaderComponent* sky = drawLists.SkyBox();
    const MeshComponent* cube = drawLists.SkyMesh();
    if (!(recordingOptions.passes & FramePassSkyBox) || !sky || sky->pipeline == VK_NULL_HANDLE || !cube ||
        cube->vertexBuffer == VK_NULL_HANDLE)
        return;
    recorder.BindPipeline(sky->pipeline);
    recorder.BindDescriptorSet(sky->pipelineLayout, sky->descriptorSets[currentFrame], nullptr);
    recorder.BindVertexBuffer(cube->vertexBuffer);
    recorder.BindIndexBuffer(cube->indexBuffer);
    for (const auto& sub : cube->meshes)
        recorder.DrawIndexed(sub->indexCount, sub->firstIndex, sub->baseVertex, 0);
}

void VulkanRenderer::DrawScene(CommandRecorder& recorder)
{
    // The sky shows wherever nothing else was drawn: first, behind everything (its pipeline writes
    // no depth), or after the opaque passes and before the blended ones, where the depth test
    // leaves it only the pixels that nothing covers.
    const std::vector<ShaderPass>& passes = drawLists.Passes();
    const bool skyLast = recordingOptions.skyBoxLast;
    if (!skyLast)
        DrawSkyBox(recorder);
    size_t next = 0; // the first pass not drawn yet
    if (recordingOptions.opaqueFrontToBack) {
        // The opaque passes before the first blended one, all together front to back.
        PassState state;
        uint32_t current = UINT32_MAX;
        for (const OpaqueDraw& draw : drawLists.FrontToBack()) {
            if (!(recordingOptions.passes & FramePassShader(draw.pass)))
                continue;
            if (draw.pass != current) {
                current = draw.pass;
                state = BeginPass(recorder, passes[current]);
            }
            if (state.drawable)
                DrawActor(recorder, passes[current], *draw.item, state);
        }
        while (next < passes.size() && !passes[next].sorted)
            ++next;
    }
    bool skyDrawn = !skyLast;
    for (; next < passes.size(); ++next) {
        if (!skyDrawn && passes[next].sorted) {
            DrawSkyBox(recorder);
            skyDrawn = true;
        }
        if (recordingOptions.passes & FramePassShader(next))
            DrawPass(recorder, passes[next]);
    }
    if (!skyDrawn)
        DrawSkyBox(recorder);
}

VulkanRenderer::PassState VulkanRenderer::BeginPass(CommandRecorder& recorder, const ShaderPass& pass)
{
    PassState state;
    const ShaderComponent& shader = *pass.shader;
    if (shader.pipeline == VK_NULL_HANDLE)
        return state; // never built: nothing to draw with
    state.drawable = true;
    recorder.BindPipeline(shader.pipeline);
    if (!shader.hasDynamicBlock)
        recorder.BindDescriptorSet(shader.pipelineLayout, shader.descriptorSets[currentFrame], nullptr);
    // Records beyond what the buffers were sized for were never uploaded: skipped, not misdrawn.
    if (shader.hasDynamicBlock) {
        const UniformBufferFrame& frame =
            pass.dynamicFrames ? (*pass.dynamicFrames)[currentFrame]
                               : GetUniformBufferFrames(shader.dynamicBlockName)[currentFrame];
        state.stride = frame.stride;
        state.dynamicCapacity = frame.size;
    }
    if (pass.animStorage && pass.storageFrames)
        state.storageCapacity = (*pass.storageFrames)[currentFrame].size;
    return state;
}

void VulkanRenderer::DrawPass(CommandRecorder& recorder, const ShaderPass& pass)
{
    const PassState state = BeginPass(recorder, pass);
    if (!state.drawable)
        return;
    if (!pass.sorted) {
        for (const DrawItem& item : pass.items)
            DrawActor(recorder, pass, item, state);
        return;
    }
    for (const DrawItem* item : drawLists.TransparentOrder())
        if (item->shader == pass.shader)
            DrawActor(recorder, pass, *item, state);
}

void VulkanRenderer::DrawActor(CommandRecorder& recorder, const ShaderPass& pass, const DrawItem& item,
                               const PassState& state)
{
    const Actor& actor = *item.actor;
    const MeshComponent* mesh = item.mesh;
    if (!Drawn(actor) || !mesh || mesh->vertexBuffer == VK_NULL_HANDLE)
        return;
    const ShaderComponent& shader = *pass.shader;
    if (shader.hasDynamicBlock && !RecordFits(actor.uniformIndex, state.stride, state.dynamicCapacity))
        return;
    if (pass.animStorage && !RecordFits(actor.storageIndex, sizeof(AnimStorageRecord), state.storageCapacity))
        return;

    if (shader.hasPushConstants && shader.pipelineKind == PipelineKind::Default) {
        const PushConstantRecord push = MakePushConstantRecord(item);
        const uint32_t pushSize = std::min<uint32_t>(shader.pushConstantSize, sizeof(PushConstantRecord));
        recorder.PushConstants(shader.pipelineLayout, shader.pushConstantStages, pushSize, &push);
    }
    if (shader.hasDynamicBlock) {
        const uint32_t offset = DynamicOffset(actor.uniformIndex, state.stride);
        recorder.BindDescriptorSet(shader.pipelineLayout, shader.descriptorSets[currentFrame], &offset);
    }
    recorder.BindVertexBuffer(mesh->vertexBuffer);
    recorder.BindIndexBuffer(mesh->indexBuffer);
    // With a storage block the vertex shader finds the actor's record through the instance index.
    const uint32_t firstInstance = shader.hasStorageBlock ? actor.storageIndex : 0;
    for (const auto& sub : mesh->meshes)
        recorder.DrawIndexed(sub->indexCount, sub->firstIndex, sub->baseVertex, firstInstance);
}
