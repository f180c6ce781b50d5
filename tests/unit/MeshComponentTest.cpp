// Model import edge cases through the game's MeshComponent, on small .x files written for each
// case: missing UVs, a fifth bone influence, a bone shared by two meshes, meshes on inner nodes,
// import failures, and no GPU buffers over a non-Vulkan renderer.
#include "assets/MeshComponent.h"
#include "support/NullRenderer.h"
#include "support/TempDir.h"
#include "tools/models/XWriter.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace {

void WriteSinglePack(const TempWorkDir& dir, const std::string& name, const std::string& bytes)
{
    dir.Write("Assets.bin", bytes);
    dir.Write("AssetsOffsets.bin", "NAME: " + name + "\nstart: 0\nend: " + std::to_string(bytes.size()) + "\n");
}

// A triangle in the XY plane at height y, facing +Z.
XMesh Triangle(const std::string& name, float y, bool withUvs = true)
{
    XMesh mesh;
    mesh.name = name;
    mesh.positions = {{0, y, 0}, {1, y, 0}, {0, y + 1, 0}};
    mesh.normals = {{0, 0, 1}, {0, 0, 1}, {0, 0, 1}};
    if (withUvs)
        mesh.uvs = {{0.25f, 0.5f}, {0.75f, 0.5f}, {0.25f, 0.0f}};
    mesh.triangles = {{0, 1, 2}};
    return mesh;
}

XSkinBone Influence(const std::string& bone, std::vector<uint32_t> vertices, std::vector<float> weights)
{
    XSkinBone b;
    b.name = bone;
    b.vertices = std::move(vertices);
    b.weights = std::move(weights);
    return b;
}

// A clip that animates every named frame makes assimp report the model as animated.
XAnimationSet BindClip(const std::vector<std::string>& frames)
{
    XAnimationSet set;
    set.name = "Bind";
    set.durationTicks = 1;
    for (const std::string& f : frames) {
        XChannel c;
        c.frame = f;
        c.rotations = {{0, glm::quat(1, 0, 0, 0)}, {1, glm::quat(1, 0, 0, 0)}};
        c.scales = {{0, glm::vec3(1)}, {1, glm::vec3(1)}};
        c.positions = {{0, glm::vec3(0)}, {1, glm::vec3(0)}};
        set.channels.push_back(c);
    }
    return set;
}

XFrame BoneFrame(const std::string& name)
{
    XFrame f;
    f.name = name;
    return f;
}

std::unique_ptr<MeshComponent> Import(const TempWorkDir& dir, const XScene& scene)
{
    static NullRenderer renderer;
    WriteSinglePack(dir, "Model", XWriter::ToText(scene));
    return std::make_unique<MeshComponent>(&renderer, "Model");
}

} // namespace

TEST(MeshComponent, MissingUvsGiveZeroCoordinatesAndNoGpuBuffers)
{
    TempWorkDir dir;
    XScene scene;
    scene.root.name = "Root";
    scene.root.meshes.push_back(Triangle("Bare", 0.0f, false));
    const auto mesh = Import(dir, scene);
    ASSERT_EQ(mesh->vertices.size(), 3u);
    for (const Vertex& v : mesh->vertices) {
        EXPECT_EQ(v.texCoords, glm::vec2(0.0f));
        EXPECT_EQ(v.boneIds[0], -1);
        EXPECT_FLOAT_EQ(v.weights[0], 0.0f);
    }
    EXPECT_FALSE(mesh->isAnimated);
    EXPECT_TRUE(mesh->bones.empty());
    // Over a renderer that is not Vulkan the geometry stays in memory only.
    EXPECT_EQ(mesh->vertexBuffer, VK_NULL_HANDLE);
    EXPECT_EQ(mesh->indexBuffer, VK_NULL_HANDLE);
}

