// A stage played from its start to the goal: the stage is generated, the player
// lays track from the start box to the goal box with the mouse during the ready
// countdown, the vehicle runs it, and the stage score is counted into the total.
#include <gtest/gtest.h>

#include "data/config.h"
#include "data/tables.h"
#include "game_fixture.h"
#include "real_data.h"

namespace ralvo::testing {
namespace {

class StageClear : public GameTest {
public:
    // Loads the real data set and configuration (pictures stay synthetic).
    void UseRealData() {
        LoadRealDataSet(g, 1);
        g.OptScreen = 0;
        SetBoardSize(g.ScreenSize[0][2], g.ScreenSize[0][3]);
    }

    // Starts stage 0 with seeds from `seed` on until its shortest track from start to
    // goal is long enough to meet the stage's quota; returns that track.
    std::vector<Lay> StartPlayableStage(uint64_t seed, const std::function<void()>& startStage) {
        for (;; ++seed) {
            g.rng.Seed(seed);
            startStage();
            int gx = -1, gy = -1;
            for (int x = 0; x < g.MaxBoxX; ++x)
                for (int y = 0; y < g.MaxBoxY; ++y)
                    if (g.WorkGame.Box[x][y].Cell == kCGoal) gx = x, gy = y;
            auto route = Route(g.CurBoxX, g.CurBoxY, StartExit(), {kCStraight, kCCurve},
                               [&](int x, int y, int entry) { return x == gx && y == gy && entry >= 0; });
            if (route && g.ScoreGoing + static_cast<int32_t>(route->size() + 1) * g.ScoreCellPass >= 0) return *route;
        }
    }

    void PlayToTheGoal(const std::vector<Lay>& route) {
        const int32_t going0 = g.ScoreGoing;
        const int32_t time0 = g.TimeOutCount;
        EXPECT_EQ(g.GameMode, 1);
        p.ClearLog();
        for (const Lay& l : route) LayByMouse(l);
        EXPECT_EQ(CountLog("sound file=\"Click.wav\""), static_cast<int>(route.size()));
        EXPECT_EQ(g.ScoreGoing, going0) << "laying on empty boxes costs nothing";
        for (const Lay& l : route) EXPECT_EQ(g.WorkGame.Box[l.x][l.y].Cell, l.cell);

        ASSERT_TRUE(RunUntilOver());
        EXPECT_EQ(g.LoadNextGame, 1);
        EXPECT_EQ(g.GameMode, 0);
        EXPECT_EQ(g.ClearCount, 1);
        const int32_t boxes = static_cast<int32_t>(route.size()) + 1;  // the track and the goal box
        EXPECT_EQ(g.ScoreTotal, going0 + boxes * g.ScoreCellPass);
        EXPECT_EQ(g.ScoreGoing, 0);
        EXPECT_LT(g.TimeOutCount, time0);
        EXPECT_EQ(MessagePixel(), MessageColour(0));
    }
};

TEST_F(StageClear, SyntheticCells) {
    g.HoleRate = 0;
    g.WarpRate = 0;
    g.ScoreGoing = -30;
    const auto route = StartPlayableStage(1, [&] {
        g.ScoreGoing = -30;
        g.CurStage = 0;
        StartStage(g);
    });
    ASSERT_FALSE(route.empty());
    PlayToTheGoal(route);
}

TEST_F(StageClear, RealDataSet) {
    UseRealData();
    const auto route = StartPlayableStage(1, [&] {
        MenuStart_Click(g);
        g.LoadNextGame = 0;
        ApplyStageParams(g);
    });
    EXPECT_EQ(g.CurStage, 0);
    ASSERT_FALSE(route.empty());
    PlayToTheGoal(route);
}

}  // namespace
}  // namespace ralvo::testing
