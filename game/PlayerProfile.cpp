#include "game/PlayerProfile.h"

#include "game/SettingsCodec.h"

namespace {

std::filesystem::path FileIn(const std::filesystem::path& dir, const char* name)
{
    return dir.empty() ? dir : dir / name;
}

} // namespace

PlayerProfile::PlayerProfile(const std::filesystem::path& configDir, const std::filesystem::path& dataDir,
                             std::ostream& warnings)
    : warnings_(warnings), settingsFile_(FileIn(configDir, "settings.toml"), warnings),
      recordsFile_(FileIn(dataDir, "records.toml"), warnings), settingsTable_(settingsFile_.Load()),
      recordsTable_(recordsFile_.Load())
{
    settings = ReadSettings(settingsTable_, warnings_);
    records = ReadRecords(recordsTable_, warnings_);
}

void PlayerProfile::Save()
{
    try {
        WriteSettings(settings, settingsTable_);
        WriteRecords(records, recordsTable_);
    } catch (const std::exception& e) {
        // Only running out of memory gets here; the files stay as they were.
        warnings_ << "Zorbulon: the settings could not be saved: " << e.what() << "\n";
        return;
    }
    settingsFile_.Save(settingsTable_);
    recordsFile_.Save(recordsTable_);
}
