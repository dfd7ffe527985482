#include "game/frmMain.h"
#include "game/Screen.h"

#include "game/Drawing.h"
#include "game/GameFlow.h"
#include "logic/GameState.h"
#include "logic/Placement.h"
#include "logic/Settings.h"
#include "game/modTurrion.h"
#include "engine/PavixGames.h"
#include "engine/gui/PavixDialogs.h"
#include "engine/gui/PavixSfxAPI.h"
#include "engine/gui/PictureBox.h"
#include "game/netplay/NetPlay.h"
#include "game/DialogLayout.h"
#include "art/Art.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QMenuBar>
#include <QScreen>
#include <QVBoxLayout>

namespace Turrion {

const char* const WebsiteUrl = "https://turrion.example.org/";
const char* const MessageBoardUrl = "https://turrion.example.org/MessageBoard";

namespace {
frmMain* g_main = nullptr;

// Another window of the game on the screen besides the main window and
// `except` (the NetPlay window while the turn report opens, or the other way
// round); nullptr when there is none.
QWidget* OtherDialog(const QWidget* except)
{
    for (QWidget* w : QApplication::topLevelWidgets()) {
        // Windows and dialogs only: not a menu popping down or a tooltip.
        const Qt::WindowType type = w->windowType();
        if (w != except && w != g_main && w->isVisible() && !w->isMinimized() &&
            (type == Qt::Window || type == Qt::Dialog))
            return w;
    }
    return nullptr;
}

QWidget* ChatWindow()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("frmChat"))
            return w;
    return nullptr;
}

// X11 keycodes of the main-row digits 1..9 and 0 (evdev: scan code + 8). They
// identify the digit keys whatever the layout and the shift state, where the
// key's symbol would be "!" or "&".
int DigitFromX11Keycode(quint32 keycode)
{
    if (keycode >= 10 && keycode <= 18)
        return VK_0 + int(keycode - 9);
    if (keycode == 19)
        return VK_0;
    return 0;
}
} // namespace

int ModifierMask(Qt::KeyboardModifiers modifiers)
{
    int mask = 0;
    if (modifiers & Qt::ShiftModifier)
        mask |= ShiftMask;
    if (modifiers & Qt::ControlModifier)
        mask |= CtrlMask;
    if (modifiers & Qt::AltModifier)
        mask |= AltMask;
    return mask;
}

int VirtualKeyFromEvent(const QKeyEvent& event)
{
    const int key = event.key();
    const bool keypad = event.modifiers() & Qt::KeypadModifier;
    switch (key) {
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return VK_TAB;
    case Qt::Key_Shift: return VK_SHIFT;
    case Qt::Key_Control: return VK_CONTROL;
    case Qt::Key_Alt: return VK_MENU;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Space: return VK_SPACE;
    case Qt::Key_Return:
    case Qt::Key_Enter: return VK_RETURN;
    default: break;
    }
    if (keypad)
        return key >= Qt::Key_0 && key <= Qt::Key_9 ? VK_NUMPAD0 + (key - Qt::Key_0) : VK_NONE;
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return VK_0 + (key - Qt::Key_0);
    if (int digit = DigitFromX11Keycode(event.nativeScanCode()))
        return digit;
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return VK_A + (key - Qt::Key_A);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F12)
        return VK_F1 + (key - Qt::Key_F1);
    return VK_NONE;
}

frmMain* MainForm()
{
    return g_main;
}

QIcon WindowIcon()
{
    // Every size there is, so that the title bar, the task switcher and the
    // dock each get one painted for their size instead of a scaled 64.
    QIcon icon;
    const QDir folder(QStringLiteral(":/assets/icons"));
    for (const QString& name : folder.entryList({QStringLiteral("turrion-*.png")}, QDir::Files))
        icon.addFile(folder.filePath(name));
    return icon;
}

