// The UI library's SDL2 and Vulkan back ends: bring-up, the font texture on first use, one UI
// frame per recorded frame, shut-down.
#include "renderer/VulkanRenderer.h"

#include "app/GpuContext.h"
#include "app/GpuResources.h"
#include "app/Scene.h"
#include "app/UiSettings.h"
#include "app/VulkanCheck.h"

#include <backends/imgui_impl_sdl.h>
#include <backends/imgui_impl_vulkan.h>
#include <imgui.h>

#include <stdexcept>

namespace {

void CheckUiResult(VkResult result)
{
    if (result < 0)
        throw std::runtime_error("UI back end Vulkan call failed");
}

} // namespace

void VulkanRenderer::InitUi()
{
    // The UI back end allocates freely from this pool: generous counts of every descriptor type.
    constexpr uint32_t UiDescriptorsPerType = 1000;
    std::vector<VkDescriptorPoolSize> sizes;
    for (VkDescriptorType type = VK_DESCRIPTOR_TYPE_SAMPLER; type <= VK_DESCRIPTOR_TYPE_INPUT_ATTACHMENT;
         type = VkDescriptorType(type + 1))
        sizes.push_back({type, UiDescriptorsPerType});
    VkDescriptorPoolCreateInfo pool{VK_STRUCTURE_TYPE_DESCRIPTOR_POOL_CREATE_INFO};
    pool.flags = VK_DESCRIPTOR_POOL_CREATE_FREE_DESCRIPTOR_SET_BIT;
    pool.maxSets = UiDescriptorsPerType;
    pool.poolSizeCount = static_cast<uint32_t>(sizes.size());
    pool.pPoolSizes = sizes.data();
    VkCheck(vkCreateDescriptorPool(gpu.device, &pool, nullptr, &uiDescriptorPool), "failed to create descriptor pool!");

    ImGui::CreateContext();
    ApplyUiSettings();
    uiContextCreated = true;
    ImGui::StyleColorsDark();
    ImGui_ImplSDL2_InitForVulkan(windowInfo->sdlWindow);

    ImGui_ImplVulkan_InitInfo info{};
    info.Instance = gpu.instance;
    info.PhysicalDevice = gpu.physicalDevice;
    info.Device = gpu.device;
    info.QueueFamily = queueFamilies.graphicsFamily.value();
    info.Queue = gpu.graphicsQueue;
    info.PipelineCache = VK_NULL_HANDLE;
    info.DescriptorPool = uiDescriptorPool;
    info.Subpass = 0;
    info.MinImageCount = 2; // the back end keeps one set of UI vertex buffers per frame in flight
    info.ImageCount = 2;
    // Drawn after the upscale, over the window's full size: text stays crisp at every scale.
    info.MSAASamples = VK_SAMPLE_COUNT_1_BIT;
    info.CheckVkResultFn = CheckUiResult;
    ImGui_ImplVulkan_Init(&info, upscale.PresentPass());
    uiVulkanReady = true;
    VkCheck(vkDeviceWaitIdle(gpu.device), "failed to wait for the device to finish");
}

void VulkanRenderer::EnsureUiFontTexture()
{
    if (ImGui::GetIO().Fonts->TexID != nullptr)
        return;
    // This back end version uploads the font only when asked, through a command buffer of ours.
    VkCommandBuffer commandBuffer = BeginSingleTimeCommands();
    ImGui_ImplVulkan_CreateFontsTexture(commandBuffer);
    EndSingleTimeCommands(commandBuffer);
    ImGui_ImplVulkan_DestroyFontUploadObjects();
}

void VulkanRenderer::RecordUi(VkCommandBuffer commandBuffer, Scene* scene)
{
    EnsureUiFontTexture();
    ImGui_ImplVulkan_NewFrame();
    ImGui_ImplSDL2_NewFrame();
    // The SDL back end asks OpenGL for the drawable size, which a Vulkan window need not answer
    // on a high-DPI display: the UI is laid out in window coordinates and drawn over the whole
    // swap-chain image.
    ImGuiIO& io = ImGui::GetIO();
    if (io.DisplaySize.x > 0.0f && io.DisplaySize.y > 0.0f)
        io.DisplayFramebufferScale = ImVec2(float(gpu.swapChainExtent.width) / io.DisplaySize.x,
                                            float(gpu.swapChainExtent.height) / io.DisplaySize.y);
    ImGui::NewFrame();
    scene->DrawUI();
    ImGui::Render();
    ImGui_ImplVulkan_RenderDrawData(ImGui::GetDrawData(), commandBuffer);
}

void VulkanRenderer::ShutdownUi()
{
    if (uiVulkanReady)
        ImGui_ImplVulkan_Shutdown();
    uiVulkanReady = false;
    if (uiContextCreated) {
        ImGui_ImplSDL2_Shutdown();
        ImGui::DestroyContext();
    }
    uiContextCreated = false;
}
