#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QInputDialog>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "platform/qt/qt_platform.h"
#include "shell/menus.h"

namespace ralvo {
namespace {

// One QApplication for the whole binary; created only when tests run, so listing
// the tests needs no display.
class QtEnvironment : public testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "ralvo_qt_tests";
        static char* argv[] = {name, nullptr};
        app_ = new QApplication(argc, argv);
        InstallJapanese(*app_);
    }
    void TearDown() override { delete app_; }

private:
    QApplication* app_ = nullptr;
};
const auto* const kEnv = testing::AddGlobalTestEnvironment(new QtEnvironment);

struct Recorder : EventSink {
    std::vector<std::string> log;
    void OnMenuOpen(int id) override { log.push_back("open " + MenuScriptName(id)); }
    void OnMenuCommand(int id) override { log.push_back("menu " + MenuScriptName(id)); }
    void OnBoardMouseDown(int b, double x, double y) override {
        log.push_back("board " + std::to_string(b) + " " + std::to_string(x) + " " + std::to_string(y));
    }
    void OnNextMouseDown(int b, double x, double y) override {
        log.push_back("next " + std::to_string(b) + " " + std::to_string(x) + " " + std::to_string(y));
    }
    void OnKeyDown(int code) override { log.push_back("key " + std::to_string(code)); }
    void OnGameTimer() override { log.push_back("tick"); }
    void OnCloseRequest() override { log.push_back("close"); }
};

class QtPlatformTest : public testing::Test {
protected:
    QtPlatformTest() {
        plat.SetEventSink(&sink);
        plat.BuildMenus(MenuTree());
    }
    void ShowActive() {
        plat.SetClientSize(772, 506);
        plat.ShowWindow();
        QApplication::setActiveWindow(plat.window());
        ASSERT_TRUE(QTest::qWaitForWindowActive(plat.window()));
    }
    // Runs check on the modal widget once it is up, then closes it.
    static void OnModal(std::function<void(QWidget*)> check) {
        QTimer::singleShot(0, [check] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal == nullptr) {
                ADD_FAILURE() << "no modal box";
                return;
            }
            check(modal);
            modal->close();
        });
    }

    QtPlatform plat;
    Recorder sink;
};

std::string Text(const QString& s) { return s.toStdString(); }

TEST_F(QtPlatformTest, MenuBarHasTheExactCaptionsSeparatorsAndShortcuts) {
    std::vector<std::string> top;
    for (QAction* a : plat.window()->menuBar()->actions()) top.push_back(Text(a->text()));
    EXPECT_EQ(top, (std::vector<std::string>{"ゲーム(&F)", "セットアップ", "サイズ", "ヘルプ", "デバッグ"}));

    std::vector<std::string> game;
    for (QAction* a : plat.menu(MenuGame)->actions())
        game.push_back(a->isSeparator() ? "-" : Text(a->text()) + "|" + Text(a->shortcut().toString()));
    EXPECT_EQ(game, (std::vector<std::string>{"スタート(&G)|Ctrl+G", "ストップ(&S)|Ctrl+S", "-", "初級|", "中級|",
                                              "上級|", "-", "スコア|", "-", "おわり(&E)|Ctrl+E"}));

    // Every item of the tree sits in its parent menu at its place.
    for (const MenuItemDef& item : MenuTree()) {
        QAction* a = plat.action(item.id);
        ASSERT_NE(a, nullptr) << item.name;
        if (item.parent < 0) continue;
        EXPECT_TRUE(plat.menu(item.parent)->actions().contains(a)) << item.name;
        EXPECT_EQ(a->isSeparator(), item.caption == "-") << item.name;
    }
    EXPECT_EQ(plat.menu(MenuResize)->actions().size(), 5);
}

TEST_F(QtPlatformTest, MenuActionsAndOpeningReachTheGame) {
    plat.action(MenuRhtClickFlight2)->trigger();
    plat.action(MenuDumpAll)->trigger();
    ShowActive();
    plat.menu(MenuSetup)->popup(QPoint(0, 0));
    plat.menu(MenuSetup)->close();
    EXPECT_EQ(sink.log, (std::vector<std::string>{"menu MenuRhtClickFlight(2)", "menu MenuDumpAll", "open MenuSetup"}));
}

