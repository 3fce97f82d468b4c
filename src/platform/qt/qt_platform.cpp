#include "platform/qt/qt_platform.h"

#include <QAction>
#include <QApplication>
#include <QAudioDevice>
#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QFontDatabase>
#include <QImage>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLayout>
#include <QLibraryInfo>
#include <QMediaDevices>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QScrollBar>
#include <QSoundEffect>
#include <QTextBrowser>
#include <QThread>
#include <QTranslator>
#include <QUrl>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>

#include "shell/menus.h"

namespace ralvo {

namespace {

constexpr int kSidePanelWidth = 84;
// How long a message box stays up during a script run.
constexpr int kScriptBoxMs = 1500;

QString Q(const std::string& s) { return QString::fromStdString(s); }

// Wraps the game's picture without copying. Format_RGB32 ignores the top byte,
// which the game keeps at 0.
QImage Wrap(const Image& img) {
    return QImage(reinterpret_cast<const uchar*>(img.data()), img.width(), img.height(),
                  img.width() * 4, QImage::Format_RGB32);
}

// An independent copy with an opaque alpha byte, for pixmaps and icons.
QImage OpaqueCopy(const Image& img) {
    QImage out(img.width(), img.height(), QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < img.width(); ++x) line[x] = 0xff000000u | img.At(x, y);
    }
    return out;
}

// A wave file starts with "RIFF", four length bytes and "WAVE".
bool LooksLikeWave(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return false;
    const QByteArray head = f.read(12);
    return head.size() == 12 && head.startsWith("RIFF") && head.mid(8, 4) == "WAVE";
}

// A message box in which F1 asks for help. The key reaches the box from whichever
// of its buttons has the focus, since buttons pass on keys they do not use.
class HelpMessageBox : public QMessageBox {
public:
    using QMessageBox::QMessageBox;
    std::function<void()> onHelp;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_F1 && onHelp) {
            onHelp();
            event->accept();
            return;
        }
        QMessageBox::keyPressEvent(event);
    }
};

}  // namespace

int WindowsKeyCode(int qtKey) {
    // Letters and digits share their codes with Windows.
    if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)) return qtKey;
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) return 112 + (qtKey - Qt::Key_F1);
    switch (qtKey) {
        case Qt::Key_Backspace: return 8;
        case Qt::Key_Tab:
        case Qt::Key_Backtab: return 9;
        case Qt::Key_Clear: return 12;
        case Qt::Key_Return:
        case Qt::Key_Enter: return 13;
        case Qt::Key_Shift: return 16;
        case Qt::Key_Control: return 17;
        case Qt::Key_Alt: return 18;
        case Qt::Key_Pause: return 19;
        case Qt::Key_CapsLock: return 20;
        case Qt::Key_Escape: return 27;
        case Qt::Key_Space: return 32;
        case Qt::Key_PageUp: return 33;
        case Qt::Key_PageDown: return 34;
        case Qt::Key_End: return 35;
        case Qt::Key_Home: return 36;
        case Qt::Key_Left: return 37;
        case Qt::Key_Up: return 38;
        case Qt::Key_Right: return 39;
        case Qt::Key_Down: return 40;
        case Qt::Key_Print: return 44;
        case Qt::Key_Insert: return 45;
        case Qt::Key_Delete: return 46;
        case Qt::Key_Help: return 47;
        case Qt::Key_Meta: return 91;
        case Qt::Key_Menu: return 93;
        case Qt::Key_Asterisk: return 106;
        case Qt::Key_Plus: return 107;
        case Qt::Key_NumLock: return 144;
        case Qt::Key_ScrollLock: return 145;
        case Qt::Key_Semicolon:
        case Qt::Key_Colon: return 186;
        case Qt::Key_Equal: return 187;
        case Qt::Key_Comma:
        case Qt::Key_Less: return 188;
        case Qt::Key_Minus:
        case Qt::Key_Underscore: return 189;
        case Qt::Key_Period:
        case Qt::Key_Greater: return 190;
        case Qt::Key_Slash:
        case Qt::Key_Question: return 191;
        case Qt::Key_QuoteLeft:
        case Qt::Key_AsciiTilde:
        case Qt::Key_At: return 192;
        case Qt::Key_BracketLeft:
        case Qt::Key_BraceLeft: return 219;
        case Qt::Key_Backslash:
        case Qt::Key_Bar:
        case Qt::Key_yen: return 220;
        case Qt::Key_BracketRight:
        case Qt::Key_BraceRight: return 221;
        case Qt::Key_Apostrophe:
        case Qt::Key_QuoteDbl: return 222;
        case Qt::Key_AsciiCircum: return 222;
        default: return 0;
    }
}

