#include "assets/AssetPack.h"

#include <sys/stat.h>
#include <zlib.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <unordered_set>

namespace {

const char* const PackFile = "Assets.bin";
const char* const IndexFile = "AssetsOffsets.bin";
const std::string CrcPrefix = "crc32: ";

// The checksum line after a record's "end: " line. Indexes written before checksums have none.
enum class CrcLine { Absent, Valid, Malformed };

struct AssetRecord {
    AssetRange range;
    CrcLine crcLine = CrcLine::Absent;
    uint32_t crc = 0;
};

// std::stoll with the messages the game reports; trailing text (a CR, letters) is ignored.
int64_t ParseOffset(const std::string& text)
{
    try {
        return std::stoll(text, nullptr, 10);
    } catch (const std::invalid_argument&) {
        throw std::invalid_argument("invalid stoll argument");
    } catch (const std::out_of_range&) {
        throw std::out_of_range("stoll argument out of range");
    }
}

// The number after `prefix` when the line carries it; 0 otherwise.
int64_t NumberAfter(const std::string& line, const std::string& prefix)
{
    if (line.compare(0, prefix.size(), prefix) != 0)
        return 0;
    return ParseOffset(line.substr(prefix.size()));
}

// Reads the next line and takes its number; the line is consumed either way.
int64_t ReadNumberLine(std::ifstream& index, const std::string& prefix)
{
    std::string line;
    if (!std::getline(index, line))
        return 0;
    return NumberAfter(line, prefix);
}

// Exactly eight lowercase hex digits after the prefix; a trailing CR is allowed as it is on the
// number lines. Anything else on a checksum line means the index itself was damaged.
void ParseCrcLine(const std::string& line, AssetRecord& record)
{
    if (line.compare(0, CrcPrefix.size(), CrcPrefix) != 0)
        return;
    std::string digits = line.substr(CrcPrefix.size());
    if (!digits.empty() && digits.back() == '\r')
        digits.pop_back();
    const bool valid = digits.size() == 8 && std::all_of(digits.begin(), digits.end(), [](char c) {
                           return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
                       });
    record.crcLine = valid ? CrcLine::Valid : CrcLine::Malformed;
    if (valid)
        record.crc = static_cast<uint32_t>(std::stoul(digits, nullptr, 16));
}

void CheckRange(const AssetRange& range, const std::string& name)
{
    if (range.start < 0 || range.end < range.start)
        throw std::runtime_error("Invalid asset range in AssetsOffsets.bin for " + name);
}

std::ifstream OpenIndex()
{
    std::ifstream index(IndexFile, std::ios::binary);
    if (index.fail())
        throw std::runtime_error("Failed to open AssetsOffsets.bin");
    return index;
}

AssetRecord FindAssetRecord(const char* name)
{
    std::ifstream index = OpenIndex();
    const std::string key = std::string("NAME: ") + name;
    std::string line;
    // Whole lines are compared, so "Zombie" never matches "ZombieDiff"; a CR stays in the line.
    do {
        if (!std::getline(index, line))
            throw std::runtime_error("Big problem, the asset name you are passing in doesnt exist in offset file");
    } while (line != key);

    AssetRecord record;
    record.range.start = ReadNumberLine(index, "start: ");
    record.range.end = ReadNumberLine(index, "end: ");
    CheckRange(record.range, name);
    if (std::getline(index, line))
        ParseCrcLine(line, record);
    return record;
}

// crc32 takes a 32-bit length, so large buffers go in slices.
uLong UpdateCrc(uLong crc, const char* data, int64_t size)
{
    const int64_t slice = int64_t(1) << 30;
    for (int64_t done = 0; done < size; done += slice)
        crc = crc32(crc, reinterpret_cast<const Bytef*>(data + done), static_cast<uInt>(std::min(size - done, slice)));
    return crc;
}

std::string CutShort(const std::string& name)
{
    return "Assets.bin is damaged: " + name + " is cut short";
}
std::string FailsChecksum(const std::string& name)
{
    return "Assets.bin is damaged: " + name + " fails its checksum";
}

// The message for a record whose bytes in the pack do not match it; empty when they do.
std::string DamageOf(const AssetRecord& record, const std::string& name, int64_t packSize, std::ifstream& pack,
                     std::vector<char>& chunk)
{
    if (record.range.end > packSize)
        return CutShort(name);
    if (record.crcLine == CrcLine::Malformed)
        return FailsChecksum(name);
    uLong crc = crc32(0L, Z_NULL, 0);
    pack.seekg(record.range.start, std::ios::beg);
    for (int64_t left = record.range.end - record.range.start; left > 0;) {
        const int64_t n = std::min<int64_t>(left, static_cast<int64_t>(chunk.size()));
        if (!pack.read(chunk.data(), n))
            return CutShort(name);
        crc = UpdateCrc(crc, chunk.data(), n);
        left -= n;
    }
    return crc == record.crc ? std::string() : FailsChecksum(name);
}

// Which pack and index a check was made for: a rebuilt or replaced file differs in one of these.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    int64_t modifiedSeconds = 0;
    int64_t modifiedNanoseconds = 0;
    bool operator==(const FileIdentity&) const = default;
};

