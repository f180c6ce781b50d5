#include "game/GameMenu.h"

#include <cstring>
#include <iterator>

namespace {

constexpr float FullHealth = 100.0f;
constexpr float MaxBorderPixels = 50.0f;
constexpr float GameOverDelaySeconds = 5.0f;

constexpr MenuButton PauseButtons[] = {
    {"Resume", MenuAction::Resume},
    {"Options", MenuAction::Options},
    {"Restart", MenuAction::Restart},
    {"Exit", MenuAction::Exit},
};
constexpr MenuButton GameOverButtons[] = {
    {"Restart", MenuAction::Restart},
    {"Exit", MenuAction::Exit},
};

} // namespace

float DamageBorderThickness(float health)
{
    if (health >= FullHealth || health <= 0.0f)
        return 0.0f;
    return (FullHealth - health) / FullHealth * MaxBorderPixels;
}

bool GameOverMenuDue(float wholeSecondsSinceDeath)
{
    return wholeSecondsSinceDeath > GameOverDelaySeconds;
}

MenuButtons GameMenuButtons(bool paused)
{
    if (paused)
        return {PauseButtons, std::size(PauseButtons)};
    return {GameOverButtons, std::size(GameOverButtons)};
}

int GameMenuButtonIndex(bool paused, const char* label)
{
    const MenuButtons menu = GameMenuButtons(paused);
    for (size_t i = 0; i < menu.count; ++i)
        if (std::strcmp(menu.buttons[i].label, label) == 0)
            return static_cast<int>(i);
    return -1;
}