TEST_F(QtPlatformTest, ShortcutsFollowTheLastEnabledState) {
    ShowActive();
    QTest::keyClick(plat.window(), Qt::Key_G, Qt::ControlModifier);
    plat.SetMenuItem(MenuStart, {"スタート(&G)", true, false, false});
    QTest::keyClick(plat.window(), Qt::Key_G, Qt::ControlModifier);
    QTest::keyClick(plat.window(), Qt::Key_E, Qt::ControlModifier);
    std::erase_if(sink.log, [](const std::string& s) { return s.starts_with("key"); });
    EXPECT_EQ(sink.log, (std::vector<std::string>{"menu MenuStart", "menu MenuExit"}));
}

TEST_F(QtPlatformTest, SetMenuItemChangesCaptionVisibleEnabledChecked) {
    struct Case {
        int id;
        MenuItemState state;
    };
    const Case cases[] = {
        {MenuSkill1, {"中級", true, false, true}},
        {MenuSkill1, {"中級", true, true, false}},
        {MenuSize0, {"800 × 600  ( 8 × 6 )", true, true, true}},
        {MenuRhtClickFlight0, {"右クリックで右飛行（対角）", false, true, false}},
        {MenuStop, {"ストップ(&S)", false, false, false}},
        {MenuStop, {"ストップ(&S)", true, false, false}},
        {MenuBar21, {"-", false, true, false}},
        {MenuDebug, {"デバッグ", false, true, false}},
        {MenuGame, {"ゲーム(&F)", true, false, false}},
    };
    for (const Case& c : cases) {
        plat.SetMenuItem(c.id, c.state);
        QAction* a = plat.action(c.id);
        SCOPED_TRACE(MenuScriptName(c.id));
        EXPECT_EQ(a->isVisible(), c.state.visible);
        // Qt reports a hidden action as disabled whatever it was told.
        if (c.state.visible) {
            EXPECT_EQ(a->isEnabled(), c.state.enabled);
        }
        EXPECT_EQ(a->isChecked(), c.state.checked);
        if (!a->isSeparator()) {
            EXPECT_EQ(Text(a->text()), c.state.caption);
        }
    }
    EXPECT_FALSE(plat.window()->menuBar()->actions().at(4)->isVisible());
}

TEST(QtKeys, WindowsKeyCodes) {
    const std::pair<int, int> table[] = {
        {Qt::Key_Escape, 27}, {Qt::Key_Return, 13}, {Qt::Key_Enter, 13}, {Qt::Key_Space, 32},
        {Qt::Key_Left, 37},   {Qt::Key_Up, 38},     {Qt::Key_Right, 39}, {Qt::Key_Down, 40},
        {Qt::Key_A, 65},      {Qt::Key_Z, 90},      {Qt::Key_0, 48},     {Qt::Key_9, 57},
        {Qt::Key_F1, 112},    {Qt::Key_F12, 123},   {Qt::Key_Tab, 9},    {Qt::Key_Delete, 46},
        {Qt::Key_Shift, 16},  {Qt::Key_Comma, 188}, {Qt::Key_unknown, 0}, {Qt::Key_VolumeUp, 0},
    };
    for (auto [qt, win] : table) EXPECT_EQ(WindowsKeyCode(qt), win) << std::hex << qt;
}

TEST_F(QtPlatformTest, KeysReachTheGameNotFocusNavigation) {
    ShowActive();
    for (Qt::Key k : {Qt::Key_Left, Qt::Key_Tab, Qt::Key_Space, Qt::Key_Return, Qt::Key_Down, Qt::Key_Escape,
                      Qt::Key_VolumeUp})
        QTest::keyClick(plat.window(), k);
    EXPECT_EQ(sink.log, (std::vector<std::string>{"key 37", "key 9", "key 32", "key 13", "key 40", "key 27"}));
}

TEST_F(QtPlatformTest, MousePressGivesButtonAndPicturePixels) {
    ShowActive();
    QTest::mousePress(plat.picture(kBasePic), Qt::LeftButton, {}, QPoint(20, 10));
    QTest::mousePress(plat.picture(kBasePic), Qt::RightButton, {}, QPoint(687, 505));
    QTest::mousePress(plat.picture(kNextPic), Qt::MiddleButton, {}, QPoint(3, 334));
    QTest::mousePress(plat.picture(kNextPic), Qt::BackButton, {}, QPoint(3, 4));
    EXPECT_EQ(sink.log, (std::vector<std::string>{"board 1 20.000000 10.000000", "board 2 687.000000 505.000000",
                                                  "next 4 3.000000 334.000000"}));
}

