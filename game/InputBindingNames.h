// The names bindings are shown and stored by: SDL's key names ("W", "Left Shift", "Escape") and
// "Mouse Left", "Mouse Middle", "Mouse Right", "Mouse X1", "Mouse X2" for the mouse buttons.
#pragma once

#include "game/GameSettings.h"

#include <optional>
#include <string>
#include <string_view>

// The binding's name; empty for a key or button that has none.
std::string BindingName(const InputBinding& binding);

// The binding a name stands for, in any letter case; nullopt for a name that is none.
std::optional<InputBinding> ParseBinding(std::string_view name);
