#include "game/Crosshair.h"

#include <utility>

namespace {

constexpr float Gap = 4.0f;    // pixels left clear at the centre, so the target stays visible
constexpr float Arm = 7.0f;    // length of each of the four arms
constexpr float Inner = 2.0f;  // the light stroke
constexpr float Outline = 4.0f; // the dark stroke under it
constexpr ImU32 Light = IM_COL32(240, 240, 240, 230);
constexpr ImU32 Dark = IM_COL32(0, 0, 0, 170);

} // namespace

bool CrosshairPoint(const glm::mat4& viewProjection, const glm::vec3& aim, const glm::vec2& display, glm::vec2& point)
{
    const glm::vec4 clip = viewProjection * glm::vec4(aim, 1.0f);
    if (clip.w <= 0.0f)
        return false;
    const glm::vec2 ndc = glm::vec2(clip) / clip.w;
    point = (ndc * 0.5f + 0.5f) * display;
    return true;
}

void DrawCrosshairAt(ImDrawList& drawList, ImVec2 centre)
{
    const ImVec2 directions[] = {{1.0f, 0.0f}, {-1.0f, 0.0f}, {0.0f, 1.0f}, {0.0f, -1.0f}};
    for (const auto& [stroke, colour] : {std::pair{Outline, Dark}, std::pair{Inner, Light}}) {
        // The outline reaches a pixel past the light arm at both ends.
        const float extend = stroke == Outline ? 1.0f : 0.0f;
        for (const ImVec2& d : directions)
            drawList.AddLine(ImVec2(centre.x + d.x * (Gap - extend), centre.y + d.y * (Gap - extend)),
                             ImVec2(centre.x + d.x * (Gap + Arm + extend), centre.y + d.y * (Gap + Arm + extend)),
                             colour, stroke);
    }
}