TEST_F(QtPlatformTest, ClientAreaHasTheAskedSizeAndPicturesTheirPlaces) {
    ShowActive();
    for (QSize want : {QSize(772, 506), QSize(691, 425)}) {
        plat.SetClientSize(want.width(), want.height());
        QApplication::processEvents();
        EXPECT_EQ(plat.client()->size(), want);
        EXPECT_EQ(plat.picture(kNextPic)->geometry(), QRect(0, 0, 84, want.height()));
        EXPECT_EQ(plat.picture(kBasePic)->geometry(), QRect(84, 0, want.width() - 84, want.height()));
        // The menu bar sits above the client area, not over it.
        EXPECT_GE(plat.client()->mapTo(plat.window(), QPoint(0, 0)).y(), plat.window()->menuBar()->height());
        const QRect avail = QGuiApplication::primaryScreen()->availableGeometry();
        const QRect frame = plat.window()->frameGeometry();
        EXPECT_LE(std::abs(frame.center().x() - avail.center().x()), 1);
        EXPECT_LE(std::abs(frame.center().y() - avail.center().y()), 1);
    }
}

TEST_F(QtPlatformTest, PicturesShowTheImagePixelsUnscaled) {
    Image base(688, 506, MakeRgb(0, 0, 128));
    Image next(84, 506, MakeRgb(10, 20, 30));
    base.Set(0, 0, MakeRgb(255, 0, 0));
    base.Set(687, 505, MakeRgb(0, 255, 0));
    base.Set(100, 50, MakeRgb(1, 2, 3));
    next.Set(83, 334, MakeRgb(200, 100, 50));
    plat.AttachPictures(&base, &next);
    ShowActive();
    plat.RefreshPicture(kBasePic);
    const QImage b = plat.picture(kBasePic)->grab().toImage();
    const QImage n = plat.picture(kNextPic)->grab().toImage();
    EXPECT_EQ(b.size(), QSize(688, 506));
    EXPECT_EQ(b.pixel(0, 0) & 0xffffff, 0xff0000u);
    EXPECT_EQ(b.pixel(687, 505) & 0xffffff, 0x00ff00u);
    EXPECT_EQ(b.pixel(100, 50) & 0xffffff, 0x010203u);
    EXPECT_EQ(b.pixel(101, 50) & 0xffffff, 0x000080u);
    EXPECT_EQ(n.pixel(83, 334) & 0xffffff, MakeRgb(200, 100, 50));
    EXPECT_EQ(n.pixel(0, 0) & 0xffffff, MakeRgb(10, 20, 30));

    // The picture is read at paint time: a change shows on the next refresh.
    base.Set(0, 0, MakeRgb(9, 9, 9));
    plat.RefreshPicture(kBasePic);
    EXPECT_EQ(plat.picture(kBasePic)->grab().toImage().pixel(0, 0) & 0xffffff, 0x090909u);
}

TEST_F(QtPlatformTest, TitleAndBoardLabelSitWhereAsked) {
    Image title(240, 120, MakeRgb(0, 200, 0));
    plat.SetClientSize(772, 506);
    plat.ShowTitle(title, 267, 193);
    EXPECT_EQ(plat.titleLabel()->geometry(), QRect(267, 193, 240, 120));
    EXPECT_TRUE(plat.titleLabel()->isVisibleTo(plat.window()));
    plat.HideTitle();
    EXPECT_FALSE(plat.titleLabel()->isVisibleTo(plat.window()));

    const auto [w30, h30] = plat.MeasureLabel("Stage 3", 30);
    const auto [w10, h10] = plat.MeasureLabel("Stage 3", 10);
    EXPECT_GT(w30, w10);
    EXPECT_GT(h30, h10);
    plat.ShowLabel("Stage 3", 30, kWhite, 0, 100, 200);
    EXPECT_EQ(plat.boardLabel()->geometry(), QRect(100, 200, w30, h30));
    EXPECT_EQ(plat.boardLabel()->parentWidget(), plat.picture(kBasePic));
    EXPECT_FALSE(plat.boardLabel()->autoFillBackground());
    plat.HideLabel();
    EXPECT_FALSE(plat.boardLabel()->isVisibleTo(plat.window()));
}

