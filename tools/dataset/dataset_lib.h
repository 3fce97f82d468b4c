// The track data set: readable sources in, PATH.DAT / CELL.DAT / Ralvo.CFG out,
// plus a checker that names every rule a data directory breaks, and a dump for people.
#pragma once
#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "data/records.h"

namespace ralvo::dataset {

// The three generated files, as bytes and text.
struct DataFiles {
    std::vector<uint8_t> pathDat;
    std::vector<uint8_t> cellDat;
    std::string cfg;
};

// One configuration line as the game reads it: the values and whether its check value is right.
struct CfgLine {
    std::string key;
    ParamRow row{};
    bool good = false;
};

// The configuration as the game reads it (groups stop at their first missing key).
struct Config {
    std::vector<CfgLine> stage, skill, screen, speed, cell;  // cell[i] is "Cell" i+1
    bool hasCheck = false;
    int fileCheck = 0;      // the "Check" value in the file
    int computedCheck = 0;  // what it must be
    std::vector<std::string> unreadKeys;  // keys after a gap: the game never sees them
    bool hasSection = false;
};

// Paths 1..18 and cells 1..100 as the game loads them; index 0 unused.
struct Tables {
    std::array<PathRec, kFilePaths + 1> path{};
    std::array<CellRec, kFileCells + 1> cell{};
    int pathRecords = 0;  // records in the file
    int cellRecords = 0;
    bool PathPresent(int id) const;
    bool CellPresent(int id) const;
};

// Sources -> files. Returns false and fills errors (with file and line) on a bad source.
bool BuildFromSources(const std::filesystem::path& srcDir, DataFiles& out, std::vector<std::string>& errors);
// Writes the three files into outDir (created if needed).
bool WriteFiles(const DataFiles& files, const std::filesystem::path& outDir, std::string& error);
bool ReadFiles(const std::filesystem::path& dir, DataFiles& out, std::string& error);

// Decoding as the game does it.
Tables DecodeTables(const DataFiles& files);
Config ReadConfig(const std::string& cfgText);
// The line check value of a row with n values.
int16_t LineCheck(const ParamRow& row, int n);
// One line value split into a row the way the game does it; returns whether its check holds.
bool SplitParamLine(const std::string& text, ParamRow& row, int n);

// Every rule the files break, in plain words; empty when the data set is sound.
std::vector<std::string> CheckFiles(const DataFiles& files);

// A readable listing of the files.
std::string DumpFiles(const DataFiles& files);

// Re-encode tables after editing them (tests break one rule at a time this way).
std::vector<uint8_t> EncodePaths(const Tables& t);
std::vector<uint8_t> EncodeCells(const Tables& t);

}  // namespace ralvo::dataset
