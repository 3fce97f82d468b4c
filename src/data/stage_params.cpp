#include "data/config.h"
#include "game/stage.h"
#include "shell/state.h"

namespace ralvo {

void ApplyStageParams(Game& g) {
    g.CurStage = static_cast<int16_t>(g.CurStage + 1);
    if (SetStageVariables(g)) StartStage(g);
}

}  // namespace ralvo
