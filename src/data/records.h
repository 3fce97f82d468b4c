// Record types of the cell and path data files and of the board.
// In-memory layout is ours; the on-disk layout (little-endian, fixed length)
// is produced and read only through Encode*/Decode* below.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>

namespace ralvo {

constexpr int kCellRecLen = 40;
constexpr int kPathRecLen = 502;
constexpr int kMaxDots = 120;
constexpr int kFileCells = 100;    // ids 1..100 come from CELL.DAT
constexpr int kMaxCells = 300;     // ids 101..300 are private copies
constexpr int kFilePaths = 18;     // ids 1..18 come from PATH.DAT
constexpr int kMaxPaths = 36;      // ids 19..36 are dead-end twins
constexpr int kMaxBoxX = 18;
constexpr int kMaxBoxY = 13;
constexpr int kBoxSize = 81;

// One point of a path, canonical frame (vehicle enters through side 0).
struct DotRec {
    uint8_t Xx = 0;
    uint8_t Yy = 0;
    uint8_t Angle = 0;  // heading 0..15, 4 per quarter turn
    uint8_t Flag = 0;   // dot event code, 0 = none
};

struct PathRec {
    std::array<char, 4> PathHdr{' ', ' ', ' ', ' '};
    int16_t PathId = 0;
    int16_t PathDir = 0;  // exit = (entry + PathDir) mod 4; -1 = dead end
    int16_t PathLen = 0;
    int16_t PathMid = 0;
    std::array<uint8_t, 10> Reserved{};
    std::array<DotRec, kMaxDots> Dot{};
};

struct CellRec {
    std::array<char, 4> CellHdr{' ', ' ', ' ', ' '};
    int16_t CellId = 0;    // picture number in CellPic
    int16_t Cellattr = 0;  // attribute bits (fixed, turntable, warp, marsh, start, marker)
    // PathType[k][j]: path offered when entering the unrotated cell at side k, alternative j.
    int16_t PathType[4][4]{};
};

struct BoxRec {
    int16_t Cell = 0;  // 0 empty, -1 reserved during board set-up
    int16_t Rot = 0;
    int32_t BoxAttr = 0;
};

// One configuration line: 15 signed 16-bit columns.
using ParamRow = std::array<int16_t, 15>;

// Cellattr bits.
enum CellAttrBit : int16_t {
    kAttrFixed = 1,
    kAttrTurntable = 2,
    kAttrWarpA = 4,
    kAttrWarpB = 8,
    kAttrMarshEW = 32,
    kAttrMarshNS = 64,
    kAttrStart = 128,
    kAttrMarker = 256,
};

constexpr std::array<char, 4> kCellMagic{'C', 'e', 'V', '1'};
constexpr std::array<char, 4> kPathMagic{'P', 'a', 'V', '1'};
constexpr std::array<char, 4> kBlankMagic{' ', ' ', ' ', ' '};

// bytes must hold kCellRecLen bytes; a short record is zero-padded by the caller.
CellRec DecodeCellRec(const uint8_t* bytes);
void EncodeCellRec(const CellRec& rec, uint8_t* bytes);
PathRec DecodePathRec(const uint8_t* bytes);
void EncodePathRec(const PathRec& rec, uint8_t* bytes);

}  // namespace ralvo