bool Identify(const char* path, FileIdentity& identity)
{
    struct stat info {};
    if (stat(path, &info) != 0)
        return false;
    identity = {info.st_dev, info.st_ino, info.st_size, info.st_mtim.tv_sec, info.st_mtim.tv_nsec};
    return true;
}

// Checks every record that carries a checksum, in index order, and returns the message for the
// first damaged one (empty when all are whole). Only a name's first record counts: later ones
// can never be loaded.
std::string FindDamageInPack(std::ifstream& pack, int64_t packSize)
{
    std::ifstream index = OpenIndex();
    std::ostringstream text;
    text << index.rdbuf();
    std::vector<std::string> lines;
    std::istringstream in(text.str());
    for (std::string line; std::getline(in, line);)
        lines.push_back(std::move(line));

    // Large chunks keep the whole pack's check to a few sequential reads per asset.
    std::vector<char> chunk(size_t(1) << 20);
    std::unordered_set<std::string> seen;
    for (size_t i = 0; i + 3 < lines.size(); ++i) {
        if (lines[i].compare(0, 6, "NAME: ") != 0)
            continue;
        const std::string name = lines[i].substr(6);
        if (!seen.insert(name).second)
            continue;
        AssetRecord record;
        ParseCrcLine(lines[i + 3], record);
        if (record.crcLine == CrcLine::Absent)
            continue;
        record.range = {NumberAfter(lines[i + 1], "start: "), NumberAfter(lines[i + 2], "end: ")};
        CheckRange(record.range, name);
        std::string damage = DamageOf(record, name, packSize, pack, chunk);
        if (!damage.empty())
            return damage;
    }
    return {};
}

// A run loads only some of the pack (textures, for one, only on the Vulkan backend), so the whole
// pack is checked at the first load and again whenever the pack or index is replaced.
void CheckWholePackOnce(std::ifstream& pack, int64_t packSize)
{
    static bool checked = false;
    static FileIdentity checkedPack, checkedIndex;
    static std::string damage;

    FileIdentity packNow, indexNow;
    const bool identified = Identify(PackFile, packNow) && Identify(IndexFile, indexNow);
    if (!checked || !identified || !(packNow == checkedPack) || !(indexNow == checkedIndex)) {
        damage = FindDamageInPack(pack, packSize);
        checked = identified;
        checkedPack = packNow;
        checkedIndex = indexNow;
    }
    if (!damage.empty())
        throw std::runtime_error(damage);
}

} // namespace

AssetRange FindAssetRange(const char* name)
{
    return FindAssetRecord(name).range;
}

std::vector<char> LoadAsset(const char* name)
{
    std::ifstream pack(PackFile, std::ios::binary);
    if (pack.fail())
        throw std::runtime_error("Failed to open assets file");
    pack.seekg(0, std::ios::end);
    const int64_t packSize = static_cast<int64_t>(pack.tellg());

    CheckWholePackOnce(pack, packSize);

    const AssetRecord record = FindAssetRecord(name);
    // Checked before allocating: a damaged index must not ask for an absurd vector.
    if (record.range.end > packSize)
        throw std::runtime_error(CutShort(name));

    const int64_t size = record.range.end - record.range.start;
    std::vector<char> bytes(static_cast<size_t>(size));
    pack.clear();
    pack.seekg(record.range.start, std::ios::beg);
    if (size > 0 && !pack.read(bytes.data(), size))
        throw std::runtime_error(CutShort(name));
    pack.close();

    // The pack may have changed since the whole-pack check, and this asset is in hand anyway.
    if (record.crcLine == CrcLine::Malformed)
        throw std::runtime_error(FailsChecksum(name));
    if (record.crcLine == CrcLine::Valid && UpdateCrc(crc32(0L, Z_NULL, 0), bytes.data(), size) != record.crc)
        throw std::runtime_error(FailsChecksum(name));
    return bytes;
}
