// The game's one random generator: uniform values in [0, 1) from a 64-bit seed,
// identical on every machine, so a seed replays a game exactly.
#pragma once
#include <cstdint>

namespace ralvo {

class Rng {
public:
    explicit Rng(uint64_t seed = 1) { Seed(seed); }
    void Seed(uint64_t seed);
    // Uniform in [0, 1), 53 bits.
    double Uniform();

private:
    uint64_t s_[4]{};
};

}  // namespace ralvo
