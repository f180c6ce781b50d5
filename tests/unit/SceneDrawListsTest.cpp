// The renderer's draw lists: built from the scene's lists once, kept while the lists stay the
// same, rebuilt when an actor is added, removed or replaced, and reordered every frame as the
// scene sorts its transparent actors. Built over a renderer without GPU (no pipelines, no buffers).
#include "renderer/SceneDrawLists.h"
#include "assets/MeshComponent.h"
#include "assets/VertexLayout.h"
#include "renderer/AssetRegistry.h"
#include "renderer/shader/ShaderComponent.h"
#include "scene/actors/Actor.h"
#include "scene/components/TransformComponent.h"
#include "support/NullRenderer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

class SceneDrawListsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The game's shaders in the game's creation order.
        for (const char* name :
             {"SkyBoxShader", "BaseShader", "PBRShader", "AnimPBRShader", "CollisionShader", "BillBoardPBRShader"}) {
            ShaderBinding textures;
            textures.name = "d";
            textures.binding = 1;
            textures.descriptorType = VK_DESCRIPTOR_TYPE_COMBINED_IMAGE_SAMPLER;
            registry.shaders[name] = std::make_shared<ShaderComponent>(
                &renderer, std::string(name) + "vert", std::string(name) + "frag", textures, VertexBindingDescription(),
                VertexAttributeDescriptions(), 48, VK_SHADER_STAGE_FRAGMENT_BIT, PipelineKind::Default);
            registry.shaderNames.push_back(name);
        }
        registry.shaders["BillBoardPBRShader"]->usesSortedList = true;
    }

    Actor* Make(const char* shader, const glm::vec3& position = glm::vec3(0.0f), float scale = 1.0f)
    {
        owned.push_back(std::make_unique<Actor>());
        Actor* actor = owned.back().get();
        actor->AddComponent<ShaderComponent>(registry.shaders.at(shader));
        actor->AddComponent<TransformComponent>(
            std::make_shared<TransformComponent>(position, glm::quat(1, 0, 0, 0), glm::vec3(scale)));
        return actor;
    }

    const ShaderPass& PassOf(const char* shader) const
    {
        for (const ShaderPass& pass : lists.Passes())
            if (pass.shader == registry.shaders.at(shader).get())
                return pass;
        throw std::runtime_error(std::string("no pass for ") + shader);
    }

    std::vector<Actor*> ActorsOf(const char* shader) const
    {
        std::vector<Actor*> found;
        for (const DrawItem& item : PassOf(shader).items)
            found.push_back(item.actor);
        return found;
    }

    std::vector<Actor*> TransparentOrder() const
    {
        std::vector<Actor*> found;
        for (const DrawItem* item : lists.TransparentOrder())
            found.push_back(item->actor);
        return found;
    }

    NullRenderer renderer;
    AssetRegistry registry{&renderer};
    std::vector<std::unique_ptr<Actor>> owned;
    SceneDrawLists lists;
};

} // namespace

TEST_F(SceneDrawListsTest, OnePassPerDrawnShaderInCreationOrderWithItsActorsInListOrder)
{
    Actor* pbr1 = Make("PBRShader");
    Actor* base = Make("BaseShader");
    Actor* pbr2 = Make("PBRShader");
    Actor* anim = Make("AnimPBRShader");
    Actor* grass = Make("BillBoardPBRShader");
    EXPECT_TRUE(lists.Refresh({pbr1, base, pbr2, anim}, {grass}, &registry));

    // The sky box and the wireframe shader get no pass; the billboard shader draws the sorted list.
    ASSERT_EQ(lists.Passes().size(), 4u);
    EXPECT_EQ(lists.Passes()[0].shader, registry.shaders["BaseShader"].get());
    EXPECT_EQ(lists.Passes()[3].shader, registry.shaders["BillBoardPBRShader"].get());
    EXPECT_TRUE(lists.Passes()[3].sorted);
    EXPECT_FALSE(lists.Passes()[3].packsOpaque);
    EXPECT_EQ(lists.SkyBox(), registry.shaders["SkyBoxShader"].get());
    EXPECT_TRUE(lists.BillboardRecords());

    EXPECT_EQ(ActorsOf("PBRShader"), (std::vector<Actor*>{pbr1, pbr2}));
    EXPECT_EQ(ActorsOf("BaseShader"), (std::vector<Actor*>{base}));
    EXPECT_EQ(PassOf("PBRShader").recordBlock, ObjectBlock::Pbr);
    EXPECT_TRUE(PassOf("AnimPBRShader").animStorage);
    EXPECT_FALSE(PassOf("PBRShader").animStorage);
    // The components are found once: the item holds the actor's own.
    EXPECT_EQ(PassOf("PBRShader").items[0].transform, pbr1->GetComponent<TransformComponent>().get());
    EXPECT_EQ(PassOf("PBRShader").items[0].mesh, nullptr);
}

TEST_F(SceneDrawListsTest, UnchangedListsAreKeptAndFlagsAreLeftToTheFrame)
{
    std::vector<Actor*> actors = {Make("PBRShader"), Make("PBRShader")};
    std::vector<Actor*> transparent = {Make("BillBoardPBRShader"), Make("BillBoardPBRShader")};
    ASSERT_TRUE(lists.Refresh(actors, transparent, &registry));
    // Hidden, dead or out of sight: the actor stays in its pass, the frame reads its flags.
    actors[1]->hidden = true;
    actors[1]->dead = true;
    actors[0]->visible = false;
    EXPECT_FALSE(lists.Refresh(actors, transparent, &registry));
    EXPECT_EQ(lists.Builds(), 1u);
    EXPECT_EQ(ActorsOf("PBRShader"), actors);
}

