// The zombie's textures: mottled pale green skin with veins, bruises and wounds, sunken yellow
// eyes, a faded plaid shirt and jeans with bloodstains and frayed holes, grimy nails; the gloss
// map makes wounds and eyes wet and cloth dull.
#pragma once

#include "tools/models/TextureBaker.h"

class ZombiePainter {
public:
    static Paint At(const SurfacePoint& s);
};
