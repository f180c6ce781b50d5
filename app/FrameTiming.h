// Frame-loop arithmetic: frame time from millisecond ticks, and the frame cap.
#pragma once

#include <vulkan/vulkan.h>

#include <cstdint>

// dt in seconds from two SDL tick readings (unsigned difference, so a wrapped counter still
// gives the right gap), clamped to 0.1 s so a stall slows the game instead of jumping it.
float FrameDeltaSeconds(uint32_t lastTicks, uint32_t currentTicks);

// Frames per second the loop sleeps to: none (0) when FIFO presentation paces it.
uint32_t FrameCapForPresentMode(VkPresentModeKHR presentMode);

// Milliseconds per frame at a cap (unsigned division; 0 when uncapped).
uint32_t FrameBudgetMs(uint32_t frameCap);

// How long to sleep after a frame that started at frameStartTicks: what is left of the budget,
// never more than the budget itself.
uint32_t FrameCapDelayMs(uint32_t budgetMs, uint32_t frameStartTicks, uint32_t nowTicks);