TEST_F(SceneDrawListsTest, TransparentItemsFollowTheListsOrderEveryFrame)
{
    std::vector<Actor*> transparent = {Make("BillBoardPBRShader"), Make("BillBoardPBRShader"),
                                       Make("BillBoardPBRShader")};
    lists.Refresh({}, transparent, &registry);
    EXPECT_EQ(TransparentOrder(), transparent);
    // The scene sorts back to front before every frame: same actors, another order.
    std::swap(transparent[0], transparent[2]);
    EXPECT_FALSE(lists.Refresh({}, transparent, &registry));
    EXPECT_EQ(TransparentOrder(), transparent);
    EXPECT_EQ(lists.Builds(), 1u);
}

TEST_F(SceneDrawListsTest, ChangedListsAreRebuilt)
{
    std::vector<Actor*> actors = {Make("PBRShader"), Make("BaseShader")};
    std::vector<Actor*> transparent = {Make("BillBoardPBRShader")};
    lists.Refresh(actors, transparent, &registry);

    // An actor added to the opaque list.
    Actor* added = Make("PBRShader");
    actors.push_back(added);
    EXPECT_TRUE(lists.Refresh(actors, transparent, &registry));
    EXPECT_EQ(ActorsOf("PBRShader"), (std::vector<Actor*>{actors[0], added}));

    // One replaced in place: same length, another actor.
    Actor* replacement = Make("AnimPBRShader");
    actors[1] = replacement;
    EXPECT_TRUE(lists.Refresh(actors, transparent, &registry));
    EXPECT_TRUE(ActorsOf("BaseShader").empty());
    EXPECT_EQ(ActorsOf("AnimPBRShader"), (std::vector<Actor*>{replacement}));

    // One removed.
    actors.pop_back();
    EXPECT_TRUE(lists.Refresh(actors, transparent, &registry));
    EXPECT_EQ(ActorsOf("PBRShader"), (std::vector<Actor*>{actors[0]}));

    // A transparent actor replaced in place: the per-frame look-up misses it.
    Actor* particle = Make("BillBoardPBRShader");
    transparent[0] = particle;
    EXPECT_TRUE(lists.Refresh(actors, transparent, &registry));
    EXPECT_EQ(TransparentOrder(), transparent);

    // One added to the transparent list.
    transparent.push_back(Make("BillBoardPBRShader"));
    EXPECT_TRUE(lists.Refresh(actors, transparent, &registry));
    EXPECT_EQ(TransparentOrder(), transparent);
    EXPECT_EQ(lists.Builds(), 6u);
}

TEST_F(SceneDrawListsTest, InvalidateOrAnotherRegistryRebuilds)
{
    Actor* actor = Make("PBRShader");
    lists.Refresh({actor}, {}, &registry);
    // A component swapped on an actor in play is not seen by the lists: the renderer is told.
    actor->ClearComponents();
    actor->AddComponent<ShaderComponent>(registry.shaders.at("BaseShader"));
    EXPECT_FALSE(lists.Refresh({actor}, {}, &registry));
    lists.Invalidate();
    EXPECT_TRUE(lists.Refresh({actor}, {}, &registry));
    EXPECT_EQ(ActorsOf("BaseShader"), (std::vector<Actor*>{actor}));
    EXPECT_TRUE(ActorsOf("PBRShader").empty());

    // No registry (between scenes): nothing to draw, and a registry again rebuilds.
    EXPECT_TRUE(lists.Refresh({actor}, {}, nullptr));
    EXPECT_TRUE(lists.Passes().empty());
    EXPECT_TRUE(lists.Refresh({actor}, {}, &registry));
    EXPECT_EQ(lists.Passes().size(), 4u);
}

TEST_F(SceneDrawListsTest, OpaqueActorsOfAllPassesDrawFrontToBackWithTheGroundLast)
{
    // The pack's unit cube as every actor's mesh: the far side of its sphere from the eye orders them.
    auto cube = std::make_shared<MeshComponent>(&renderer, "Cube");
    Actor* ground = Make("PBRShader", {0, 0, 0}, 36.0f);
    Actor* far = Make("PBRShader", {0, 0, -20});
    Actor* near = Make("PBRShader", {0, 0, -3});
    Actor* base = Make("BaseShader", {0, 0, -10});
    Actor* zombie = Make("AnimPBRShader", {0, 0, 5});
    Actor* particle = Make("BillBoardPBRShader", {0, 0, -1});
    for (Actor* actor : {ground, far, near, base, zombie, particle})
        actor->AddComponent<MeshComponent>(cube);
    lists.Refresh({ground, far, near, base, zombie}, {particle}, &registry);
    EXPECT_NEAR(PassOf("PBRShader").items[0].radius, std::sqrt(3.0f), 1e-3f);

    auto order = [&] {
        std::vector<Actor*> found;
        for (const OpaqueDraw& draw : lists.FrontToBack()) {
            EXPECT_EQ(lists.Passes()[draw.pass].shader, draw.item->shader);
            found.push_back(draw.item->actor);
        }
        return found;
    };
    lists.OrderFrontToBack({0, 0, 0});
    EXPECT_EQ(order(), (std::vector<Actor*>{near, zombie, base, far, ground}));
    // The eye moved past the far one: it comes first now.
    lists.OrderFrontToBack({0, 0, -19});
    EXPECT_EQ(order(), (std::vector<Actor*>{far, base, near, zombie, ground}));
    // The passes' own lists, which number the records, and the blended list keep their order.
    EXPECT_EQ(ActorsOf("PBRShader"), (std::vector<Actor*>{ground, far, near}));
    EXPECT_EQ(TransparentOrder(), (std::vector<Actor*>{particle}));
}
