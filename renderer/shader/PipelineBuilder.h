// The three pipeline recipes (sky box, billboard, default with its wireframe variant) over one
// common pipeline state, and the shader modules they are built from.
#pragma once

#include <vulkan/vulkan.h>

#include <vector>

class ShaderComponent;

enum class PipelineRecipe { SkyBox, Billboard, Default, Wireframe };

// Sky box and billboard recipes for the registry's "SkyBoxShader" and "BillBoardPBRShader",
// wireframe for its "CollisionShader", the default recipe for everything else. Any of the
// registry's shaders may be null.
PipelineRecipe ChooseRecipe(const ShaderComponent* shader, const ShaderComponent* skyBox,
                            const ShaderComponent* billboard, const ShaderComponent* collision);

// What differs between the recipes.
struct RecipeState {
    VkPolygonMode polygonMode;
    VkCullModeFlags cullMode;
    bool depthTest;
    bool depthWrite;
    VkCompareOp depthCompare;
    bool blend; // SRC_ALPHA / ONE_MINUS_SRC_ALPHA / ADD for colour and alpha
    const char* layoutFailure;
    const char* pipelineFailure;
};

RecipeState DescribeRecipe(PipelineRecipe recipe);

// The recipe's fixed-function states, for any render pass and sample count.
VkPipelineRasterizationStateCreateInfo RasterizationState(const RecipeState& state);
VkPipelineDepthStencilStateCreateInfo DepthStencilState(const RecipeState& state);
VkPipelineColorBlendAttachmentState BlendAttachmentState(const RecipeState& state);

struct PipelinePair {
    VkPipelineLayout layout = VK_NULL_HANDLE;
    VkPipeline pipeline = VK_NULL_HANDLE;
};

// Builds the component's pipeline from its SPIR-V, vertex layout, push-constant range and set
// layout; both shader modules are gone again when it returns.
PipelinePair CreatePipeline(const ShaderComponent& shader, PipelineRecipe recipe);
