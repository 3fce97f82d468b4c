// The game's two ways of drawing a random integer 0..n-1 from one uniform value.
#pragma once
#include <cmath>
#include <cstdint>

#include "shell/state.h"

namespace ralvo {

// Int(u * n) in double precision.
inline int32_t DrawRandom(Game& g, int32_t n) {
    return static_cast<int32_t>(std::floor(g.rng.Uniform() * n));
}

// Int(u * n) in single precision. A value just below 1 rounds to 1.0f as a
// float; keep it below 1 so the result stays within 0..n-1.
inline int32_t DrawRandomSingle(Game& g, int32_t n) {
    float u = static_cast<float>(g.rng.Uniform());
    if (u >= 1.0f) u = std::nextafter(1.0f, 0.0f);
    auto r = static_cast<int32_t>(std::floor(u * static_cast<float>(n)));
    return (n > 0 && r >= n) ? n - 1 : r;
}

}  // namespace ralvo
