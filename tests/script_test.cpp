#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/script.h"
#include "shell/menus.h"

namespace ralvo {
namespace {

TEST(ScriptParse, EveryStepKind) {
    const ScriptParseResult r = ParseScript(
        "# a comment\n"
        "\n"
        "wait 1500\r\n"
        "menu MenuStart\n"
        "menu MenuSkill 1\n"
        "menu MenuSize(2)\n"
        "  open MenuGame\n"
        "mouse board 1 100.5 200\n"
        "mouse next 4 -3 7\n"
        "key 40\n"
        "answer 3, 1 # not a comment\n"
        "answer\n"
        "name  Taro \n"
        "dump Dump Test\n"
        "snap NextPic out dir/next.png  \n"
        "close\n");
    ASSERT_TRUE(r.ok()) << r.error;
    ASSERT_EQ(r.steps.size(), 14u);
    const auto& s = r.steps;
    EXPECT_EQ(s[0].kind, StepKind::Wait);
    EXPECT_EQ(s[0].ms, 1500);
    EXPECT_EQ(s[0].line, 3);
    EXPECT_EQ(s[1].menuId, MenuStart);
    EXPECT_EQ(s[2].menuId, MenuSkill1);
    EXPECT_EQ(s[3].menuId, MenuSize2);
    EXPECT_EQ(s[4].kind, StepKind::Open);
    EXPECT_EQ(s[4].menuId, MenuGame);
    EXPECT_TRUE(s[5].onBoard);
    EXPECT_EQ(s[5].button, 1);
    EXPECT_DOUBLE_EQ(s[5].x, 100.5);
    EXPECT_DOUBLE_EQ(s[5].y, 200);
    EXPECT_FALSE(s[6].onBoard);
    EXPECT_EQ(s[6].button, 4);
    EXPECT_DOUBLE_EQ(s[6].x, -3);
    EXPECT_EQ(s[7].key, 40);
    EXPECT_EQ(s[8].kind, StepKind::Answer);
    EXPECT_EQ(s[8].text, "3, 1 # not a comment");
    EXPECT_EQ(s[9].text, "");
    EXPECT_EQ(s[10].kind, StepKind::Name);
    EXPECT_EQ(s[10].text, " Taro ");
    EXPECT_EQ(s[11].kind, StepKind::Dump);
    EXPECT_EQ(s[11].text, "Dump Test");
    EXPECT_EQ(s[12].pic, kNextPic);
    EXPECT_EQ(s[12].text, "out dir/next.png");
    EXPECT_EQ(s[13].kind, StepKind::Close);
    EXPECT_EQ(s[13].line, 16);
}

TEST(ScriptParse, DescribeGivesALineThatParsesToTheSameStep) {
    const char* lines[] = {"wait 0",      "menu MenuSkill(2)",  "open MenuDebug", "mouse board 2 10.25 -4",
                           "key 27",      "answer a b ",        "name ",          "dump Dump Test",
                           "snap BasePic a.png", "close"};
    for (const char* line : lines) {
        const ScriptParseResult a = ParseScript(line);
        ASSERT_TRUE(a.ok()) << a.error;
        const ScriptParseResult b = ParseScript(a.steps[0].Describe());
        ASSERT_TRUE(b.ok()) << b.error;
        EXPECT_EQ(b.steps[0].Describe(), a.steps[0].Describe()) << line;
        EXPECT_EQ(b.steps[0].text, a.steps[0].text) << line;
    }
}

TEST(ScriptParse, ErrorsNameTheLine) {
    struct Case {
        const char* bad;
        const char* message;
    } cases[] = {
        {"jump 3", "unknown step \"jump\""},
        {"menu MenuNothing", "unknown menu \"MenuNothing\""},
        {"menu MenuSkill 7", "unknown menu \"MenuSkill 7\""},
        {"menu MenuSkill x", "bad menu index \"x\""},
        {"menu", "menu needs a menu name"},
        {"open MenuStart", "\"MenuStart\" is not a top-level menu"},
        {"wait -5", "wait needs a number of milliseconds >= 0"},
        {"wait soon", "wait needs a number"},
        {"wait 10 20", "unexpected text after wait"},
        {"mouse side 1 2 3", "mouse needs board or next"},
        {"mouse board 3 2 3", "mouse button must be 1, 2 or 4"},
        {"mouse board 1 2", "mouse needs x and y"},
        {"mouse board 1 2 y", "mouse needs x and y"},
        {"key 0", "key needs a virtual-key code"},
        {"key 13x", "key needs a virtual-key code"},
        {"snap Board a.png", "snap needs BasePic or NextPic"},
        {"snap BasePic", "snap needs a file name"},
        {"close now", "unexpected text after close"},
    };
    for (const auto& c : cases) {
        const ScriptParseResult r = ParseScript(std::string("# header\nwait 10\n\n") + c.bad + "\nkey 13\n", "t.txt");
        EXPECT_FALSE(r.ok()) << c.bad;
        EXPECT_TRUE(r.steps.empty()) << c.bad;
        EXPECT_EQ(r.error.rfind("t.txt:4: ", 0), 0u) << r.error;
        EXPECT_NE(r.error.find(c.message), std::string::npos) << r.error;
    }
}

TEST(ScriptParse, LoadsFilesAndReportsAMissingOne) {
    const std::string path = (std::filesystem::path(::testing::TempDir()) / "script_test.txt").string();
    std::ofstream(path) << "wait 5\nbogus\n";
    const ScriptParseResult r = LoadScriptFile(path);
    EXPECT_EQ(r.error, path + ":2: unknown step \"bogus\"");
    const ScriptParseResult missing = LoadScriptFile(path + ".none");
    EXPECT_FALSE(missing.ok());
    EXPECT_NE(missing.error.find("cannot open"), std::string::npos);
}

}  // namespace
}  // namespace ralvo
