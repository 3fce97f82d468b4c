#include "data/celldata.h"

#include <gtest/gtest.h>

#include "shell/state.h"
#include "test_support.h"

namespace ralvo {
namespace {

using test::TempDir;

std::string CellBytes(int id, bool goodMagic = true) {
    CellRec c;
    c.CellHdr = goodMagic ? kCellMagic : std::array<char, 4>{'X', 'X', 'X', 'X'};
    c.CellId = static_cast<int16_t>(id);
    c.PathType[0][0] = 1;
    uint8_t b[kCellRecLen];
    EncodeCellRec(c, b);
    return std::string(reinterpret_cast<char*>(b), kCellRecLen);
}

std::string PathBytes(int id, int dir, int len) {
    PathRec p;
    p.PathHdr = kPathMagic;
    p.PathId = static_cast<int16_t>(id);
    p.PathDir = static_cast<int16_t>(dir);
    p.PathLen = static_cast<int16_t>(len);
    uint8_t b[kPathRecLen];
    EncodePathRec(p, b);
    return std::string(reinterpret_cast<char*>(b), kPathRecLen);
}

struct Loaded {
    HeadlessPlatform p;
    Game g{p};
    TempDir dir;
    Loaded() { g.AppDir = dir.str(); }
};

struct CellFileCase {
    const char* name;
    std::string bytes;
    int16_t numCellDim;
    int32_t recCount;
    std::vector<int> valid;
    std::vector<int> invalid;
};

TEST(CellData, LoadCellsCountsAndBlanks) {
    std::string twentyFive;
    for (int i = 1; i <= 25; ++i) twentyFive += CellBytes(i);
    const std::string badMiddle = CellBytes(1) + CellBytes(2, false) + CellBytes(3);
    const std::vector<CellFileCase> cases = {
        {"25 records", twentyFive, 25, 25, {1, 25}, {26, 100}},
        {"bad magic in the middle", badMiddle, 3, 3, {1, 3}, {2}},
        {"60 bytes count 2, the half record is all zero", CellBytes(1) + std::string(20, '\0'), 1, 2, {1}, {2}},
        {"100 bytes count 2 (ties to even)", CellBytes(1) + CellBytes(2) + std::string(20, 'x'), 2, 2, {1, 2}, {3}},
        {"140 bytes count 4, a cut record keeps its magic", CellBytes(1) + CellBytes(2) + CellBytes(3) +
             CellBytes(4).substr(0, 20), 4, 4, {1, 4}, {5}},
        {"empty file", "", 0, 0, {}, {1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Loaded t;
        t.dir.Write("CELL.DAT", c.bytes);
        LoadCells(t.g);
        EXPECT_EQ(t.g.NumCellDim, c.numCellDim);
        EXPECT_EQ(t.g.CellRecCount, c.recCount);
        for (int id : c.valid) EXPECT_TRUE(IsValidCell(t.g, id)) << id;
        for (int id : c.invalid) {
            EXPECT_FALSE(IsValidCell(t.g, id)) << id;
            EXPECT_EQ(t.g.CellDim[id].CellId, 0) << id;
        }
        EXPECT_FALSE(IsValidCell(t.g, 0));
        EXPECT_FALSE(IsValidCell(t.g, -1));
        EXPECT_FALSE(IsValidCell(t.g, t.g.NumCellDim + 1));
    }
}

TEST(CellData, MissingFileShowsItsMessageAndEnds) {
    struct Case {
        const char* present;
        void (*load)(Game&);
        const char* message;
    };
    const Case cases[] = {{"PATH.DAT", LoadCells, "セルファイル オープンエラー"},
                          {"CELL.DAT", LoadPaths, "パスファイル オープンエラー"}};
    for (const auto& c : cases) {
        Loaded t;
        t.dir.Write(c.present, "");
        EXPECT_THROW(c.load(t.g), ProgramEnded);
        EXPECT_TRUE(test::LogHas(t.p, c.message)) << test::LogText(t.p);
    }
}

TEST(CellData, DeadEndTwins) {
    Loaded t;
    std::string paths;
    for (int i = 1; i <= 18; ++i) {
        if (i == 4) paths += PathBytes(i, 3, 3);         // short path: crash on dot 0
        else if (i == 10) paths += PathBytes(i, -1, 20);  // a dead end gets no twin
        else paths += PathBytes(i, 2, 81);
    }
    t.dir.Write("PATH.DAT", paths);
    LoadPaths(t.g);
    ASSERT_EQ(t.g.NumPathDim, 18);
    t.g.NumPathDim = BuildDeadEndPaths(t.g);
    EXPECT_EQ(t.g.NumPathDim, 36);
    EXPECT_EQ(t.g.PathDim[22].PathDir, -1);
    EXPECT_EQ(t.g.PathDim[22].PathId, 4);
    EXPECT_EQ(t.g.PathDim[22].Dot[0].Flag, 1);
    EXPECT_EQ(t.g.PathDim[19].Dot[76].Flag, 1);
    EXPECT_EQ(t.g.PathDim[1].Dot[76].Flag, 0) << "the original path is untouched";
    EXPECT_FALSE(IsValidPath(t.g, 28));
    EXPECT_TRUE(IsValidPath(t.g, 19));
}

TEST(CellData, RotateDot) {
    struct Case {
        DotRec in;
        int r;
        DotRec out;
    };
    const Case cases[] = {
        {{80, 40, 0, 7}, 0, {80, 40, 0, 7}},
        {{80, 40, 0, 7}, 1, {40, 80, 4, 7}},
        {{10, 20, 14, 0}, 2, {70, 60, 6, 0}},
        {{10, 20, 13, 0}, 3, {20, 70, 9, 0}},
    };
    for (const auto& c : cases) {
        const DotRec d = RotateDot(c.in, c.r);
        EXPECT_EQ(d.Xx, c.out.Xx) << c.r;
        EXPECT_EQ(d.Yy, c.out.Yy) << c.r;
        EXPECT_EQ(d.Angle, c.out.Angle) << c.r;
        EXPECT_EQ(d.Flag, c.out.Flag) << c.r;
    }
}

class MarkBoxAttrTest : public ::testing::Test {
protected:
    HeadlessPlatform p;
    Game g{p};
    void SetUp() override {
        g.CellDim[5].CellHdr = kCellMagic;
        g.CellDim[5].CellId = 5;
        g.NumCellDim = g.SaveNumCellDim = 5;
        g.MaxBoxX = 18;
        g.MaxBoxY = 13;
    }
};

TEST_F(MarkBoxAttrTest, MakesOnePrivateCopyPerBox) {
    g.WorkGame.Box[2][3].Cell = 5;
    const int16_t a = MarkBoxAttr(g, 2, 3, 1 << 18);
    const int16_t b = MarkBoxAttr(g, 2, 3, 1 << 20);
    EXPECT_EQ(a, 101);
    EXPECT_EQ(b, 101);
    EXPECT_EQ(g.NextNumCellDim, 102);
    EXPECT_EQ(g.WorkGame.Box[2][3].BoxAttr, (1 << 18) | (1 << 20));
    EXPECT_TRUE(IsValidCell(g, 101));
}

TEST_F(MarkBoxAttrTest, FullTableReusesCopiesNoBoxHolds) {
    // 200 copies handed out, then every box but one built over again.
    for (int i = 0; i < 200; ++i) {
        g.WorkGame.Box[i % 18][i / 18].Cell = 5;
        MarkBoxAttr(g, i % 18, i / 18, 1);
    }
    EXPECT_EQ(g.NextNumCellDim, 301);
    for (int i = 1; i < 200; ++i) g.WorkGame.Box[i % 18][i / 18].Cell = 5;
    g.WorkGame.Box[5][12].Cell = 5;
    const int16_t copy = MarkBoxAttr(g, 5, 12, 1);
    EXPECT_GT(copy, 101) << "copy 101 is still held by box (0,0)";
    EXPECT_LE(copy, 300);
    EXPECT_EQ(g.WorkGame.Box[0][0].Cell, 101);
}

TEST_F(MarkBoxAttrTest, FullTableWithEveryCopyInUseStopsCleanly) {
    for (int i = 0; i < 200; ++i) {
        g.WorkGame.Box[i % 18][i / 18].Cell = 5;
        MarkBoxAttr(g, i % 18, i / 18, 1);
    }
    g.WorkGame.Box[5][12].Cell = 5;
    EXPECT_THROW(MarkBoxAttr(g, 5, 12, 1), ProgramEnded);
    EXPECT_TRUE(test::LogHas(p, "内部ロジックエラー 140"));
}

}  // namespace
}  // namespace ralvo
