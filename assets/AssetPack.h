// Reader of the asset pack "Assets.bin" and its text index "AssetsOffsets.bin", both in the
// working directory. Every call opens both files, scans the index from the top and reads one byte
// range. A record may carry a "crc32: " line (eight lowercase hex digits, zlib's crc32 of the
// asset) after its "end: " line; assets with one are verified. The only state is the result of
// the whole-pack check, remembered per pack and index file.
#pragma once

#include <cstdint>
#include <vector>

struct AssetRange {
    int64_t start = 0;
    int64_t end = 0;
};

// Index lookup: the first record whose name line equals "NAME: " + name.
// Throws std::runtime_error for a missing index or name, std::invalid_argument /
// std::out_of_range for unreadable numbers, std::runtime_error for a range that cannot be
// an asset (end below start, negative start).
AssetRange FindAssetRange(const char* name);

// The bytes of one asset: exactly end - start bytes. The first call checks every asset of the pack
// that has a checksum, and so does the first call after the pack or index changes (size,
// modification time or file), so damage anywhere ends the game whichever assets it loads; the
// asset itself is checked on every call. Throws std::runtime_error when the pack cannot be
// opened, "Assets.bin is damaged: <name> is cut short" when the pack ends before an asset does,
// and "Assets.bin is damaged: <name> fails its checksum" when an asset's bytes or its checksum
// line are wrong (the first damaged asset in index order is named).
std::vector<char> LoadAsset(const char* name);
