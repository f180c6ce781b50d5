// The sting that announces each new round.
#pragma once

#include "tools/sounds/dsp/Signal.h"

Signal RoundChange();
