// Mouse, keys and the settings commands that steer placement.
#pragma once
#include <cstdint>

namespace ralvo {
struct Game;

// button: 1 left, 2 right, 4 middle; x, y in pixels of the picture.
void BoardMouseDown(Game& g, int button, double x, double y);
void NextMouseDown(Game& g, int button, double x, double y);
// Windows virtual-key codes; sets keyCode to 0 when the key was consumed.
void WindowKeyDown(Game& g, int16_t& keyCode);

void MenuUseKey_Click(Game& g);
// value 0 ignore, 1 spurt, 2..5 launch a plane (debug mode).
void MenuRhtClick_Click(Game& g, int value);

void RightClickAction(Game& g);
void BoxAction(Game& g, int button, int bx, int by);
void PlaceNextCell(Game& g, int bx, int by);
// Erases every sprite when one lies over box (bx, by); returns whether one did.
bool ClearBoxSprites(Game& g, int bx, int by, bool finishBomb);
void MoveKeyCursor(Game& g, int dx, int dy, bool eraseOld, bool drawNew);
// Toggles the cursor frame on box (KeyCurX, KeyCurY).
void DrawKeyCursor(Game& g);

}  // namespace ralvo
