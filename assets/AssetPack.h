// Reader of the asset pack "Assets.bin" and its text index "AssetsOffsets.bin", both in the
// working directory. Stateless: every call opens both files, scans the index from the top and
// reads one byte range.
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

// The bytes of one asset: exactly end - start bytes; a pack shorter than `end` leaves the tail
// zero. Throws std::runtime_error when the pack cannot be opened or the range is larger than
// the whole pack.
std::vector<char> LoadAsset(const char* name);
