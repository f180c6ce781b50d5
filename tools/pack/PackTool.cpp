// zorbulon_pack_tool <manifest.tsv> <Assets.bin> <AssetsOffsets.bin>
#include "tools/pack/PackWriter.h"

#include <exception>
#include <iostream>

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::cerr << "usage: " << argv[0] << " <manifest.tsv> <Assets.bin> <AssetsOffsets.bin>\n";
        return 2;
    }
    try {
        WritePack(ReadPackManifest(argv[1]), argv[2], argv[3]);
    } catch (const std::exception& e) {
        std::cerr << "pack: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
