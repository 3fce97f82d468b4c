// The diagnostics dump appended to Dump.Log.
#pragma once
#include <string>
#include <vector>

#include "data/records.h"

namespace ralvo {
struct Game;

// Formats the 15 values of a row, each right-aligned in 4 characters plus a blank.
std::string DumpRow(const ParamRow& row);
// The whole dump as text lines (without line ends).
std::vector<std::string> DumpLines(const Game& g, const std::string& title);
// Appends lines made by DumpLines; a dump that cannot be written is skipped.
void AppendDump(Game& g, const std::vector<std::string>& lines);
// Appends one dump; a dump that cannot be written is skipped.
void DumpAll(Game& g, const std::string& title);

}  // namespace ralvo
