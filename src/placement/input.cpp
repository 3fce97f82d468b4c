#include "placement/input.h"

#include <cmath>

#include "data/celldata.h"
#include "extras/sound.h"
#include "game/scoring.h"
#include "game/timing.h"
#include "game/vehicle.h"
#include "hazards/plane.h"
#include "hazards/rocks.h"
#include "placement/nextcell.h"
#include "render/draw.h"
#include "render/gdi.h"
#include "render/layout.h"
#include "shell/errors.h"
#include "shell/lifecycle.h"
#include "shell/options.h"
#include "shell/state.h"

namespace ralvo {

namespace {

constexpr int kLeft = 1;
constexpr int kRight = 2;

constexpr int16_t kKeyEnter = 13;
constexpr int16_t kKeyEscape = 27;
constexpr int16_t kKeySpace = 32;
constexpr int16_t kKeyLeft = 37;
constexpr int16_t kKeyUp = 38;
constexpr int16_t kKeyRight = 39;
constexpr int16_t kKeyDown = 40;

// Box index for a board pixel coordinate, or -1 when it lies in the frame or beyond.
int BoxIndex(double pixel, int origin, int count) {
    if (pixel < origin) return -1;
    const float b = std::floor(static_cast<float>(pixel - origin) / 81.0f);
    if (b >= static_cast<float>(count)) return -1;
    return static_cast<int>(b);
}

bool Within(int v, int lo, int hi) { return lo <= v && v <= hi; }

// Puts the moving sprites back after ClearBoxSprites took them off.
void RedrawSprites(Game& g) {
    // With no stage in play the vehicle is no moving sprite (see ClearBoxSprites).
    if (g.GameMode != 0) {
        int16_t result = 0;
        RunDot(g, 0, result);
    }
    if (g.RockMode != 0) DrawRocks(g);
    if (g.PlaneMode != 0) DrawPlane(g);
}

}  // namespace

void BoardMouseDown(Game& g, int button, double x, double y) {
    if (g.GameMode == 0 || g.GameMode == 3) return;
    if (button == kRight) RightClickAction(g);
    const int by = BoxIndex(y, 10, g.MaxBoxY);
    if (by < 0) return;
    const int bx = BoxIndex(x, 20, g.MaxBoxX);
    if (bx < 0) return;
    BoxAction(g, button, bx, by);
}

void NextMouseDown(Game& g, int button, double, double) {
    if (g.GameMode == 0 || g.GameMode == 3) return;
    if (button == kRight) RightClickAction(g);
}

void WindowKeyDown(Game& g, int16_t& keyCode) {
    if (keyCode == kKeyEscape) EndProgram(g);
    if (g.GameMode == 0) return;
    switch (keyCode) {
        case kKeyEnter:
            Spurt(g);
            break;
        case kKeySpace:
            if (g.OptUseKey != 0)
                BoxAction(g, kLeft, g.KeyCurX, g.KeyCurY);
            else
                Spurt(g);
            break;
        case kKeyUp: MoveKeyCursor(g, 0, -1, true, true); break;
        case kKeyDown: MoveKeyCursor(g, 0, 1, true, true); break;
        case kKeyLeft: MoveKeyCursor(g, -1, 0, true, true); break;
        case kKeyRight: MoveKeyCursor(g, 1, 0, true, true); break;
        default: break;
    }
    keyCode = 0;
}

void MenuUseKey_Click(Game& g) {
    g.KeyDone = kFalse;
    if (g.OptUseKey != 0) {
        MoveKeyCursor(g, 0, 0, true, false);
        g.OptUseKey = 0;
    } else {
        g.OptUseKey = -1;
        MoveKeyCursor(g, 0, 0, false, true);
    }
    SaveOptions(g);
}

void MenuRhtClick_Click(Game& g, int value) {
    g.OptRhtClick = value;
    SaveOptions(g);
}

void RightClickAction(Game& g) {
    if (g.OptRhtClick == 1) Spurt(g);
}

void BoxAction(Game& g, int button, int bx, int by) {
    if (button == kLeft) {
        if (bx == g.CurBoxX && by == g.CurBoxY) {
            g.plat.Beep();
            return;
        }
        PlaceNextCell(g, bx, by);
        g.plat.RefreshPicture(kBasePic);
        return;
    }
    if (g.OptRhtClick >= 2 && g.OptRhtClick <= 5 && g.GameMode == 2 && g.PlaneMode == 0) {
        const int v = g.OptRhtClick - 2;  // 0..3: right/left diagonal, right/left border
        LaunchPlane(g, bx, by, static_cast<int16_t>(1 + v % 2), static_cast<int16_t>(v / 2));
        g.BombRate = 2;
        g.plat.RefreshPicture(kBasePic);
    }
}

void PlaceNextCell(Game& g, int bx, int by) {
    BoxRec& box = g.WorkGame.Box[bx][by];
    const int16_t c = box.Cell;
    if (c != 0) {
        if (!IsValidCell(g, c)) {
            ErrorStop(g, 2, c);
            return;
        }
        if (g.CellDim[static_cast<size_t>(c)].Cellattr & kAttrFixed) {
            g.plat.Beep();
            return;
        }
        g.ScoreGoing += g.ScoreCellOnto;
        ShowScores(g);
    }
    PlayClick(g);
    const bool overlap = ClearBoxSprites(g, bx, by, true);
    box.Cell = g.NextCid;
    box.Rot = g.NextRot;
    box.BoxAttr = g.NextBoxAttr;
    DrawCell(g, bx, by);
    DrawPlacedDisc(g, bx, by);
    DrawMarker(g, bx, by);
    if (g.OptUseKey != 0 && bx == g.KeyCurX && by == g.KeyCurY) DrawKeyCursor(g);
    GenerateNextCell(g);
    if (overlap) RedrawSprites(g);
}

bool ClearBoxSprites(Game& g, int bx, int by, bool finishBomb) {
    const int px = BoxToPixelX(bx);
    const int py = BoxToPixelY(by);
    bool overlap = false;
    // With no stage in play nothing moves, so the vehicle's last picture needs no
    // taking off: the cursor's inverted frame undoes itself. (Before the first
    // stage there is no vehicle at all to put back.)
    if (g.GameMode != 0 && Within(g.VehiX, px - 21, px + 81) && Within(g.VehiY, py - 21, py + 81))
        overlap = true;
    if (g.PlaneMode != 0 && Within(g.PlaneX, px - 41, px + 81) && Within(g.PlaneY, py - 41, py + 81))
        overlap = true;
    if (g.RockMode != 0) {
        for (const RockRec& rock : g.CurRock) {
            if (rock.RockSts != 0 && Within(rock.RollX, px - 21, px + 81) && Within(rock.RollY, py - 21, py + 81))
                overlap = true;
        }
    }
    const bool bombHere = BombOverBox(g, bx, by);
    if (overlap) EraseSprites(g);
    if (bombHere && finishBomb) {
        DrawBomb(g, g.CurFlyX, g.CurFlyY, 2, g.CurBombPoint);
        g.BombGoOn = kFalse;
    }
    return overlap;
}

void MoveKeyCursor(Game& g, int dx, int dy, bool eraseOld, bool drawNew) {
    if (g.OptUseKey == 0 || g.KeyDone != 0) return;
    const auto nx = static_cast<int16_t>((g.KeyCurX + g.MaxBoxX + dx) % g.MaxBoxX);
    const auto ny = static_cast<int16_t>((g.KeyCurY + g.MaxBoxY + dy) % g.MaxBoxY);
    bool overlap = ClearBoxSprites(g, g.KeyCurX, g.KeyCurY, false);
    if (!overlap) overlap = ClearBoxSprites(g, nx, ny, false);
    if (eraseOld) DrawKeyCursor(g);
    g.KeyCurX = nx;
    g.KeyCurY = ny;
    if (drawNew) DrawKeyCursor(g);
    if (overlap) RedrawSprites(g);
    g.plat.RefreshPicture(kBasePic);
    g.KeyDone = kTrue;
}

void DrawKeyCursor(Game& g) {
    const int left = BoxToPixelX(g.KeyCurX) + 2;
    const int top = BoxToPixelY(g.KeyCurY) + 2;
    const int right = left + 81 - 4;
    const int bottom = top + 81 - 4;
    Dc dc(g.BasePic);
    GdiObject pen;
    GdiCheck(g, CreatePen(g, 3, MakeRgb(255, 255, 255), pen), GdiCall::CreatePen);
    GdiObject oldPen;
    GdiCheck(g, SelectObject(g, dc, pen, oldPen), GdiCall::SelectObject);
    int oldRop = 0;
    GdiCheck(g, SetROP2(g, dc, R2_XORPEN, oldRop), GdiCall::SetROP2);
    GdiCheck(g, Rectangle(g, dc, left, top, right, bottom), GdiCall::Rectangle);
    int xorRop = 0;
    GdiCheck(g, SetROP2(g, dc, oldRop, xorRop), GdiCall::SetROP2);
    GdiObject ourPen;
    GdiCheck(g, SelectObject(g, dc, oldPen, ourPen), GdiCall::SelectObject);
    GdiCheck(g, DeleteObject(g, ourPen), GdiCall::DeleteObject);
}

}  // namespace ralvo
