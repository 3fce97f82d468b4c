#include <gtest/gtest.h>

#include <filesystem>

#include "platform/headless/headless_platform.h"
#include "render/draw.h"
#include "render/gdi.h"
#include "render/layout.h"
#include "render_support.h"
#include "shell/state.h"

namespace ralvo {
namespace {

using testing::FrameColour;
constexpr Rgb kYellow = MakeRgb(255, 255, 0);

// A small board (3 x 5 boxes) laid out with synthetic pictures.
class DrawTest : public ::testing::Test {
protected:
    DrawTest() {
        testing::FillSyntheticFigure(g.Fig);
        g.ScreenSizeLine = 1;
        g.ScreenSize[0] = {300, 300, 3, 5, 100, 100, 100, 100};
        LayoutWindow(g);
        g.NumCellDim = 20;
    }
    // Cell cid shows picture `picture` with attributes attr.
    void DefineCell(int cid, int picture, int attr = 0) {
        g.CellDim[cid].CellHdr = kCellMagic;
        g.CellDim[cid].CellId = static_cast<int16_t>(picture);
        g.CellDim[cid].Cellattr = static_cast<int16_t>(attr);
    }
    void PutCell(int bx, int by, int cid, int rot) {
        g.WorkGame.Box[bx][by].Cell = static_cast<int16_t>(cid);
        g.WorkGame.Box[bx][by].Rot = static_cast<int16_t>(rot);
    }
    // The message box text shown when the program ended, "" when it did not end.
    template <typename F>
    std::string EndedWith(F&& f) {
        p.ClearLog();
        try {
            f();
        } catch (const ProgramEnded&) {
            for (const auto& line : p.Log())
                if (line.rfind("msgbox", 0) == 0) return line;
            return "ended without a message";
        }
        return "";
    }

