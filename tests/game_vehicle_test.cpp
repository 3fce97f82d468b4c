#include <gtest/gtest.h>

#include <string>

#include "game/random_draw.h"
#include "game_fixture.h"

namespace ralvo::testing {
namespace {

using Vehicle = GameTest;

// Runs movement steps until pred holds or the run is over.
bool StepUntil(GameTest& t, const std::function<bool()>& pred, int maxSteps = 400) {
    for (int i = 0; i < maxSteps && t.g.GameMode == 2; ++i) {
        MoveStep(t.g);
        if (pred()) return true;
    }
    return pred();
}

TEST_F(Vehicle, StartsOnTheMiddleDotOfTheStartPathFacingAlongIt) {
    for (int16_t rot = 0; rot < 4; ++rot) {
        ClearBoard();
        Put(3, 2, kCStart, rot);
        PlaceVehicle(g);
        EXPECT_EQ(g.CurBoxX, 3);
        EXPECT_EQ(g.CurEntDir, rot);
        EXPECT_EQ(g.CurPathId, kPStart);
        EXPECT_EQ(g.CurRunDot, 40);
        const DotRec t = RotateDot(g.PathDim[kPStart].Dot[40], rot);
        EXPECT_EQ(g.VehiX, BoxToPixelX(3) + t.Xx - 10);
        EXPECT_EQ(g.VehiY, BoxToPixelY(2) + t.Yy - 10);
        EXPECT_EQ(VehiclePixel(), VehicleColour((8 + 4 * rot) % 16));
    }
}

TEST_F(Vehicle, EntersThroughTheRotatedSideAndDrawsTurnedByTheEntrySide) {
    // One path per unrotated side, so the path taken tells which side was looked up.
    g.CellDim[40] = MakeCell(40, 0, {{0, 0, kPStraight}, {1, 0, kPTurnNorth}, {2, 0, kPTurnSouth}, {3, 0, kPGoal}});
    g.NumCellDim = 46;
    for (int e = 0; e < 4; ++e) {
        for (int16_t r = 0; r < 4; ++r) {
            ClearBoard();
            // Leave box (3, 3) through side (e + 2) mod 4 on a straight path.
            const int d = (e + 2) % 4;
            const int nx = 3 + Delta(d, true), ny = 3 + Delta(d, false);
            Put(3, 3, kCStraight);
            Put(nx, ny, 40, r);
            g.CurBoxX = 3;
            g.CurBoxY = 3;
            g.CurEntDir = static_cast<int16_t>(e);
            g.CurPathId = kPStraight;
            int16_t result = -1;
            EnterNextBox(g, kPStraight, result);
            ASSERT_EQ(result, kRunNewBox);
            EXPECT_EQ(g.CurEntDir, e);
            EXPECT_EQ(g.CurPathId, g.CellDim[40].PathType[(e - r + 4) % 4][0]) << "e=" << e << " r=" << r;
            RunDot(g, 0, result);
            // Dot 0 lies on the entry edge whatever the cell's rotation.
            const int ex[4] = {80, 40, 0, 40}, ey[4] = {40, 80, 40, 0};
            EXPECT_EQ(g.VehiX, BoxToPixelX(nx) + ex[e] - 10);
            EXPECT_EQ(g.VehiY, BoxToPixelY(ny) + ey[e] - 10);
        }
    }
}

TEST_F(Vehicle, LeavingTheBoardOrMeetingNothing) {
    const struct {
        int x, y, entDir;
        int16_t cellAhead, rotAhead;
        int16_t result;
    } cases[] = {
        {7, 2, 2, 0, 0, kRunOffBoard},        // out through side 0 into column MaxBoxX
        {3, 0, 1, 0, 0, kRunOffBoard},        // out through side 3 from row 0
        {0, 2, 0, 0, 0, kRunOffBoard},        // out through side 2 from column 0
        {3, 5, 3, 0, 0, kRunOffBoard},        // out through side 1 from the last row
        {3, 2, 0, 0, 0, kRunEmptyBox},        // into an empty box
        {3, 2, 0, kCHole, 1, kRunNoPath},     // a cell without paths
        {3, 2, 0, kCCurve, 2, kRunNoPath},    // a curve turned so that its sides are 2 and 1
        {3, 2, 0, kCCurve, 1, kRunNewBox},    // turned so that its sides are 1 and 0
    };
    for (const auto& c : cases) {
        ClearBoard();
        Put(c.x, c.y, kCStraight);
        const int d = (c.entDir + 2) % 4;
        if (c.cellAhead != 0) Put(c.x + Delta(d, true), c.y + Delta(d, false), c.cellAhead, c.rotAhead);
        g.CurBoxX = static_cast<int16_t>(c.x);
        g.CurBoxY = static_cast<int16_t>(c.y);
        g.CurEntDir = static_cast<int16_t>(c.entDir);
        int16_t result = -1;
        EnterNextBox(g, kPStraight, result);
        EXPECT_EQ(result, c.result) << c.x << "," << c.y << " dir " << c.entDir;
    }
}

TEST_F(Vehicle, RunDotOffTheBoardTouchesNothing) {
    g.CurBoxX = g.MaxBoxX;
    g.CurBoxY = 2;
    g.CurPathId = kPStraight;
    const Image before = g.BasePic;
    int16_t result = -1;
    RunDot(g, 0, result);
    EXPECT_EQ(result, kRunOffBoard);
    EXPECT_EQ(g.BasePic, before);
}

TEST_F(Vehicle, SwitchTakesEitherPathWithTheDrawnChance) {
    ClearBoard();
    Put(6, 2, kCStraight);
    Put(5, 2, kCSwitch);
    int straight = 0;
    const int n = 2000;
    for (int i = 0; i < n; ++i) {
        g.CurBoxX = 6;
        g.CurBoxY = 2;
        g.CurEntDir = 0;
        Rng peek = g.rng;
        const int pick = static_cast<int>(std::floor(peek.Uniform() * 2));
        int16_t result = -1;
        EnterNextBox(g, kPStraight, result);
        ASSERT_EQ(result, kRunNewBox);
        EXPECT_EQ(g.CurPathId, pick == 0 ? kPStraight : kPTurnNorth);
        straight += g.CurPathId == kPStraight;
    }
    EXPECT_GT(straight, n * 45 / 100);
    EXPECT_LT(straight, n * 55 / 100);
}

// Turntable passages: the vehicle heads west from (6, 2) or south from (3, 1)
// into a turntable box whose state is set beforehand.
TEST_F(Vehicle, TurntablePassages) {
    const struct {
        const char* name;
        bool south;
        int32_t state;
        bool crash;
        int32_t stateAfter;
        int discAfter;
    } cases[] = {
        {"east-west table, from the east", false, 1, false, 1, 3},
        {"north-south table, from the east", false, 2, true, 2, -1},
        {"no state, from the east", false, 0, false, 0, 0},
        {"east-west table, from the north", true, 1, true, 1, -1},
        {"north-south table, from the north", true, 2, false, 2, 3},
        {"no state, from the north", true, 0, false, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ClearBoard();
        g.GameMode = 0;
        int tx, ty;
        if (c.south) {
            Put(3, 1, kCStart, 3);
            tx = 3, ty = 2;
            Put(3, 3, kCStraight, 1);
            Put(3, 4, kCStraight, 1);
        } else {
            Put(6, 2, kCStart, 0);
            tx = 5, ty = 2;
            Put(4, 2, kCStraight);
            Put(3, 2, kCStraight);
        }
        Put(tx, ty, kCTurntable, 0, c.state);
        DrawDisc(g, tx, ty, c.state);
        BeginRunning();
        const auto past = [&] { return c.south ? g.CurBoxY >= ty + 1 : g.CurBoxX <= tx - 1; };
        StepUntil(*this, [&] { return past() || g.GameMode == 0; });
        EXPECT_EQ(g.GameMode == 0, c.crash);
        EXPECT_EQ(g.WorkGame.Box[tx][ty].BoxAttr & 7, c.stateAfter);
        if (!c.crash) {
            EXPECT_EQ(BasePixel(BoxToPixelX(tx) + 40, BoxToPixelY(ty) + 40), DiscColour(c.discAfter));
        }
    }
}

TEST_F(Vehicle, SetDotOnADiagonalHeadingUnsetsTheTable) {
    ClearBoard();
    g.PathDim[kPTurntable].Dot[40].Angle = 6;
    Put(6, 2, kCStart);
    Put(5, 2, kCTurntable, 0, 1);
    Put(4, 2, kCStraight);
    BeginRunning();
    StepUntil(*this, [&] { return g.CurBoxX == 4; });
    EXPECT_EQ(g.WorkGame.Box[5][2].BoxAttr & 7, 0);
}

TEST_F(Vehicle, SpinDotsTurnTheDiscOnlyOnAPlainBox) {
    for (int32_t attr : {0, 1 << 18}) {
        ClearBoard();
        Put(6, 2, kCStart);
        Put(5, 2, kCSpin, 0, attr);
        Put(4, 2, kCStraight);
        BeginRunning();
        StepUntil(*this, [&] { return g.CurBoxX == 4; });
        const Rgb centre = BasePixel(BoxToPixelX(5) + 40, BoxToPixelY(2) + 40);
        EXPECT_EQ(centre, attr == 0 ? DiscColour(4 + 8 % 4) : CellColour(kCSpin, 0)) << "attr " << attr;
    }
}

TEST_F(Vehicle, WarpToAnExitBox) {
    ClearBoard();
    Put(6, 2, kCStart);
    Put(5, 2, kCWarpEntry);
    Put(2, 4, kCWarpExit, 1);
    BeginRunning();
    StepUntil(*this, [&] { return g.CurBoxX != 6 && g.CurBoxX != 5; });
    ASSERT_EQ(g.GameMode, 2);
    EXPECT_EQ(g.CurBoxX, 2);
    EXPECT_EQ(g.CurBoxY, 4);
    EXPECT_EQ(g.CurPathId, kPWarpExit);
    EXPECT_EQ(g.ScoreGoing, 10) << "only the box entered along the track scores";
    // Path 3 is listed at unrotated sides 1 and 3; with Rot 1 the vehicle enters at side 2 or 0.
    EXPECT_TRUE(g.CurEntDir == 2 || g.CurEntDir == 0) << g.CurEntDir;
    EXPECT_GE(g.CurRunDot, 40);
}

TEST_F(Vehicle, WarpCellThatIsItsOwnExit) {
    ClearBoard();
    Put(6, 2, kCStart);
    Put(5, 2, kCWarp);
    BeginRunning();
    StepUntil(*this, [&] { return g.CurPathId == kPWarpExit; });
    EXPECT_EQ(g.CurBoxX, 5);
    EXPECT_EQ(g.CurBoxY, 2);
    EXPECT_TRUE(g.CurEntDir == 1 || g.CurEntDir == 3);
}

TEST_F(Vehicle, WarpWithoutExitPassesTheDotAndRunsOn) {
    ClearBoard();
    Put(6, 2, kCStart);
    Put(5, 2, kCWarpEntry);
    Put(4, 2, kCStraight);
    BeginRunning();
    StepUntil(*this, [&] { return g.CurBoxX != 6 && g.CurBoxX != 5; });
    EXPECT_EQ(g.GameMode, 2);
    EXPECT_EQ(g.CurBoxX, 4);
    EXPECT_EQ(g.CurPathId, kPStraight);
    EXPECT_EQ(g.ScoreGoing, 20);
}

TEST_F(Vehicle, WarpDotOnTheLastDotWithoutExitShowsTheVehicleOnThatDot) {
    ClearBoard();
    Put(6, 2, kCStart);
    Put(5, 2, kCWarpLast);
    Put(4, 2, kCStraight);
    BeginRunning();
    // Dots 44, 48, ... 80 of the start path, then 3, 7, ... 79 of the warp path are drawn;
    // 79 is the warp path's last dot.
    StepUntil(*this, [&] { return g.CurBoxX == 5 && g.CurRunDot >= 79; });
    EXPECT_EQ(g.CurRunDot, 80);
    EXPECT_EQ(g.VehiX, BoxToPixelX(5) + 1 - 10);
    EXPECT_EQ(g.VehiY, BoxToPixelY(2) + 40 - 10);
    MoveStep(g);
    EXPECT_EQ(g.CurBoxX, 4) << "runs on into the next box";
    EXPECT_EQ(g.GameMode, 2);
}

// Impossible states in the data stop the program with their error.
TEST_F(Vehicle, DataFaultsStopTheProgram) {
    PathRec open = MakePath(13, -1, 81);  // a dead end with no crash dot before its end
    const struct {
        const char* name;
        std::function<void(GameTest&)> setUp;
        const char* message;
    } cases[] = {
        {"unknown path", [](GameTest& t) { t.g.CurPathId = 30; }, "パス番号エラー 30"},
        {"end of a dead end",
         [&](GameTest& t) {
             t.g.PathDim[13] = open;
             t.g.NumPathDim = 13;
             t.g.CurPathId = 13;
             t.g.CurRunDot = 81;
         },
         "内部ロジックエラー 130"},
        {"unknown cell ahead",
         [](GameTest& t) {
             t.g.WorkGame.Box[2][2].Cell = 45;
             t.g.CurRunDot = 81;
         },
         "セル番号エラー 45"},
    };
    for (const auto& c : cases) {
        ClearBoard();
        Put(3, 2, kCStraight);
        g.CurBoxX = 3;
        g.CurBoxY = 2;
        g.CurEntDir = 0;
        g.CurPathId = kPStraight;
        g.CurRunDot = 10;
        c.setUp(*this);
        p.ClearLog();
        int16_t result = 0;
        EXPECT_THROW(RunDot(g, 0, result), ProgramEnded) << c.name;
        EXPECT_TRUE(p.LogHas(std::string("text=\"") + c.message + "\"")) << c.name;
    }
}

}  // namespace
}  // namespace ralvo::testing