frmMain::frmMain(QWidget* parent) : QMainWindow(parent)
{
    g_main = this;
    setObjectName("frmMain");
    setWindowTitle("Turrion");
    setWindowIcon(WindowIcon());

    client_ = new QWidget(this);
    picViewPort = new PictureBox("picViewPort", client_);
    picViewPort->setGeometry(8, 8, ViewWidth, ViewHeight);
    picViewPort->setFocusPolicy(Qt::NoFocus);
    client_->setFixedSize(ViewWidth + 16, ViewHeight + 16);
    setCentralWidget(client_);
    connect(picViewPort, &PictureBox::MouseUp, this,
            [this](Qt::MouseButton button, QPoint pos) { picViewPort_MouseUp(button, pos); });

    BuildMenus();
    setFocusPolicy(Qt::StrongFocus);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

frmMain::~frmMain()
{
    if (g_main == this)
        g_main = nullptr;
}

void frmMain::BuildMenus()
{
    auto item = [this](QMenu* menu, const char* name, const char* caption, QKeySequence shortcut,
                       void (frmMain::*handler)()) {
        QAction* action = menu->addAction(QString::fromUtf8(caption));
        action->setObjectName(name);
        if (!shortcut.isEmpty())
            action->setShortcut(shortcut);
        // Shortcuts must keep working while the board view has the focus.
        action->setShortcutContext(Qt::WindowShortcut);
        if (handler)
            connect(action, &QAction::triggered, this, [this, menu, handler] {
                // A locked menu (during a shot, or the Turn menu while the
                // other side plays) greys its items, but a shortcut can still
                // be queued; it does nothing either.
                if (MenuChainEnabled(menu))
                    (this->*handler)();
            });
        return action;
    };
    auto menu = [](QMenu* parentMenu, QMenuBar* bar, const char* name, const char* caption) {
        QMenu* m = parentMenu ? parentMenu->addMenu(QString::fromUtf8(caption))
                              : bar->addMenu(QString::fromUtf8(caption));
        m->setObjectName(name);
        m->menuAction()->setObjectName(QString::fromUtf8(name) + "Action");
        return m;
    };
    QMenuBar* bar = menuBar();

    mnuGame = menu(nullptr, bar, "mnuGame", "&Game");
    mnuGameNew = menu(mnuGame, nullptr, "mnuGameNew", "&New");
    mnuGameNewTwo = item(mnuGameNew, "mnuGameNewTwo", "&Two Player Game", QKeySequence("Ctrl+N"),
                         &frmMain::mnuGameNewTwo_Click);
    mnuGameNewBlue = item(mnuGameNew, "mnuGameNewBlue", "Single Player as &Blue",
                          QKeySequence("Ctrl+B"), &frmMain::mnuGameNewBlue_Click);
    mnuGameNewRed = item(mnuGameNew, "mnuGameNewRed", "Single Player as &Red",
                         QKeySequence("Ctrl+R"), &frmMain::mnuGameNewRed_Click);
    mnuGameStrength = menu(mnuGame, nullptr, "mnuGameStrength", "&Computer Strength");
    const char* const levels[] = {"&Easy", "&Normal", "&Hard"};
    for (int i = 0; i < 3; ++i) {
        QAction* a = mnuGameStrength->addAction(QString::fromUtf8(levels[i]));
        a->setObjectName(QString("mnuGameStrength%1").arg(i));
        a->setCheckable(true);
        connect(a, &QAction::triggered, this, [this, i] {
            if (MenuChainEnabled(mnuGameStrength))
                mnuGameStrength_Click(i);
            else
                mnuGameStrength_Click(TheScreen().ComputerStrength); // keep the mark as it was
        });
        mnuGameStrengthLevel[i] = a;
    }
    mnuGame->addSeparator()->setObjectName("mnuGameUL1");
    mnuGameLoad = item(mnuGame, "mnuGameLoad", "&Load", QKeySequence("Ctrl+L"),
                       &frmMain::mnuGameLoad_Click);
    mnuGameSave = item(mnuGame, "mnuGameSave", "&Save", QKeySequence("Ctrl+S"),
                       &frmMain::mnuGameSave_Click);
    mnuGameSave->setEnabled(false);
    mnuGame->addSeparator()->setObjectName("mnuGameUL3");
    mnuGameSfx = item(mnuGame, "mnuGameSfx", "Sound E&ffects", QKeySequence("Ctrl+F"), nullptr);
    mnuGameSfx->setCheckable(true);
    mnuGameSfx->setChecked(true);
    // Qt flips a checkable item before it reports the trigger; undo that so
    // that the handler alone inverts the mark, also when it is called directly.
    connect(mnuGameSfx, &QAction::triggered, this, [this] {
        mnuGameSfx->setChecked(!mnuGameSfx->isChecked());
        if (MenuChainEnabled(mnuGame))
            mnuGameSfx_Click();
    });
    mnuGame->addSeparator()->setObjectName("mnuGameUL4");
    mnuGameExit = item(mnuGame, "mnuGameExit", "E&xit", QKeySequence(), &frmMain::mnuGameExit_Click);

    mnuView = menu(nullptr, bar, "mnuView", "&View");
    mnuViewZoomIn = item(mnuView, "mnuViewZoomIn", "Zoom &In", QKeySequence(QKeySequence::ZoomIn),
                         &frmMain::mnuViewZoomIn_Click);
    // Ctrl+= too: on most layouts "+" needs Shift.
    mnuViewZoomIn->setShortcuts({QKeySequence(QKeySequence::ZoomIn), QKeySequence("Ctrl+=")});
    mnuViewZoomOut = item(mnuView, "mnuViewZoomOut", "Zoom &Out",
                          QKeySequence(QKeySequence::ZoomOut), &frmMain::mnuViewZoomOut_Click);
    mnuViewZoomAuto = item(mnuView, "mnuViewZoomAuto", "&Automatic Size", QKeySequence("Ctrl+0"),
                           &frmMain::mnuViewZoomAuto_Click);
    mnuViewZoomAuto->setCheckable(true);
    mnuView->addSeparator();
    // One size is in use at a time: the sizes are one exclusive group, so the
    // menu shows them as choices of one.
    auto* sizes = new QActionGroup(mnuView);
    sizes->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
    for (int z = 1; z <= 4; ++z) {
        QAction* a = mnuView->addAction(QString("&%1x").arg(z));
        a->setObjectName(QString("mnuViewZoom%1").arg(z));
        a->setCheckable(true);
        sizes->addAction(a);
        connect(a, &QAction::triggered, this, [this, z] { mnuViewZoom_Click(z); });
        mnuViewZoom[z - 1] = a;
    }

    mnuNet = menu(nullptr, bar, "mnuNet", "&NetPlay");
    mnuNetHost = item(mnuNet, "mnuNetHost", "&Host", QKeySequence("Ctrl+H"),
                      &frmMain::mnuNetHost_Click);
    mnuNetConnect = item(mnuNet, "mnuNetConnect", "&Connect", QKeySequence("Ctrl+T"),
                         &frmMain::mnuNetConnect_Click);

    mnuTurn = menu(nullptr, bar, "mnuTurn", "&Turn");
    mnuTurnEndTurn = item(mnuTurn, "mnuTurnEndTurn", "End &Turn", QKeySequence("Ctrl+E"),
                          &frmMain::mnuTurnEndTurn_Click);
    mnuTurnEndTurn->setEnabled(false);

    mnuHelp = menu(nullptr, bar, "mnuHelp", "&Help");
    mnuHelpHelpFile = item(mnuHelp, "mnuHelpHelpFile", "&Help File", QKeySequence(Qt::Key_F1),
                           &frmMain::mnuHelpHelpFile_Click);
    mnuHelp->addSeparator()->setObjectName("mnuHelpUL1");
    mnuHelpWebsite = item(mnuHelp, "mnuHelpWebsite", "Turrion &Website", QKeySequence(),
                          &frmMain::mnuHelpWebsite_Click);
    mnuHelpMsgBoard = item(mnuHelp, "mnuHelpMsgBoard", "Turrion &Message Board", QKeySequence(),
                           &frmMain::mnuHelpMsgBoard_Click);
    mnuHelp->addSeparator()->setObjectName("mnuHelpUL2");
    mnuHelpAbout = item(mnuHelp, "mnuHelpAbout", "&About", QKeySequence("Ctrl+A"),
                        &frmMain::mnuHelpAbout_Click);
}

int frmMain::LargestZoom() const
{
    // A screen with several device pixels per window pixel (also 1.25 or
    // 1.5) gets its pictures at that many pixels more; the art goes up to
    // four. A zoom whose window would not fit on the screen is not offered.
    const double ratio = std::max(1.0, devicePixelRatioF());
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const QSize area = screen ? screen->availableGeometry().size() : QSize(1024, 768);
    const int chrome = menuBar()->sizeHint().height() + 16;
    int largest = 1;
    for (int z = 2; z * ratio <= 4; ++z)
        if (chrome + ViewHeight * z <= area.height() && 16 + ViewWidth * z <= area.width())
            largest = z;
    return largest;
}

void frmMain::SetZoom(int choice)
{
    Screen& s = TheScreen();
    const double ratio = std::max(1.0, devicePixelRatioF());
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const int available = screen ? screen->availableGeometry().height() : 768;
    // The menu bar and the margins around the view; the frame the window
    // manager adds is not known before the window is shown.
    const int chrome = menuBar()->sizeHint().height() + 16;
    const int largest = LargestZoom();
    // While NetPlay is open its window should find room beside the board:
    // the automatic zoom gives way when a smaller one leaves that room.
    int beside = 0;
    if (Game().NetState != NetNone) {
        const QWidget* chat = ChatWindow();
        beside = chat ? chat->frameGeometry().width() : DialogPx(382);
    }
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    const SideRoom side{beside > 0 ? beside + 8 : 0, frameGeometry().left() - area.left(),
                        area.width(), 16 + frameGeometry().width() - width()};
    const int zoom = std::clamp(choice == 0 ? AutomaticZoom(available, chrome, largest, side)
                                            : choice,
                                1, largest);
    s.ZoomChoice = choice == 0 ? 0 : zoom;
    zoom_ = zoom;
    mnuViewZoomAuto->setChecked(s.ZoomChoice == 0);
    for (int z = 1; z <= 4; ++z) {
        mnuViewZoom[z - 1]->setChecked(z == zoom);
        mnuViewZoom[z - 1]->setEnabled(z <= largest);
    }

    // Painted at the device's own scale (the art's nearest step), not at a
    // whole one shrunk: a picture pixel per device pixel, lines of one width.
    const double scale = Art::ClampScale(zoom * ratio);
    picViewPort->SetPixelRatio(scale / zoom);
    picViewPort->setGeometry(8, 8, ViewWidth * zoom, ViewHeight * zoom);
    client_->setFixedSize(ViewWidth * zoom + 16, ViewHeight * zoom + 16);
    adjustSize();
    if (s.ViewPort) {
        RescaleGraphics(scale);
        RedrawView();
    } else {
        SetPixelScale(scale);
    }
}

void frmMain::mnuViewZoomIn_Click()
{
    if (zoom_ < LargestZoom())
        mnuViewZoom_Click(zoom_ + 1);
}

void frmMain::mnuViewZoomOut_Click()
{
    if (zoom_ > 1)
        mnuViewZoom_Click(zoom_ - 1);
}

void frmMain::mnuViewZoomAuto_Click()
{
    mnuViewZoom_Click(0);
}

void frmMain::KeepOnScreen()
{
    const QScreen* screen = this->screen();
    if (!screen)
        return;
    const Placement p = ClampOnto(frameGeometry().left(), frameGeometry().top(),
                                  frameGeometry().width(), frameGeometry().height(),
                                  screen->availableGeometry());
    move(p.left, p.top);
}

void frmMain::mnuViewZoom_Click(int zoom)
{
    SetZoom(zoom);
    // The window may have grown past the screen's edge: it is kept on it.
    KeepOnScreen();
    WritePreferences(PavixGames::ConfigPath() + "preferences.ini", TheScreen());
}

void frmMain::FitAutomaticZoom()
{
    if (TheScreen().ZoomChoice != 0)
        return;
    SetZoom(0);
    KeepOnScreen();
}

void frmMain::SetMenuEnabled(QMenu* menu, bool enabled)
{
    // Disabling the menu's own action greys its title and, through Qt, its
    // shortcuts; the menu widget follows so that it cannot be popped up.
    menu->menuAction()->setEnabled(enabled);
    menu->setEnabled(enabled);
}

bool frmMain::MenuEnabled(const QMenu* menu)
{
    return menu->menuAction()->isEnabled();
}

bool frmMain::MenuChainEnabled(const QMenu* menu)
{
    for (; menu; menu = qobject_cast<const QMenu*>(menu->parentWidget()))
        if (!MenuEnabled(menu))
            return false;
    return true;
}

bool frmMain::SoundOn() const
{
    return mnuGameSfx->isChecked();
}

int frmMain::LeftTwips() const
{
    return frameGeometry().left() * TwipsPerPixel;
}

int frmMain::TopTwips() const
{
    return frameGeometry().top() * TwipsPerPixel;
}

void frmMain::Form_Load()
{
    Screen& s = TheScreen();
    SetZoom(s.ZoomChoice);
    for (int i = 0; i < 3; ++i)
        mnuGameStrengthLevel[i]->setChecked(i == s.ComputerStrength);
    adjustSize();
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    const QSize frame = frameGeometry().size();
    const Placement p = MainWindowPlacement(s.MainLeft, s.MainTop, frame.width() * TwipsPerPixel,
                                            frame.height() * TwipsPerPixel,
                                            (area.x() + area.width()) * TwipsPerPixel,
                                            (area.y() + area.height()) * TwipsPerPixel);
    // Whatever settings.dat held, the window ends up on the available area.
    const Placement on = ClampOnto(p.left / TwipsPerPixel, p.top / TwipsPerPixel, frame.width(),
                                   frame.height(), area);
    move(on.left, on.top);
    KeyReady = true;
}

bool frmMain::event(QEvent* e)
{
    // Tab belongs to the game (it selects the next piece), not to focus
    // traversal; it must reach the key handler.
    if (e->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(e);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            keyPressEvent(key);
            return true;
        }
    }
    if (e->type() == QEvent::WindowActivate) {
        // A key released while another window (a dialog, a menu) had the
        // keyboard never reaches us; without this the latch would stay
        // closed and swallow the next press.
        KeyReady = true;
    }
    return QMainWindow::event(e);
}

