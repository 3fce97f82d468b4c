#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "platform/image.h"

namespace ralvo {
namespace {

// Every pixel different, so a misplaced copy shows.
Image Pattern(int w, int h, Rgb salt) {
    Image img(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) img.Set(x, y, (salt + static_cast<Rgb>(y * 37 + x * 11)) * 0x010203u);
    return img;
}

// The operation pixel by pixel: source (sx+i, sy+j) onto destination (dx+i, dy+j),
// wherever both lie inside their pictures.
Image ReferenceBlt(const Image& dst0, int dx, int dy, int w, int h, const Image& src, int sx, int sy, Rop rop) {
    Image dst = dst0;
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) {
            const int x = dx + i, y = dy + j, u = sx + i, v = sy + j;
            if (x < 0 || y < 0 || x >= dst.width() || y >= dst.height()) continue;
            if (u < 0 || v < 0 || u >= src.width() || v >= src.height()) continue;
            const Rgb s = src.At(u, v), d = dst0.At(x, y);
            dst.Set(x, y, rop == Rop::Copy ? s : rop == Rop::And ? (d & s) : (d ^ s));
        }
    return dst;
}

TEST(BitBlt, ClipsAtEveryEdgeOfBothPictures) {
    struct Case {
        const char* name;
        int dx, dy, w, h, sx, sy;
    } cases[] = {
        {"inside", 1, 1, 3, 2, 0, 1},          {"dest left", -2, 1, 4, 3, 0, 0},
        {"dest top", 1, -3, 4, 4, 0, 0},       {"dest right", 5, 1, 4, 3, 0, 0},
        {"dest bottom", 0, 4, 4, 4, 0, 0},     {"source left", 2, 1, 4, 3, -2, 0},
        {"source top", 2, 2, 4, 3, 0, -1},     {"source right", 0, 0, 6, 3, 2, 0},
        {"source bottom", 0, 0, 3, 6, 0, 3},   {"all sides", -1, -1, 9, 9, -1, -1},
        {"entirely outside", 7, 0, 2, 2, 0, 0}, {"empty", 1, 1, 0, 3, 0, 0},
        {"negative size", 1, 1, -2, 3, 0, 0},  {"source beyond", 0, 0, 3, 3, 5, 0},
    };
    const Image src = Pattern(4, 4, 7);
    const Image dst0 = Pattern(7, 5, 1000);
    for (Rop rop : {Rop::Copy, Rop::And, Rop::Invert})
        for (const auto& c : cases) {
            Image dst = dst0;
            BitBlt(dst, c.dx, c.dy, c.w, c.h, src, c.sx, c.sy, rop);
            EXPECT_EQ(dst, ReferenceBlt(dst0, c.dx, c.dy, c.w, c.h, src, c.sx, c.sy, rop))
                << c.name << " rop " << static_cast<int>(rop);
        }
}

TEST(BitBlt, RasterOperationsActOnPixelValues) {
    Image dst(1, 1, 0x00f0f0f0);
    const Image src(1, 1, 0x00ff0f00);
    BitBlt(dst, 0, 0, 1, 1, src, 0, 0, Rop::And);
    EXPECT_EQ(dst.At(0, 0), 0x00f00000u);
    BitBlt(dst, 0, 0, 1, 1, src, 0, 0, Rop::Invert);
    EXPECT_EQ(dst.At(0, 0), 0x000f0f00u);
    BitBlt(dst, 0, 0, 1, 1, src, 0, 0, Rop::Invert);
    EXPECT_EQ(dst.At(0, 0), 0x00f00000u);  // XOR twice restores
}

TEST(BitBlt, OverlappingCopyWithinOnePictureReadsBeforeWriting) {
    struct Case {
        int dx, dy, sx, sy;
    } cases[] = {{2, 0, 0, 0}, {0, 0, 2, 0}, {0, 2, 0, 0}, {0, 0, 0, 2}, {1, 1, 0, 0}, {0, 0, 1, 1}};
    for (const auto& c : cases) {
        const Image before = Pattern(6, 6, 3);
        Image img = before;
        BitBlt(img, c.dx, c.dy, 5, 5, img, c.sx, c.sy, Rop::Copy);
        EXPECT_EQ(img, ReferenceBlt(before, c.dx, c.dy, 5, 5, before, c.sx, c.sy, Rop::Copy))
            << c.dx << "," << c.dy << " from " << c.sx << "," << c.sy;
    }
}

TEST(FillRect, ClipsToThePicture) {
    struct Case {
        int x, y, w, h;
        int filled;  // pixels expected to change on an 8 x 6 picture
    } cases[] = {
        {1, 1, 2, 3, 6}, {-2, -2, 4, 4, 4}, {6, 4, 5, 5, 4}, {-5, 2, 100, 1, 8}, {8, 0, 3, 3, 0}, {2, 2, 0, 5, 0},
        {2, 2, -3, 5, 0},
    };
    for (const auto& c : cases) {
        Image img(8, 6, kBlack);
        FillRect(img, c.x, c.y, c.w, c.h, kWhite);
        int count = 0;
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 8; ++x) {
                const bool inside = x >= c.x && x < c.x + c.w && y >= c.y && y < c.y + c.h;
                EXPECT_EQ(img.At(x, y), inside ? kWhite : kBlack) << x << "," << y;
                count += inside;
            }
        EXPECT_EQ(count, c.filled);
    }
}

