// The player's settings and records as the files hold them: every value comes back, what the
// game does not know stays, and a value the game cannot use is brought within its limits or
// replaced by its default, with a warning either way.
#include "game/InputBindingNames.h"
#include "game/PlayerProfile.h"
#include "game/SettingsCodec.h"
#include "support/TempDir.h"

#include <SDL2/SDL_mouse.h>
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

std::string ReadBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Every value away from its default.
GameSettings ChangedSettings()
{
    GameSettings s;
    s.width = 2560;
    s.height = 1440;
    s.windowMode = WindowMode::Borderless;
    s.vsync = true;
    s.quality = RenderQuality::Low;
    s.upscaleFilter = UpscaleFilter::Bilinear;
    s.renderScale = 0.75f;
    s.mouseSensitivityX = 0.1f;
    s.mouseSensitivityY = 2.35f;
    s.invertMouseY = true;
    s.invertPadY = true;
    s.padLookSpeed = 222.5f;
    s.padDeadZone = 0.05f;
    s.fieldOfView = 95.0f;
    s.masterVolume = 0.8f;
    s.effectsVolume = 0.0f;
    s.voicesVolume = 0.37f;
    s.crosshair = false;
    s.Binding(InputAction::Forward) = InputBinding::Key(SDL_SCANCODE_UP);
    s.Binding(InputAction::Left) = InputBinding::Key(SDL_SCANCODE_LEFT);
    s.Binding(InputAction::Back) = InputBinding::Key(SDL_SCANCODE_DOWN);
    s.Binding(InputAction::Right) = InputBinding::Key(SDL_SCANCODE_RIGHT);
    s.Binding(InputAction::Fire) = InputBinding::Mouse(SDL_BUTTON_X2);
    s.Binding(InputAction::Pause) = InputBinding::Key(SDL_SCANCODE_LSHIFT);
    return s;
}

} // namespace

TEST(SettingsProfile, EverySettingAndTheRecordComeBackFromTheFiles)
{
    TempWorkDir dir;
    std::ostringstream warnings;
    {
        PlayerProfile profile(dir.Path() / "config", dir.Path() / "data", warnings);
        EXPECT_EQ(profile.settings, GameSettings{}); // no files yet: the defaults
        EXPECT_EQ(profile.records, GameRecords{});
        profile.settings = ChangedSettings();
        profile.records.Reach(17, 1714564800); // 2024-05-01 12:00:00 UTC
        profile.Save();
    }
    PlayerProfile again(dir.Path() / "config", dir.Path() / "data", warnings);
    EXPECT_EQ(again.settings, ChangedSettings());
    EXPECT_EQ(again.records.bestRound, 17u);
    EXPECT_EQ(again.records.bestRoundAt, 1714564800);
    EXPECT_EQ(warnings.str(), "");

    // Laid out for a person: short decimals, whole percent, names, a UTC time.
    const std::string settingsText = ReadBytes(dir.Path() / "config" / "settings.toml");
    for (const char* line : {"window = \"borderless\"", "mouse_sensitivity_x = 0.1\n", "voices = 37\n",
                             "fire = \"Mouse X2\"", "pause = \"Left Shift\""})
        EXPECT_NE(settingsText.find(line), std::string::npos) << line << " in\n" << settingsText;
    EXPECT_NE(ReadBytes(dir.Path() / "data" / "records.toml").find("reached = 2024-05-01T12:00:00Z"),
              std::string::npos);

    // No choice made is no key: the next run, maybe on another device, asks the device again.
    toml::table defaults;
    WriteSettings(GameSettings{}, defaults);
    EXPECT_FALSE(defaults["display"]["quality"]);
    EXPECT_FALSE(defaults["display"]["upscale_filter"]);
    EXPECT_TRUE(defaults["display"]["render_scale"]);

    // A time written with an offset is the same moment.
    std::ostringstream none;
    toml::table records = toml::parse("[best]\nround = 3\nreached = 2024-05-01T14:00:00+02:00\n");
    EXPECT_EQ(ReadRecords(records, none).bestRoundAt, 1714564800);
}

