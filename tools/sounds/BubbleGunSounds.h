// The bubble gun's sounds: the shot, the bubble bursting into flame, the burning puddle
// bubbling, and the fire the player stands in.
#pragma once

#include "tools/sounds/dsp/Signal.h"

Signal GunShot();
Signal BulletExplode();
Signal Bubbling();
Signal Burning();
