#include "hazards/plane.h"

namespace ralvo {

void TakeOff(Game&) {}
void LaunchPlane(Game&, int, int, int16_t, int16_t) {}
void PlaneStep(Game&) {}
void DrawPlane(Game&) {}
bool BombOverBox(Game&, int, int) { return false; }
void DrawBomb(Game&, int, int, int, int) {}

}  // namespace ralvo
