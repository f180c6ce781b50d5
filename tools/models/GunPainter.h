// The bubble gun's textures: glossy orange toy plastic with teal trim, brushed metal collars,
// knurled rubber grips, a glass chamber with bubbles, and a tank of pink bubble mix.
#pragma once

#include "tools/models/TextureBaker.h"

class GunPainter {
public:
    static Paint At(const SurfacePoint& s);
};
