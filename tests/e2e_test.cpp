// Runs the real program in headless mode, as a player's script would.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>

#include "test_support.h"

namespace ralvo {
namespace {

namespace fs = std::filesystem;

struct RunResult {
    int exitCode = -1;
    std::string log;
};

// Runs ralvo --headless in dir with the given script text; returns the exit code and the effect log.
RunResult RunHeadless(const test::TempDir& dir, const std::string& script, const std::string& extra = "--seed 7") {
    const std::string scriptFile = dir.file("script.txt");
    std::ofstream(scriptFile) << script;
    const std::string cmd = "cd " + dir.str() + " && " + std::string(RALVO_BIN_DIR) + "/ralvo --headless --dir . " + extra +
                            (script.empty() ? "" : " --script " + scriptFile) + " --log " + dir.file("effects.log") +
                            " > " + dir.file("stdout.txt") + " 2>&1";
    RunResult r;
    const int status = std::system(cmd.c_str());
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.log = dir.Read("effects.log");
    return r;
}

// A game folder holding the committed data set, as the build lays it out.
void CopyDataSet(const test::TempDir& dir) {
    for (const char* name : {"CELL.DAT", "PATH.DAT", "Ralvo.CFG", "Ralvo.HLP", "Click.wav", "Crash.wav", "Bomb.wav",
                             "Splash.wav", "Goal.wav"})
        fs::copy_file(fs::path(RALVO_BIN_DIR) / name, dir.file(name));
}

TEST(EndToEnd, BrokenDataFilesShowTheirMessageAndFail) {
    struct Case {
        const char* name;
        void (*breakIt)(const test::TempDir&);
        const char* message;
    };
    const Case cases[] = {
        {"no CELL.DAT", [](const test::TempDir& d) { fs::remove(d.file("CELL.DAT")); }, "セルファイル オープンエラー"},
        {"no PATH.DAT", [](const test::TempDir& d) { fs::remove(d.file("PATH.DAT")); }, "パスファイル オープンエラー"},
        {"wrong file check",
         [](const test::TempDir& d) {
             std::string cfg = d.Read("Ralvo.CFG");
             const size_t at = cfg.find("Check=");
             cfg.insert(at + 6, "1");
             d.Write("Ralvo.CFG", cfg);
         },
         "構成ファイルエラー 909"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempDir dir;
        CopyDataSet(dir);
        c.breakIt(dir);
        const RunResult r = RunHeadless(dir, "");
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_NE(r.log.find(std::string("msgbox style=16 title=\"Ralvo\" text=\"") + c.message + "\""),
                  std::string::npos)
            << r.log;
        EXPECT_NE(r.log.find("end code=1"), std::string::npos);
    }
}

TEST(EndToEnd, StartUpWithoutScriptExitsCleanly) {
    test::TempDir dir;
    CopyDataSet(dir);
    const RunResult r = RunHeadless(dir, "");
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.log.find("msgbox"), std::string::npos) << r.log;
    EXPECT_NE(r.log.find("caption text=\"ラルボ \""), std::string::npos) << r.log;
    EXPECT_FALSE(fs::exists(dir.file("Ralvo.INI"))) << "no settings file until an option changes";
}

TEST(EndToEnd, BadScriptIsRejectedWithItsLine) {
    test::TempDir dir;
    CopyDataSet(dir);
    const RunResult r = RunHeadless(dir, "wait 10\nfly away\n");
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(dir.Read("stdout.txt").find(":2:"), std::string::npos) << dir.Read("stdout.txt");
}

TEST(EndToEnd, ScriptedGameIsReplayedExactly) {
    const std::string script =
        "open MenuGame\n"
        "menu MenuStart\n"
        "wait 4500\n"
        "mouse board 1 300 250\n"
        "wait 20000\n"
        "open MenuGame\n"
        "dump Scripted\n"
        "snap BasePic board.png\n";
    test::TempDir a, b;
    CopyDataSet(a);
    CopyDataSet(b);
    const RunResult ra = RunHeadless(a, script);
    const RunResult rb = RunHeadless(b, script);
    EXPECT_EQ(ra.exitCode, 0) << ra.log;
    EXPECT_NE(ra.log.find("label show text=\"Stage 0\""), std::string::npos) << ra.log;
    EXPECT_NE(ra.log.find("menuitem MenuStart caption=\"スタート(&G)\""), std::string::npos) << ra.log;
    EXPECT_NE(ra.log.find("end of script"), std::string::npos) << ra.log;
    EXPECT_EQ(ra.log, rb.log) << "the same seed and script replay the same game";
    EXPECT_TRUE(fs::exists(a.file("Dump.Log")));
    EXPECT_EQ(a.Read("board.png").empty(), false);
}

}  // namespace
}  // namespace ralvo
