// Drawing the board, boxes, sprites and message pictures.
#pragma once
#include <cstdint>

namespace ralvo {
struct Game;

void RedrawScreen(Game& g);
void DrawCell(Game& g, int bx, int by);
void DrawPlacedDisc(Game& g, int bx, int by);
void DrawDisc(Game& g, int bx, int by, int32_t frame);
void DrawMarker(Game& g, int bx, int by);
void DrawVehicle(Game& g, int px, int py, int heading);
void EraseSprites(Game& g);
void ShowMessagePicture(Game& g, int n);

}  // namespace ralvo
