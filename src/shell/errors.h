// The one fatal-error path.
#pragma once
#include <cstdint>
#include <string>

namespace ralvo {
struct Game;

// The message ErrorStop shows for (err, cod).
std::string ErrorMessage(int16_t err, int16_t cod);

// Shows the error and ends the program. Returns only for a sound error (31)
// while OptSkipSoundError is on.
void ErrorStop(Game& g, int16_t err, const int16_t& cod);

// Shows a data-file error (critical box titled Ralvo) and ends the program.
[[noreturn]] void DataFileError(Game& g, const std::string& message);

}  // namespace ralvo
