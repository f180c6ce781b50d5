// Writes the game's asset pack: every file concatenated into the pack, and the text index of
// four-line records ("NAME: ", "start: ", "end: ", "crc32: " with zlib's crc32 of the file in
// eight lowercase hex digits) that the game's reader scans.
#pragma once

#include <string>
#include <vector>

struct PackEntry {
    std::string name;
    std::string path;
};

// Reads "name<TAB>path" lines; blank lines are skipped. Throws std::runtime_error on a malformed line.
std::vector<PackEntry> ReadPackManifest(const std::string& manifestPath);

// Writes pack and index (each through a temporary file, renamed at the end). Throws
// std::runtime_error for two entries with one name, a name that cannot stand on an index line,
// or an unreadable file.
void WritePack(const std::vector<PackEntry>& entries, const std::string& packPath, const std::string& indexPath);
