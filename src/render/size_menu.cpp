#include <string>

#include "render/layout.h"
#include "shell/commands.h"
#include "shell/lifecycle.h"
#include "shell/menus.h"
#include "shell/options.h"
#include "shell/state.h"

namespace ralvo {

namespace {
constexpr int kSizeItems = MenuSize4 - MenuSize0 + 1;
}

void OpenSizeMenu(Game& g) {
    const int16_t displayW = static_cast<int16_t>(g.plat.DisplayWidth());
    const int16_t displayH = static_cast<int16_t>(g.plat.DisplayHeight());
    // Rows beyond the menu's items have no entry; items beyond the table are left alone.
    for (int i = 0; i < g.ScreenSizeLine && i < kSizeItems; ++i) {
        const ParamRow& r = g.ScreenSize[i];
        MenuItemState& item = g.Menu[MenuSize0 + i];
        item.visible = true;
        item.caption = std::to_string(r[0]) + " × " + std::to_string(r[1]) + "  ( " + std::to_string(r[2]) + " × " +
                       std::to_string(r[3]) + " )";
        item.enabled = !(r[0] > displayW || r[1] > displayH);
        item.checked = i == g.OptScreen;
        ApplyMenuItem(g, MenuSize0 + i);
    }
}

void MenuSize_Click(Game& g, int index) {
    if (g.GameMode != 0) EndGame(g);
    g.OptScreen = index;
    SaveOptions(g);
    LayoutWindow(g);
}

}  // namespace ralvo
