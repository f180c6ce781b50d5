// The quality a device starts at, its multisampling, the frame-time target, and the command line
// that chooses a quality.
#include "app/CommandLine.h"
#include "renderer/QualityChoice.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

TEST(RenderQualityChoice, ACpuDeviceStartsAtAutoWithLessMultisamplingAndAnyOtherAtHigh)
{
    constexpr VkPhysicalDeviceType Cpu = VK_PHYSICAL_DEVICE_TYPE_CPU;
    constexpr VkPhysicalDeviceType Gpu = VK_PHYSICAL_DEVICE_TYPE_DISCRETE_GPU;
    EXPECT_EQ(StartQuality(RenderQuality::Device, Cpu), RenderQuality::Auto);
    EXPECT_EQ(StartQuality(RenderQuality::Device, Gpu), RenderQuality::High);
    EXPECT_EQ(StartQuality(RenderQuality::Low, Gpu), RenderQuality::Low); // a choice stands
    EXPECT_EQ(StartQuality(RenderQuality::High, Cpu), RenderQuality::High);

    const VkSampleCountFlags all = VK_SAMPLE_COUNT_1_BIT | VK_SAMPLE_COUNT_2_BIT | VK_SAMPLE_COUNT_4_BIT;
    const VkSampleCountFlags noTwo = VK_SAMPLE_COUNT_1_BIT | VK_SAMPLE_COUNT_4_BIT; // lavapipe's
    EXPECT_EQ(QualitySamples(RenderQuality::High, Cpu, VK_SAMPLE_COUNT_4_BIT, noTwo), VK_SAMPLE_COUNT_4_BIT);
    EXPECT_EQ(QualitySamples(RenderQuality::Device, Cpu, VK_SAMPLE_COUNT_4_BIT, all), VK_SAMPLE_COUNT_2_BIT);
    EXPECT_EQ(QualitySamples(RenderQuality::Auto, Cpu, VK_SAMPLE_COUNT_4_BIT, noTwo), VK_SAMPLE_COUNT_1_BIT);
    EXPECT_EQ(QualitySamples(RenderQuality::Auto, Gpu, VK_SAMPLE_COUNT_4_BIT, all), VK_SAMPLE_COUNT_4_BIT);
    EXPECT_EQ(QualitySamples(RenderQuality::Low, Gpu, VK_SAMPLE_COUNT_4_BIT, all), VK_SAMPLE_COUNT_1_BIT);

    // Low is half size whatever the player's scale; High draws at it, brought within its bounds.
    EXPECT_EQ(QualityScale(RenderQuality::Low, 1.0f), 0.5f);
    EXPECT_EQ(QualityScale(RenderQuality::High, 1.0f), 1.0f);
    EXPECT_EQ(QualityScale(RenderQuality::High, 0.8f), 0.8f);
    EXPECT_EQ(QualityScale(RenderQuality::High, 0.2f), 0.5f);
    EXPECT_EQ(QualityScale(RenderQuality::High, std::nanf("")), 1.0f);
    EXPECT_EQ(QualityAnisotropy(RenderQuality::High, Cpu, 16.0f), 16.0f); // the documented picture
    EXPECT_EQ(QualityAnisotropy(RenderQuality::Device, Cpu, 16.0f), 4.0f);
    EXPECT_EQ(QualityAnisotropy(RenderQuality::Low, Cpu, 2.0f), 2.0f);
    EXPECT_EQ(QualityAnisotropy(RenderQuality::Low, Gpu, 16.0f), 16.0f);
    EXPECT_EQ(DeviceFilter(UpscaleFilter::Device, Cpu), UpscaleFilter::Bilinear);
    EXPECT_EQ(DeviceFilter(UpscaleFilter::Device, Gpu), UpscaleFilter::Sharpened);
    EXPECT_EQ(DeviceFilter(UpscaleFilter::Sharpened, Cpu), UpscaleFilter::Sharpened); // a choice stands
    EXPECT_DOUBLE_EQ(FrameTimeTarget(Cpu, 144), 1.0 / 30.0);
    EXPECT_DOUBLE_EQ(FrameTimeTarget(Gpu, 144), 1.0 / 144.0);
    EXPECT_DOUBLE_EQ(FrameTimeTarget(Gpu, 0), 1.0 / 60.0);
}

TEST(RenderQualityCommandLine, ChoosesAQualityAndRejectsAnythingElse)
{
    const auto parse = [](std::vector<const char*> args) {
        args.insert(args.begin(), "zorbulon");
        return ParseCommandLine(int(args.size()), args.data());
    };
    EXPECT_FALSE(parse({}).quality.has_value());
    EXPECT_TRUE(parse({}).error.empty());
    for (RenderQuality q : {RenderQuality::High, RenderQuality::Auto, RenderQuality::Low}) {
        const std::string argument = std::string("--quality=") + RenderQualityName(q);
        const CommandLine line = parse({argument.c_str()});
        EXPECT_EQ(line.quality, q) << argument;
        EXPECT_TRUE(line.error.empty()) << line.error;
    }
    for (const char* bad : {"--quality=ultra", "--quality=", "--quality=device", "--qualty=low", "low"}) {
        const CommandLine line = parse({bad});
        EXPECT_FALSE(line.error.empty()) << bad;
    }
    EXPECT_NE(parse({"--quality=ultra"}).error.find("ultra"), std::string::npos);
    EXPECT_TRUE(parse({"--help"}).help);
}
