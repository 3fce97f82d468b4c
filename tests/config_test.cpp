#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

#include "data/config.h"
#include "platform/headless/headless_platform.h"
#include "render_support.h"
#include "shell/state.h"

namespace ralvo {
namespace {

using testing::ConfigFile;
using testing::ScratchDir;

TEST(ReadFieldNumber, ReadsLikeTheGamesNumberReader) {
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        const char* field;
        double value;
    } cases[] = {
        {"12", 12},      {"12abc", 12},  {" - 3", -3},     {"1 2\t3", 123}, {"+7", 7},     {"1.5.2", 1.5},
        {".5", 0.5},     {"5.", 5},      {"1e2", 100},     {"2E-1", 0.2},   {"1e", 1},     {"1e+", 1},
        {"abc", 0},      {"", 0},        {"-", 0},         {"--1", 0},      {".", 0},      {"1e999", inf},
        {"-1e999", -inf}, {"1e-999", 0}, {"0.000e999", 0}, {"3,4", 3},
    };
    for (const auto& c : cases) EXPECT_EQ(ReadFieldNumber(c.field), c.value) << '"' << c.field << '"';
}

TEST(SplitParamLine, FieldsRoundingAndCheck) {
    const struct {
        const char* text;
        int n;
        bool good;
        std::vector<int16_t> row;  // leading columns expected; the rest must be 0
    } cases[] = {
        {"10,2,139", 2, true, {10, 2, 139}},
        {"10, 2 ,1 3 9", 2, true, {10, 2, 139}},           // blanks inside a field
        {"1\t0,2,139", 2, true, {10, 2, 139}},             // tab inside a field
        {"-20,10,117", 2, true, {-20, 10, 117}},           // sum -10: Mod keeps the sign
        {"-300,0,82", 2, true, {-300, 0, 82}},             // -300 Mod 255 = -45
        {"300,0,172", 2, true, {300, 0, 172}},
        {"2.5,3.5,133", 2, true, {2, 4, 133}},             // ties to even
        {"-2.5,-3.5,121", 2, true, {-2, -4, 121}},
        {"2.6,0.4,130", 2, true, {3, 0, 130}},
        {"10,2,139,7,8", 2, true, {10, 2, 139, 7, 8}},     // extra values stay, outside the check
        {"10,2,139,", 2, true, {10, 2, 139}},              // an empty remainder ends the list
        {",10,137", 2, true, {0, 10, 137}},                // an empty field is 0
        {"10,2", 2, false, {10, 2}},                       // missing check value
        {"", 2, false, {}},
        {"10,2,140", 2, false, {10, 2, 140}},
        {"1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,99999", 2, false, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}},
    };
    for (const auto& c : cases) {
        ParamRow row;
        row.fill(77);
        EXPECT_EQ(SplitParamLine(c.text, row, c.n), c.good) << c.text;
        for (size_t k = 0; k < row.size(); ++k)
            EXPECT_EQ(row[k], k < c.row.size() ? c.row[k] : 0) << c.text << " column " << k;
    }
}

TEST(ReadParamLine, ValuesOutside16BitsAreNamed) {
    ParamRow row;
    EXPECT_EQ(ReadParamLine("32767,-32768,126", row, 2), ParamLineStatus::Good);
    EXPECT_EQ(ReadParamLine("32767.5,0,127", row, 2), ParamLineStatus::OutOfRange);
    EXPECT_EQ(ReadParamLine("-32768.5,0,-1", row, 2), ParamLineStatus::Good);  // rounds to -32768
    EXPECT_EQ(ReadParamLine("1e9,0,127", row, 2), ParamLineStatus::OutOfRange);
    EXPECT_EQ(ReadParamLine("10,2,139,0,0,0,0,0,0,0,0,0,0,0,40000", row, 2), ParamLineStatus::OutOfRange);
}

