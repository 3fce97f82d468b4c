// The headless back end: a virtual clock, a scripted user and an effect log.
// Every unit test runs the game on it, and the harness replays scripts with it.
//
// Time only moves when the game sleeps or waits for events, so a run is exactly
// reproducible. The effect log holds one line per thing a user would see or hear;
// the formats are fixed so tests and scripts can grep for them:
//
//   msgbox style=16 title="..." text="..." [help="Ralvo.HLP" topic=N]
//   inputbox title="..." prompt="..." default="..." answer="..."
//   namebox answer="..."               (the score dialog's name box)
//   dialog name="..."                   (a modal dialog was opened)
//   beep
//   sound file="Click.wav" ok=1
//   help command=11 data=0 file="Ralvo.HLP" ok=1
//   caption text="..."
//   menuitem MenuStart caption="..." visible=1 enabled=1 checked=0   (after an open step)
//   label show text="..." size=N color=#RRGGBB style=N x=N y=N
//   label hide
//   title show x=N y=N size=WxH  /  title hide
//   picture BasePic visible=0
//   window size=WxH  /  window shown
//   note text="..."
//   > @T <script step>                  (a script step run at virtual time T ms)
//   end of script
//   end code=N
//
// File names in the log are given without their directory. Quoted texts escape
// backslash, double quote, CR, LF and tab as \\ \" \r \n \t.
#pragma once
#include <cstdint>
#include <deque>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/script.h"

namespace ralvo {

class HeadlessPlatform : public Platform {
public:
    HeadlessPlatform();
    ~HeadlessPlatform() override;

    // --- Set-up for tests and the harness
    void SetDisplaySize(int w, int h) { displayW_ = w; displayH_ = h; }
    void SetWaveDeviceCount(int n) { waveDevices_ = n; }
    void SetPlayWaveFails(bool fail) { playWaveFails_ = fail; }
    // Forces WinHelp to fail; otherwise it succeeds when the help file exists.
    void SetWinHelpFails(bool fail) { winHelpFails_ = fail; }
    // Sets the tick counter's reading at virtual time 0 (to test its wrap-around).
    void SetTickBase(uint32_t base) { tickBase_ = base; }
    void QueueInputAnswer(const std::string& text) { queued_.answers.push_back(text); }
    void QueueNameAnswer(const std::string& text) { queued_.names.push_back(text); }
    // Steps to replay from the next PumpEvents on. A loaded script ends the program
    // (exit code 0, "end of script") once its last step has run and its last wait is over.
    void LoadScript(std::vector<ScriptStep> steps);
    // Mirrors every log line to this file (flushed line by line). False if it cannot be opened.
    bool SetLogFile(const std::string& path);
    // Called by the dump step; the game side sets it.
    std::function<void(const std::string&)> onDump;

    // --- Inspection
    const std::vector<std::string>& Log() const { return log_; }
    void ClearLog() { log_.clear(); }
    // True when some log line contains text.
    bool LogHas(const std::string& text) const;
    int64_t Now() const { return now_; }  // virtual ms since construction
    int64_t NextTimerTick() const { return nextTick_; }
    bool ScriptDone() const { return stepPos_ >= steps_.size(); }
    const Image* BasePicture() const { return basePic_; }
    const Image* NextPicture() const { return nextPic_; }
    std::string Caption() const { return caption_; }
    std::pair<int, int> ClientSize() const { return {clientW_, clientH_}; }
    const MenuItemState* MenuState(int id) const;
    int RefreshCount(PictureId pic) const { return refreshes_[pic]; }
    EventSink* Sink() const { return sink_; }

    // --- Services the game's own dialogs use (score table, version information)
    // Logs that a modal dialog was opened.
    void DialogOpened(const std::string& name);
    // The next queued name for the score dialog's name box; nullopt when none is
    // queued (the dialog is then closed without OK).
    std::optional<std::string> TakeNameAnswer();

    // --- Platform
    uint32_t TickCount() override;
    void Sleep(int ms) override;
    void SetGameTimer(bool enabled) override;
    bool GameTimerEnabled() const override { return timerEnabled_; }
    void SetEventSink(EventSink* sink) override { sink_ = sink; }
    void PumpEvents() override;
    void WaitForEvents(int timeoutMs) override;
    void MessageBox(const std::string& text, const std::string& title, int style, const std::string& helpFile = {},
                    int helpTopic = 0) override;
    std::string InputBox(const std::string& title, const std::string& prompt, const std::string& defaultText) override;
    void Beep() override;
    int WaveOutDeviceCount() override { return waveDevices_; }
    bool PlayWave(const std::string& path) override;
    int DisplayWidth() override { return displayW_; }
    int DisplayHeight() override { return displayH_; }
    bool WinHelp(const std::string& helpFile, int command, int data) override;
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
    [[noreturn]] void Terminate(int exitCode) override;
    void Note(const std::string& text) override;

    // Appends a line to the effect log (and its mirror file).
    void AddLog(const std::string& line);

private:
    void RunStep(const ScriptStep& step);
    void RunMenuStep(const ScriptStep& step);
    bool MenuAvailable(int id) const;
    [[noreturn]] void EndOfScript();

    int64_t now_ = 0;
    uint32_t tickBase_ = 0;
    bool timerEnabled_ = false;
    int64_t nextTick_ = 0;

    EventSink* sink_ = nullptr;
    std::vector<ScriptStep> steps_;
    size_t stepPos_ = 0;
    bool scriptLoaded_ = false;
    int64_t scriptDueAt_ = 0;  // the next step is not run before this time (set by wait)

    int displayW_ = 1920, displayH_ = 1080;
    int waveDevices_ = 1;
    bool playWaveFails_ = false;
    bool winHelpFails_ = false;
    ScriptAnswers queued_;

    std::vector<MenuItemDef> menuDefs_;
    std::map<int, MenuItemState> menuStates_;
    const Image* basePic_ = nullptr;
    const Image* nextPic_ = nullptr;
    bool picVisible_[2] = {true, true};
    int refreshes_[2] = {0, 0};
    std::string caption_;
    int clientW_ = 0, clientH_ = 0;
    bool labelShown_ = false;
    bool titleShown_ = false;

    std::vector<std::string> log_;
    std::ofstream logFile_;
};

// A text quoted for the log: "..." with \\ \" \r \n \t escaped.
std::string LogQuote(const std::string& text);

}  // namespace ralvo
