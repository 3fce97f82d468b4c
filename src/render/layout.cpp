#include "render/layout.h"

#include <algorithm>

#include "data/rounding.h"
#include "render/draw.h"
#include "shell/state.h"

namespace ralvo {

void LayoutWindow(Game& g) {
    const int displayW = g.plat.DisplayWidth(), displayH = g.plat.DisplayHeight();

    // Step down to the largest size the display holds; row 0 when none does. Not saved.
    g.OptScreen = std::clamp(g.OptScreen, 0, static_cast<int>(g.ScreenSize.size()) - 1);
    while (g.ScreenSize[g.OptScreen][0] > displayW || g.ScreenSize[g.OptScreen][1] > displayH) {
        if (--g.OptScreen < 0) {
            g.OptScreen = 0;
            break;
        }
    }
    const ParamRow& size = g.ScreenSize[g.OptScreen];
    // The configuration reader rejects other sizes; the clamp keeps the board inside its array regardless.
    g.MaxBoxX = static_cast<int16_t>(std::clamp<int>(size[2], 1, kMaxBoxX));
    g.MaxBoxY = static_cast<int16_t>(std::clamp<int>(size[3], 1, kMaxBoxY));

    const int boardW = BoxToPixelX(g.MaxBoxX) + 20, boardH = BoxToPixelY(g.MaxBoxY) + 10;
    g.BasePic.Reset(boardW, boardH);
    g.plat.SetPictureVisible(kBasePic, true);
    g.plat.HideLabel();
    g.NextPic.Reset(kNextPicWidth, boardH);
    g.plat.SetPictureVisible(kNextPic, true);
    // The back end adds the frame and centres the window on the display.
    g.plat.SetClientSize(kNextPicWidth + boardW, boardH);

    g.ScoreTotal = 0;
    g.ScoreGoing = 0;
    g.TimeOutCount = 0;
    RedrawScreen(g);
    ShowTitle(g);
}

void ShowTitle(Game& g) {
    const Image& title = g.Fig.TitlePic;
    const int clientW = kNextPicWidth + g.BasePic.width(), clientH = g.BasePic.height();
    const int x = static_cast<int>(RoundEven((clientW - title.width()) / 2.0 + 1));
    const int y = static_cast<int>(RoundEven((clientH - title.height()) / 2.0));
    g.plat.ShowTitle(title, x, y);
}

}  // namespace ralvo
