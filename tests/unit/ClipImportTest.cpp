// Clip import from bytes already in memory against the pack's clips loaded by name, and the
// messages of a failed import.
#include "assets/AssetPack.h"
#include "assets/MeshComponent.h"
#include "scene/components/Animation.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// Each clip gets a model of its own: an import teaches the model the bones it lacked.
std::shared_ptr<MeshComponent> FreshZombie()
{
    return std::make_shared<MeshComponent>(nullptr, "Zombie");
}

} // namespace

TEST(ClipImport, BytesInMemoryImportAsTheSameClipInThePack)
{
    const Animation byName("ZombieAttack", FreshZombie());
    const std::vector<char> bytes = LoadAsset("ZombieAttack");
    Animation fromBytes("ZombieAttack", bytes.data(), bytes.size(), FreshZombie());

    EXPECT_EQ(fromBytes.ticksPerSecond, byName.ticksPerSecond);
    EXPECT_FLOAT_EQ(fromBytes.duration, byName.duration);
    EXPECT_EQ(fromBytes.rootNode.children.size(), byName.rootNode.children.size());
    ASSERT_EQ(fromBytes.bones.size(), byName.bones.size());
    ASSERT_FALSE(fromBytes.bones.empty());
    for (const auto& [id, bone] : byName.bones) {
        Bone* same = fromBytes.FindBone(id);
        ASSERT_NE(same, nullptr) << bone.name;
        EXPECT_EQ(same->name, bone.name);
        EXPECT_EQ(same->positions.size(), bone.positions.size()) << bone.name;
        EXPECT_EQ(same->rotations.size(), bone.rotations.size()) << bone.name;
        Bone copy = bone;
        copy.Update(byName.duration / 2);
        same->Update(byName.duration / 2);
        EXPECT_EQ(same->localTransform, copy.localTransform) << bone.name;
    }
}

TEST(ClipImport, AFileWithoutAnimationsNamesTheClip)
{
    const std::vector<char> bytes = LoadAsset("Cube");
    try {
        Animation clip("Cube", bytes.data(), bytes.size(), FreshZombie());
        FAIL() << "expected an import failure";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()), "ERROR LOADING AN ANIMATION: no animation in Cube");
    }
}

// The game keeps the rate as an int; a damaged file can state any number there.
TEST(ClipImport, ATickRateBeyondAnIntIsRefused)
{
    const std::vector<char> bytes = LoadAsset("ZombieIdle");
    std::string text(bytes.begin(), bytes.end());
    const size_t block = text.find("AnimTicksPerSecond {");
    ASSERT_NE(block, std::string::npos);
    const size_t value = text.find_first_of("0123456789", block);
    text.replace(value, text.find(';', value) - value, "3000000000");
    try {
        Animation clip("ZombieIdle", text.data(), text.size(), FreshZombie());
        FAIL() << "expected an import failure, got " << clip.ticksPerSecond << " ticks per second";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()), "ERROR LOADING AN ANIMATION: tick rate out of range in ZombieIdle");
    }
}