    HeadlessPlatform p;
    Game g{p};
};

TEST_F(DrawTest, BoardGridFrameAndCorners) {
    const Image& b = g.BasePic;
    ASSERT_EQ(b.width(), 283);
    ASSERT_EQ(b.height(), 425);
    const int right = BoxToPixelX(3), bottom = BoxToPixelY(5);
    // Grid along the left and top edge of every box, yellow, end points excluded.
    for (int i = 0; i < 3; ++i)
        for (int y : {BoxToPixelY(0) + 0, BoxToPixelY(2) + 40, bottom - 1}) EXPECT_EQ(b.At(BoxToPixelX(i), y), kYellow) << i;
    for (int j = 0; j < 5; ++j)
        for (int x : {BoxToPixelX(0) + 0, BoxToPixelX(1) + 40, right - 1}) EXPECT_EQ(b.At(x, BoxToPixelY(j)), kYellow) << j;
    // Inside of a box, and no line along the right and bottom edge of the last box.
    EXPECT_EQ(b.At(BoxToPixelX(1) + 40, BoxToPixelY(1) + 40), kBlack);
    EXPECT_EQ(b.At(right - 1, BoxToPixelY(2) + 40), kBlack);
    EXPECT_EQ(b.At(BoxToPixelX(1) + 40, bottom - 1), kBlack);
    EXPECT_EQ(b.At(right - 1, bottom - 1), kBlack);
    // Side frames: the left one starts with frame 0, the right one with frame 1.
    for (int j = 0; j < 5; ++j) {
        EXPECT_EQ(b.At(0, BoxToPixelY(j)), FrameColour(testing::kSide, j % 3)) << j;
        EXPECT_EQ(b.At(19, BoxToPixelY(j) + 80), FrameColour(testing::kSide, j % 3)) << j;
        EXPECT_EQ(b.At(right, BoxToPixelY(j)), FrameColour(testing::kSide, (j + 1) % 3)) << j;
        EXPECT_EQ(b.At(right + 19, BoxToPixelY(j) + 80), FrameColour(testing::kSide, (j + 1) % 3)) << j;
    }
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(b.At(BoxToPixelX(i), 0), FrameColour(testing::kTopb, 0));
        EXPECT_EQ(b.At(BoxToPixelX(i) + 80, 9), FrameColour(testing::kTopb, 0));
        EXPECT_EQ(b.At(BoxToPixelX(i), bottom), FrameColour(testing::kTopb, 0));
        EXPECT_EQ(b.At(BoxToPixelX(i) + 80, bottom + 9), FrameColour(testing::kTopb, 0));
    }
    const struct {
        int x, y, frame;
    } corners[] = {{0, 0, 0}, {right, 0, 1}, {0, bottom, 2}, {right, bottom, 3}};
    for (const auto& c : corners) {
        EXPECT_EQ(b.At(c.x, c.y), FrameColour(testing::kNook, c.frame)) << c.frame;
        EXPECT_EQ(b.At(c.x + 19, c.y + 9), FrameColour(testing::kNook, c.frame)) << c.frame;
    }
    EXPECT_GE(p.RefreshCount(kBasePic), 1);
}

TEST_F(DrawTest, SidePanelLabels) {
    const Image& n = g.NextPic;
    const struct {
        int y, picture;
    } labels[] = {{10, testing::kTxtScore}, {91, testing::kTxtTotal}, {172, testing::kTxtTime}, {303, testing::kTxtNext}};
    for (const auto& l : labels) {
        EXPECT_EQ(n.At(2, l.y), FrameColour(l.picture, 0)) << l.y;
        EXPECT_EQ(n.At(1, l.y), kBlack) << l.y;
        EXPECT_EQ(n.At(2, l.y - 1), kBlack) << l.y;
    }
    EXPECT_EQ(n.At(0, 0), kBlack);
    EXPECT_EQ(n.At(83, n.height() - 1), kBlack);
}

TEST_F(DrawTest, CaptionWithAndWithoutDebugInformation) {
    EXPECT_EQ(p.Caption(), "ラルボ ");
    EXPECT_EQ(g.DebugInfo, "");
    g.OptDebug = 1;
    g.MoveTimer_Interval = 500;
    g.TimeOutCount = 120;
    g.ScoreGoing = -150;
    g.ScoreCellPass = 10;
    g.ScoreCellOnto = -50;
    g.TakeOffRate = 30;
    g.BombRate = 4;
    g.RockRate = 20;
    g.RockLimit = 8;
    g.HoleRate = 10;
    g.WarpRate = 5;
    RedrawScreen(g);
    EXPECT_EQ(p.Caption(),
              "ラルボ  mov=500 tmo=120 sgo=-150 cps=10 con=-50 tof=30 bmb=4 rck=20 rlm=8 hol=10 wrp=5");
}

TEST_F(DrawTest, CellFrameFollowsRotation) {
    const struct {
        int picture, rot, frame;
    } cases[] = {
        {1, 0, 0}, {1, 3, 3}, {8, 1, 1}, {8, 2, 0}, {8, 3, 1}, {5, 0, 0}, {5, 3, 0}, {42, 2, 0}, {38, 3, 1},
    };
    DefineCell(1, 0);
    for (const auto& c : cases) {
        g.CellDim[1].CellId = static_cast<int16_t>(c.picture);
        PutCell(2, 3, 1, c.rot);
        DrawCell(g, 2, 3);
        const Rgb want = FrameColour(testing::kCellBase + c.picture, c.frame);
        EXPECT_EQ(g.BasePic.At(BoxToPixelX(2), BoxToPixelY(3)), want) << c.picture << " rot " << c.rot;
        EXPECT_EQ(g.BasePic.At(BoxToPixelX(2) + 80, BoxToPixelY(3) + 80), want) << c.picture << " rot " << c.rot;
    }
    // Neighbours untouched.
    EXPECT_EQ(g.BasePic.At(BoxToPixelX(2) - 1, BoxToPixelY(3) + 40), kBlack);
    EXPECT_EQ(g.BasePic.At(BoxToPixelX(2) + 40, BoxToPixelY(3) + 81), kYellow);
}

TEST_F(DrawTest, EmptyBoxKeepsItsPixelsAndBadCellsStop) {
    FillRect(g.BasePic, BoxToPixelX(1), BoxToPixelY(1), 81, 81, MakeRgb(1, 2, 3));
    const Image before = g.BasePic;
    DrawCell(g, 1, 1);
    EXPECT_EQ(g.BasePic, before);

    const std::string cellError = "msgbox style=16 title=\"Ralvo\" text=\"セル番号エラー ";
    PutCell(1, 1, 21, 0);  // beyond the loaded cells
    EXPECT_EQ(EndedWith([&] { DrawCell(g, 1, 1); }), cellError + "21\"");
    PutCell(1, 1, -1, 0);
    EXPECT_EQ(EndedWith([&] { DrawMarker(g, 1, 1); }), cellError + "-1\"");
    DefineCell(3, 0);  // a cell without a picture
    PutCell(1, 1, 3, 0);
    EXPECT_EQ(EndedWith([&] { DrawCell(g, 1, 1); }), cellError + "3\"");
}

TEST_F(DrawTest, MarkerFrames) {
    const struct {
        int attr, rot, frame;  // frame -1: no marker
    } cases[] = {
        {0, 0, -1},          {32, 1, -1},          {12, 0, 0},           {12, 1, 0},
        {4, 0, 1},           {4, 1, 2},            {4, 2, 1},            {8, 0, 2},
        {8, 3, 1},           {128, 0, -1},         {128 | 4, 1, -1},     {128 | 256, 0, -1},
        {256, 0, 7},         {256 | 4, 2, 9},      {256 | 12, 3, 10},    {256 | 8, 1, 8},
    };
    for (const auto& c : cases) {
        DefineCell(2, 1, c.attr);
        PutCell(0, 0, 2, c.rot);
        FillRect(g.BasePic, BoxToPixelX(0), BoxToPixelY(0), 81, 81, kBlack);
        DrawMarker(g, 0, 0);
        const int x = BoxToPixelX(0) + 30, y = BoxToPixelY(0) + 30;
        const Rgb want = c.frame < 0 ? kBlack : FrameColour(testing::kWarp, c.frame);
        EXPECT_EQ(g.BasePic.At(x, y), want) << "attr " << c.attr << " rot " << c.rot;
        EXPECT_EQ(g.BasePic.At(x + 22, y + 22), want) << "attr " << c.attr << " rot " << c.rot;
        EXPECT_EQ(g.BasePic.At(x + 23, y + 23), kBlack);
        EXPECT_EQ(g.BasePic.At(x - 1, y - 1), kBlack);
    }
}

TEST_F(DrawTest, PlacedTurntableGetsTheOfferedDisc) {
    DefineCell(4, 1, kAttrTurntable);
    DefineCell(5, 2, 0);
    PutCell(1, 2, 4, 0);
    PutCell(0, 2, 5, 0);
    g.WorkGame.Box[1][2].BoxAttr = 0x7ff8 | 5;
    g.WorkGame.Box[0][2].BoxAttr = 5;
    g.NextBoxAttr = 2;
    DrawCell(g, 1, 2);
    DrawCell(g, 0, 2);
    const Image before = g.BasePic;
    DrawPlacedDisc(g, 0, 2);  // not a turntable: nothing
    EXPECT_EQ(g.WorkGame.Box[0][2].BoxAttr, 5);
    EXPECT_EQ(g.BasePic, before);
    DrawPlacedDisc(g, 1, 2);
    EXPECT_EQ(g.WorkGame.Box[1][2].BoxAttr, 0x7ff8 | 2);
    // Disc at +30: mask clears its core (5..15), XOR paints frame 2 there; the rest shows the cell.
    const int x = BoxToPixelX(1) + 30, y = BoxToPixelY(2) + 30;
    EXPECT_EQ(g.BasePic.At(x + 10, y + 10), FrameColour(testing::kMarsh, 2));
    EXPECT_EQ(g.BasePic.At(x + 5, y + 15), FrameColour(testing::kMarsh, 2));
    EXPECT_EQ(g.BasePic.At(x + 4, y + 10), FrameColour(testing::kCellBase + 1, 0));
    EXPECT_EQ(g.BasePic.At(x + 16, y + 10), FrameColour(testing::kCellBase + 1, 0));
}

TEST_F(DrawTest, SpritesAreErasedInReverseOrderLeavingTheBoard) {
    DefineCell(1, 1);
    for (int x = 0; x < 3; ++x)
        for (int y = 0; y < 5; ++y) {
            PutCell(x, y, 1, x + y);
            DrawCell(g, x, y);
        }
    const Image board = g.BasePic;
    DrawVehicle(g, 95, 120, 5);
    EXPECT_EQ(g.VehiX, 95);
    EXPECT_EQ(g.VehiY, 120);
    EXPECT_EQ(g.VehiAgl, 5);
    EXPECT_EQ(g.BasePic.At(95 + 10, 120 + 10), FrameColour(testing::kVehi, 5));
    EXPECT_EQ(g.BasePic.At(95, 120), board.At(95, 120));
    EXPECT_EQ(g.SavePic.At(10, 10), board.At(105, 130));
    EraseSprites(g);
    EXPECT_EQ(g.BasePic, board);

    // Overlapping rocks: slot 0's older background goes back last, over slot 1's.
    g.RockMode = 1;
    g.CurRock[0] = {1, 40, 40, 0, 0};
    g.CurRock[1] = {1, 50, 50, 0, 0};
    g.CurRock[2] = {0, 200, 200, 0, 0};  // free slot: not restored
    g.RSavePic[0].Reset(21, 21, MakeRgb(1, 1, 1));
    g.RSavePic[1].Reset(21, 21, MakeRgb(2, 2, 2));
    g.RSavePic[2].Reset(21, 21, MakeRgb(3, 3, 3));
    g.PlaneMode = 1;
    g.PlaneX = 150;
    g.PlaneY = 150;
    g.FsavePic.Reset(41, 41, MakeRgb(4, 4, 4));
    EraseSprites(g);
    EXPECT_EQ(g.BasePic.At(55, 55), MakeRgb(1, 1, 1));
    EXPECT_EQ(g.BasePic.At(65, 65), MakeRgb(2, 2, 2));
    EXPECT_EQ(g.BasePic.At(205, 205), board.At(205, 205));
    EXPECT_EQ(g.BasePic.At(160, 160), MakeRgb(4, 4, 4));
    // The vehicle's background goes back last of all, over the plane's.
    g.VehiX = 150;
    g.VehiY = 150;
    g.SavePic.Reset(21, 21, MakeRgb(5, 5, 5));
    EraseSprites(g);
    EXPECT_EQ(g.BasePic.At(160, 160), MakeRgb(5, 5, 5));
    EXPECT_EQ(g.BasePic.At(180, 180), MakeRgb(4, 4, 4));
}

TEST_F(DrawTest, MessagePictureCentredWithTiesToEven) {
    const struct {
        int boxesX, boxesY, n, x, y;
    } cases[] = {
        {3, 2, 0, 60, 50},    // (283 - 162) / 2 = 60.5 -> 60; (182 - 81) / 2 = 50.5 -> 50
        {3, 4, 0, 60, 132},   // (344 - 81) / 2 = 131.5 -> 132
        {5, 4, 0, 142, 132},  // (445 - 162) / 2 = 141.5 -> 142
        {8, 6, 2, 222, 212},  // (688 - 243) / 2 = 222.5 -> 222; (506 - 81) / 2 = 212.5 -> 212
        {3, 2, 1, -20, 50},   // wider than the board: (283 - 324) / 2 = -20.5 -> -20, clipped
    };
    for (const auto& c : cases) {
        g.ScreenSize[0][2] = static_cast<int16_t>(c.boxesX);
        g.ScreenSize[0][3] = static_cast<int16_t>(c.boxesY);
        LayoutWindow(g);
        FillRect(g.BasePic, 0, 0, g.BasePic.width(), g.BasePic.height(), kBlack);
        const int refreshes = p.RefreshCount(kBasePic);
        ShowMessagePicture(g, c.n);
        const Rgb colour = FrameColour(testing::kMsg0 + c.n, 0);
        const int left = std::max(c.x, 0);
        EXPECT_EQ(g.BasePic.At(left, c.y), colour) << c.boxesX << "x" << c.boxesY;
        EXPECT_EQ(g.BasePic.At(left, c.y - 1), kBlack) << c.boxesX << "x" << c.boxesY;
        if (c.x > 0) {
            EXPECT_EQ(g.BasePic.At(c.x - 1, c.y), kBlack) << c.boxesX << "x" << c.boxesY;
        }
        const int lastX = c.x + g.Fig.MsgText[c.n].width() - 1;
        if (lastX + 1 < g.BasePic.width()) {
            EXPECT_EQ(g.BasePic.At(lastX, c.y + 80), colour);
            EXPECT_EQ(g.BasePic.At(lastX + 1, c.y + 80), kBlack);
        }
        EXPECT_EQ(p.RefreshCount(kBasePic), refreshes + 1);
    }
}

TEST_F(DrawTest, FailedDrawingObjectCallsStopWithTheirCode) {
    const struct {
        GdiCall call;
        int nth;  // which call of that kind fails during a redraw
        const char* text;
    } cases[] = {
        {GdiCall::CreateSolidBrush, 1, "CreateSolidBrush エラー "},
        {GdiCall::CreateSolidBrush, 2, "CreateSolidBrush エラー "},  // the side panel's brush
        {GdiCall::SelectObject, 1, "SelectObject エラー "},
        {GdiCall::SelectObject, 4, "SelectObject エラー "},  // selecting the old pen back
        {GdiCall::DeleteObject, 2, "DeleteObject エラー "},
        {GdiCall::CreatePen, 1, "CreatePen エラー "},
    };
    for (const auto& c : cases) {
        g.GdiFailCall = static_cast<int16_t>(c.call);
        g.GdiFailAfter = static_cast<int16_t>(c.nth);
        EXPECT_EQ(EndedWith([&] { RedrawScreen(g); }),
                  std::string("msgbox style=16 title=\"Ralvo\" text=\"") + c.text + "\"");
    }
    // The two calls the redraw does not make, through the same check.
    for (const auto& [call, text] : {std::pair{GdiCall::SetROP2, "SetRop2 エラー "},
                                     std::pair{GdiCall::Rectangle, "Rectangle エラー "}}) {
        EXPECT_EQ(EndedWith([&] { GdiCheck(g, false, call); }),
                  std::string("msgbox style=16 title=\"Ralvo\" text=\"") + text + "\"");
    }
    EXPECT_EQ(EndedWith([&] { GdiCheck(g, true, GdiCall::Rectangle); }), "");
}

TEST(Gdi, ObjectsAndFailures) {
    HeadlessPlatform p;
    Game g(p);
    Image img(10, 10, MakeRgb(0, 0, 9));
    Dc dc(img);
    GdiObject pen, old, back;
    ASSERT_TRUE(CreatePen(g, 1, MakeRgb(255, 0, 0), pen));
    ASSERT_TRUE(SelectObject(g, dc, pen, old));
    EXPECT_EQ(old.kind, GdiObject::Kind::Pen);
    MoveTo(dc, 1, 1);
    LineTo(dc, 5, 1);
    EXPECT_EQ(img.At(4, 1), MakeRgb(255, 0, 0));
    EXPECT_EQ(img.At(5, 1), MakeRgb(0, 0, 9));  // end point excluded
    ASSERT_TRUE(SelectObject(g, dc, old, back));
    ASSERT_TRUE(DeleteObject(g, pen));
    EXPECT_FALSE(DeleteObject(g, pen));             // already gone
    EXPECT_FALSE(SelectObject(g, dc, pen, back));   // a deleted pen cannot be selected
    int mode = 0;
    EXPECT_FALSE(SetROP2(g, dc, 99, mode));

    // The planned failure hits the n-th call of its kind only, once.
    g.GdiFailCall = static_cast<int16_t>(GdiCall::CreateSolidBrush);
    g.GdiFailAfter = 2;
    GdiObject brush;
    EXPECT_TRUE(CreateSolidBrush(g, kWhite, brush));
    EXPECT_TRUE(CreatePen(g, 1, kWhite, pen));
    EXPECT_FALSE(CreateSolidBrush(g, kWhite, brush));
    EXPECT_TRUE(CreateSolidBrush(g, kWhite, brush));
}

TEST(Gdi, XorRectangleTwiceRestoresThePicture) {
    HeadlessPlatform p;
    Game g(p);
    Image img(100, 100);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x) img.Set(x, y, MakeRgb(x, y, x ^ y));
    const Image before = img;
    Dc dc(img);
    GdiObject pen, old;
    int oldMode = 0;
    ASSERT_TRUE(CreatePen(g, 3, kWhite, pen));
    ASSERT_TRUE(SelectObject(g, dc, pen, old));
    ASSERT_TRUE(SetROP2(g, dc, R2_XORPEN, oldMode));
    EXPECT_EQ(oldMode, R2_COPYPEN);
    ASSERT_TRUE(Rectangle(g, dc, 22, 12, 22 + 77, 12 + 77));
    EXPECT_NE(img, before);
    EXPECT_EQ(img.At(50, 50), before.At(50, 50));  // inside untouched
    EXPECT_EQ(img.At(22, 50), before.At(22, 50) ^ kWhite);
    ASSERT_TRUE(Rectangle(g, dc, 22, 12, 22 + 77, 12 + 77));
    EXPECT_EQ(img, before);
    g.GdiFailCall = static_cast<int16_t>(GdiCall::Rectangle);
    g.GdiFailAfter = 1;
    EXPECT_FALSE(Rectangle(g, dc, 22, 12, 99, 89));
    EXPECT_EQ(img, before);
}

