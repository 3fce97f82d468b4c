#include "extras/dump.h"

#include <gtest/gtest.h>

#include "platform/profile.h"
#include "shell/state.h"
#include "test_support.h"

namespace ralvo {
namespace {

TEST(Dump, RowIsFifteenRightAlignedFields) {
    ParamRow row{};
    row[0] = 5;
    row[1] = -12;
    row[2] = 1234;
    row[3] = -1234;  // wider than the field: written whole
    const std::string text = DumpRow(row);
    EXPECT_EQ(text.substr(0, 21), "   5  -12 1234 -1234 ");
    ParamRow zeros{};
    EXPECT_EQ(DumpRow(zeros).size(), 75u);
}

struct DumpTest : ::testing::Test {
    HeadlessPlatform p;
    Game g{p};
    test::TempDir dir;
    void SetUp() override { g.AppDir = dir.str(); }
};

TEST_F(DumpTest, LinesFollowThePrintStyle) {
    g.OptSkill = 2;
    g.OptDebug = -1;
    g.ScoreGoing = -150;
    g.WorkGame.Box[17][12] = BoxRec{46, 3, 2048};
    g.StageParamLine = 1;
    g.StageParam[0][1] = 500;
    g.CellDim[1].CellHdr = kCellMagic;
    g.CellDim[1].CellId = 1;
    g.CellDim[1].PathType[0][0] = 2;
    g.CellDim[1].PathType[2][1] = 7;
    g.NumCellDim = 1;
    g.PathDim[2].PathHdr = kPathMagic;
    g.PathDim[2].PathId = 2;
    g.PathDim[2].PathDir = 2;
    g.PathDim[2].PathLen = 81;
    g.PathDim[2].Dot[80] = DotRec{0, 40, 8, 0};
    g.NumPathDim = 2;
    const auto lines = DumpLines(g, "Dump Test");
    auto has = [&](const std::string& s) {
        return std::find(lines.begin(), lines.end(), s) != lines.end();
    };
    EXPECT_EQ(lines.front(), std::string(60, '*'));
    EXPECT_EQ(lines.back(), std::string(60, '/'));
    EXPECT_EQ(lines[1].rfind("Dump Test dump at ", 0), 0u);
    EXPECT_TRUE(has("OptSkill =  2  OptDebug = -1 "));
    EXPECT_TRUE(has("ScoreGoing = -150 "));
    EXPECT_TRUE(has("SoundDevice = False"));
    EXPECT_TRUE(has("StageParam(00) =    0  500    0    0    0    0    0    0    0    0    0    0    0    0    0 "));
    EXPECT_TRUE(has("  Box(17,12) = Cell =  46  Rot =  3  BoxAttr =  2048 "));
    EXPECT_TRUE(has("CellDim(1)  CellHdr = CeV1"));
    EXPECT_TRUE(has("  PathType(*,*) = 2 0 0 0 / 0 0 0 0 / 0 7 0 0 / 0 0 0 0 / "));
    EXPECT_TRUE(has("CellDim(2)  CellHdr =     "));
    EXPECT_TRUE(has("  PathLen =  81  PathMid =  0 "));
    EXPECT_TRUE(has("  Dot(80) = Xx =  0  Yy =  40  Angle =  8  Flag =  0 "));
    EXPECT_TRUE(has("CurRock(9)"));
}

TEST_F(DumpTest, TwoDumpsAppendTwoFramedCopies) {
    DumpAll(g, "Dump Test");
    DumpAll(g, "Dump Test");
    const std::string text = Cp932ToUtf8(dir.Read("Dump.Log"));
    size_t starts = 0, ends = 0;
    for (size_t at = 0; (at = text.find(std::string(60, '*') + "\r\n", at)) != std::string::npos; ++at) ++starts;
    for (size_t at = 0; (at = text.find(std::string(60, '/') + "\r\n", at)) != std::string::npos; ++at) ++ends;
    EXPECT_EQ(starts, 2u);
    EXPECT_EQ(ends, 2u);
}

TEST_F(DumpTest, UnwritableDumpIsSkipped) {
    g.AppDir = dir.file("no-such-dir");
    EXPECT_NO_THROW(DumpAll(g, "Dump Test"));
}

}  // namespace
}  // namespace ralvo