TEST_F(QtPlatformTest, MessageBoxIconFollowsStyle) {
    const std::pair<int, QMessageBox::Icon> table[] = {
        {kMsgCritical, QMessageBox::Critical}, {kMsgExclamation, QMessageBox::Warning}, {0, QMessageBox::NoIcon}};
    for (auto [style, icon] : table) {
        QMessageBox::Icon seen = QMessageBox::NoIcon;
        QString text, title;
        int buttons = 0;
        OnModal([&](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            ASSERT_NE(box, nullptr);
            seen = box->icon();
            text = box->text();
            title = box->windowTitle();
            buttons = box->buttons().size();
        });
        plat.MessageBox("一行目\r\n\n二行目", "性能問題", style);
        EXPECT_EQ(seen, icon) << style;
        EXPECT_EQ(text, QStringLiteral("一行目\n\n二行目"));
        EXPECT_EQ(title, QStringLiteral("性能問題"));
        EXPECT_EQ(buttons, 1);
    }
}

class HelpTest : public QtPlatformTest {
protected:
    HelpTest() {
        QString html = QStringLiteral("<html><body><h1>ラルボ</h1>");
        for (int i = 0; i < 200; ++i) html += QStringLiteral("<p>あそびかた %1</p>").arg(i);
        html += QStringLiteral("<h2><a name=\"topic101\"></a>性能</h2>");
        for (int i = 0; i < 100; ++i) html += QStringLiteral("<p>間 %1</p>").arg(i);
        html += QStringLiteral("<h2 id=\"topic100\">バージョン</h2>");
        for (int i = 0; i < 200; ++i) html += QStringLiteral("<p>後 %1</p>").arg(i);
        html += QStringLiteral("</body></html>");
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(html.toUtf8());
    }
    QTemporaryDir dir;
    const QString path = dir.filePath("Ralvo.HLP");
    const std::string file = path.toStdString();
};

TEST_F(HelpTest, ViewerOpensAtTheTopOrAtATopicAndCloses) {
    EXPECT_FALSE(plat.WinHelp(file + ".missing", kHelpFinder, 0));
    EXPECT_EQ(plat.helpViewer(), nullptr);
    EXPECT_TRUE(plat.WinHelp(file, kHelpQuit, 0));  // nothing open: harmless

    ASSERT_TRUE(plat.WinHelp(file, kHelpContext, 101));
    QTextBrowser* viewer = plat.helpViewer();
    ASSERT_NE(viewer, nullptr);
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_EQ(viewer->windowTitle(), QStringLiteral("ラルボ ヘルプ"));
    const int at101 = viewer->verticalScrollBar()->value();
    EXPECT_GT(at101, 0);
    // Topics marked with an id work as well as named anchors.
    ASSERT_TRUE(plat.WinHelp(file, kHelpContext, 100));
    EXPECT_GT(viewer->verticalScrollBar()->value(), at101);

    ASSERT_TRUE(plat.WinHelp(file, kHelpFinder, 0));
    EXPECT_EQ(viewer->verticalScrollBar()->value(), 0);
    EXPECT_TRUE(viewer->toPlainText().contains(QStringLiteral("あそびかた 199")));

    EXPECT_TRUE(plat.WinHelp(file, kHelpQuit, 0));
    EXPECT_FALSE(viewer->isVisible());
}

TEST_F(HelpTest, F1InTheMessageBoxOpensItsTopic) {
    ShowActive();
    OnModal([](QWidget* box) {
        QWidget* target = box->focusWidget() ? box->focusWidget() : box;
        QTest::keyClick(target, Qt::Key_F1);
    });
    plat.MessageBox("ビデオ性能が十分ではありません", "性能問題", kMsgExclamation, file, 101);
    ASSERT_NE(plat.helpViewer(), nullptr);
    EXPECT_TRUE(plat.helpViewer()->isVisible());
    EXPECT_GT(plat.helpViewer()->verticalScrollBar()->value(), 0);
}

TEST_F(QtPlatformTest, InputBoxReturnsQueuedAnswerOrEmptyOnCancel) {
    plat.QueueInputAnswer("たろう");
    EXPECT_EQ(plat.InputBox("ラルボ", "名前", "x"), "たろう");

    OnModal([](QWidget* w) { ASSERT_NE(qobject_cast<QInputDialog*>(w), nullptr); });
    EXPECT_EQ(plat.InputBox("ラルボ", "名前", "ななし"), "");

    OnModal([](QWidget* w) {
        auto* dlg = qobject_cast<QInputDialog*>(w);
        ASSERT_NE(dlg, nullptr);
        EXPECT_EQ(dlg->textValue(), QStringLiteral("ななし"));
        dlg->setTextValue(QStringLiteral("はなこ"));
        dlg->accept();
    });
    EXPECT_EQ(plat.InputBox("ラルボ", "名前", "ななし"), "はなこ");
}

