// Reflection of damaged SPIR-V: the pack's own stages with one operand changed are refused with
// the validator's word before SPIRV-Cross, which trusts its input, reads them.
#include "renderer/shader/ShaderReflection.h"
#include "assets/AssetPack.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr uint32_t OpMemberDecorate = 72;
constexpr size_t HeaderWords = 5;

// Sets the member index of the stage's first OpMemberDecorate; false when it has none.
bool SetFirstMemberIndex(std::vector<char>& module, uint32_t member)
{
    std::vector<uint32_t> words(module.size() / 4);
    std::memcpy(words.data(), module.data(), words.size() * 4);
    for (size_t i = HeaderWords; i < words.size() && (words[i] >> 16) != 0; i += words[i] >> 16)
        if ((words[i] & 0xffff) == OpMemberDecorate) {
            words[i + 2] = member;
            std::memcpy(module.data(), words.data(), words.size() * 4);
            return true;
        }
    return false;
}

std::string RefusalOf(const std::vector<char>& module)
{
    try {
        ReflectStage(module);
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return "";
}

} // namespace

TEST(ShaderReflection, TheUndamagedStageReflects)
{
    const std::vector<char> module = LoadAsset("BillBoardPBRShaderfrag");
    const StageReflection stage = ReflectStage(module);
    EXPECT_FALSE(stage.uniformBlocks.empty());
}

// SPIRV-Cross sizes its member table from this index before it checks it: 4 billion members.
TEST(ShaderReflection, AMemberIndexFarPastItsStructIsRefused)
{
    std::vector<char> module = LoadAsset("BillBoardPBRShaderfrag");
    ASSERT_TRUE(SetFirstMemberIndex(module, 0xfffffc03u));
    const std::string refusal = RefusalOf(module);
    EXPECT_EQ(refusal.rfind("invalid SPIR-V module: ", 0), 0u) << refusal;
    EXPECT_GT(refusal.size(), std::string("invalid SPIR-V module: ").size()) << "the validator's message is missing";
}
