#include "assets/Texture.h"
#include "assets/VertexLayout.h"
#include "renderer/AssetRegistry.h"
#include "renderer/FrameUniformPacker.h"
#include "renderer/ObjectRecords.h"
#include "renderer/SceneDrawLists.h"
#include "renderer/UniformLayout.h"
#include "renderer/shader/ShaderComponent.h"
#include "scene/actors/Actor.h"
#include "scene/components/MaterialComponent.h"
#include "scene/components/TransformComponent.h"
#include "support/NullRenderer.h"

#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <unordered_map>

namespace {

class RendererRecordPacking : public ::testing::Test {
protected:
    std::shared_ptr<ShaderComponent> Shader(const std::string& program)
    {
        ShaderBinding textures;
        textures.name = "d";
        textures.binding = 1;
        textures.descriptorType = VK_DESCRIPTOR_TYPE_COMBINED_IMAGE_SAMPLER;
        auto shader = std::make_shared<ShaderComponent>(&renderer, program + "vert", program + "frag", textures,
                                                        VertexBindingDescription(), VertexAttributeDescriptions(), 48,
                                                        VK_SHADER_STAGE_FRAGMENT_BIT, PipelineKind::Default);
        programs[shader.get()] = program;
        return shader;
    }

    // One frame's packing as the renderer does it: the shaders registered in the order given (the
    // billboard shader, when there is one, last), the draw lists built from the two lists.
    void Pack(const std::vector<Actor*>& actors, const std::vector<Actor*>& transparentActors,
              const std::vector<std::shared_ptr<ShaderComponent>>& shaders)
    {
        AssetRegistry registry(&renderer);
        for (const auto& shader : shaders) {
            registry.shaders[programs.at(shader.get())] = shader;
            registry.shaderNames.push_back(programs.at(shader.get()));
        }
        SceneDrawLists lists;
        lists.Refresh(actors, transparentActors, &registry);
        packer.Pack(lists);
    }

    Actor* Make(std::shared_ptr<ShaderComponent> shader, glm::vec3 position, bool visible = true, bool hidden = false)
    {
        auto actor = std::make_unique<Actor>();
        actor->AddComponent<ShaderComponent>(std::move(shader));
        actor->AddComponent<TransformComponent>(
            std::make_shared<TransformComponent>(position, glm::quat(1, 0, 0, 0), glm::vec3(1.0f, 2.0f, 3.0f)));
        actor->visible = visible;
        actor->hidden = hidden;
        owned.push_back(std::move(actor));
        return owned.back().get();
    }

    template <class Record> Record RecordAt(ObjectBlock block, uint32_t index, uint32_t stride)
    {
        Record record;
        const std::vector<uint8_t>& bytes = packer.Bytes(block);
        EXPECT_LE(size_t(index + 1) * stride, bytes.size());
        std::memcpy(&record, bytes.data() + size_t(index) * stride, sizeof(Record));
        return record;
    }

    NullRenderer renderer;
    FrameUniformPacker packer{256}; // the alignment of many desktop GPUs
    std::vector<std::unique_ptr<Actor>> owned;
    std::unordered_map<const ShaderComponent*, std::string> programs;
};

bool SameMatrix(const glm::mat4& a, const glm::mat4& b)
{
    return std::memcmp(&a, &b, sizeof(glm::mat4)) == 0;
}

} // namespace

TEST_F(RendererRecordPacking, HiddenAndInvisibleActorsGetNoRecordAndTheNextTakesTheLowerNumber)
{
    auto pbr = Shader("PBRShader");
    Actor* first = Make(pbr, {1, 0, 0});
    Make(pbr, {2, 0, 0}, false);
    Make(pbr, {3, 0, 0}, true, true);
    Actor* last = Make(pbr, {4, 0, 0});
    Pack({owned[0].get(), owned[1].get(), owned[2].get(), owned[3].get()}, {}, {pbr});

    EXPECT_EQ(first->uniformIndex, 0u);
    EXPECT_EQ(last->uniformIndex, 1u);
    ASSERT_EQ(packer.Bytes(ObjectBlock::Pbr).size(), 2u * 256u);
    EXPECT_EQ(RecordAt<PbrRecord>(ObjectBlock::Pbr, 1, 256).model[3], glm::vec4(4, 0, 0, 1));
}

