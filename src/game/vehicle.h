// The vehicle's run along the track: dot events, box changes, warps and the crash.
#pragma once
#include <cstdint>

namespace ralvo {
struct Game;

// Run results of RunDot and EnterNextBox.
enum RunResult : int16_t {
    kRunGoOn = 0,
    kRunNewBox = 1,
    kRunOffBoard = 2,
    kRunEmptyBox = 3,
    kRunNoPath = 4,
    kRunCrash = 5,
    kRunGoal = 6,
};

struct CellPathHit {
    int16_t x = -9;
    int16_t y = -9;
    int16_t side = -1;
    int16_t j = 0;
};

// Processes dot CurRunDot of CurPathId (or enters the next box past the path's end).
// remaining = dots still to run in this step; only remaining 0 is drawn.
void RunDot(Game& g, int16_t remaining, int16_t& result);
// Absolute exit side for entry side e on path p; -1 for a dead end.
int16_t ExitSide(Game& g, int e, int p);
void EnterNextBox(Game& g, int p, int16_t& result);
void WarpVehicle(Game& g, int16_t remaining);
// A random box whose cell has any bit of mask and lists path id; (-9, -9, -1, 0) if none.
CellPathHit FindCellPath(Game& g, int16_t mask, int16_t id);
// Crash animation, GAME OVER and the end of the game.
void CrashVehicle(Game& g);

}  // namespace ralvo
