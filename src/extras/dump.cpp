#include "extras/dump.h"

#include <ctime>

#include "data/celldata.h"
#include "platform/files.h"
#include "shell/state.h"

namespace ralvo {
namespace {

// Numbers as the text output of the original prints them: a sign place
// (blank or "-"), the digits, and one trailing blank.
std::string N(long long v) { return (v < 0 ? "" : " ") + std::to_string(v) + " "; }
std::string B(int16_t v) { return v != 0 ? "True" : "False"; }
std::string Two(int i) { return (i < 10 ? "0" : "") + std::to_string(i); }

template <size_t W>
std::string Fixed(const std::array<char, W>& text) {
    std::string s(text.begin(), text.end());
    for (char& c : s)
        if (c == '\0') c = ' ';
    return s;
}

std::string Now() {
    std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y/%m/%d %H:%M:%S", &tm);
    return buf;
}

std::string DotLine(int index, const DotRec& d) {
    return "  Dot(" + Two(index) + ") = Xx = " + N(d.Xx) + " Yy = " + N(d.Yy) + " Angle = " + N(d.Angle) +
           " Flag = " + N(d.Flag);
}

// One line per table row first..last, never past the table's last row.
void Rows(std::vector<std::string>& o, const char* name, const ParamRow* rows, int first, int last, int maxRow) {
    for (int i = first; i <= last && i <= maxRow; ++i)
        o.push_back(std::string(name) + "(" + Two(i) + ") = " + DumpRow(rows[i]));
}

}  // namespace

std::string DumpRow(const ParamRow& row) {
    std::string text;
    for (int16_t v : row) {
        const std::string s = std::to_string(v);
        if (s.size() < 4) text.append(4 - s.size(), ' ');
        text += s + " ";
    }
    return text;
}

std::vector<std::string> DumpLines(const Game& g, const std::string& title) {
    std::vector<std::string> o;
    const std::string bar(20, '-');
    o.push_back(std::string(60, '*'));
    o.push_back(title + " dump at " + Now());
    o.push_back(bar);
    o.push_back("IniFileName = " + g.IniFileName);
    o.push_back("CfgFileName = " + g.CfgFileName);
    o.push_back("ScoFileName = " + g.ScoFileName);
    o.push_back("DbgFileName = " + g.DbgFileName);
    o.push_back("SoundDevice = " + B(g.SoundDevice));
    o.push_back("OptSkill = " + N(g.OptSkill) + " OptDebug = " + N(g.OptDebug));
    o.push_back("OptSkipSoundError = " + N(g.OptSkipSoundError));
    o.push_back("OptSkipPCValidate = " + N(g.OptSkipPCValidate));
    o.push_back("OptRhtClick = " + N(g.OptRhtClick));
    o.push_back("OptScreen = " + N(g.OptScreen));
    o.push_back("OptUseKey = " + N(g.OptUseKey));
    o.push_back(bar);
    o.push_back("NextCid = " + N(g.NextCid) + " NextRot = " + N(g.NextRot));
    o.push_back("NextBoxAttr = " + N(g.NextBoxAttr));
    o.push_back("MaxBoxX = " + N(g.MaxBoxX) + " MaxBoxY = " + N(g.MaxBoxY));
    o.push_back("LoadNextGame = " + N(g.LoadNextGame));
    o.push_back("PrevTick = " + N(g.PrevTick) + " TickCount = " + N(g.TickCount));
    o.push_back("TotalTick = " + N(g.TotalTick) + " IntvlTick = " + N(g.IntvlTick));
    o.push_back("DispSlow = " + B(g.DispSlow));
    o.push_back(bar);
    o.push_back("CurStage = " + N(g.CurStage));
    o.push_back("ScoreTotal = " + N(g.ScoreTotal) + " ClearCount = " + N(g.ClearCount));
    o.push_back("ScoreGoing = " + N(g.ScoreGoing));
    o.push_back("ScoreCellPass = " + N(g.ScoreCellPass) + " ScoreCellOnto = " + N(g.ScoreCellOnto));
    o.push_back(bar);
    o.push_back("MoveTimer_Interval = " + N(g.MoveTimer_Interval));
    o.push_back("MoveTimer_Enabled = " + B(g.MoveTimer_Enabled));
    o.push_back("TimeOutCount = " + N(g.TimeOutCount));
    o.push_back(bar);
    o.push_back("VehiX = " + N(g.VehiX) + " VehiY = " + N(g.VehiY));
    o.push_back("CurBoxX = " + N(g.CurBoxX) + " CurBoxY = " + N(g.CurBoxY));
    o.push_back("CurEntDir = " + N(g.CurEntDir) + " CurPathId = " + N(g.CurPathId));
    o.push_back("CurRunDot = " + N(g.CurRunDot) + " VehiAgl = " + N(g.VehiAgl));
    o.push_back(bar);
    o.push_back("PlaneMode = " + N(g.PlaneMode) + " FlyMiddle = " + N(g.FlyMiddle));
    o.push_back("CurFlyX = " + N(g.CurFlyX) + " CurFlyY = " + N(g.CurFlyY));
    o.push_back("CurFlyDot = " + N(g.CurFlyDot));
    o.push_back("PlaneX = " + N(g.PlaneX) + " PlaneY = " + N(g.PlaneY));
    o.push_back("TakeOffRate = " + N(g.TakeOffRate));
    o.push_back(bar);
    o.push_back("BombRate = " + N(g.BombRate) + " BombGoOn = " + N(g.BombGoOn));
    o.push_back("CurBombPoint = " + N(g.CurBombPoint));
    o.push_back("BombX = " + N(g.BombX) + " BombY = " + N(g.BombY));
    o.push_back(bar);
    o.push_back("RockMode = " + N(g.RockMode));
    o.push_back("RockRate = " + N(g.RockRate) + " RockLimit = " + N(g.RockLimit));
    for (int r = 0; r < 10; ++r) {
        const RockRec& k = g.CurRock[r];
        o.push_back("CurRock(" + std::to_string(r) + ")");
        o.push_back("  RockSts = " + N(k.RockSts));
        o.push_back("  RollX = " + N(k.RollX) + " RollY = " + N(k.RollY));
        o.push_back("  RdifX = " + N(k.RdifX) + " RdifY = " + N(k.RdifY));
    }
    o.push_back(bar);
    o.push_back("KeyCurX = " + N(g.KeyCurX) + " KeyCurY = " + N(g.KeyCurY));
    o.push_back("KeyDone = " + N(g.KeyDone));
    o.push_back(bar);
    o.push_back("HoleRate = " + N(g.HoleRate) + " WarpRate = " + N(g.WarpRate));
    o.push_back(bar);
    o.push_back("ScoreTotal = " + N(g.ScoreTotal) + " ScoreGoing = " + N(g.ScoreGoing));
    o.push_back("ClearCount = " + N(g.ClearCount));
    o.push_back("ScoreCellPass = " + N(g.ScoreCellPass) + " ScoreCellOnto = " + N(g.ScoreCellOnto));
    o.push_back(bar);
    o.push_back("StageParamLine = " + N(g.StageParamLine));
    Rows(o, "StageParam", g.StageParam.data(), 0, g.StageParamLine - 1, 9);
    o.push_back(bar);
    Rows(o, "SkillParam", g.SkillParam.data(), 0, 2, 2);
    o.push_back(bar);
    o.push_back("SpeedParamLine = " + N(g.SpeedParamLine) + " CurSpeedIndex = " + N(g.CurSpeedIndex));
    Rows(o, "SpeedParam", g.SpeedParam.data(), 0, g.SpeedParamLine - 1, 9);
    o.push_back(bar);
    o.push_back("ScreenSizeLine = " + N(g.ScreenSizeLine));
    Rows(o, "ScreenSize", g.ScreenSize.data(), 0, g.ScreenSizeLine - 1, 9);
    o.push_back(bar);
    o.push_back("CellDiceLine = " + N(g.CellDiceLine));
    Rows(o, "CellDice", g.CellDice.data(), 1, g.CellDiceLine, 100);
    o.push_back(bar);
    o.push_back("WorkGame");
    o.push_back("  GameHdr = " + Fixed(g.WorkGame.GameHdr) + " GameId = " + N(g.WorkGame.GameId));
    o.push_back("  GameTitle = " + Fixed(g.WorkGame.GameTitle));
    for (int x = 0; x < kMaxBoxX; ++x)
        for (int y = 0; y < kMaxBoxY; ++y) {
            const BoxRec& b = g.WorkGame.Box[x][y];
            o.push_back("  Box(" + std::to_string(x) + "," + std::to_string(y) + ") = Cell = " + N(b.Cell) +
                        " Rot = " + N(b.Rot) + " BoxAttr = " + N(b.BoxAttr));
        }
    o.push_back(bar);
    o.push_back("SaveNumCellDim = " + N(g.SaveNumCellDim));
    o.push_back("NextNumCellDim = " + N(g.NextNumCellDim));
    for (int i = 1; i <= kMaxCells; ++i) {
        const CellRec& c = g.CellDim[i];
        o.push_back(std::string(10, '-'));
        o.push_back("CellDim(" + std::to_string(i) + ")  CellHdr = " + Fixed(c.CellHdr));
        if (!IsValidCell(g, i)) continue;
        o.push_back("  CellId = " + N(c.CellId) + " Cellattr = " + N(c.Cellattr));
        std::string types = "  PathType(*,*) = ";
        for (int k = 0; k < 4; ++k) {
            for (int j = 0; j < 4; ++j) types += std::to_string(c.PathType[k][j]) + " ";
            types += "/ ";
        }
        o.push_back(types);
    }
    for (int i = 1; i <= kMaxPaths; ++i) {
        const PathRec& p = g.PathDim[i];
        o.push_back(std::string(10, '-'));
        o.push_back("PathDim(" + std::to_string(i) + ")  PathHdr = " + Fixed(p.PathHdr));
        if (!IsValidPath(g, i)) continue;
        o.push_back("  PathId = " + N(p.PathId) + " PathDir = " + N(p.PathDir));
        o.push_back("  PathLen = " + N(p.PathLen) + " PathMid = " + N(p.PathMid));
        // A path of one dot shows it once; an empty or corrupt length shows no dot.
        const int last = p.PathLen - 1;
        if (last >= 0 && last < kMaxDots) {
            o.push_back(DotLine(0, p.Dot[0]));
            if (last > 0) o.push_back(DotLine(last, p.Dot[last]));
        }
    }
    o.push_back(std::string(60, '/'));
    return o;
}

void AppendDump(Game& g, const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    // The rest of the program does not depend on the dump: a failed write is skipped.
    if (!AppendTextFile(g.AppDir + "/Dump.Log", text)) g.plat.Note("Dump.Log could not be written");
}

void DumpAll(Game& g, const std::string& title) { AppendDump(g, DumpLines(g, title)); }

}  // namespace ralvo