TEST_F(RendererRecordPacking, ThirdPbrActorSitsAt512AndPaddingStaysZero)
{
    auto pbr = Shader("PBRShader");
    std::vector<Actor*> actors;
    for (int i = 0; i < 3; ++i)
        actors.push_back(Make(pbr, {float(i), 0, 0}));
    actors[2]->colour = {0.1f, 0.2f, 0.3f};
    actors[2]->materialValues = {0.4f, 0.5f, 0.6f, 0.7f};
    Pack(actors, {}, {pbr});

    EXPECT_EQ(packer.Stride(ObjectBlock::Pbr), 256u);
    EXPECT_EQ(DynamicOffset(actors[2]->uniformIndex, packer.Stride(ObjectBlock::Pbr)), 512u);
    const PbrRecord third = RecordAt<PbrRecord>(ObjectBlock::Pbr, 2, 256);
    EXPECT_EQ(third.colourAndMetallic, glm::vec4(0.1f, 0.2f, 0.3f, 0.4f));
    EXPECT_EQ(third.values, glm::vec4(0.4f, 0.5f, 0.6f, 0.7f));
    const std::vector<uint8_t>& bytes = packer.Bytes(ObjectBlock::Pbr);
    for (size_t i = 512 + sizeof(PbrRecord); i < bytes.size(); ++i)
        ASSERT_EQ(bytes[i], 0) << "padding byte " << i;
}

TEST_F(RendererRecordPacking, RecordsCarryModelAndNormalMatrices)
{
    auto base = Shader("BaseShader");
    Actor* actor = Make(base, {5, 6, 7});
    Pack({actor}, {}, {base});
    const BaseRecord record = RecordAt<BaseRecord>(ObjectBlock::Base, 0, 256);
    const glm::mat4 expected = glm::scale(glm::translate(glm::mat4(1.0f), {5, 6, 7}), {1, 2, 3});
    EXPECT_TRUE(SameMatrix(record.model, ActorModelMatrix(ResolveDrawItem(*actor))));
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r) {
            EXPECT_NEAR(record.model[c][r], expected[c][r], 1e-5f);
            EXPECT_NEAR(record.normalMatrix[c][r], glm::transpose(glm::inverse(expected))[c][r], 1e-5f);
        }
}

TEST_F(RendererRecordPacking, EachShaderNumbersItsOwnActors)
{
    auto base = Shader("BaseShader");
    auto pbr = Shader("PBRShader");
    std::vector<Actor*> actors = {Make(base, {}), Make(pbr, {}), Make(base, {}), Make(pbr, {})};
    Pack(actors, {}, {base, pbr});
    EXPECT_EQ(actors[0]->uniformIndex, 0u);
    EXPECT_EQ(actors[2]->uniformIndex, 1u);
    EXPECT_EQ(actors[1]->uniformIndex, 0u);
    EXPECT_EQ(actors[3]->uniformIndex, 1u);
    EXPECT_EQ(packer.Bytes(ObjectBlock::Base).size(), 2u * 256u);
    EXPECT_EQ(packer.Bytes(ObjectBlock::Pbr).size(), 2u * 256u);
}

TEST_F(RendererRecordPacking, AnimatedActorsGetPackedStorageRecordsFoundByStorageIndex)
{
    auto anim = Shader("AnimPBRShader");
    ASSERT_TRUE(anim->hasStorageBlock);
    ASSERT_EQ(anim->storageBlockName, "SSBO_AnimPBRShader");
    std::vector<Actor*> actors = {Make(anim, {1, 0, 0}), Make(anim, {2, 0, 0}, false), Make(anim, {3, 0, 0})};
    Pack(actors, {}, {anim});

    EXPECT_EQ(actors[0]->storageIndex, 0u);
    EXPECT_EQ(actors[2]->storageIndex, 1u);
    EXPECT_EQ(actors[2]->uniformIndex, 1u);
    EXPECT_EQ(packer.Bytes(ObjectBlock::Anim).size(), 2u * 256u);
    ASSERT_EQ(packer.Bytes(ObjectBlock::AnimStorage).size(), 2u * sizeof(AnimStorageRecord)); // not aligned
    const auto* second = reinterpret_cast<const AnimStorageRecord*>(packer.Bytes(ObjectBlock::AnimStorage).data()) + 1;
    EXPECT_EQ(second->model[3], glm::vec4(3, 0, 0, 1));
    EXPECT_TRUE(SameMatrix(second->bones[99], glm::mat4(1.0f))); // no animation: identity bones
}

TEST_F(RendererRecordPacking, NothingToDrawLeavesTheArraysEmptyEveryFrame)
{
    auto pbr = Shader("PBRShader");
    Actor* actor = Make(pbr, {});
    Pack({actor}, {}, {pbr});
    ASSERT_FALSE(packer.Bytes(ObjectBlock::Pbr).empty());
    actor->hidden = true;
    Pack({actor}, {}, {pbr});
    for (size_t i = 0; i < ObjectBlockCount; ++i)
        EXPECT_TRUE(packer.Bytes(ObjectBlock(i)).empty()) << ObjectBlockName(ObjectBlock(i));
}