bool frmMain::focusNextPrevChild(bool)
{
    return false;
}

void frmMain::keyPressEvent(QKeyEvent* event)
{
    int code = VirtualKeyFromEvent(*event);
    Form_KeyDown(code, ModifierMask(event->modifiers()));
    if (code == 0)
        event->accept();
    else
        QMainWindow::keyPressEvent(event);
}

void frmMain::keyReleaseEvent(QKeyEvent* event)
{
    // X11 reports a held key as release/press pairs marked auto-repeat; only
    // a real release re-arms the latch.
    if (event->isAutoRepeat()) {
        event->accept();
        return;
    }
    Form_KeyUp(VirtualKeyFromEvent(*event), ModifierMask(event->modifiers()));
    event->accept();
}

void frmMain::closeEvent(QCloseEvent* event)
{
    // An open NetPlay window asks its question first, without waiting for
    // the answer here; a later Yes closes it, then this window.
    closing_ = true;
    NetPlay::UnloadChatWindow([this] {
        if (!closing_)
            close();
    });
    closing_ = false;
    if (NetPlay::ChatWindowOpen()) {
        event->ignore();
        return;
    }
    event->accept();
    Form_Unload();
}

void frmMain::Form_Unload()
{
    Screen& s = TheScreen();
    s.MainLeft = LeftTwips();
    s.MainTop = TopTwips();
    // A settings file that cannot be written must not keep the game open.
    WriteSettings(PavixGames::ConfigPath() + "settings.dat", TheScreen());
    Shutdown();
}

