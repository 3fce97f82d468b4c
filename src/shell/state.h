// All game state in one plain object: the main window's members, the cell and
// path tables and the high-score arrays. Names and integer widths follow the
// game's design; truth values are integers, True = -1, False = 0.
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "data/records.h"
#include "platform/image.h"
#include "platform/platform.h"
#include "platform/random.h"
#include "render/figure.h"
#include "shell/menus.h"

namespace ralvo {

constexpr int16_t kTrue = -1;
constexpr int16_t kFalse = 0;

struct RockRec {
    int16_t RockSts = 0;  // 0 free, 1 rolling, 2..4 breaking up
    int16_t RollX = 0;
    int16_t RollY = 0;
    int16_t RdifX = 0;
    int16_t RdifY = 0;
};

struct FlyStepRec {
    int16_t DropCheck = 0;
    int16_t DropNew = 0;
    int16_t BombFrame = 0;
    int16_t BombKeep = 0;
    int16_t PointDiag1 = 0;
    int16_t PointDiag2 = 0;
    int16_t PointMid1 = 0;
    int16_t PointMid2 = 0;
};

struct PointRec {
    int16_t PointX = 0;
    int16_t PointY = 0;
};

struct GameRec {
    std::array<char, 4> GameHdr{' ', ' ', ' ', ' '};
    int16_t GameId = 0;
    std::array<char, 40> GameTitle{};
    BoxRec Box[kMaxBoxX][kMaxBoxY]{};  // column first
};

struct Game {
    explicit Game(Platform& platform, uint64_t seed = 1) : plat(platform), rng(seed) {}
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    Platform& plat;
    Rng rng;
    std::optional<uint64_t> SeedOverride;  // replaces the clock seed at start-up
    std::string AppDir;                    // every file the game reads or writes lives here

    // --- Start-up and shutdown
    int16_t SoundDevice = kFalse;
    std::string ClickFileName, CrashFileName, BombFileName, SplashFileName, GoalFileName;
    std::string IniFileName, CfgFileName, ScoFileName, DbgFileName, HelpFileName;
    int16_t MoveTimer_Enabled = kFalse;
    int16_t CurStage = 0;
    int16_t DispSlow = kFalse;
    int16_t LoadNextGame = 0;
    int16_t GameMode = 0;  // 0 idle, 1 countdown, 2 running, 3 modal dialog open

    // --- Options (settings file)
    int32_t OptSound = -1;
    int32_t OptSkill = 0;
    int32_t OptRhtClick = 1;
    int32_t OptSkipSoundError = 0;
    int32_t OptSkipPCValidate = 0;
    int32_t OptScreen = 0;
    int32_t OptUseKey = -1;
    int32_t OptDebug = 0;

    // --- Configuration tables
    std::array<ParamRow, 10> StageParam{};
    std::array<ParamRow, 3> SkillParam{};
    std::array<ParamRow, 10> ScreenSize{};
    std::array<ParamRow, 10> SpeedParam{};
    std::array<ParamRow, 101> CellDice{};  // rows 1..100
    int16_t StageParamLine = 0;
    int16_t ScreenSizeLine = 0;
    int16_t SpeedParamLine = 0;
    int16_t CellDiceLine = 0;
    int32_t CellDiceTotal = 0;

    // --- Stage variables
    int32_t MoveTimer_Interval = 0;
    int32_t TimeOutCount = 0;
    int32_t ScoreGoing = 0;
    int32_t ScoreCellPass = 0;
    int32_t ScoreCellOnto = 0;
    int16_t TakeOffRate = 0;
    int16_t BombRate = 0;
    int16_t RockRate = 0;
    int16_t RockLimit = 0;
    int16_t HoleRate = 0;
    int16_t WarpRate = 0;

    // --- Cell and path tables
    std::array<CellRec, kMaxCells + 1> CellDim{};  // ids 1..300
    std::array<PathRec, kMaxPaths + 1> PathDim{};  // ids 1..36
    int16_t NumCellDim = 0;
    int16_t NumPathDim = 0;
    int16_t SaveNumCellDim = 0;
    int16_t NextNumCellDim = 101;
    int32_t CellRecCount = 0;
    int32_t PathRecCount = 0;
    int16_t CellReadFailed = kFalse;
    int16_t PathReadFailed = kFalse;

    // --- Board
    GameRec WorkGame;
    int16_t MaxBoxX = 8;
    int16_t MaxBoxY = 6;

    // --- Built-in tables
    std::array<FlyStepRec, 81> FlyStep{};
    std::array<int32_t, 13> BombMask{};
    std::array<PointRec, 13> BombPoint{};
    std::array<int32_t, 7> CollapseMask{};
    std::array<PointRec, 7> CollapseOffset{};

    // --- Stage set-up and timing
    int32_t ReadyCount = 0;
    int16_t KeyCurX = 0;
    int16_t KeyCurY = 0;
    int16_t CurSpeedIndex = 0;
    int32_t PrevTick = 0;
    int32_t TotalTick = 0;
    int32_t IntvlTick = 0;
    int16_t TickCount = 0;
    int16_t KeyDone = kFalse;

    // --- Vehicle
    int16_t CurBoxX = 0;
    int16_t CurBoxY = 0;
    int16_t CurEntDir = 0;
    int16_t CurPathId = 0;
    int16_t CurRunDot = 0;
    int16_t VehiX = 0;
    int16_t VehiY = 0;
    uint8_t VehiAgl = 0;

    // --- Scores
    int32_t ScoreTotal = 0;
    int32_t ClearCount = 0;
    int32_t NewScore = 0;
    int32_t NewClear = 0;
    std::array<int32_t, 11> HiScore{};         // places 1..10
    std::array<int32_t, 11> HiClear{};
    std::array<std::string, 11> HiGamer{};
    int16_t NewRank = 11;                      // score dialog: place of the last insertion

    // --- Next cell offer
    int16_t NextCid = 0;
    int16_t NextRot = 0;
    int32_t NextBoxAttr = 0;

    // --- Rocks
    std::array<RockRec, 10> CurRock{};
    int16_t RockMode = 0;

    // --- Aeroplane and bombs
    int16_t PlaneMode = 0;
    int16_t FlyMiddle = 0;
    int16_t CurFlyX = 0;
    int16_t CurFlyY = 0;
    int16_t CurFlyDot = 0;
    int16_t PlaneX = 0;
    int16_t PlaneY = 0;
    int16_t BombGoOn = kFalse;
    int16_t CurBombPoint = 0;
    int16_t BombX = 0;
    int16_t BombY = 0;

    // --- Pictures
    Figure Fig;              // the picture store
    Image BasePic, NextPic;  // board and side panel
    Image SavePic{21, 21};
    std::array<Image, 10> RSavePic{Image(21, 21)};  // 1..9 are created at start-up
    Image FsavePic{41, 41};
    Image CsavePic{31, 31};
    std::string DebugInfo;
    // Test hook for the drawing-object layer (render/gdi.h): the GdiFailAfter-th call
    // of kind GdiFailCall (its error code, 11..16) from now on reports failure. 0 = none.
    int16_t GdiFailCall = 0;
    int16_t GdiFailAfter = 0;

    // --- Menus
    std::array<MenuItemState, kMenuCount> Menu{};
};

// True = -1 as the game stores it.
constexpr int16_t Bool16(bool b) { return b ? kTrue : kFalse; }

}  // namespace ralvo
