// A loaded sound's slot in the sound manager, resolved from its name while the scene is built so
// that the frame plays it by index, with no look-up by name.
#pragma once

#include <cstdint>

struct SoundId {
    // What an id holds before it is resolved: playing it fails as a name never loaded does.
    static constexpr uint32_t Unresolved = UINT32_MAX;
    uint32_t index = Unresolved;
};