class ConfigTest : public ::testing::Test {
protected:
    ConfigTest() { g.CfgFileName = dir.File("Ralvo.CFG"); }
    // Loads the file; returns the message box text, or "" when loading went through.
    std::string Load(const ConfigFile& cfg) {
        dir.Write("Ralvo.CFG", cfg.Text());
        return LoadNow();
    }
    std::string LoadNow() {
        p.ClearLog();
        try {
            LoadConfig(g);
        } catch (const ProgramEnded&) {
            for (const auto& line : p.Log())
                if (line.rfind("msgbox", 0) == 0) return line;
            return "ended without a message";
        }
        return "";
    }
    static std::string ErrorLine(int detail) {
        return "msgbox style=16 title=\"Ralvo\" text=\"構成ファイルエラー " + std::to_string(detail) + "\"";
    }

    ScratchDir dir;
    HeadlessPlatform p;
    Game g{p};
};

TEST_F(ConfigTest, StandardFileFillsTheTables) {
    ASSERT_EQ(Load(ConfigFile::Standard()), "");
    EXPECT_EQ(g.StageParamLine, 2);
    EXPECT_EQ(g.ScreenSizeLine, 3);
    EXPECT_EQ(g.SpeedParamLine, 2);
    EXPECT_EQ(g.CellDiceLine, 12);
    EXPECT_EQ(g.StageParam[1][3], 300);
    EXPECT_EQ(g.StageParam[1][12], testing::LineCheck({0, 500, 120, 300, 10, 50, 30, 4, 20, 8, 10, 5}));
    EXPECT_EQ(g.SkillParam[2][9], 250);
    EXPECT_EQ(g.ScreenSize[1][2], 10);
    EXPECT_EQ(g.SpeedParam[0][1], 4);
    EXPECT_EQ(g.CellDice[12][0], 22);
    EXPECT_EQ(g.CellDice[13], ParamRow{});
}

TEST_F(ConfigTest, EveryFaultHasItsDetail) {
    using Edit = std::function<void(ConfigFile&)>;
    const struct {
        const char* name;
        Edit edit;
        int detail;
    } cases[] = {
        {"stage check", [](ConfigFile& c) { c.SetRaw("Stage01", "0,500,120,300,10,50,30,4,20,8,10,5,1", 1); }, 1001},
        {"skill check", [](ConfigFile& c) { c.SetRaw("Skill02", "0,1,1", 1); }, 2002},
        {"screen check", [](ConfigFile& c) { c.SetRaw("Screen02", "1280,1024,13,11,150,150,100,100,0", 0); }, 3002},
        {"speed check", [](ConfigFile& c) { c.SetRaw("Speed00", "200,4", 0); }, 4000},
        {"cell check", [](ConfigFile& c) { c.SetRaw("Cell07", "17,0,143", 143); }, 5007},
        {"no stage", [](ConfigFile& c) { c.Remove("Stage00"); }, 901},
        {"skill missing", [](ConfigFile& c) { c.Remove("Skill01"); }, 902},
        {"no screen", [](ConfigFile& c) { c.Remove("Screen00"); }, 903},
        {"no speed", [](ConfigFile& c) { c.Remove("Speed00"); }, 904},
        {"no cell", [](ConfigFile& c) { c.Remove("Cell01"); }, 905},
        {"no check", [](ConfigFile& c) { c.RemoveCheck(); }, 908},
        {"check wrong", [](ConfigFile& c) { c.SetCheck("5"); }, 909},
        {"check not a number", [](ConfigFile& c) { c.SetCheck("x"); }, 909},
        {"EOL as value", [](ConfigFile& c) { c.SetRaw("Stage00", "EOL", 0); }, 901},
        // Our own details for values the game cannot use.
        {"no row for stage 0", [](ConfigFile& c) { c.Set("Stage01", {1, 500, 120, 300, 10, 50, 30, 4, 20, 8, 10, 5}); }, 900},
        {"cell value above 16 bits", [](ConfigFile& c) { c.SetRaw("Cell03", "40000,0,194", 194); }, 15003},
        {"stage value above 16 bits", [](ConfigFile& c) { c.SetRaw("Stage00", "1e6", 0); }, 11000},
        {"board too wide", [](ConfigFile& c) { c.Set("Screen01", {1024, 768, 19, 8, 100, 100, 100, 100}); }, 13001},
        {"board too high", [](ConfigFile& c) { c.Set("Screen00", {800, 600, 8, 14, 100, 100, 100, 100}); }, 13000},
        {"empty board", [](ConfigFile& c) { c.Set("Screen00", {800, 600, 0, 6, 100, 100, 100, 100}); }, 13000},
        {"speed divisor 0", [](ConfigFile& c) { c.Set("Speed01", {0, 0, 1, 1, 1}); }, 14001},
        {"weights above 32767", [](ConfigFile& c) { c.Set("Cell01", {30000, 2000}); }, 906},
    };
    for (const auto& c : cases) {
        ConfigFile cfg = ConfigFile::Standard();
        c.edit(cfg);
        EXPECT_EQ(Load(cfg), ErrorLine(c.detail)) << c.name;
    }
}

