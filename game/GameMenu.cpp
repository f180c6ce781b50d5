#include "game/GameMenu.h"

namespace {

constexpr float FullHealth = 100.0f;
constexpr float MaxBorderPixels = 50.0f;
constexpr float GameOverDelaySeconds = 5.0f;

constexpr MenuButton AllButtons[] = {
    {"Resume", MenuAction::Resume},
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
        return {AllButtons, 3};
    return {AllButtons + 1, 2};
}
