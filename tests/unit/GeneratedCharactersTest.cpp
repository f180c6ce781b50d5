// The generated characters as the game loads them: size and facing, the bones the game reads by
// id (pitch, eyes, gun hands, striking hand), skin weights, winding, and the gun in Drevik's hands.
#include "GeneratedModelSupport.h"

#include "assets/AssetPack.h"
#include "math/MathUtils.h"
#include "tools/models/DrevikDesign.h"
#include "tools/models/ZombieDesign.h"

#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>
#include <stb_image.h>

#include <algorithm>

using namespace modeltest;

namespace {

class GeneratedCharacter : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override
    {
        mesh = Mesh(GetParam());
        bind = std::make_shared<Animation>(GetParam(), mesh); // the model's own one-tick bind clip
        globals = BindGlobals(bind->rootNode);
    }
    glm::vec3 Joint(int id) const { return glm::vec3(globals.at(id)[3]); }
    glm::vec3 Joint(const char* name) const { return Joint(BoneId(*mesh, name)); }

    std::shared_ptr<MeshComponent> mesh;
    std::shared_ptr<Animation> bind;
    std::map<int, glm::mat4> globals;
};

} // namespace

TEST_P(GeneratedCharacter, StandsAboutOneEightyWithFeetOnTheGround)
{
    const Box b = Bounds(*mesh);
    EXPECT_NEAR(b.lo.y, 0.0f, 1.0f);
    EXPECT_GT(b.hi.y, 165.0f);
    EXPECT_LT(b.hi.y, 190.0f);
    // The zombie's capsule spans 0 to 2 m; both fit well inside it sideways.
    EXPECT_LT(std::max(-b.lo.x, b.hi.x), 60.0f);
    EXPECT_LT(mesh->vertices.size() / 3, 6000u) << "triangle budget";
}

TEST_P(GeneratedCharacter, FacesPlusZ)
{
    // Nose, eyes and toes are all on the +Z side of the joints that carry them.
    EXPECT_GT(Joint("Eyes").z, Joint("Head").z + 5.0f);
    EXPECT_GT(Joint("LeftToeBase").z, Joint("LeftFoot").z + 5.0f);
    EXPECT_GT(Joint("RightToeBase").z, Joint("RightFoot").z + 5.0f);
    const glm::vec3 eyes = Joint("Eyes");
    float front = -1e9f;
    for (const Vertex& v : mesh->vertices)
        if (std::abs(v.position.y - (eyes.y - 3.0f)) < 2.0f && std::abs(v.position.x) < 2.0f)
            front = std::max(front, v.position.z);
    EXPECT_GT(front, Joint("Head").z + 8.0f) << "the nose should stick out forwards";
}

TEST_P(GeneratedCharacter, LookRotationTurnsTheNoseTowardsTheTarget)
{
    const glm::vec3 nose = Joint("Eyes");
    const glm::vec3 position(17.0f, 0.0f, 15.0f);
    for (const glm::vec3& target :
         {glm::vec3(20, 0, 15), glm::vec3(17, 0, 3), glm::vec3(5, 1, 25), glm::vec3(30, 0, 30)}) {
        const glm::mat4 model = ModelMatrix(position, LookRotation(target - position), glm::vec3(0.01f));
        const glm::vec3 world = glm::vec3(model * glm::vec4(nose, 1.0f));
        const glm::vec3 toTarget = glm::normalize(glm::vec3(target.x - position.x, 0, target.z - position.z));
        EXPECT_GT(glm::dot(glm::vec3(world.x - position.x, 0, world.z - position.z), toTarget), 0.05f);
    }
}

TEST_P(GeneratedCharacter, BoneIdsTheGameReadsAreWhereItNeedsThem)
{
    ASSERT_LE(mesh->bones.size(), 100u);
    ASSERT_GT(mesh->bones.size(), 36u);
    const NodeData* pitch = FindNode(bind->rootNode, 0);
    ASSERT_NE(pitch, nullptr);
    // Bone 0's local transform is replaced by a pure rotation: it must have nothing else.
    const glm::mat4 local = pitch->transformation;
    EXPECT_NEAR(glm::length(glm::vec3(local[3])), 0.0f, 1e-4f);
    for (int c = 0; c < 3; ++c)
        EXPECT_NEAR(glm::distance(glm::vec3(local[c]), glm::vec3(glm::mat4(1.0f)[c])), 0.0f, 1e-5f);
    // Looking up and down bends the upper body: head, eyes and both hands hang below bone 0.
    for (int id : {3, 8, 32, 36, BoneId(*mesh, "Head")})
        EXPECT_TRUE(HasDescendant(*pitch, id)) << "bone " << id;
    EXPECT_FALSE(HasDescendant(*pitch, BoneId(*mesh, "LeftFoot")));
    // Bone 0 sits in the upper spine.
    EXPECT_GT(Joint(0).y, 100.0f);
    EXPECT_LT(Joint(0).y, Joint(BoneId(*mesh, "Neck")).y);

    // 8 and 32 are the two hands, 36 is on the right one (the zombie's striking arm).
    EXPECT_EQ(mesh->bones[8].name, "LeftHand");
    EXPECT_EQ(mesh->bones[32].name, "RightHand");
    const NodeData* right = FindNode(bind->rootNode, 32);
    ASSERT_NE(right, nullptr);
    EXPECT_TRUE(HasDescendant(*right, 36));
    EXPECT_GT(glm::distance(Joint(36), Joint(32)), 5.0f);
    EXPECT_LT(glm::distance(Joint(36), Joint(32)), 15.0f);
    // Both hands come forward in front of the chest.
    for (int id : {8, 32}) {
        EXPECT_GT(Joint(id).z, Joint(0).z + 25.0f) << "bone " << id;
        EXPECT_GT(Joint(id).y, 110.0f) << "bone " << id;
        EXPECT_LT(Joint(id).y, Joint(3).y) << "bone " << id;
    }
}

