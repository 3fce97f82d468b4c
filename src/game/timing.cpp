#include "game/timing.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "extras/sound.h"
#include "game/random_draw.h"
#include "game/scoring.h"
#include "game/vehicle.h"
#include "hazards/plane.h"
#include "hazards/rocks.h"
#include "render/draw.h"
#include "shell/errors.h"
#include "shell/lifecycle.h"
#include "shell/state.h"

namespace ralvo {

namespace {

// Milliseconds since PrevTick. Unsigned so that a step keeps its interval when
// the millisecond counter wraps around.
uint32_t SinceLastStep(Game& g, uint32_t now) { return now - static_cast<uint32_t>(g.PrevTick); }

void AddTicks(int32_t& sum, uint32_t ms) {
    // A difference that no longer fits a signed reading would be a negative one
    // on the original signed counter; those are never counted.
    if (ms > static_cast<uint32_t>(std::numeric_limits<int32_t>::max())) return;
    int64_t s = static_cast<int64_t>(sum) + ms;
    sum = static_cast<int32_t>(std::min<int64_t>(s, std::numeric_limits<int32_t>::max()));
}

}  // namespace

void RunTimedStep(Game& g) {
    uint32_t now = g.plat.TickCount();
    uint32_t elapsed = SinceLastStep(g, now);
    int16_t interval = SpeedValue(g, 0);
    if (interval > 0 && elapsed < static_cast<uint32_t>(interval)) return;
    g.PrevTick = static_cast<int32_t>(now);
    g.KeyDone = kFalse;
    if (g.TickCount > 1) AddTicks(g.IntvlTick, elapsed);
    if (g.GameMode != 2) return;

    MoveStep(g);

    uint32_t after = g.plat.TickCount();
    if (g.GameMode == 2) {
        uint32_t d = after - now;
        if (d <= static_cast<uint32_t>(std::numeric_limits<int32_t>::max())) {
            AddTicks(g.TotalTick, d);
            // While spurting the statistics are never reset; stop counting
            // instead of running past the counter's range.
            if (g.TickCount < std::numeric_limits<int16_t>::max()) g.TickCount += 1;
        }
        if (g.TickCount >= 50) CheckPerformance(g);
    }
}

int StepDueInMs(Game& g) {
    if (!g.MoveTimer_Enabled) return -1;
    int16_t interval = SpeedValue(g, 0);
    if (interval <= 0) return 0;
    uint32_t elapsed = SinceLastStep(g, g.plat.TickCount());
    if (elapsed >= static_cast<uint32_t>(interval)) return 0;
    return static_cast<int>(static_cast<uint32_t>(interval) - elapsed);
}

void MoveStep(Game& g) {
    EraseSprites(g);
    if (g.PlaneMode != 0) {
        PlaneStep(g);
        if (g.GameMode == 0) return;
    }
    if (g.RockMode != 0) {
        RockStep(g);
        if (g.GameMode == 0) return;
    }
    int16_t n = SpeedValue(g, 2);
    while (n > 0) {
        n -= 1;
        g.CurRunDot += 1;
        int16_t result = kRunGoOn;
        RunDot(g, n, result);
        if (result == kRunNewBox) {
            // The first dot of the new path: its events take place now. A goal
            // there has already ended the stage; a crash there ends the run like
            // a crash on any other dot.
            int16_t first = kRunGoOn;
            RunDot(g, n, first);
            if (first == kRunGoal) return;
            g.ScoreGoing += g.ScoreCellPass;
            ShowScores(g);
            if (first >= kRunOffBoard && first <= kRunCrash) CrashVehicle(g);
        } else if (result >= kRunOffBoard && result <= kRunCrash) {
            CrashVehicle(g);
        } else if (result == kRunGoal) {
            return;
        }
        if (g.GameMode == 0) return;
    }
    if (g.RockMode != 0) DrawRocks(g);
    if (g.PlaneMode != 0) DrawPlane(g);
    g.plat.RefreshPicture(kBasePic);
}

void ReachGoal(Game& g) {
    PlayGoal(g);
    if (g.RockMode != 0) DrawRocks(g);
    if (g.PlaneMode != 0) DrawPlane(g);
    ShowMessagePicture(g, 0);
    TransferStageScore(g);
    g.plat.Sleep(1000);
    g.GameMode = 0;
    g.LoadNextGame = 1;
}

void GameTimer_Timer(Game& g) {
    switch (g.GameMode) {
        case 1:
            g.ReadyCount -= 1;
            if (g.ReadyCount == 0) g.GameMode = 2;
            g.TimeOutCount -= 1;
            ShowScores(g);
            return;
        case 2:
            g.TimeOutCount -= 1;
            ShowScores(g);
            if (g.TimeOutCount <= 0) {
                ShowMessagePicture(g, 2);
                EndGame(g);
                return;
            }
            break;
        default:
            return;
    }
    if (g.TakeOffRate != 0 && DrawRandom(g, g.TakeOffRate) == 0) {
        TakeOff(g);
        g.plat.RefreshPicture(kBasePic);
    }
    if (g.RockRate != 0 && g.RockMode < g.RockLimit && DrawRandom(g, g.RockRate) == 0) {
        StartRock(g);
        g.plat.RefreshPicture(kBasePic);
    }
}

void SelectSpeed(Game& g) {
    g.CurSpeedIndex = 0;
    for (int16_t i = 0; i < g.SpeedParamLine && i < static_cast<int>(g.SpeedParam.size()); ++i) {
        if (g.MoveTimer_Interval >= g.SpeedParam[i][0]) {
            g.CurSpeedIndex = i;
            return;
        }
    }
}

int16_t SpeedValue(Game& g, int kind) {
    const ParamRow& row = g.SpeedParam[static_cast<size_t>(g.CurSpeedIndex)];
    switch (kind) {
        case 0: {
            // A divisor of 0 would leave the interval undefined; such a row
            // steps at the stage's own interval.
            double divisor = row[1] != 0 ? row[1] : 1;
            double ms = std::floor(g.MoveTimer_Interval / divisor);
            ms = std::clamp(ms, double{std::numeric_limits<int16_t>::min()},
                            double{std::numeric_limits<int16_t>::max()});
            return static_cast<int16_t>(ms);
        }
        case 2:
        case 3:
        case 4:
            return row[static_cast<size_t>(kind)];
        default: {
            const int16_t cod = 201;
            ErrorStop(g, 9, cod);
            return 0;
        }
    }
}

void ResetTickStats(Game& g) {
    g.PrevTick = static_cast<int32_t>(g.plat.TickCount());
    g.TotalTick = 0;
    g.IntvlTick = 0;
    g.TickCount = 0;
    g.KeyDone = kFalse;
}

void Spurt(Game& g) {
    g.MoveTimer_Interval = 0;
    SelectSpeed(g);
    ResetTickStats(g);
}

void CheckPerformance(Game& g) {
    if (g.TickCount < 2) return;
    auto show = static_cast<int32_t>(std::nearbyint(static_cast<double>(g.TotalTick) / g.TickCount));
    auto loop = static_cast<int32_t>(std::nearbyint(static_cast<double>(g.IntvlTick) / (g.TickCount - 1)));
    int16_t min = SpeedValue(g, 0);
    if (g.OptDebug != 0) {
        g.plat.SetCaption("ラルボ " + g.DebugInfo + " - show=" + std::to_string(show) +
                          " loop=" + std::to_string(loop) + " min=" + std::to_string(min));
    }
    if (g.MoveTimer_Interval == 0) return;
    if (show > min && g.DispSlow == 0 && g.OptSkipPCValidate == 0) {
        g.plat.MessageBox("ビデオ性能が十分ではありません\r\n\n[Ｆ１]を押してヘルプを見てください", "性能問題",
                          kMsgExclamation, g.HelpFileName, 101);
        g.DispSlow = kTrue;
    }
    ResetTickStats(g);
}

}  // namespace ralvo
