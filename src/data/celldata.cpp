#include "data/celldata.h"

#include <vector>

#include "data/rounding.h"
#include "platform/files.h"
#include "shell/errors.h"
#include "shell/state.h"

namespace ralvo {
namespace {

// What differs between the two data files; the loading itself is shared.
struct DataFileKind {
    const char* fileName;
    int recordLength;
    int firstCount;  // records read from the file
    const char* openError;
    const char* readError;
    const char* closeError;
};

constexpr DataFileKind kPathFile{"PATH.DAT", kPathRecLen, kFilePaths, "パスファイル オープンエラー",
                                 "パスファイル 読み込みエラー", "パスファイル クローズエラー"};
constexpr DataFileKind kCellFile{"CELL.DAT", kCellRecLen, kFileCells, "セルファイル オープンエラー",
                                 "セルファイル 読み込みエラー", "セルファイル クローズエラー"};

// Calls store(n, bytes) for every record 1..firstCount that lies within the file (per the
// rounded record count) and returns the count. Records beyond it are left to the caller.
template <typename Store>
void ReadRecords(Game& g, const DataFileKind& kind, int32_t& recCount, Store store) {
    RecordFile file;
    if (!file.Open(g.AppDir + "/" + kind.fileName, kind.recordLength)) DataFileError(g, kind.openError);
    recCount = static_cast<int32_t>(RoundEven(static_cast<double>(file.Length()) / kind.recordLength));
    std::vector<uint8_t> bytes;
    for (int n = 1; n <= kind.firstCount; ++n) {
        if (n > recCount) {
            store(n, nullptr);
            continue;
        }
        if (!file.Read(n, bytes)) DataFileError(g, kind.readError);
        store(n, bytes.data());
    }
    if (!file.Close()) DataFileError(g, kind.closeError);
}

void BlankPath(PathRec& p) {
    p.PathHdr = kBlankMagic;
    p.PathId = 0;
}

void BlankCell(CellRec& c) {
    c.CellHdr = kBlankMagic;
    c.CellId = 0;
}

}  // namespace

void LoadPaths(Game& g) {
    g.NumPathDim = 0;
    ReadRecords(g, kPathFile, g.PathRecCount, [&](int n, const uint8_t* bytes) {
        PathRec& entry = g.PathDim[n];
        entry = bytes ? DecodePathRec(bytes) : PathRec{};
        g.PathReadFailed = Bool16(!bytes || entry.PathHdr != kPathMagic);
        if (g.PathReadFailed)
            BlankPath(entry);
        else
            g.NumPathDim = static_cast<int16_t>(n);
    });
    for (int i = kFilePaths + 1; i <= kMaxPaths; ++i) BlankPath(g.PathDim[i]);
}

void LoadCells(Game& g) {
    g.NumCellDim = 0;
    ReadRecords(g, kCellFile, g.CellRecCount, [&](int n, const uint8_t* bytes) {
        CellRec& entry = g.CellDim[n];
        entry = bytes ? DecodeCellRec(bytes) : CellRec{};
        g.CellReadFailed = Bool16(!bytes || entry.CellHdr != kCellMagic);
        if (g.CellReadFailed)
            BlankCell(entry);
        else
            g.NumCellDim = static_cast<int16_t>(n);
    });
    for (int i = kFileCells + 1; i <= kMaxCells; ++i) BlankCell(g.CellDim[i]);
}

bool IsValidCell(const Game& g, int cid) {
    return cid > 0 && cid <= g.NumCellDim && cid <= kMaxCells && g.CellDim[cid].CellHdr == kCellMagic;
}

bool IsValidPath(const Game& g, int pid) {
    return pid > 0 && pid <= g.NumPathDim && pid <= kMaxPaths && g.PathDim[pid].PathHdr == kPathMagic;
}

DotRec RotateDot(const DotRec& dot, int r) {
    DotRec out = dot;
    const int x = dot.Xx, y = dot.Yy;
    switch (r & 3) {
        case 0: out.Xx = static_cast<uint8_t>(x); out.Yy = static_cast<uint8_t>(y); break;
        case 1: out.Xx = static_cast<uint8_t>(80 - y); out.Yy = static_cast<uint8_t>(x); break;
        case 2: out.Xx = static_cast<uint8_t>(80 - x); out.Yy = static_cast<uint8_t>(80 - y); break;
        case 3: out.Xx = static_cast<uint8_t>(y); out.Yy = static_cast<uint8_t>(80 - x); break;
    }
    out.Angle = static_cast<uint8_t>((dot.Angle + 4 * r) % 16);
    return out;
}

int16_t BuildDeadEndPaths(Game& g) {
    int16_t last = kFilePaths;
    for (int i = 1; i <= kFilePaths; ++i) {
        if (g.PathDim[i].PathDir == -1) continue;
        PathRec twin = g.PathDim[i];
        twin.PathDir = -1;
        const int crashDot = twin.PathLen < 5 ? 0 : twin.PathLen - 5;
        // A corrupt length must not index past the dots.
        if (crashDot >= 0 && crashDot < kMaxDots) twin.Dot[crashDot].Flag = 1;
        g.PathDim[i + kFilePaths] = twin;
        last = static_cast<int16_t>(i + kFilePaths);
    }
    return last;
}

int16_t MarkBoxAttr(Game& g, int x, int y, int32_t mask) {
    BoxRec& box = g.WorkGame.Box[x][y];
    const int16_t cid = box.Cell;
    if (!IsValidCell(g, cid)) ErrorStop(g, 2, cid);
    int16_t copy = cid;
    if (cid <= kFileCells) {
        if (g.NextNumCellDim <= kMaxCells) {
            copy = g.NextNumCellDim;
            g.NumCellDim = copy;
            g.NextNumCellDim = static_cast<int16_t>(copy + 1);
        } else {
            // The table is full: take back a copy that no box uses any more (its box
            // was built over). Only a board with 200 damaged boxes at once finds none.
            std::vector<bool> used(kMaxCells + 1, false);
            for (int bx = 0; bx < g.MaxBoxX; ++bx)
                for (int by = 0; by < g.MaxBoxY; ++by) {
                    const int c = g.WorkGame.Box[bx][by].Cell;
                    if (c > kFileCells && c <= kMaxCells) used[c] = true;
                }
            copy = 0;
            for (int c = kFileCells + 1; c <= kMaxCells && copy == 0; ++c)
                if (!used[c]) copy = static_cast<int16_t>(c);
            if (copy == 0) {
                const int16_t checkPoint = 140;
                ErrorStop(g, 9, checkPoint);
            }
        }
        g.CellDim[copy] = g.CellDim[cid];
    }
    box.Cell = copy;
    box.BoxAttr |= mask;
    return copy;
}

}  // namespace ralvo
