// A small synthetic world for the game tests: a handful of cells and paths,
// pictures of the right sizes whose colours tell what was drawn, and a loop
// that drives the game the way the shell's main loop does.
#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <queue>
#include <string>
#include <vector>

#include "data/celldata.h"
#include "game/scoring.h"
#include "game/stage.h"
#include "game/timing.h"
#include "game/vehicle.h"
#include "placement/input.h"
#include "placement/nextcell.h"
#include "platform/headless/headless_platform.h"
#include "render/draw.h"
#include "render/layout.h"
#include "shell/state.h"

namespace ralvo::testing {

// Path ids of the synthetic set. Every path is stored for a vehicle entering at
// the east edge (x = 80) heading west (Angle 8).
enum SynPath : int16_t {
    kPStraight = 1,
    kPStart = 2,
    kPWarpExit = 3,
    kPTurnNorth = 4,   // leaves through side entry + 3
    kPDeadEnd = 5,     // crash dot at 35
    kPGoal = 6,        // goal dot at 40
    kPWarp = 7,        // warp dot at 40
    kPTurntable = 8,   // test dot 20, set dot 40, bare-disc dot 60
    kPCrashFirst = 9,  // crash on dot 0
    kPTurnSouth = 10,  // leaves through side entry + 1
    kPSpin = 11,       // spin dots 30..50
    kPWarpLast = 12,   // warp dot on its last dot
};

// Cell ids of the synthetic set (each cell's picture number is its id).
enum SynCell : int16_t {
    kCStraight = 1,
    kCCurve = 2,  // sides 0 and 3 of the unrotated cell
    kCStart = 4,
    kCDeadEnd = 6,
    kCCrashFirst = 7,
    kCFixed = 10,
    kCSwitch = 11,  // from side 0: straight or curve
    kCTurntable = 20,
    kCSpin = 21,
    kCWarpLast = 22,
    kCWarp = 30,       // warp cell as the board generator places it: warp dots and a warp exit
    kCWarpEntry = 31,  // warp dots only
    kCWarpExit = 32,   // warp exit only
    kCHole = 33,
    kCGoal = 46,
};

// Colours of the synthetic pictures.
constexpr Rgb CellColour(int id, int frame) { return MakeRgb(id, frame + 1, 0x40); }
constexpr Rgb VehicleColour(int heading) { return MakeRgb(250, heading, 250); }
constexpr Rgb CrashColour(int frame) { return MakeRgb(251, frame, 7); }
constexpr Rgb DiscColour(int frame) { return MakeRgb(252, frame, 7); }
constexpr Rgb MarkerColour(int frame) { return MakeRgb(253, frame, 7); }
constexpr Rgb MessageColour(int n) { return MakeRgb(254, n, 7); }
constexpr Rgb GlyphColour(int glyph) { return MakeRgb(7, 200, glyph); }

inline Image Strip(int frameW, int h, int frames, const std::function<Rgb(int)>& colour) {
    Image img(frameW * frames, h);
    for (int f = 0; f < frames; ++f) FillRect(img, f * frameW, 0, frameW, h, colour(f));
    return img;
}

inline void MakeFigures(Figure& fig) {
    for (int id = 1; id <= 50; ++id) fig.CellPic[id] = Strip(81, 81, 4, [id](int f) { return CellColour(id, f); });
    fig.VehiPic = Strip(21, 21, 16, VehicleColour);
    fig.VmskPic = Image(336, 21, kBlack);
    fig.CrashPic = Strip(31, 31, 4, CrashColour);
    fig.CmaskPic = Image(124, 31, kBlack);
    fig.MarshPic = Strip(21, 21, 8, DiscColour);
    fig.MmaskPic = Image(21, 21, kBlack);
    fig.WarpPic = Strip(23, 23, 11, MarkerColour);
    fig.RockPic = Image(105, 21, MakeRgb(9, 9, 9));
    fig.RmskPic = Image(105, 21, kBlack);
    fig.PlanePic = Image(82, 41, MakeRgb(9, 9, 10));
    fig.PmaskPic = Image(82, 41, kBlack);
    fig.BombPic = Image(93, 31, MakeRgb(9, 9, 11));
    fig.BmskPic = Image(93, 31, kBlack);
    fig.FallPic = Image(280, 40, MakeRgb(9, 9, 12));
    fig.FmskPic = Image(280, 40, kBlack);
    fig.SidePic = Image(20, 243, MakeRgb(30, 30, 30));
    fig.TopbPic = Image(81, 10, MakeRgb(31, 31, 31));
    fig.NookPic = Image(80, 10, MakeRgb(32, 32, 32));
    fig.TxtScore = Image(81, 27, MakeRgb(33, 33, 33));
    fig.TxtTotal = Image(81, 27, MakeRgb(34, 34, 34));
    fig.TxtTime = Image(81, 27, MakeRgb(35, 35, 35));
    fig.TxtNext = Image(81, 27, MakeRgb(36, 36, 36));
    fig.TxtDigit = Strip(18, 27, 12, GlyphColour);
    const int msgW[4] = {162, 324, 243, 162};
    for (int n = 0; n < 4; ++n) fig.MsgText[n] = Image(msgW[n], 81, MessageColour(n));
    fig.TitlePic = Image(240, 120, MakeRgb(37, 37, 37));
}

// A path of the synthetic set: dots from the east edge westwards, then optionally a turn.
inline PathRec MakePath(int16_t id, int16_t dir, int len, int turn = 0) {
    PathRec p;
    p.PathHdr = kPathMagic;
    p.PathId = id;
    p.PathDir = dir;
    p.PathLen = static_cast<int16_t>(len);
    p.PathMid = static_cast<int16_t>(len / 2);
    for (int i = 0; i < len; ++i) {
        DotRec& d = p.Dot[i];
        if (turn == 0 || i <= 40) {
            d.Xx = static_cast<uint8_t>(80 - i);
            d.Yy = 40;
            d.Angle = 8;
        } else if (turn < 0) {  // to the north edge
            d.Xx = 40;
            d.Yy = static_cast<uint8_t>(40 - (i - 40));
            d.Angle = 12;
        } else {  // to the south edge
            d.Xx = 40;
            d.Yy = static_cast<uint8_t>(40 + (i - 40));
            d.Angle = 4;
        }
    }
    return p;
}

inline CellRec MakeCell(int16_t id, int16_t attr, std::initializer_list<std::array<int16_t, 3>> entries) {
    CellRec c;
    c.CellHdr = kCellMagic;
    c.CellId = id;
    c.Cellattr = attr;
    for (const auto& e : entries) c.PathType[e[0]][e[1]] = e[2];
    return c;
}

inline void MakeData(Game& g) {
    auto& P = g.PathDim;
    P[kPStraight] = MakePath(kPStraight, 2, 81);
    P[kPStart] = MakePath(kPStart, 2, 81);
    P[kPWarpExit] = MakePath(kPWarpExit, 2, 81);
    P[kPTurnNorth] = MakePath(kPTurnNorth, 3, 81, -1);
    P[kPDeadEnd] = MakePath(kPDeadEnd, -1, 41);
    P[kPDeadEnd].Dot[35].Flag = 1;
    P[kPGoal] = MakePath(kPGoal, 2, 81);
    P[kPGoal].Dot[40].Flag = 15;
    P[kPWarp] = MakePath(kPWarp, 2, 81);
    P[kPWarp].Dot[40].Flag = 2;
    P[kPTurntable] = MakePath(kPTurntable, 2, 81);
    P[kPTurntable].Dot[20].Flag = 4;
    P[kPTurntable].Dot[40].Flag = 7;
    P[kPTurntable].Dot[60].Flag = 6;
    P[kPCrashFirst] = MakePath(kPCrashFirst, 2, 81);
    P[kPCrashFirst].Dot[0].Flag = 1;
    P[kPTurnSouth] = MakePath(kPTurnSouth, 1, 81, +1);
    P[kPSpin] = MakePath(kPSpin, 2, 81);
    for (int i = 30; i <= 50; ++i) P[kPSpin].Dot[i].Flag = 8;
    P[kPWarpLast] = MakePath(kPWarpLast, 2, 80);
    P[kPWarpLast].Dot[79].Flag = 2;
    g.NumPathDim = 12;

    auto& C = g.CellDim;
    C[kCStraight] = MakeCell(kCStraight, 0, {{0, 0, kPStraight}, {2, 0, kPStraight}});
    C[kCCurve] = MakeCell(kCCurve, 0, {{0, 0, kPTurnNorth}, {3, 0, kPTurnSouth}});
    C[kCStart] = MakeCell(kCStart, kAttrStart, {{0, 0, kPStart}});
    C[kCDeadEnd] = MakeCell(kCDeadEnd, 0, {{0, 0, kPDeadEnd}, {2, 0, kPDeadEnd}});
    C[kCCrashFirst] = MakeCell(kCCrashFirst, 0, {{0, 0, kPCrashFirst}, {2, 0, kPCrashFirst}});
    C[kCFixed] = MakeCell(kCFixed, kAttrFixed, {{0, 0, kPStraight}, {2, 0, kPStraight}});
    C[kCSwitch] = MakeCell(kCSwitch, 0, {{0, 0, kPStraight}, {0, 1, kPTurnNorth}});
    C[kCTurntable] = MakeCell(kCTurntable, kAttrTurntable,
                              {{0, 0, kPTurntable}, {1, 0, kPTurntable}, {2, 0, kPTurntable}, {3, 0, kPTurntable}});
    C[kCSpin] = MakeCell(kCSpin, 0, {{0, 0, kPSpin}, {2, 0, kPSpin}});
    C[kCWarpLast] = MakeCell(kCWarpLast, 0, {{0, 0, kPWarpLast}, {2, 0, kPWarpLast}});
    C[kCWarp] = MakeCell(kCWarp, kAttrWarpA | kAttrWarpB,
                         {{0, 0, kPWarp}, {2, 0, kPWarp}, {1, 0, kPWarpExit}, {3, 0, kPWarpExit}});
    C[kCWarpEntry] = MakeCell(kCWarpEntry, kAttrWarpA | kAttrWarpB, {{0, 0, kPWarp}, {2, 0, kPWarp}});
    C[kCWarpExit] = MakeCell(kCWarpExit, kAttrWarpA, {{1, 0, kPWarpExit}, {3, 0, kPWarpExit}});
    C[kCHole] = MakeCell(kCHole, 0, {});
    C[kCGoal] = MakeCell(kCGoal, 0, {{0, 0, kPGoal}, {1, 0, kPGoal}, {2, 0, kPGoal}, {3, 0, kPGoal}});
    g.NumCellDim = 46;
    g.SaveNumCellDim = 46;
}

// Offers every cell id in weights with its weight (column 9, as the skill makes it).
inline void SetDice(Game& g, const std::vector<int16_t>& weights) {
    g.CellDiceLine = static_cast<int16_t>(weights.size());
    g.CellDiceTotal = 0;
    for (size_t i = 0; i < weights.size(); ++i) {
        g.CellDice[i + 1] = ParamRow{};
        g.CellDice[i + 1][9] = weights[i];
        g.CellDiceTotal += weights[i];
    }
}

inline int Delta(int side, bool x) {
    if (x) return side == 0 ? 1 : side == 2 ? -1 : 0;
    return side == 1 ? 1 : side == 3 ? -1 : 0;
}

// The headless back end, with every blocking wait recorded.
class TestPlatform : public HeadlessPlatform {
public:
    void Sleep(int ms) override {
        sleeps.push_back(ms);
        if (onSleep) onSleep(ms);
        HeadlessPlatform::Sleep(ms);
    }
    // A slow display: every refresh of the board takes this long.
    void RefreshPicture(PictureId pic) override {
        HeadlessPlatform::RefreshPicture(pic);
        if (pic == kBasePic && boardRefreshMs > 0) HeadlessPlatform::Sleep(boardRefreshMs);
    }
    std::vector<int> sleeps;
    std::function<void(int)> onSleep;  // runs before the wait, when the picture is what the player sees
    int boardRefreshMs = 0;
};

// Forwards the window's events to the game's handlers.
class GameSink : public EventSink {
public:
    explicit GameSink(Game& g) : g_(g) {}
    void OnMenuOpen(int) override {}
    void OnMenuCommand(int) override {}
    void OnBoardMouseDown(int b, double x, double y) override { BoardMouseDown(g_, b, x, y); }
    void OnNextMouseDown(int b, double x, double y) override { NextMouseDown(g_, b, x, y); }
    void OnKeyDown(int k) override {
        auto code = static_cast<int16_t>(k);
        WindowKeyDown(g_, code);
    }
    void OnGameTimer() override { GameTimer_Timer(g_); }
    void OnCloseRequest() override {}

private:
    Game& g_;
};

// One cell to lay: box, cell id, rotation.
struct Lay {
    int x = 0, y = 0;
    int16_t cell = 0, rot = 0;
};

class GameTest : public ::testing::Test {
public:
    GameTest() : g(p, 12345) {}

