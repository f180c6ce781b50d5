// The crosshair: where on the screen a point of the bubble's path shows, and the mark itself,
// dark-edged and light inside so it reads against the night sky and the lit ground alike.
#pragma once

#include <glm/glm.hpp>
#include <imgui.h>

// How far out the crosshair follows the bubble's path: about where zombies are met. The bubble
// leaves the gun below and right of the eye, so nearer marks sit further from the centre.
inline constexpr float CrosshairAimDistance = 8.0f;

// `point` in the display's pixels (origin top left) of world point `aim` seen through
// `viewProjection` (Vulkan's clip space, y down); false when the point is behind the eye.
bool CrosshairPoint(const glm::mat4& viewProjection, const glm::vec3& aim, const glm::vec2& display, glm::vec2& point);

void DrawCrosshairAt(ImDrawList& drawList, ImVec2 centre);
