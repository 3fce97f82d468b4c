#include "shell/errors.h"

#include <gtest/gtest.h>

#include "shell/state.h"
#include "platform/profile.h"
#include "test_support.h"

namespace ralvo {
namespace {

TEST(ErrorStop, Messages) {
    struct Case {
        int16_t err, cod;
        const char* text;
    };
    const Case cases[] = {
        {1, 19, "パス番号エラー 19"},       {2, -3, "セル番号エラー -3"},
        {9, 160, "内部ロジックエラー 160"}, {11, 0, "CreateSolidBrush エラー "},
        {12, 7, "SelectObject エラー "},    {13, 0, "DeleteObject エラー "},
        {14, 0, "CreatePen エラー "},       {15, 0, "SetRop2 エラー "},
        {16, 0, "Rectangle エラー "},       {21, 5012, "構成ファイルエラー 5012"},
        {31, 4, "サウンドエラー 4"},        {5, 3, "予期しないエラー "},
    };
    for (const auto& c : cases) EXPECT_EQ(ErrorMessage(c.err, c.cod), c.text) << c.err;
}

struct ErrorStopTest : ::testing::Test {
    HeadlessPlatform p;
    Game g{p};
    test::TempDir dir;
    void SetUp() override { g.AppDir = dir.str(); }
};

TEST_F(ErrorStopTest, ShowsCriticalBoxAndEnds) {
    const int16_t cod = 0;
    EXPECT_THROW(ErrorStop(g, 12, cod), ProgramEnded);
    EXPECT_TRUE(test::LogHas(p, "SelectObject エラー "));
    EXPECT_TRUE(test::LogHas(p, "16"));
    EXPECT_EQ(dir.Read("Dump.Log"), "") << "only internal logic errors dump";
}

TEST_F(ErrorStopTest, SoundErrorObeysTheSkipOption) {
    const int16_t cod = 4;
    g.OptSkipSoundError = 1;
    ErrorStop(g, 31, cod);  // returns
    EXPECT_FALSE(test::LogHas(p, "サウンドエラー"));
    g.OptSkipSoundError = 0;
    EXPECT_THROW(ErrorStop(g, 31, cod), ProgramEnded);
    EXPECT_TRUE(test::LogHas(p, "サウンドエラー 4"));
}

TEST_F(ErrorStopTest, InternalLogicErrorDumpsWithItsMessageAsTitle) {
    const int16_t cod = 160;
    g.MoveTimer_Enabled = kTrue;
    EXPECT_THROW(ErrorStop(g, 9, cod), ProgramEnded);
    const std::string dump = Cp932ToUtf8(dir.Read("Dump.Log"));
    EXPECT_NE(dump.find("内部ロジックエラー 160 dump at "), std::string::npos);
    // The dump shows the state the error was found in, before the clocks were halted.
    EXPECT_NE(dump.find("MoveTimer_Enabled = True\r\n"), std::string::npos);
}

}  // namespace
}  // namespace ralvo
