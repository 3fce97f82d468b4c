#include "render/gdi.h"

#include <algorithm>

#include "shell/state.h"

namespace ralvo {
namespace {

// The planned failure of the test hook, counted down on each call of its kind.
bool PlannedFailure(Game& g, GdiCall call) {
    if (g.GdiFailCall != static_cast<int16_t>(call) || g.GdiFailAfter <= 0) return false;
    if (--g.GdiFailAfter > 0) return false;
    g.GdiFailCall = 0;
    return true;
}

}  // namespace

bool CreateSolidBrush(Game& g, Rgb color, GdiObject& brush) {
    if (PlannedFailure(g, GdiCall::CreateSolidBrush)) return false;
    brush = GdiObject{GdiObject::Kind::Brush, color & 0xffffff, 0};
    return true;
}

bool CreatePen(Game& g, int width, Rgb color, GdiObject& pen) {
    if (PlannedFailure(g, GdiCall::CreatePen)) return false;
    pen = GdiObject{GdiObject::Kind::Pen, color & 0xffffff, std::max(1, width)};
    return true;
}

bool SelectObject(Game& g, Dc& dc, const GdiObject& obj, GdiObject& previous) {
    if (PlannedFailure(g, GdiCall::SelectObject)) return false;
    switch (obj.kind) {
        case GdiObject::Kind::Pen:
            previous = dc.pen;
            dc.pen = obj;
            return true;
        case GdiObject::Kind::Brush:
            previous = dc.brush;
            dc.brush = obj;
            return true;
        case GdiObject::Kind::None:
            break;
    }
    return false;
}

bool DeleteObject(Game& g, GdiObject& obj) {
    if (PlannedFailure(g, GdiCall::DeleteObject)) return false;
    if (obj.kind == GdiObject::Kind::None) return false;
    obj.kind = GdiObject::Kind::None;
    return true;
}

bool SetROP2(Game& g, Dc& dc, int mode, int& previous) {
    if (PlannedFailure(g, GdiCall::SetROP2)) return false;
    if (mode != R2_COPYPEN && mode != R2_XORPEN) return false;
    previous = dc.rop2;
    dc.rop2 = mode;
    return true;
}

bool Rectangle(Game& g, Dc& dc, int left, int top, int right, int bottom) {
    if (PlannedFailure(g, GdiCall::Rectangle)) return false;
    if (dc.rop2 == R2_XORPEN) {
        XorRectOutline(*dc.img, left, top, right, bottom, dc.pen.width, dc.pen.color);
        return true;
    }
    // Copy mode: the same band as the XOR outline, painted in the pen's colour.
    const int lo = (dc.pen.width - 1) / 2, hi = dc.pen.width / 2;
    const int w = right - left - 1 + lo + hi + 1, h = bottom - top - 1 + lo + hi + 1;
    if (w <= 0 || h <= 0) return true;
    const int band = lo + hi + 1;
    FillRect(*dc.img, left - lo, top - lo, w, std::min(band, h), dc.pen.color);
    FillRect(*dc.img, left - lo, top - lo + h - std::min(band, h), w, std::min(band, h), dc.pen.color);
    FillRect(*dc.img, left - lo, top - lo, std::min(band, w), h, dc.pen.color);
    FillRect(*dc.img, left - lo + w - std::min(band, w), top - lo, std::min(band, w), h, dc.pen.color);
    return true;
}

void PatBlt(Dc& dc, int x, int y, int w, int h) { FillRect(*dc.img, x, y, w, h, dc.brush.color); }

void MoveTo(Dc& dc, int x, int y) {
    dc.curX = x;
    dc.curY = y;
}

void LineTo(Dc& dc, int x, int y) {
    DrawLine(*dc.img, dc.curX, dc.curY, x, y, dc.pen.color);
    dc.curX = x;
    dc.curY = y;
}

}  // namespace ralvo
