// Stage score, game total and the counters in the side panel.
#pragma once
#include <cstdint>

namespace ralvo {
struct Game;

// Counts what is left of the stage score into the total, visibly, and counts the stage as cleared.
void TransferStageScore(Game& g);
// Redraws the three counters (stage score, total, time) and refreshes NextPic.
void ShowScores(Game& g);
// line 1 stage score, 2 total, 3 time; right-aligned in four digit positions.
void ShowNumber(Game& g, int16_t line, int32_t value);
// glyph 0..9 digits, 10 minus, 11 blank; position 1 (rightmost) .. 4 (leftmost).
void DrawDigit(Game& g, int16_t line, int16_t glyph, int16_t position);

}  // namespace ralvo
