// The UI library's settings the launcher and the game share.
#pragma once

// On the current UI context: no settings file (the game keeps no state between runs), and the
// menus can be driven with a game controller (the d-pad or left stick moves, A presses).
void ApplyUiSettings();
