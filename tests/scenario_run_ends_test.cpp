// Whole runs on hand-made boards, driven like the main loop: ready countdown,
// timed steps, the game timer, and every way a run can end.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "game_fixture.h"

namespace ralvo::testing {
namespace {

using RunEnds = GameTest;

enum class End { Crash, Goal };

// The vehicle starts on (6, 2) heading west, so the next box is (5, 2).
struct RunCase {
    std::string name;
    int startX;
    std::function<void(GameTest&)> board;
    int32_t scoreGoing;
    End end;
    int lastDrawnBox;  // column of the box the vehicle was last drawn in
};

class RunEndsTable : public GameTest {
public:
    void Play(const RunCase& c) {
        ClearBoard();
        Put(c.startX, 2, kCStart, 0);
        c.board(*this);
        g.ScoreGoing = c.scoreGoing;
        g.ScoreTotal = 0;
        g.ClearCount = 0;
        g.LoadNextGame = 0;
        BeginRun();
        // Before every wait: what the crash square shows at the vehicle's last position.
        std::vector<Rgb> atVehicle;
        p.onSleep = [&](int) { atVehicle.push_back(VehiclePixel()); };
        p.sleeps.clear();
        p.ClearLog();
        ASSERT_TRUE(RunUntilOver()) << c.name;

        EXPECT_EQ(g.GameMode, 0) << c.name;
        const int px = BoxToPixelX(c.lastDrawnBox);
        EXPECT_GE(g.VehiX + 10, px) << c.name;
        EXPECT_LE(g.VehiX + 10, px + 80) << c.name;
        if (c.end == End::Crash) {
            EXPECT_EQ(p.sleeps, (std::vector<int>{200, 200, 200, 500, 1000})) << c.name;
            ASSERT_EQ(atVehicle.size(), 5u);
            for (int f = 0; f < 4; ++f) EXPECT_EQ(atVehicle[f], CrashColour(f)) << c.name << " frame " << f;
            EXPECT_EQ(CountLog("sound file=\"Crash.wav\""), 1) << c.name;
            EXPECT_EQ(MessagePixel(), MessageColour(1)) << c.name << ": GAME OVER";
            EXPECT_EQ(g.MoveTimer_Enabled, kFalse);
            EXPECT_FALSE(p.GameTimerEnabled());
            EXPECT_EQ(g.LoadNextGame, 0);
            EXPECT_EQ(g.ClearCount, 0);
        } else {
            EXPECT_EQ(CountLog("sound file=\"Goal.wav\""), 1) << c.name;
            EXPECT_EQ(MessagePixel(), MessageColour(0)) << c.name << ": GOAL";
            EXPECT_EQ(g.LoadNextGame, 1);
            EXPECT_EQ(g.ClearCount, 1);
            EXPECT_EQ(g.MoveTimer_Enabled, kTrue) << "stays on until the next stage starts";
            EXPECT_TRUE(p.GameTimerEnabled());
            EXPECT_EQ(CountLog("sound file=\"Crash.wav\""), 0);
        }
    }
};

TEST_F(RunEndsTable, EveryEnd) {
    const RunCase cases[] = {
        {"empty box ahead", 6, [](GameTest&) {}, 0, End::Crash, 6},
        {"off the board", 1, [](GameTest& t) { t.Put(0, 2, kCStraight); }, 0, End::Crash, 0},
        {"dead end", 6, [](GameTest& t) { t.Put(5, 2, kCDeadEnd); }, 0, End::Crash, 5},
        {"hole", 6, [](GameTest& t) { t.Put(5, 2, kCHole); }, 0, End::Crash, 6},
        {"crash dot first on the new path", 6, [](GameTest& t) { t.Put(5, 2, kCCrashFirst); }, 0, End::Crash, 6},
        {"goal below zero", 6, [](GameTest& t) { t.Put(5, 2, kCGoal); }, -11, End::Crash, 5},
        {"goal at exactly zero", 6, [](GameTest& t) { t.Put(5, 2, kCGoal); }, -10, End::Goal, 5},
        {"switch into a hole either way", 6,
         [](GameTest& t) {
             t.Put(5, 2, kCSwitch);
             t.Put(4, 2, kCHole);
         },
         0, End::Crash, 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Play(c);
    }
}

TEST_F(RunEnds, ReadyCountdownHoldsTheVehicleForThreeSeconds) {
    ClearBoard();
    Put(6, 2, kCStart);
    g.TimeOutCount = 60;
    BeginRun();
    const int16_t x0 = g.VehiX;
    const int64_t t0 = p.Now();
    ASSERT_TRUE(RunUntil([&] { return p.Now() >= t0 + 2980; }));
    EXPECT_EQ(g.VehiX, x0);
    EXPECT_EQ(g.GameMode, 1);
    EXPECT_EQ(g.ReadyCount, 1);
    EXPECT_EQ(g.TimeOutCount, 58);
    ASSERT_TRUE(RunUntil([&] { return g.GameMode == 2; }));
    EXPECT_EQ(p.Now(), t0 + 3000);
    EXPECT_EQ(g.TimeOutCount, 57) << "the countdown uses up three seconds of the limit";
    ASSERT_TRUE(RunUntil([&] { return g.VehiX != x0; }));
    EXPECT_LE(p.Now(), t0 + 3000 + 20);
    EXPECT_EQ(g.VehiX, x0 - 4) << "four dots west in the first running step";
}

TEST_F(RunEnds, TimeUpOnTheFirstRunningSecondWithFourSecondsLeft) {
    ClearBoard();
    Put(6, 2, kCStart);
    for (int x = 5; x >= 0; --x) Put(x, 2, kCStraight);
    g.MoveTimer_Interval = 4000;  // slow enough to stay on the board
    g.TimeOutCount = 4;
    BeginRun();
    const int64_t t0 = p.Now();
    p.ClearLog();
    std::vector<int32_t> shownAtWait;
    p.onSleep = [&](int) { shownAtWait.push_back(g.TimeOutCount); };
    ASSERT_TRUE(RunUntilOver());
    EXPECT_EQ(p.Now(), t0 + 4000 + 1000) << "time up on the fourth tick, then EndGame's wait";
    EXPECT_EQ(g.TimeOutCount, 0);
    EXPECT_EQ(MessagePixel(), MessageColour(2)) << "TIME UP";
    EXPECT_EQ(shownAtWait, (std::vector<int32_t>{0}));
    EXPECT_EQ(CountLog("Crash.wav"), 0) << "no crash animation";
    EXPECT_EQ(g.GameMode, 0);
    EXPECT_FALSE(p.GameTimerEnabled());
}

TEST_F(RunEnds, StopDuringTheCountdown) {
    ClearBoard();
    Put(6, 2, kCStart);
    BeginRun();
    ASSERT_TRUE(RunUntil([&] { return g.ReadyCount == 2; }));
    MenuStop_Click(g);
    EXPECT_EQ(MessagePixel(), MessageColour(3)) << "STOP";
    EXPECT_EQ(g.GameMode, 0);
    EXPECT_EQ(g.MoveTimer_Enabled, kFalse);
    EXPECT_FALSE(p.GameTimerEnabled());
    EXPECT_EQ(p.sleeps.back(), 1000);

    // Idle: Stop does nothing at all.
    const Image before = g.BasePic;
    const size_t waits = p.sleeps.size();
    MenuStop_Click(g);
    EXPECT_EQ(g.BasePic, before);
    EXPECT_EQ(p.sleeps.size(), waits);
}

TEST_F(RunEnds, SpurtRunsAStepOnEveryPassAtTheFastestRow) {
    ClearBoard();
    Put(6, 2, kCStart);
    for (int x = 5; x >= 0; --x) Put(x, 2, kCStraight);
    g.SpeedParam[0] = ParamRow{100, 2, 1, 1, 1};
    g.SpeedParam[1] = ParamRow{0, 1, 8, 1, 1};
    g.SpeedParamLine = 2;
    g.MoveTimer_Interval = 400;
    BeginRunning();
    EXPECT_EQ(g.CurSpeedIndex, 0);
    int16_t key = 13;
    WindowKeyDown(g, key);
    EXPECT_EQ(key, 0);
    EXPECT_EQ(g.MoveTimer_Interval, 0);
    EXPECT_EQ(g.CurSpeedIndex, 1);
    EXPECT_EQ(StepDueInMs(g), 0);
    const int64_t t0 = p.Now();
    const int16_t x0 = g.VehiX;
    Pass();
    Pass();
    EXPECT_EQ(g.VehiX, x0 - 16) << "two passes, eight dots each, no time passing";
    EXPECT_EQ(p.Now(), t0);
    ASSERT_TRUE(RunUntilOver());
    EXPECT_EQ(p.Now(), t0 + 200 * 3 + 500 + 1000) << "off the board without the clock moving, then the crash";
    EXPECT_EQ(g.ScoreGoing, 60) << "six boxes entered";
}

}  // namespace
}  // namespace ralvo::testing
