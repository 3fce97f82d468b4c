#include <gtest/gtest.h>

#include "data/records.h"

namespace ralvo {
namespace {

TEST(Records, CellRecordRoundTripKeepsEntrySideFastest) {
    CellRec c;
    c.CellHdr = kCellMagic;
    c.CellId = 7;
    c.Cellattr = -2;
    c.PathType[1][2] = 300;
    uint8_t bytes[kCellRecLen];
    EncodeCellRec(c, bytes);
    EXPECT_EQ(bytes[8 + 2 * (1 + 4 * 2)], 300 & 0xff);
    EXPECT_EQ(bytes[8 + 2 * (1 + 4 * 2) + 1], 300 >> 8);
    EXPECT_EQ(bytes[6], 0xfe);
    CellRec back = DecodeCellRec(bytes);
    EXPECT_EQ(back.CellId, 7);
    EXPECT_EQ(back.Cellattr, -2);
    EXPECT_EQ(back.PathType[1][2], 300);
}

TEST(Records, PathRecordRoundTrip) {
    PathRec p;
    p.PathHdr = kPathMagic;
    p.PathDir = -1;
    p.PathLen = 81;
    p.Dot[80] = DotRec{80, 40, 0, 15};
    uint8_t bytes[kPathRecLen];
    EncodePathRec(p, bytes);
    EXPECT_EQ(bytes[22 + 4 * 80 + 3], 15);
    PathRec back = DecodePathRec(bytes);
    EXPECT_EQ(back.PathDir, -1);
    EXPECT_EQ(back.Dot[80].Xx, 80);
    EXPECT_EQ(back.Dot[80].Flag, 15);
}

}  // namespace
}  // namespace ralvo
