// The offered next cell: weighted draw and its picture in the side panel.
#pragma once
#include <cstdint>

namespace ralvo {
struct Game;

void GenerateNextCell(Game& g);
void ChooseNextAttr(Game& g);
void DrawNextCell(Game& g);
void DrawNextOverlay(Game& g, int16_t x, int16_t y);

}  // namespace ralvo