TEST(MeshComponent, FifthInfluenceIsDroppedInFileOrder)
{
    TempWorkDir dir;
    XScene scene;
    scene.root.name = "Root";
    XMesh mesh = Triangle("Skinned", 0.0f);
    const std::vector<std::string> names = {"B0", "B1", "B2", "B3", "B4"};
    const float weights[] = {0.3f, 0.25f, 0.2f, 0.15f, 0.1f};
    for (size_t i = 0; i < names.size(); ++i) {
        // Every bone also holds one of the other vertices fully, so none is left without weights.
        mesh.bones.push_back(Influence(names[i], {0, static_cast<uint32_t>(1 + i % 2)}, {weights[i], 1.0f}));
        scene.root.children.push_back(BoneFrame(names[i]));
    }
    scene.root.meshes.push_back(mesh);
    scene.animations.push_back(BindClip(names));

    const auto model = Import(dir, scene);
    ASSERT_TRUE(model->isAnimated);
    ASSERT_EQ(model->bones.size(), 5u);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(model->bones[i].id, i);
        EXPECT_EQ(model->bones[i].name, names[i]);
        EXPECT_EQ(model->boneInfoMap.at(names[i]).id, i);
    }
    // Find vertex 0 of the file: the one carrying all five bones.
    const Vertex* shared = nullptr;
    for (const Vertex& v : model->vertices)
        if (v.boneIds[3] >= 0)
            shared = &v;
    ASSERT_NE(shared, nullptr);
    for (int slot = 0; slot < MaxBoneInfluence; ++slot) {
        EXPECT_EQ(shared->boneIds[slot], slot);
        EXPECT_NEAR(shared->weights[slot], weights[slot], 1e-5f);
    }
    // Not renormalised: the dropped 0.1 is simply lost.
    EXPECT_NEAR(shared->weights[0] + shared->weights[1] + shared->weights[2] + shared->weights[3], 0.9f, 1e-5f);
}

TEST(MeshComponent, BoneSharedByTwoMeshesGetsOneIdAndMeshesFollowTheNodeTree)
{
    TempWorkDir dir;
    XScene scene;
    scene.root.name = "Root";
    // The root holds mesh A; its first child holds B and has a child holding C; the second child D.
    XMesh a = Triangle("A", 0.0f);
    a.bones = {Influence("Arm", {0, 1, 2}, {1, 1, 1})};
    XMesh b = Triangle("B", 2.0f);
    b.bones = {Influence("Leg", {0}, {1}), Influence("Arm", {1, 2}, {1, 1})};
    XFrame inner = BoneFrame("Arm");
    inner.meshes.push_back(b);
    XFrame deepest = BoneFrame("Leg");
    deepest.meshes.push_back(Triangle("C", 4.0f));
    inner.children.push_back(deepest);
    XFrame second = BoneFrame("Other");
    second.meshes.push_back(Triangle("D", 6.0f));
    scene.root.meshes.push_back(a);
    scene.root.children = {inner, second};
    scene.animations.push_back(BindClip({"Arm", "Leg"}));

    const auto model = Import(dir, scene);
    ASSERT_EQ(model->meshes.size(), 4u);
    // Depth first, a node's own meshes before its children's: A, B, C, D by height.
    const float heights[] = {0.0f, 2.0f, 4.0f, 6.0f};
    for (size_t i = 0; i < 4; ++i) {
        const SubMesh& sub = *model->meshes[i];
        EXPECT_EQ(sub.baseVertex, static_cast<int32_t>(3 * i));
        EXPECT_EQ(sub.firstIndex, 3u * i);
        EXPECT_EQ(sub.indexCount, 3u);
        float lowest = 1e9f;
        for (const Vertex& v : sub.vertices)
            lowest = std::min(lowest, v.position.y);
        EXPECT_NEAR(lowest, heights[i], 1e-5f) << "mesh " << i;
        for (uint32_t index : sub.indices)
            EXPECT_LT(index, 3u); // indices stay relative to their own mesh
    }
    // "Arm" appears in A and again in B: one BoneInfo, one id.
    ASSERT_EQ(model->bones.size(), 2u);
    EXPECT_EQ(model->bones[0].name, "Arm");
    EXPECT_EQ(model->bones[1].name, "Leg");
    EXPECT_EQ(model->boneCounter, 2);
    for (const Vertex& v : model->meshes[1]->vertices)
        for (int slot = 0; slot < MaxBoneInfluence; ++slot)
            EXPECT_LE(v.boneIds[slot], 1);
}

