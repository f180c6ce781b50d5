// The pack reader over a damaged index and pack: the input is the index, then (after the first NUL
// byte, when there is one) the pack it describes. Both are written to a private directory and a
// few names are looked up and loaded from there.
#include "assets/AssetPack.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

namespace {

namespace fs = std::filesystem;

// Names of the real pack: a large model first in the index, small assets later on, and one that
// is never there.
const char* const Names[] = {"Drevik", "Triangle", "Cube", "Grass", "SkyBoxShaderfrag", "NoSuchAsset"};

fs::path root;
// The reader remembers the pack it checked by device, inode, size and modification time. A file
// rewritten in place within one clock tick would look unchanged, so the files alternate between
// two directories: the other one's files still exist and so differ at least in their inodes.
fs::path dirs[2];
int turn = 0;
int startDir = -1;

void Write(const fs::path& path, const uint8_t* data, size_t size)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

void RemoveRoot()
{
    std::error_code ignored;
    fs::remove_all(root, ignored);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    std::string pattern = (fs::temp_directory_path() / "zorbulon-fuzz-pack-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        std::abort();
    root = pattern;
    std::atexit(RemoveRoot);
    dirs[0] = root / "a";
    dirs[1] = root / "b";
    fs::create_directory(dirs[0]);
    fs::create_directory(dirs[1]);
    // libFuzzer writes corpus and crash files relative to where it started.
    startDir = open(".", O_RDONLY | O_DIRECTORY);
    if (startDir < 0)
        std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const uint8_t* split = static_cast<const uint8_t*>(std::memchr(data, 0, size));
    const size_t indexSize = split ? static_cast<size_t>(split - data) : size;
    const fs::path& dir = dirs[turn];
    turn ^= 1;
    Write(dir / "AssetsOffsets.bin", data, indexSize);
    if (split)
        Write(dir / "Assets.bin", split + 1, size - indexSize - 1);
    else
        Write(dir / "Assets.bin", nullptr, 0);

    if (chdir(dir.c_str()) != 0)
        std::abort();
    for (const char* name : Names) {
        try {
            FindAssetRange(name);
        } catch (const std::exception&) {
        }
        try {
            LoadAsset(name);
        } catch (const std::exception&) {
        }
    }
    if (fchdir(startDir) != 0)
        std::abort();
    return 0;
}