// Not a check: writes the start-up window (side panel, board, title on top) as a PNG
// for a person to look at, plus the board after a few boxes and sprites are drawn.
TEST(Snapshot, StartUpWindow) {
    HeadlessPlatform p;
    Game g(p);
    testing::FillSyntheticFigure(g.Fig);
    g.ScreenSizeLine = 1;
    g.ScreenSize[0] = {800, 600, 8, 6, 100, 100, 100, 100};
    LayoutWindow(g);
    const auto [w, h] = p.ClientSize();
    Image window(w, h);
    BitBlt(window, 0, 0, g.NextPic.width(), g.NextPic.height(), g.NextPic, 0, 0, Rop::Copy);
    BitBlt(window, kNextPicWidth, 0, g.BasePic.width(), g.BasePic.height(), g.BasePic, 0, 0, Rop::Copy);
    const int tx = (w - 240) / 2 + 1, ty = (h - 120) / 2;
    BitBlt(window, tx, ty, 240, 120, g.Fig.TitlePic, 0, 0, Rop::Copy);
    const std::string dir = std::string(RALVO_BIN_DIR) + "/snapshots";
    std::filesystem::create_directories(dir);
    EXPECT_TRUE(SavePng(dir + "/startup_window.png", window));

    g.NumCellDim = 3;
    for (int cid = 1; cid <= 3; ++cid) {
        g.CellDim[cid].CellHdr = kCellMagic;
        g.CellDim[cid].CellId = static_cast<int16_t>(cid);
    }
    g.CellDim[2].Cellattr = kAttrWarpA;
    g.CellDim[3].Cellattr = kAttrTurntable;
    for (int i = 0; i < 8; ++i) {
        g.WorkGame.Box[i][2] = {static_cast<int16_t>(1 + i % 3), static_cast<int16_t>(i % 4), 0};
        DrawCell(g, i, 2);
        DrawMarker(g, i, 2);
    }
    g.NextBoxAttr = 1;
    DrawPlacedDisc(g, 2, 2);
    DrawVehicle(g, BoxToPixelX(3) + 30, BoxToPixelY(2) + 30, 4);
    ShowMessagePicture(g, 0);
    EXPECT_TRUE(SavePng(dir + "/board_with_cells.png", g.BasePic));

    // The same start-up window with the real picture store.
    LoadFigure(g.Fig);
    LayoutWindow(g);
    BitBlt(window, 0, 0, g.NextPic.width(), g.NextPic.height(), g.NextPic, 0, 0, Rop::Copy);
    BitBlt(window, kNextPicWidth, 0, g.BasePic.width(), g.BasePic.height(), g.BasePic, 0, 0, Rop::Copy);
    BitBlt(window, tx, ty, g.Fig.TitlePic.width(), g.Fig.TitlePic.height(), g.Fig.TitlePic, 0, 0, Rop::Copy);
    EXPECT_TRUE(SavePng(dir + "/startup_window_real.png", window));
}

}  // namespace
}  // namespace ralvo
