#include "game/marsh.h"

namespace ralvo {

void CollapseMarsh(Game&) {}

}  // namespace ralvo
