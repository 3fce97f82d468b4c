#include <gtest/gtest.h>

#include <vector>

#include "game_fixture.h"

namespace ralvo::testing {
namespace {

class Timing : public GameTest {
public:
    // A long straight track west of the start box (7, 2) on a wide board.
    void LongTrack() {
        SetBoardSize(18, 6);
        ClearBoard();
        Put(17, 2, kCStart);
        for (int x = 16; x >= 0; --x) Put(x, 2, kCStraight);
    }
    void Rows(std::initializer_list<ParamRow> rows) {
        int i = 0;
        for (const auto& r : rows) g.SpeedParam[i++] = r;
        g.SpeedParamLine = static_cast<int16_t>(i);
    }
};

TEST_F(Timing, SpeedRowIsTheFirstWhoseThresholdIsMet) {
    Rows({{200, 4, 1, 2, 3}, {100, 2, 2, 3, 4}, {0, 1, 8, 4, 5}});
    const struct {
        int32_t interval;
        int16_t row, stepMs, dots, plane, rocks;
    } cases[] = {
        {250, 0, 62, 1, 2, 3}, {200, 0, 50, 1, 2, 3}, {199, 1, 99, 2, 3, 4},
        {100, 1, 50, 2, 3, 4}, {99, 2, 99, 8, 4, 5},  {0, 2, 0, 8, 4, 5},
        {-5, 0, -2, 1, 2, 3},  // no row applies: row 0
    };
    for (const auto& c : cases) {
        g.MoveTimer_Interval = c.interval;
        SelectSpeed(g);
        EXPECT_EQ(g.CurSpeedIndex, c.row) << c.interval;
        EXPECT_EQ(SpeedValue(g, 0), c.stepMs) << c.interval;
        EXPECT_EQ(SpeedValue(g, 2), c.dots);
        EXPECT_EQ(SpeedValue(g, 3), c.plane);
        EXPECT_EQ(SpeedValue(g, 4), c.rocks);
    }
}

TEST_F(Timing, DivisorZeroStepsAtTheStageInterval) {
    Rows({{0, 0, 1, 1, 1}});
    g.MoveTimer_Interval = 300;
    SelectSpeed(g);
    EXPECT_EQ(SpeedValue(g, 0), 300);
}

TEST_F(Timing, UnknownSpeedKindIsAnInternalError) {
    EXPECT_THROW(SpeedValue(g, 1), ProgramEnded);
    EXPECT_TRUE(p.LogHas("text=\"内部ロジックエラー 201\""));
}

TEST_F(Timing, StepsKeepTheirIntervalAcrossTheCounterWrap) {
    for (uint32_t base : {0u, 0xFFFFFFFFu - 95u, 0x7FFFFFFFu - 95u}) {
        // The counter reads base at the start, so it wraps (or turns negative) after a few steps.
        p.SetTickBase(base - static_cast<uint32_t>(p.Now()));
        LongTrack();
        BeginRunning();
        std::vector<int64_t> stepTimes;
        int16_t lastDot = g.CurRunDot;
        RunUntil([&] {
            if (g.CurRunDot != lastDot) stepTimes.push_back(p.Now()), lastDot = g.CurRunDot;
            return stepTimes.size() >= 12;
        });
        ASSERT_EQ(stepTimes.size(), 12u);
        for (size_t i = 1; i < stepTimes.size(); ++i) EXPECT_EQ(stepTimes[i] - stepTimes[i - 1], 20) << "base " << base;
        EXPECT_EQ(StepDueInMs(g), 20);
        p.Sleep(7);
        EXPECT_EQ(StepDueInMs(g), 13);
    }
}

TEST_F(Timing, StepDueInMs) {
    LongTrack();
    EXPECT_EQ(StepDueInMs(g), -1) << "clock off";
    BeginRunning();
    EXPECT_EQ(StepDueInMs(g), 20);
    p.Sleep(25);
    EXPECT_EQ(StepDueInMs(g), 0);
    RunTimedStep(g);
    EXPECT_EQ(StepDueInMs(g), 20);
    Spurt(g);
    EXPECT_EQ(StepDueInMs(g), 0);
}

TEST_F(Timing, CountdownStepsTheClockButNothingMoves) {
    LongTrack();
    BeginRun();
    const int16_t dot = g.CurRunDot;
    p.Sleep(20);
    RunTimedStep(g);
    EXPECT_EQ(g.CurRunDot, dot);
    EXPECT_EQ(StepDueInMs(g), 20) << "the step clock ticked";
}

// Random values used by one game-timer tick, per state.
TEST_F(Timing, GameTimerDrawsOnlyWhereItShould) {
    const struct {
        const char* name;
        int16_t mode;
        int32_t ready;
        int16_t takeOff, rockRate, rockLimit, rockMode;
        int draws;
    } cases[] = {
        {"running, both chances", 2, 0, 5, 5, 1, 0, 2},
        {"rock limit reached", 2, 0, 5, 5, 1, 1, 1},
        {"no take-offs", 2, 0, 0, 5, 1, 0, 1},
        {"countdown", 1, 3, 5, 5, 1, 0, 0},
        {"countdown ends on this tick", 1, 1, 5, 5, 1, 0, 0},
        {"idle", 0, 0, 5, 5, 1, 0, 0},
        {"dialog open", 3, 0, 5, 5, 1, 0, 0},
    };
    for (const auto& c : cases) {
        g.GameMode = c.mode;
        g.ReadyCount = c.ready;
        g.TakeOffRate = c.takeOff;
        g.RockRate = c.rockRate;
        g.RockLimit = c.rockLimit;
        g.RockMode = c.rockMode;
        g.TimeOutCount = 100;
        Rng peek = g.rng;
        GameTimer_Timer(g);
        for (int i = 0; i < c.draws; ++i) peek.Uniform();
        EXPECT_EQ(g.rng.Uniform(), peek.Uniform()) << c.name;
        EXPECT_EQ(g.TimeOutCount, c.mode == 1 || c.mode == 2 ? 99 : 100) << c.name;
    }
}

class Performance : public Timing {
public:
    // Runs `steps` movement steps on a display that needs refreshMs per board refresh.
    void RunSteps(int steps, int refreshMs) {
        p.boardRefreshMs = refreshMs;
        // Each movement step refreshes the board once.
        const int target = p.RefreshCount(kBasePic) + steps;
        ASSERT_TRUE(RunUntil([&] { return p.RefreshCount(kBasePic) >= target; }));
        p.boardRefreshMs = 0;
    }
    int Warnings() const { return CountLog("title=\"性能問題\""); }
};

TEST_F(Performance, WarnsOnceWhenDrawingTakesLongerThanTheInterval) {
    LongTrack();
    g.MoveTimer_Interval = 4000;  // 2000 ms steps keep the vehicle on the board
    BeginRunning();
    g.TimeOutCount = 100000;
    RunSteps(49, 2001);
    EXPECT_EQ(Warnings(), 0) << "not before 50 measured steps";
    RunSteps(1, 2001);
    EXPECT_EQ(Warnings(), 1);
    EXPECT_TRUE(p.LogHas("msgbox style=48 title=\"性能問題\" text=\"ビデオ性能が十分ではありません\\r\\n\\n"
                         "[Ｆ１]を押してヘルプを見てください\" help=\"Ralvo.HLP\" topic=101"));
    EXPECT_EQ(g.DispSlow, kTrue);
    EXPECT_EQ(g.TickCount, 0) << "statistics restart";
    RunSteps(50, 2001);
    EXPECT_EQ(Warnings(), 1) << "never twice";
}

TEST_F(Performance, NoWarningWhenFastEnoughSkippedOrSpurting) {
    const struct {
        const char* name;
        int refreshMs;
        int32_t skip;
        bool spurt;
    } cases[] = {
        {"drawing takes the whole interval", 2000, 0, false},
        {"check switched off", 2500, 1, false},
        {"spurting", 5, 0, true},
    };
    for (const auto& c : cases) {
        LongTrack();
        g.MoveTimer_Interval = 4000;
        g.OptSkipPCValidate = c.skip;
        g.DispSlow = kFalse;
        BeginRunning();
        if (c.spurt) {
            Rows({{0, 2, 0, 1, 1}});  // the spurt row moves nothing, so the board is never left
            Spurt(g);
        }
        p.ClearLog();
        RunSteps(120, c.refreshMs);
        EXPECT_EQ(Warnings(), 0) << c.name;
        if (c.spurt) {
            EXPECT_GT(g.TickCount, 50) << "spurting never resets the statistics";
        }
    }
}

TEST_F(Performance, DebugCaptionShowsTheMeasurements) {
    LongTrack();
    g.MoveTimer_Interval = 4000;
    g.OptDebug = -1;
    g.OptSkipPCValidate = 1;
    g.DebugInfo = " mov=4000";
    BeginRunning();
    RunSteps(50, 30);
    // Intervals are summed from the third measured step on (48 of 2000 ms) and divided by 49.
    EXPECT_EQ(p.Caption(), "ラルボ  mov=4000 - show=30 loop=1959 min=2000");
}

}  // namespace
}  // namespace ralvo::testing
