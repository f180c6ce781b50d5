// Round trip of small scenes through the .x writer and the game's own loaders: what the writer
// is given is what the engine sees (transforms, offsets, weights, UVs, winding, keys, tick rate).
#include "tools/models/XWriter.h"
#include "assets/MeshComponent.h"
#include "scene/components/Animation.h"
#include "support/NullRenderer.h"
#include "support/TempDir.h"

#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>

namespace {

std::string PackRecord(const std::string& name, size_t start, size_t end)
{
    return "NAME: " + name + "\nstart: " + std::to_string(start) + "\nend: " + std::to_string(end) + "\n";
}

// Writes the given texts as a pack in the temporary directory, in order.
void WritePack(const TempWorkDir& dir, const std::vector<std::pair<std::string, std::string>>& assets)
{
    std::string bytes, index;
    for (const auto& [name, text] : assets) {
        index += PackRecord(name, bytes.size(), bytes.size() + text.size());
        bytes += text;
    }
    dir.Write("Assets.bin", bytes);
    dir.Write("AssetsOffsets.bin", index);
}

void ExpectMatNear(const glm::mat4& a, const glm::mat4& b, float tol = 1e-4f)
{
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            EXPECT_NEAR(a[c][r], b[c][r], tol) << "element [" << c << "][" << r << "]";
}

// Rotation as the engine rebuilds it from a key; q and -q are the same rotation.
void ExpectSameRotation(const glm::quat& a, const glm::quat& b)
{
    EXPECT_NEAR(std::abs(glm::dot(glm::normalize(a), glm::normalize(b))), 1.0f, 1e-5f);
}

const glm::quat HipsTurn = glm::angleAxis(0.7f, glm::normalize(glm::vec3(0.3f, 1.0f, 0.4f)));
const glm::quat HipsLean = glm::angleAxis(-0.5f, glm::normalize(glm::vec3(1.0f, -0.2f, 0.6f)));

glm::mat4 HipsBind()
{
    return glm::translate(glm::mat4(1.0f), {0.0f, 1.0f, 0.5f}) * glm::mat4_cast(HipsTurn);
}
glm::mat4 ArmBind()
{
    return glm::translate(glm::mat4(1.0f), {0.5f, 0.0f, 0.25f});
}

// A tetrahedron with outward normals, skinned to two bones (Arm listed first, so it gets id 0).
XScene SkinnedTetrahedron()
{
    XMesh mesh;
    mesh.name = "Skin";
    mesh.positions = {{0, 0, 1}, {1, 0, -0.5f}, {-1, 0, -0.5f}, {0, 1.5f, 0}};
    const glm::vec3 centre(0.0f, 0.375f, 0.0f);
    for (const glm::vec3& p : mesh.positions)
        mesh.normals.push_back(glm::normalize(p - centre));
    mesh.uvs = {{0.1f, 0.2f}, {0.9f, 0.2f}, {0.5f, 0.95f}, {0.25f, 0.6f}};
    mesh.triangles = {{0, 2, 1}, {0, 1, 3}, {1, 2, 3}, {2, 0, 3}};
    const glm::mat4 hipsGlobal = HipsBind();
    const glm::mat4 armGlobal = hipsGlobal * ArmBind();
    mesh.bones.push_back({"Arm", glm::inverse(armGlobal), {0, 1}, {1.0f, 0.25f}});
    mesh.bones.push_back({"Hips", glm::inverse(hipsGlobal), {1, 2, 3}, {0.75f, 1.0f, 1.0f}});

    XScene scene;
    scene.root.name = "Root";
    scene.root.meshes.push_back(mesh);
    XFrame hips{"Hips", HipsBind(), {}, {}};
    hips.children.push_back(XFrame{"Arm", ArmBind(), {}, {}});
    scene.root.children.push_back(hips);
    return scene;
}

XAnimationSet TwelveTickClip()
{
    XAnimationSet set;
    set.name = "Clip";
    set.durationTicks = 12;
    XChannel hips;
    hips.frame = "Hips";
    hips.rotations = {{0, HipsTurn}, {5, HipsLean}, {12, HipsTurn}};
    hips.positions = {{0, {0.0f, 1.0f, 0.5f}}, {12, {0.25f, 0.5f, -2.0f}}};
    XChannel arm;
    arm.frame = "Arm";
    arm.scales = {{0, {1, 1, 1}}, {7, {2, 1, 0.5f}}, {12, {1, 1, 1}}};
    arm.positions = {{0, {0.5f, 0.0f, 0.25f}}, {12, {0.5f, 0.0f, 0.25f}}};
    set.channels = {hips, arm};
    return set;
}

class XWriterRoundTrip : public ::testing::Test {
protected:
    void SetUp() override
    {
        XScene model = SkinnedTetrahedron();
        model.animations.push_back(TwelveTickClip());
        XScene clip = SkinnedTetrahedron();
        clip.root.meshes.clear(); // a clip is the frame tree and its keys only
        clip.animations.push_back(TwelveTickClip());
        WritePack(dir, {{"Model", XWriter::ToText(model)}, {"ModelClip", XWriter::ToText(clip)}});
        mesh = std::make_shared<MeshComponent>(&renderer, "Model");
    }

