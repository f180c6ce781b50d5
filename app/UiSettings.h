// The UI library's settings the launcher and the game share.
#pragma once

// On the current UI context: no layout file (the UI library would write one into whatever
// directory the game was started from; the player's own settings live in their config folder),
// and the menus can be driven with a game controller (the d-pad or left stick moves, A presses)
// or the keyboard (the arrows move, Space or Enter presses).
void ApplyUiSettings();
