#include <gtest/gtest.h>

#include "render/figure.h"

namespace ralvo {
namespace {

class FigureTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { LoadFigure(fig); }
    static Figure fig;
};
Figure FigureTest::fig;

TEST_F(FigureTest, CellPicturesHaveTheirRotationFrames) {
    EXPECT_TRUE(fig.CellPic[0].empty());
    for (int n = 1; n <= 50; ++n) {
        int frames = 4;
        for (int k : {8, 15, 16, 19, 22, 38})
            if (n == k) frames = 2;
        for (int k : {5, 10, 24, 33, 42})
            if (n == k) frames = 1;
        EXPECT_EQ(fig.CellPic[n].width(), 81 * frames) << "CellPic " << n;
        EXPECT_EQ(fig.CellPic[n].height(), 81) << "CellPic " << n;
    }
}

TEST_F(FigureTest, EveryOtherPictureHasItsSize) {
    struct Size {
        const char* name;
        const Image& img;
        int w, h;
    };
    const Size sizes[] = {
        {"VehiPic", fig.VehiPic, 336, 21},    {"VmskPic", fig.VmskPic, 336, 21},
        {"RockPic", fig.RockPic, 105, 21},    {"RmskPic", fig.RmskPic, 105, 21},
        {"PlanePic", fig.PlanePic, 82, 41},   {"PmaskPic", fig.PmaskPic, 82, 41},
        {"BombPic", fig.BombPic, 93, 31},     {"BmskPic", fig.BmskPic, 93, 31},
        {"CrashPic", fig.CrashPic, 124, 31},  {"CmaskPic", fig.CmaskPic, 124, 31},
        {"MarshPic", fig.MarshPic, 168, 21},  {"MmaskPic", fig.MmaskPic, 21, 21},
        {"FallPic", fig.FallPic, 280, 40},    {"FmskPic", fig.FmskPic, 280, 40},
        {"WarpPic", fig.WarpPic, 253, 23},    {"SidePic", fig.SidePic, 20, 243},
        {"TopbPic", fig.TopbPic, 81, 10},     {"NookPic", fig.NookPic, 80, 10},
        {"TxtScore", fig.TxtScore, 81, 27},   {"TxtTotal", fig.TxtTotal, 81, 27},
        {"TxtTime", fig.TxtTime, 81, 27},     {"TxtNext", fig.TxtNext, 81, 27},
        {"TxtDigit", fig.TxtDigit, 216, 27},  {"MsgText0", fig.MsgText[0], 162, 81},
        {"MsgText1", fig.MsgText[1], 324, 81}, {"MsgText2", fig.MsgText[2], 243, 81},
        {"MsgText3", fig.MsgText[3], 162, 81}, {"TitlePic", fig.TitlePic, 240, 120},
    };
    for (const Size& s : sizes) {
        EXPECT_EQ(s.img.width(), s.w) << s.name;
        EXPECT_EQ(s.img.height(), s.h) << s.name;
    }
}

// Mask white = board shows through: the sprite must be black there, or AND-then-XOR would tint the
// board. Masks hold nothing but black and white.
TEST_F(FigureTest, SpritesAreBlackWhereTheirMaskLetsTheBoardThrough) {
    struct Pair {
        const char* name;
        const Image& pic;
        const Image& mask;
        int frame;  // width of one frame; the mask repeats for every frame when it is one frame wide
    };
    const Pair pairs[] = {
        {"VehiPic", fig.VehiPic, fig.VmskPic, 21},    {"RockPic", fig.RockPic, fig.RmskPic, 21},
        {"PlanePic", fig.PlanePic, fig.PmaskPic, 41}, {"BombPic", fig.BombPic, fig.BmskPic, 31},
        {"CrashPic", fig.CrashPic, fig.CmaskPic, 31}, {"MarshPic", fig.MarshPic, fig.MmaskPic, 21},
        {"FallPic", fig.FallPic, fig.FmskPic, 40},
    };
    for (const Pair& p : pairs) {
        ASSERT_FALSE(p.pic.empty()) << p.name;
        int covered = 0;
        for (int y = 0; y < p.pic.height(); ++y)
            for (int x = 0; x < p.pic.width(); ++x) {
                const Rgb m = p.mask.At(p.mask.width() == p.pic.width() ? x : x % p.frame, y);
                ASSERT_TRUE(m == kWhite || m == kBlack) << p.name << " mask at " << x << "," << y;
                if (m == kWhite) ASSERT_EQ(p.pic.At(x, y), kBlack) << p.name << " at " << x << "," << y;
                else ++covered;
            }
        // Every frame draws something.
        for (int f = 0; f * p.frame < p.pic.width(); ++f) {
            int inFrame = 0;
            for (int y = 0; y < p.pic.height(); ++y)
                for (int x = 0; x < p.frame; ++x) inFrame += p.pic.At(f * p.frame + x, y) != kBlack;
            EXPECT_GT(inFrame, 0) << p.name << " frame " << f;
        }
        EXPECT_GT(covered, 0) << p.name;
    }
}

TEST_F(FigureTest, ProgramIconIsBuiltIn) {
    Image icon;
    ASSERT_TRUE(LoadProgramIcon(icon));
    EXPECT_EQ(icon.width(), 64);
    EXPECT_EQ(icon.height(), 64);
}

}  // namespace
}  // namespace ralvo
