#include "data/records.h"

#include <cstring>

namespace ralvo {
namespace {

int16_t GetI16(const uint8_t* p) {
    return static_cast<int16_t>(static_cast<uint16_t>(p[0] | (p[1] << 8)));
}

void PutI16(uint8_t* p, int16_t v) {
    auto u = static_cast<uint16_t>(v);
    p[0] = static_cast<uint8_t>(u & 0xff);
    p[1] = static_cast<uint8_t>(u >> 8);
}

}  // namespace

CellRec DecodeCellRec(const uint8_t* b) {
    CellRec r;
    std::memcpy(r.CellHdr.data(), b, 4);
    r.CellId = GetI16(b + 4);
    r.Cellattr = GetI16(b + 6);
    // The entry side runs fastest on disk: offset 8 + 2 * (k + 4 * j).
    for (int j = 0; j < 4; ++j)
        for (int k = 0; k < 4; ++k) r.PathType[k][j] = GetI16(b + 8 + 2 * (k + 4 * j));
    return r;
}

void EncodeCellRec(const CellRec& r, uint8_t* b) {
    std::memset(b, 0, kCellRecLen);
    std::memcpy(b, r.CellHdr.data(), 4);
    PutI16(b + 4, r.CellId);
    PutI16(b + 6, r.Cellattr);
    for (int j = 0; j < 4; ++j)
        for (int k = 0; k < 4; ++k) PutI16(b + 8 + 2 * (k + 4 * j), r.PathType[k][j]);
}

PathRec DecodePathRec(const uint8_t* b) {
    PathRec r;
    std::memcpy(r.PathHdr.data(), b, 4);
    r.PathId = GetI16(b + 4);
    r.PathDir = GetI16(b + 6);
    r.PathLen = GetI16(b + 8);
    r.PathMid = GetI16(b + 10);
    std::memcpy(r.Reserved.data(), b + 12, 10);
    for (int i = 0; i < kMaxDots; ++i) {
        const uint8_t* d = b + 22 + 4 * i;
        r.Dot[i] = DotRec{d[0], d[1], d[2], d[3]};
    }
    return r;
}

void EncodePathRec(const PathRec& r, uint8_t* b) {
    std::memset(b, 0, kPathRecLen);
    std::memcpy(b, r.PathHdr.data(), 4);
    PutI16(b + 4, r.PathId);
    PutI16(b + 6, r.PathDir);
    PutI16(b + 8, r.PathLen);
    PutI16(b + 10, r.PathMid);
    std::memcpy(b + 12, r.Reserved.data(), 10);
    for (int i = 0; i < kMaxDots; ++i) {
        uint8_t* d = b + 22 + 4 * i;
        d[0] = r.Dot[i].Xx;
        d[1] = r.Dot[i].Yy;
        d[2] = r.Dot[i].Angle;
        d[3] = r.Dot[i].Flag;
    }
}

}  // namespace ralvo
