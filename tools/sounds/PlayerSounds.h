// The player's sounds: being struck, and four footsteps on dirt and grass that the walk cycle
// alternates.
#pragma once

#include "tools/sounds/dsp/Signal.h"

Signal PlayerHit();
Signal Walk1();
Signal Walk2();
Signal Walk3();
Signal Walk4();
