#include "tools/pack/PackWriter.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <unordered_set>

#include <zlib.h>

namespace {

// zlib's crc32 takes a 32-bit length, so large files go in slices.
unsigned long Crc32Of(const std::string& bytes)
{
    const size_t slice = size_t(1) << 30;
    uLong crc = crc32(0L, Z_NULL, 0);
    for (size_t done = 0; done < bytes.size(); done += slice)
        crc = crc32(crc, reinterpret_cast<const Bytef*>(bytes.data() + done),
                    static_cast<uInt>(std::min(bytes.size() - done, slice)));
    return crc;
}

} // namespace

std::vector<PackEntry> ReadPackManifest(const std::string& manifestPath)
{
    std::ifstream in(manifestPath, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot open manifest " + manifestPath);
    std::vector<PackEntry> entries;
    std::string line;
    int lineNumber = 0;
    while (std::getline(in, line)) {
        ++lineNumber;
        if (line.empty())
            continue;
        const size_t tab = line.find('\t');
        if (tab == std::string::npos || tab == 0 || tab + 1 == line.size())
            throw std::runtime_error(manifestPath + ":" + std::to_string(lineNumber) + ": expected name<TAB>path");
        entries.push_back({line.substr(0, tab), line.substr(tab + 1)});
    }
    return entries;
}

void WritePack(const std::vector<PackEntry>& entries, const std::string& packPath, const std::string& indexPath)
{
    std::unordered_set<std::string> names;
    for (const PackEntry& e : entries) {
        if (e.name.empty() || e.name.find_first_of("\r\n") != std::string::npos)
            throw std::runtime_error("asset name cannot stand on an index line: '" + e.name + "'");
        if (!names.insert(e.name).second)
            throw std::runtime_error("two assets named '" + e.name + "'");
    }

    const std::string packTmp = packPath + ".tmp";
    const std::string indexTmp = indexPath + ".tmp";
    {
        std::ofstream pack(packTmp, std::ios::binary | std::ios::trunc);
        std::ofstream index(indexTmp, std::ios::binary | std::ios::trunc);
        if (!pack || !index)
            throw std::runtime_error("cannot write " + packTmp + " or " + indexTmp);
        long long offset = 0;
        for (const PackEntry& e : entries) {
            std::ifstream in(e.path, std::ios::binary);
            if (!in)
                throw std::runtime_error("cannot read " + e.path + " for asset '" + e.name + "'");
            std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            pack.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
            // Single line feeds: the reader keeps any CR as part of the line. The checksum comes
            // after the two number lines, where readers without checksums pass over it.
            char crc[9];
            std::snprintf(crc, sizeof(crc), "%08lx", Crc32Of(bytes));
            index << "NAME: " << e.name << '\n'
                  << "start: " << offset << '\n'
                  << "end: " << offset + static_cast<long long>(bytes.size()) << '\n'
                  << "crc32: " << crc << '\n';
            offset += static_cast<long long>(bytes.size());
        }
        if (!pack.flush() || !index.flush())
            throw std::runtime_error("writing the pack failed");
    }
    if (std::rename(packTmp.c_str(), packPath.c_str()) != 0 || std::rename(indexTmp.c_str(), indexPath.c_str()) != 0)
        throw std::runtime_error("cannot move the pack into place at " + packPath);
}
