// The picture store: every bitmap the game draws from.
// Frames of a strip lie side by side from x = 0 (SidePic: stacked vertically).
#pragma once
#include <array>
#include <string>
#include <utility>
#include <vector>

#include "platform/image.h"

namespace ralvo {

struct Figure {
    std::array<Image, 51> CellPic;   // 81 x 81 per frame; 1, 2 or 4 rotation frames; [0] unused
    Image VehiPic, VmskPic;          // 336 x 21, 16 headings
    Image RockPic, RmskPic;          // 105 x 21, 5 frames
    Image PlanePic, PmaskPic;        // 82 x 41, 2 frames
    Image BombPic, BmskPic;          // 93 x 31, 3 frames
    Image CrashPic, CmaskPic;        // 124 x 31, 4 frames
    Image MarshPic, MmaskPic;        // 168 x 21 (8 frames); mask 21 x 21
    Image FallPic, FmskPic;          // 280 x 40, 7 frames
    Image WarpPic;                   // 253 x 23, 11 frames
    Image SidePic;                   // 20 x 243, 3 frames stacked
    Image TopbPic;                   // 81 x 10
    Image NookPic;                   // 80 x 10, 4 frames
    Image TxtScore, TxtTotal, TxtTime, TxtNext;  // 81 x 27
    Image TxtDigit;                  // 216 x 27, 12 glyphs
    std::array<Image, 4> MsgText;    // GOAL, GAME OVER, TIME UP, STOP
    Image TitlePic;                  // 240 x 120
};

// Every picture of the store with its file name (without ".png"), CellPic(0) excepted.
std::vector<std::pair<std::string, Image*>> FigurePictures(Figure& fig);
// Fills every picture of the store from the PNGs built into the program.
void LoadFigure(Figure& fig);
// The program icon (64 x 64), also built in; false if it is missing.
bool LoadProgramIcon(Image& icon);

}  // namespace ralvo
