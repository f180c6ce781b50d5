// Every sound the player makes, resolved to ids once, before any of his parts is built: a sound
// the scene never loaded fails his build before it has made anything that would need undoing.
#pragma once

#include "game/SoundId.h"

class SoundManager;

struct PlayerSounds {
    // Also sets the levels the burst and the burning were mixed for.
    explicit PlayerSounds(SoundManager& manager);

    SoundManager& manager;
    SoundId gunShot;
    SoundId burst;
    SoundId bubbling;
    SoundId burning;
    SoundId cry;
    SoundId firstSteps[2];  // the foot that lands at 40% of the walk clip
    SoundId secondSteps[2]; // the one at 80%
};
