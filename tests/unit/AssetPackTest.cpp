#include "assets/AssetPack.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <zlib.h>

#include <cctype>
#include <cstdio>
#include <stdexcept>
#include <string>

namespace {

std::string Record(const std::string& name, long long start, long long end)
{
    return "NAME: " + name + "\nstart: " + std::to_string(start) + "\nend: " + std::to_string(end) + "\n";
}

std::string Crc(const std::string& bytes)
{
    char hex[9];
    std::snprintf(hex, sizeof(hex), "%08lx",
                  crc32(crc32(0L, Z_NULL, 0), reinterpret_cast<const Bytef*>(bytes.data()), uInt(bytes.size())));
    return hex;
}

// A record as the pack tool writes it: the checksum of `pack`'s bytes in [start, end).
std::string CheckedRecord(const std::string& name, const std::string& pack, long long start, long long end)
{
    return Record(name, start, end) + "crc32: " + Crc(pack.substr(size_t(start), size_t(end - start))) + "\n";
}

std::string AsString(const std::vector<char>& bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

template <class E> std::string MessageOf(const char* name)
{
    try {
        LoadAsset(name);
    } catch (const E& e) {
        return e.what();
    }
    return "<no exception>";
}

void SetModified(const char* path, long long seconds)
{
    const timespec times[2] = {{0, UTIME_OMIT}, {seconds, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, path, times, 0), 0);
}

class AssetPackTest : public ::testing::Test {
protected:
    // The reader remembers its whole-pack check per pack file, size and modification time. Two
    // packs of one size written within one clock tick could share those, so each pack written
    // here gets a modification time of its own, far from the present.
    void WritePack(const std::string& bytes)
    {
        static long long nextSeconds = 1000000000;
        dir.Write("Assets.bin", bytes);
        packSeconds = nextSeconds++;
        SetModified("Assets.bin", packSeconds);
    }

    TempWorkDir dir;
    long long packSeconds = 0;
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
    dir.Write("AssetsOffsets.bin", "NAME: Trailing\nstart: 3abc\nend:    6 units\n"
                                   "NAME: Letters\nstart: abc\nend: 4\n"
                                   "NAME: Huge\nstart: 99999999999999999999\nend: 4\n"
                                   "NAME: Signed\nstart: +1\nend: 2\n");
    EXPECT_EQ(AsString(LoadAsset("Trailing")), "456");
    EXPECT_EQ(AsString(LoadAsset("Signed")), "2");
    EXPECT_EQ(MessageOf<std::invalid_argument>("Letters"), "invalid stoll argument");
    EXPECT_EQ(MessageOf<std::out_of_range>("Huge"), "stoll argument out of range");
}

TEST_F(AssetPackTest, ShortPackIsCutShortNotZeroFilled)
{
    dir.Write("Assets.bin", "abcdef");
    // No checksum lines: the length alone says the pack was cut.
    dir.Write("AssetsOffsets.bin", Record("Whole", 0, 4) + Record("Tail", 4, 9));
    EXPECT_EQ(AsString(LoadAsset("Whole")), "abcd");
    EXPECT_EQ(MessageOf<std::runtime_error>("Tail"), "Assets.bin is damaged: Tail is cut short");
}

TEST_F(AssetPackTest, CorruptRangesAreRejectedNotRead)
{
    dir.Write("Assets.bin", "abcdef");
    dir.Write("AssetsOffsets.bin",
              Record("Backwards", 5, 2) + Record("Negative", -3, 2) + Record("Absurd", 0, 1000000000000000LL));
    EXPECT_THROW(LoadAsset("Backwards"), std::runtime_error);
    EXPECT_THROW(LoadAsset("Negative"), std::runtime_error);
    EXPECT_EQ(MessageOf<std::runtime_error>("Absurd"), "Assets.bin is damaged: Absurd is cut short");
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

TEST_F(AssetPackTest, GoodChecksumsLoad)
{
    const std::string pack = "alphabeta";
    WritePack(pack);
    dir.Write("AssetsOffsets.bin",
              CheckedRecord("A", pack, 0, 5) + CheckedRecord("B", pack, 5, 9) + CheckedRecord("Empty", pack, 9, 9));
    EXPECT_EQ(AsString(LoadAsset("A")), "alpha");
    EXPECT_EQ(AsString(LoadAsset("B")), "beta");
    EXPECT_TRUE(LoadAsset("Empty").empty());
}

TEST_F(AssetPackTest, FlippedByteFailsNamingTheAsset)
{
    std::string pack = "alphabeta";
    dir.Write("AssetsOffsets.bin", CheckedRecord("A", pack, 0, 5) + CheckedRecord("B", pack, 5, 9));
    pack[7] = char(pack[7] ^ 0x01);
    WritePack(pack);
    EXPECT_EQ(MessageOf<std::runtime_error>("B"), "Assets.bin is damaged: B fails its checksum");
}

TEST_F(AssetPackTest, ZeroedRangeFails)
{
    std::string pack = "alphabetagamma";
    dir.Write("AssetsOffsets.bin",
              CheckedRecord("A", pack, 0, 5) + CheckedRecord("G", pack, 9, 14) + CheckedRecord("B", pack, 5, 9));
    pack.replace(10, 3, std::string(3, '\0'));
    WritePack(pack);
    EXPECT_EQ(MessageOf<std::runtime_error>("G"), "Assets.bin is damaged: G fails its checksum");
}

TEST_F(AssetPackTest, IndexWithoutChecksumsLoadsUnverified)
{
    // An index from before checksums: damaged bytes come back as they are.
    WritePack("alphaBETA");
    dir.Write("AssetsOffsets.bin", Record("A", 0, 5) + Record("B", 5, 9));
    EXPECT_EQ(AsString(LoadAsset("A")), "alpha");
    EXPECT_EQ(AsString(LoadAsset("B")), "BETA");
}

TEST_F(AssetPackTest, MalformedChecksumLineIsDamage)
{
    const std::string pack = "alpha";
    const std::string good = Crc(pack);
    std::string upper = good;
    for (char& c : upper)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    // The right value in the wrong form is still damage: only the index could have changed it.
    ASSERT_NE(upper, good) << "pick bytes whose checksum has a letter";
    for (const std::string& line :
         {"crc32: " + upper, "crc32: " + good.substr(0, 7), "crc32: " + good + "0", "crc32:  " + good,
          "crc32: " + good + " ", std::string("crc32: "), std::string("crc32: xyzxyzxy")}) {
        SCOPED_TRACE(line);
        WritePack(pack);
        dir.Write("AssetsOffsets.bin", Record("A", 0, 5) + line + "\n");
        EXPECT_EQ(MessageOf<std::runtime_error>("A"), "Assets.bin is damaged: A fails its checksum");
    }
}

TEST_F(AssetPackTest, CrLfIndexWithChecksumsStillVerifies)
{
    std::string pack = "abcdef";
    WritePack(pack);
    dir.Write("AssetsOffsets.bin", "NAME: A\r\nstart: 1\r\nend: 4\r\ncrc32: " + Crc("bcd") + "\r\n");
    EXPECT_EQ(AsString(LoadAsset("A\r")), "bcd");
    pack[2] = 'X';
    WritePack(pack);
    EXPECT_EQ(MessageOf<std::runtime_error>("A\r"), "Assets.bin is damaged: A\r fails its checksum");
}

TEST_F(AssetPackTest, FirstLoadChecksTheWholePack)
{
    // Damage in assets that are never loaded still ends the first load; the first damaged asset
    // in index order is named.
    std::string pack = "alphabetagamma";
    dir.Write("AssetsOffsets.bin",
              CheckedRecord("A", pack, 0, 5) + CheckedRecord("B", pack, 5, 9) + CheckedRecord("G", pack, 9, 14));
    pack[11] = 'M';
    WritePack(pack);
    EXPECT_EQ(MessageOf<std::runtime_error>("A"), "Assets.bin is damaged: G fails its checksum");
    pack[6] = 'E';
    WritePack(pack);
    EXPECT_EQ(MessageOf<std::runtime_error>("G"), "Assets.bin is damaged: B fails its checksum");
}

TEST_F(AssetPackTest, FirstLoadFindsACutShortAsset)
{
    const std::string pack = "alphabetagamma";
    dir.Write("AssetsOffsets.bin",
              CheckedRecord("A", pack, 0, 5) + CheckedRecord("B", pack, 5, 9) + CheckedRecord("G", pack, 9, 14));
    WritePack(pack.substr(0, 7));
    EXPECT_EQ(MessageOf<std::runtime_error>("A"), "Assets.bin is damaged: B is cut short");
}

TEST_F(AssetPackTest, ReplacedPackIsCheckedAgain)
{
    std::string pack = "alphabetagamma";
    dir.Write("AssetsOffsets.bin",
              CheckedRecord("A", pack, 0, 5) + CheckedRecord("B", pack, 5, 9) + CheckedRecord("G", pack, 9, 14));
    WritePack(pack);
    EXPECT_EQ(AsString(LoadAsset("A")), "alpha");
    pack[12] = '!';
    WritePack(pack);
    EXPECT_EQ(MessageOf<std::runtime_error>("A"), "Assets.bin is damaged: G fails its checksum");
    pack[12] = 'm';
    WritePack(pack);
    EXPECT_EQ(AsString(LoadAsset("A")), "alpha");
}

TEST_F(AssetPackTest, UnchangedPackIsCheckedOnceButEachLoadChecksItsAsset)
{
    std::string pack = "alphabetagamma";
    dir.Write("AssetsOffsets.bin",
              CheckedRecord("A", pack, 0, 5) + CheckedRecord("B", pack, 5, 9) + CheckedRecord("G", pack, 9, 14));
    WritePack(pack);
    EXPECT_EQ(AsString(LoadAsset("A")), "alpha");
    // Rewritten in place with its size and time kept: the remembered whole-pack result stands.
    pack[12] = '!';
    dir.Write("Assets.bin", pack);
    SetModified("Assets.bin", packSeconds);
    EXPECT_EQ(AsString(LoadAsset("A")), "alpha");
    EXPECT_EQ(MessageOf<std::runtime_error>("G"), "Assets.bin is damaged: G fails its checksum");
}
