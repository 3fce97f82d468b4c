// Scripted play: a text file of user actions, one step per line, parsed once and
// then replayed by a back end (the headless harness or the real window).
//
//   wait N                      let N ms pass (the main loop runs meanwhile)
//   menu NAME [INDEX]           choose a menu command (MenuStart, MenuSkill 1)
//   open NAME                   open a top-level menu (runs its open handler)
//   mouse board|next BUTTON X Y press a mouse button (1 left, 2 right, 4 middle)
//   key CODE                    press a key (virtual-key code: 13 Enter, 27 Esc, ...)
//   answer TEXT                 queue the answer for the next input box (rest of line)
//   name TEXT                   queue the name for the next score dialog name box
//   dump TITLE                  write the diagnostics dump with this title
//   snap BasePic|NextPic FILE   save the picture as PNG
//   close                       ask the window to close
//
// Blank lines and lines whose first non-blank character is '#' are ignored.
// The text arguments of answer, name, dump and snap run to the end of the line,
// so they may hold blanks and '#'.
#pragma once
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace ralvo {

enum class StepKind { Wait, Menu, Open, Mouse, Key, Answer, Name, Dump, Snap, Close };

struct ScriptStep {
    StepKind kind = StepKind::Wait;
    int line = 0;         // line number in the script, from 1
    int ms = 0;           // wait
    int menuId = -1;      // menu, open
    bool onBoard = true;  // mouse: board (true) or side panel (false)
    int button = 0;       // mouse
    double x = 0, y = 0;  // mouse, in picture pixels
    int key = 0;          // key
    PictureId pic = kBasePic;  // snap
    std::string text;     // answer, name, dump title, snap file

    // The step as a script line (menu names as in MenuTree).
    std::string Describe() const;
};

struct ScriptParseResult {
    std::vector<ScriptStep> steps;
    std::string error;  // empty on success, else "<source>:<line>: <message>"
    bool ok() const { return error.empty(); }
};

// Parses script text; source names it in error messages.
ScriptParseResult ParseScript(const std::string& text, const std::string& source = "script");
// Reads and parses a script file (UTF-8).
ScriptParseResult LoadScriptFile(const std::string& path);

// The answers and names a script has queued for the dialogs that ask for them.
struct ScriptAnswers {
    std::deque<std::string> answers;  // input boxes
    std::deque<std::string> names;    // the score dialog's name box
};

// Runs the steps every back end runs alike: mouse, key, answer, name, and dump when
// onDump is set. False for the rest (wait, menu, open, snap, close, a dump without a
// handler), which the back end runs itself.
bool RunCommonStep(const ScriptStep& step, EventSink* sink, ScriptAnswers& queued,
                   const std::function<void(const std::string&)>& onDump);

}  // namespace ralvo