    TempWorkDir dir;
    NullRenderer renderer;
    std::shared_ptr<MeshComponent> mesh;
};

} // namespace

TEST_F(XWriterRoundTrip, MeshKeepsPositionsNormalsUvsAndWinding)
{
    const XMesh source = SkinnedTetrahedron().root.meshes[0];
    ASSERT_EQ(mesh->meshes.size(), 1u);
    ASSERT_EQ(mesh->indices.size(), 12u);
    for (size_t t = 0; t < mesh->indices.size(); t += 3) {
        const Vertex& a = mesh->vertices[mesh->indices[t]];
        const Vertex& b = mesh->vertices[mesh->indices[t + 1]];
        const Vertex& c = mesh->vertices[mesh->indices[t + 2]];
        // Counter-clockwise from outside: the edge normal agrees with the written normals.
        const glm::vec3 face = glm::cross(b.position - a.position, c.position - a.position);
        EXPECT_GT(glm::dot(face, a.normal + b.normal + c.normal), 0.0f) << "triangle " << t / 3;
    }
    for (const Vertex& v : mesh->vertices) {
        size_t k = 0;
        while (k < source.positions.size() && glm::distance(source.positions[k], v.position) > 1e-5f)
            ++k;
        ASSERT_LT(k, source.positions.size()) << "imported a position that was never written";
        EXPECT_NEAR(glm::distance(v.normal, source.normals[k]), 0.0f, 1e-5f);
        // The import's UV flip undoes the format's: the game sees the values as written.
        EXPECT_NEAR(v.texCoords.x, source.uvs[k].x, 1e-6f);
        EXPECT_NEAR(v.texCoords.y, source.uvs[k].y, 1e-6f);
        EXPECT_GT(glm::length(v.tangent), 0.5f);
    }
}

TEST_F(XWriterRoundTrip, BonesKeepFileOrderOffsetsAndWeights)
{
    const XMesh source = SkinnedTetrahedron().root.meshes[0];
    ASSERT_TRUE(mesh->isAnimated);
    ASSERT_EQ(mesh->bones.size(), 2u);
    EXPECT_EQ(mesh->bones[0].name, "Arm");
    EXPECT_EQ(mesh->bones[0].id, 0);
    EXPECT_EQ(mesh->bones[1].name, "Hips");
    ExpectMatNear(mesh->bones[0].offset, source.bones[0].offset);
    ExpectMatNear(mesh->bones[1].offset, source.bones[1].offset);
    for (const Vertex& v : mesh->vertices) {
        float expected[2] = {0.0f, 0.0f};
        for (size_t b = 0; b < 2; ++b)
            for (size_t i = 0; i < source.bones[b].vertices.size(); ++i)
                if (glm::distance(source.positions[source.bones[b].vertices[i]], v.position) < 1e-5f)
                    expected[b] = source.bones[b].weights[i];
        float got[2] = {0.0f, 0.0f};
        for (int s = 0; s < MaxBoneInfluence; ++s)
            if (v.boneIds[s] >= 0)
                got[v.boneIds[s]] += v.weights[s];
        EXPECT_NEAR(got[0], expected[0], 1e-6f);
        EXPECT_NEAR(got[1], expected[1], 1e-6f);
    }
}

