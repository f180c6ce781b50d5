// Zombie voices: three idle groans, the attack snarl, and two death wails. All are formant
// voices from a long, rough throat.
#pragma once

#include "tools/sounds/dsp/Signal.h"

Signal ZombieNormal1();
Signal ZombieNormal2();
Signal ZombieNormal3();
Signal ZombieAttack2();
Signal ZombieDeath1();
Signal ZombieDeath2();
