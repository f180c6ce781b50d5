#include "renderer/DeviceSelection.h"
#include "renderer/SwapChainChoice.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

QueueFamilyIndices BothOn(uint32_t family)
{
    QueueFamilyIndices q;
    q.graphicsFamily = family;
    q.presentFamily = family;
    return q;
}

DeviceCandidate Capable(VkPhysicalDeviceType type, uint32_t maxImage)
{
    DeviceCandidate d;
    d.type = type;
    d.maxImageDimension2D = maxImage;
    d.name = "Capable";
    d.features = RequiredDeviceFeatures();
    d.queues = BothOn(0);
    d.extensions = {"VK_KHR_maintenance1", "VK_KHR_swapchain", "VK_EXT_descriptor_indexing"};
    d.surfaceFormatCount = 2;
    d.presentModeCount = 1;
    d.framebufferColorSampleCounts = VK_SAMPLE_COUNT_1_BIT | VK_SAMPLE_COUNT_4_BIT;
    d.framebufferDepthSampleCounts = VK_SAMPLE_COUNT_1_BIT | VK_SAMPLE_COUNT_4_BIT;
    return d;
}

VkSurfaceCapabilitiesKHR Capabilities(uint32_t minImages, uint32_t maxImages, VkExtent2D current)
{
    VkSurfaceCapabilitiesKHR c{};
    c.minImageCount = minImages;
    c.maxImageCount = maxImages;
    c.currentExtent = current;
    c.minImageExtent = {1, 1};
    c.maxImageExtent = {4096, 4096};
    return c;
}

} // namespace

TEST(RendererQueueFamilies, StopsAtTheFirstFamilyThatCompletesBoth)
{
    // Family 1 does graphics, family 2 presents; family 3 would do both but is never reached.
    const QueueFamilyIndices q = FindQueueFamilies(
        {{VK_QUEUE_TRANSFER_BIT, false}, {VK_QUEUE_GRAPHICS_BIT, false}, {0, true}, {VK_QUEUE_GRAPHICS_BIT, true}});
    EXPECT_EQ(q.graphicsFamily, 1u);
    EXPECT_EQ(q.presentFamily, 2u);
}

TEST(RendererQueueFamilies, LaterGraphicsFamilyOverwritesWhileNoPresentFound)
{
    const QueueFamilyIndices q =
        FindQueueFamilies({{VK_QUEUE_GRAPHICS_BIT, false}, {VK_QUEUE_GRAPHICS_BIT, false}, {0, true}});
    EXPECT_EQ(q.graphicsFamily, 1u);
    EXPECT_EQ(q.presentFamily, 2u);
}

TEST(RendererQueueFamilies, IncompleteWithoutPresentSupportAndEmptyIndexThrows)
{
    const QueueFamilyIndices q = FindQueueFamilies({{VK_QUEUE_GRAPHICS_BIT, false}});
    EXPECT_FALSE(q.IsComplete());
    EXPECT_THROW(q.presentFamily.value(), std::bad_optional_access);
}

TEST(RendererQueueFamilies, OneQueueEntryForOneFamilyAscendingOtherwise)
{
    EXPECT_EQ(UniqueQueueFamilies(BothOn(3)), std::vector<uint32_t>{3});
    QueueFamilyIndices split;
    split.graphicsFamily = 2;
    split.presentFamily = 0;
    EXPECT_EQ(UniqueQueueFamilies(split), (std::vector<uint32_t>{0, 2}));
}

TEST(RendererDeviceChoice, TheRequiredFeaturesAreWhatTheShadersAndPipelinesUse)
{
    // The wireframe's line fill, anisotropic samplers, per-sample shading in the multisampled
    // pipelines, and a texture array of runtime size, partly bound, indexed by a pushed index.
    EXPECT_EQ(MissingDeviceFeatures(DeviceFeatures{}),
              (std::vector<std::string>{"fillModeNonSolid", "samplerAnisotropy", "sampleRateShading",
                                        "shaderSampledImageArrayDynamicIndexing", "runtimeDescriptorArray",
                                        "descriptorBindingPartiallyBound"}));
    EXPECT_TRUE(MissingDeviceFeatures(RequiredDeviceFeatures()).empty());
}

