#include "game/stage.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "data/celldata.h"
#include "data/config.h"
#include "game/random_draw.h"
#include "game/timing.h"
#include "game/vehicle.h"
#include "placement/input.h"
#include "placement/nextcell.h"
#include "render/draw.h"
#include "render/layout.h"
#include "shell/errors.h"
#include "shell/lifecycle.h"
#include "shell/options.h"
#include "shell/state.h"

namespace ralvo {

namespace {

constexpr int16_t kStartCell = 4;
constexpr int16_t kGoalCell = 46;
constexpr int16_t kHoleCell = 33;
constexpr int16_t kWarpCell = 30;
constexpr int16_t kStartPath = 2;

BoxRec& BoxAt(Game& g, int x, int y) { return g.WorkGame.Box[x][y]; }

// Empty boxes in columns x0..x1, rows y0..y1.
int CountEmpty(Game& g, int x0, int x1, int y0, int y1) {
    int n = 0;
    for (int x = x0; x <= x1; ++x)
        for (int y = y0; y <= y1; ++y)
            if (BoxAt(g, x, y).Cell == 0) ++n;
    return n;
}

void PlaceInterior(Game& g, int16_t cell) {
    int x = 0, y = 0, r = 0;
    do {
        x = 1 + DrawRandom(g, g.MaxBoxX - 2);
        y = 1 + DrawRandom(g, g.MaxBoxY - 2);
        r = DrawRandom(g, 4);
    } while (BoxAt(g, x, y).Cell != 0);
    BoxAt(g, x, y).Cell = cell;
    BoxAt(g, x, y).Rot = static_cast<int16_t>(r);
    ReserveNeighbours(g, x, y);
}

// Holes or warps: rate percent of the boxes, scaled by a random 0.5..1.5.
// Placing stops early once no empty box is left.
void Scatter(Game& g, int16_t rate, int16_t cell) {
    const double r1 = g.rng.Uniform();
    auto n = static_cast<int32_t>(std::floor((r1 + 0.5) * rate / 100 * g.MaxBoxX * g.MaxBoxY));
    while (n > 0) {
        if (CountEmpty(g, 0, g.MaxBoxX - 1, 0, g.MaxBoxY - 1) == 0) return;
        int x = 0, y = 0, r = 0;
        do {
            x = DrawRandom(g, g.MaxBoxX);
            y = DrawRandom(g, g.MaxBoxY);
            r = DrawRandom(g, 4);
        } while (BoxAt(g, x, y).Cell != 0);
        BoxAt(g, x, y).Cell = cell;
        BoxAt(g, x, y).Rot = static_cast<int16_t>(r);
        ReserveNeighbours(g, x, y);
        n -= 1;
    }
}

}  // namespace

void MenuGame_Click(Game& g) {
    const bool idle = g.GameMode == 0;
    g.Menu[MenuStart].enabled = idle;
    g.Menu[MenuStop].enabled = !idle;
    for (int i = 0; i < 3; ++i) {
        MenuItemState& item = g.Menu[MenuSkill0 + i];
        item.checked = i == g.OptSkill;
        item.enabled = idle || i == g.OptSkill;
    }
}

void MenuStart_Click(Game& g) {
    g.CurStage = -1;
    g.ScoreTotal = 0;
    g.ScoreGoing = 0;
    g.ClearCount = 0;
    g.LoadNextGame = 1;
}

void MenuStop_Click(Game& g) {
    if (g.GameMode == 0) return;
    ShowMessagePicture(g, 3);
    EndGame(g);
}

void MenuSkill_Click(Game& g, int index) {
    if (g.GameMode != 0) return;
    g.OptSkill = index;
    SaveOptions(g);
    ApplySkillToDice(g);
}

void StartStage(Game& g) {
    g.GameMode = 0;
    g.PlaneMode = 0;
    g.BombGoOn = kFalse;
    g.RockMode = 0;
    g.MoveTimer_Enabled = kFalse;
    for (RockRec& rock : g.CurRock) rock.RockSts = 0;

    SelectSpeed(g);
    g.NumCellDim = g.SaveNumCellDim;
    g.NextNumCellDim = 101;

    RedrawScreen(g);
    ShowBoardMessage(g, "Stage " + std::to_string(g.CurStage), 30, MakeRgb(255, 255, 255), 0);
    g.plat.RefreshPicture(kBasePic);
    g.plat.Sleep(500);
    g.plat.HideLabel();
    g.plat.Sleep(100);

    InitBoard(g);
    GenerateNextCell(g);
    ResetTickStats(g);
    PlaceVehicle(g);
    g.plat.RefreshPicture(kBasePic);

    g.GameMode = 1;
    g.ReadyCount = 3;
    g.MoveTimer_Enabled = kTrue;
    // Restart the period so that the countdown's first second is a full one.
    g.plat.SetGameTimer(false);
    g.plat.SetGameTimer(true);
}

void InitBoard(Game& g) {
    for (int y = 0; y < g.MaxBoxY; ++y)
        for (int x = 0; x < g.MaxBoxX; ++x) BoxAt(g, x, y) = BoxRec{};

    PlaceInterior(g, kStartCell);
    // The goal needs a free interior box; a board too small to hold one gets no goal.
    if (CountEmpty(g, 1, g.MaxBoxX - 2, 1, g.MaxBoxY - 2) > 0) PlaceInterior(g, kGoalCell);
    Scatter(g, g.HoleRate, kHoleCell);
    Scatter(g, g.WarpRate, kWarpCell);

    for (int y = 0; y < g.MaxBoxY; ++y) {
        for (int x = 0; x < g.MaxBoxX; ++x) {
            if (BoxAt(g, x, y).Cell == -1) BoxAt(g, x, y).Cell = 0;
            DrawCell(g, x, y);
            DrawMarker(g, x, y);
        }
    }

    g.KeyCurX = static_cast<int16_t>(g.MaxBoxX / 2);
    g.KeyCurY = static_cast<int16_t>(g.MaxBoxY / 2);
    if (g.OptUseKey != 0) DrawKeyCursor(g);
    g.plat.RefreshPicture(kBasePic);
}

void ReserveNeighbours(Game& g, int x, int y) {
    if (x - 1 >= 0) BoxAt(g, x - 1, y).Cell = -1;
    if (x + 1 < g.MaxBoxX) BoxAt(g, x + 1, y).Cell = -1;
    if (y - 1 >= 0) BoxAt(g, x, y - 1).Cell = -1;
    if (y + 1 < g.MaxBoxY) BoxAt(g, x, y + 1).Cell = -1;
}

void PlaceVehicle(Game& g) {
    struct Pos {
        int16_t x, y;
    };
    Pos list[kMaxBoxX * kMaxBoxY];
    int n = 0;
    for (int16_t x = 0; x < g.MaxBoxX; ++x) {
        for (int16_t y = 0; y < g.MaxBoxY; ++y) {
            const int16_t c = BoxAt(g, x, y).Cell;
            if (c == 0) continue;
            if (!IsValidCell(g, c)) {
                ErrorStop(g, 2, c);
                return;
            }
            if (g.CellDim[static_cast<size_t>(c)].Cellattr & kAttrStart) list[n++] = {x, y};
        }
    }
    if (n == 0) {
        const int16_t cod = 211;
        ErrorStop(g, 9, cod);
        return;
    }
    const Pos pick = list[DrawRandom(g, n)];
    const BoxRec& box = BoxAt(g, pick.x, pick.y);
    if (g.CellDim[static_cast<size_t>(box.Cell)].PathType[0][0] != kStartPath) {
        const int16_t cod = 212;
        ErrorStop(g, 9, cod);
        return;
    }
    if (!IsValidPath(g, kStartPath)) {
        const int16_t cod = 213;
        ErrorStop(g, 9, cod);
        return;
    }
    g.CurBoxX = pick.x;
    g.CurBoxY = pick.y;
    g.CurEntDir = box.Rot;
    g.CurPathId = kStartPath;
    g.CurRunDot = g.PathDim[kStartPath].PathMid;
    int16_t result = 0;
    RunDot(g, 0, result);
}

void ShowBoardMessage(Game& g, const std::string& text, int16_t size, Rgb colour, int16_t style) {
    const auto [w, h] = g.plat.MeasureLabel(text, size);
    const auto row = static_cast<int>(std::floor((g.MaxBoxY + 1) / 2.0 - 1));
    const int top = BoxToPixelY(row) + static_cast<int>(std::floor((81 - h) / 2.0));
    const int left = static_cast<int>(std::nearbyint((g.BasePic.width() - w) / 2.0));
    g.plat.ShowLabel(text, size, colour, style, left, top);
}

}  // namespace ralvo
