// The committed data set, loaded the way start-up loads it but without a window.
#pragma once
#include <string>

#include "data/celldata.h"
#include "data/config.h"
#include "data/tables.h"
#include "shell/state.h"

namespace ralvo {

inline void LoadRealDataSet(Game& g, int32_t skill) {
    g.AppDir = std::string(RALVO_SOURCE_DIR) + "/assets";
    g.CfgFileName = g.AppDir + "/Ralvo.CFG";
    LoadConfig(g);
    g.OptSkill = skill;
    ApplySkillToDice(g);
    LoadPaths(g);
    LoadCells(g);
    g.SaveNumCellDim = g.NumCellDim;
    g.NumPathDim = BuildDeadEndPaths(g);
    FillBuiltInTables(g);
}

}  // namespace ralvo
