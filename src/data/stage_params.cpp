#include <algorithm>

#include "data/config.h"
#include "data/rounding.h"
#include "game/stage.h"
#include "shell/errors.h"
#include "shell/state.h"

namespace ralvo {

void ApplyStageParams(Game& g) {
    g.CurStage = static_cast<int16_t>(g.CurStage + 1);

    int stageRow = -1;
    for (int r = 0; r < g.StageParamLine; ++r)
        if (g.StageParam[r][0] <= g.CurStage) { stageRow = r; break; }
    if (stageRow < 0) {
        const int16_t cod = kCfgNoStageRow;
        ErrorStop(g, 21, cod);
        return;
    }

    const ParamRow& S = g.StageParam[stageRow];
    const ParamRow& K = g.SkillParam[std::clamp(g.OptSkill, 0, 2)];
    const ParamRow& C = g.ScreenSize[std::clamp(g.OptScreen, 0, 9)];
    bool ok = true;
    // Rounds ties to even; a result its variable cannot hold stops with the stage row's detail.
    auto value = [&](double v, double lo, double hi) -> int32_t {
        const double r = RoundEven(v);
        if (!(r >= lo && r <= hi)) { ok = false; return 0; }
        return static_cast<int32_t>(r);
    };
    constexpr double lo32 = -2147483648.0, hi32 = 2147483647.0, lo16 = -32768.0, hi16 = 32767.0;

    const int32_t moveInterval = value(S[1] * (K[1] / 100.0), lo32, hi32);
    const int32_t timeOut = value(S[2] * (K[2] / 100.0) * (C[4] / 100.0), lo32, hi32);
    const int32_t scoreGoing = value(-S[3] * (K[3] / 100.0) * (C[5] / 100.0), lo32, hi32);
    const int32_t cellPass = value(S[4] * (K[4] / 100.0), lo32, hi32);
    const int32_t cellOnto = value(-S[5] * (K[5] / 100.0), lo32, hi32);
    const int32_t takeOff = value(S[6] * (K[6] / 100.0), lo16, hi16);
    const int32_t bomb = value(S[7] * (K[7] / 100.0), lo16, hi16);
    const int32_t rock = value(S[8] * (K[8] / 100.0), lo16, hi16);
    const int32_t rockLimit = value(S[9] * (K[9] / 100.0), lo16, hi16);
    const int32_t hole = value(S[10] * (K[10] / 100.0) * (C[6] / 100.0), lo16, hi16);
    const int32_t warp = value(S[11] * (K[11] / 100.0) * (C[7] / 100.0), lo16, hi16);
    if (!ok) {
        const int16_t cod = static_cast<int16_t>(kCfgUnusableValue + 1000 + stageRow);
        ErrorStop(g, 21, cod);
        return;
    }

    g.MoveTimer_Interval = moveInterval;
    g.TimeOutCount = timeOut;
    g.ScoreGoing = scoreGoing;
    g.ScoreCellPass = cellPass;
    g.ScoreCellOnto = cellOnto;
    g.TakeOffRate = static_cast<int16_t>(takeOff);
    g.BombRate = static_cast<int16_t>(bomb);
    g.RockRate = static_cast<int16_t>(rock);
    g.RockLimit = static_cast<int16_t>(std::min(rockLimit, 10));
    g.HoleRate = static_cast<int16_t>(hole);
    g.WarpRate = static_cast<int16_t>(warp);

    StartStage(g);
}

}  // namespace ralvo
