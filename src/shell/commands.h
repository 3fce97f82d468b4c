// Menu open handlers and commands.
#pragma once

namespace ralvo {
struct Game;

// Runs the open handler of a top-level menu, then pushes every item's state to the window.
void OpenMenu(Game& g, int topMenuId);
void RunMenuCommand(Game& g, int itemId);
// Pushes the state of one item (g.Menu[id]) to the window.
void ApplyMenuItem(Game& g, int id);

}  // namespace ralvo