TEST(RendererDeviceChoice, ADeviceLackingAnyRequiredFeatureIsPassedOverAndTheFeatureNamed)
{
    struct Core {
        VkBool32 VkPhysicalDeviceFeatures::*flag;
        const char* name;
    };
    for (const Core& f : {Core{&VkPhysicalDeviceFeatures::fillModeNonSolid, "fillModeNonSolid"},
                          Core{&VkPhysicalDeviceFeatures::samplerAnisotropy, "samplerAnisotropy"},
                          Core{&VkPhysicalDeviceFeatures::sampleRateShading, "sampleRateShading"},
                          Core{&VkPhysicalDeviceFeatures::shaderSampledImageArrayDynamicIndexing,
                               "shaderSampledImageArrayDynamicIndexing"}}) {
        DeviceCandidate d = Capable(VK_PHYSICAL_DEVICE_TYPE_DISCRETE_GPU, 16384);
        d.name = "Lacking";
        d.features.core.*f.flag = VK_FALSE;
        const DeviceChoice choice = ChooseDevice({d});
        EXPECT_FALSE(choice.index.has_value()) << f.name;
        EXPECT_EQ(choice.passedOver, std::string("Lacking: lacks the features ") + f.name);
    }
    DeviceCandidate d = Capable(VK_PHYSICAL_DEVICE_TYPE_DISCRETE_GPU, 16384);
    d.features.indexing.runtimeDescriptorArray = VK_FALSE;
    d.features.indexing.descriptorBindingPartiallyBound = VK_FALSE;
    EXPECT_EQ(UnsuitableReason(d), "lacks the features runtimeDescriptorArray, descriptorBindingPartiallyBound");
}

TEST(RendererDeviceChoice, EveryDevicePassedOverIsNamedWithAllItsShortfalls)
{
    DeviceCandidate bare = Capable(VK_PHYSICAL_DEVICE_TYPE_CPU, 4096);
    bare.name = "Bare";
    bare.queues = {};
    bare.extensions = {};
    bare.surfaceFormatCount = 0;
    bare.presentModeCount = 0;
    bare.features = {};
    DeviceCandidate noIndexing = Capable(VK_PHYSICAL_DEVICE_TYPE_DISCRETE_GPU, 8192);
    noIndexing.name = "Old";
    noIndexing.extensions = {"VK_KHR_swapchain"};
    const DeviceChoice choice = ChooseDevice({bare, Capable(VK_PHYSICAL_DEVICE_TYPE_CPU, 2048), noIndexing});
    EXPECT_EQ(choice.index, 1u);
    EXPECT_EQ(choice.passedOver,
              "Bare: no graphics queue, no queue that presents to the window, lacks the extensions VK_KHR_swapchain, "
              "VK_EXT_descriptor_indexing, no surface format for the window, no present mode for the window, lacks "
              "the features fillModeNonSolid, samplerAnisotropy, sampleRateShading, "
              "shaderSampledImageArrayDynamicIndexing, runtimeDescriptorArray, descriptorBindingPartiallyBound; "
              "Old: lacks the extensions VK_EXT_descriptor_indexing");
}

TEST(RendererDeviceChoice, MissingExtensionQueuesFormatsOrModesIsUnsuitable)
{
    DeviceCandidate noIndexing = Capable(VK_PHYSICAL_DEVICE_TYPE_DISCRETE_GPU, 8192);
    noIndexing.extensions = {"VK_KHR_swapchain"};
    DeviceCandidate noPresent = Capable(VK_PHYSICAL_DEVICE_TYPE_DISCRETE_GPU, 8192);
    noPresent.queues.presentFamily.reset();
    DeviceCandidate noFormats = Capable(VK_PHYSICAL_DEVICE_TYPE_DISCRETE_GPU, 8192);
    noFormats.surfaceFormatCount = 0;
    DeviceCandidate noModes = Capable(VK_PHYSICAL_DEVICE_TYPE_DISCRETE_GPU, 8192);
    noModes.presentModeCount = 0;
    for (const DeviceCandidate& d : {noIndexing, noPresent, noFormats, noModes})
        EXPECT_FALSE(IsDeviceSuitable(d));
    EXPECT_TRUE(IsDeviceSuitable(Capable(VK_PHYSICAL_DEVICE_TYPE_CPU, 8192)));
}

