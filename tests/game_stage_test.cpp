#include <gtest/gtest.h>

#include <string>

#include "game_fixture.h"
#include "shell/menus.h"

namespace ralvo::testing {
namespace {

using Stage = GameTest;

int Count(const Game& g, int16_t cell) {
    int n = 0;
    for (int x = 0; x < g.MaxBoxX; ++x)
        for (int y = 0; y < g.MaxBoxY; ++y) n += g.WorkGame.Box[x][y].Cell == cell;
    return n;
}

TEST_F(Stage, GeneratedBoardsKeepSpecialBoxesApart) {
    SetBoardSize(18, 13);
    g.HoleRate = 10;
    g.WarpRate = 5;
    for (uint64_t seed = 1; seed <= 200; ++seed) {
        g.rng.Seed(seed);
        InitBoard(g);
        EXPECT_EQ(Count(g, kCStart), 1);
        EXPECT_EQ(Count(g, kCGoal), 1);
        const int holes = Count(g, kCHole);
        EXPECT_GE(holes, 11) << "seed " << seed;  // Int(0.5 x 23.4)
        EXPECT_LE(holes, 35) << "seed " << seed;  // Int(1.4999 x 23.4)
        EXPECT_GE(Count(g, kCWarp), 5);            // Int(0.5 x 11.7)
        EXPECT_LE(Count(g, kCWarp), 17);
        EXPECT_EQ(Count(g, -1), 0);
        for (int x = 0; x < g.MaxBoxX; ++x) {
            for (int y = 0; y < g.MaxBoxY; ++y) {
                const int16_t c = g.WorkGame.Box[x][y].Cell;
                if (c == 0) continue;
                EXPECT_LE(g.WorkGame.Box[x][y].Rot, 3);
                if (c == kCStart || c == kCGoal) {
                    EXPECT_TRUE(x > 0 && y > 0 && x < g.MaxBoxX - 1 && y < g.MaxBoxY - 1) << "seed " << seed;
                }
                const int16_t east = x + 1 < g.MaxBoxX ? g.WorkGame.Box[x + 1][y].Cell : 0;
                const int16_t south = y + 1 < g.MaxBoxY ? g.WorkGame.Box[x][y + 1].Cell : 0;
                EXPECT_EQ(east, 0) << "seed " << seed;
                EXPECT_EQ(south, 0) << "seed " << seed;
            }
        }
    }
}

TEST_F(Stage, RatesZeroAndRatesTooHighForTheBoard) {
    const struct {
        int16_t holes, warps;
        bool anyHole, anyWarp;
    } cases[] = {{0, 0, false, false}, {0, 50, false, true}, {400, 0, true, false}, {1000, 1000, true, false}};
    for (const auto& c : cases) {
        g.HoleRate = c.holes;
        g.WarpRate = c.warps;
        InitBoard(g);  // must come back even when the board fills up
        EXPECT_EQ(Count(g, kCHole) > 0, c.anyHole);
        EXPECT_EQ(Count(g, kCWarp) > 0, c.anyWarp);
        EXPECT_EQ(Count(g, kCStart), 1);
        EXPECT_EQ(Count(g, -1), 0);
    }
}

TEST_F(Stage, BoardTooSmallForAGoalGetsNone) {
    SetBoardSize(3, 3);
    InitBoard(g);
    EXPECT_EQ(g.WorkGame.Box[1][1].Cell, kCStart);
    EXPECT_EQ(Count(g, kCGoal), 0);
}

TEST_F(Stage, StartStageSequence) {
    g.CurStage = 4;
    g.OptUseKey = -1;
    g.PlaneMode = 1;
    g.RockMode = 2;
    g.CurRock[3].RockSts = 1;
    g.NumCellDim = 120;
    g.NextNumCellDim = 121;
    g.WorkGame.Box[2][2].BoxAttr = 1 << 20;
    std::vector<std::string> labelAtWait;
    p.onSleep = [&](int) { labelAtWait.push_back(p.Log().empty() ? "" : p.Log().back()); };
    StartStage(g);
    EXPECT_EQ(p.sleeps, (std::vector<int>{500, 100}));
    ASSERT_EQ(labelAtWait.size(), 2u);
    // Label centred on row Int((6 + 1) / 2 - 1) = 2: 40 x 44 measured by the headless back end.
    EXPECT_EQ(labelAtWait[0], "label show text=\"Stage 4\" size=30 color=#FFFFFF style=0 x=204 y=190");
    EXPECT_EQ(labelAtWait[1], "label hide");
    EXPECT_EQ(g.GameMode, 1);
    EXPECT_EQ(g.ReadyCount, 3);
    EXPECT_EQ(g.MoveTimer_Enabled, kTrue);
    EXPECT_TRUE(p.GameTimerEnabled());
    EXPECT_EQ(p.NextTimerTick(), p.Now() + 1000);
    EXPECT_EQ(g.PlaneMode, 0);
    EXPECT_EQ(g.RockMode, 0);
    EXPECT_EQ(g.CurRock[3].RockSts, 0);
    EXPECT_EQ(g.NumCellDim, g.SaveNumCellDim);
    EXPECT_EQ(g.NextNumCellDim, 101);
    EXPECT_EQ(g.WorkGame.Box[2][2].BoxAttr, 0);
    EXPECT_EQ(g.KeyCurX, 4);
    EXPECT_EQ(g.KeyCurY, 3);
    EXPECT_EQ(g.WorkGame.Box[g.CurBoxX][g.CurBoxY].Cell, kCStart);
    EXPECT_EQ(VehiclePixel(), VehicleColour((8 + 4 * g.CurEntDir) % 16));
    EXPECT_EQ(g.NextCid, kCStraight) << "a first offer";
    // The keyboard cursor frame is on the centre box.
    const int left = BoxToPixelX(4) + 2, top = BoxToPixelY(3) + 2;
    const Rgb under = g.WorkGame.Box[4][3].Cell == 0 ? kBlack : CellColour(g.WorkGame.Box[4][3].Cell, g.WorkGame.Box[4][3].Rot);
    EXPECT_EQ(BasePixel(left, top + 40), under ^ kWhite);
}

TEST_F(Stage, MissingStartCellDataStopsTheProgram) {
    const struct {
        const char* name;
        std::function<void(Game&)> breakIt;
        const char* message;
    } cases[] = {
        {"start cell without its attribute", [](Game& g) { g.CellDim[kCStart].Cellattr = 0; }, "内部ロジックエラー 211"},
        {"start cell without path 2", [](Game& g) { g.CellDim[kCStart].PathType[0][0] = 1; }, "内部ロジックエラー 212"},
        {"no path 2", [](Game& g) { g.PathDim[kPStart].PathHdr = kBlankMagic; }, "内部ロジックエラー 213"},
    };
    for (const auto& c : cases) {
        MakeData(g);
        c.breakIt(g);
        ClearBoard();
        Put(3, 3, kCStart);
        p.ClearLog();
        EXPECT_THROW(PlaceVehicle(g), ProgramEnded) << c.name;
        EXPECT_TRUE(p.LogHas(std::string("text=\"") + c.message + "\"")) << c.name;
    }
}

TEST_F(Stage, GameMenuFollowsTheMode) {
    g.OptSkill = 1;
    for (int16_t mode : {0, 1, 2}) {
        g.GameMode = mode;
        MenuGame_Click(g);
        EXPECT_EQ(g.Menu[MenuStart].enabled, mode == 0);
        EXPECT_EQ(g.Menu[MenuStop].enabled, mode != 0);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(g.Menu[MenuSkill0 + i].checked, i == 1);
            EXPECT_EQ(g.Menu[MenuSkill0 + i].enabled, mode == 0 || i == 1);
        }
    }
}

TEST_F(Stage, StartCommandResetsTheGame) {
    g.CurStage = 5;
    g.ScoreTotal = 300;
    g.ScoreGoing = 12;
    g.ClearCount = 4;
    g.GameMode = 2;
    MenuStart_Click(g);
    EXPECT_EQ(g.CurStage, -1);
    EXPECT_EQ(g.ScoreTotal, 0);
    EXPECT_EQ(g.ScoreGoing, 0);
    EXPECT_EQ(g.ClearCount, 0);
    EXPECT_EQ(g.LoadNextGame, 1);
}

}  // namespace
}  // namespace ralvo::testing
