// The settings and records readers over any bytes the player's files might hold. Whatever is
// read must write out and read back without a warning, and what comes back must stay the same
// from then on: a file the game wrote itself is never "fixed" again on the next start.
#include "game/SettingsCodec.h"

#include <cstdint>
#include <cstdlib>
#include <ostream>
#include <sstream>
#include <streambuf>
#include <string_view>

namespace {

// Warnings go nowhere: only their absence is checked.
class NullBuffer : public std::streambuf {
protected:
    int overflow(int c) override { return c; }
};

// `table` written as text, as the settings file writes it, and parsed again.
toml::table ThroughText(const toml::table& table)
{
    std::ostringstream text;
    text << toml::toml_formatter(table, toml::toml_formatter::default_flags & ~toml::format_flags::allow_literal_strings);
    return toml::parse(text.str());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    toml::table table;
    try {
        table = toml::parse(std::string_view(reinterpret_cast<const char*>(data), size));
    } catch (const toml::parse_error&) {
        return 0;
    }
    NullBuffer nothing;
    std::ostream ignored(&nothing);
    const GameSettings settings = ReadSettings(table, ignored);
    const GameRecords records = ReadRecords(table, ignored);

    // Written over the table read, as the game saves, then read back twice.
    WriteSettings(settings, table);
    WriteRecords(records, table);
    const toml::table once = ThroughText(table);
    std::ostringstream warnings;
    const GameSettings settingsOnce = ReadSettings(once, warnings);
    const GameRecords recordsOnce = ReadRecords(once, warnings);
    if (!warnings.str().empty())
        std::abort(); // the game's own file gave a warning

    toml::table again = once;
    WriteSettings(settingsOnce, again);
    WriteRecords(recordsOnce, again);
    const toml::table twice = ThroughText(again);
    if (!(ReadSettings(twice, warnings) == settingsOnce) || !(ReadRecords(twice, warnings) == recordsOnce))
        std::abort(); // a value drifted from one save to the next
    return 0;
}