TEST(RendererDeviceChoice, ScoreFavoursDiscreteThenImageSizeThenAnisotropy)
{
    EXPECT_EQ(ScoreDevice(Capable(VK_PHYSICAL_DEVICE_TYPE_DISCRETE_GPU, 16384)), 10000u + 16384u + 100u);
    EXPECT_EQ(ScoreDevice(Capable(VK_PHYSICAL_DEVICE_TYPE_INTEGRATED_GPU, 8192)), 8192u + 100u);
    DeviceCandidate plain = Capable(VK_PHYSICAL_DEVICE_TYPE_CPU, 4096);
    plain.features.core.samplerAnisotropy = VK_FALSE;
    EXPECT_EQ(ScoreDevice(plain), 4096u);
}

TEST(RendererDeviceChoice, EqualScoresKeepTheFirstEnumerated)
{
    const DeviceCandidate a = Capable(VK_PHYSICAL_DEVICE_TYPE_INTEGRATED_GPU, 8192);
    DeviceCandidate b = a;
    b.framebufferColorSampleCounts = VK_SAMPLE_COUNT_1_BIT;
    const DeviceChoice choice = ChooseDevice({a, b});
    ASSERT_TRUE(choice.index.has_value());
    EXPECT_EQ(*choice.index, 0u);
    EXPECT_EQ(choice.msaaSamples, VK_SAMPLE_COUNT_4_BIT); // taken from the one chosen
}

TEST(RendererDeviceChoice, DiscreteWinsAndAnUnsuitableBetterDeviceIsSkipped)
{
    DeviceCandidate broken = Capable(VK_PHYSICAL_DEVICE_TYPE_DISCRETE_GPU, 32768);
    broken.features.indexing.runtimeDescriptorArray = VK_FALSE;
    const DeviceChoice choice = ChooseDevice({Capable(VK_PHYSICAL_DEVICE_TYPE_INTEGRATED_GPU, 16384), broken,
                                              Capable(VK_PHYSICAL_DEVICE_TYPE_DISCRETE_GPU, 8192)});
    ASSERT_TRUE(choice.index.has_value());
    EXPECT_EQ(*choice.index, 2u);
}

TEST(RendererDeviceChoice, IntegratedOnlyIsChosenAndNothingSuitableChoosesNothing)
{
    const DeviceChoice only = ChooseDevice({Capable(VK_PHYSICAL_DEVICE_TYPE_INTEGRATED_GPU, 8192)});
    ASSERT_TRUE(only.index.has_value());
    EXPECT_EQ(*only.index, 0u);
    EXPECT_FALSE(ChooseDevice({}).index.has_value());
}

TEST(RendererDeviceChoice, SampleCountIsTheHighestInBothMasks)
{
    EXPECT_EQ(MaxUsableSampleCount(VK_SAMPLE_COUNT_1_BIT | VK_SAMPLE_COUNT_8_BIT | VK_SAMPLE_COUNT_4_BIT,
                                   VK_SAMPLE_COUNT_1_BIT | VK_SAMPLE_COUNT_4_BIT),
              VK_SAMPLE_COUNT_4_BIT);
    EXPECT_EQ(MaxUsableSampleCount(0x7F, 0x7F), VK_SAMPLE_COUNT_64_BIT);
    EXPECT_EQ(MaxUsableSampleCount(VK_SAMPLE_COUNT_1_BIT, VK_SAMPLE_COUNT_1_BIT | VK_SAMPLE_COUNT_2_BIT),
              VK_SAMPLE_COUNT_1_BIT);
    EXPECT_EQ(MaxUsableSampleCount(VK_SAMPLE_COUNT_2_BIT, VK_SAMPLE_COUNT_4_BIT), VK_SAMPLE_COUNT_1_BIT);
}

