#include <gtest/gtest.h>

#include "platform/headless/headless_platform.h"
#include "render_support.h"
#include "shell/menus.h"
#include "shell/options.h"
#include "shell/state.h"

namespace ralvo {
namespace {

using testing::ConfigFile;
using testing::ScratchDir;

class OptionsTest : public ::testing::Test {
protected:
    OptionsTest() {
        g.IniFileName = dir.File("Ralvo.INI");
        g.CfgFileName = dir.File("Ralvo.CFG");
        g.DbgFileName = dir.File("Ralvo.DBG");
        g.ScoFileName = dir.File("Ralvo.SCO");
        ConfigFile cfg = ConfigFile::Standard();
        // Five screen sizes, indices 0..4.
        cfg.Set("Screen03", {1600, 1200, 16, 12, 100, 100, 100, 100});
        cfg.Set("Screen04", {1920, 1200, 18, 13, 100, 100, 100, 100});
        dir.Write("Ralvo.CFG", cfg.Text());
    }
    ScratchDir dir;
    HeadlessPlatform p;
    Game g{p};
};

TEST_F(OptionsTest, ValuesAndCorrections) {
    const struct {
        const char* name;
        const char* ini;  // nullptr: no settings file
        const char* dbg;  // nullptr: no debug switch file
        int32_t sound, skill, rhtClick, skipSound, skipPc, screen, useKey, debug;
    } cases[] = {
        {"no files", nullptr, nullptr, -1, 0, 1, 0, 0, 0, -1, 0},
        {"all set", "[Setup]\r\nSound=0\r\nSkill=2\r\nRhtClick=0\r\nSkipSoundError=1\r\nSkipPCValidate=-1\r\n"
                    "Screen=4\r\nUseKey=0\r\n", nullptr, 0, 2, 0, 1, -1, 4, 0, 0},
        {"skill 7", "[Setup]\r\nSkill=7\r\n", nullptr, -1, 0, 1, 0, 0, 0, -1, 0},
        {"skill -1", "[Setup]\r\nSkill=-1\r\n", nullptr, -1, 0, 1, 0, 0, 0, -1, 0},
        {"screen 5 of 5", "[Setup]\r\nScreen=5\r\n", nullptr, -1, 0, 1, 0, 0, 0, -1, 0},
        {"screen -1", "[Setup]\r\nScreen=-1\r\n", nullptr, -1, 0, 1, 0, 0, 0, -1, 0},
        {"flight without debug", "[Setup]\r\nRhtClick=3\r\n", nullptr, -1, 0, 0, 0, 0, 0, -1, 0},
        {"flight with debug", "[Setup]\r\nRhtClick=3\r\n", "[Debug]\r\nDebug=1\r\n", -1, 0, 3, 0, 0, 0, -1, 1},
        {"debug off in file", "[Setup]\r\nRhtClick=3\r\n", "[Debug]\r\nDebug=0\r\n", -1, 0, 0, 0, 0, 0, -1, 0},
        {"odd right click with debug", "[Setup]\r\nRhtClick=9\r\n", "[Debug]\r\nDebug=-1\r\n", -1, 0, 9, 0, 0, 0, -1, -1},
        {"debug file without key", nullptr, "[Debug]\r\n", -1, 0, 1, 0, 0, 0, -1, 0},
    };
    for (const auto& c : cases) {
        ScratchDir d;
        d.Write("Ralvo.CFG", dir.Read("Ralvo.CFG"));
        if (c.ini) d.Write("Ralvo.INI", c.ini);
        if (c.dbg) d.Write("Ralvo.DBG", c.dbg);
        HeadlessPlatform hp;
        Game gg(hp);
        gg.IniFileName = d.File("Ralvo.INI");
        gg.CfgFileName = d.File("Ralvo.CFG");
        gg.DbgFileName = d.File("Ralvo.DBG");
        gg.ScoFileName = d.File("Ralvo.SCO");
        LoadOptions(gg);
        EXPECT_EQ(gg.OptSound, c.sound) << c.name;
        EXPECT_EQ(gg.OptSkill, c.skill) << c.name;
        EXPECT_EQ(gg.OptRhtClick, c.rhtClick) << c.name;
        EXPECT_EQ(gg.OptSkipSoundError, c.skipSound) << c.name;
        EXPECT_EQ(gg.OptSkipPCValidate, c.skipPc) << c.name;
        EXPECT_EQ(gg.OptScreen, c.screen) << c.name;
        EXPECT_EQ(gg.OptUseKey, c.useKey) << c.name;
        EXPECT_EQ(gg.OptDebug, c.debug) << c.name;
        // Corrections stay in memory; the files keep their text.
        EXPECT_EQ(d.Exists("Ralvo.INI"), c.ini != nullptr) << c.name;
        if (c.ini) {
            EXPECT_EQ(d.Read("Ralvo.INI"), c.ini) << c.name;
        }

        const bool debug = c.debug != 0;
        EXPECT_EQ(gg.Menu[MenuDebug].visible, debug) << c.name;
        EXPECT_EQ(gg.Menu[MenuDebug].enabled, debug) << c.name;
        for (int id = MenuRhtClickFlight0; id <= MenuRhtClickFlight3; ++id) {
            EXPECT_EQ(gg.Menu[id].visible, debug) << c.name << " item " << id;
            ASSERT_NE(hp.MenuState(id), nullptr) << c.name;
            EXPECT_EQ(hp.MenuState(id)->visible, debug) << c.name;
        }
        ASSERT_NE(hp.MenuState(MenuDebug), nullptr);
        EXPECT_EQ(hp.MenuState(MenuDebug)->visible, debug) << c.name;
    }
}

TEST_F(OptionsTest, LoadingAppliesTheSkillToTheCellWeights) {
    dir.Write("Ralvo.INI", "[Setup]\r\nSkill=2\r\n");
    LoadOptions(g);
    // Standard cells: base 10 + i, per level (i Mod 3) - 1.
    EXPECT_EQ(g.CellDice[1][9], 11 + 2 * 0);
    EXPECT_EQ(g.CellDice[3][9], 13 + 2 * -1);
    EXPECT_EQ(g.CellDice[5][9], 15 + 2 * 1);
    EXPECT_GT(g.CellDiceTotal, 0);
}

TEST_F(OptionsTest, ABadConfigurationStopsBeforeTheSettings) {
    dir.Write("Ralvo.CFG", "[Config]\r\n");
    dir.Write("Ralvo.INI", "[Setup]\r\nSkill=2\r\n");
    EXPECT_THROW(LoadOptions(g), ProgramEnded);
    EXPECT_TRUE(p.LogHas("構成ファイルエラー 901"));
    EXPECT_EQ(g.OptSkill, 0);
}

TEST_F(OptionsTest, NewSettingsFileHoldsItsKeysInOrder) {
    LoadOptions(g);
    SaveOptions(g);
    EXPECT_EQ(dir.Read("Ralvo.INI"), "[Setup]\r\nSound=-1\r\nSkill=0\r\nRhtClick=1\r\nScreen=0\r\nUseKey=-1\r\n");
    EXPECT_FALSE(dir.Exists("Ralvo.DBG"));  // never created by the program
}

TEST_F(OptionsTest, SavingReplacesValuesInPlaceAndKeepsTheReadOnlyKeys) {
    dir.Write("Ralvo.INI", "[Setup]\r\nUseKey=0\r\nSkipSoundError=1\r\nSkill=7\r\nSkipPCValidate=1\r\n");
    LoadOptions(g);
    g.OptSound = 0;
    g.OptRhtClick = 0;
    g.OptScreen = 3;
    SaveOptions(g);
    EXPECT_EQ(dir.Read("Ralvo.INI"),
              "[Setup]\r\nUseKey=0\r\nSkipSoundError=1\r\nSkill=0\r\nSkipPCValidate=1\r\n"
              "Sound=0\r\nRhtClick=0\r\nScreen=3\r\n");
}

TEST_F(OptionsTest, DebugSwitchFileIsWrittenBackWhenPresent) {
    dir.Write("Ralvo.DBG", "[Debug]\r\nDebug=0\r\n");
    LoadOptions(g);
    SaveOptions(g);
    EXPECT_EQ(dir.Read("Ralvo.DBG"), "[Debug]\r\nDebug=0\r\n");

    dir.Write("Ralvo.DBG", "[Debug]\r\nDebug=1\r\n");
    dir.Write("Ralvo.INI", "[Setup]\r\nRhtClick=4\r\n");
    HeadlessPlatform p2;
    Game g2(p2);
    g2.IniFileName = g.IniFileName;
    g2.CfgFileName = g.CfgFileName;
    g2.DbgFileName = g.DbgFileName;
    g2.ScoFileName = g.ScoFileName;
    LoadOptions(g2);
    SaveOptions(g2);
    EXPECT_EQ(dir.Read("Ralvo.DBG"), "[Debug]\r\nDebug=1\r\n");
    EXPECT_EQ(dir.Read("Ralvo.INI"), "[Setup]\r\nRhtClick=4\r\nSound=-1\r\nSkill=0\r\nScreen=0\r\nUseKey=-1\r\n");
}

}  // namespace
}  // namespace ralvo