TEST(SettingsProfile, KeysAndSectionsTheGameDoesNotKnowSurviveASave)
{
    TempWorkDir dir;
    dir.Write("settings.toml", "[display]\nwidth = 1920\nmonitor = \"left\"\n\n[mods]\nzombies = [\"fast\", \"green\"]\n"
                               "\n[controls]\njump = \"Space\"\n");
    std::ostringstream warnings;
    {
        PlayerProfile profile(dir.Path(), {}, warnings);
        profile.settings.width = 2560;
        profile.Save();
    }
    const toml::table saved = toml::parse_file((dir.Path() / "settings.toml").string());
    EXPECT_EQ(saved["display"]["width"].value<int64_t>(), 2560);
    EXPECT_EQ(saved["display"]["monitor"].value<std::string>(), "left");
    EXPECT_EQ(saved["mods"]["zombies"][1].value<std::string>(), "green");
    EXPECT_EQ(saved["controls"]["jump"].value<std::string>(), "Space");
    EXPECT_EQ(saved["controls"]["forward"].value<std::string>(), "W");
    EXPECT_EQ(warnings.str(), "");

    // Loaded and saved again unchanged: the file is not rewritten.
    const auto written = fs::last_write_time(dir.Path() / "settings.toml");
    const std::string bytes = ReadBytes(dir.Path() / "settings.toml");
    PlayerProfile(dir.Path(), {}, warnings).Save();
    EXPECT_EQ(fs::last_write_time(dir.Path() / "settings.toml"), written);
    EXPECT_EQ(ReadBytes(dir.Path() / "settings.toml"), bytes);
}

TEST(SettingsCodec, ValuesOutOfRangeOrOfTheWrongKindAreFixedWithAWarning)
{
    std::ostringstream warnings;
    EXPECT_EQ(ReadSettings(toml::table{}, warnings), GameSettings{}); // missing: defaults, silently
    EXPECT_EQ(warnings.str(), "");

    const toml::table table = toml::parse(R"(
        [display]
        width = 800
        height = 100000
        window = "tiny"
        vsync = "yes"
        quality = "ultra"
        upscale_filter = 3
        render_scale = 30
        [look]
        mouse_sensitivity_x = 0
        field_of_view = 200.5
        pad_look_speed = -1e300
        pad_dead_zone = nan
        [sound]
        master = 150
        effects = -5
        voices = 50
        [hud]
        crosshair = 1
        [controls]
        fire = "Mouse Thumb"
        pause = 27
    )");
    const GameSettings s = ReadSettings(table, warnings);
    const std::string text = warnings.str();
    EXPECT_EQ(s.width, 1280);
    EXPECT_EQ(s.height, 16384);
    EXPECT_FLOAT_EQ(s.renderScale, 0.5f);
    EXPECT_FLOAT_EQ(s.mouseSensitivityX, 0.1f);
    EXPECT_FLOAT_EQ(s.fieldOfView, 110.0f);
    EXPECT_FLOAT_EQ(s.padLookSpeed, 30.0f);
    EXPECT_FLOAT_EQ(s.masterVolume, 1.0f);
    EXPECT_FLOAT_EQ(s.effectsVolume, 0.0f);
    EXPECT_FLOAT_EQ(s.voicesVolume, 0.5f);
    // Each clamped value is named with what was read and the limit used.
    for (const char* said : {"display.width = 800", "1280", "display.height = 100000", "16384",
                             "display.render_scale = 30", "50",
                             "look.mouse_sensitivity_x = 0", "0.1", "look.field_of_view = 200.5", "110",
                             "sound.master = 150", "100", "sound.effects = -5"})
        EXPECT_NE(text.find(said), std::string::npos) << said << " in\n" << text;
    // The wrong kind or an unknown name: the default.
    const GameSettings defaults;
    EXPECT_EQ(s.windowMode, defaults.windowMode);
    EXPECT_EQ(s.vsync, defaults.vsync);
    EXPECT_EQ(s.quality, RenderQuality::Device);
    EXPECT_EQ(s.upscaleFilter, defaults.upscaleFilter);
    EXPECT_EQ(s.padDeadZone, defaults.padDeadZone);
    EXPECT_EQ(s.crosshair, defaults.crosshair);
    EXPECT_EQ(s.Binding(InputAction::Fire), defaults.Binding(InputAction::Fire));
    EXPECT_EQ(s.Binding(InputAction::Pause), defaults.Binding(InputAction::Pause));
    for (const char* said : {"display.window", "tiny", "display.vsync", "display.quality", "ultra", "display.upscale_filter", "look.pad_dead_zone", "hud.crosshair",
                             "controls.fire", "Mouse Thumb", "controls.pause"})
        EXPECT_NE(text.find(said), std::string::npos) << said << " in\n" << text;
    EXPECT_EQ(text.find("sound.voices"), std::string::npos) << text;

    // A section that is not one, and a record of the wrong kind.
    std::ostringstream more;
    EXPECT_EQ(ReadSettings(toml::parse("look = 3\n"), more), GameSettings{});
    EXPECT_EQ(ReadRecords(toml::parse("[best]\nround = -4\nreached = \"yesterday\"\n"), more), GameRecords{});
    EXPECT_NE(more.str().find("[look]"), std::string::npos) << more.str();
    EXPECT_NE(more.str().find("best.round = -4"), std::string::npos) << more.str();
    EXPECT_NE(more.str().find("best.reached"), std::string::npos) << more.str();
}

