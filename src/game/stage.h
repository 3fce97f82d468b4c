// Game menu commands, stage start, the random board and the vehicle's start.
#pragma once
#include <cstdint>
#include <string>

#include "platform/image.h"

namespace ralvo {
struct Game;

// Game menu opened: Start/Stop and skill items follow GameMode and OptSkill.
void MenuGame_Click(Game& g);
void MenuStart_Click(Game& g);
void MenuStop_Click(Game& g);
void MenuSkill_Click(Game& g, int index);

// Starts stage CurStage; called by ApplyStageParams once the stage variables are set.
void StartStage(Game& g);
void InitBoard(Game& g);
void ReserveNeighbours(Game& g, int x, int y);
void PlaceVehicle(Game& g);
// The caption label centred over the board's middle row.
void ShowBoardMessage(Game& g, const std::string& text, int16_t size, Rgb colour, int16_t style);

}  // namespace ralvo
