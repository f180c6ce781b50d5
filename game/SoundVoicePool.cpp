#include "game/SoundVoicePool.h"

SoundVoicePool::SoundVoicePool(size_t count) : slots(count) {}

int SoundVoicePool::Acquire(bool tracked)
{
    int chosen = -1;
    for (size_t i = 0; i < slots.size(); ++i) {
        const Slot& slot = slots[i];
        if (!slot.busy) {
            chosen = static_cast<int>(i);
            break;
        }
        if (!slot.tracked && (chosen < 0 || slot.startOrder < slots[static_cast<size_t>(chosen)].startOrder))
            chosen = static_cast<int>(i);
    }
    if (chosen < 0)
        return -1;
    Slot& slot = slots[static_cast<size_t>(chosen)];
    slot.busy = true;
    slot.tracked = tracked;
    slot.startOrder = ++playCount;
    ++slot.generation;
    return chosen;
}

void SoundVoicePool::Release(int voice)
{
    Slot& slot = slots[static_cast<size_t>(voice)];
    slot.busy = false;
    slot.tracked = false;
    ++slot.generation;
}

void SoundVoicePool::Untrack(int voice, uint32_t generation)
{
    if (IsCurrent(voice, generation))
        slots[static_cast<size_t>(voice)].tracked = false;
}

bool SoundVoicePool::IsCurrent(int voice, uint32_t generation) const
{
    return voice >= 0 && static_cast<size_t>(voice) < slots.size() &&
           slots[static_cast<size_t>(voice)].generation == generation;
}

bool SoundVoicePool::HasFree() const
{
    for (const Slot& slot : slots)
        if (!slot.busy)
            return true;
    return false;
}
