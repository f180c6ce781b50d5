#include "game/SettingsCodec.h"

#include "app/Launcher.h"
#include "game/InputBindingNames.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <ctime>
#include <limits>
#include <string>
#include <string_view>

namespace {

const char* const ActionKeys[InputActionCount] = {"forward", "left", "back", "right", "fire", "pause"};

struct WindowModeName {
    WindowMode mode;
    const char* name;
};
constexpr WindowModeName WindowModeNames[] = {
    {WindowMode::Windowed, "windowed"}, {WindowMode::Borderless, "borderless"}, {WindowMode::Fullscreen, "fullscreen"}};

// Reads one section's values into place, leaving the defaults where nothing usable is given.
class SectionReader {
public:
    SectionReader(const toml::table& root, const char* section, std::ostream& warnings)
        : name_(section), warnings_(warnings)
    {
        const toml::node* node = root.get(section);
        if (!node)
            return;
        table_ = node->as_table();
        if (!table_)
            warnings_ << "Zorbulon: settings: [" << name_ << "] should be a section; its defaults used\n";
    }

    void Bool(const char* key, bool& value)
    {
        const toml::node* node = Get(key);
        if (!node)
            return;
        if (const auto* b = node->as_boolean())
            value = b->get();
        else
            WrongKind(key, "true or false", value ? "true" : "false");
    }

    // A number within [min, max] after dividing by `scale` (percent are stored times 100).
    void Number(const char* key, const SettingRange& range, float& value, double scale = 1.0)
    {
        const toml::node* node = Get(key);
        if (!node)
            return;
        double read;
        if (const auto* i = node->as_integer())
            read = static_cast<double>(i->get());
        else if (const auto* f = node->as_floating_point())
            read = f->get();
        else
            read = std::numeric_limits<double>::quiet_NaN();
        if (std::isnan(read)) {
            WrongKind(key, "a number", Text(static_cast<double>(value) * scale));
            return;
        }
        // Compared as the float the game keeps, so a file's 0.1 is not below the limit 0.1f (and
        // brought within a float's range first, where converting is defined).
        const double largest = std::numeric_limits<float>::max();
        const float kept = static_cast<float>(std::clamp(read / scale, -largest, largest));
        if (kept < range.min || kept > range.max) {
            const bool below = kept < range.min;
            const double limit = static_cast<double>(below ? range.min : range.max) * scale;
            warnings_ << "Zorbulon: settings: " << name_ << "." << key << " = " << Text(read) << " is "
                      << (below ? "below the least" : "above the most") << " allowed, " << Text(limit) << "; "
                      << Text(limit) << " used\n";
            value = below ? range.min : range.max;
            return;
        }
        value = kept;
    }

    template <typename T> void Whole(const char* key, int64_t min, int64_t max, T& value)
    {
        const toml::node* node = Get(key);
        if (!node)
            return;
        const auto* i = node->as_integer();
        if (!i) {
            WrongKind(key, "a whole number", std::to_string(value));
            return;
        }
        value = static_cast<T>(Clamp(key, i->get(), min, max));
    }

    const toml::node* Get(const char* key) const { return table_ ? table_->get(key) : nullptr; }

    void WrongKind(const char* key, const char* wanted, const std::string& fallback)
    {
        warnings_ << "Zorbulon: settings: " << name_ << "." << key << " should be " << wanted << "; " << fallback
                  << " used\n";
    }

    void Unknown(const char* key, std::string_view value, const std::string& fallback)
    {
        warnings_ << "Zorbulon: settings: " << name_ << "." << key << " = \"" << value << "\" is not known; "
                  << fallback << " used\n";
    }

private:
    int64_t Clamp(const char* key, int64_t read, int64_t min, int64_t max)
    {
        if (read < min) {
            warnings_ << "Zorbulon: settings: " << name_ << "." << key << " = " << Text(read)
                      << " is below the least allowed, " << Text(min) << "; " << Text(min) << " used\n";
            return min;
        }
        if (read > max) {
            warnings_ << "Zorbulon: settings: " << name_ << "." << key << " = " << Text(read)
                      << " is above the most allowed, " << Text(max) << "; " << Text(max) << " used\n";
            return max;
        }
        return read;
    }

    static std::string Text(double value)
    {
        char buffer[32];
        // As the float the game keeps when it fits one, so 0.1 is not shown as 0.10000000149011612.
        const bool fitsFloat = std::fabs(value) <= static_cast<double>(std::numeric_limits<float>::max());
        auto [end, error] = fitsFloat ? std::to_chars(buffer, buffer + sizeof buffer, static_cast<float>(value))
                                      : std::to_chars(buffer, buffer + sizeof buffer, value);
        return error == std::errc() ? std::string(buffer, end) : std::string("?");
    }
    static std::string Text(int64_t value) { return std::to_string(value); }

