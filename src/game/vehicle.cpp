#include "game/vehicle.h"

#include <algorithm>
#include <vector>

#include "data/celldata.h"
#include "extras/sound.h"
#include "game/marsh.h"
#include "game/random_draw.h"
#include "game/timing.h"
#include "hazards/plane.h"
#include "hazards/rocks.h"
#include "render/draw.h"
#include "render/layout.h"
#include "shell/errors.h"
#include "shell/lifecycle.h"
#include "shell/state.h"

namespace ralvo {

namespace {

constexpr int16_t kWarpMask = kAttrWarpA | kAttrWarpB;
constexpr int16_t kWarpExitPath = 3;

bool OnBoard(const Game& g, int x, int y) { return x >= 0 && x < g.MaxBoxX && y >= 0 && y < g.MaxBoxY; }

int Mod4(int v) { return ((v % 4) + 4) % 4; }

// Dots in use, never more than the record holds.
int UsedDots(const PathRec& p) { return std::clamp<int>(p.PathLen, 0, kMaxDots); }

// Draws the vehicle on dot `dot` of path p, turned by CurEntDir, in box (CurBoxX, CurBoxY).
void DrawVehicleOnDot(Game& g, const PathRec& p, int dot) {
    int last = UsedDots(p) - 1;
    if (last < 0) return;
    DotRec t = RotateDot(p.Dot[static_cast<size_t>(std::clamp(dot, 0, last))], g.CurEntDir);
    DrawVehicle(g, BoxToPixelX(g.CurBoxX) + t.Xx - 10, BoxToPixelY(g.CurBoxY) + t.Yy - 10, t.Angle);
}

}  // namespace

void RunDot(Game& g, int16_t remaining, int16_t& result) {
    result = kRunGoOn;
    // After leaving the board the box members point outside it; nothing there to run or draw.
    if (!OnBoard(g, g.CurBoxX, g.CurBoxY)) {
        result = kRunOffBoard;
        return;
    }
    BoxRec& box = g.WorkGame.Box[g.CurBoxX][g.CurBoxY];
    const int16_t c = box.Cell;
    if (!IsValidCell(g, c)) {
        ErrorStop(g, 2, c);
        return;
    }
    const int16_t p = g.CurPathId;
    if (!IsValidPath(g, p)) {
        ErrorStop(g, 1, p);
        return;
    }
    const PathRec& path = g.PathDim[static_cast<size_t>(p)];
    if (g.CurRunDot >= UsedDots(path)) {
        EnterNextBox(g, p, result);
        return;
    }
    const DotRec d = path.Dot[static_cast<size_t>(std::max<int16_t>(g.CurRunDot, 0))];
    const DotRec t = RotateDot(d, g.CurEntDir);
    const int sx = BoxToPixelX(g.CurBoxX) + t.Xx - 10;
    const int sy = BoxToPixelY(g.CurBoxY) + t.Yy - 10;
    const int32_t a = box.BoxAttr & 7;

    switch (d.Flag) {
        case 1:
        case 9:
            result = kRunCrash;
            return;
        case 2:
            WarpVehicle(g, remaining);
            if (remaining == 0) DrawMarker(g, g.CurBoxX, g.CurBoxY);
            result = kRunGoOn;
            return;
        case 4:
            if ((a == 1 && (g.CurEntDir == 1 || g.CurEntDir == 3)) ||
                (a == 2 && (g.CurEntDir == 0 || g.CurEntDir == 2))) {
                result = kRunCrash;
                return;
            }
            break;
        case 6:
            if (a == 1 || a == 2) DrawDisc(g, g.CurBoxX, g.CurBoxY, 3);
            break;
        case 7:
            if (a == 0) {
                DrawDisc(g, g.CurBoxX, g.CurBoxY, 0);
            } else if (a == 1 || a == 2) {
                // Square headings set the table along the run; a diagonal one leaves it unset.
                int32_t s = 0;
                if (t.Angle % 4 == 0) s = (t.Angle / 4) % 2 == 0 ? 1 : 2;
                DrawDisc(g, g.CurBoxX, g.CurBoxY, s);
                box.BoxAttr = (box.BoxAttr & ~7) | s;
            }
            break;
        case 8:
            if (box.BoxAttr == 0 && remaining == 0) DrawDisc(g, g.CurBoxX, g.CurBoxY, 4 + t.Angle % 4);
            break;
        case 13:
            CollapseMarsh(g);
            break;
        case 15:
            if (g.ScoreGoing < 0) {
                result = kRunCrash;
                return;
            }
            ReachGoal(g);
            result = kRunGoal;
            return;
        default:
            break;
    }
    if (remaining != 0) return;
    DrawVehicle(g, sx, sy, t.Angle);
    if (d.Flag == 3 || d.Flag == 14) DrawMarker(g, g.CurBoxX, g.CurBoxY);
    result = kRunGoOn;
}

int16_t ExitSide(Game& g, int e, int p) {
    const int16_t dir = g.PathDim[static_cast<size_t>(p)].PathDir;
    if (dir == -1) return -1;
    return static_cast<int16_t>((e + dir) % 4);
}

void EnterNextBox(Game& g, int p, int16_t& result) {
    result = kRunGoOn;
    const int16_t d = ExitSide(g, g.CurEntDir, p);
    switch (d) {
        case 0: g.CurBoxX += 1; break;
        case 1: g.CurBoxY += 1; break;
        case 2: g.CurBoxX -= 1; break;
        case 3: g.CurBoxY -= 1; break;
        default: {
            // The path data must stop the vehicle before a dead end's last dot.
            const int16_t cod = 130;
            ErrorStop(g, 9, cod);
            return;
        }
    }
    if (!OnBoard(g, g.CurBoxX, g.CurBoxY)) {
        result = kRunOffBoard;
        return;
    }
    const BoxRec& box = g.WorkGame.Box[g.CurBoxX][g.CurBoxY];
    const int16_t c = box.Cell;
    if (c == 0) {
        result = kRunEmptyBox;
        return;
    }
    if (!IsValidCell(g, c)) {
        ErrorStop(g, 2, c);
        return;
    }
    g.CurEntDir = static_cast<int16_t>((d + 2) % 4);
    const int k = Mod4(g.CurEntDir - box.Rot);
    const CellRec& cell = g.CellDim[static_cast<size_t>(c)];
    int16_t candidates[4];
    int n = 0;
    for (int j = 0; j < 4; ++j) {
        const int16_t id = cell.PathType[k][j];
        if (id == 0) continue;
        if (!IsValidPath(g, id)) {
            ErrorStop(g, 1, id);
            return;
        }
        candidates[n++] = id;
    }
    if (n == 0) {
        result = kRunNoPath;
        return;
    }
    g.CurPathId = candidates[DrawRandom(g, n)];
    g.CurRunDot = 0;
    result = kRunNewBox;
}

void WarpVehicle(Game& g, int16_t remaining) {
    const CellPathHit hit = FindCellPath(g, kWarpMask, kWarpExitPath);
    int16_t p = 0;
    if (hit.x == -9) {
        // No exit anywhere: pass the warp dot and run on along the own path.
        g.CurRunDot += 1;
        p = g.CurPathId;
    } else {
        g.CurBoxX = hit.x;
        g.CurBoxY = hit.y;
        const BoxRec& box = g.WorkGame.Box[hit.x][hit.y];
        if (!IsValidCell(g, box.Cell)) {
            ErrorStop(g, 2, box.Cell);
            return;
        }
        g.CurEntDir = static_cast<int16_t>(Mod4(hit.side + box.Rot));
        p = g.CellDim[static_cast<size_t>(box.Cell)].PathType[hit.side][hit.j];
        if (p != kWarpExitPath) {
            const int16_t cod = 102;
            ErrorStop(g, 9, cod);
            return;
        }
        if (!IsValidPath(g, p)) {
            ErrorStop(g, 1, p);
            return;
        }
        g.CurPathId = p;
        g.CurRunDot = g.PathDim[static_cast<size_t>(p)].PathMid;
    }
    if (remaining != 0) return;
    // A warp dot at the very end of a path with no exit leaves CurRunDot past the
    // used dots; the vehicle is then shown on the path's last dot.
    DrawVehicleOnDot(g, g.PathDim[static_cast<size_t>(p)], g.CurRunDot);
}

CellPathHit FindCellPath(Game& g, int16_t mask, int16_t id) {
    std::vector<CellPathHit> hits;
    for (int16_t x = 0; x < g.MaxBoxX; ++x) {
        for (int16_t y = 0; y < g.MaxBoxY; ++y) {
            const int16_t c = g.WorkGame.Box[x][y].Cell;
            if (c == 0) continue;
            if (!IsValidCell(g, c)) {
                ErrorStop(g, 2, c);
                return {};
            }
            const CellRec& cell = g.CellDim[static_cast<size_t>(c)];
            if ((cell.Cellattr & mask) == 0) continue;
            for (int16_t s = 0; s < 4; ++s)
                for (int16_t j = 0; j < 4; ++j)
                    if (cell.PathType[s][j] == id) hits.push_back({x, y, s, j});
        }
    }
    if (hits.empty()) return {};
    return hits[static_cast<size_t>(DrawRandom(g, static_cast<int32_t>(hits.size())))];
}

void CrashVehicle(Game& g) {
    PlayCrash(g);
    const int x0 = g.VehiX - 5;
    const int y0 = g.VehiY - 5;
    BitBlt(g.CsavePic, 0, 0, 31, 31, g.BasePic, x0, y0, Rop::Copy);
    for (int frame = 0; frame < 4; ++frame) {
        if (frame > 0) {
            g.plat.Sleep(200);
            BitBlt(g.BasePic, x0, y0, 31, 31, g.CsavePic, 0, 0, Rop::Copy);
        }
        BitBlt(g.BasePic, x0, y0, 31, 31, g.Fig.CmaskPic, 31 * frame, 0, Rop::And);
        BitBlt(g.BasePic, x0, y0, 31, 31, g.Fig.CrashPic, 31 * frame, 0, Rop::Invert);
        if (g.RockMode != 0) DrawRocks(g);
        if (g.PlaneMode != 0) DrawPlane(g);
        g.plat.RefreshPicture(kBasePic);
    }
    g.plat.Sleep(500);
    ShowMessagePicture(g, 1);
    EndGame(g);
}

}  // namespace ralvo