void frmMain::mnuGameSfx_Click()
{
    mnuGameSfx->setChecked(!mnuGameSfx->isChecked());
}

void frmMain::mnuGameStrength_Click(int strength)
{
    Screen& s = TheScreen();
    s.ComputerStrength = std::clamp(strength, 0, 2);
    for (int i = 0; i < 3; ++i)
        mnuGameStrengthLevel[i]->setChecked(i == s.ComputerStrength);
    WritePreferences(PavixGames::ConfigPath() + "preferences.ini", TheScreen());
}

void frmMain::mnuGameExit_Click()
{
    // The sprite window stays until the close is certain (the NetPlay side
    // may refuse it); shutting down releases it.
    close();
}

void frmMain::mnuHelpHelpFile_Click()
{
    PavixGames::ShellOpen(this, PavixGames::AppPath() + "help/help.htm");
}

void frmMain::mnuHelpWebsite_Click()
{
    PavixGames::ShellOpen(this, QString::fromLatin1(WebsiteUrl));
}

void frmMain::mnuHelpMsgBoard_Click()
{
    PavixGames::ShellOpen(this, QString::fromLatin1(MessageBoardUrl));
}

void frmMain::mnuHelpAbout_Click()
{
    State& s = Game();
    ShowTitle();
    if (s.GameState != PhaseOverlay)
        s.ResumeState = s.GameState;
    s.GameState = PhaseOverlay;
}