int WindowsMouseButton(Qt::MouseButton button) {
    switch (button) {
        case Qt::LeftButton: return 1;
        case Qt::RightButton: return 2;
        case Qt::MiddleButton: return 4;
        default: return 0;
    }
}

void InstallJapanese(QApplication& app) {
    auto* translator = new QTranslator(&app);
    if (translator->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(translator);
    else
        delete translator;
    QFont font = QApplication::font();
    font.setFamilies({QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic")});
    QApplication::setFont(font);
}

// ---- PictureWidget ------------------------------------------------------------

PictureWidget::PictureWidget(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::NoFocus);
    // Every pixel we own is painted from the picture; the rest stays as it was.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect all = rect();
    if (image_ == nullptr || image_->empty()) {
        painter.fillRect(all, Qt::black);
        return;
    }
    painter.drawImage(0, 0, Wrap(*image_));
    // Anything the picture does not cover (it may be smaller than the widget).
    if (image_->width() < all.width())
        painter.fillRect(image_->width(), 0, all.width() - image_->width(), all.height(), Qt::black);
    if (image_->height() < all.height())
        painter.fillRect(0, image_->height(), all.width(), all.height() - image_->height(), Qt::black);
}

void PictureWidget::mousePressEvent(QMouseEvent* event) {
    const int button = WindowsMouseButton(event->button());
    if (button == 0) return;
    const QPointF p = event->position();
    emit pressed(button, p.x(), p.y());
}

// ---- MainWindow ---------------------------------------------------------------

MainWindow::MainWindow() {
    setFocusPolicy(Qt::StrongFocus);
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    const int code = WindowsKeyCode(event->key());
    if (code != 0 && sink != nullptr) {
        sink->OnKeyDown(code);
        event->accept();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (sink == nullptr) {
        event->accept();
        return;
    }
    // The game decides; it ends the program.
    event->ignore();
    sink->OnCloseRequest();
}

bool MainWindow::focusNextPrevChild(bool) { return false; }

// ---- QtPlatform ---------------------------------------------------------------

QtPlatform::QtPlatform() : window_(std::make_unique<MainWindow>()) {
    clock_.start();

    client_ = new QWidget(window_.get());
    client_->setFocusPolicy(Qt::NoFocus);
    window_->setCentralWidget(client_);
    // The window follows the client area's fixed size and cannot be resized by hand.
    window_->layout()->setSizeConstraint(QLayout::SetFixedSize);

    nextPic_ = new PictureWidget(client_);
    basePic_ = new PictureWidget(client_);
    QObject::connect(nextPic_, &PictureWidget::pressed, window_.get(), [this](int b, double x, double y) {
        if (sink_) sink_->OnNextMouseDown(b, x, y);
    });
    QObject::connect(basePic_, &PictureWidget::pressed, window_.get(), [this](int b, double x, double y) {
        if (sink_) sink_->OnBoardMouseDown(b, x, y);
    });

    label_ = new QLabel(basePic_);
    label_->setTextFormat(Qt::PlainText);
    label_->setAttribute(Qt::WA_TransparentForMouseEvents);
    label_->hide();
    measure_.setTextFormat(Qt::PlainText);

    title_ = new QLabel(client_);
    title_->setAttribute(Qt::WA_TransparentForMouseEvents);
    title_->hide();

    gameTimer_.setInterval(1000);
    QObject::connect(&gameTimer_, &QTimer::timeout, window_.get(), [this] {
        if (sink_) sink_->OnGameTimer();
    });
    // Only there to wake a bounded wait; it has nothing to do itself.
    wake_.setSingleShot(true);

    scriptTimer_.setSingleShot(true);
    QObject::connect(&scriptTimer_, &QTimer::timeout, window_.get(), [this] { RunScriptSteps(); });
}

QtPlatform::~QtPlatform() {
    sounds_.clear();
    help_.reset();
}

uint32_t QtPlatform::TickCount() { return static_cast<uint32_t>(clock_.elapsed()); }

void QtPlatform::Sleep(int ms) {
    if (ms > 0) QThread::msleep(static_cast<unsigned long>(ms));
}

void QtPlatform::SetGameTimer(bool enabled) {
    if (enabled)
        gameTimer_.start();
    else
        gameTimer_.stop();
}

bool QtPlatform::GameTimerEnabled() const { return gameTimer_.isActive(); }

void QtPlatform::SetEventSink(EventSink* sink) {
    sink_ = sink;
    window_->sink = sink;
}

void QtPlatform::PumpEvents() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void QtPlatform::WaitForEvents(int timeoutMs) {
    if (timeoutMs == 0) {
        PumpEvents();
        return;
    }
    if (timeoutMs > 0) wake_.start(timeoutMs);
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    wake_.stop();
}

void QtPlatform::MessageBox(const std::string& text, const std::string& title, int style,
                            const std::string& helpFile, int helpTopic) {
    QWidget* owner = window_->isVisible() ? window_.get() : nullptr;
    HelpMessageBox box(owner);
    box.setWindowTitle(Q(title));
    box.setTextFormat(Qt::PlainText);
    QString body = Q(text);
    body.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QChar('\r'), QChar('\n'));
    box.setText(body);
    box.setStandardButtons(QMessageBox::Ok);
    switch (style & 0x70) {
        case kMsgCritical: box.setIcon(QMessageBox::Critical); break;
        case 32: box.setIcon(QMessageBox::Question); break;
        case kMsgExclamation: box.setIcon(QMessageBox::Warning); break;
        case 64: box.setIcon(QMessageBox::Information); break;
        default: box.setIcon(QMessageBox::NoIcon); break;
    }
    if (helpTopic > 0) box.onHelp = [this, helpFile, helpTopic] { WinHelp(helpFile, kHelpContext, helpTopic); };
    // Blocks only the main window, so the help viewer opened by F1 can be used meanwhile.
    if (owner) box.setWindowModality(Qt::WindowModal);
    if (scriptActive_) {
        // Nobody is there to press OK: let the box be seen, then go on.
        Note("msgbox style=" + std::to_string(style) + " title=\"" + title + "\" text=\"" + text + "\"");
        QTimer::singleShot(kScriptBoxMs, &box, &QDialog::accept);
    }
    box.exec();
}

std::string QtPlatform::InputBox(const std::string& title, const std::string& prompt,
                                 const std::string& defaultText) {
    if (!queued_.answers.empty()) {
        std::string answer = queued_.answers.front();
        queued_.answers.pop_front();
        Note("inputbox title=\"" + title + "\" answer=\"" + answer + "\"");
        return answer;
    }
    bool ok = false;
    QWidget* owner = window_->isVisible() ? window_.get() : nullptr;
    const QString text =
        QInputDialog::getText(owner, Q(title), Q(prompt), QLineEdit::Normal, Q(defaultText), &ok);
    return ok ? text.toStdString() : std::string();
}

void QtPlatform::Beep() { QApplication::beep(); }

int QtPlatform::WaveOutDeviceCount() { return static_cast<int>(QMediaDevices::audioOutputs().size()); }

bool QtPlatform::PlayWave(const std::string& path) {
    const QString file = Q(path);
    if (!LooksLikeWave(file)) return false;
    auto& effect = sounds_[path];
    if (!effect) {
        effect = std::make_unique<QSoundEffect>();
        effect->setSource(QUrl::fromLocalFile(file));
    }
    if (effect->status() == QSoundEffect::Error) return false;
    for (auto& [name, other] : sounds_)
        if (other.get() != effect.get() && other->isPlaying()) other->stop();
    effect->stop();
    effect->play();
    return true;
}

int QtPlatform::DisplayWidth() {
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry().width() : 0;
}

int QtPlatform::DisplayHeight() {
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry().height() : 0;
}

bool QtPlatform::WinHelp(const std::string& helpFile, int command, int data) {
    if (command == kHelpQuit) {
        if (help_) help_->close();
        return true;
    }
    if (command != kHelpFinder && command != kHelpContext) return false;
    QFile file(Q(helpFile));
    if (!file.open(QIODevice::ReadOnly)) return false;
    const QString html = QString::fromUtf8(file.readAll());
    if (!help_) {
        help_ = std::make_unique<QTextBrowser>();
        help_->setWindowTitle(QStringLiteral("ラルボ ヘルプ"));
        help_->setOpenExternalLinks(true);
        help_->resize(640, 560);
        if (QScreen* screen = QGuiApplication::primaryScreen()) {
            const QRect avail = screen->availableGeometry();
            help_->move(avail.x() + (avail.width() - help_->width()) / 2,
                        avail.y() + (avail.height() - help_->height()) / 2);
        }
    }
    help_->setSearchPaths({QFileInfo(file).absolutePath()});
    help_->setHtml(html);
    help_->show();
    help_->raise();
    help_->activateWindow();
    if (command == kHelpContext)
        help_->scrollToAnchor(QStringLiteral("topic%1").arg(data));
    else
        help_->verticalScrollBar()->setValue(0);
    return true;
}

void QtPlatform::SetCaption(const std::string& caption) { window_->setWindowTitle(Q(caption)); }

void QtPlatform::BuildMenus(const std::vector<MenuItemDef>& items) {
    QMenuBar* bar = window_->menuBar();
    bar->clear();
    actions_.clear();
    menus_.clear();
    parents_.clear();
    for (const MenuItemDef& item : items) {
        parents_[item.id] = item.parent;
        if (item.parent < 0) {
            QMenu* menu = bar->addMenu(Q(item.caption));
            const int id = item.id;
            QObject::connect(menu, &QMenu::aboutToShow, window_.get(), [this, id] {
                if (sink_) sink_->OnMenuOpen(id);
            });
            menus_[id] = menu;
            actions_[id] = menu->menuAction();
            continue;
        }
        auto parent = menus_.find(item.parent);
        if (parent == menus_.end()) {
            Note("menu item " + item.name + " has no parent menu");
            continue;
        }
        QMenu* menu = parent->second;
        if (item.caption == "-") {
            actions_[item.id] = menu->addSeparator();
            continue;
        }
        QAction* action = menu->addAction(Q(item.caption));
        if (!item.shortcut.empty()) action->setShortcut(QKeySequence(Q(item.shortcut)));
        const int id = item.id;
        QObject::connect(action, &QAction::triggered, window_.get(), [this, id] {
            if (sink_) sink_->OnMenuCommand(id);
        });
        actions_[id] = action;
    }
}

void QtPlatform::SetMenuItem(int id, const MenuItemState& state) {
    auto it = actions_.find(id);
    if (it == actions_.end()) return;
    QAction* action = it->second;
    if (auto m = menus_.find(id); m != menus_.end()) {
        m->second->setTitle(Q(state.caption));
    } else if (!action->isSeparator()) {
        action->setText(Q(state.caption));
        // Only a ticked item is checkable, so unticked items show no empty box.
        action->setCheckable(state.checked);
        action->setChecked(state.checked);
    }
    action->setVisible(state.visible);
    action->setEnabled(state.enabled);
}

QAction* QtPlatform::action(int id) const {
    auto it = actions_.find(id);
    return it == actions_.end() ? nullptr : it->second;
}

QMenu* QtPlatform::menu(int id) const {
    auto it = menus_.find(id);
    return it == menus_.end() ? nullptr : it->second;
}

void QtPlatform::AttachPictures(const Image* basePic, const Image* nextPic) {
    basePic_->SetImage(basePic);
    nextPic_->SetImage(nextPic);
    basePic_->update();
    nextPic_->update();
}

void QtPlatform::SetClientSize(int clientW, int clientH) {
    clientW = std::max(clientW, kSidePanelWidth);
    clientH = std::max(clientH, 0);
    nextPic_->setGeometry(0, 0, kSidePanelWidth, clientH);
    basePic_->setGeometry(kSidePanelWidth, 0, clientW - kSidePanelWidth, clientH);
    client_->setFixedSize(clientW, clientH);
    window_->layout()->activate();
    CentreWindow();
}

void QtPlatform::CentreWindow() {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    const QRect avail = screen->availableGeometry();
    // Before the window manager has framed the window this is the bare size.
    const QSize outer = window_->frameGeometry().size();
    window_->move(avail.x() + (avail.width() - outer.width()) / 2,
                  avail.y() + (avail.height() - outer.height()) / 2);
}

void QtPlatform::SetPictureVisible(PictureId pic, bool visible) { picture(pic)->setVisible(visible); }

void QtPlatform::RefreshPicture(PictureId pic) {
    // At once: the game often blocks right after a refresh, and the player must see it.
    picture(pic)->repaint();
}

void QtPlatform::ApplyLabelFont(int pointSize) {
    QFont font = QApplication::font();
    font.setPointSize(std::max(1, pointSize));
    label_->setFont(font);
    measure_.setFont(font);
}

std::pair<int, int> QtPlatform::MeasureLabel(const std::string& text, int pointSize) {
    ApplyLabelFont(pointSize);
    measure_.setText(Q(text));
    const QSize size = measure_.sizeHint();
    return {size.width(), size.height()};
}

void QtPlatform::ShowLabel(const std::string& text, int pointSize, Rgb color, int style, int x, int y) {
    ApplyLabelFont(pointSize);
    QPalette pal = label_->palette();
    pal.setColor(QPalette::WindowText, QColor(static_cast<QRgb>(0xff000000u | color)));
    pal.setColor(QPalette::Window, Qt::black);
    label_->setPalette(pal);
    // style: 0 lets the board show around the text, otherwise the label is opaque.
    label_->setAutoFillBackground(style != 0);
    label_->setText(Q(text));
    measure_.setText(Q(text));
    label_->setGeometry(QRect(QPoint(x, y), measure_.sizeHint()));
    label_->show();
    label_->raise();
}

void QtPlatform::HideLabel() { label_->hide(); }

void QtPlatform::ShowTitle(const Image& title, int x, int y) {
    title_->setPixmap(QPixmap::fromImage(OpaqueCopy(title)));
    title_->setGeometry(x, y, title.width(), title.height());
    title_->show();
    title_->raise();
}

void QtPlatform::HideTitle() { title_->hide(); }

void QtPlatform::ShowWindow() {
    window_->show();
    CentreWindow();
    window_->raise();
    window_->activateWindow();
    window_->setFocus();
}

void QtPlatform::Terminate(int exitCode) {
    if (help_) help_->close();
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(exitCode);
}

void QtPlatform::Note(const std::string& text) { std::fprintf(stderr, "ralvo: %s\n", text.c_str()); }

void QtPlatform::SetWindowIcon(const Image& icon) {
    if (icon.empty()) return;
    const QIcon qicon(QPixmap::fromImage(OpaqueCopy(icon)));
    window_->setWindowIcon(qicon);
    QApplication::setWindowIcon(qicon);
}

// ---- Script ---------------------------------------------------------------------

std::optional<std::string> QtPlatform::TakeNameAnswer() {
    if (queued_.names.empty()) return std::nullopt;
    std::string name = queued_.names.front();
    queued_.names.pop_front();
    return name;
}

void QtPlatform::RunScript(std::vector<ScriptStep> steps) {
    steps_ = std::move(steps);
    stepPos_ = 0;
    scriptActive_ = true;
    scriptClock_.start();
    scriptTimer_.start(0);
}

void QtPlatform::RunScriptSteps() {
    // A step may open a dialog with its own event loop; the script waits for it.
    if (inStep_ || !scriptActive_) return;
    inStep_ = true;
    while (stepPos_ < steps_.size()) {
        const ScriptStep step = steps_[stepPos_++];
        Note("> @" + std::to_string(scriptClock_.elapsed()) + " " + step.Describe());
        if (step.kind == StepKind::Wait) {
            scriptTimer_.start(std::max(0, step.ms));
            inStep_ = false;
            return;
        }
        RunStep(step);
    }
    inStep_ = false;
    Note("end of script");
    Terminate(0);
}

bool QtPlatform::MenuAvailable(int id) const {
    // As with the mouse: an item can be chosen only while it and its menu are shown and enabled.
    for (int cur = id; cur >= 0;) {
        const QAction* a = action(cur);
        if (a == nullptr || !a->isVisible() || !a->isEnabled()) return false;
        auto p = parents_.find(cur);
        cur = p == parents_.end() ? -1 : p->second;
    }
    return true;
}

void QtPlatform::RunStep(const ScriptStep& step) {
    if (RunCommonStep(step, sink_, queued_, onDump)) return;
    switch (step.kind) {
        case StepKind::Wait: break;
        case StepKind::Menu:
            if (!MenuAvailable(step.menuId)) {
                Note("menu unavailable " + step.Describe().substr(5));
                break;
            }
            action(step.menuId)->trigger();
            break;
        case StepKind::Open: {
            if (QMenu* m = menu(step.menuId)) emit m->aboutToShow();
            for (const auto& [id, parent] : parents_) {
                if (parent != step.menuId) continue;
                const QAction* a = action(id);
                if (a == nullptr) continue;
                const std::string caption = a->isSeparator() ? "-" : a->text().toStdString();
                Note("menuitem " + MenuScriptName(id) + " caption=\"" + caption +
                     "\" visible=" + std::to_string(a->isVisible()) + " enabled=" + std::to_string(a->isEnabled()) +
                     " checked=" + std::to_string(a->isChecked()));
            }
            break;
        }
        case StepKind::Dump: Note("no dump handler"); break;
        default: break;  // run above by RunCommonStep
        case StepKind::Snap: {
            const Image* pic = picture(step.pic)->image();
            if (pic == nullptr || pic->empty() || !SavePng(step.text, *pic)) Note("snap failed file=" + step.text);
            break;
        }
        case StepKind::Close: window_->close(); break;
    }
}

}  // namespace ralvo
