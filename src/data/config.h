// The game configuration file and the stage parameters derived from it.
#pragma once
#include <cstdint>
#include <string>

#include "data/records.h"

namespace ralvo {
struct Game;

// Details of the configuration file error (fatal error 21) beyond the per-line checks
// (1000 + i Stage, 2000 + i Skill, 3000 + i Screen, 4000 + i Speed, 5000 + i Cell)
// and the missing-group codes 901..905, 908, 909:
// - 10000 + that line's check detail: the line holds a value the game cannot use
//   (outside 16 bits; a board size outside 1..18 x 1..13; a speed divisor below 1),
//   or, for a Stage row, a stage value it yields is out of its range.
// - 900: no Stage row applies to stage 0.
// - 906: the cell weights add up to more than 32767 at some skill level.
constexpr int16_t kCfgNoStageRow = 900;
constexpr int16_t kCfgDiceTooHeavy = 906;
constexpr int16_t kCfgUnusableValue = 10000;

// The number a field holds, read as the game's number reader does: blanks and tabs are
// ignored anywhere, reading stops at the first character that cannot continue a number
// (sign, digits, one decimal point, an exponent); no number gives 0.
double ReadFieldNumber(const std::string& field);

enum class ParamLineStatus { Good, BadCheck, OutOfRange };
// SplitParamLine with the reason: a rounded value outside 16 bits is OutOfRange
// (the row then holds no trustworthy values).
ParamLineStatus ReadParamLine(const std::string& text, ParamRow& row, int n);

// Splits one line's value into row (cleared first) and tells whether its check value (column n) is right.
bool SplitParamLine(const std::string& text, ParamRow& row, int n);
void LoadConfig(Game& g);
void ApplySkillToDice(Game& g);
// Sets the stage variables for CurStage from its stage row, the skill and the screen size.
// False after a configuration file error (no row for the stage, a value out of range).
bool SetStageVariables(Game& g);
// Advances CurStage, sets the stage variables and starts the stage.
void ApplyStageParams(Game& g);

}  // namespace ralvo