TEST_P(GeneratedCharacter, BoneTableIsTheSkeletonInIdOrderWithItsBindOffsets)
{
    // Reordering or dropping vertices must not drop a bone or change the order bones first appear
    // in: every id the game and the clips use would shift.
    const CharacterDesign design = std::string(GetParam()) == "Drevik" ? DrevikDesign::Build() : ZombieDesign::Build();
    const Skeleton& sk = design.skeleton;
    ASSERT_EQ(mesh->bones.size(), sk.bones.size());
    for (size_t i = 0; i < sk.bones.size(); ++i) {
        const BoneInfo& b = mesh->bones[i];
        EXPECT_EQ(b.name, sk.bones[i].name) << "id " << i;
        EXPECT_EQ(b.id, static_cast<int32_t>(i));
        EXPECT_EQ(mesh->boneInfoMap.at(b.name).id, b.id);
        // The bind pose has no rotations: the offset only moves the joint to the origin.
        const glm::mat4 expected = glm::translate(glm::mat4(1.0f), -sk.bones[i].joint);
        for (int c = 0; c < 4; ++c)
            EXPECT_LT(glm::distance(b.offset[c], expected[c]), 1e-3f) << b.name << " column " << c;
    }
}

TEST_P(GeneratedCharacter, EveryVertexHasFullWeightOnAtMostFourBones)
{
    ASSERT_TRUE(mesh->isAnimated);
    std::vector<int> used(mesh->bones.size(), 0);
    for (const Vertex& v : mesh->vertices) {
        float sum = 0.0f;
        int count = 0;
        for (int k = 0; k < MaxBoneInfluence; ++k)
            if (v.boneIds[k] >= 0) {
                sum += v.weights[k];
                ++count;
                ++used[static_cast<size_t>(v.boneIds[k])];
            }
        ASSERT_GE(count, 1);
        ASSERT_NEAR(sum, 1.0f, 1e-3f) << "a weight was dropped or never normalised";
    }
    for (size_t b = 0; b < used.size(); ++b)
        EXPECT_GT(used[b], 0) << mesh->bones[b].name << " moves nothing";
}

TEST_P(GeneratedCharacter, ClosedSurfaceWoundOutwardsWithUnmirroredUvs)
{
    EXPECT_GT(SignedVolume(*mesh), 0.0);
    // The grid leaves the odd sliver folded in the tightest creases (between fingers, at cuffs).
    EXPECT_GE(WindingAgreement(*mesh), 0.99);
    EXPECT_GE(UnmirroredUvShare(*mesh), 0.995);
}

TEST_P(GeneratedCharacter, PitchOverrideBendsTheUpperBodyAboutTheChest)
{
    const std::string name = GetParam();
    auto idle = std::make_shared<Animation>((name == "Drevik" ? "DrevikIdle" : "ZombieIdle"), mesh);
    const std::vector<glm::vec3> level = Joints(idle, 0.0f);
    idle->FindBone(0)->overrideTransform = Rotate(40.0f, glm::vec3(1, 0, 0)); // looking down 40 degrees
    const std::vector<glm::vec3> down = Joints(idle, 0.0f);
    EXPECT_NEAR(glm::distance(down[3], down[0]), glm::distance(level[3], level[0]), 0.01f);
    EXPECT_LT(down[3].y, level[3].y - 5.0f);
    EXPECT_GT(down[3].z, level[3].z + 5.0f);
    const int foot = BoneId(*mesh, "LeftFoot");
    EXPECT_NEAR(glm::distance(down[static_cast<size_t>(foot)], level[static_cast<size_t>(foot)]), 0.0f, 1e-3f);
}

INSTANTIATE_TEST_SUITE_P(Characters, GeneratedCharacter, ::testing::Values("Drevik", "Zombie"));

