// Drevik's textures: weathered olive canvas jacket, dark cargo trousers, leather boots, a webbing
// pack harness, skin with stubble and a face (eyes, brows, lips), short dark hair.
#pragma once

#include "tools/models/TextureBaker.h"

class DrevikPainter {
public:
    static Paint At(const SurfacePoint& s);
};
