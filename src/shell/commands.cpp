#include "shell/commands.h"

#include "game/stage.h"
#include "placement/input.h"
#include "render/layout.h"
#include "shell/lifecycle.h"
#include "shell/options.h"
#include "shell/state.h"

namespace ralvo {
namespace {

void NotBuiltYet(Game& g, int id) { g.plat.Note(MenuScriptName(id) + ": not built yet"); }

// Settings menu: check marks follow the options.
void MenuSetup_Click(Game& g) {
    g.Menu[MenuSound].checked = g.OptSound != 0;
    g.Menu[MenuUseKey].checked = g.OptUseKey != 0;
    const int rightItems[] = {MenuRhtClickIgnore, MenuRhtClickSpurt, MenuRhtClickFlight0,
                              MenuRhtClickFlight1, MenuRhtClickFlight2, MenuRhtClickFlight3};
    for (int i = 0; i < 6; ++i) g.Menu[rightItems[i]].checked = g.OptRhtClick == i;
}

void MenuHowto_Click(Game& g) {
    if (!g.plat.WinHelp(g.HelpFileName, kHelpFinder, 0))
        g.plat.MessageBox("ヘルプファイルが開けません", kBaseName, kMsgExclamation);
}

}  // namespace

void OpenMenu(Game& g, int topMenuId) {
    switch (topMenuId) {
        case MenuGame: MenuGame_Click(g); break;
        case MenuSetup: MenuSetup_Click(g); break;
        case MenuResize: OpenSizeMenu(g); break;
        case MenuDebug: NotBuiltYet(g, topMenuId); break;
        default: break;  // the Help menu has no open handler
    }
    for (const MenuItemDef& item : MenuTree())
        if (item.parent == topMenuId) ApplyMenuItem(g, item.id);
}

void RunMenuCommand(Game& g, int id) {
    switch (id) {
        case MenuStart: MenuStart_Click(g); break;
        case MenuStop: MenuStop_Click(g); break;
        case MenuSkill0: case MenuSkill1: case MenuSkill2: MenuSkill_Click(g, id - MenuSkill0); break;
        case MenuExit: EndProgram(g);
        case MenuSound:
            g.OptSound = g.OptSound != 0 ? 0 : -1;
            SaveOptions(g);
            break;
        case MenuUseKey: MenuUseKey_Click(g); break;
        case MenuRhtClickIgnore: case MenuRhtClickSpurt:
        case MenuRhtClickFlight0: case MenuRhtClickFlight1: case MenuRhtClickFlight2: case MenuRhtClickFlight3:
            MenuRhtClick_Click(g, id - MenuRhtClickIgnore);
            break;
        case MenuSize0: case MenuSize1: case MenuSize2: case MenuSize3: case MenuSize4:
            MenuSize_Click(g, id - MenuSize0);
            break;
        case MenuHowto: MenuHowto_Click(g); break;
        default: NotBuiltYet(g, id); break;  // scores, version, debug commands come later
    }
}

}  // namespace ralvo
