#include "app/FrameTiming.h"

float FrameDeltaSeconds(uint32_t lastTicks, uint32_t currentTicks)
{
    const uint32_t elapsedMs = currentTicks - lastTicks;
    const float dt = static_cast<float>(elapsedMs) / 1000.0f;
    return 0.1f > dt ? dt : 0.1f;
}

uint32_t FrameCapForPresentMode(VkPresentModeKHR presentMode)
{
    switch (presentMode) {
    case VK_PRESENT_MODE_IMMEDIATE_KHR:
    case VK_PRESENT_MODE_MAILBOX_KHR:
        return 130;
    case VK_PRESENT_MODE_FIFO_KHR:
    case VK_PRESENT_MODE_FIFO_RELAXED_KHR:
        return 0;
    default:
        return 80;
    }
}

uint32_t FrameBudgetMs(uint32_t frameCap) { return frameCap == 0 ? 0 : 1000 / frameCap; }

uint32_t FrameCapDelayMs(uint32_t budgetMs, uint32_t frameStartTicks, uint32_t nowTicks)
{
    const uint32_t spent = nowTicks - frameStartTicks;
    return spent >= budgetMs ? 0 : budgetMs - spent;
}