TEST_F(RendererRecordPacking, ReservedRoomTakesEveryRecordTheBuffersHoldWithoutMoving)
{
    auto anim = Shader("AnimPBRShader");
    packer.Reserve("DYN_AnimPBRShader", 3 * 256);
    packer.Reserve("SSBO_AnimPBRShader", 3 * sizeof(AnimStorageRecord));
    packer.Reserve("CameraBuffer", 4096); // not a per-object block
    const uint8_t* dynamic = packer.Bytes(ObjectBlock::Anim).data();
    const uint8_t* storage = packer.Bytes(ObjectBlock::AnimStorage).data();
    ASSERT_NE(dynamic, nullptr);
    ASSERT_NE(storage, nullptr);

    // One zombie in play, then all three, as when zombies spawn: the arrays grow in place.
    std::vector<Actor*> actors = {Make(anim, {}), Make(anim, {}, true, true), Make(anim, {}, true, true)};
    Pack(actors, {}, {anim});
    actors[1]->hidden = actors[2]->hidden = false;
    Pack(actors, {}, {anim});
    EXPECT_EQ(packer.Bytes(ObjectBlock::Anim).size(), 3u * 256u);
    EXPECT_EQ(packer.Bytes(ObjectBlock::Anim).data(), dynamic);
    EXPECT_EQ(packer.Bytes(ObjectBlock::AnimStorage).size(), 3u * sizeof(AnimStorageRecord));
    EXPECT_EQ(packer.Bytes(ObjectBlock::AnimStorage).data(), storage);
    for (ObjectBlock other : {ObjectBlock::Base, ObjectBlock::Pbr, ObjectBlock::BillBoardPbr})
        EXPECT_EQ(packer.Bytes(other).capacity(), 0u) << ObjectBlockName(other);
}

TEST_F(RendererRecordPacking, TransparentActorsAreNumberedInTheirListsOrder)
{
    auto billboard = Shader("BillBoardPBRShader");
    std::vector<Actor*> transparent = {Make(billboard, {1, 0, 0}), Make(billboard, {2, 0, 0}, true, true),
                                       Make(billboard, {3, 0, 0})};
    Pack({}, transparent, {billboard});
    EXPECT_EQ(transparent[0]->uniformIndex, 0u);
    EXPECT_EQ(transparent[2]->uniformIndex, 1u);
    ASSERT_EQ(packer.Bytes(ObjectBlock::BillBoardPbr).size(), 2u * 256u);
    EXPECT_EQ(RecordAt<PbrRecord>(ObjectBlock::BillBoardPbr, 1, 256).model[3], glm::vec4(3, 0, 0, 1));

    // Without a billboard shader there is nothing to upload, but the numbering still holds.
    Pack({}, transparent, {});
    EXPECT_TRUE(packer.Bytes(ObjectBlock::BillBoardPbr).empty());
    EXPECT_EQ(transparent[2]->uniformIndex, 1u);
}

TEST_F(RendererRecordPacking, PushConstantsCarryColourOrWidenedMaterialIndices)
{
    Actor plain;
    plain.colour = {0.25f, 0.5f, 0.75f};
    plain.materialValues = {0.9f, 0.9f, 0.9f, 0.9f};
    const PushConstantRecord colour = MakePushConstantRecord(ResolveDrawItem(plain));
    EXPECT_EQ(colour.colour, glm::vec4(0.25f, 0.5f, 0.75f, 0.0f));
    for (int32_t index : colour.textureIndices)
        EXPECT_EQ(index, -1);

    Actor textured;
    textured.colour = {1, 1, 1};
    auto diffuse = std::make_shared<Texture>(&renderer, "Diffuse", 3, VK_FORMAT_R8G8B8A8_SRGB);
    auto alpha = std::make_shared<Texture>(&renderer, "Alpha", 13, VK_FORMAT_R8G8B8A8_UNORM);
    MaterialTextures slots;
    slots.slot0 = diffuse;
    slots.slot7 = alpha;
    textured.AddComponent<MaterialComponent>(std::make_shared<MaterialComponent>(slots));
    const PushConstantRecord material = MakePushConstantRecord(ResolveDrawItem(textured));
    EXPECT_EQ(material.colour, glm::vec4(0.0f));
    EXPECT_EQ(material.textureIndices[0], 3);
    EXPECT_EQ(material.textureIndices[7], 13);
    for (int slot = 1; slot < 7; ++slot)
        EXPECT_EQ(material.textureIndices[slot], -1) << "slot " << slot;
}