TEST(MeshComponent, ImportFailuresNameTheModelError)
{
    TempWorkDir dir;
    NullRenderer renderer;
    WriteSinglePack(dir, "Garbage", "this is not a model file at all");
    try {
        MeshComponent mesh(&renderer, "Garbage");
        FAIL() << "expected an import failure";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()).rfind("ERROR LOADING A MODEL", 0), 0u) << e.what();
    }
    EXPECT_THROW(MeshComponent(&renderer, "NotInThePack"), std::runtime_error);
}

TEST(MeshComponent, BytesInMemoryImportAsTheSameAssetInThePack)
{
    TempWorkDir dir;
    XScene scene;
    scene.root.name = "Root";
    XMesh skinned = Triangle("Skinned", 0.0f);
    skinned.bones = {Influence("Arm", {0, 1}, {1, 1}), Influence("Leg", {2}, {1})};
    scene.root.meshes.push_back(skinned);
    scene.root.children = {BoneFrame("Arm"), BoneFrame("Leg")};
    scene.animations.push_back(BindClip({"Arm", "Leg"}));
    const auto fromPack = Import(dir, scene);

    const std::string text = XWriter::ToText(scene);
    const MeshComponent fromBytes(nullptr, text.data(), text.size());
    ASSERT_EQ(fromBytes.vertices.size(), fromPack->vertices.size());
    EXPECT_EQ(fromBytes.indices, fromPack->indices);
    for (size_t i = 0; i < fromBytes.vertices.size(); ++i) {
        EXPECT_EQ(fromBytes.vertices[i].position, fromPack->vertices[i].position) << i;
        for (int slot = 0; slot < MaxBoneInfluence; ++slot)
            EXPECT_EQ(fromBytes.vertices[i].boneIds[slot], fromPack->vertices[i].boneIds[slot]) << i;
    }
    EXPECT_TRUE(fromBytes.isAnimated);
    ASSERT_EQ(fromBytes.bones.size(), 2u);
    EXPECT_EQ(fromBytes.bones[1].name, "Leg");
    EXPECT_EQ(fromBytes.meshes.size(), 1u);
    // A null renderer makes no GPU buffers.
    EXPECT_EQ(fromBytes.vertexBuffer, VK_NULL_HANDLE);

    const std::string garbage = "this is not a model file at all";
    try {
        MeshComponent mesh(nullptr, garbage.data(), garbage.size());
        FAIL() << "expected an import failure";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()).rfind("ERROR LOADING A MODEL", 0), 0u) << e.what();
    }
}

// The .x importer makes its own vertex per face corner, but assimp reads other formats from
// memory too, and this PLY face names vertex 7 of 3: refused before assimp's own steps use it.
TEST(MeshComponent, AFaceIndexPastItsMeshsVerticesIsRefused)
{
    const std::string ply = "ply\nformat ascii 1.0\nelement vertex 3\nproperty float x\nproperty float y\n"
                            "property float z\nelement face 1\nproperty list uchar int vertex_indices\n"
                            "end_header\n0 0 0\n1 0 0\n0 1 0\n3 0 1 7\n";
    try {
        MeshComponent mesh(nullptr, ply.data(), ply.size());
        FAIL() << "expected an import failure, got " << mesh.indices.size() << " indices over " << mesh.vertices.size()
               << " vertices";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()).rfind("ERROR LOADING A MODEL", 0), 0u) << e.what();
        EXPECT_NE(std::string(e.what()).find("mIndices[2] is out of range"), std::string::npos) << e.what();
    }
}
