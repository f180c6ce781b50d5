// The vertex input state every pipeline is built for: binding 0, 76-byte stride, per-vertex,
// with the six attributes of Vertex at locations 0 to 5.
#pragma once

#include <vulkan/vulkan.h>

#include <vector>

VkVertexInputBindingDescription VertexBindingDescription();
std::vector<VkVertexInputAttributeDescription> VertexAttributeDescriptions();
