// The game configuration file and the stage parameters derived from it.
#pragma once
#include <string>

#include "data/records.h"

namespace ralvo {
struct Game;

// Splits one line's value into row (cleared first) and tells whether its check value (column n) is right.
bool SplitParamLine(const std::string& text, ParamRow& row, int n);
void LoadConfig(Game& g);
void ApplySkillToDice(Game& g);
// Advances CurStage, sets the stage variables and starts the stage.
void ApplyStageParams(Game& g);

}  // namespace ralvo
