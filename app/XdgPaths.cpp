#include "app/XdgPaths.h"

#include <cstdlib>

namespace {

std::filesystem::path GameDirectory(const char* xdgVariable, const char* homeRelativeDefault)
{
    std::filesystem::path base =
        XdgDirectory(std::getenv(xdgVariable), std::getenv("HOME"), homeRelativeDefault);
    // No home at all: the caller keeps the files in memory rather than write beside the program.
    return base.empty() ? base : base / "zorbulon";
}

} // namespace

std::filesystem::path XdgDirectory(const char* xdgValue, const char* home, const char* homeRelativeDefault)
{
    if (xdgValue && *xdgValue) {
        std::filesystem::path value(xdgValue);
        if (value.is_absolute())
            return value;
    }
    if (home && *home)
        return std::filesystem::path(home) / homeRelativeDefault;
    return {};
}

std::filesystem::path ConfigDirectory() { return GameDirectory("XDG_CONFIG_HOME", ".config"); }

std::filesystem::path DataDirectory() { return GameDirectory("XDG_DATA_HOME", ".local/share"); }
