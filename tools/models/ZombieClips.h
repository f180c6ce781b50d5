// The zombie's clips, at 30 ticks per second: a swaying idle, a lurching shamble that drags the
// right foot, a flailing run, an overhead swing of the right (bone 36) arm that is raised by tick 3
// and comes down through the space in front of him, and a collapse onto his face.
#pragma once

#include "tools/models/CharacterGenerator.h"

class ZombieClips {
public:
    static constexpr int IdleTicks = 48;   // 1.6 s
    static constexpr int WalkTicks = 36;   // 1.2 s stride
    static constexpr int RunTicks = 20;    // 0.67 s stride
    static constexpr int AttackTicks = 24; // 0.8 s at speed 1
    static constexpr int DeathTicks = 54;  // 1.8 s
    static constexpr int WindUpTick = 3;   // the arm is up when the hit sphere wakes

    static std::vector<ClipRecipe> All(const Skeleton& skeleton);
};
