#include "shell/options.h"

#include <string>

#include "data/config.h"
#include "platform/files.h"
#include "platform/profile.h"
#include "shell/commands.h"
#include "shell/menus.h"
#include "shell/state.h"

namespace ralvo {
namespace {

constexpr int kFlightItems[] = {MenuRhtClickFlight0, MenuRhtClickFlight1, MenuRhtClickFlight2, MenuRhtClickFlight3};

void SetItemVisible(Game& g, int id, bool visible, bool enabled) {
    g.Menu[id].visible = visible;
    g.Menu[id].enabled = enabled;
    ApplyMenuItem(g, id);
}

}  // namespace

void LoadOptions(Game& g) {
    LoadConfig(g);
    const std::string& ini = g.IniFileName;

    g.OptSound = GetPrivateProfileInt("Setup", "Sound", -1, ini);
    g.OptSkill = GetPrivateProfileInt("Setup", "Skill", 0, ini);
    if (g.OptSkill < 0 || g.OptSkill > 2) g.OptSkill = 0;
    ApplySkillToDice(g);
    g.OptRhtClick = GetPrivateProfileInt("Setup", "RhtClick", 1, ini);
    g.OptSkipSoundError = GetPrivateProfileInt("Setup", "SkipSoundError", 0, ini);
    g.OptSkipPCValidate = GetPrivateProfileInt("Setup", "SkipPCValidate", 0, ini);
    g.OptScreen = GetPrivateProfileInt("Setup", "Screen", 0, ini);
    if (g.OptScreen < 0 || g.OptScreen >= g.ScreenSizeLine) g.OptScreen = 0;
    g.OptUseKey = GetPrivateProfileInt("Setup", "UseKey", -1, ini);
    g.OptDebug = FileExists(g.DbgFileName) ? GetPrivateProfileInt("Debug", "Debug", 0, g.DbgFileName) : 0;

    const bool debug = g.OptDebug != 0;
    // The flight modes of the right button exist for debugging only.
    if (!debug && g.OptRhtClick != 0 && g.OptRhtClick != 1) g.OptRhtClick = 0;
    SetItemVisible(g, MenuDebug, debug, debug);
    for (int id : kFlightItems) SetItemVisible(g, id, debug, g.Menu[id].enabled);

    // Loading the high-score table belongs here; it comes with the score table.
}

void SaveOptions(Game& g) {
    const std::string& ini = g.IniFileName;
    // A failed write is not reported: the options then revert to the file at the next start.
    WritePrivateProfileString("Setup", "Sound", std::to_string(g.OptSound), ini);
    WritePrivateProfileString("Setup", "Skill", std::to_string(g.OptSkill), ini);
    WritePrivateProfileString("Setup", "RhtClick", std::to_string(g.OptRhtClick), ini);
    // The debug switch file is never created here, only kept up to date.
    if (FileExists(g.DbgFileName))
        WritePrivateProfileString("Debug", "Debug", std::to_string(g.OptDebug), g.DbgFileName);
    WritePrivateProfileString("Setup", "Screen", std::to_string(g.OptScreen), ini);
    WritePrivateProfileString("Setup", "UseKey", std::to_string(g.OptUseKey), ini);
}

}  // namespace ralvo
