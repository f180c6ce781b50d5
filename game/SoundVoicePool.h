// Bookkeeping for the engine's fixed set of voices (mixer sources): which are busy, which are
// held by a handle, and which one to take for the next play. Knows nothing of the mixer, so the
// choice of voice is testable on its own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class SoundVoicePool {
public:
    explicit SoundVoicePool(size_t count = 0);

    // Takes a voice for a new play: a free one if any, else the busy voice that started first
    // among those no handle holds. Returns -1 when every voice is busy and held.
    int Acquire(bool tracked);
    // The voice's sound ended (played out or stopped); it is free again and its handle stale.
    void Release(int voice);
    // Its handle was given back; the sound plays on but may now be taken by a later play.
    void Untrack(int voice, uint32_t generation);

    // True while `generation` still names the sound the voice plays.
    bool IsCurrent(int voice, uint32_t generation) const;
    bool HasFree() const;
    bool IsBusy(int voice) const { return slots[static_cast<size_t>(voice)].busy; }
    bool IsTracked(int voice) const { return slots[static_cast<size_t>(voice)].tracked; }
    uint32_t Generation(int voice) const { return slots[static_cast<size_t>(voice)].generation; }
    size_t Size() const { return slots.size(); }

private:
    struct Slot {
        uint64_t startOrder = 0; // when the current sound was started, in plays
        uint32_t generation = 0; // changes whenever the voice is taken or freed
        bool busy = false;
        bool tracked = false;
    };
    std::vector<Slot> slots;
    uint64_t playCount = 0;
};