TEST(RendererSwapChainChoice, SurfaceFormatPrefersUnormSrgbPairElseFirst)
{
    const VkSurfaceFormatKHR wanted{VK_FORMAT_B8G8R8A8_UNORM, VK_COLOR_SPACE_SRGB_NONLINEAR_KHR};
    const VkSurfaceFormatKHR srgb{VK_FORMAT_B8G8R8A8_SRGB, VK_COLOR_SPACE_SRGB_NONLINEAR_KHR};
    const VkSurfaceFormatKHR wrongSpace{VK_FORMAT_B8G8R8A8_UNORM, VK_COLOR_SPACE_EXTENDED_SRGB_LINEAR_EXT};
    EXPECT_EQ(ChooseSurfaceFormat({srgb, wrongSpace, wanted}).format, VK_FORMAT_B8G8R8A8_UNORM);
    EXPECT_EQ(ChooseSurfaceFormat({srgb, wrongSpace, wanted}).colorSpace, VK_COLOR_SPACE_SRGB_NONLINEAR_KHR);
    EXPECT_EQ(ChooseSurfaceFormat({srgb, wrongSpace}).format, VK_FORMAT_B8G8R8A8_SRGB);
}

TEST(RendererSwapChainChoice, PresentModePreferenceOrder)
{
    EXPECT_EQ(ChoosePresentMode({VK_PRESENT_MODE_FIFO_KHR}), VK_PRESENT_MODE_FIFO_KHR);
    EXPECT_EQ(ChoosePresentMode({VK_PRESENT_MODE_IMMEDIATE_KHR, VK_PRESENT_MODE_MAILBOX_KHR}),
              VK_PRESENT_MODE_MAILBOX_KHR);
    EXPECT_EQ(ChoosePresentMode({VK_PRESENT_MODE_FIFO_RELAXED_KHR, VK_PRESENT_MODE_IMMEDIATE_KHR}),
              VK_PRESENT_MODE_IMMEDIATE_KHR);
    EXPECT_EQ(ChoosePresentMode({VK_PRESENT_MODE_FIFO_KHR, VK_PRESENT_MODE_FIFO_RELAXED_KHR}),
              VK_PRESENT_MODE_FIFO_RELAXED_KHR);
    // Vsync asked for: in step with the display, whatever faster modes there are.
    EXPECT_EQ(ChoosePresentMode({VK_PRESENT_MODE_MAILBOX_KHR, VK_PRESENT_MODE_IMMEDIATE_KHR, VK_PRESENT_MODE_FIFO_KHR},
                                true),
              VK_PRESENT_MODE_FIFO_KHR);
}

TEST(RendererSwapChainChoice, ExtentIsTheSurfacesUnlessTheWindowDecides)
{
    const VkExtent2D current = ChooseExtent(Capabilities(2, 0, {1280, 720}), 1920, 1080);
    EXPECT_EQ(current.width, 1280u);
    EXPECT_EQ(current.height, 720u);
    const VkExtent2D clamped = ChooseExtent(Capabilities(2, 0, {0xFFFFFFFF, 0xFFFFFFFF}), 9000, 600);
    EXPECT_EQ(clamped.width, 4096u);
    EXPECT_EQ(clamped.height, 600u);
}

TEST(RendererSwapChainChoice, ImageCountIsOneAboveMinimumWithinMaximum)
{
    EXPECT_EQ(ChooseImageCount(Capabilities(2, 0, {1, 1})), 3u); // 0: no upper bound
    EXPECT_EQ(ChooseImageCount(Capabilities(3, 3, {1, 1})), 3u);
    EXPECT_EQ(ChooseImageCount(Capabilities(2, 8, {1, 1})), 3u);
}

TEST(RendererSwapChainChoice, NoFrameForAMinimisedOrZeroSizedWindow)
{
    EXPECT_TRUE(CanPresentTo(false, {1280, 720}));
    EXPECT_FALSE(CanPresentTo(true, {1280, 720}));
    EXPECT_FALSE(CanPresentTo(false, {0, 720}));
    EXPECT_FALSE(CanPresentTo(false, {1280, 0}));
}
