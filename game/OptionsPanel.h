// The pause menu's options: look, field of view, sound, picture, crosshair and controls, each
// change applied at once. Usable with the mouse, the keyboard's arrows and a pad's d-pad; a
// binding is changed by pressing the new key or mouse button.
#pragma once

#include "game/GameSettings.h"

union SDL_Event;

class OptionsPanel {
public:
    enum class Result { None, Changed, Back };

    void Open(const GameSettings& settings);
    void Close();
    bool IsOpen() const { return open_; }
    // Waiting for the key or mouse button of a new binding.
    bool Capturing() const { return capturing_ != InputAction::Count; }
    // Waits for the new binding of `action` (what its button in the panel does).
    void BeginCapture(InputAction action) { capturing_ = action; }

    // While capturing: the next key or mouse button pressed becomes the binding (Escape cancels,
    // except for pause, whose default it is; `cancel` cancels too). True when the event was taken;
    // the UI then never sees it, so the key that made the binding presses nothing in the panel.
    bool Capture(const SDL_Event& event, GameSettings& settings, bool cancel = false);

    // One frame of the panel, centred in a display of the given size (the UI's coordinates).
    Result Draw(GameSettings& settings, float displayWidth, float displayHeight);

private:
    void RefreshNames(const GameSettings& settings);
    bool DrawLook(GameSettings& settings);
    bool DrawSound(GameSettings& settings);
    bool DrawPicture(GameSettings& settings);
    // The binding buttons; a new binding arrives through Capture.
    bool DrawControls();

    bool open_ = false;
    InputAction capturing_ = InputAction::Count;
    bool captured_ = false; // a binding changed since the last frame
    // Binding names, made when they change rather than every frame.
    char names_[InputActionCount][32] = {};
};
