// The HUD's decisions, kept apart from the UI calls so they can be checked on their own: the
// damage border's thickness, when the game-over menu appears and which buttons a menu lists.
#pragma once

#include <cstddef>

enum class MenuAction { Resume, Options, Restart, Exit };

struct MenuButton {
    const char* label;
    MenuAction action;
};

struct MenuButtons {
    const MenuButton* buttons;
    size_t count;
};

// Red border width in pixels: grows to 50 as health falls; none at full health or when dead.
float DamageBorderThickness(float health);
// The game-over menu shows once more than 5 whole seconds have passed since death.
bool GameOverMenuDue(float wholeSecondsSinceDeath);
// The pause menu offers Resume first, then Options; the game-over menu only Restart and Exit.
MenuButtons GameMenuButtons(bool paused);
// Where the button that says `label` stands in that menu; -1 when the menu has none.
int GameMenuButtonIndex(bool paused, const char* label);
