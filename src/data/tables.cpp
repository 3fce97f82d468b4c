#include "data/tables.h"

#include "shell/state.h"

namespace ralvo {

void FillBuiltInTables(Game& g) {
    // Four drop chances per box; each explosion shows frames 0, 1, 2 six plane dots apart.
    struct Drop {
        int step;
        int16_t diag1, diag2, mid1, mid2;
    };
    static constexpr Drop kDrops[] = {{3, 10, 11, 3, 3}, {23, 6, 7, 7, 6}, {43, 12, 12, 2, 0}, {63, 4, 5, 5, 4}};
    g.FlyStep.fill(FlyStepRec{});
    for (const Drop& d : kDrops)
        for (int16_t frame = 0; frame < 3; ++frame) {
            FlyStepRec& s = g.FlyStep[d.step + 6 * frame];
            s.DropCheck = kTrue;
            s.DropNew = Bool16(frame == 0);
            s.BombFrame = frame;
            s.BombKeep = Bool16(frame < 2);
            s.PointDiag1 = d.diag1;
            s.PointDiag2 = d.diag2;
            s.PointMid1 = d.mid1;
            s.PointMid2 = d.mid2;
        }
    for (int p = 0; p < 13; ++p) g.BombMask[p] = int32_t{1} << (18 + p);
    static constexpr PointRec kPoints[13] = {{80, 40}, {40, 80}, {0, 40}, {40, 0}, {60, 60}, {20, 60}, {20, 20},
                                             {60, 20}, {80, 80}, {0, 80}, {0, 0},   {80, 0},  {40, 40}};
    for (int p = 0; p < 13; ++p) g.BombPoint[p] = kPoints[p];
    for (int v = 0; v < 7; ++v) g.CollapseMask[v] = int32_t{1} << (11 + v);
    static constexpr PointRec kOffsets[7] = {{22, 22}, {22, 22}, {22, 22}, {35, 35}, {6, 35}, {6, 6}, {35, 6}};
    for (int v = 0; v < 7; ++v) g.CollapseOffset[v] = kOffsets[v];
}

}  // namespace ralvo
