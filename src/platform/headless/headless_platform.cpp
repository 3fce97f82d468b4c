#include "platform/headless/headless_platform.h"

#include <cmath>
#include <cstdio>
#include <utility>

#include "platform/files.h"

namespace ralvo {

namespace {

constexpr int64_t kTimerPeriod = 1000;

std::string BaseName(const std::string& path) {
    const auto slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

size_t Utf8Length(const std::string& s) {
    size_t n = 0;
    for (unsigned char c : s)
        if ((c & 0xc0) != 0x80) ++n;
    return n;
}

const char* PicName(PictureId pic) { return pic == kBasePic ? "BasePic" : "NextPic"; }

}  // namespace

std::string LogQuote(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        switch (c) {
            case '\\': out += "\\\\"; break;
            case '"': out += "\\\""; break;
            case '\r': out += "\\r"; break;
            case '\n': out += "\\n"; break;
            case '\t': out += "\\t"; break;
            default: out += c;
        }
    }
    return out + "\"";
}

HeadlessPlatform::HeadlessPlatform() = default;
HeadlessPlatform::~HeadlessPlatform() = default;

void HeadlessPlatform::LoadScript(std::vector<ScriptStep> steps) {
    steps_ = std::move(steps);
    stepPos_ = 0;
    scriptLoaded_ = true;
    scriptDueAt_ = now_;
}

bool HeadlessPlatform::SetLogFile(const std::string& path) {
    logFile_.close();
    logFile_.open(path, std::ios::out | std::ios::trunc | std::ios::binary);
    return logFile_.is_open();
}

void HeadlessPlatform::AddLog(const std::string& line) {
    log_.push_back(line);
    if (logFile_.is_open()) {
        logFile_ << line << '\n';
        logFile_.flush();
    }
}

bool HeadlessPlatform::LogHas(const std::string& text) const {
    for (const auto& line : log_)
        if (line.find(text) != std::string::npos) return true;
    return false;
}

const MenuItemState* HeadlessPlatform::MenuState(int id) const {
    auto it = menuStates_.find(id);
    return it == menuStates_.end() ? nullptr : &it->second;
}

void HeadlessPlatform::DialogOpened(const std::string& name) { AddLog("dialog name=" + LogQuote(name)); }

std::optional<std::string> HeadlessPlatform::TakeNameAnswer() {
    if (queued_.names.empty()) {
        AddLog("namebox answer=none");
        return std::nullopt;
    }
    std::string name = std::move(queued_.names.front());
    queued_.names.pop_front();
    AddLog("namebox answer=" + LogQuote(name));
    return name;
}

// --- Time and events

uint32_t HeadlessPlatform::TickCount() { return tickBase_ + static_cast<uint32_t>(now_); }

void HeadlessPlatform::Sleep(int ms) {
    if (ms > 0) now_ += ms;
}

void HeadlessPlatform::SetGameTimer(bool enabled) {
    timerEnabled_ = enabled;
    if (enabled) nextTick_ = now_ + kTimerPeriod;
}

void HeadlessPlatform::PumpEvents() {
    bool timerFired = false;
    for (;;) {
        const bool stepDue = stepPos_ < steps_.size() && scriptDueAt_ <= now_;
        const bool tickDue = timerEnabled_ && !timerFired && nextTick_ <= now_;
        if (tickDue && (!stepDue || nextTick_ <= scriptDueAt_)) {
            // Ticks missed meanwhile are dropped: the next one is the first period boundary after now.
            const int64_t late = now_ - nextTick_;
            nextTick_ += (late / kTimerPeriod + 1) * kTimerPeriod;
            timerFired = true;
            if (sink_) sink_->OnGameTimer();
            continue;
        }
        if (!stepDue) return;
        const ScriptStep step = steps_[stepPos_++];
        if (step.kind == StepKind::Wait) {
            // A wait always hands control back to the main loop, even "wait 0".
            scriptDueAt_ = now_ + step.ms;
            return;
        }
        RunStep(step);
    }
}

void HeadlessPlatform::WaitForEvents(int timeoutMs) {
    const bool scriptLeft = stepPos_ < steps_.size();
    if (scriptLoaded_ && !scriptLeft && now_ >= scriptDueAt_) EndOfScript();
    std::optional<int64_t> until;
    auto consider = [&](int64_t t) { until = until ? std::min(*until, t) : t; };
    if (timeoutMs >= 0) consider(now_ + timeoutMs);
    if (timerEnabled_) consider(nextTick_);
    if (scriptLoaded_) consider(scriptDueAt_);
    if (!until) EndOfScript();
    if (*until > now_) now_ = *until;
}

void HeadlessPlatform::EndOfScript() {
    AddLog("end of script");
    HeadlessPlatform::Terminate(0);
}

void HeadlessPlatform::RunStep(const ScriptStep& step) {
    if (step.kind != StepKind::Answer && step.kind != StepKind::Name)
        AddLog("> @" + std::to_string(now_) + " " + step.Describe());
    if (RunCommonStep(step, sink_, queued_, onDump)) return;
    switch (step.kind) {
        case StepKind::Wait: break;
        case StepKind::Menu: RunMenuStep(step); break;
        case StepKind::Open:
            if (sink_) sink_->OnMenuOpen(step.menuId);
            for (const auto& def : menuDefs_) {
                if (def.parent != step.menuId) continue;
                const MenuItemState& s = menuStates_[def.id];
                AddLog("menuitem " + def.name + " caption=" + LogQuote(s.caption) + " visible=" +
                       std::to_string(s.visible) + " enabled=" + std::to_string(s.enabled) +
                       " checked=" + std::to_string(s.checked));
            }
            break;
        case StepKind::Dump: AddLog("note text=" + LogQuote("no dump handler")); break;
        default: break;  // run above by RunCommonStep
        case StepKind::Snap: {
            const Image* pic = step.pic == kBasePic ? basePic_ : nextPic_;
            const bool ok = pic != nullptr && !pic->empty() && SavePng(step.text, *pic);
            if (!ok) AddLog(std::string("snap failed pic=") + PicName(step.pic) + " file=" + LogQuote(step.text));
            break;
        }
        case StepKind::Close:
            if (sink_) sink_->OnCloseRequest();
            break;
    }
}

bool HeadlessPlatform::MenuAvailable(int id) const {
    // A menu command can be chosen only while it and its menu are visible and enabled,
    // as they were last set (shortcuts follow the state of the last opening).
    for (int cur = id; cur >= 0;) {
        if (const MenuItemState* s = MenuState(cur); s && (!s->visible || !s->enabled)) return false;
        int parent = -1;
        for (const auto& def : menuDefs_)
            if (def.id == cur) parent = def.parent;
        cur = parent;
    }
    return true;
}

void HeadlessPlatform::RunMenuStep(const ScriptStep& step) {
    if (!MenuAvailable(step.menuId)) {
        AddLog("menu unavailable " + step.Describe().substr(5));
        return;
    }
    if (sink_) sink_->OnMenuCommand(step.menuId);
}

// --- Dialogs and sound

void HeadlessPlatform::MessageBox(const std::string& text, const std::string& title, int style,
                                  const std::string& helpFile, int helpTopic) {
    std::string line = "msgbox style=" + std::to_string(style) + " title=" + LogQuote(title) + " text=" + LogQuote(text);
    if (helpTopic > 0) line += " help=" + LogQuote(BaseName(helpFile)) + " topic=" + std::to_string(helpTopic);
    AddLog(line);
}

std::string HeadlessPlatform::InputBox(const std::string& title, const std::string& prompt,
                                       const std::string& defaultText) {
    // With no answer queued the box is cancelled, which returns the empty text.
    std::string answer;
    if (!queued_.answers.empty()) {
        answer = std::move(queued_.answers.front());
        queued_.answers.pop_front();
    }
    AddLog("inputbox title=" + LogQuote(title) + " prompt=" + LogQuote(prompt) + " default=" + LogQuote(defaultText) +
           " answer=" + LogQuote(answer));
    return answer;
}

void HeadlessPlatform::Beep() { AddLog("beep"); }

bool HeadlessPlatform::PlayWave(const std::string& path) {
    const bool ok = !playWaveFails_;
    AddLog("sound file=" + LogQuote(BaseName(path)) + " ok=" + std::to_string(ok));
    return ok;
}

bool HeadlessPlatform::WinHelp(const std::string& helpFile, int command, int data) {
    const bool ok = !winHelpFails_ && FileExists(helpFile);
    AddLog("help command=" + std::to_string(command) + " data=" + std::to_string(data) +
           " file=" + LogQuote(BaseName(helpFile)) + " ok=" + std::to_string(ok));
    return ok;
}

// --- Window

void HeadlessPlatform::SetCaption(const std::string& caption) {
    if (caption == caption_) return;
    caption_ = caption;
    AddLog("caption text=" + LogQuote(caption));
}

void HeadlessPlatform::BuildMenus(const std::vector<MenuItemDef>& items) {
    menuDefs_ = items;
    menuStates_.clear();
    for (const auto& def : items) menuStates_[def.id] = MenuItemState{def.caption, true, true, false};
}

void HeadlessPlatform::SetMenuItem(int id, const MenuItemState& state) { menuStates_[id] = state; }

void HeadlessPlatform::AttachPictures(const Image* basePic, const Image* nextPic) {
    basePic_ = basePic;
    nextPic_ = nextPic;
}

void HeadlessPlatform::SetClientSize(int clientW, int clientH) {
    clientW_ = clientW;
    clientH_ = clientH;
    AddLog("window size=" + std::to_string(clientW) + "x" + std::to_string(clientH));
}

void HeadlessPlatform::SetPictureVisible(PictureId pic, bool visible) {
    if (picVisible_[pic] == visible) return;
    picVisible_[pic] = visible;
    AddLog(std::string("picture ") + PicName(pic) + " visible=" + std::to_string(visible));
}

void HeadlessPlatform::RefreshPicture(PictureId pic) { ++refreshes_[pic]; }

std::pair<int, int> HeadlessPlatform::MeasureLabel(const std::string& text, int pointSize) {
    const double w = static_cast<double>(Utf8Length(text)) * pointSize * 4.0 / 3.0;
    return {static_cast<int>(std::lround(w)), static_cast<int>(std::lround(pointSize * 4.0 / 3.0)) + 4};
}

void HeadlessPlatform::ShowLabel(const std::string& text, int pointSize, Rgb color, int style, int x, int y) {
    char rgb[8];
    std::snprintf(rgb, sizeof rgb, "%06X", static_cast<unsigned>(color & 0xffffff));
    labelShown_ = true;
    AddLog("label show text=" + LogQuote(text) + " size=" + std::to_string(pointSize) + " color=#" + rgb +
           " style=" + std::to_string(style) + " x=" + std::to_string(x) + " y=" + std::to_string(y));
}

void HeadlessPlatform::HideLabel() {
    if (!labelShown_) return;
    labelShown_ = false;
    AddLog("label hide");
}

void HeadlessPlatform::ShowTitle(const Image& title, int x, int y) {
    titleShown_ = true;
    AddLog("title show x=" + std::to_string(x) + " y=" + std::to_string(y) + " size=" + std::to_string(title.width()) +
           "x" + std::to_string(title.height()));
}

void HeadlessPlatform::HideTitle() {
    if (!titleShown_) return;
    titleShown_ = false;
    AddLog("title hide");
}

void HeadlessPlatform::ShowWindow() { AddLog("window shown"); }

void HeadlessPlatform::Terminate(int exitCode) {
    AddLog("end code=" + std::to_string(exitCode));
    throw ProgramEnded{exitCode};
}

void HeadlessPlatform::Note(const std::string& text) { AddLog("note text=" + LogQuote(text)); }

}  // namespace ralvo
