#pragma once

namespace ralvo {
struct Game;

// Reads the configuration, the settings and the debug switch, sets the menus, loads the scores.
void LoadOptions(Game& g);
void SaveOptions(Game& g);

}  // namespace ralvo