TEST(DrawLine, LeavesOutTheEndPoint) {
    struct Case {
        const char* name;
        int x0, y0, x1, y1;
        std::vector<std::pair<int, int>> pixels;
    } cases[] = {
        {"right", 1, 2, 4, 2, {{1, 2}, {2, 2}, {3, 2}}},
        {"left", 4, 2, 1, 2, {{4, 2}, {3, 2}, {2, 2}}},
        {"down", 3, 0, 3, 3, {{3, 0}, {3, 1}, {3, 2}}},
        {"up", 3, 3, 3, 0, {{3, 3}, {3, 2}, {3, 1}}},
        {"diagonal", 0, 0, 3, 3, {{0, 0}, {1, 1}, {2, 2}}},
        {"anti-diagonal", 4, 0, 1, 3, {{4, 0}, {3, 1}, {2, 2}}},
        {"single point", 2, 2, 2, 2, {}},
        {"clipped", -2, 1, 2, 1, {{0, 1}, {1, 1}}},
    };
    for (const auto& c : cases) {
        Image img(6, 5, kBlack);
        DrawLine(img, c.x0, c.y0, c.x1, c.y1, kWhite);
        Image expected(6, 5, kBlack);
        for (auto [x, y] : c.pixels) expected.Set(x, y, kWhite);
        EXPECT_EQ(img, expected) << c.name;
    }
}

TEST(XorRectOutline, ThreePixelBandStraddlesTheOutlineAndTwiceRestores) {
    const Image before = Pattern(20, 18, 5);
    Image img = before;
    const Rgb pen = 0x00ffffff;
    XorRectOutline(img, 5, 4, 15, 12, 3, pen);
    // The outline runs along columns 5 and 14 and rows 4 and 11; the 3-pixel pen
    // covers one pixel either side of it and leaves the interior alone.
    for (int y = 0; y < 18; ++y)
        for (int x = 0; x < 20; ++x) {
            const bool outer = x >= 4 && x <= 15 && y >= 3 && y <= 12;
            const bool hole = x >= 6 && x <= 13 && y >= 5 && y <= 10;
            const bool band = outer && !hole;
            EXPECT_EQ(img.At(x, y), band ? (before.At(x, y) ^ pen) : before.At(x, y)) << x << "," << y;
        }
    XorRectOutline(img, 5, 4, 15, 12, 3, pen);
    EXPECT_EQ(img, before);
}

TEST(XorRectOutline, ClippedAtTheEdgesAndStillRestores) {
    const Image before = Pattern(10, 8, 9);
    for (auto [l, t, r, b] : {std::array{0, 0, 10, 8}, std::array{-3, 2, 4, 20}, std::array{2, 2, 4, 4}}) {
        Image img = before;
        XorRectOutline(img, l, t, r, b, 3, 0x00123456);
        EXPECT_NE(img, before);
        XorRectOutline(img, l, t, r, b, 3, 0x00123456);
        EXPECT_EQ(img, before) << l << "," << t << "," << r << "," << b;
    }
}

TEST(Png, RoundTripKeepsEveryPixel) {
    const Image img = Pattern(13, 7, 42);
    const std::string path = (std::filesystem::path(::testing::TempDir()) / "image_test.png").string();
    ASSERT_TRUE(SavePng(path, img));
    Image back(1, 1, kWhite);
    ASSERT_TRUE(LoadPng(path, back));
    EXPECT_EQ(back, img);
    Image untouched(2, 2, kWhite);
    EXPECT_FALSE(LoadPng(path + ".missing", untouched));
    EXPECT_EQ(untouched, Image(2, 2, kWhite));
}

}  // namespace
}  // namespace ralvo
