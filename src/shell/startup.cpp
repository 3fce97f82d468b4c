#include <chrono>

#include "data/celldata.h"
#include "data/config.h"
#include "data/tables.h"
#include "game/timing.h"
#include "render/figure.h"
#include "render/layout.h"
#include "shell/lifecycle.h"
#include "shell/menus.h"
#include "shell/options.h"
#include "shell/state.h"

namespace ralvo {

void InitPaths(Game& g) {
    g.SoundDevice = Bool16(g.plat.WaveOutDeviceCount() != 0);
    const std::string dir = g.AppDir + "/";
    g.ClickFileName = dir + "Click.wav";
    g.CrashFileName = dir + "Crash.wav";
    g.BombFileName = dir + "Bomb.wav";
    g.SplashFileName = dir + "Splash.wav";
    g.GoalFileName = dir + "Goal.wav";
    g.MoveTimer_Enabled = kFalse;
    g.plat.SetGameTimer(false);
    g.CurStage = 0;
    g.DispSlow = kFalse;
    const std::string base = dir + kBaseName;
    g.HelpFileName = base + ".HLP";
    g.IniFileName = base + ".INI";
    g.CfgFileName = base + ".CFG";
    g.ScoFileName = base + ".SCO";
    g.DbgFileName = base + ".DBG";
    for (int i = 1; i < 10; ++i) g.RSavePic[i].Reset(21, 21);
}

namespace {

// The window as created: every menu item visible, enabled and unchecked.
void CreateWindow(Game& g) {
    g.plat.BuildMenus(MenuTree());
    for (const MenuItemDef& item : MenuTree()) g.Menu[item.id] = MenuItemState{item.caption, true, true, false};
    g.plat.AttachPictures(&g.BasePic, &g.NextPic);
}

uint64_t ClockSeed() {
    return static_cast<uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
}

}  // namespace

void StartUp(Game& g) {
    CreateWindow(g);
    InitPaths(g);
    LoadOptions(g);
    LoadFigure(g.Fig);
    LoadPaths(g);
    LoadCells(g);
    g.SaveNumCellDim = g.NumCellDim;
    LayoutWindow(g);
    g.NumPathDim = BuildDeadEndPaths(g);
    FillBuiltInTables(g);
    g.rng.Seed(g.SeedOverride.value_or(ClockSeed()));
    StopGame(g);
    g.plat.ShowWindow();
    g.LoadNextGame = 0;
}

void MainLoopPass(Game& g) {
    g.plat.PumpEvents();
    if (g.MoveTimer_Enabled) RunTimedStep(g);
    if (g.LoadNextGame == 1) {
        ApplyStageParams(g);
        g.LoadNextGame = 0;
    }
}

void MainLoop(Game& g) {
    for (;;) {
        MainLoopPass(g);
        // Sleep until the next event or the next due step instead of polling; a step
        // interval of 0 (spurt) still runs a step on every pass.
        const int wait = g.LoadNextGame == 1 ? 0 : StepDueInMs(g);
        if (wait != 0) g.plat.WaitForEvents(wait);
    }
}

}  // namespace ralvo
