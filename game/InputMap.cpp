#include "game/InputMap.h"

namespace {

InputAction ActionFor(const GameSettings& settings, const InputBinding& input)
{
    for (int i = 0; i < InputActionCount; ++i)
        if (settings.bindings[i] == input)
            return static_cast<InputAction>(i);
    return InputAction::Count;
}

} // namespace

InputAction ActionForKey(const GameSettings& settings, SDL_Scancode scancode)
{
    return ActionFor(settings, InputBinding::Key(scancode));
}

InputAction ActionForMouse(const GameSettings& settings, int button)
{
    return ActionFor(settings, InputBinding::Mouse(button));
}

void Rebind(GameSettings& settings, InputAction action, const InputBinding& binding)
{
    InputBinding& mine = settings.Binding(action);
    for (InputBinding& other : settings.bindings)
        if (&other != &mine && other == binding)
            other = mine;
    mine = binding;
}
