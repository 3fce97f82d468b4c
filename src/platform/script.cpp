#include "platform/script.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "shell/menus.h"

namespace ralvo {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Splits off the next blank-separated word of rest.
std::string NextWord(std::string& rest) {
    size_t i = 0;
    while (i < rest.size() && IsBlank(rest[i])) ++i;
    size_t j = i;
    while (j < rest.size() && !IsBlank(rest[j])) ++j;
    std::string word = rest.substr(i, j - i);
    rest.erase(0, j);
    return word;
}

// The rest of the line after the single blank that ends the command word.
std::string TextArgument(const std::string& rest) {
    return !rest.empty() && IsBlank(rest[0]) ? rest.substr(1) : rest;
}

bool ParseInt(const std::string& s, int& out) {
    if (s.empty()) return false;
    const char* end = s.data() + s.size();
    auto [p, ec] = std::from_chars(s.data(), end, out);
    return ec == std::errc() && p == end;
}

bool ParseNumber(const std::string& s, double& out) {
    if (s.empty()) return false;
    errno = 0;
    char* end = nullptr;
    out = std::strtod(s.c_str(), &end);
    return errno == 0 && end == s.c_str() + s.size() && std::isfinite(out);
}

std::string Trim(const std::string& s) {
    size_t a = 0, b = s.size();
    while (a < b && IsBlank(s[a])) ++a;
    while (b > a && IsBlank(s[b - 1])) --b;
    return s.substr(a, b - a);
}

std::string FormatNumber(double v) {
    std::ostringstream os;
    os << v;
    return os.str();
}

}  // namespace

std::string ScriptStep::Describe() const {
    switch (kind) {
        case StepKind::Wait: return "wait " + std::to_string(ms);
        case StepKind::Menu: return "menu " + MenuScriptName(menuId);
        case StepKind::Open: return "open " + MenuScriptName(menuId);
        case StepKind::Mouse:
            return std::string("mouse ") + (onBoard ? "board " : "next ") + std::to_string(button) + " " +
                   FormatNumber(x) + " " + FormatNumber(y);
        case StepKind::Key: return "key " + std::to_string(key);
        case StepKind::Answer: return "answer " + text;
        case StepKind::Name: return "name " + text;
        case StepKind::Dump: return "dump " + text;
        case StepKind::Snap: return std::string("snap ") + (pic == kBasePic ? "BasePic " : "NextPic ") + text;
        case StepKind::Close: return "close";
    }
    return "?";
}

ScriptParseResult ParseScript(const std::string& text, const std::string& source) {
    ScriptParseResult result;
    std::istringstream in(text);
    std::string raw;
    int lineNo = 0;
    while (std::getline(in, raw)) {
        ++lineNo;
        if (!raw.empty() && raw.back() == '\r') raw.pop_back();
        const std::string trimmed = Trim(raw);
        if (trimmed.empty() || trimmed[0] == '#') continue;

        auto fail = [&](const std::string& message) {
            result.steps.clear();
            result.error = source + ":" + std::to_string(lineNo) + ": " + message;
            return result;
        };
        // Text arguments keep their inner and trailing blanks; only the leading indentation goes.
        std::string rest = raw.substr(raw.find_first_not_of(" \t"));
        const std::string cmd = NextWord(rest);
        ScriptStep step;
        step.line = lineNo;
        auto noMore = [&] { return Trim(rest).empty(); };

        if (cmd == "wait") {
            step.kind = StepKind::Wait;
            const std::string n = NextWord(rest);
            if (!ParseInt(n, step.ms) || step.ms < 0) return fail("wait needs a number of milliseconds >= 0, got \"" + n + "\"");
        } else if (cmd == "menu" || cmd == "open") {
            step.kind = cmd == "menu" ? StepKind::Menu : StepKind::Open;
            const std::string name = NextWord(rest);
            if (name.empty()) return fail(cmd + " needs a menu name");
            int index = -1;
            const std::string indexText = NextWord(rest);
            if (!indexText.empty() && (!ParseInt(indexText, index) || index < 0))
                return fail("bad menu index \"" + indexText + "\"");
            step.menuId = MenuIdFromName(name, index);
            if (step.menuId < 0)
                return fail("unknown menu \"" + name + (index >= 0 ? " " + indexText : std::string()) + "\"");
            if (step.kind == StepKind::Open)
                for (const auto& def : MenuTree())
                    if (def.id == step.menuId && def.parent != -1)
                        return fail("\"" + name + "\" is not a top-level menu");
        } else if (cmd == "mouse") {
            step.kind = StepKind::Mouse;
            const std::string where = NextWord(rest);
            if (where != "board" && where != "next") return fail("mouse needs board or next, got \"" + where + "\"");
            step.onBoard = where == "board";
            const std::string b = NextWord(rest), xs = NextWord(rest), ys = NextWord(rest);
            if (!ParseInt(b, step.button) || (step.button != 1 && step.button != 2 && step.button != 4))
                return fail("mouse button must be 1, 2 or 4, got \"" + b + "\"");
            if (!ParseNumber(xs, step.x) || !ParseNumber(ys, step.y))
                return fail("mouse needs x and y, got \"" + xs + "\" \"" + ys + "\"");
        } else if (cmd == "key") {
            step.kind = StepKind::Key;
            const std::string k = NextWord(rest);
            if (!ParseInt(k, step.key) || step.key < 1 || step.key > 255)
                return fail("key needs a virtual-key code 1..255, got \"" + k + "\"");
        } else if (cmd == "answer" || cmd == "name" || cmd == "dump") {
            step.kind = cmd == "answer" ? StepKind::Answer : cmd == "name" ? StepKind::Name : StepKind::Dump;
            step.text = TextArgument(rest);
            rest.clear();
        } else if (cmd == "snap") {
            step.kind = StepKind::Snap;
            const std::string pic = NextWord(rest);
            if (pic != "BasePic" && pic != "NextPic") return fail("snap needs BasePic or NextPic, got \"" + pic + "\"");
            step.pic = pic == "BasePic" ? kBasePic : kNextPic;
            step.text = Trim(rest);
            rest.clear();
            if (step.text.empty()) return fail("snap needs a file name");
        } else if (cmd == "close") {
            step.kind = StepKind::Close;
        } else {
            return fail("unknown step \"" + cmd + "\"");
        }
        if (!noMore()) return fail("unexpected text after " + cmd + ": \"" + Trim(rest) + "\"");
        result.steps.push_back(std::move(step));
    }
    return result;
}

ScriptParseResult LoadScriptFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        ScriptParseResult r;
        r.error = path + ": cannot open the script";
        return r;
    }
    std::ostringstream text;
    text << in.rdbuf();
    return ParseScript(text.str(), path);
}

bool RunCommonStep(const ScriptStep& step, EventSink* sink, ScriptAnswers& queued,
                   const std::function<void(const std::string&)>& onDump) {
    switch (step.kind) {
        case StepKind::Mouse:
            if (sink && step.onBoard) sink->OnBoardMouseDown(step.button, step.x, step.y);
            if (sink && !step.onBoard) sink->OnNextMouseDown(step.button, step.x, step.y);
            return true;
        case StepKind::Key:
            if (sink) sink->OnKeyDown(step.key);
            return true;
        case StepKind::Answer: queued.answers.push_back(step.text); return true;
        case StepKind::Name: queued.names.push_back(step.text); return true;
        case StepKind::Dump:
            if (!onDump) return false;
            onDump(step.text);
            return true;
        default: return false;
    }
}

}  // namespace ralvo
