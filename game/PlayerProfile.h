// The player's settings and records as they last from one run to the next: read when the game
// starts, written back when they change. The files are the player's to edit; keys and sections
// the game does not know are kept as they are.
#pragma once

#include "app/SettingsFile.h"
#include "game/GameRecords.h"
#include "game/GameSettings.h"

#include <filesystem>
#include <iostream>

class PlayerProfile {
public:
    // settings.toml in configDir, records.toml in dataDir; an empty path keeps that part in memory only.
    PlayerProfile(const std::filesystem::path& configDir, const std::filesystem::path& dataDir,
                  std::ostream& warnings = std::cerr);

    GameSettings settings;
    GameRecords records;

    // Writes each file whose contents changed; never throws. Keeps unknown keys from the files read.
    void Save();

private:
    std::ostream& warnings_;
    SettingsFile settingsFile_;
    SettingsFile recordsFile_;
    // The files as read, which Save writes the values over.
    toml::table settingsTable_;
    toml::table recordsTable_;
};
