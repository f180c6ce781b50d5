// Drevik's clips, all at 30 ticks per second. The pitch bone (Spine2) is overridden by the camera
// in game, so the upper body's own motion lives in Spine and Spine1; both arms move together so
// the gun stays between the hands.
#pragma once

#include "tools/models/CharacterGenerator.h"

class DrevikClips {
public:
    static constexpr int IdleTicks = 60;  // 2 s breathing loop
    static constexpr int WalkTicks = 24;  // 0.8 s stride loop (two steps)
    static constexpr int DeathTicks = 60; // 2 s fall, ends face down
    // Heel strikes, as fractions of the walk; the game plays footsteps at 0.4 and 0.8.
    static constexpr float LeftContact = 0.35f, RightContact = 0.85f;

    static std::vector<ClipRecipe> All(const Skeleton& skeleton);
};
