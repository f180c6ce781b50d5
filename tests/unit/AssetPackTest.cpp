#include "assets/AssetPack.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace {

std::string Record(const std::string& name, long long start, long long end)
{
    return "NAME: " + name + "\nstart: " + std::to_string(start) + "\nend: " + std::to_string(end) + "\n";
}

std::string AsString(const std::vector<char>& bytes) { return std::string(bytes.begin(), bytes.end()); }

template <class E> std::string MessageOf(const char* name)
{
    try {
        LoadAsset(name);
    } catch (const E& e) {
        return e.what();
    }
    return "<no exception>";
}

class AssetPackTest : public ::testing::Test {
protected:
    TempWorkDir dir;
};

} // namespace

TEST_F(AssetPackTest, LoadsExactRangeAndWholeLineNamesOnly)
{
    dir.Write("Assets.bin", "ZOMBIEDIFFxyz");
    // "ZombieDiff" comes first, so a prefix match would wrongly return its bytes for "Zombie".
    dir.Write("AssetsOffsets.bin", Record("ZombieDiff", 0, 10) + Record("Zombie", 10, 13));
    EXPECT_EQ(AsString(LoadAsset("Zombie")), "xyz");
    EXPECT_EQ(AsString(LoadAsset("ZombieDiff")), "ZOMBIEDIFF");
    EXPECT_EQ(MessageOf<std::runtime_error>("Zomb"),
              "Big problem, the asset name you are passing in doesnt exist in offset file");
}

TEST_F(AssetPackTest, PathLikeNamesAreOnlyKeys)
{
    dir.Write("Assets.bin", "abcdef");
    dir.Write("AssetsOffsets.bin", Record("textures/SkyBox/2/posx.png", 2, 5));
    EXPECT_EQ(AsString(LoadAsset("textures/SkyBox/2/posx.png")), "cde");
}

TEST_F(AssetPackTest, CrLfIndexFindsNothingButNumbersStillParse)
{
    dir.Write("Assets.bin", "abcdef");
    dir.Write("AssetsOffsets.bin", "NAME: A\r\nstart: 1\r\nend: 4\r\n");
    EXPECT_EQ(MessageOf<std::runtime_error>("A"),
              "Big problem, the asset name you are passing in doesnt exist in offset file");
    // The name line carries the CR; a caller that passes it finds the record, and the numbers
    // parse despite their trailing CR.
    EXPECT_EQ(AsString(LoadAsset("A\r")), "bcd");
}

TEST_F(AssetPackTest, FirstOfDuplicateNamesWins)
{
    dir.Write("Assets.bin", "1234567890");
    dir.Write("AssetsOffsets.bin", Record("Dup", 0, 2) + Record("Dup", 5, 9));
    EXPECT_EQ(AsString(LoadAsset("Dup")), "12");
}

TEST_F(AssetPackTest, EmptyRangesAndLastLineRecord)
{
    dir.Write("Assets.bin", "1234567890");
    dir.Write("AssetsOffsets.bin", Record("Empty", 4, 4) + "NAME: Last");
    EXPECT_TRUE(LoadAsset("Empty").empty());
    const AssetRange last = FindAssetRange("Last");
    EXPECT_EQ(last.start, 0);
    EXPECT_EQ(last.end, 0);
    EXPECT_TRUE(LoadAsset("Last").empty());
}

TEST_F(AssetPackTest, MissingPrefixesGiveZeroAndConsumeTheLine)
{
    dir.Write("Assets.bin", "1234567890");
    // The start line lacks its prefix: start stays 0 and the next line is still read as "end".
    dir.Write("AssetsOffsets.bin", "NAME: A\nbegin: 5\nend: 3\n");
    EXPECT_EQ(AsString(LoadAsset("A")), "123");
    dir.Write("AssetsOffsets.bin", "NAME: B\nstart: 2\nfinish: 4\n");
    // end stays 0 below start 2: a range that cannot be an asset is refused.
    EXPECT_THROW(LoadAsset("B"), std::runtime_error);
}

TEST_F(AssetPackTest, NumbersFollowStoll)
{
    dir.Write("Assets.bin", "1234567890");
    dir.Write("AssetsOffsets.bin",
              "NAME: Trailing\nstart: 3abc\nend:    6 units\n"
              "NAME: Letters\nstart: abc\nend: 4\n"
              "NAME: Huge\nstart: 99999999999999999999\nend: 4\n"
              "NAME: Signed\nstart: +1\nend: 2\n");
    EXPECT_EQ(AsString(LoadAsset("Trailing")), "456");
    EXPECT_EQ(AsString(LoadAsset("Signed")), "2");
    EXPECT_EQ(MessageOf<std::invalid_argument>("Letters"), "invalid stoll argument");
    EXPECT_EQ(MessageOf<std::out_of_range>("Huge"), "stoll argument out of range");
}

TEST_F(AssetPackTest, ShortPackLeavesZeroTail)
{
    dir.Write("Assets.bin", "abcdef");
    dir.Write("AssetsOffsets.bin", Record("Tail", 4, 9));
    const std::vector<char> bytes = LoadAsset("Tail");
    ASSERT_EQ(bytes.size(), 5u);
    EXPECT_EQ(AsString(bytes), std::string("ef\0\0\0", 5));
}

TEST_F(AssetPackTest, CorruptRangesAreRejectedNotRead)
{
    dir.Write("Assets.bin", "abcdef");
    dir.Write("AssetsOffsets.bin", Record("Backwards", 5, 2) + Record("Negative", -3, 2) +
                                       Record("Absurd", 0, 1000000000000000LL));
    EXPECT_THROW(LoadAsset("Backwards"), std::runtime_error);
    EXPECT_THROW(LoadAsset("Negative"), std::runtime_error);
    EXPECT_THROW(LoadAsset("Absurd"), std::runtime_error);
}

TEST_F(AssetPackTest, MissingFilesReportWhichOne)
{
    EXPECT_EQ(MessageOf<std::runtime_error>("X"), "Failed to open assets file"); // both missing: the pack first
    dir.Write("Assets.bin", "abc");
    EXPECT_EQ(MessageOf<std::runtime_error>("X"), "Failed to open AssetsOffsets.bin");
    try {
        FindAssetRange("X");
        FAIL() << "expected an exception";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Failed to open AssetsOffsets.bin");
    }
}

TEST_F(AssetPackTest, BinaryGarbageIndexNeverCrashes)
{
    std::string garbage;
    for (int i = 0; i < 4096; ++i)
        garbage.push_back(static_cast<char>((i * 7919) % 256));
    dir.Write("Assets.bin", garbage);
    dir.Write("AssetsOffsets.bin", garbage + "\nNAME: G\nstart: \xff\xfe\nend: 9\n");
    EXPECT_THROW(LoadAsset("nothing"), std::runtime_error);
    EXPECT_THROW(LoadAsset("G"), std::invalid_argument);
}
