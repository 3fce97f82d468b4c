// Cell and path tables: loading, validity, rotation, dead-end twins, private copies.
#pragma once
#include <cstdint>

#include "data/records.h"

namespace ralvo {
struct Game;

void LoadPaths(Game& g);
void LoadCells(Game& g);
bool IsValidCell(const Game& g, int cid);
bool IsValidPath(const Game& g, int pid);
DotRec RotateDot(const DotRec& dot, int r);
// Makes path i + 18 from every path i with an exit; returns the last id filled.
int16_t BuildDeadEndPaths(Game& g);
// Gives box (x, y) a private copy of its cell (once) and ors mask into its BoxAttr.
// Returns the copy's id.
int16_t MarkBoxAttr(Game& g, int x, int y, int32_t mask);

}  // namespace ralvo
