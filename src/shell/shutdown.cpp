#include <cstdlib>

#include "platform/platform.h"
#include "shell/lifecycle.h"
#include "shell/state.h"

namespace ralvo {

void StopGame(Game& g) {
    g.GameMode = 0;
    g.MoveTimer_Enabled = kFalse;
    g.plat.SetGameTimer(false);
}

void EndGame(Game& g) {
    StopGame(g);
    g.plat.Sleep(1000);
    if (g.ClearCount > 0 && g.ScoreTotal > g.HiScore[10]) {
        g.NewScore = g.ScoreTotal;
        g.NewClear = g.ClearCount;
        // The score dialog arrives with the high-score table.
        g.plat.Note("score dialog: not built yet (NewScore=" + std::to_string(g.NewScore) +
                    " NewClear=" + std::to_string(g.NewClear) + ")");
    }
}

void EndProgram(Game& g, int exitCode) {
    g.plat.WinHelp(g.HelpFileName, kHelpQuit, 0);
    g.plat.Terminate(exitCode);
    std::abort();  // a back end whose Terminate returned is broken
}

}  // namespace ralvo
