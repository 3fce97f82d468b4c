#include "shell/events.h"

#include "game/timing.h"
#include "placement/input.h"
#include "shell/commands.h"
#include "shell/lifecycle.h"
#include "shell/state.h"

namespace ralvo {

void GameEvents::OnMenuOpen(int topMenuId) { OpenMenu(g_, topMenuId); }
void GameEvents::OnMenuCommand(int itemId) { RunMenuCommand(g_, itemId); }
void GameEvents::OnBoardMouseDown(int button, double x, double y) { BoardMouseDown(g_, button, x, y); }
void GameEvents::OnNextMouseDown(int button, double x, double y) { NextMouseDown(g_, button, x, y); }

void GameEvents::OnKeyDown(int keyCode) {
    auto key = static_cast<int16_t>(keyCode);
    WindowKeyDown(g_, key);
}

void GameEvents::OnGameTimer() { GameTimer_Timer(g_); }
// Closing the window in any way ends the program at once.
void GameEvents::OnCloseRequest() { EndProgram(g_); }

}  // namespace ralvo
