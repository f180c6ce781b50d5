#include "game/OptionsPanel.h"

#include "game/InputBindingNames.h"
#include "game/InputMap.h"

#include <SDL2/SDL.h>
#include <imgui.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

namespace {

constexpr float PanelWidth = 560.0f;
// Every control without scrolling in the smallest window the launcher allows (1280 x 720).
constexpr float PanelHeight = 710.0f;
// Room for the longest label beside each control.
constexpr float LabelColumn = 250.0f;

constexpr const char* ActionLabels[InputActionCount] = {"Walk forward", "Walk left", "Walk back", "Walk right",
                                                        "Fire", "Pause"};
constexpr const char* WindowModeLabels = "Windowed\0Borderless fullscreen\0Fullscreen\0";
// In RenderQuality order: the first is "no choice made", which the device settles.
constexpr const char* QualityLabels = "For this device\0High\0Auto\0Low\0";
constexpr const char* FilterLabels = "For this device\0Bilinear\0Edge-adaptive, sharpened\0"; // in UpscaleFilter order
constexpr const char* CapturePopup = "Press a key or mouse button";

bool SliderRange(const char* label, float& value, const SettingRange& range, const char* format)
{
    return ImGui::SliderFloat(label, &value, range.min, range.max, format, ImGuiSliderFlags_AlwaysClamp);
}

// A share of one (a volume, a render scale) shown as a whole percent within its range.
bool PercentSlider(const char* label, float& share, const SettingRange& range)
{
    int percent = static_cast<int>(std::lround(share * 100.0f));
    const int least = static_cast<int>(std::lround(range.min * 100.0f));
    const int most = static_cast<int>(std::lround(range.max * 100.0f));
    if (!ImGui::SliderInt(label, &percent, least, most, "%d %%", ImGuiSliderFlags_AlwaysClamp))
        return false;
    share = static_cast<float>(percent) / 100.0f;
    return true;
}

void Heading(const char* text)
{
    ImGui::Spacing();
    ImGui::TextUnformatted(text);
    ImGui::Separator();
}

} // namespace

void OptionsPanel::Open(const GameSettings& settings)
{
    open_ = true;
    capturing_ = InputAction::Count;
    RefreshNames(settings);
}

void OptionsPanel::Close()
{
    open_ = false;
    capturing_ = InputAction::Count;
}

void OptionsPanel::RefreshNames(const GameSettings& settings)
{
    for (int i = 0; i < InputActionCount; ++i)
        std::snprintf(names_[i], sizeof names_[i], "%s", BindingName(settings.bindings[i]).c_str());
}

bool OptionsPanel::Capture(const SDL_Event& event, GameSettings& settings, bool cancel)
{
    if (!Capturing())
        return false;
    if (cancel) {
        capturing_ = InputAction::Count;
        return true;
    }
    InputBinding binding;
    if (event.type == SDL_KEYDOWN && !event.key.repeat) {
        const SDL_Scancode key = event.key.keysym.scancode;
        // Hide the press from the UI: the Enter or Space that became a binding must not also
        // press the button that has the focus.
        if (ImGui::GetCurrentContext() && key >= 0 && key < IM_ARRAYSIZE(ImGui::GetIO().KeysDown))
            ImGui::GetIO().KeysDown[key] = false;
        if (key == SDL_SCANCODE_ESCAPE && capturing_ != InputAction::Pause) {
            capturing_ = InputAction::Count;
            return true;
        }
        binding = InputBinding::Key(key);
    } else if (event.type == SDL_MOUSEBUTTONDOWN) {
        binding = InputBinding::Mouse(event.button.button);
    } else {
        return event.type == SDL_KEYUP || event.type == SDL_MOUSEBUTTONUP || event.type == SDL_TEXTINPUT;
    }
    Rebind(settings, capturing_, binding);
    RefreshNames(settings);
    capturing_ = InputAction::Count;
    captured_ = true;
    return true;
}

OptionsPanel::Result OptionsPanel::Draw(GameSettings& settings, float displayWidth, float displayHeight)
{
    const float width = std::min(PanelWidth, displayWidth);
    const float height = std::min(PanelHeight, displayHeight);
    ImGui::SetNextWindowPos(ImVec2((displayWidth - width) * 0.5f, (displayHeight - height) * 0.5f), ImGuiCond_Always);
    ImGui::SetNextWindowSize(ImVec2(width, height), ImGuiCond_Always);
    // Opaque: a busy scene behind small text would make it hard to read.
    ImGui::SetNextWindowBgAlpha(1.0f);
    ImGui::Begin("Options", nullptr, ImGuiWindowFlags_NoResize | ImGuiWindowFlags_NoMove | ImGuiWindowFlags_NoCollapse);
    ImGui::PushItemWidth(width - LabelColumn);

    bool changed = captured_;
    captured_ = false;
    changed |= DrawLook(settings);
    changed |= DrawSound(settings);
    changed |= DrawPicture(settings);
    changed |= DrawControls();

    Result result = changed ? Result::Changed : Result::None;
    ImGui::Spacing();
    ImGui::Separator();
    if (ImGui::Button("Back"))
        result = Result::Back;
    ImGui::SameLine();
    if (ImGui::Button("Reset to defaults")) {
        // The window's size is the launcher's choice, not an option here.
        const GameSettings defaults;
        const int windowWidth = settings.width, windowHeight = settings.height;
        settings = defaults;
        settings.width = windowWidth;
        settings.height = windowHeight;
        RefreshNames(settings);
        if (result == Result::None)
            result = Result::Changed;
    }

    ImGui::PopItemWidth();
    ImGui::End();
    return result;
}