    const char* name_;
    std::ostream& warnings_;
    const toml::table* table_ = nullptr;
};

// The section `name` of `root`, made (or made a section again) when it is not one.
toml::table& Section(toml::table& root, const char* name)
{
    if (toml::table* section = root.get_as<toml::table>(name))
        return *section;
    return *root.insert_or_assign(name, toml::table{}).first->second.as_table();
}

// As the shortest decimal that reads back as the same float, so the file says 0.1 rather than
// 0.10000000149011612.
double ShortestDouble(float value)
{
    char buffer[32];
    auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    double result = static_cast<double>(value);
    if (error == std::errc())
        std::from_chars(buffer, end, result);
    return result;
}

// A 0..1 share (a volume, a render scale) as the whole percent the file shows.
int64_t Percent(float share) { return std::lround(share * 100.0f); }

} // namespace

GameSettings ReadSettings(const toml::table& table, std::ostream& warnings)
{
    GameSettings settings;

    SectionReader display(table, "display", warnings);
    display.Whole("width", MinWindowWidth, MaxWindowSize, settings.width);
    display.Whole("height", MinWindowHeight, MaxWindowSize, settings.height);
    if (const toml::node* node = display.Get("window")) {
        const auto* text = node->as_string();
        const WindowModeName* found = nullptr;
        if (text)
            for (const WindowModeName& mode : WindowModeNames)
                if (text->get() == mode.name)
                    found = &mode;
        if (found)
            settings.windowMode = found->mode;
        else if (text)
            display.Unknown("window", text->get(), "\"windowed\"");
        else
            display.WrongKind("window", "\"windowed\", \"borderless\" or \"fullscreen\"", "\"windowed\"");
    }
    display.Bool("vsync", settings.vsync);
    if (const toml::node* node = display.Get("quality")) {
        const auto* text = node->as_string();
        const std::optional<RenderQuality> quality =
            text ? ParseRenderQuality(text->get(), false) : std::optional<RenderQuality>();
        if (quality)
            settings.quality = *quality;
        else if (text)
            display.Unknown("quality", text->get(), "the device's choice");
        else
            display.WrongKind("quality", "\"high\", \"auto\" or \"low\"", "the device's choice");
    }
    if (const toml::node* node = display.Get("upscale_filter")) {
        const auto* text = node->as_string();
        const std::optional<UpscaleFilter> filter = text ? ParseUpscaleFilter(text->get()) : std::nullopt;
        if (filter)
            settings.upscaleFilter = *filter;
        else if (text)
            display.Unknown("upscale_filter", text->get(), "the device's choice");
        else
            display.WrongKind("upscale_filter", "\"bilinear\" or \"sharpened\"", "the device's choice");
    }

    display.Number("render_scale", GameSettings::RenderScaleRange, settings.renderScale, 100.0);

    SectionReader look(table, "look", warnings);
    look.Number("mouse_sensitivity_x", GameSettings::MouseSensitivityRange, settings.mouseSensitivityX);
    look.Number("mouse_sensitivity_y", GameSettings::MouseSensitivityRange, settings.mouseSensitivityY);
    look.Bool("invert_mouse_y", settings.invertMouseY);
    look.Bool("invert_pad_y", settings.invertPadY);
    look.Number("pad_look_speed", GameSettings::PadLookSpeedRange, settings.padLookSpeed);
    look.Number("pad_dead_zone", GameSettings::PadDeadZoneRange, settings.padDeadZone);
    look.Number("field_of_view", GameSettings::FieldOfViewRange, settings.fieldOfView);

    SectionReader sound(table, "sound", warnings);
    sound.Number("master", GameSettings::VolumeRange, settings.masterVolume, 100.0);
    sound.Number("effects", GameSettings::VolumeRange, settings.effectsVolume, 100.0);
    sound.Number("voices", GameSettings::VolumeRange, settings.voicesVolume, 100.0);

    SectionReader hud(table, "hud", warnings);
    hud.Bool("crosshair", settings.crosshair);

    SectionReader controls(table, "controls", warnings);
    for (int action = 0; action < InputActionCount; ++action) {
        const toml::node* node = controls.Get(ActionKeys[action]);
        if (!node)
            continue;
        InputBinding& binding = settings.bindings[action];
        const std::string fallback = "\"" + BindingName(binding) + "\"";
        if (const auto* text = node->as_string()) {
            if (std::optional<InputBinding> parsed = ParseBinding(text->get()))
                binding = *parsed;
            else
                controls.Unknown(ActionKeys[action], text->get(), fallback);
        } else {
            controls.WrongKind(ActionKeys[action], "a key or button name", fallback);
        }
    }
    return settings;
}

