#include "render/gdi.h"
#include "shell/errors.h"

namespace ralvo {

void GdiCheck(Game& g, bool ok, GdiCall call) {
    if (ok) return;
    const int16_t detail = 0;
    ErrorStop(g, static_cast<int16_t>(call), detail);
}

}  // namespace ralvo
