#include "game/scoring.h"

#include <cmath>

#include "platform/image.h"
#include "render/layout.h"
#include "shell/state.h"

namespace ralvo {

namespace {
constexpr int kGlyphW = 18;
constexpr int kGlyphH = 27;
constexpr int16_t kGlyphMinus = 10;
constexpr int16_t kGlyphBlank = 11;

const Image& LineLabel(const Game& g, int line) {
    switch (line) {
        case 1: return g.Fig.TxtScore;
        case 2: return g.Fig.TxtTotal;
        default: return g.Fig.TxtTime;
    }
}
}  // namespace

void TransferStageScore(Game& g) {
    auto step = static_cast<int32_t>(std::floor(g.ScoreGoing / 20.0));
    if (step == 0) step = 1;
    while (g.ScoreGoing > 0) {
        int32_t amount = g.ScoreGoing > step ? step : g.ScoreGoing;
        g.ScoreTotal += amount;
        g.ScoreGoing -= amount;
        ShowScores(g);
        g.plat.Sleep(100);
    }
    g.ClearCount += 1;
}

void ShowScores(Game& g) {
    ShowNumber(g, 1, g.ScoreGoing);
    ShowNumber(g, 2, g.ScoreTotal);
    ShowNumber(g, 3, g.TimeOutCount);
    g.plat.RefreshPicture(kNextPic);
}

void ShowNumber(Game& g, int16_t line, int32_t value) {
    // Wider than the value so that the most negative total still splits cleanly;
    // only the four lowest digits are ever shown.
    int64_t v = value;
    bool negative = v < 0;
    if (negative) v = -v;
    for (int16_t i = 1; i <= 4; ++i) {
        auto d = static_cast<int16_t>(v % 10);
        v /= 10;
        if (d == 0 && v == 0) {
            if (i == 1) {
                DrawDigit(g, line, 0, i);
            } else if (negative) {
                DrawDigit(g, line, kGlyphMinus, i);
                negative = false;
            } else {
                DrawDigit(g, line, kGlyphBlank, i);
            }
        } else {
            DrawDigit(g, line, d, i);
        }
    }
}

void DrawDigit(Game& g, int16_t line, int16_t glyph, int16_t position) {
    int x = (4 - position) * kGlyphW + 10;
    int y = BoxToPixelY(line - 1) + LineLabel(g, line).height() + 4;
    BitBlt(g.NextPic, x, y, kGlyphW, kGlyphH, g.Fig.TxtDigit, kGlyphW * glyph, 0, Rop::Copy);
}

}  // namespace ralvo
