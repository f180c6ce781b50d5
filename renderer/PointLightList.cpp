#include "renderer/PointLightList.h"

#include "renderer/PointLightReach.h"

#include <cmath>

PointLightList PointLightList::All()
{
    PointLightList list;
    for (uint32_t i = 0; i < MaxPointLights; ++i)
        list.Add(i);
    return list;
}

void PointLightList::Add(uint32_t light)
{
    indices[count / 4] |= (light & 0xFFu) << (8 * (count % 4));
    ++count;
}

PointLightList PointLightsTouching(const PointLight (&lights)[MaxPointLights], float surfaceGain,
                                   const glm::vec4& bounds)
{
    PointLightList list;
    for (uint32_t i = 0; i < MaxPointLights; ++i) {
        const PointLight& light = lights[i];
        // Infinite reach compares true against any finite distance; NaN bounds list every light.
        const float distance = glm::length(glm::vec3(light.position) - glm::vec3(bounds));
        if (!(distance > PointLightReach(light, surfaceGain) + bounds.w))
            list.Add(i);
    }
    return list;
}
