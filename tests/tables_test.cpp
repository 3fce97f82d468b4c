#include "data/tables.h"

#include <gtest/gtest.h>

#include "shell/state.h"
#include "test_support.h"

namespace ralvo {
namespace {

TEST(BuiltInTables, Content) {
    HeadlessPlatform p;
    Game g(p);
    FillBuiltInTables(g);
    int nonZero = 0;
    for (int s = 0; s <= 80; ++s)
        if (g.FlyStep[s].DropCheck) ++nonZero;
    EXPECT_EQ(nonZero, 12);
    EXPECT_EQ(g.FlyStep[0].DropCheck, 0);
    EXPECT_EQ(g.FlyStep[80].DropCheck, 0);
    const FlyStepRec& r63 = g.FlyStep[63];
    EXPECT_EQ(r63.DropNew, -1);
    EXPECT_EQ(r63.BombKeep, -1);
    EXPECT_EQ(r63.PointDiag1, 4);
    EXPECT_EQ(r63.PointMid2, 4);
    const FlyStepRec& r75 = g.FlyStep[75];
    EXPECT_EQ(r75.DropNew, 0);
    EXPECT_EQ(r75.BombFrame, 2);
    EXPECT_EQ(r75.BombKeep, 0);
    EXPECT_EQ(g.FlyStep[49].PointMid1, 2);
    EXPECT_EQ(g.BombMask[12], 1073741824);
    EXPECT_EQ(g.BombPoint[5].PointX, 20);
    EXPECT_EQ(g.BombPoint[5].PointY, 60);
    EXPECT_EQ(g.CollapseOffset[4].PointX, 6);
    EXPECT_EQ(g.CollapseOffset[4].PointY, 35);
    int32_t seen = 0;
    for (int32_t m : g.BombMask) { EXPECT_EQ(seen & m, 0); seen |= m; }
    for (int32_t m : g.CollapseMask) { EXPECT_EQ(seen & m, 0); seen |= m; }
    EXPECT_EQ(seen & 0x7ff, 0) << "bits 0..10 stay free for the turntable state";
}

}  // namespace
}  // namespace ralvo
