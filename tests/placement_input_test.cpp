#include <gtest/gtest.h>

#include "game_fixture.h"

namespace ralvo::testing {
namespace {

class Placement : public GameTest {
public:
    // A running stage: start on (6, 2) heading west, a fixed cell on (2, 2).
    void SetUpStage() {
        ClearBoard();
        Put(6, 2, kCStart);
        Put(2, 2, kCFixed);
        Put(3, 4, kCStraight, 0, (1 << 18) | (1 << 11));  // a cell with crater and collapse marks
        BeginRunning();
        g.NextCid = kCCurve;
        g.NextRot = 3;
        g.NextBoxAttr = 0;
        g.ScoreGoing = 100;
        p.ClearLog();
    }
};

TEST_F(Placement, RefusedOnTheVehiclesBoxAndOnAFixedCell) {
    SetUpStage();
    for (auto [x, y] : {std::pair{6, 2}, std::pair{2, 2}}) {
        const Image before = g.BasePic;
        const BoxRec box = g.WorkGame.Box[x][y];
        p.ClearLog();
        Click(x, y);
        EXPECT_EQ(p.Log(), (std::vector<std::string>{"beep"})) << x << "," << y;
        EXPECT_EQ(g.WorkGame.Box[x][y].Cell, box.Cell);
        EXPECT_EQ(g.BasePic, before);
        EXPECT_EQ(g.NextCid, kCCurve) << "the offer stays";
        EXPECT_EQ(g.NextRot, 3);
        EXPECT_EQ(g.ScoreGoing, 100);
    }
}

TEST_F(Placement, EmptyBoxCostsNothingAnOccupiedOneTheOverlayCost) {
    SetUpStage();
    const struct {
        int x, y;
        int32_t scoreAfter;
    } cases[] = {
        {4, 4, 100},  // empty
        {3, 4, 95},   // over a replaceable cell
        {3, 4, 90},   // and once more
    };
    for (const auto& c : cases) {
        p.ClearLog();
        const int16_t cid = g.NextCid, rot = g.NextRot;
        Click(c.x, c.y);
        EXPECT_EQ(g.ScoreGoing, c.scoreAfter);
        EXPECT_EQ(g.WorkGame.Box[c.x][c.y].Cell, cid);
        EXPECT_EQ(g.WorkGame.Box[c.x][c.y].Rot, rot);
        EXPECT_EQ(g.WorkGame.Box[c.x][c.y].BoxAttr, 0) << "marks go with the old cell";
        EXPECT_EQ(CountLog("sound file=\"Click.wav\""), 1);
        EXPECT_EQ(BasePixel(BoxToPixelX(c.x) + 5, BoxToPixelY(c.y) + 5), CellColour(cid, rot));
        g.NextCid = kCStraight;  // new offers are drawn from the dice; keep them known
        g.NextRot = 1;
    }
}

TEST_F(Placement, ATurntableCellTakesTheOfferedState) {
    SetUpStage();
    g.NextCid = kCTurntable;
    g.NextRot = 1;
    g.NextBoxAttr = 2;
    Click(4, 4);
    EXPECT_EQ(g.WorkGame.Box[4][4].BoxAttr, 2);
    EXPECT_EQ(BasePixel(BoxToPixelX(4) + 40, BoxToPixelY(4) + 40), DiscColour(2));
}

TEST_F(Placement, ClickGeometry) {
    SetUpStage();
    const struct {
        double x, y;
        int bx, by;  // -1: nothing laid
    } cases[] = {
        {19, 50, -1, -1},
        {50, 9, -1, -1},
        {19.99, 9.99, -1, -1},
        {20, 10, 0, 0},
        {100.9, 90.9, 0, 0},
        {101, 91, 1, 1},
        {20 + 81 * 8, 50, -1, -1},
        {50, 10 + 81 * 6, -1, -1},
        {20 + 81 * 8 - 0.5, 10 + 81 * 6 - 0.5, 7, 5},
    };
    for (const auto& c : cases) {
        ClearBoard();
        Put(6, 2, kCStart);
        g.NextCid = kCStraight;
        p.ClearLog();
        BoardMouseDown(g, 1, c.x, c.y);
        int laid = 0;
        for (int x = 0; x < g.MaxBoxX; ++x)
            for (int y = 0; y < g.MaxBoxY; ++y)
                if (g.WorkGame.Box[x][y].Cell == kCStraight) {
                    ++laid;
                    EXPECT_EQ(x, c.bx) << c.x << "," << c.y;
                    EXPECT_EQ(y, c.by) << c.x << "," << c.y;
                }
        EXPECT_EQ(laid, c.bx >= 0 ? 1 : 0) << c.x << "," << c.y;
    }
}

TEST_F(Placement, ClicksOnlyInTheCountdownAndWhileRunning) {
    for (int16_t mode : {0, 1, 2, 3}) {
        ClearBoard();
        Put(6, 2, kCStart);
        g.GameMode = mode;
        g.NextCid = kCStraight;
        Click(1, 1);
        EXPECT_EQ(g.WorkGame.Box[1][1].Cell != 0, mode == 1 || mode == 2) << "mode " << mode;
    }
}

TEST_F(Placement, RightAndMiddleButtons) {
    const struct {
        int32_t opt;
        int button;
        bool onPanel;
        double x;
        bool spurts;
    } cases[] = {
        {1, 2, false, 5, true},    // spurt even in the board's margin
        {1, 2, false, 200, true},
        {1, 2, true, 40, true},
        {0, 2, false, 200, false},
        {3, 2, true, 40, false},   // launch settings do nothing on the panel
        {1, 4, false, 200, false}, // the middle button never spurts
    };
    for (const auto& c : cases) {
        SetUpStage();
        g.OptRhtClick = c.opt;
        g.MoveTimer_Interval = 40;
        if (c.onPanel)
            NextMouseDown(g, c.button, c.x, 100);
        else
            BoardMouseDown(g, c.button, c.x, 100);
        EXPECT_EQ(g.MoveTimer_Interval == 0, c.spurts) << "opt " << c.opt << " button " << c.button;
        EXPECT_EQ(g.WorkGame.Box[2][1].Cell, 0) << "other buttons lay nothing";
    }
}

TEST_F(Placement, LayingOverTheVehicleRedrawsItOnTop) {
    SetUpStage();
    // The vehicle's sprite (on the start box's middle) reaches 10 pixels into no
    // other box, so move it to the start box's west edge first.
    MoveStep(g);
    for (int i = 0; i < 9; ++i) MoveStep(g);  // dot 80: the sprite overlaps box (5, 2)
    ASSERT_EQ(g.CurRunDot, 80);
    const int16_t vx = g.VehiX;
    g.NextCid = kCStraight;
    g.NextRot = 0;
    Click(5, 2);
    EXPECT_EQ(g.VehiX, vx);
    EXPECT_EQ(VehiclePixel(), VehicleColour(8)) << "vehicle drawn over the new cell";
    // Its saved background is now the new cell, so the next step's erase restores the new cell.
    EXPECT_EQ(g.SavePic.At(0, 10), CellColour(kCStraight, 0));
}

TEST_F(Placement, KeyboardCursorWrapsAndMovesOncePerStep) {
    SetUpStage();
    g.OptUseKey = -1;
    g.KeyCurX = 0;
    g.KeyCurY = 0;
    g.KeyDone = kFalse;
    DrawKeyCursor(g);
    int16_t key = 37;  // left
    WindowKeyDown(g, key);
    EXPECT_EQ(key, 0);
    EXPECT_EQ(g.KeyCurX, g.MaxBoxX - 1);
    EXPECT_EQ(g.KeyDone, kTrue);
    key = 38;  // up, within the same step
    WindowKeyDown(g, key);
    EXPECT_EQ(g.KeyCurY, 0) << "one move per movement step";
    // The next due step clears KeyDone.
    p.Sleep(20);
    RunTimedStep(g);
    EXPECT_EQ(g.KeyDone, kFalse);
    key = 38;
    WindowKeyDown(g, key);
    EXPECT_EQ(g.KeyCurY, g.MaxBoxY - 1);
}

TEST_F(Placement, SpaceLaysAtTheCursorOrSpurts) {
    SetUpStage();
    g.OptUseKey = -1;
    g.KeyCurX = 6;
    g.KeyCurY = 2;
    int16_t key = 32;
    WindowKeyDown(g, key);
    EXPECT_EQ(p.Log(), (std::vector<std::string>{"beep"})) << "the cursor is on the vehicle's box";
    g.KeyCurX = 4;
    WindowKeyDown(g, key = 32);
    EXPECT_EQ(g.WorkGame.Box[4][2].Cell, kCCurve);
    g.OptUseKey = 0;
    WindowKeyDown(g, key = 32);
    EXPECT_EQ(g.MoveTimer_Interval, 0);
}

TEST_F(Placement, KeysWhileIdleAndEscape) {
    g.GameMode = 0;
    for (int16_t k : {13, 32, 37, 65}) {
        int16_t key = k;
        WindowKeyDown(g, key);
        EXPECT_EQ(key, k) << "not consumed while idle";
    }
    EXPECT_NE(g.MoveTimer_Interval, 0);
    int16_t esc = 27;
    EXPECT_THROW(WindowKeyDown(g, esc), ProgramEnded);
    EXPECT_TRUE(p.LogHas("help command=2"));
}

TEST_F(Placement, CursorFrameIsInvertedAndTwiceLeavesThePicture) {
    SetUpStage();
    g.KeyCurX = 3;
    g.KeyCurY = 1;
    const Image before = g.BasePic;
    DrawKeyCursor(g);
    const int left = BoxToPixelX(3) + 2, top = BoxToPixelY(1) + 2;
    EXPECT_EQ(BasePixel(left, top + 30), before.At(left, top + 30) ^ kWhite);
    EXPECT_EQ(BasePixel(left + 30, top + 30), before.At(left + 30, top + 30)) << "inside untouched";
    DrawKeyCursor(g);
    EXPECT_EQ(g.BasePic, before);
}

TEST_F(Placement, ArrowKeyMenuBeforeAnyGameTogglesTheCursorSafely) {
    // A fresh program: no stage has been played, the board is empty.
    g.OptUseKey = -1;
    g.GameMode = 0;
    g.KeyCurX = 0;
    g.KeyCurY = 0;
    const Image before = g.BasePic;
    MenuUseKey_Click(g);
    EXPECT_EQ(g.OptUseKey, 0);
    EXPECT_EQ(g.BasePic.At(BoxToPixelX(0) + 1, BoxToPixelY(0) + 30), before.At(BoxToPixelX(0) + 1, BoxToPixelY(0) + 30) ^ kWhite);
    MenuUseKey_Click(g);
    EXPECT_EQ(g.OptUseKey, -1);
    EXPECT_EQ(g.BasePic, before);
    EXPECT_FALSE(p.LogHas("msgbox"));
}

}  // namespace
}  // namespace ralvo::testing
