// The player's settings and records as TOML tables, laid out to be read and edited by hand:
//   [display] width, height, window ("windowed", "borderless", "fullscreen"), vsync
//   [look]    mouse_sensitivity_x, mouse_sensitivity_y, invert_mouse_y, invert_pad_y,
//             pad_look_speed (degrees per second), pad_dead_zone, field_of_view (degrees)
//   [sound]   master, effects, voices (whole percent, 0 to 100)
//   [hud]     crosshair
//   [controls] forward, left, back, right, fire, pause (binding names: "W", "Mouse Left")
//   [best]    round, reached (a UTC date and time)
// Reading never fails: a missing value is its default, a value out of range is brought within it,
// and a value of the wrong kind is its default, each of the last two with a warning.
#pragma once

#include "game/GameRecords.h"
#include "game/GameSettings.h"

#include "app/Toml.h"

#include <ostream>

GameSettings ReadSettings(const toml::table& table, std::ostream& warnings);
// Into `table`, over the values it holds: keys and sections the game does not know are kept.
void WriteSettings(const GameSettings& settings, toml::table& table);

GameRecords ReadRecords(const toml::table& table, std::ostream& warnings);
void WriteRecords(const GameRecords& records, toml::table& table);
