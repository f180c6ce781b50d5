#include "game/InputBindingNames.h"

#include <SDL2/SDL_keyboard.h>
#include <SDL2/SDL_mouse.h>

#include <charconv>
#include <strings.h>

namespace {

struct MouseName {
    int button;
    const char* name;
};
constexpr MouseName MouseNames[] = {
    {SDL_BUTTON_LEFT, "Mouse Left"}, {SDL_BUTTON_MIDDLE, "Mouse Middle"}, {SDL_BUTTON_RIGHT, "Mouse Right"},
    {SDL_BUTTON_X1, "Mouse X1"},     {SDL_BUTTON_X2, "Mouse X2"},
};
// Buttons past the fifth (mice with many buttons) are named by number: "Mouse 6".
constexpr std::string_view MousePrefix = "Mouse ";
constexpr int MaxMouseButton = 32;

bool EqualIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

} // namespace

std::string BindingName(const InputBinding& binding)
{
    if (binding.device == InputBinding::Device::Mouse) {
        for (const MouseName& mouse : MouseNames)
            if (mouse.button == binding.code)
                return mouse.name;
        if (binding.code > SDL_BUTTON_X2 && binding.code <= MaxMouseButton)
            return std::string(MousePrefix) + std::to_string(binding.code);
        return {};
    }
    if (binding.code <= SDL_SCANCODE_UNKNOWN || binding.code >= SDL_NUM_SCANCODES)
        return {};
    return SDL_GetScancodeName(static_cast<SDL_Scancode>(binding.code));
}

std::optional<InputBinding> ParseBinding(std::string_view name)
{
    for (const MouseName& mouse : MouseNames)
        if (EqualIgnoringCase(name, mouse.name))
            return InputBinding::Mouse(mouse.button);
    if (name.size() > MousePrefix.size() && EqualIgnoringCase(name.substr(0, MousePrefix.size()), MousePrefix)) {
        std::string_view digits = name.substr(MousePrefix.size());
        int button = 0;
        auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), button);
        if (error == std::errc() && end == digits.data() + digits.size() && button > SDL_BUTTON_X2 &&
            button <= MaxMouseButton)
            return InputBinding::Mouse(button);
    }
    if (name.empty() || name.find('\0') != std::string_view::npos)
        return std::nullopt;
    // SDL compares key names without regard to case; it wants a terminated string.
    SDL_Scancode scancode = SDL_GetScancodeFromName(std::string(name).c_str());
    if (scancode == SDL_SCANCODE_UNKNOWN)
        return std::nullopt;
    return InputBinding::Key(scancode);
}
