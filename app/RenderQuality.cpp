// Names of the quality settings and upscale filters.
#include "app/RenderQuality.h"

const char* RenderQualityName(RenderQuality quality)
{
    switch (quality) {
    case RenderQuality::High:
        return "high";
    case RenderQuality::Auto:
        return "auto";
    case RenderQuality::Low:
        return "low";
    case RenderQuality::Device:
        break;
    }
    return "device";
}

std::optional<RenderQuality> ParseRenderQuality(std::string_view name, bool allowDevice)
{
    for (RenderQuality q : {RenderQuality::High, RenderQuality::Auto, RenderQuality::Low})
        if (name == RenderQualityName(q))
            return q;
    if (allowDevice && name == RenderQualityName(RenderQuality::Device))
        return RenderQuality::Device;
    return std::nullopt;
}

const char* UpscaleFilterName(UpscaleFilter filter)
{
    switch (filter) {
    case UpscaleFilter::Bilinear:
        return "bilinear";
    case UpscaleFilter::Sharpened:
        return "sharpened";
    case UpscaleFilter::Device:
        break;
    }
    return "device";
}

std::optional<UpscaleFilter> ParseUpscaleFilter(std::string_view name)
{
    for (UpscaleFilter f : {UpscaleFilter::Bilinear, UpscaleFilter::Sharpened})
        if (name == UpscaleFilterName(f))
            return f;
    return std::nullopt;
}
