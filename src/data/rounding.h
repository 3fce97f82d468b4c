// The game's two ways of turning a real value into an integer.
#pragma once
#include <cmath>
#include <cstdint>

namespace ralvo {

// Nearest integer, ties to even (2.5 -> 2, 3.5 -> 4). Assumes the default rounding mode.
inline double RoundEven(double v) { return std::nearbyint(v); }

// Int(): towards minus infinity.
inline double IntFloor(double v) { return std::floor(v); }

// random(n) = Int(u * n) for u uniform in [0, 1).
inline int RandomInt(double u, int n) { return static_cast<int>(std::floor(u * n)); }

}  // namespace ralvo
