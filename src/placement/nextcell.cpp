#include "placement/nextcell.h"

#include <cmath>

#include "data/celldata.h"
#include "game/random_draw.h"
#include "render/layout.h"
#include "shell/errors.h"
#include "shell/state.h"

namespace ralvo {

namespace {
constexpr int16_t kOfferX = 2;
const int16_t kOfferY = BoxToPixelY(4);

const CellRec& OfferedCell(const Game& g) {
    // NextCid is at most CellDiceLine + 1 <= 101, inside the table.
    return g.CellDim[static_cast<size_t>(g.NextCid)];
}
}  // namespace

void GenerateNextCell(Game& g) {
    // Drawn in 32 bits so that a table whose weights add up past 32767 still works.
    int32_t r = static_cast<int32_t>(std::floor(g.rng.Uniform() * g.CellDiceTotal)) + 1;
    int16_t cid = static_cast<int16_t>(g.CellDiceLine + 1);
    for (int16_t i = 1; i <= g.CellDiceLine; ++i) {
        r -= g.CellDice[static_cast<size_t>(i)][9];
        if (r <= 0) {
            cid = i;
            break;
        }
    }
    g.NextCid = cid;
    g.NextRot = static_cast<int16_t>(DrawRandomSingle(g, 4));
    g.NextBoxAttr = 0;
    ChooseNextAttr(g);
    DrawNextCell(g);
    g.plat.RefreshPicture(kNextPic);
}

void ChooseNextAttr(Game& g) {
    if ((OfferedCell(g).Cellattr & kAttrTurntable) == 0) return;
    if (DrawRandom(g, 2) == 1) g.NextBoxAttr = (g.NextRot == 0 || g.NextRot == 2) ? 1 : 2;
}

void DrawNextCell(Game& g) {
    if (!IsValidCell(g, g.NextCid)) {
        ErrorStop(g, 2, g.NextCid);
        return;
    }
    // The offer shows picture number NextCid; a cell without such a picture, or
    // with a picture narrower than one frame, shows nothing.
    if (g.NextCid < static_cast<int16_t>(g.Fig.CellPic.size())) {
        const Image& pic = g.Fig.CellPic[static_cast<size_t>(g.NextCid)];
        const auto frames = static_cast<int>(std::floor(static_cast<float>(pic.width()) / 81.0f));
        if (frames > 0) {
            BitBlt(g.NextPic, kOfferX, kOfferY, 81, 81, pic, (g.NextRot % frames) * 81, 0, Rop::Copy);
        }
    }
    DrawNextOverlay(g, kOfferX, kOfferY);
}

void DrawNextOverlay(Game& g, int16_t x, int16_t y) {
    if ((OfferedCell(g).Cellattr & kAttrTurntable) == 0) return;
    const int dx = x + 40 - 10;
    const int dy = y + 40 - 10;
    BitBlt(g.NextPic, dx, dy, 21, 21, g.Fig.MmaskPic, 0, 0, Rop::And);
    BitBlt(g.NextPic, dx, dy, 21, 21, g.Fig.MarshPic, (g.NextBoxAttr & 7) * 21, 0, Rop::Invert);
}

}  // namespace ralvo
