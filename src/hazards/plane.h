// Aeroplanes and their bombs.
#pragma once
#include <cstdint>

namespace ralvo {
struct Game;

// Aeroplanes are not built yet: these do nothing, BombOverBox reports no explosion.
void TakeOff(Game& g);
void LaunchPlane(Game& g, int bx, int by, int16_t mode, int16_t middle);
void PlaneStep(Game& g);
void DrawPlane(Game& g);
bool BombOverBox(Game& g, int bx, int by);
void DrawBomb(Game& g, int bx, int by, int frame, int point);

}  // namespace ralvo