TEST_F(XWriterRoundTrip, ClipKeepsRateDurationNodeTreeAndKeys)
{
    const Animation clip("ModelClip", mesh);
    EXPECT_EQ(clip.ticksPerSecond, 30);
    EXPECT_FLOAT_EQ(clip.duration, 12.0f);
    ExpectMatNear(clip.rootNode.transformation, glm::mat4(1.0f));
    ASSERT_EQ(clip.rootNode.children.size(), 1u); // one top-level frame: no dummy root
    const NodeData& hips = clip.rootNode.children[0];
    EXPECT_EQ(hips.boneId, 1);
    ExpectMatNear(hips.transformation, HipsBind());
    ASSERT_EQ(hips.children.size(), 1u);
    EXPECT_EQ(hips.children[0].boneId, 0);
    ExpectMatNear(hips.children[0].transformation, ArmBind());

    const XAnimationSet source = TwelveTickClip();
    const Bone& hipsBone = clip.bones.at(1);
    ASSERT_EQ(hipsBone.rotations.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_FLOAT_EQ(hipsBone.rotations[i].timeStamp, static_cast<float>(source.channels[0].rotations[i].tick));
        ExpectSameRotation(hipsBone.rotations[i].orientation, source.channels[0].rotations[i].value);
    }
    ASSERT_EQ(hipsBone.positions.size(), 2u);
    EXPECT_NEAR(glm::distance(hipsBone.positions[1].position, glm::vec3(0.25f, 0.5f, -2.0f)), 0.0f, 1e-5f);
    const Bone& armBone = clip.bones.at(0);
    ASSERT_EQ(armBone.scales.size(), 3u);
    EXPECT_FLOAT_EQ(armBone.scales[1].timeStamp, 7.0f);
    EXPECT_NEAR(glm::distance(armBone.scales[1].scale, glm::vec3(2, 1, 0.5f)), 0.0f, 1e-6f);
}

TEST_F(XWriterRoundTrip, ModelWithoutClipReadsNoWeights)
{
    WritePack(dir, {{"Static", XWriter::ToText(SkinnedTetrahedron())}});
    const MeshComponent plain(&renderer, "Static");
    EXPECT_FALSE(plain.isAnimated);
    EXPECT_TRUE(plain.bones.empty());
}

TEST(XWriter, RefusesWhatWouldNotComeBackIntact)
{
    {
        XScene s = SkinnedTetrahedron();
        s.root.children[0].name = "Two words";
        EXPECT_THROW(XWriter::ToText(s), std::invalid_argument);
    }
    {
        XScene s = SkinnedTetrahedron();
        s.root.children[0].children[0].name = "Hips";
        EXPECT_THROW(XWriter::ToText(s), std::invalid_argument) << "duplicate frame names";
    }
    {
        XScene s = SkinnedTetrahedron();
        s.root.meshes[0].bones[0].vertices.clear();
        s.root.meshes[0].bones[0].weights.clear();
        EXPECT_THROW(XWriter::ToText(s), std::invalid_argument) << "a bone without weights shifts ids";
    }
    {
        XScene s = SkinnedTetrahedron();
        s.root.meshes[0].triangles.push_back({0, 1, 4});
        EXPECT_THROW(XWriter::ToText(s), std::invalid_argument);
    }
    {
        XScene s = SkinnedTetrahedron();
        s.animations.push_back(TwelveTickClip());
        s.animations[0].channels[1].positions.back().tick = 11;
        EXPECT_THROW(XWriter::ToText(s), std::invalid_argument) << "channel ends before the duration";
    }
    {
        XScene s = SkinnedTetrahedron();
        s.animations.push_back(TwelveTickClip());
        s.animations[0].channels[0].frame = "Tail";
        EXPECT_THROW(XWriter::ToText(s), std::invalid_argument);
    }
    {
        XScene s = SkinnedTetrahedron();
        s.ticksPerSecond = 0;
        EXPECT_THROW(XWriter::ToText(s), std::invalid_argument);
    }
}

TEST(XWriter, WritesTheRateAndSpacedSeparators)
{
    XScene s = SkinnedTetrahedron();
    s.animations.push_back(TwelveTickClip());
    const std::string text = XWriter::ToText(s);
    EXPECT_EQ(text.rfind("xof 0303txt 0032", 0), 0u);
    EXPECT_NE(text.find("AnimTicksPerSecond {\n 30;"), std::string::npos);
    // A comma directly followed by a digit or sign would be read as a decimal comma.
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == ',') {
            ASSERT_TRUE(text[i + 1] == ' ' || text[i + 1] == '\n') << "at offset " << i;
        }
    }
}