TEST(GeneratedDrevik, CameraBoneSitsAtTheEyes)
{
    const auto mesh = Mesh("Drevik");
    const auto bind = std::make_shared<Animation>("Drevik", mesh);
    const glm::vec3 eyes = glm::vec3(BindGlobals(bind->rootNode).at(3)[3]);
    EXPECT_NEAR(eyes.y, 165.0f, 3.0f);
    EXPECT_NEAR(eyes.x, 0.0f, 0.5f);
    // In front of the eyes but touching the face: the nearest skin is a couple of centimetres away.
    float nearest = 1e9f;
    for (const Vertex& v : mesh->vertices)
        nearest = std::min(nearest, glm::distance(v.position, eyes));
    EXPECT_LT(nearest, 3.5f);
}

TEST(GeneratedDrevik, GunFitsBetweenTheHandsWhereTheGameHoldsIt)
{
    const auto body = Mesh("Drevik");
    const auto gun = Mesh("BubbleGun");
    const auto bind = std::make_shared<Animation>("Drevik", body);
    const auto g = BindGlobals(bind->rootNode);
    const glm::vec3 left = glm::vec3(g.at(8)[3]), right = glm::vec3(g.at(32)[3]);
    // As the player places it: hands' midpoint plus 8 cm forward, turned 90 degrees about +Y, scale 0.09 m.
    const glm::mat4 place = glm::translate(glm::mat4(1.0f), 0.5f * (left + right) + glm::vec3(0, 0, 8)) *
                            glm::mat4_cast(glm::angleAxis(glm::radians(90.0f), glm::vec3(0, 1, 0))) *
                            glm::scale(glm::mat4(1.0f), glm::vec3(9.0f));
    float toLeft = 1e9f, toRight = 1e9f, front = -1e9f;
    for (const Vertex& v : gun->vertices) {
        const glm::vec3 p = glm::vec3(place * glm::vec4(v.position, 1.0f));
        toLeft = std::min(toLeft, glm::distance(p, left));
        toRight = std::min(toRight, glm::distance(p, right));
        front = std::max(front, p.z);
    }
    // Each wrist is within a hand's length of the gun, and the muzzle points ahead of both hands.
    EXPECT_LT(toLeft, 12.0f);
    EXPECT_LT(toRight, 12.0f);
    EXPECT_GT(front, std::max(left.z, right.z) + 15.0f);
    // Fingers close round the grips: some finger joints lie inside the gun's bounds.
    int inside = 0;
    const glm::mat4 toGun = glm::inverse(place);
    const Box box = Bounds(*gun);
    for (const BoneInfo& b : body->bones)
        if (b.name.find("Middle2") != std::string::npos) {
            const glm::vec3 q = glm::vec3(toGun * g.at(b.id)[3]);
            inside += glm::all(glm::greaterThan(q, box.lo)) && glm::all(glm::lessThan(q, box.hi));
        }
    EXPECT_EQ(inside, 2);
}

TEST(GeneratedTextures, DecodeAtTheirSizeWithRealDetail)
{
    const char* const names[] = {"DrevikDiff",   "DrevikNormal",    "ZombieDiff",    "ZombieSpec",
                                 "ZombieNormal", "BubblgunDiffuse", "BubblgunNormal"};
    for (const char* name : names) {
        const std::vector<char> bytes = LoadAsset(name);
        int w = 0, h = 0, n = 0;
        stbi_uc* px = stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(bytes.data()),
                                            static_cast<int>(bytes.size()), &w, &h, &n, 4);
        ASSERT_NE(px, nullptr) << name;
        EXPECT_EQ(w, 1024) << name;
        EXPECT_EQ(h, 1024) << name;
        const size_t count = static_cast<size_t>(w) * h;
        glm::dvec3 mean(0.0), sq(0.0);
        size_t magenta = 0;
        for (size_t i = 0; i < count; ++i) {
            const glm::dvec3 c(px[i * 4], px[i * 4 + 1], px[i * 4 + 2]);
            mean += c;
            sq += c * c;
            magenta += (c.r > 240 && c.g < 15 && c.b > 240); // what a painter shows for a material it lacks
        }
        stbi_image_free(px);
        mean /= static_cast<double>(count);
        const glm::dvec3 spread = glm::sqrt(sq / static_cast<double>(count) - mean * mean);
        EXPECT_EQ(magenta, 0u) << name;
        EXPECT_GT(spread.r + spread.g + spread.b, 6.0) << name << " is flat";
        if (std::string(name).find("Normal") != std::string::npos) {
            // Tangent-space normals: mostly straight out of the surface.
            EXPECT_GT(mean.b, 220.0) << name;
            EXPECT_NEAR(mean.r, 128.0, 8.0) << name;
            EXPECT_NEAR(mean.g, 128.0, 8.0) << name;
        }
    }
}
