// One TOML file the player may edit by hand: read whole, written whole, and never lost. A file
// that cannot be read is set aside beside itself rather than overwritten, and a write goes to a
// temporary file renamed over the old one, so a crash or a full disk leaves the old file whole.
#pragma once

#include "app/Toml.h"

#include <filesystem>
#include <iostream>
#include <string>

class SettingsFile {
public:
    // An empty path is no file at all: Load gives an empty table and Save does nothing.
    explicit SettingsFile(std::filesystem::path path, std::ostream& warnings = std::cerr);

    // The file's table; empty when there is no file. A file that cannot be read or parsed is
    // renamed to <name>.broken (replacing an older one) with a warning, and an empty table returned.
    toml::table Load();

    // Writes the table when its text differs from what was last loaded or saved. False when the
    // file could not be written (one warning per object, however often that happens); never throws.
    bool Save(const toml::table& table);

    const std::filesystem::path& Path() const { return path_; }

private:
    bool Write(const std::string& text);
    void SetAside(const std::string& reason);
    void WarnWrite(const std::string& reason);

    std::filesystem::path path_;
    std::ostream& warnings_;
    // The text of the table last loaded or saved ("" for no file), once known.
    std::string lastText_;
    bool lastTextKnown_ = false;
    // A damaged file that could not be set aside stays as it is: nothing is written over it.
    bool keepOff_ = false;
    bool warnedWrite_ = false;
};
