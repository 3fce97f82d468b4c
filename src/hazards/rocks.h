// Rolling rocks.
#pragma once

namespace ralvo {
struct Game;

// Rocks are not built yet: these do nothing.
void StartRock(Game& g);
void RockStep(Game& g);
void DrawRocks(Game& g);

}  // namespace ralvo
