#include "assets/AssetPack.h"
#include "support/TempDir.h"
#include "tools/pack/PackWriter.h"

#include <gtest/gtest.h>

#include <stdexcept>

TEST(PackWriter, WritesWhatTheGameReads)
{
    TempWorkDir dir;
    dir.Write("a.bin", "alpha");
    dir.Write("b.bin", std::string("\0\r\n\x01", 4));
    dir.Write("empty.bin", "");
    dir.Write("manifest.tsv", "Zombie\ta.bin\n\nZombieDiff\tb.bin\nNothing\tempty.bin\n");
    WritePack(ReadPackManifest("manifest.tsv"), "Assets.bin", "AssetsOffsets.bin");

    const std::vector<char> a = LoadAsset("Zombie");
    EXPECT_EQ(std::string(a.begin(), a.end()), "alpha");
    const std::vector<char> b = LoadAsset("ZombieDiff");
    EXPECT_EQ(std::string(b.begin(), b.end()), std::string("\0\r\n\x01", 4));
    EXPECT_TRUE(LoadAsset("Nothing").empty());
    EXPECT_FALSE(std::filesystem::exists("Assets.bin.tmp"));
}

TEST(PackWriter, RejectsTwoAssetsWithOneNameAndBadLines)
{
    TempWorkDir dir;
    dir.Write("a.bin", "x");
    EXPECT_THROW(WritePack({{"Same", "a.bin"}, {"Same", "a.bin"}}, "Assets.bin", "AssetsOffsets.bin"),
                 std::runtime_error);
    EXPECT_THROW(WritePack({{"Bad\rName", "a.bin"}}, "Assets.bin", "AssetsOffsets.bin"), std::runtime_error);
    EXPECT_THROW(WritePack({{"Missing", "nope.bin"}}, "Assets.bin", "AssetsOffsets.bin"), std::runtime_error);
    EXPECT_FALSE(std::filesystem::exists("Assets.bin")); // nothing half-written is left in place
    dir.Write("manifest.tsv", "no tab here\n");
    EXPECT_THROW(ReadPackManifest("manifest.tsv"), std::runtime_error);
}
