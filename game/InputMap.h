// The player's bindings read both ways: which action a key or mouse button stands for, and a
// rebinding that never leaves two actions on one input.
#pragma once

#include "game/GameSettings.h"

// The action bound to the key at `scancode`; InputAction::Count for none.
InputAction ActionForKey(const GameSettings& settings, SDL_Scancode scancode);
// The action bound to mouse button `button` (SDL_BUTTON_LEFT...); InputAction::Count for none.
InputAction ActionForMouse(const GameSettings& settings, int button);
// Binds `action` to `binding`. An action that had `binding` takes the one `action` gives up, so
// a swap of two keys is one rebinding and no action is left without an input.
void Rebind(GameSettings& settings, InputAction action, const InputBinding& binding);
