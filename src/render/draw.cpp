#include "render/draw.h"

#include "data/celldata.h"
#include "data/rounding.h"
#include "render/layout.h"
#include "shell/errors.h"
#include "shell/state.h"

namespace ralvo {
namespace {

bool OnBoardArray(int bx, int by) { return bx >= 0 && bx < kMaxBoxX && by >= 0 && by < kMaxBoxY; }

void CellNumberError(Game& g, int cid) {
    const int16_t cod = static_cast<int16_t>(cid);
    ErrorStop(g, 2, cod);
}

// The cell of a non-empty box, or 0 after the cell number error for an invalid one.
int ValidCellOf(Game& g, const BoxRec& box) {
    if (box.Cell == 0) return 0;
    if (!IsValidCell(g, box.Cell)) {
        CellNumberError(g, box.Cell);
        return 0;
    }
    return box.Cell;
}

}  // namespace

void DrawCell(Game& g, int bx, int by) {
    if (!OnBoardArray(bx, by)) return;
    const BoxRec& box = g.WorkGame.Box[bx][by];
    const int cid = ValidCellOf(g, box);
    if (cid == 0) return;  // an empty box keeps what it shows
    const int picture = g.CellDim[cid].CellId;
    // A cell whose picture is missing cannot be shown; that is a fault of the cell.
    if (picture < 1 || picture >= static_cast<int>(g.Fig.CellPic.size()) ||
        g.Fig.CellPic[picture].width() < kBoxSize) {
        CellNumberError(g, cid);
        return;
    }
    const Image& p = g.Fig.CellPic[picture];
    const int frames = p.width() / kBoxSize;
    const int f = box.Rot % frames;
    BitBlt(g.BasePic, BoxToPixelX(bx), BoxToPixelY(by), kBoxSize, kBoxSize, p, kBoxSize * f, 0, Rop::Copy);
}

void DrawPlacedDisc(Game& g, int bx, int by) {
    if (!OnBoardArray(bx, by)) return;
    BoxRec& box = g.WorkGame.Box[bx][by];
    const int cid = ValidCellOf(g, box);
    if (cid == 0 || (g.CellDim[cid].Cellattr & kAttrTurntable) == 0) return;
    box.BoxAttr = (box.BoxAttr & ~7) | (g.NextBoxAttr & 7);
    DrawDisc(g, bx, by, g.NextBoxAttr);
}

void DrawDisc(Game& g, int bx, int by, int32_t frame) {
    const int px = BoxToPixelX(bx) + 30, py = BoxToPixelY(by) + 30;
    BitBlt(g.BasePic, px, py, 21, 21, g.Fig.MmaskPic, 0, 0, Rop::And);
    BitBlt(g.BasePic, px, py, 21, 21, g.Fig.MarshPic, 21 * frame, 0, Rop::Invert);
}

void DrawMarker(Game& g, int bx, int by) {
    if (!OnBoardArray(bx, by)) return;
    const BoxRec& box = g.WorkGame.Box[bx][by];
    const int cid = ValidCellOf(g, box);
    if (cid == 0) return;
    const int a = g.CellDim[cid].Cellattr;
    if ((a & (kAttrWarpA | kAttrWarpB | kAttrStart | kAttrMarker)) == 0) return;
    const int h = box.Rot % 2;
    int f = 0;
    switch (a & (kAttrWarpA | kAttrWarpB)) {
        case kAttrWarpA: f = h == 0 ? 1 : 2; break;
        case kAttrWarpB: f = h == 0 ? 2 : 1; break;
        default: f = 0; break;
    }
    if (a & kAttrStart) return;  // start cells carry no marker
    if (a & kAttrMarker) f = 7 + box.Rot;
    BitBlt(g.BasePic, BoxToPixelX(bx) + 30, BoxToPixelY(by) + 30, 23, 23, g.Fig.WarpPic, 23 * f, 0, Rop::Copy);
}

void DrawVehicle(Game& g, int px, int py, int heading) {
    g.VehiX = static_cast<int16_t>(px);
    g.VehiY = static_cast<int16_t>(py);
    g.VehiAgl = static_cast<uint8_t>(heading);
    BitBlt(g.SavePic, 0, 0, 21, 21, g.BasePic, px, py, Rop::Copy);
    BitBlt(g.BasePic, px, py, 21, 21, g.Fig.VmskPic, 21 * heading, 0, Rop::And);
    BitBlt(g.BasePic, px, py, 21, 21, g.Fig.VehiPic, 21 * heading, 0, Rop::Invert);
}

void EraseSprites(Game& g) {
    if (g.PlaneMode != 0) BitBlt(g.BasePic, g.PlaneX, g.PlaneY, 41, 41, g.FsavePic, 0, 0, Rop::Copy);
    if (g.RockMode != 0) {
        // Reverse of the drawing order: where rocks overlap, the lower slot's background ends on top.
        for (int i = 9; i >= 0; --i) {
            const RockRec& r = g.CurRock[i];
            if (r.RockSts != 0) BitBlt(g.BasePic, r.RollX, r.RollY, 21, 21, g.RSavePic[i], 0, 0, Rop::Copy);
        }
    }
    BitBlt(g.BasePic, g.VehiX, g.VehiY, 21, 21, g.SavePic, 0, 0, Rop::Copy);
}

void ShowMessagePicture(Game& g, int n) {
    if (n < 0 || n >= static_cast<int>(g.Fig.MsgText.size())) return;
    const Image& pic = g.Fig.MsgText[n];
    const int x = static_cast<int>(RoundEven((g.BasePic.width() - pic.width()) / 2.0));
    const int y = static_cast<int>(RoundEven((g.BasePic.height() - pic.height()) / 2.0));
    BitBlt(g.BasePic, x, y, pic.width(), pic.height(), pic, 0, 0, Rop::Copy);
    g.plat.RefreshPicture(kBasePic);
}

}  // namespace ralvo
