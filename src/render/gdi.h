// A small pen-and-brush layer over Image, shaped like the Windows drawing calls
// the board drawing was designed around. Every object call reports success or
// failure, so each caller keeps its failure path (fatal errors 11..16); GdiCheck
// turns a failure into that error.
#pragma once
#include <cstdint>

#include "platform/image.h"

namespace ralvo {
struct Game;

// The object calls, each numbered by the fatal error code its failure raises.
enum class GdiCall : int16_t {
    None = 0,
    CreateSolidBrush = 11,
    SelectObject = 12,
    DeleteObject = 13,
    CreatePen = 14,
    SetROP2 = 15,
    Rectangle = 16,
};

// Mix modes.
constexpr int R2_XORPEN = 7;
constexpr int R2_COPYPEN = 13;

// A pen or a brush. Deleting it makes it unusable (kind None).
struct GdiObject {
    enum class Kind : uint8_t { None, Pen, Brush };
    Kind kind = Kind::None;
    Rgb color = kBlack;
    int width = 1;  // pens only
};

// A drawing context on one picture: selected pen and brush, mix mode, current position.
// It starts with a black one-pixel pen, a white brush and the copy mix mode.
struct Dc {
    explicit Dc(Image& target) : img(&target) {}
    Image* img;
    GdiObject pen{GdiObject::Kind::Pen, kBlack, 1};
    GdiObject brush{GdiObject::Kind::Brush, kWhite, 0};
    int rop2 = R2_COPYPEN;
    int curX = 0;
    int curY = 0;
};

bool CreateSolidBrush(Game& g, Rgb color, GdiObject& brush);
// Solid pen of the given width (at least 1).
bool CreatePen(Game& g, int width, Rgb color, GdiObject& pen);
// Selects a pen or a brush into dc; previous receives the object of that kind it replaces.
// Fails for a deleted or never created object.
bool SelectObject(Game& g, Dc& dc, const GdiObject& obj, GdiObject& previous);
// Fails for an object already deleted.
bool DeleteObject(Game& g, GdiObject& obj);
// Sets the mix mode (R2_COPYPEN or R2_XORPEN); previous receives the old one.
bool SetROP2(Game& g, Dc& dc, int mode, int& previous);
// Outline of (left, top)-(right, bottom), right and bottom exclusive, with the
// selected pen and mix mode; the inside is left untouched.
bool Rectangle(Game& g, Dc& dc, int left, int top, int right, int bottom);

// Drawing copies, not tested by their callers: solid fill with the selected brush,
// one-pixel lines with the selected pen's colour (end point excluded).
void PatBlt(Dc& dc, int x, int y, int w, int h);
void MoveTo(Dc& dc, int x, int y);
void LineTo(Dc& dc, int x, int y);

// Stops the program with the call's error code (detail 0) when ok is false.
void GdiCheck(Game& g, bool ok, GdiCall call);

}  // namespace ralvo
