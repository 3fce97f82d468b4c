// Movement step and cell laying on the real data set with the real pictures.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "data/celldata.h"
#include "data/config.h"
#include "data/tables.h"
#include "game/stage.h"
#include "game/timing.h"
#include "placement/input.h"
#include "platform/headless/headless_platform.h"
#include "render/draw.h"
#include "render/layout.h"
#include "render/figure.h"
#include "shell/state.h"
#include "../tests/real_data.h"

namespace ralvo {
namespace {

// The real data set on an 18 x 13 board.
struct World {
    HeadlessPlatform p;
    Game g{p, 7};
    World() {
        LoadRealDataSet(g, 1);
        LoadFigure(g.Fig);
        g.OptSound = 0;
        g.OptUseKey = 0;
        g.MaxBoxX = 18;
        g.MaxBoxY = 13;
        g.BasePic.Reset(BoxToPixelX(18) + 20, BoxToPixelY(13) + 10);
        g.NextPic.Reset(kNextPicWidth, g.BasePic.height());
        RedrawScreen(g);
    }

    int Exit(int16_t cell, int16_t rot, int entry) const {
        const int k = ((entry - rot) % 4 + 4) % 4;
        const int16_t pid = g.CellDim[cell].PathType[k][0];
        if (pid == 0) return -1;
        const int16_t dir = g.PathDim[pid].PathDir;
        return dir < 0 ? -1 : (entry + dir) % 4;
    }

    // A closed ring of straights and curves round columns 1..16, rows 1..11, run clockwise.
    void Ring() {
        std::vector<std::pair<int, int>> boxes;
        for (int x = 1; x <= 16; ++x) boxes.push_back({x, 1});
        for (int y = 2; y <= 11; ++y) boxes.push_back({16, y});
        for (int x = 15; x >= 1; --x) boxes.push_back({x, 11});
        for (int y = 10; y >= 2; --y) boxes.push_back({1, y});
        const auto side = [](std::pair<int, int> a, std::pair<int, int> b) {
            return b.first > a.first ? 0 : b.second > a.second ? 1 : b.first < a.first ? 2 : 3;
        };
        const size_t n = boxes.size();
        for (size_t i = 0; i < n; ++i) {
            const int entry = (side(boxes[(i + n - 1) % n], boxes[i]) + 2) % 4;
            const int exit = side(boxes[i], boxes[(i + 1) % n]);
            for (int16_t cell : {int16_t{1}, int16_t{2}})
                for (int16_t rot = 0; rot < 4; ++rot)
                    if (Exit(cell, rot, entry) == exit) g.WorkGame.Box[boxes[i].first][boxes[i].second] = {cell, rot, 0};
            DrawCell(g, boxes[i].first, boxes[i].second);
        }
        const BoxRec& b = g.WorkGame.Box[1][1];
        g.CurBoxX = 1;
        g.CurBoxY = 1;
        g.CurEntDir = static_cast<int16_t>((side(boxes[n - 1], boxes[0]) + 2) % 4);  // from the box below
        g.CurPathId = g.CellDim[b.Cell].PathType[((g.CurEntDir - b.Rot) % 4 + 4) % 4][0];
        g.CurRunDot = 0;
        g.GameMode = 2;
        g.MoveTimer_Enabled = kTrue;
    }
};

void BM_MoveStepFastestRow(benchmark::State& state) {
    World w;

    w.Ring();
    Spurt(w.g);  // the fastest row: interval 0, the most dots per step
    const int16_t dots = SpeedValue(w.g, 2);
    for (auto _ : state) {
        MoveStep(w.g);
        if (w.g.GameMode != 2) state.SkipWithError("the vehicle left the ring");
    }
    state.counters["dots_per_step"] = dots;
}
BENCHMARK(BM_MoveStepFastestRow);

void BM_LayCell(benchmark::State& state) {
    World w;
    w.Ring();
    int i = 0;
    for (auto _ : state) {
        // Boxes inside the ring, away from the vehicle; half are empty, half covered.
        BoxAction(w.g, 1, 3 + (i % 10), 3 + (i / 10) % 7);
        ++i;
    }
}
BENCHMARK(BM_LayCell);

}  // namespace
}  // namespace ralvo
