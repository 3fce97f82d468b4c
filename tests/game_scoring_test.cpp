#include <gtest/gtest.h>

#include <vector>

#include "game_fixture.h"

namespace ralvo::testing {
namespace {

// The glyph shown at digit position i (1 = rightmost) of counter line `line`.
int GlyphAt(const Game& g, int line, int i) {
    const int x = (4 - i) * 18 + 10 + 9;
    const int y = BoxToPixelY(line - 1) + 27 + 4 + 13;
    const Rgb c = g.NextPic.At(x, y);
    if ((c >> 16) != 7 || ((c >> 8) & 0xff) != 200) return -1;
    return static_cast<int>(c & 0xff);
}

// Glyphs from left to right; 10 = minus, 11 = blank.
std::vector<int> Shown(const Game& g, int line) {
    return {GlyphAt(g, line, 4), GlyphAt(g, line, 3), GlyphAt(g, line, 2), GlyphAt(g, line, 1)};
}

using ScoringTest = GameTest;

TEST_F(ScoringTest, ShowNumberGlyphs) {
    constexpr int B = 11, M = 10;
    const struct {
        int32_t value;
        std::vector<int> glyphs;
    } cases[] = {
        {-35, {B, M, 3, 5}},
        {0, {B, B, B, 0}},
        {7, {B, B, B, 7}},
        {100, {B, 1, 0, 0}},
        {-5, {B, B, M, 5}},
        {-999, {M, 9, 9, 9}},
        {-1234, {1, 2, 3, 4}},       // four digits leave no room for the sign
        {12345, {2, 3, 4, 5}},       // only the four lowest digits
        {40005, {0, 0, 0, 5}},
        {INT32_MIN, {3, 6, 4, 8}},   // 2147483648
        {INT32_MAX, {3, 6, 4, 7}},
    };
    for (const auto& c : cases) {
        for (int16_t line = 1; line <= 3; ++line) {
            ShowNumber(g, line, c.value);
            EXPECT_EQ(Shown(g, line), c.glyphs) << "value " << c.value << " line " << line;
        }
    }
}

TEST_F(ScoringTest, ShowScoresDrawsTheThreeCountersAndRefreshes) {
    g.ScoreGoing = -35;
    g.ScoreTotal = 120;
    g.TimeOutCount = 9;
    const int before = p.RefreshCount(kNextPic);
    ShowScores(g);
    EXPECT_EQ(Shown(g, 1), (std::vector<int>{11, 10, 3, 5}));
    EXPECT_EQ(Shown(g, 2), (std::vector<int>{11, 1, 2, 0}));
    EXPECT_EQ(Shown(g, 3), (std::vector<int>{11, 11, 11, 9}));
    EXPECT_EQ(p.RefreshCount(kNextPic), before + 1);
}

// Records the stage score at every wait of the count-up.
class CountingPlatform : public HeadlessPlatform {
public:
    void Sleep(int ms) override {
        if (game) steps.push_back({game->ScoreGoing, game->ScoreTotal, ms});
        HeadlessPlatform::Sleep(ms);
    }
    struct Step {
        int32_t going, total;
        int ms;
    };
    Game* game = nullptr;
    std::vector<Step> steps;
};

TEST(ScoringCountUp, PortionsOfOneTwentieth) {
    const struct {
        int32_t going;
        std::vector<int32_t> portions;
    } cases[] = {
        {45, [] { std::vector<int32_t> v(22, 2); v.push_back(1); return v; }()},
        {7, std::vector<int32_t>(7, 1)},
        {40, std::vector<int32_t>(20, 2)},
        {41, [] { std::vector<int32_t> v(20, 2); v.push_back(1); return v; }()},
        {0, {}},
    };
    for (const auto& c : cases) {
        CountingPlatform p;
        Game g(p);
        MakeFigures(g.Fig);
        g.NextPic.Reset(84, 506);
        p.game = &g;
        g.ScoreGoing = c.going;
        g.ScoreTotal = 1000;
        g.ClearCount = 2;
        TransferStageScore(g);
        std::vector<int32_t> portions;
        int32_t before = c.going;
        for (const auto& s : p.steps) {
            EXPECT_EQ(s.ms, 100);
            EXPECT_EQ(s.going + s.total, c.going + 1000);  // each portion is shown before its wait
            portions.push_back(before - s.going);
            before = s.going;
        }
        EXPECT_EQ(portions, c.portions) << "stage score " << c.going;
        EXPECT_EQ(g.ScoreGoing, 0);
        EXPECT_EQ(g.ScoreTotal, 1000 + c.going);
        EXPECT_EQ(g.ClearCount, 3) << "a stage cleared with 0 still counts";
    }
}

}  // namespace
}  // namespace ralvo::testing
