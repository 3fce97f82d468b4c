// The real window: a Qt main window with the menu bar, the two pictures, the
// board message label and the title picture, plus dialogs, sound, help and timers.
#pragma once
#include <QElapsedTimer>
#include <QLabel>
#include <QMainWindow>
#include <QTimer>
#include <QWidget>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/script.h"

class QApplication;
class QAction;
class QMenu;
class QSoundEffect;
class QTextBrowser;

namespace ralvo {

// Qt's key code to the Windows virtual-key code the game expects; 0 when the key has none.
int WindowsKeyCode(int qtKey);
// Qt's mouse button to the game's button number (1 left, 2 right, 4 middle); 0 for others.
int WindowsMouseButton(Qt::MouseButton button);

// Qt's own Japanese texts for standard buttons, and a font that has Japanese glyphs.
void InstallJapanese(QApplication& app);

// Shows one of the game's pictures at its own pixel size, top-left aligned.
class PictureWidget : public QWidget {
    Q_OBJECT
public:
    explicit PictureWidget(QWidget* parent);
    void SetImage(const Image* image) { image_ = image; }
    const Image* image() const { return image_; }

signals:
    void pressed(int button, double x, double y);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    const Image* image_ = nullptr;
};

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    MainWindow();
    EventSink* sink = nullptr;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // Tab and the arrows belong to the game, not to focus navigation.
    bool focusNextPrevChild(bool next) override;
};

class QtPlatform : public Platform {
public:
    // Needs a QApplication that lives longer than this object.
    QtPlatform();
    ~QtPlatform() override;
    QtPlatform(const QtPlatform&) = delete;
    QtPlatform& operator=(const QtPlatform&) = delete;

    // ClockService
    uint32_t TickCount() override;
    void Sleep(int ms) override;
    // TimerService
    void SetGameTimer(bool enabled) override;
    bool GameTimerEnabled() const override;
    // EventService
    void SetEventSink(EventSink* sink) override;
    void PumpEvents() override;
    void WaitForEvents(int timeoutMs) override;
    // DialogService
    void MessageBox(const std::string& text, const std::string& title, int style,
                    const std::string& helpFile = {}, int helpTopic = 0) override;
    std::string InputBox(const std::string& title, const std::string& prompt,
                         const std::string& defaultText) override;
    void Beep() override;
    // SoundService
    int WaveOutDeviceCount() override;
    bool PlayWave(const std::string& path) override;
    // DisplayService
    int DisplayWidth() override;
    int DisplayHeight() override;
    // HelpService
    bool WinHelp(const std::string& helpFile, int command, int data) override;
    // WindowService
    void SetCaption(const std::string& caption) override;
    void BuildMenus(const std::vector<MenuItemDef>& items) override;
    void SetMenuItem(int id, const MenuItemState& state) override;
    void AttachPictures(const Image* basePic, const Image* nextPic) override;
    void SetClientSize(int clientW, int clientH) override;
    void SetPictureVisible(PictureId pic, bool visible) override;
    void RefreshPicture(PictureId pic) override;
    std::pair<int, int> MeasureLabel(const std::string& text, int pointSize) override;
    void ShowLabel(const std::string& text, int pointSize, Rgb color, int style, int x, int y) override;
    void HideLabel() override;
    void ShowTitle(const Image& title, int x, int y) override;
    void HideTitle() override;
    void ShowWindow() override;
    // Platform
    [[noreturn]] void Terminate(int exitCode) override;
    void Note(const std::string& text) override;

    void SetWindowIcon(const Image& icon);

    // Answers queued here are taken by the next InputBox calls instead of a dialog.
    void QueueInputAnswer(const std::string& text) { queued_.answers.push_back(text); }
    // Names queued for the score dialog's name box (by a script's name steps).
    void QueueNameAnswer(const std::string& text) { queued_.names.push_back(text); }
    // The next queued name, or nullopt when the player is to type it.
    std::optional<std::string> TakeNameAnswer();

    // Plays the steps in real time from the event loop, starting with the next
    // event pass. Each step is logged to stderr; once the last step has run (and
    // its wait is over) the program ends with code 0.
    void RunScript(std::vector<ScriptStep> steps);
    bool ScriptRunning() const { return scriptActive_; }
    // Called by the dump step; the game side sets it.
    std::function<void(const std::string&)> onDump;

    // For tests and scripted runs.
    MainWindow* window() { return window_.get(); }
    QWidget* client() { return client_; }
    PictureWidget* picture(PictureId pic) { return pic == kBasePic ? basePic_ : nextPic_; }
    QLabel* boardLabel() { return label_; }
    QLabel* titleLabel() { return title_; }
    QTextBrowser* helpViewer() { return help_.get(); }
    // The action of a menu item; for a top-level menu its menu action. Null when unknown.
    QAction* action(int id) const;
    QMenu* menu(int id) const;
    EventSink* sink() const { return sink_; }

private:
    void CentreWindow();
    void RunScriptSteps();
    void RunStep(const ScriptStep& step);
    bool MenuAvailable(int id) const;
    void ApplyLabelFont(int pointSize);

    EventSink* sink_ = nullptr;
    std::unique_ptr<MainWindow> window_;
    QWidget* client_ = nullptr;
    PictureWidget* nextPic_ = nullptr;
    PictureWidget* basePic_ = nullptr;
    QLabel* label_ = nullptr;
    QLabel* title_ = nullptr;
    QLabel measure_;  // never shown: sizes the board label's text
    std::unique_ptr<QTextBrowser> help_;
    QElapsedTimer clock_;
    QTimer gameTimer_;
    QTimer wake_;
    std::map<int, QAction*> actions_;
    std::map<int, QMenu*> menus_;
    std::map<std::string, std::unique_ptr<QSoundEffect>> sounds_;
    ScriptAnswers queued_;
    std::vector<ScriptStep> steps_;
    size_t stepPos_ = 0;
    bool scriptActive_ = false;
    bool inStep_ = false;
    QTimer scriptTimer_;
    QElapsedTimer scriptClock_;
    std::map<int, int> parents_;
};

}  // namespace ralvo