TEST_F(ConfigTest, MissingFileStopsWithNoStageLine) {
    EXPECT_EQ(LoadNow(), ErrorLine(901));
}

TEST_F(ConfigTest, GroupsEndAtTheirFirstMissingKey) {
    ConfigFile cfg = ConfigFile::Standard();
    cfg.Set("Stage02", {0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1});
    cfg.Set("Stage03", {0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1});
    // Behind the gaps: never read, so a bad check there does no harm.
    cfg.SetRaw("Stage05", "bad", 0);
    cfg.Remove("Cell10");
    cfg.SetRaw("Cell11", "bad", 0);
    ASSERT_EQ(Load(cfg), "");
    EXPECT_EQ(g.StageParamLine, 4);
    EXPECT_EQ(g.CellDiceLine, 9);
    EXPECT_EQ(g.CellDice[11], ParamRow{});
}

TEST_F(ConfigTest, HundredCellLines) {
    ConfigFile cfg = ConfigFile::Standard();
    for (int i = 1; i <= 100; ++i) cfg.Set(ConfigFile::CellKey(i), {1, 0});
    ASSERT_EQ(Load(cfg), "");
    EXPECT_EQ(g.CellDiceLine, 100);
    cfg.SetRaw("Cell100", "1,0,1", 1);
    EXPECT_EQ(Load(cfg), ErrorLine(5100));
}

TEST_F(ConfigTest, SkillWeights) {
    ASSERT_EQ(Load(ConfigFile::Standard()), "");
    // Cell i: base 10 + i, per level (i Mod 3) - 1.
    for (int skill = 0; skill <= 2; ++skill) {
        g.OptSkill = skill;
        ApplySkillToDice(g);
        int total = 0;
        for (int i = 1; i <= 12; ++i) {
            EXPECT_EQ(g.CellDice[i][9], 10 + i + skill * (i % 3 - 1)) << i;
            total += g.CellDice[i][9];
        }
        EXPECT_EQ(g.CellDiceTotal, total);
    }
    g.CellDice[1][0] = 1;
    g.CellDice[1][1] = -5;  // negative weights count as 0
    g.OptSkill = 1;
    ApplySkillToDice(g);
    EXPECT_EQ(g.CellDice[1][9], 0);
}

class StageVariablesTest : public ::testing::Test {
protected:
    StageVariablesTest() {
        g.StageParamLine = 2;
        g.StageParam[0] = {5, 400, 90, 500, 20, 60, 20, 3, 15, 6, 12, 6};
        g.StageParam[1] = {0, 500, 120, 300, 10, 50, 30, 4, 20, 8, 10, 5};
        for (auto& k : g.SkillParam) k.fill(100);
        g.ScreenSize[0] = {800, 600, 8, 6, 100, 100, 100, 100};
    }
    HeadlessPlatform p;
    Game g{p};
};

TEST_F(StageVariablesTest, RowChoiceAndArithmetic) {
    g.CurStage = 0;
    g.ScreenSize[0][5] = 50;
    ASSERT_TRUE(SetStageVariables(g));
    EXPECT_EQ(g.MoveTimer_Interval, 500);
    EXPECT_EQ(g.ScoreGoing, -150);  // 300 x 100% x 50%, negated
    EXPECT_EQ(g.ScoreCellOnto, -50);
    EXPECT_EQ(g.RockLimit, 8);
    g.CurStage = 7;  // rows go from the highest first stage down
    ASSERT_TRUE(SetStageVariables(g));
    EXPECT_EQ(g.MoveTimer_Interval, 400);
    EXPECT_EQ(g.TimeOutCount, 90);
    EXPECT_EQ(g.ScoreCellPass, 20);
    EXPECT_EQ(g.TakeOffRate, 20);
    EXPECT_EQ(g.BombRate, 3);
    EXPECT_EQ(g.RockRate, 15);
    EXPECT_EQ(g.HoleRate, 12);
    EXPECT_EQ(g.WarpRate, 6);
}

