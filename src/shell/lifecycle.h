// Start-up, the main loop and the three routines that stop things.
#pragma once

namespace ralvo {
struct Game;

constexpr const char* kBaseName = "Ralvo";

// File names, sound device, rock buffers. Uses g.AppDir.
void InitPaths(Game& g);
// The whole start-up sequence up to (not including) the main loop.
void StartUp(Game& g);
// One pass of the main loop: pending events, a due movement step, a requested stage.
void MainLoopPass(Game& g);
// Runs passes for ever, waiting (not spinning) when nothing is due. Leaves only
// through EndProgram.
[[noreturn]] void MainLoop(Game& g);

void StopGame(Game& g);
void EndGame(Game& g);
// exitCode is 0 for a normal end; a fatal error ends with 1 so a script or shell sees it failed.
[[noreturn]] void EndProgram(Game& g, int exitCode = 0);

}  // namespace ralvo
