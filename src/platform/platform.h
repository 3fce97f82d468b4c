// What the game needs from the world, one interface per kind of service.
// Two back ends implement all of them: the Qt window (platform/qt) and the
// headless back end (platform/headless) used by tests and scripted runs.
#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/image.h"

namespace ralvo {

// Receives the window's events; implemented by the game (shell/events).
class EventSink {
public:
    virtual ~EventSink() = default;
    virtual void OnMenuOpen(int topMenuId) = 0;
    virtual void OnMenuCommand(int itemId) = 0;
    // button: 1 left, 2 right, 4 middle; x, y in pixels of the picture.
    virtual void OnBoardMouseDown(int button, double x, double y) = 0;
    virtual void OnNextMouseDown(int button, double x, double y) = 0;
    // Windows virtual-key codes: 13 Enter, 27 Escape, 32 Space, 37..40 arrows.
    virtual void OnKeyDown(int keyCode) = 0;
    virtual void OnGameTimer() = 0;
    virtual void OnCloseRequest() = 0;
};

// Millisecond counter and blocking wait.
class ClockService {
public:
    virtual ~ClockService() = default;
    virtual uint32_t TickCount() = 0;
    // Blocks the game for ms milliseconds; no event is handled meanwhile.
    virtual void Sleep(int ms) = 0;
};

// The 1000 ms game timer. Enabling (again) restarts its period.
class TimerService {
public:
    virtual ~TimerService() = default;
    virtual void SetGameTimer(bool enabled) = 0;
    virtual bool GameTimerEnabled() const = 0;
};

class EventService {
public:
    virtual ~EventService() = default;
    virtual void SetEventSink(EventSink* sink) = 0;
    // Runs every event that is waiting, then returns.
    virtual void PumpEvents() = 0;
    // Blocks until an event is waiting or timeoutMs has passed (-1: no limit).
    virtual void WaitForEvents(int timeoutMs) = 0;
};

enum MessageStyle : int { kMsgCritical = 16, kMsgExclamation = 48 };

class DialogService {
public:
    virtual ~DialogService() = default;
    // Modal box with an OK button. helpTopic > 0: F1 opens that help topic of helpFile.
    virtual void MessageBox(const std::string& text, const std::string& title, int style,
                            const std::string& helpFile = {}, int helpTopic = 0) = 0;
    // Returns the text entered, or the empty text on Cancel.
    virtual std::string InputBox(const std::string& title, const std::string& prompt,
                                 const std::string& defaultText) = 0;
    virtual void Beep() = 0;
};

class SoundService {
public:
    virtual ~SoundService() = default;
    virtual int WaveOutDeviceCount() = 0;
    // Starts playing without waiting; a new sound cuts off the previous one. False on failure.
    virtual bool PlayWave(const std::string& path) = 0;
};

class DisplayService {
public:
    virtual ~DisplayService() = default;
    // Size of the display (available desktop area) in pixels.
    virtual int DisplayWidth() = 0;
    virtual int DisplayHeight() = 0;
};

enum HelpCommand : int { kHelpContext = 1, kHelpQuit = 2, kHelpFinder = 11 };

class HelpService {
public:
    virtual ~HelpService() = default;
    // False when the help file cannot be shown.
    virtual bool WinHelp(const std::string& helpFile, int command, int data) = 0;
};

// One entry of the menu bar, given once when the window is built.
struct MenuItemDef {
    int id = 0;
    int parent = -1;          // -1: a top-level menu
    std::string name;         // program name, e.g. "MenuStart"
    std::string caption;      // "-" for a separator; '&' marks the access key
    std::string shortcut;     // e.g. "Ctrl+G"
};

struct MenuItemState {
    std::string caption;
    bool visible = true;
    bool enabled = true;
    bool checked = false;
};

enum PictureId : int { kBasePic = 0, kNextPic = 1 };

class WindowService {
public:
    virtual ~WindowService() = default;
    virtual void SetCaption(const std::string& caption) = 0;
    virtual void BuildMenus(const std::vector<MenuItemDef>& items) = 0;
    virtual void SetMenuItem(int id, const MenuItemState& state) = 0;
    // The two pictures the window shows; they stay owned by the game.
    virtual void AttachPictures(const Image* basePic, const Image* nextPic) = 0;
    // Lays out NextPic at (0,0) and BasePic right of it, and sizes and centres the
    // window so that its client area is clientW x clientH.
    virtual void SetClientSize(int clientW, int clientH) = 0;
    virtual void SetPictureVisible(PictureId pic, bool visible) = 0;
    // Shows the picture's current content on screen.
    virtual void RefreshPicture(PictureId pic) = 0;
    // The board message label: measured first, then shown at (x, y) of BasePic.
    virtual std::pair<int, int> MeasureLabel(const std::string& text, int pointSize) = 0;
    virtual void ShowLabel(const std::string& text, int pointSize, Rgb color, int style, int x, int y) = 0;
    virtual void HideLabel() = 0;
    // The title picture, at (x, y) of the client area, above everything.
    virtual void ShowTitle(const Image& title, int x, int y) = 0;
    virtual void HideTitle() = 0;
    virtual void ShowWindow() = 0;
};

// Thrown by the headless back end's Terminate so a test or the harness regains
// control; the Qt back end ends the process instead.
struct ProgramEnded {
    int exitCode = 0;
};

class Platform : public ClockService,
                 public TimerService,
                 public EventService,
                 public DialogService,
                 public SoundService,
                 public DisplayService,
                 public HelpService,
                 public WindowService {
public:
    // Ends the program at once. Never returns.
    [[noreturn]] virtual void Terminate(int exitCode) = 0;
    // A line for the effect log (headless) or stderr (Qt); e.g. a command not built yet.
    virtual void Note(const std::string& text) = 0;
};

}  // namespace ralvo