TEST_F(StageVariablesTest, RoundingAndCaps) {
    const struct {
        int col, s, k, c;  // stage value, skill and screen percentages
        int32_t Game::*wide;
        int16_t Game::*narrow;
        int expected;
    } cases[] = {
        {1, 5, 50, 100, &Game::MoveTimer_Interval, nullptr, 2},      // 2.5 -> 2
        {1, 7, 50, 100, &Game::MoveTimer_Interval, nullptr, 4},      // 3.5 -> 4
        {2, 3, 50, 100, &Game::TimeOutCount, nullptr, 2},            // 1.5 -> 2
        {2, 10, 50, 25, &Game::TimeOutCount, nullptr, 1},            // 1.25 -> 1
        {3, 5, 50, 100, &Game::ScoreGoing, nullptr, -2},             // -2.5 -> -2
        {9, 8, 250, 100, nullptr, &Game::RockLimit, 10},             // 20 capped at 10
        {9, 3, 250, 100, nullptr, &Game::RockLimit, 8},              // 7.5 -> 8
        {10, 10, 100, 45, nullptr, &Game::HoleRate, 4},              // 4.5 -> 4
        {11, 10, 100, 55, nullptr, &Game::WarpRate, 6},              // 5.5 -> 6
    };
    for (const auto& c : cases) {
        g.CurStage = 0;
        g.StageParam[1][c.col] = static_cast<int16_t>(c.s);
        g.SkillParam[0][c.col] = static_cast<int16_t>(c.k);
        if (c.col == 2 || c.col == 3 || c.col == 10 || c.col == 11)
            g.ScreenSize[0][c.col == 2 ? 4 : c.col == 3 ? 5 : c.col - 4] = static_cast<int16_t>(c.c);
        ASSERT_TRUE(SetStageVariables(g));
        EXPECT_EQ(c.wide ? g.*c.wide : g.*c.narrow, c.expected) << "column " << c.col << " " << c.s;
        for (auto& k : g.SkillParam) k.fill(100);
        g.ScreenSize[0] = {800, 600, 8, 6, 100, 100, 100, 100};
    }
}

TEST_F(StageVariablesTest, ValuesTheVariablesCannotHoldStop) {
    g.CurStage = 0;
    g.StageParam[1][6] = 30000;
    g.SkillParam[0][6] = 200;  // take-off rate 60000 does not fit 16 bits
    EXPECT_THROW(SetStageVariables(g), ProgramEnded);
    EXPECT_TRUE(p.LogHas("構成ファイルエラー 11001"));

    HeadlessPlatform p2;
    Game g2(p2);
    g2.StageParamLine = 1;
    g2.StageParam[0] = {0, 1, 32767};
    g2.SkillParam[0][2] = 32767;
    g2.ScreenSize[0][4] = 32767;  // time allowed beyond 32 bits
    EXPECT_THROW(SetStageVariables(g2), ProgramEnded);
    EXPECT_TRUE(p2.LogHas("構成ファイルエラー 11000"));
}

TEST_F(StageVariablesTest, NoRowForTheStageStops) {
    g.StageParam[1][0] = 2;
    g.CurStage = 1;
    EXPECT_THROW(SetStageVariables(g), ProgramEnded);
    EXPECT_TRUE(p.LogHas("構成ファイルエラー 900"));
}

TEST_F(StageVariablesTest, ApplyStageParamsAdvancesTheStageFirst) {
    g.StageParam[1][0] = 1;  // no row for stage 0
    g.CurStage = -1;         // a new game
    EXPECT_THROW(ApplyStageParams(g), ProgramEnded);
    EXPECT_EQ(g.CurStage, 0);
    EXPECT_TRUE(p.LogHas("構成ファイルエラー 900"));
    EXPECT_EQ(g.MoveTimer_Interval, 0);  // nothing set, no stage started
}

}  // namespace
}  // namespace ralvo
