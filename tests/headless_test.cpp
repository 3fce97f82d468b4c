#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/headless/headless_platform.h"
#include "platform/script.h"
#include "shell/menus.h"

namespace ralvo {
namespace {

// Records every event with the virtual time it arrived at.
class RecordingSink : public EventSink {
public:
    explicit RecordingSink(HeadlessPlatform& p) : p_(p) { p.SetEventSink(this); }
    void OnMenuOpen(int id) override { Add("open " + MenuScriptName(id)); }
    void OnMenuCommand(int id) override { Add("menu " + MenuScriptName(id)); }
    void OnBoardMouseDown(int b, double x, double y) override {
        Add("board " + std::to_string(b) + " " + std::to_string(int(x)) + " " + std::to_string(int(y)));
    }
    void OnNextMouseDown(int b, double x, double y) override {
        Add("next " + std::to_string(b) + " " + std::to_string(int(x)) + " " + std::to_string(int(y)));
    }
    void OnKeyDown(int k) override { Add("key " + std::to_string(k)); }
    void OnGameTimer() override {
        Add("tick");
        if (sleepInTick) p_.Sleep(sleepInTick);
    }
    void OnCloseRequest() override { Add("close"); }

    std::vector<std::string> events;
    int sleepInTick = 0;

private:
    void Add(const std::string& e) { events.push_back(std::to_string(p_.Now()) + " " + e); }
    HeadlessPlatform& p_;
};

std::vector<ScriptStep> Steps(const std::string& text) {
    ScriptParseResult r = ParseScript(text);
    EXPECT_TRUE(r.ok()) << r.error;
    return r.steps;
}

// Runs a main loop that only pumps and waits, as the game's idle loop does, until the program ends.
int RunIdleLoop(HeadlessPlatform& p, int waitTimeout = -1) {
    try {
        for (int guard = 0; guard < 100000; ++guard) {
            p.PumpEvents();
            p.WaitForEvents(waitTimeout);
        }
    } catch (const ProgramEnded& e) {
        return e.exitCode;
    }
    ADD_FAILURE() << "the loop never ended";
    return -1;
}

TEST(HeadlessClock, SleepAdvancesTimeButRunsNoEvents) {
    HeadlessPlatform p;
    RecordingSink sink(p);
    p.SetGameTimer(true);
    p.LoadScript(Steps("key 13\n"));
    p.Sleep(2500);
    EXPECT_EQ(p.TickCount(), 2500u);
    EXPECT_TRUE(sink.events.empty());
}

TEST(HeadlessClock, TickCountWrapsAround) {
    HeadlessPlatform p;
    p.SetTickBase(0xffffff00u);
    p.Sleep(0x200);
    EXPECT_EQ(p.TickCount(), 0x100u);
    EXPECT_EQ(static_cast<uint32_t>(p.TickCount() - 0xffffff00u), 0x200u);
}

TEST(HeadlessTimer, MissedTicksCollapseIntoOneAndRealign) {
    HeadlessPlatform p;
    RecordingSink sink(p);
    p.Sleep(300);
    p.SetGameTimer(true);  // first tick due at 1300
    p.Sleep(3500);         // now 3800: ticks at 1300, 2300, 3300 were missed
    p.PumpEvents();
    p.PumpEvents();
    EXPECT_EQ(sink.events, (std::vector<std::string>{"3800 tick"}));
    EXPECT_EQ(p.NextTimerTick(), 4300);
}

TEST(HeadlessTimer, ReenablingRestartsThePeriodAndDisablingStopsTicks) {
    HeadlessPlatform p;
    RecordingSink sink(p);
    p.SetGameTimer(true);
    p.Sleep(900);
    p.SetGameTimer(true);  // restart: next tick at 1900
    p.Sleep(200);
    p.PumpEvents();
    EXPECT_TRUE(sink.events.empty());
    p.Sleep(800);
    p.PumpEvents();
    p.SetGameTimer(false);
    p.Sleep(5000);
    p.PumpEvents();
    EXPECT_EQ(sink.events, (std::vector<std::string>{"1900 tick"}));
}

TEST(HeadlessTimer, AHandlerThatSleepsPastTheNextTickGetsOnlyOneTickPerPump) {
    HeadlessPlatform p;
    RecordingSink sink(p);
    sink.sleepInTick = 1500;
    p.SetGameTimer(true);
    p.Sleep(1000);
    p.PumpEvents();
    EXPECT_EQ(sink.events, (std::vector<std::string>{"1000 tick"}));
}

struct WaitCase {
    const char* name;
    bool timer;
    const char* script;  // nullptr: none
    int timeout;
    int64_t expectedNow;
};

TEST(HeadlessWait, AdvancesToTheEarliestDueItem) {
    const WaitCase cases[] = {
        {"timeout first", true, "wait 5000\nkey 13\n", 200, 200},
        {"timer first", true, "wait 5000\nkey 13\n", 3000, 1000},
        {"script first", true, "wait 400\nkey 13\n", 3000, 400},
        {"no limit, timer", true, nullptr, -1, 1000},
        {"no limit, script", false, "wait 700\nkey 13\n", -1, 700},
        {"zero timeout", true, "wait 700\nkey 13\n", 0, 0},
    };
    for (const auto& c : cases) {
        HeadlessPlatform p;
        RecordingSink sink(p);
        if (c.timer) p.SetGameTimer(true);
        if (c.script) {
            p.LoadScript(Steps(c.script));
            p.PumpEvents();  // runs the wait step
        }
        p.WaitForEvents(c.timeout);
        EXPECT_EQ(p.Now(), c.expectedNow) << c.name;
        EXPECT_TRUE(sink.events.empty()) << c.name;
    }
}

TEST(HeadlessWait, NothingLeftToWaitForEndsTheProgram) {
    HeadlessPlatform p;
    EXPECT_THROW(p.WaitForEvents(-1), ProgramEnded);
    EXPECT_TRUE(p.LogHas("end of script"));
    EXPECT_EQ(p.Log().back(), "end code=0");
}

TEST(HeadlessScript, StepsArriveInOrderAtTheirTimes) {
    HeadlessPlatform p;
    RecordingSink sink(p);
    p.LoadScript(Steps(
        "open MenuGame\n"
        "menu MenuStart\n"
        "wait 1500\n"
        "mouse board 1 100.5 200\n"
        "mouse next 2 10 20\n"
        "wait 0\n"
        "key 37\n"
        "wait 250\n"
        "close\n"));
    EXPECT_EQ(RunIdleLoop(p), 0);
    EXPECT_EQ(sink.events, (std::vector<std::string>{"0 open MenuGame", "0 menu MenuStart", "1500 board 1 100 200",
                                                      "1500 next 2 10 20", "1500 key 37", "1750 close"}));
    EXPECT_EQ(p.Log().back(), "end code=0");
    EXPECT_TRUE(p.LogHas("> @1500 mouse board 1 100.5 200"));
}

TEST(HeadlessScript, TimerTicksInterleaveWithStepsAndTheScriptEndsAfterItsLastWait) {
    HeadlessPlatform p;
    RecordingSink sink(p);
    p.SetGameTimer(true);
    p.LoadScript(Steps("wait 1500\nkey 13\nwait 1200\n"));
    EXPECT_EQ(RunIdleLoop(p), 0);
    EXPECT_EQ(sink.events, (std::vector<std::string>{"1000 tick", "1500 key 13", "2000 tick"}));
    EXPECT_EQ(p.Now(), 2700);
}

TEST(HeadlessScript, StepsWaitForATimeTheGameSpentSleeping) {
    HeadlessPlatform p;
    RecordingSink sink(p);
    p.LoadScript(Steps("wait 100\nkey 32\n"));
    p.PumpEvents();
    p.Sleep(3000);  // the game blocks in an animation
    p.PumpEvents();
    EXPECT_EQ(sink.events, (std::vector<std::string>{"3000 key 32"}));
}

TEST(HeadlessScript, MenuCommandsFollowTheStateOfTheLastOpening) {
    HeadlessPlatform p;
    RecordingSink sink(p);
    p.BuildMenus(MenuTree());
    p.SetMenuItem(MenuStop, MenuItemState{"ストップ(&S)", true, false, false});
    p.SetMenuItem(MenuDebug, MenuItemState{"デバッグ", false, false, false});
    p.SetMenuItem(MenuSkill1, MenuItemState{"中級", true, true, true});
    p.LoadScript(Steps("menu MenuStop\nmenu MenuDumpAll\nmenu MenuStart\nopen MenuGame\n"));
    EXPECT_EQ(RunIdleLoop(p), 0);
    EXPECT_EQ(sink.events, (std::vector<std::string>{"0 menu MenuStart", "0 open MenuGame"}));
    EXPECT_TRUE(p.LogHas("menu unavailable MenuStop"));
    EXPECT_TRUE(p.LogHas("menu unavailable MenuDumpAll"));
    EXPECT_TRUE(p.LogHas("menuitem MenuStop caption=\"ストップ(&S)\" visible=1 enabled=0 checked=0"));
    EXPECT_TRUE(p.LogHas("menuitem MenuSkill(1) caption=\"中級\" visible=1 enabled=1 checked=1"));
    EXPECT_FALSE(p.LogHas("menuitem MenuSound"));
}

TEST(HeadlessScript, AnswersAndNamesAreQueuedInOrder) {
    HeadlessPlatform p;
    p.LoadScript(Steps("answer 3\nanswer\nname  Taro \n"));
    p.PumpEvents();
    EXPECT_EQ(p.InputBox("ゲーム指定", "p", "0"), "3");
    EXPECT_EQ(p.InputBox("ゲーム指定", "p", "0"), "");
    EXPECT_EQ(p.InputBox("ゲーム指定", "p", "0"), "");  // none left: cancelled
    EXPECT_EQ(p.TakeNameAnswer(), std::optional<std::string>(" Taro "));
    EXPECT_EQ(p.TakeNameAnswer(), std::nullopt);
    EXPECT_TRUE(p.LogHas("inputbox title=\"ゲーム指定\" prompt=\"p\" default=\"0\" answer=\"3\""));
}

TEST(HeadlessScript, DumpCallsTheHookAndSnapSavesThePicture) {
    HeadlessPlatform p;
    std::vector<std::string> titles;
    p.onDump = [&](const std::string& t) { titles.push_back(t); };
    Image base(4, 3, MakeRgb(10, 20, 30)), next(2, 2);
    p.AttachPictures(&base, &next);
    const std::string file = ::testing::TempDir() + "headless_snap.png";
    p.LoadScript(Steps("dump Dump Test\nsnap BasePic " + file + "\n"));
    p.PumpEvents();
    EXPECT_EQ(titles, (std::vector<std::string>{"Dump Test"}));
    Image back;
    ASSERT_TRUE(LoadPng(file, back));
    EXPECT_EQ(back, base);
}

TEST(HeadlessLog, EffectLinesHaveTheirFixedFormat) {
    HeadlessPlatform p;
    p.MessageBox("一行目\r\n\"二\"行目", "Ralvo", kMsgCritical, "/x/Ralvo.HLP", 5);
    p.MessageBox("t", "T", kMsgExclamation);
    p.Beep();
    p.PlayWave("/app/Click.wav");
    p.SetPlayWaveFails(true);
    EXPECT_FALSE(p.PlayWave("/app/Crash.wav"));
    EXPECT_FALSE(p.WinHelp("/nonexistent/Ralvo.HLP", kHelpFinder, 0));
    p.SetCaption("ラルボ");
    p.SetCaption("ラルボ");
    p.ShowLabel("GAME OVER", 24, MakeRgb(255, 0, 16), 1, 30, 40);
    p.HideLabel();
    p.HideLabel();
    p.SetClientSize(800, 600);
    p.Note("not built yet");
    EXPECT_THROW(p.Terminate(3), ProgramEnded);
    const std::vector<std::string> expected = {
        "msgbox style=16 title=\"Ralvo\" text=\"一行目\\r\\n\\\"二\\\"行目\" help=\"Ralvo.HLP\" topic=5",
        "msgbox style=48 title=\"T\" text=\"t\"",
        "beep",
        "sound file=\"Click.wav\" ok=1",
        "sound file=\"Crash.wav\" ok=0",
        "help command=11 data=0 file=\"Ralvo.HLP\" ok=0",
        "caption text=\"ラルボ\"",
        "label show text=\"GAME OVER\" size=24 color=#FF0010 style=1 x=30 y=40",
        "label hide",
        "window size=800x600",
        "note text=\"not built yet\"",
        "end code=3",
    };
    EXPECT_EQ(p.Log(), expected);
}

TEST(HeadlessLog, WinHelpSucceedsWhenTheHelpFileExistsUnlessToldToFail) {
    const std::string file = ::testing::TempDir() + "headless_help.hlp";
    FILE* f = std::fopen(file.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
    HeadlessPlatform p;
    EXPECT_TRUE(p.WinHelp(file, kHelpContext, 7));
    p.SetWinHelpFails(true);
    EXPECT_FALSE(p.WinHelp(file, kHelpContext, 7));
}

TEST(HeadlessLog, MeasureLabelCountsCharactersNotBytes) {
    HeadlessPlatform p;
    EXPECT_EQ(p.MeasureLabel("ステージ", 12), std::make_pair(64, 20));
    EXPECT_EQ(p.MeasureLabel("ab", 10), std::make_pair(27, 17));
}

}  // namespace
}  // namespace ralvo
