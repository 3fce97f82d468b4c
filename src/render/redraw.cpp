#include <string>

#include "game/scoring.h"
#include "render/draw.h"
#include "render/gdi.h"
#include "render/layout.h"
#include "shell/state.h"

namespace ralvo {
namespace {

constexpr Rgb kGridYellow = MakeRgb(255, 255, 0);

// Clears a whole picture to black with a solid brush.
void FillBlack(Game& g, Image& pic) {
    Dc dc(pic);
    GdiObject brush, previous, ours;
    GdiCheck(g, CreateSolidBrush(g, kBlack, brush), GdiCall::CreateSolidBrush);
    GdiCheck(g, SelectObject(g, dc, brush, previous), GdiCall::SelectObject);
    PatBlt(dc, 0, 0, pic.width(), pic.height());
    GdiCheck(g, SelectObject(g, dc, previous, ours), GdiCall::SelectObject);
    GdiCheck(g, DeleteObject(g, brush), GdiCall::DeleteObject);
}

// Grid lines at the left and top edge of every box; the right and bottom edge of the
// board get none, the frame sits there.
void DrawGrid(Game& g) {
    Dc dc(g.BasePic);
    GdiObject pen, previous, ours;
    GdiCheck(g, CreatePen(g, 1, kGridYellow, pen), GdiCall::CreatePen);
    GdiCheck(g, SelectObject(g, dc, pen, previous), GdiCall::SelectObject);
    for (int i = 0; i < g.MaxBoxX; ++i) {
        MoveTo(dc, BoxToPixelX(i), BoxToPixelY(0));
        LineTo(dc, BoxToPixelX(i), BoxToPixelY(g.MaxBoxY));
    }
    for (int j = 0; j < g.MaxBoxY; ++j) {
        MoveTo(dc, BoxToPixelX(0), BoxToPixelY(j));
        LineTo(dc, BoxToPixelX(g.MaxBoxX), BoxToPixelY(j));
    }
    GdiCheck(g, SelectObject(g, dc, previous, ours), GdiCall::SelectObject);
    GdiCheck(g, DeleteObject(g, pen), GdiCall::DeleteObject);
}

void DrawFrame(Game& g) {
    Image& base = g.BasePic;
    const Figure& fig = g.Fig;
    const int right = BoxToPixelX(g.MaxBoxX), bottom = BoxToPixelY(g.MaxBoxY);
    for (int j = 0; j < g.MaxBoxY; ++j) {
        BitBlt(base, 0, BoxToPixelY(j), 20, 81, fig.SidePic, 0, 81 * (j % 3), Rop::Copy);
        BitBlt(base, right, BoxToPixelY(j), 20, 81, fig.SidePic, 0, 81 * ((j + 1) % 3), Rop::Copy);
    }
    for (int i = 0; i < g.MaxBoxX; ++i) {
        BitBlt(base, BoxToPixelX(i), 0, 81, 10, fig.TopbPic, 0, 0, Rop::Copy);
        BitBlt(base, BoxToPixelX(i), bottom, 81, 10, fig.TopbPic, 0, 0, Rop::Copy);
    }
    BitBlt(base, 0, 0, 20, 10, fig.NookPic, 0, 0, Rop::Copy);
    BitBlt(base, right, 0, 20, 10, fig.NookPic, 20, 0, Rop::Copy);
    BitBlt(base, 0, bottom, 20, 10, fig.NookPic, 40, 0, Rop::Copy);
    BitBlt(base, right, bottom, 20, 10, fig.NookPic, 60, 0, Rop::Copy);
}

void CopyWhole(Image& dst, int x, int y, const Image& src) {
    BitBlt(dst, x, y, src.width(), src.height(), src, 0, 0, Rop::Copy);
}

}  // namespace

void RedrawScreen(Game& g) {
    g.plat.SetPictureVisible(kBasePic, true);
    g.plat.SetPictureVisible(kNextPic, true);
    g.plat.HideLabel();
    g.plat.HideTitle();

    FillBlack(g, g.BasePic);
    DrawGrid(g);
    DrawFrame(g);
    g.plat.RefreshPicture(kBasePic);

    FillBlack(g, g.NextPic);
    CopyWhole(g.NextPic, 2, BoxToPixelY(0), g.Fig.TxtScore);
    CopyWhole(g.NextPic, 2, BoxToPixelY(1), g.Fig.TxtTotal);
    CopyWhole(g.NextPic, 2, BoxToPixelY(2), g.Fig.TxtTime);
    BitBlt(g.NextPic, 2, BoxToPixelY(4) - 27 - 4, 81, 27, g.Fig.TxtNext, 0, 0, Rop::Copy);
    ShowScores(g);

    if (g.OptDebug != 0) {
        g.DebugInfo = " mov=" + std::to_string(g.MoveTimer_Interval) + " tmo=" + std::to_string(g.TimeOutCount) +
                      " sgo=" + std::to_string(g.ScoreGoing) + " cps=" + std::to_string(g.ScoreCellPass) +
                      " con=" + std::to_string(g.ScoreCellOnto) + " tof=" + std::to_string(g.TakeOffRate) +
                      " bmb=" + std::to_string(g.BombRate) + " rck=" + std::to_string(g.RockRate) +
                      " rlm=" + std::to_string(g.RockLimit) + " hol=" + std::to_string(g.HoleRate) +
                      " wrp=" + std::to_string(g.WarpRate);
    } else {
        g.DebugInfo.clear();
    }
    g.plat.SetCaption("ラルボ " + g.DebugInfo);
}

}  // namespace ralvo
