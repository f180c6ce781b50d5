// Where the game keeps the player's files, by the XDG base directory rules: settings under the
// config home, records under the data home.
#pragma once

#include <filesystem>

// `xdgValue` when it is set, non-empty and absolute (the rules say a relative one is ignored);
// else `home`/`homeRelativeDefault` when home is set and non-empty; else an empty path.
std::filesystem::path XdgDirectory(const char* xdgValue, const char* home, const char* homeRelativeDefault);

// $XDG_CONFIG_HOME/zorbulon, else ~/.config/zorbulon; empty when neither can be found.
std::filesystem::path ConfigDirectory();
// $XDG_DATA_HOME/zorbulon, else ~/.local/share/zorbulon; empty when neither can be found.
std::filesystem::path DataDirectory();
