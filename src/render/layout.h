// Window layout for the selected screen size, box-to-pixel mapping, title, Size menu.
#pragma once
#include <cstdint>

namespace ralvo {
struct Game;

constexpr int16_t BoxToPixelX(int bx) { return static_cast<int16_t>(20 + 81 * bx); }
constexpr int16_t BoxToPixelY(int by) { return static_cast<int16_t>(10 + 81 * by); }
constexpr int kNextPicWidth = 84;

void LayoutWindow(Game& g);
void ShowTitle(Game& g);
void OpenSizeMenu(Game& g);
void MenuSize_Click(Game& g, int index);

}  // namespace ralvo