void frmMain::picViewPort_MouseUp(Qt::MouseButton, QPoint pos)
{
    // In window pixels, whatever the zoom: the view is 9 by 7 cells of a
    // whole number of pixels each, and the position is a whole pixel
    // (floored by the picture box), so division floors exactly.
    const int cellW = picViewPort->width() / Cols;
    const int cellH = picViewPort->height() / Rows;
    if (cellW <= 0 || cellH <= 0 || pos.x() < 0 || pos.y() < 0)
        return;
    const int col = pos.x() / cellW;
    const int row = pos.y() / cellH;
    // A press inside the view released outside it lands beyond the board.
    if (!OnBoard(col, row))
        return;
    BoardClicked(col, row);
}

void PlaceByMainWindow(QWidget* window, int offsetLeft, int offsetTop)
{
    const frmMain* main = MainForm();
    const QScreen* screen = main ? main->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    // The native window is made now so that its frame (known to the window
    // system once the window exists) counts.
    window->winId();
    const QSize size = window->frameGeometry().size();
    Placement p;
    if (main && offsetLeft == 0 && offsetTop == 0) {
        const QRect board(main->picViewPort->mapToGlobal(QPoint(0, 0)), main->picViewPort->size());
        const QWidget* other = OtherDialog(window);
        p = ChooseDialogPlace(size, area, main->frameGeometry(), board,
                              other ? other->frameGeometry() : QRect(), 8);
    } else {
        // The remembered offset may be anything settings.dat held: summed in
        // 64 bits, then put on the available area.
        constexpr int tw = frmMain::TwipsPerPixel;
        const std::int64_t left = (std::int64_t(main ? main->LeftTwips() : 0) + offsetLeft) / tw;
        const std::int64_t top = (std::int64_t(main ? main->TopTwips() : 0) + offsetTop) / tw;
        p = ClampOnto(left, top, size.width(), size.height(), area);
    }
    window->move(p.left, p.top);
}

void PlayGameSound(const char* fileName)
{
    frmMain* form = MainForm();
    if (form && form->SoundOn())
        PavixSfxAPI::PlaySfx(PavixGames::AppPath() + QString::fromLatin1(fileName));
}

} // namespace Turrion