    void SetUp() override {
        dir = std::filesystem::path(::testing::TempDir()) /
              ("ralvo_game_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::create_directories(dir);
        g.AppDir = dir.string();
        g.IniFileName = (dir / "Ralvo.INI").string();
        g.HelpFileName = (dir / "Ralvo.HLP").string();
        g.CrashFileName = (dir / "Crash.wav").string();
        g.ClickFileName = (dir / "Click.wav").string();
        g.GoalFileName = (dir / "Goal.wav").string();
        g.BombFileName = (dir / "Bomb.wav").string();
        g.SplashFileName = (dir / "Splash.wav").string();
        g.SoundDevice = kTrue;
        g.OptSound = -1;
        g.OptUseKey = 0;
        g.OptRhtClick = 1;
        MakeFigures(g.Fig);
        MakeData(g);
        SetDice(g, {1});
        SetBoardSize(8, 6);
        // One speed row: 20 ms steps of 4 dots.
        g.SpeedParam[0] = ParamRow{0, 2, 4, 1, 1};
        g.SpeedParamLine = 1;
        g.MoveTimer_Interval = 40;
        g.TimeOutCount = 999;
        g.ScoreCellPass = 10;
        g.ScoreCellOnto = -5;
        p.SetEventSink(&sink);
    }

    void SetBoardSize(int w, int h) {
        g.MaxBoxX = static_cast<int16_t>(w);
        g.MaxBoxY = static_cast<int16_t>(h);
        g.BasePic.Reset(BoxToPixelX(w) + 20, BoxToPixelY(h) + 10);
        g.NextPic.Reset(kNextPicWidth, g.BasePic.height());
    }

    // The board as the generator would leave it, with cells put by hand.
    void ClearBoard() {
        for (auto& col : g.WorkGame.Box)
            for (auto& b : col) b = BoxRec{};
    }
    void Put(int x, int y, int16_t cell, int16_t rot = 0, int32_t attr = 0) {
        g.WorkGame.Box[x][y] = BoxRec{cell, rot, attr};
        DrawCell(g, x, y);
    }

    // A hand-made stage: the board above, then the vehicle on its start box in the
    // ready countdown, as StartStage ends.
    void BeginRun() {
        SelectSpeed(g);
        ResetTickStats(g);
        PlaceVehicle(g);
        g.GameMode = 1;
        g.ReadyCount = 3;
        g.MoveTimer_Enabled = kTrue;
        p.SetGameTimer(false);
        p.SetGameTimer(true);
    }

    // Skips the countdown: the vehicle runs at once.
    void BeginRunning() {
        BeginRun();
        g.GameMode = 2;
    }

    // One pass of the main loop: pending events, then a due movement step.
    void Pass() {
        p.PumpEvents();
        if (g.MoveTimer_Enabled) RunTimedStep(g);
    }

    // Passes until done() holds (checked after each pass); false if it never does.
    bool RunUntil(const std::function<bool()>& done, int maxPasses = 200000) {
        for (int i = 0; i < maxPasses; ++i) {
            Pass();
            if (done()) return true;
            p.WaitForEvents(StepDueInMs(g));
        }
        return false;
    }

    bool RunUntilOver() {
        return RunUntil([&] { return g.LoadNextGame == 1 || (g.GameMode == 0 && !g.MoveTimer_Enabled); });
    }

    // A left click in the middle of box (x, y).
    void Click(int x, int y, int button = 1) {
        BoardMouseDown(g, button, BoxToPixelX(x) + 40.5, BoxToPixelY(y) + 40.5);
    }

    // Lays the given cell by mouse: the offer is set to it first.
    void LayByMouse(const Lay& l) {
        g.NextCid = l.cell;
        g.NextRot = l.rot;
        g.NextBoxAttr = 0;
        Click(l.x, l.y);
    }

    // The absolute exit side of a cell entered through side entry, or -1.
    int ExitThrough(int16_t cell, int16_t rot, int entry) const {
        const int k = ((entry - rot) % 4 + 4) % 4;
        const int16_t pid = g.CellDim[cell].PathType[k][0];
        if (pid == 0) return -1;
        const int16_t dir = g.PathDim[pid].PathDir;
        return dir < 0 ? -1 : (entry + dir) % 4;
    }

    // Shortest track over empty boxes from the box beyond side `side` of (x, y),
    // entered through the opposite side, to a box and entry side for which target
    // holds (tested before anything is laid there; the box may lie off the board).
    std::optional<std::vector<Lay>> Route(int x, int y, int side, const std::vector<int16_t>& cells,
                                          const std::function<bool(int, int, int)>& target) const {
        struct Node {
            int x, y, entry, parent;
            Lay lay;  // what is laid in the parent's box to get here
        };
        std::vector<Node> nodes;
        std::vector<bool> used(static_cast<size_t>(kMaxBoxX * kMaxBoxY), false);
        std::queue<int> open;
        nodes.push_back({x + Delta(side, true), y + Delta(side, false), (side + 2) % 4, -1, {}});
        open.push(0);
        while (!open.empty()) {
            const int i = open.front();
            open.pop();
            const Node n = nodes[static_cast<size_t>(i)];
            if (target(n.x, n.y, n.entry)) {
                std::vector<Lay> out;
                for (int k = i; nodes[static_cast<size_t>(k)].parent >= 0; k = nodes[static_cast<size_t>(k)].parent)
                    out.insert(out.begin(), nodes[static_cast<size_t>(k)].lay);
                return out;
            }
            if (n.x < 0 || n.y < 0 || n.x >= g.MaxBoxX || n.y >= g.MaxBoxY) continue;
            const auto key = static_cast<size_t>(n.x * kMaxBoxY + n.y);
            if (g.WorkGame.Box[n.x][n.y].Cell != 0 || used[key]) continue;
            used[key] = true;
            for (int16_t cell : cells) {
                for (int16_t rot = 0; rot < 4; ++rot) {
                    const int exit = ExitThrough(cell, rot, n.entry);
                    if (exit < 0) continue;
                    nodes.push_back({n.x + Delta(exit, true), n.y + Delta(exit, false), (exit + 2) % 4, i,
                                     Lay{n.x, n.y, cell, rot}});
                    open.push(static_cast<int>(nodes.size()) - 1);
                }
            }
        }
        return std::nullopt;
    }

    // Vehicle's current exit side from the start path.
    int StartExit() const { return (g.CurEntDir + g.PathDim[kPStart].PathDir) % 4; }

    Rgb BasePixel(int x, int y) const { return g.BasePic.At(x, y); }
    // Colour at the centre of the vehicle sprite as last drawn.
    Rgb VehiclePixel() const { return g.BasePic.At(g.VehiX + 10, g.VehiY + 10); }
    // Colour at the centre of the board picture (where message pictures go).
    Rgb MessagePixel() const { return g.BasePic.At(g.BasePic.width() / 2, g.BasePic.height() / 2); }

    int CountLog(const std::string& text) const {
        int n = 0;
        for (const auto& l : p.Log())
            if (l.find(text) != std::string::npos) ++n;
        return n;
    }

    TestPlatform p;
    Game g;
    GameSink sink{g};
    std::filesystem::path dir;
};

}  // namespace ralvo::testing