bool OptionsPanel::DrawLook(GameSettings& settings)
{
    bool changed = false;
    Heading("Look");
    changed |= SliderRange("Mouse sensitivity, horizontal", settings.mouseSensitivityX,
                           GameSettings::MouseSensitivityRange, "%.2f");
    // A pad or the keyboard starts at the top and moves down.
    ImGui::SetItemDefaultFocus();
    changed |= SliderRange("Mouse sensitivity, vertical", settings.mouseSensitivityY,
                           GameSettings::MouseSensitivityRange, "%.2f");
    changed |= ImGui::Checkbox("Invert mouse look", &settings.invertMouseY);
    changed |= ImGui::Checkbox("Invert pad look", &settings.invertPadY);
    changed |= SliderRange("Pad look speed", settings.padLookSpeed, GameSettings::PadLookSpeedRange,
                           "%.0f degrees/s");
    changed |= SliderRange("Stick dead zone", settings.padDeadZone, GameSettings::PadDeadZoneRange, "%.2f");
    changed |= SliderRange("Field of view", settings.fieldOfView, GameSettings::FieldOfViewRange, "%.0f degrees");
    return changed;
}

bool OptionsPanel::DrawSound(GameSettings& settings)
{
    bool changed = false;
    Heading("Sound");
    changed |= PercentSlider("Master volume", settings.masterVolume, GameSettings::VolumeRange);
    changed |= PercentSlider("Effects volume", settings.effectsVolume, GameSettings::VolumeRange);
    changed |= PercentSlider("Voices volume", settings.voicesVolume, GameSettings::VolumeRange);
    return changed;
}

bool OptionsPanel::DrawPicture(GameSettings& settings)
{
    bool changed = false;
    Heading("Picture");
    int mode = static_cast<int>(settings.windowMode);
    if (ImGui::Combo("Window", &mode, WindowModeLabels)) {
        settings.windowMode = static_cast<WindowMode>(mode);
        changed = true;
    }
    changed |= ImGui::Checkbox("Vertical sync", &settings.vsync);
    int quality = static_cast<int>(settings.quality);
    if (ImGui::Combo("Quality", &quality, QualityLabels)) {
        settings.quality = static_cast<RenderQuality>(quality);
        changed = true;
    }
    // Low is half size whatever the scale says: the slider stays, greyed, so the layout holds.
    ImGui::BeginDisabled(settings.quality == RenderQuality::Low);
    changed |= PercentSlider("Render scale", settings.renderScale, GameSettings::RenderScaleRange);
    ImGui::EndDisabled();
    ImGui::TextDisabled("High: at the render scale. Auto: follows the frame time, up to it. Low: half.");
    ImGui::TextDisabled("The size changes at once; anti-aliasing and filtering at the next start.");
    int filter = static_cast<int>(settings.upscaleFilter);
    if (ImGui::Combo("Upscaling", &filter, FilterLabels)) {
        settings.upscaleFilter = static_cast<UpscaleFilter>(filter);
        changed = true;
    }
    changed |= ImGui::Checkbox("Crosshair", &settings.crosshair);
    return changed;
}

bool OptionsPanel::DrawControls()
{
    Heading("Controls");
    for (int i = 0; i < InputActionCount; ++i) {
        ImGui::PushID(i);
        ImGui::AlignTextToFramePadding();
        ImGui::TextUnformatted(ActionLabels[i]);
        ImGui::SameLine(LabelColumn);
        if (ImGui::Button(names_[i], ImVec2(160.0f, 0.0f)))
            BeginCapture(static_cast<InputAction>(i));
        ImGui::PopID();
    }
    // A modal while waiting: the click that becomes a binding lands on it, not on a button
    // behind it.
    if (Capturing() && !ImGui::IsPopupOpen(CapturePopup))
        ImGui::OpenPopup(CapturePopup);
    if (ImGui::BeginPopupModal(CapturePopup, nullptr, ImGuiWindowFlags_AlwaysAutoResize)) {
        if (Capturing())
            ImGui::Text("%s: press a key or mouse button (Escape cancels)", ActionLabels[static_cast<int>(capturing_)]);
        else
            ImGui::CloseCurrentPopup();
        ImGui::EndPopup();
    }
    return false;
}
