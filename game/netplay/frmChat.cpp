#include "game/netplay/frmChat.h"
#include "game/Screen.h"

#include "game/Drawing.h"
#include "game/GameFlow.h"
#include "game/DialogLayout.h"
#include "logic/GameState.h"
#include "game/SaveGame.h"
#include "game/frmMain.h"
#include "engine/gui/MessageBox.h"
#include "game/netplay/NetPlay.h"
#include "logic/Protocol.h"
#include "game/netplay/SendableEntry.h"
#include "game/netplay/WrapButton.h"
#include "game/FireCannon.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>
#include <utility>

using namespace Turrion;

namespace Turrion::NetPlay {

namespace {

frmChat* g_chat = nullptr;
std::function<void()> g_loadGameHook;

constexpr int Twips = frmMain::TwipsPerPixel;

// The game as the NetPlay session reaches it: the main window's procedures,
// with their drawing, pauses and sounds.
class MainWindowLink : public GameLink {
public:
    void NewGame() override
    {
        if (frmMain* main = MainForm())
            main->mnuGameNewTwo_Click();
    }
    void LoadGame(const QString& path) override
    {
        State& s = Game();
        s.GameFileName = path;
        if (g_loadGameHook)
            g_loadGameHook();
        else
            Turrion::LoadGame();
        s.GameFileName.clear();
    }
    void EndTurn() override { SimEndTurn(); }
    void BoardChanged() override
    {
        DrawBoard();
        Show();
    }
    void ShotLanded(int col, int row, int shooter, bool kingHit) override
    {
        if (!kingHit) {
            PlayGameSound("cb_hit.wav");
            DrawBoard();
            Show();
            return;
        }
        if (frmMain* main = MainForm())
            main->mnuTurnEndTurn->setEnabled(false);
        // The Fire over the King; the board keeps the King.
        DrawPieceSprite(Fire, shooter, col, row);
        Show();
        WinPause();
    }
    bool Busy() const override { return HoldsRemoteMessages(); }
};

// A host with a player plays with that player: no single-player game
// meanwhile.
void EnableSinglePlayer(bool enabled)
{
    if (frmMain* main = MainForm()) {
        main->mnuGameNewBlue->setEnabled(enabled);
        main->mnuGameNewRed->setEnabled(enabled);
    }
}

} // namespace

frmChat::frmChat(QWidget* parent)
    : QWidget(parent, Qt::Window), link_(std::make_unique<MainWindowLink>()),
      session_(new Session(Game(), *link_, this))
{
    setObjectName(QStringLiteral("frmChat"));
    setWindowTitle(QStringLiteral("Turrion (NetPlay)"));
    setAttribute(Qt::WA_QuitOnClose, false);
    setFixedSize(DialogPx(5730 / Twips), DialogPx(4770 / Twips));

    Label1 = new QLabel(QStringLiteral("Blue:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    PlaceTwips(Label1, 120, 120, 615, 255);
    lblBluePlayer = new QLabel(this);
    lblBluePlayer->setObjectName(QStringLiteral("lblBluePlayer"));
    PlaceTwips(lblBluePlayer, 840, 120, 3015, 255);
    Label2 = new QLabel(QStringLiteral("Red:"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    PlaceTwips(Label2, 120, 480, 615, 255);
    lblRedPlayer = new QLabel(this);
    lblRedPlayer->setObjectName(QStringLiteral("lblRedPlayer"));
    PlaceTwips(lblRedPlayer, 840, 480, 3015, 255);
    for (QLabel* label : {Label1, lblBluePlayer, Label2, lblRedPlayer})
        label->setTextFormat(Qt::PlainText); // player names are never markup
    SetBold(Label1, true);
    SetBold(Label2, true);

    cmdSwitch = new WrapButton(QStringLiteral("&Switch Colors"), this);
    cmdSwitch->setObjectName(QStringLiteral("cmdSwitch"));
    PlaceTwips(cmdSwitch, 3960, 120, 735, 495);
    cmdDone = new WrapButton(QStringLiteral("&End NetGame"), this);
    cmdDone->setObjectName(QStringLiteral("cmdDone"));
    PlaceTwips(cmdDone, 4800, 120, 855, 495);

    txtChat = new QPlainTextEdit(this);
    txtChat->setObjectName(QStringLiteral("txtChat"));
    PlaceTwips(txtChat, 120, 840, 5535, 3255);
    txtChat->setReadOnly(true);
    txtChat->setUndoRedoEnabled(false);
    // A long session, or a peer flooding the chat, must not grow the
    // transcript without end: the oldest lines give way.
    txtChat->setMaximumBlockCount(10000);
    txtChat->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtChat->setLineWrapMode(QPlainTextEdit::WidgetWidth);

    txtAddChat = new QLineEdit(this);
    txtAddChat->setObjectName(QStringLiteral("txtAddChat"));
    PlaceTwips(txtAddChat, 120, 4200, 4815, 375);
    cmdAddChat = new QPushButton(QStringLiteral("&Add"), this);
    cmdAddChat->setObjectName(QStringLiteral("cmdAddChat"));
    PlaceTwips(cmdAddChat, 5040, 4200, 615, 375);
    cmdAddChat->setEnabled(false);

    setTabOrder(cmdSwitch, cmdDone);
    setTabOrder(cmdDone, txtChat);
    setTabOrder(txtChat, txtAddChat);
    setTabOrder(txtAddChat, cmdAddChat);

    connect(cmdSwitch, &QPushButton::clicked, this, [this] { cmdSwitch_Click(); });
    connect(cmdDone, &QPushButton::clicked, this, [this] { cmdDone_Click(); });
    connect(cmdAddChat, &QPushButton::clicked, this, [this] { cmdAddChat_Click(); });
    KeepSendable(txtAddChat);
    connect(txtAddChat, &QLineEdit::textChanged, this, [this] { txtAddChat_Change(); });
    // Enter in the entry sends the line, as the Add button would.
    connect(txtAddChat, &QLineEdit::returnPressed, this, [this] {
        if (cmdAddChat->isEnabled())
            cmdAddChat_Click();
    });

    connect(session_, &Session::ChatLine, this, [this](const QString& line) { AddChat(line); });
    connect(session_, &Session::PlayersChanged, this, [this] {
        UpdatePlayerLabels();
        EnableSinglePlayer(!(Game().NetIsHost && session_->PlayerConnected));
        cmdSwitch->setEnabled(Game().NetIsHost && session_->PlayerConnected);
        txtAddChat_Change(); // a line typed while waiting can now be sent
        // A side that left no longer holds the turn: the game goes on here
        // as a game for two (its turn report, the Turn menu).
        Kick();
    });
    connect(session_, &Session::Attention, this, [this](bool raise) {
        if (raise) {
            if (isMinimized())
                showNormal();
            this->raise();
            activateWindow();
        } else if (!isActiveWindow()) {
            QApplication::alert(this);
        }
    });
    connect(session_, &Session::Problem, this, [this](const QString& text) {
        // One box at a time: a peer that keeps sending faults must not
        // bury the desktop in boxes; the transcript has the rest.
        if (problemShown_ && problemShown_->isVisible())
            return;
        PavixGames::MessageBox(this, text, QStringLiteral("NetPlay Error"),
                               PavixGames::MsgIcon::Exclamation);
        problemShown_ = PavixGames::LastMessageBox();
    });
}

frmChat::~frmChat()
{
    if (g_chat == this)
        g_chat = nullptr;
}

void frmChat::SetLoadGameHook(std::function<void()> hook)
{
    g_loadGameHook = std::move(hook);
}

void frmChat::SetBold(QLabel* label, bool bold)
{
    QFont font = label->font();
    font.setBold(bold);
    label->setFont(font);
}

// ---- Opening and closing ---------------------------------------------------

void frmChat::ResetControls()
{
    // Every opening starts from the design: an empty transcript and entry,
    // no names, Add disabled, Switch Colors shown and enabled.
    newLines_.clear();
    txtChat->clear();
    txtAddChat->clear();
    cmdAddChat->setEnabled(false);
    lblBluePlayer->clear();
    lblRedPlayer->clear();
    SetBold(lblBluePlayer, false);
    SetBold(lblRedPlayer, false);
    cmdSwitch->setEnabled(true);
    cmdSwitch->show();
}

void frmChat::PlaceWindow()
{
    const Screen& v = TheScreen();
    if (frmMain* main = MainForm())
        main->FitAutomaticZoom(); // room for this window beside the board
    PlaceByMainWindow(this, v.ChatLeft, v.ChatTop);
}

void frmChat::RememberPlacement()
{
    Screen& s = TheScreen();
    const frmMain* main = MainForm();
    if (!main)
        return;
    s.ChatTop = frameGeometry().top() * Twips - main->TopTwips();
    s.ChatLeft = frameGeometry().left() * Twips - main->LeftTwips();
}

void frmChat::Form_Load()
{
    State& s = Game();
    DoneClicked = false;
    ResetControls();
    PlaceWindow();
    show();
    if (s.NetState == NetHosting) {
        cmdSwitch->setEnabled(false);
        lblBluePlayer->setText(s.NetName + QStringLiteral(" (host)"));
        SetBold(lblBluePlayer, true);
    } else {
        cmdSwitch->hide(); // only the host switches colours
        lblRedPlayer->setText(s.NetName + QStringLiteral(" (connected)"));
        SetBold(lblRedPlayer, true);
    }
    session_->Open();
}

void frmChat::Form_Unload(bool& cancel)
{
    if (!Loaded())
        return;
    RememberPlacement();
    cancel = false;
    session_->Close();

    EnableSinglePlayer(true);
    if (frmMain* main = MainForm()) {
        frmMain::SetMenuEnabled(main->mnuGameNew, true);
        main->mnuGameLoad->setEnabled(true);
        main->mnuGameSave->setEnabled(true);
        frmMain::SetMenuEnabled(main->mnuNet, true);
        main->mnuHelpAbout->setEnabled(true);
        main->FitAutomaticZoom(); // the room beside the board is no longer needed
    }
    // The game is no longer shared: a turn that waited for the other side
    // is played here now.
    Kick();
}

bool frmChat::RequestClose(std::function<void()> closed)
{
    if (!Loaded())
        return false;
    if (DoneClicked) {
        if (!closingNow_)
            close();
        if (closed)
            closed();
        return true;
    }
    if (asking_)
        return true;
    asking_ = true;
    // Asked without waiting here: the game and the other side go on while
    // the question is up.
    PavixGames::Ask(this,
                    QStringLiteral("Are you sure you wish to disconnect from the NetGame?\r\n\r\n"
                                   "Yes -- to disconnect\r\nNo -- to continue NetPlay"),
                    QStringLiteral("Disconnect from NetPlay?"),
                    [self = QPointer<frmChat>(this), closed = std::move(closed)](bool yes) {
                        if (!self)
                            return;
                        self->asking_ = false;
                        if (!yes || !self->Loaded())
                            return;
                        self->DoneClicked = true;
                        // Answered at once (from inside a close): that close goes on.
                        if (!self->closingNow_)
                            self->close();
                        if (closed)
                            closed();
                    });
    return true;
}

void frmChat::closeEvent(QCloseEvent* event)
{
    if (!Loaded()) {
        event->accept();
        return;
    }
    if (!DoneClicked) {
        closingNow_ = true;
        RequestClose(nullptr);
        closingNow_ = false;
        if (!DoneClicked) {
            event->ignore();
            return;
        }
    }
    bool cancel = false;
    Form_Unload(cancel);
    event->accept();
}

void frmChat::cmdDone_Click()
{
    DoneClicked = true;
    close();
}

// ---- Names, chat and colours -----------------------------------------------

void frmChat::UpdatePlayerLabels()
{
    const State& s = Game();
    if (!session_->PlayerConnected) {
        // The host waits for the next player; a client keeps the names of
        // the game that just ended in view.
        if (s.NetIsHost) {
            lblBluePlayer->setText(s.NetName + QStringLiteral(" (host)"));
            SetBold(lblBluePlayer, true);
            lblRedPlayer->clear();
            SetBold(lblRedPlayer, false);
        }
        return;
    }
    const QString own = s.NetIsHost ? QStringLiteral(" (host)") : QStringLiteral(" (connected)");
    const QString other = s.NetIsHost ? QStringLiteral(" (connected)") : QStringLiteral(" (host)");
    if (s.NetColor == Blue) {
        lblBluePlayer->setText(s.NetName + own);
        SetBold(lblBluePlayer, true);
        lblRedPlayer->setText(OneLine(s.RemoteName) + other);
        SetBold(lblRedPlayer, false);
    } else {
        lblBluePlayer->setText(OneLine(s.RemoteName) + other);
        SetBold(lblBluePlayer, false);
        lblRedPlayer->setText(s.NetName + own);
        SetBold(lblRedPlayer, true);
    }
}

void frmChat::AddChat(const QString& line)
{
    if (newLines_.isEmpty())
        QMetaObject::invokeMethod(this, &frmChat::ShowNewLines, Qt::QueuedConnection);
    newLines_ += OneLine(line) + QLatin1Char('\n');
}

void frmChat::ShowNewLines() const
{
    if (newLines_.isEmpty())
        return;
    QTextCursor cursor(txtChat->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(std::exchange(newLines_, QString()));
    // The newest line shows; a selection the player made stays.
    txtChat->verticalScrollBar()->setValue(txtChat->verticalScrollBar()->maximum());
}

QString frmChat::ChatText() const
{
    ShowNewLines();
    return txtChat->toPlainText();
}

void frmChat::txtAddChat_Change()
{
    cmdAddChat->setEnabled(!txtAddChat->text().trimmed().isEmpty() && session_->PlayerConnected);
}

void frmChat::cmdAddChat_Click()
{
    const State& s = Game();
    const QString t = Sendable(txtAddChat->text()).trimmed();
    AddChat(QStringLiteral(">>") + s.NetName + ChatMarker + t);
    session_->SendMessage(QStringLiteral("CH} >") + s.NetName + ChatMarker + t);
    txtAddChat->clear();
    txtAddChat->setFocus();
}

void frmChat::cmdSwitch_Click()
{
    State& s = Game();
    int v;
    if (s.NetColor == Blue) {
        s.NetColor = Red;
        v = Blue;
    } else {
        s.NetColor = Blue;
        v = Red;
    }
    if (session_->PlayerConnected)
        session_->SendMessage(QStringLiteral("SC}") + QString::number(v));
    UpdatePlayerLabels();
}

// ---- The one window ----------------------------------------------------------

frmChat* ChatWindow()
{
    if (!g_chat)
        g_chat = new frmChat;
    return g_chat;
}

frmChat* ExistingChatWindow()
{
    return g_chat;
}

void ShowChatWindow()
{
    frmChat* chat = ChatWindow();
    if (chat->Loaded()) {
        chat->raise();
        chat->activateWindow();
        return;
    }
    chat->Form_Load();
}

void DestroyChatWindowForTests()
{
    delete g_chat;
    g_chat = nullptr;
    g_loadGameHook = nullptr;
}

} // namespace Turrion::NetPlay
