#include "tools/pack/PackWriter.h"
#include "assets/AssetPack.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
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

TEST(PackWriter, EachRecordEndsWithItsChecksum)
{
    TempWorkDir dir;
    dir.Write("check.bin", "123456789");
    dir.Write("empty.bin", "");
    WritePack({{"Check", "check.bin"}, {"Empty", "empty.bin"}}, "Assets.bin", "AssetsOffsets.bin");
    std::ostringstream index;
    index << std::ifstream("AssetsOffsets.bin", std::ios::binary).rdbuf();
    // cbf43926 is the published CRC-32 check value of "123456789"; an empty file's CRC is zero.
    EXPECT_EQ(index.str(), "NAME: Check\nstart: 0\nend: 9\ncrc32: cbf43926\n"
                           "NAME: Empty\nstart: 9\nend: 9\ncrc32: 00000000\n");
    const std::vector<char> check = LoadAsset("Check");
    EXPECT_EQ(std::string(check.begin(), check.end()), "123456789");
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
