// The quality decisions; see QualityChoice.h.
#include "renderer/QualityChoice.h"

#include "renderer/RenderScaleController.h"

#include <algorithm>
#include <cmath>

namespace {

bool IsCpu(VkPhysicalDeviceType type)
{
    return type == VK_PHYSICAL_DEVICE_TYPE_CPU;
}

} // namespace

RenderQuality StartQuality(RenderQuality chosen, VkPhysicalDeviceType type)
{
    if (chosen != RenderQuality::Device)
        return chosen;
    return IsCpu(type) ? RenderQuality::Auto : RenderQuality::High;
}

VkSampleCountFlagBits QualitySamples(RenderQuality quality, VkPhysicalDeviceType type,
                                     VkSampleCountFlagBits deviceMost, VkSampleCountFlags supported)
{
    switch (StartQuality(quality, type)) {
    case RenderQuality::Low:
        return VK_SAMPLE_COUNT_1_BIT;
    case RenderQuality::Auto:
        if (!IsCpu(type))
            return deviceMost;
        // Sample counts are single bits: the smaller flag is the smaller count.
        return (supported & VK_SAMPLE_COUNT_2_BIT) && deviceMost >= VK_SAMPLE_COUNT_2_BIT ? VK_SAMPLE_COUNT_2_BIT
                                                                                   : VK_SAMPLE_COUNT_1_BIT;
    default:
        return deviceMost;
    }
}

float QualityScale(RenderQuality quality, float chosenScale)
{
    if (quality == RenderQuality::Low)
        return RenderScaleController::MinScale; // half of each axis, a quarter of the pixels
    if (std::isnan(chosenScale))
        return RenderScaleController::MaxScale;
    return std::clamp(chosenScale, RenderScaleController::MinScale, RenderScaleController::MaxScale);
}

float QualityAnisotropy(RenderQuality quality, VkPhysicalDeviceType type, float deviceMost)
{
    constexpr float CpuAnisotropy = 4.0f;
    if (!IsCpu(type) || StartQuality(quality, type) == RenderQuality::High)
        return deviceMost;
    return std::min(CpuAnisotropy, deviceMost);
}

UpscaleFilter DeviceFilter(UpscaleFilter chosen, VkPhysicalDeviceType type)
{
    if (chosen != UpscaleFilter::Device)
        return chosen;
    return IsCpu(type) ? UpscaleFilter::Bilinear : UpscaleFilter::Sharpened;
}

double FrameTimeTarget(VkPhysicalDeviceType type, int refreshHz)
{
    if (IsCpu(type))
        return 1.0 / 30.0; // the least a game that aims with the mouse stays playable at
    constexpr int UnknownRefreshHz = 60; // what nearly every display offers
    return 1.0 / double(refreshHz > 0 ? refreshHz : UnknownRefreshHz);
}
