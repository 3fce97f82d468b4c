#include <gtest/gtest.h>

#include "platform/headless/headless_platform.h"
#include "render/layout.h"
#include "render_support.h"
#include "shell/menus.h"
#include "shell/state.h"

namespace ralvo {
namespace {

static_assert(BoxToPixelX(0) == 20 && BoxToPixelX(1) == 101 && BoxToPixelX(8) == 668 && BoxToPixelX(-1) == -61);
static_assert(BoxToPixelY(0) == 10 && BoxToPixelY(4) == 334 && BoxToPixelY(6) == 496);

class LayoutTest : public ::testing::Test {
protected:
    LayoutTest() {
        testing::FillSyntheticFigure(g.Fig);
        g.ScreenSizeLine = 4;
        g.ScreenSize[0] = {640, 480, 6, 5, 100, 100, 100, 100};
        g.ScreenSize[1] = {800, 600, 8, 6, 100, 100, 100, 100};
        g.ScreenSize[2] = {1024, 768, 10, 8, 100, 100, 100, 100};
        g.ScreenSize[3] = {1280, 1024, 13, 11, 100, 100, 100, 100};
        g.AppDir = dir.File("");
        g.IniFileName = dir.File("Ralvo.INI");
        g.DbgFileName = dir.File("Ralvo.DBG");
    }
    testing::ScratchDir dir;
    HeadlessPlatform p;
    Game g{p};
};

TEST_F(LayoutTest, EightBySixBoard) {
    g.OptScreen = 1;
    g.ScoreTotal = 5;
    g.ScoreGoing = -7;
    g.TimeOutCount = 9;
    LayoutWindow(g);
    EXPECT_EQ(g.MaxBoxX, 8);
    EXPECT_EQ(g.MaxBoxY, 6);
    EXPECT_EQ(g.BasePic.width(), 688);
    EXPECT_EQ(g.BasePic.height(), 506);
    EXPECT_EQ(g.NextPic.width(), 84);
    EXPECT_EQ(g.NextPic.height(), 506);
    EXPECT_EQ(p.ClientSize(), std::make_pair(772, 506));
    EXPECT_EQ(g.ScoreTotal, 0);
    EXPECT_EQ(g.ScoreGoing, 0);
    EXPECT_EQ(g.TimeOutCount, 0);
    // Title centred in the client area: ((772 - 240) / 2 + 1, (506 - 120) / 2).
    EXPECT_TRUE(p.LogHas("title show x=267 y=193"));
    // The frame is drawn: top-left corner piece.
    EXPECT_EQ(g.BasePic.At(0, 0), testing::FrameColour(testing::kNook, 0));
}

TEST_F(LayoutTest, TitleOnAnOddClientWidthRoundsToEven) {
    g.OptScreen = 3;  // 13 x 11: client 84 + 1093 = 1177 wide, 911 high
    LayoutWindow(g);
    // (1177 - 240) / 2 + 1 = 469.5 -> 470; (911 - 120) / 2 = 395.5 -> 396.
    EXPECT_TRUE(p.LogHas("title show x=470 y=396"));
}

TEST_F(LayoutTest, SizeStepsDownToWhatTheDisplayHolds) {
    const struct {
        int w, h, chosen, expected;
    } cases[] = {
        {1920, 1080, 3, 3}, {1280, 1024, 3, 3}, {1279, 1024, 3, 2}, {1280, 1000, 3, 2},
        {1000, 700, 3, 1},  {700, 500, 2, 0},   {600, 400, 3, 0},   {600, 400, 0, 0},
    };
    for (const auto& c : cases) {
        p.SetDisplaySize(c.w, c.h);
        g.OptScreen = c.chosen;
        LayoutWindow(g);
        EXPECT_EQ(g.OptScreen, c.expected) << c.w << "x" << c.h << " from " << c.chosen;
        EXPECT_EQ(g.MaxBoxX, g.ScreenSize[c.expected][2]);
        EXPECT_EQ(g.MaxBoxY, g.ScreenSize[c.expected][3]);
    }
    EXPECT_FALSE(dir.Exists("Ralvo.INI"));  // the reduced size is not saved
}

TEST_F(LayoutTest, SizeMenuCaptionsGreyingAndTick) {
    p.SetDisplaySize(1100, 800);
    g.OptScreen = 2;
    g.Menu[MenuSize4].caption = "untouched";
    OpenSizeMenu(g);
    const struct {
        int id;
        const char* caption;
        bool enabled, checked;
    } items[] = {
        {MenuSize0, "640 × 480  ( 6 × 5 )", true, false},
        {MenuSize1, "800 × 600  ( 8 × 6 )", true, false},
        {MenuSize2, "1024 × 768  ( 10 × 8 )", true, true},
        {MenuSize3, "1280 × 1024  ( 13 × 11 )", false, false},
    };
    for (const auto& it : items) {
        EXPECT_EQ(g.Menu[it.id].caption, it.caption);
        EXPECT_TRUE(g.Menu[it.id].visible);
        EXPECT_EQ(g.Menu[it.id].enabled, it.enabled) << it.caption;
        EXPECT_EQ(g.Menu[it.id].checked, it.checked) << it.caption;
        ASSERT_NE(p.MenuState(it.id), nullptr);
        EXPECT_EQ(p.MenuState(it.id)->caption, it.caption);
    }
    EXPECT_EQ(g.Menu[MenuSize4].caption, "untouched");
}

TEST_F(LayoutTest, SizeMenuHasFiveItemsAtMost) {
    g.ScreenSizeLine = 7;
    for (int i = 4; i < 7; ++i) g.ScreenSize[i] = {static_cast<int16_t>(2000 + i), 1500, 18, 13};
    OpenSizeMenu(g);
    EXPECT_EQ(g.Menu[MenuSize4].caption, "2004 × 1500  ( 18 × 13 )");
    EXPECT_EQ(g.Menu[MenuHelp].caption, "");  // the item after the last size item is not touched
}

TEST_F(LayoutTest, ChoosingASizeEndsTheGameSavesAndLaysOut) {
    g.OptScreen = 0;
    LayoutWindow(g);
    g.GameMode = 2;
    g.MoveTimer_Enabled = kTrue;
    MenuSize_Click(g, 2);
    EXPECT_EQ(g.GameMode, 0);
    EXPECT_EQ(g.MoveTimer_Enabled, kFalse);
    EXPECT_EQ(g.OptScreen, 2);
    EXPECT_EQ(g.MaxBoxX, 10);
    EXPECT_EQ(p.ClientSize(), std::make_pair(84 + 850, 668));
    EXPECT_NE(dir.Read("Ralvo.INI").find("Screen=2\r\n"), std::string::npos);
}

}  // namespace
}  // namespace ralvo