TEST_F(QtPlatformTest, PlayWaveFailsOnMissingOrForeignFile) {
    QTemporaryDir dir;
    const QString text = dir.filePath("Click.wav");
    QFile f(text);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("not a wave file at all");
    f.close();
    EXPECT_FALSE(plat.PlayWave(dir.filePath("Missing.wav").toStdString()));
    EXPECT_FALSE(plat.PlayWave(text.toStdString()));
}

TEST_F(QtPlatformTest, WaitForEventsReturnsOnEventOrTimeout) {
    bool fired = false;
    QTimer::singleShot(10, [&] { fired = true; });
    while (!fired) plat.WaitForEvents(-1);
    // Nothing pending: the bound ends the wait.
    plat.WaitForEvents(20);
    plat.WaitForEvents(0);
    SUCCEED();
}

TEST_F(QtPlatformTest, ClosingTheWindowAsksTheGame) {
    ShowActive();
    plat.window()->close();
    EXPECT_EQ(sink.log, (std::vector<std::string>{"close"}));
    EXPECT_TRUE(plat.window()->isVisible());
}

}  // namespace
}  // namespace ralvo

namespace ralvo {
namespace {

// The child process reports what reached the game on stderr, where the death test can see it.
struct LoudSink : Recorder {
    QtPlatform* plat = nullptr;
    void Say(const std::string& s) { std::fprintf(stderr, "game: %s\n", s.c_str()); }
    void OnMenuOpen(int id) override {
        Say("open " + MenuScriptName(id));
        plat->SetMenuItem(MenuStart, {"スタート(&G)", true, false, false});
    }
    void OnMenuCommand(int id) override {
        Say("menu " + MenuScriptName(id));
        if (id == MenuScore) Say("input " + plat->InputBox("ラルボ", "名前", ""));
    }
    void OnBoardMouseDown(int b, double x, double y) override {
        Say("board " + std::to_string(b) + " " + std::to_string(static_cast<int>(x)) + " " +
            std::to_string(static_cast<int>(y)));
    }
    void OnKeyDown(int code) override { Say("key " + std::to_string(code)); }
    void OnCloseRequest() override { Say("close"); }
};

void RunScriptToTheEnd(const std::string& text, const std::string& snapFile) {
    QtPlatform plat;
    LoudSink sink;
    sink.plat = &plat;
    plat.SetEventSink(&sink);
    plat.BuildMenus(MenuTree());
    Image base(688, 506, MakeRgb(1, 2, 3));
    Image next(84, 506);
    plat.AttachPictures(&base, &next);
    plat.SetClientSize(772, 506);
    plat.ShowWindow();
    ScriptParseResult parsed = ParseScript(text + "snap BasePic " + snapFile + "\n");
    if (!parsed.ok()) std::_Exit(3);
    plat.RunScript(parsed.steps);
    for (;;) plat.WaitForEvents(-1);
}

TEST(QtScript, StepsRunThroughTheRealMenusAndEndTheProgram) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // The death test's child runs this body again, so the file name must not be random.
    const std::string snap = testing::TempDir() + "ralvo_qt_script_board.png";
    std::remove(snap.c_str());
    const std::string script =
        "menu MenuStart\n"
        "open MenuGame\n"
        "menu MenuStart\n"   // disabled by the open handler now
        "answer たろう\n"
        "menu MenuScore\n"
        "wait 30\n"
        "mouse board 2 40 50\n"
        "key 37\n"
        "close\n";
    EXPECT_EXIT(RunScriptToTheEnd(script, snap), testing::ExitedWithCode(0),
                "game: menu MenuStart\n.*game: open MenuGame\n.*menu unavailable MenuStart\n.*"
                "game: menu MenuScore\n.*game: input たろう\n.*> @[0-9]+ wait 30\n.*game: board 2 40 50\n.*"
                "game: key 37\n.*game: close\n.*end of script");
    Image saved;
    ASSERT_TRUE(LoadPng(snap, saved));
    EXPECT_EQ(saved.At(5, 5), MakeRgb(1, 2, 3));
    std::remove(snap.c_str());
}

}  // namespace
}  // namespace ralvo
