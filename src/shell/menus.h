// The menu tree as data: ids, captions, access keys and shortcuts.
#pragma once
#include <string>
#include <vector>

#include "platform/platform.h"

namespace ralvo {

enum MenuId : int {
    MenuGame, MenuStart, MenuStop, MenuBar11, MenuSkill0, MenuSkill1, MenuSkill2, MenuBar15,
    MenuScore, MenuBar16, MenuExit,
    MenuSetup, MenuSound, MenuBar21, MenuUseKey, MenuBar22, MenuRhtClickIgnore, MenuRhtClickSpurt,
    MenuRhtClickFlight0, MenuRhtClickFlight1, MenuRhtClickFlight2, MenuRhtClickFlight3,
    MenuResize, MenuSize0, MenuSize1, MenuSize2, MenuSize3, MenuSize4,
    MenuHelp, MenuHowto, MenuAbout,
    MenuDebug, MenuDebugFlight, MenuDebugRock, MenuDebugTimeUp, MenuDebugThatGame, MenuDumpAll,
    kMenuCount
};

// Every item in display order, with its parent.
const std::vector<MenuItemDef>& MenuTree();

// "MenuStart", "MenuSkill 1" style names for scripts and logs. Returns -1 when unknown.
int MenuIdFromName(const std::string& name, int index = -1);
std::string MenuScriptName(int id);

}  // namespace ralvo
