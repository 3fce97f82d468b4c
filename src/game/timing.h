// The timed movement step, the one-second game timer and the speed rows.
#pragma once
#include <cstdint>

namespace ralvo {
struct Game;

// One check of the step clock; runs MoveStep when the step interval has elapsed.
void RunTimedStep(Game& g);
// Milliseconds until RunTimedStep would run a step: 0 = due now (or interval 0),
// -1 = the step clock is off (MoveTimer_Enabled false).
int StepDueInMs(Game& g);
void MoveStep(Game& g);
void ReachGoal(Game& g);
void GameTimer_Timer(Game& g);
void SelectSpeed(Game& g);
// kind 0: step interval in ms; 2, 3, 4: dots per step of vehicle, plane, rocks.
int16_t SpeedValue(Game& g, int kind);
void ResetTickStats(Game& g);
void Spurt(Game& g);
void CheckPerformance(Game& g);

}  // namespace ralvo
