#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "game_fixture.h"

namespace ralvo::testing {
namespace {

using NextCell = GameTest;

// What the offer must be for the next uniform values of a copy of the generator.
struct Expected {
    int r;
    int16_t rot;
    int draws;
};

TEST_F(NextCell, WeightedDrawRotationAndDrawOrder) {
    SetDice(g, {0, 5, 0, 3});
    std::set<int> seen;
    for (int i = 0; i < 400; ++i) {
        Rng peek = g.rng;
        const int r = static_cast<int>(std::floor(peek.Uniform() * 8)) + 1;
        const auto rot = static_cast<int16_t>(std::floor(static_cast<float>(peek.Uniform()) * 4.0f));
        GenerateNextCell(g);
        EXPECT_EQ(g.NextCid, r <= 5 ? 2 : 4) << "r=" << r;
        EXPECT_EQ(g.NextRot, rot);
        EXPECT_EQ(g.NextBoxAttr, 0);
        // Neither cell is a turntable: exactly two values were used.
        EXPECT_EQ(g.rng.Uniform(), peek.Uniform());
        seen.insert(r);
    }
    EXPECT_EQ(seen, (std::set<int>{1, 2, 3, 4, 5, 6, 7, 8}));
}

TEST_F(NextCell, TurntableStateFollowsTheRotationsParity) {
    std::vector<int16_t> w(kCTurntable, 0);
    w[kCTurntable - 1] = 1;
    SetDice(g, w);
    int withState = 0;
    for (int i = 0; i < 400; ++i) {
        Rng peek = g.rng;
        peek.Uniform();
        const auto rot = static_cast<int16_t>(std::floor(static_cast<float>(peek.Uniform()) * 4.0f));
        const int a = static_cast<int>(std::floor(peek.Uniform() * 2));
        GenerateNextCell(g);
        ASSERT_EQ(g.NextCid, kCTurntable);
        const int32_t want = a == 0 ? 0 : (rot % 2 == 0 ? 1 : 2);
        EXPECT_EQ(g.NextBoxAttr, want) << "rot " << rot;
        EXPECT_EQ(g.rng.Uniform(), peek.Uniform()) << "three values used";
        withState += a;
        // The disc in the panel shows the state.
        EXPECT_EQ(g.NextPic.At(2 + 40, BoxToPixelY(4) + 40), DiscColour(g.NextBoxAttr));
    }
    EXPECT_GT(withState, 150);
    EXPECT_LT(withState, 250);
}

TEST_F(NextCell, PictureFramesFollowTheRotation) {
    const struct {
        int frames;
        int16_t rot;
        int shown;
    } cases[] = {{4, 3, 3}, {2, 3, 1}, {2, 2, 0}, {1, 3, 0}};
    for (const auto& c : cases) {
        g.Fig.CellPic[kCStraight] = Strip(81, 81, c.frames, [](int f) { return CellColour(kCStraight, f); });
        g.NextCid = kCStraight;
        g.NextRot = c.rot;
        DrawNextCell(g);
        EXPECT_EQ(g.NextPic.At(2, 334), CellColour(kCStraight, c.shown)) << c.frames << " frames, rot " << c.rot;
        EXPECT_EQ(g.NextPic.At(2 + 80, 334 + 80), CellColour(kCStraight, c.shown));
    }
}

TEST_F(NextCell, AllZeroWeightsStopWithTheCellNumberError) {
    SetDice(g, {0, 0});  // offers cell 3, which does not exist
    EXPECT_THROW(GenerateNextCell(g), ProgramEnded);
    EXPECT_TRUE(p.LogHas("text=\"セル番号エラー 3\""));
}

}  // namespace
}  // namespace ralvo::testing
