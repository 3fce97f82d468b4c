#include "shell/commands.h"
#include "shell/state.h"

namespace ralvo {

void ApplyMenuItem(Game& g, int id) { g.plat.SetMenuItem(id, g.Menu[id]); }

}  // namespace ralvo
