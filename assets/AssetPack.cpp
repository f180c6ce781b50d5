#include "assets/AssetPack.h"

#include <fstream>
#include <stdexcept>
#include <string>

namespace {

const char* const PackFile = "Assets.bin";
const char* const IndexFile = "AssetsOffsets.bin";

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

// Reads the next line and, when it carries `prefix`, the number after it; 0 otherwise.
// The line is consumed either way.
int64_t ReadNumberLine(std::ifstream& index, const std::string& prefix)
{
    std::string line;
    if (!std::getline(index, line) || line.compare(0, prefix.size(), prefix) != 0)
        return 0;
    return ParseOffset(line.substr(prefix.size()));
}

} // namespace

AssetRange FindAssetRange(const char* name)
{
    std::ifstream index(IndexFile, std::ios::binary);
    if (index.fail())
        throw std::runtime_error("Failed to open AssetsOffsets.bin");

    const std::string key = std::string("NAME: ") + name;
    std::string line;
    // Whole lines are compared, so "Zombie" never matches "ZombieDiff"; a CR stays in the line.
    do {
        if (!std::getline(index, line))
            throw std::runtime_error("Big problem, the asset name you are passing in doesnt exist in offset file");
    } while (line != key);

    AssetRange range;
    range.start = ReadNumberLine(index, "start: ");
    range.end = ReadNumberLine(index, "end: ");
    if (range.start < 0 || range.end < range.start)
        throw std::runtime_error(std::string("Invalid asset range in AssetsOffsets.bin for ") + name);
    return range;
}

std::vector<char> LoadAsset(const char* name)
{
    std::ifstream pack(PackFile, std::ios::binary);
    if (pack.fail())
        throw std::runtime_error("Failed to open assets file");

    const AssetRange range = FindAssetRange(name);
    const int64_t size = range.end - range.start;

    // A range larger than the whole pack cannot be an asset; refusing it keeps a corrupt index
    // from asking for an absurd allocation. Shorter overruns keep their zero tail.
    pack.seekg(0, std::ios::end);
    const int64_t packSize = static_cast<int64_t>(pack.tellg());
    if (size > packSize)
        throw std::runtime_error(std::string("Asset range exceeds Assets.bin for ") + name);

    std::vector<char> bytes;
    bytes.resize(static_cast<size_t>(size));
    pack.seekg(range.start, std::ios::beg);
    if (size > 0)
        pack.read(bytes.data(), size);
    pack.close();
    return bytes;
}
