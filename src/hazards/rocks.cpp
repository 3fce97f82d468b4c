#include "hazards/rocks.h"

namespace ralvo {

void StartRock(Game&) {}
void RockStep(Game&) {}
void DrawRocks(Game&) {}

}  // namespace ralvo
