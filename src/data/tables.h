#pragma once

namespace ralvo {
struct Game;

// Fills FlyStep, BombMask, BombPoint, CollapseMask, CollapseOffset.
void FillBuiltInTables(Game& g);

}  // namespace ralvo