void WriteSettings(const GameSettings& settings, toml::table& table)
{
    toml::table& display = Section(table, "display");
    display.insert_or_assign("width", settings.width);
    display.insert_or_assign("height", settings.height);
    for (const WindowModeName& mode : WindowModeNames)
        if (mode.mode == settings.windowMode)
            display.insert_or_assign("window", mode.name);
    display.insert_or_assign("vsync", settings.vsync);
    // No choice made is no key: the next run asks the device again.
    if (settings.quality == RenderQuality::Device)
        display.erase("quality");
    else
        display.insert_or_assign("quality", RenderQualityName(settings.quality));
    if (settings.upscaleFilter == UpscaleFilter::Device)
        display.erase("upscale_filter");
    else
        display.insert_or_assign("upscale_filter", UpscaleFilterName(settings.upscaleFilter));
    display.insert_or_assign("render_scale", Percent(settings.renderScale));

    toml::table& look = Section(table, "look");
    look.insert_or_assign("mouse_sensitivity_x", ShortestDouble(settings.mouseSensitivityX));
    look.insert_or_assign("mouse_sensitivity_y", ShortestDouble(settings.mouseSensitivityY));
    look.insert_or_assign("invert_mouse_y", settings.invertMouseY);
    look.insert_or_assign("invert_pad_y", settings.invertPadY);
    look.insert_or_assign("pad_look_speed", ShortestDouble(settings.padLookSpeed));
    look.insert_or_assign("pad_dead_zone", ShortestDouble(settings.padDeadZone));
    look.insert_or_assign("field_of_view", ShortestDouble(settings.fieldOfView));

    toml::table& sound = Section(table, "sound");
    sound.insert_or_assign("master", Percent(settings.masterVolume));
    sound.insert_or_assign("effects", Percent(settings.effectsVolume));
    sound.insert_or_assign("voices", Percent(settings.voicesVolume));

    Section(table, "hud").insert_or_assign("crosshair", settings.crosshair);

    toml::table& controls = Section(table, "controls");
    for (int action = 0; action < InputActionCount; ++action) {
        // A binding without a name is left out, so the next run reads its default.
        std::string name = BindingName(settings.bindings[action]);
        if (name.empty())
            controls.erase(ActionKeys[action]);
        else
            controls.insert_or_assign(ActionKeys[action], std::move(name));
    }
}

GameRecords ReadRecords(const toml::table& table, std::ostream& warnings)
{
    GameRecords records;
    SectionReader best(table, "best", warnings);
    best.Whole("round", 0, std::numeric_limits<uint32_t>::max(), records.bestRound);
    if (const toml::node* node = best.Get("reached")) {
        if (const auto* when = node->as_date_time()) {
            const toml::date_time& value = when->get();
            std::tm tm{};
            tm.tm_year = value.date.year - 1900;
            tm.tm_mon = value.date.month - 1;
            tm.tm_mday = value.date.day;
            tm.tm_hour = value.time.hour;
            tm.tm_min = value.time.minute;
            tm.tm_sec = value.time.second;
            // A date and time without an offset is taken as UTC, as the game writes them.
            const int offsetMinutes = value.offset ? value.offset->minutes : 0;
            records.bestRoundAt = timegm(&tm) - static_cast<std::time_t>(offsetMinutes) * 60;
        } else {
            best.WrongKind("reached", "a date and time", "unknown");
        }
    }
    return records;
}

void WriteRecords(const GameRecords& records, toml::table& table)
{
    toml::table& best = Section(table, "best");
    best.insert_or_assign("round", static_cast<int64_t>(records.bestRound));
    std::tm tm{};
    const bool known = records.bestRoundAt != 0 && gmtime_r(&records.bestRoundAt, &tm) && tm.tm_year >= -1900 &&
                       tm.tm_year <= 9999 - 1900;
    if (!known) {
        best.erase("reached");
        return;
    }
    toml::date_time when{toml::date{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday},
                         toml::time{tm.tm_hour, tm.tm_min, tm.tm_sec}, toml::time_offset{}};
    best.insert_or_assign("reached", when);
}
