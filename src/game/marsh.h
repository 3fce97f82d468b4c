// Marsh track collapsing behind the vehicle.
#pragma once

namespace ralvo {
struct Game;

// Marsh collapse at the vehicle's box (event 13 dots); does nothing until marsh track is built.
void CollapseMarsh(Game& g);

}  // namespace ralvo