TEST(SettingsProfile, ADamagedFileGivesDefaultsAndStaysSetAside)
{
    TempWorkDir dir;
    const std::string damaged = "[look]\nfield_of_view = 90\nfield_of_view = 100\n"; // a key twice
    dir.Write("settings.toml", damaged);
    std::ostringstream warnings;
    PlayerProfile profile(dir.Path(), {}, warnings);
    EXPECT_EQ(profile.settings, GameSettings{});
    EXPECT_NE(warnings.str().find("settings.toml"), std::string::npos) << warnings.str();
    profile.settings.fieldOfView = 80.0f;
    profile.Save();
    EXPECT_EQ(ReadBytes(dir.Path() / "settings.toml.broken"), damaged);
    EXPECT_FLOAT_EQ(PlayerProfile(dir.Path(), {}, warnings).settings.fieldOfView, 80.0f);
}

TEST(SettingsBindingNames, NamesReadBackInAnyCase)
{
    for (const InputBinding& binding : GameSettings{}.bindings) {
        const std::string name = BindingName(binding);
        EXPECT_EQ(ParseBinding(name), binding) << name;
    }
    for (const InputBinding binding :
         {InputBinding::Key(SDL_SCANCODE_LSHIFT), InputBinding::Key(SDL_SCANCODE_SPACE),
          InputBinding::Key(SDL_SCANCODE_F5), InputBinding::Key(SDL_SCANCODE_KP_5), InputBinding::Mouse(SDL_BUTTON_LEFT),
          InputBinding::Mouse(SDL_BUTTON_MIDDLE), InputBinding::Mouse(SDL_BUTTON_RIGHT), InputBinding::Mouse(SDL_BUTTON_X1),
          InputBinding::Mouse(SDL_BUTTON_X2), InputBinding::Mouse(8)}) {
        const std::string name = BindingName(binding);
        EXPECT_EQ(ParseBinding(name), binding) << name;
    }
    EXPECT_EQ(BindingName(InputBinding::Mouse(SDL_BUTTON_RIGHT)), "Mouse Right");
    EXPECT_EQ(BindingName(InputBinding::Key(SDL_SCANCODE_ESCAPE)), "Escape");
    EXPECT_EQ(ParseBinding("left shift"), InputBinding::Key(SDL_SCANCODE_LSHIFT));
    EXPECT_EQ(ParseBinding("ESCAPE"), InputBinding::Key(SDL_SCANCODE_ESCAPE));
    EXPECT_EQ(ParseBinding("w"), InputBinding::Key(SDL_SCANCODE_W));
    EXPECT_EQ(ParseBinding("mouse x1"), InputBinding::Mouse(SDL_BUTTON_X1));
    for (const char* unknown : {"", "Mouse Thumb", "Mouse 0", "Mouse 99", "No Such Key", "Mouse"})
        EXPECT_EQ(ParseBinding(unknown), std::nullopt) << unknown;
    EXPECT_EQ(BindingName(InputBinding::Key(SDL_SCANCODE_UNKNOWN)), "");
}
