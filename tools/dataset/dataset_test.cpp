#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "dataset_lib.h"

namespace ralvo::dataset {
namespace {
namespace fs = std::filesystem;

const fs::path kRoot = RALVO_SOURCE_DIR;

DataFiles Committed() {
    DataFiles f;
    std::string err;
    EXPECT_TRUE(ReadFiles(kRoot / "assets", f, err)) << err;
    return f;
}

std::string Joined(const std::vector<std::string>& v) {
    std::string s;
    for (const auto& x : v) s += x + "\n";
    return s;
}

TEST(DataSet, BuildReproducesTheCommittedFilesByteForByte) {
    DataFiles built;
    std::vector<std::string> errors;
    ASSERT_TRUE(BuildFromSources(kRoot / "dataset", built, errors)) << Joined(errors);
    DataFiles committed = Committed();
    EXPECT_EQ(built.pathDat, committed.pathDat) << "assets/PATH.DAT is stale: run ralvo-dataset build dataset assets";
    EXPECT_EQ(built.cellDat, committed.cellDat) << "assets/CELL.DAT is stale: run ralvo-dataset build dataset assets";
    EXPECT_EQ(built.cfg, committed.cfg) << "assets/Ralvo.CFG is stale: run ralvo-dataset build dataset assets";
}

TEST(DataSet, CommittedFilesPassCheck) {
    auto bad = CheckFiles(Committed());
    EXPECT_TRUE(bad.empty()) << Joined(bad);
}

TEST(DataSet, ConfigLinesAreReadAsTheGameReadsThem) {
    struct Case {
        const char* text;
        int n;
        bool good;
        std::vector<int> cols;
    };
    const Case cases[] = {
        {"10, 2, 139", 2, true, {10, 2, 139}},
        {"-12, 2, 117", 2, true, {-12, 2, 117}},   // a negative sum keeps its sign: -10 mod 255 = -10
        {"2.5, 3.5, 133", 2, true, {2, 4, 133}},   // halves round to even
        {" 1 0 ,\t2x7, 139", 2, true, {10, 2, 139}},  // blanks vanish, reading stops at a stray character
        {"10, 2", 2, false, {10, 2, 0}},            // missing check value
        {"abc, 5, 132", 2, true, {0, 5, 132}},      // a field without a number is 0
        {"1e1, 2, 139", 2, true, {10, 2, 139}},
    };
    for (const auto& c : cases) {
        ParamRow r;
        EXPECT_EQ(SplitParamLine(c.text, r, c.n), c.good) << c.text;
        for (size_t i = 0; i < c.cols.size(); ++i) EXPECT_EQ(r[i], c.cols[i]) << c.text << " column " << i;
    }
}

// Replaces the value of one key and, unless told otherwise, makes every check value right again,
// so that only the intended rule is broken.
std::string SetKey(std::string cfg, const std::string& key, const std::string& value) {
    std::string needle = "\n" + key + "=";
    size_t p = cfg.find(needle);
    EXPECT_NE(p, std::string::npos) << key;
    size_t e = cfg.find('\n', p + 1);
    return cfg.substr(0, p + needle.size()) + value + cfg.substr(e);
}

std::string Row(std::vector<int> v) {
    ParamRow r{};
    for (size_t i = 0; i < v.size(); ++i) r[i] = static_cast<int16_t>(v[i]);
    std::ostringstream o;
    for (int x : v) o << x << ", ";
    o << LineCheck(r, static_cast<int>(v.size()));
    return o.str();
}

std::string FixFileCheck(const std::string& cfg) {
    return SetKey(cfg, "Check", std::to_string(ReadConfig(cfg).computedCheck));
}

struct Breakage {
    const char* what;
    std::function<void(Tables&)> tables;  // edit paths or cells
    std::function<std::string(const std::string&)> cfg;  // edit the configuration text
    const char* expect;  // words the report must contain
};

TEST(DataSet, CheckNamesEveryBrokenRule) {
    auto cfgLine = [](const char* key, std::vector<int> v) {
        return [key, v](const std::string& c) { return FixFileCheck(SetKey(c, key, Row(v))); };
    };
    const Breakage cases[] = {
        {"wrong line check value", nullptr, [](const std::string& c) { return FixFileCheck(SetKey(c, "Stage09", "0, 4000, 150, 100, 10, 20, 0, 0, 0, 0, 1, 0, 300")); },
         "Stage09 fails its check value"},
        {"wrong file check", nullptr, [](const std::string& c) { return SetKey(c, "Check", "200"); }, "file check is 200"},
        {"missing file check", nullptr, [](const std::string& c) { return SetKey(c, "Check", "EOL"); }, "Check is missing"},
        {"gap between dots", [](Tables& t) { t.path[1].Dot[40].Xx = 38; }, nullptr, "path 1 dot 40 (38,40): gap"},
        {"dot outside the box", [](Tables& t) { t.path[14].Dot[3].Yy = 81; }, nullptr, "outside the box"},
        {"heading against travel", [](Tables& t) { t.path[9].Dot[30].Angle = 9; t.path[9].Dot[31].Angle = 10; }, nullptr, "does not match its direction of travel"},
        {"heading jump", [](Tables& t) { t.path[2].Dot[60].Angle = 10; }, nullptr, "heading jumps from 8 to 10"},
        {"path ends short of its exit", [](Tables& t) { t.path[1].PathLen = 80; }, nullptr, "last dot must be (0,40)"},
        {"path 18 with an exit", [](Tables& t) { t.path[18].PathDir = 2; }, nullptr, "path 18 has an exit"},
        {"curve with the wrong turn", [](Tables& t) { t.path[4].PathDir = 1; }, nullptr, "path 4 must be the curve to the north"},
        {"dead end without a crash dot", [](Tables& t) { t.path[13].Dot[23].Flag = 0; }, nullptr, "path 13 is a dead end without a crash dot"},
        {"crash dot on the last dot only", [](Tables& t) { t.path[18].Dot[48].Flag = 0; t.path[18].Dot[51].Flag = 1; }, nullptr, "path 18 is a dead end without a crash dot"},
        {"middle dot outside the path", [](Tables& t) { t.path[2].PathMid = 81; }, nullptr, "middle dot 81 lies outside"},
        {"broken straight off the track", [](Tables& t) { t.path[10].Dot[5].Yy = 41; }, nullptr, "path 10 (broken) does not follow the track of path 14"},
        {"collapse on a plain path", [](Tables& t) { t.path[1].Dot[20].Flag = 13; }, nullptr, "path 1 has a collapse dot"},
        {"marsh path without collapse", [](Tables& t) { t.path[15].Dot[51].Flag = 0; }, nullptr, "path 15 is a marsh path without a collapse dot"},
        {"warp dot after the middle", [](Tables& t) { t.path[3].Dot[39].Flag = 0; t.path[3].Dot[45].Flag = 2; }, nullptr, "must come before the middle dot"},
        {"turntable path without test", [](Tables& t) { for (auto& d : t.path[7].Dot) if (d.Flag == 4) d.Flag = 0; }, nullptr, "path 7 does not test the table"},
        {"crash on a first dot", [](Tables& t) { t.path[5].Dot[0].Flag = 1; }, nullptr, "dot 0 carries event 1"},
        {"missing path record", [](Tables& t) { t.pathRecords = 17; }, nullptr, "path 18 is missing"},
        {"offered cell with a foreign picture", [](Tables& t) { t.cell[1].CellId = 2; }, nullptr, "cell 1 is offered but its picture number (CellId) is 2"},
        {"offered cell that does not exist", [](Tables& t) { t.cell[3].CellHdr = kBlankMagic; }, nullptr, "cell 3 is offered but CELL.DAT has no such cell"},
        {"cell lists an unknown path", [](Tables& t) { t.cell[2].PathType[0][1] = 37; }, nullptr, "lists path 37, which is not a valid path"},
        {"start cell without path 2", [](Tables& t) { t.cell[4].PathType[0][0] = 1; }, nullptr, "cell 4 (start) must offer path 2"},
        {"start cell without start bit", [](Tables& t) { t.cell[4].Cellattr = 1; }, nullptr, "cell 4 (start) lacks the start bit 128"},
        {"goal way in without goal dot", [](Tables& t) { t.cell[46].PathType[2][0] = 18; }, nullptr, "path 18 from the west has no goal dot"},
        {"goal closed on one side", [](Tables& t) { t.cell[46].PathType[3][0] = 0; }, nullptr, "cannot be entered from the north"},
        {"hole with a way through", [](Tables& t) { t.cell[33].PathType[0][0] = 1; }, nullptr, "cell 33 (hole) lets the vehicle through"},
        {"warp cell without path 3", [](Tables& t) { t.cell[21].PathType[0][0] = 1; t.cell[21].PathType[2][0] = 1; }, nullptr, "cell 21 is a warp cell (bit 4 or 8) but offers no path 3"},
        {"marsh straight without marsh bit", [](Tables& t) { t.cell[1].PathType[0][0] = 14; t.cell[1].PathType[2][0] = 14; }, nullptr, "without a marsh bit"},
        {"two-frame picture not half-turn symmetric", [](Tables& t) { t.cell[8].PathType[2][0] = 0; }, nullptr, "cell 8 uses picture 8, which has two rotation frames"},
        {"one-frame picture not quarter-turn symmetric", [](Tables& t) { t.cell[5].PathType[1][0] = 0; t.cell[5].PathType[3][0] = 0; }, nullptr, "cell 5 uses picture 5, which has one rotation frame"},
        {"turntable events outside a turntable", [](Tables& t) { t.cell[1].PathType[0][0] = 6; t.cell[1].PathType[2][0] = 6; }, nullptr, "cell 1 is no turntable but its path 6"},
        {"track there and back differs", [](Tables& t) { t.cell[2].PathType[1][0] = 8; }, nullptr, "cell 2: the track from east to south is not the same track as the one back"},
        {"goal dot outside the goal", [](Tables& t) { t.cell[14].PathType[0][0] = 17; }, nullptr, "cell 14: path 17 has a goal dot"},
        {"speed divisor 0", nullptr, cfgLine("Speed01", {1600, 0, 1, 2, 1}), "Speed01: divisor 0 must be positive"},
        {"speed bands out of order", nullptr, cfgLine("Speed01", {3000, 81, 1, 2, 1}), "Speed01: thresholds must fall"},
        {"board too tall", nullptr, cfgLine("Screen04", {1600, 1200, 18, 14, 125, 130, 100, 100}), "14 rows is not 5..13"},
        {"board bigger than its display", nullptr, cfgLine("Screen00", {640, 480, 8, 6, 70, 60, 100, 100}), "needs a 780 x 552 window"},
        {"stage rows not falling", nullptr, cfgLine("Stage01", {12, 1300, 85, 520, 20, 60, 25, 4, 35, 2, 5, 2}), "Stage01 starts at stage 12"},
        {"no row for stage 0", nullptr, cfgLine("Stage09", {1, 4000, 150, 100, 10, 20, 0, 0, 0, 0, 1, 0}), "last Stage line must start at stage 0"},
        {"planes in stage 0", nullptr, cfgLine("Stage09", {0, 4000, 150, 100, 10, 20, 60, 10, 0, 0, 1, 0}), "stage 0 must have no aeroplanes"},
        {"stage too short to clear", nullptr, cfgLine("Stage09", {0, 4000, 40, 100, 10, 20, 0, 0, 0, 0, 1, 0}), "stage 0 at skill 1 on screen 2"},
        {"board crowded with holes", nullptr, cfgLine("Stage00", {12, 1100, 80, 560, 20, 70, 20, 4, 30, 3, 20, 2}), "may run out of room"},
        {"weights too heavy", nullptr, cfgLine("Cell01", {32700, 10}), "at most 32767 can be drawn from"},
        {"generator cell offered", nullptr, cfgLine("Cell46", {1, 0}), "cell 46 is placed by the board generator"},
        {"offered beyond the pictures", nullptr,
         [](const std::string& c) {
             std::string s = c.substr(0, c.find("Check="));
             for (int i = 47; i <= 51; ++i) s += "Cell" + std::to_string(i) + "=" + Row({i == 51 ? 1 : 0, 0}) + "\n";
             return FixFileCheck(s + "Check=0\n");
         },
         "cell 51 is offered but only pictures 1..50 exist"},
    };
    const DataFiles good = Committed();
    for (const auto& c : cases) {
        DataFiles f = good;
        if (c.tables) {
            Tables t = DecodeTables(f);
            c.tables(t);
            f.pathDat = EncodePaths(t);
            f.cellDat = EncodeCells(t);
        }
        if (c.cfg) f.cfg = c.cfg(f.cfg);
        auto bad = CheckFiles(f);
        std::string report = Joined(bad);
        EXPECT_NE(report.find(c.expect), std::string::npos) << c.what << ": expected \"" << c.expect << "\" in\n" << report;
    }
}

TEST(DataSet, BuildNamesTheSourceLineOfAnError) {
    fs::path dir = fs::temp_directory_path() / "ralvo_dataset_test_src";
    fs::remove_all(dir);
    fs::create_directories(dir);
    for (const char* name : {"paths.txt", "cells.txt", "config.txt"}) fs::copy_file(kRoot / "dataset" / name, dir / name);
    {
        std::ofstream o(dir / "paths.txt", std::ios::app);
        o << "\npath 18 again\n  shape line 0,40\n  exit west\n  event bump at x=3\n";
    }
    DataFiles f;
    std::vector<std::string> errors;
    EXPECT_FALSE(BuildFromSources(dir, f, errors));
    std::string all = Joined(errors);
    EXPECT_NE(all.find("path 18 is defined twice"), std::string::npos) << all;
    fs::remove_all(dir);
}

TEST(DataSet, DumpShowsEveryPathAndCell) {
    std::string d = DumpFiles(Committed());
    for (const char* s : {"path 1: exit west", "path 18: dead end", "EVENT 15 goal", "cell 46: picture 46", "File check", "Stage09"})
        EXPECT_NE(d.find(s), std::string::npos) << s;
}

}  // namespace
}  // namespace ralvo::dataset
