#include "assets/VertexLayout.h"

#include "assets/Vertex.h"

#include <cstddef>

VkVertexInputBindingDescription VertexBindingDescription()
{
    return {0, sizeof(Vertex), VK_VERTEX_INPUT_RATE_VERTEX};
}

std::vector<VkVertexInputAttributeDescription> VertexAttributeDescriptions()
{
    return {
        {0, 0, VK_FORMAT_R32G32B32_SFLOAT, offsetof(Vertex, position)},
        {1, 0, VK_FORMAT_R32G32B32_SFLOAT, offsetof(Vertex, normal)},
        {2, 0, VK_FORMAT_R32G32_SFLOAT, offsetof(Vertex, texCoords)},
        {3, 0, VK_FORMAT_R32G32B32A32_SINT, offsetof(Vertex, boneIds)},
        {4, 0, VK_FORMAT_R32G32B32A32_SFLOAT, offsetof(Vertex, weights)},
        {5, 0, VK_FORMAT_R32G32B32_SFLOAT, offsetof(Vertex, tangent)},
    };
}
