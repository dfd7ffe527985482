#include "netplay/frmChat.h"

#include "core/Drawing.h"
#include "core/GameFlow.h"
#include "core/GameState.h"
#include "core/Placement.h"
#include "core/SaveGame.h"
#include "core/frmMain.h"
#include "engine/MessageBox.h"
#include "engine/PavixGames.h"
#include "netplay/NetPlay.h"
#include "netplay/Protocol.h"
#include "netplay/WrapButton.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QNetworkInterface>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTextCursor>

using namespace Turrion;

namespace NetPlay {

namespace {

frmChat* g_chat = nullptr;
std::function<void()> g_loadGameHook;

constexpr int Twips = frmMain::TwipsPerPixel;

// A control placed as the window's design gives it, in twips.
void Place(QWidget* w, int left, int top, int width, int height)
{
    w->setGeometry(left / Twips, top / Twips, width / Twips, height / Twips);
}

QString Numbered(int count)
{
    return QString::number(count).rightJustified(5, QLatin1Char('0')) + QStringLiteral(" - ");
}

// A received name or chat line is shown as exactly one line: a line break or
// another control character in it could otherwise write lines that look as
// if this program had written them.
QString OneLine(const QString& line)
{
    QString clean = line;
    for (QChar& ch : clean) {
        const char16_t u = ch.unicode();
        if (u < 0x20 || u == 0x7F || (u >= 0x80 && u <= 0x9F) || u == 0x2028 || u == 0x2029)
            ch = QLatin1Char(' ');
    }
    return clean;
}

bool PortInRange(int port)
{
    return port >= 0 && port <= 65535;
}

QString PortOutOfRange(int port)
{
    return QStringLiteral("Port %1 is not a TCP port (0 to 65535).").arg(port);
}

} // namespace

frmChat::frmChat(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("frmChat"));
    setWindowTitle(QStringLiteral("Turrion (NetPlay)"));
    setAttribute(Qt::WA_QuitOnClose, false);
    setFixedSize(5730 / Twips, 4770 / Twips);

    Label1 = new QLabel(QStringLiteral("Blue:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Place(Label1, 120, 120, 615, 255);
    lblBluePlayer = new QLabel(this);
    lblBluePlayer->setObjectName(QStringLiteral("lblBluePlayer"));
    Place(lblBluePlayer, 840, 120, 3015, 255);
    Label2 = new QLabel(QStringLiteral("Red:"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Place(Label2, 120, 480, 615, 255);
    lblRedPlayer = new QLabel(this);
    lblRedPlayer->setObjectName(QStringLiteral("lblRedPlayer"));
    Place(lblRedPlayer, 840, 480, 3015, 255);
    for (QLabel* label : {Label1, lblBluePlayer, Label2, lblRedPlayer})
        label->setTextFormat(Qt::PlainText); // player names are never markup
    SetBold(Label1, true);
    SetBold(Label2, true);

    cmdSwitch = new WrapButton(QStringLiteral("&Switch Colors"), this);
    cmdSwitch->setObjectName(QStringLiteral("cmdSwitch"));
    Place(cmdSwitch, 3960, 120, 735, 495);
    cmdDone = new WrapButton(QStringLiteral("&End NetGame"), this);
    cmdDone->setObjectName(QStringLiteral("cmdDone"));
    Place(cmdDone, 4800, 120, 855, 495);

    txtChat = new QPlainTextEdit(this);
    txtChat->setObjectName(QStringLiteral("txtChat"));
    Place(txtChat, 120, 840, 5535, 3255);
    txtChat->setReadOnly(true);
    txtChat->setUndoRedoEnabled(false);
    // A long session, or a peer flooding the chat, must not grow the
    // transcript without end: the oldest lines give way.
    txtChat->setMaximumBlockCount(10000);
    txtChat->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtChat->setLineWrapMode(QPlainTextEdit::WidgetWidth);

    txtAddChat = new QLineEdit(this);
    txtAddChat->setObjectName(QStringLiteral("txtAddChat"));
    Place(txtAddChat, 120, 4200, 4815, 375);
    cmdAddChat = new QPushButton(QStringLiteral("&Add"), this);
    cmdAddChat->setObjectName(QStringLiteral("cmdAddChat"));
    Place(cmdAddChat, 5040, 4200, 615, 375);
    cmdAddChat->setEnabled(false);

    setTabOrder(cmdSwitch, cmdDone);
    setTabOrder(cmdDone, txtChat);
    setTabOrder(txtChat, txtAddChat);
    setTabOrder(txtAddChat, cmdAddChat);

    connect(cmdSwitch, &QPushButton::clicked, this, [this] { cmdSwitch_Click(); });
    connect(cmdDone, &QPushButton::clicked, this, [this] { cmdDone_Click(); });
    connect(cmdAddChat, &QPushButton::clicked, this, [this] { cmdAddChat_Click(); });
    connect(txtAddChat, &QLineEdit::textChanged, this, [this] { txtAddChat_Change(); });
    // Enter in the entry sends the line, as the Add button would.
    connect(txtAddChat, &QLineEdit::returnPressed, this, [this] {
        if (cmdAddChat->isEnabled())
            cmdAddChat_Click();
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
    const State& s = Game();
    const frmMain* main = MainForm();
    const int mainLeft = main ? main->LeftTwips() : 0;
    const int mainTop = main ? main->TopTwips() : 0;
    const QScreen* screen = main ? main->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    const QSize frame = frameGeometry().size();
    const Placement p = ClampToScreen(Placement{mainLeft + s.ChatLeft, mainTop + s.ChatTop},
                                      frame.width() * Twips, frame.height() * Twips,
                                      (area.x() + area.width()) * Twips,
                                      (area.y() + area.height()) * Twips);
    move(p.left / Twips, p.top / Twips);
}

void frmChat::RememberPlacement()
{
    State& s = Game();
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
    PlayerConnected = false;
    // Half a message left by an earlier connection must not be joined to the
    // first data of this one.
    RecvBuffer.clear();
    ResetControls();
    PlaceWindow();
    show();
    loaded_ = true;

    const bool logging = PavixGames::LogLevel() > 0;
    const QString& app = PavixGames::DataPath();
    if (s.NetState == NetHosting) {
        if (logging) {
            SendLog = PavixGames::OpenLog(app + QStringLiteral("Host_Send.log"), false);
            GetLog = PavixGames::OpenLog(app + QStringLiteral("Host_Get.log"), false);
        }
        cmdSwitch->setEnabled(false);
        lblBluePlayer->setText(s.NetName + QStringLiteral(" (host)"));
        SetBold(lblBluePlayer, true);
        StartListening();
        AddChat(QStringLiteral("Hosting NetPlay Game as ") + s.NetName + QStringLiteral("..."));
        AddChat(QStringLiteral("     IP: ") + LocalIP());
        AddChat(QStringLiteral("     Port: ") +
                QString::number(Listening() ? ListeningPort() : s.NetPort));
        s.NetColor = Blue;
    } else {
        if (logging) {
            SendLog = PavixGames::OpenLog(app + QStringLiteral("Client_Send.log"), false);
            GetLog = PavixGames::OpenLog(app + QStringLiteral("Client_Get.log"), false);
        }
        cmdSwitch->hide(); // only the host switches colours
        s.NetColor = Red;
        lblRedPlayer->setText(s.NetName + QStringLiteral(" (connected)"));
        SetBold(lblRedPlayer, true);
        AddChat(QStringLiteral("Connecting to NetPlay Game as ") + s.NetName +
                QStringLiteral("..."));
        AddChat(QStringLiteral("     Host: ") + s.NetHost);
        AddChat(QStringLiteral("     Port: ") + QString::number(s.NetPort));
        StartConnecting();
    }
}

void frmChat::Form_Unload(bool& cancel)
{
    State& s = Game();
    if (!loaded_)
        return;
    RememberPlacement();
    if (!DoneClicked) {
        const PavixGames::MsgResult answer = PavixGames::MessageBox(
            this,
            QStringLiteral("Are you sure you wish to disconnect from the NetGame?\r\n\r\n"
                           "Yes -- to disconnect\r\nNo -- to continue NetPlay"),
            QStringLiteral("Disconnect from NetPlay?"), PavixGames::MsgIcon::Question,
            PavixGames::MsgButtons::YesNo);
        if (answer != PavixGames::MsgResult::Yes) {
            s.CancelClose = true;
            cancel = true;
            return;
        }
    }
    // From here on nothing received is acted on.
    loaded_ = false;
    if (PavixGames::LogLevel() > 0) {
        PavixGames::CloseLog(SendLog);
        PavixGames::CloseLog(GetLog);
    }
    SendLog = 0;
    GetLog = 0;
    AddChat(QStringLiteral("===================="));
    AddChat(QStringLiteral("Disconnecting ..."));
    if (PlayerConnected && comm_) {
        // Straight onto the socket: the logs are closed and it is not counted.
        comm_->write(Frame(QStringLiteral("DQ}") + s.NetName));
        comm_->flush();
        QCoreApplication::processEvents();
    }
    CloseSocket();
    StopListening();
    PlayerConnected = false;
    s.NetState = NetNone;
    s.NetGame = false;

    if (frmMain* main = MainForm()) {
        frmMain::SetMenuEnabled(main->mnuGameNew, true);
        main->mnuGameLoad->setEnabled(true);
        main->mnuGameSave->setEnabled(true);
        frmMain::SetMenuEnabled(main->mnuNet, true);
        main->mnuHelpAbout->setEnabled(true);
    }
}

void frmChat::closeEvent(QCloseEvent* event)
{
    if (!loaded_) {
        event->accept();
        return;
    }
    bool cancel = false;
    Form_Unload(cancel);
    if (cancel)
        event->ignore();
    else
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
    QTextCursor cursor(txtChat->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(OneLine(line) + QLatin1Char('\n'));
    txtChat->moveCursor(QTextCursor::End);
    txtChat->ensureCursorVisible();
    txtChat->verticalScrollBar()->setValue(txtChat->verticalScrollBar()->maximum());
}

QString frmChat::ChatText() const
{
    return txtChat->toPlainText();
}

void frmChat::txtAddChat_Change()
{
    cmdAddChat->setEnabled(!txtAddChat->text().trimmed().isEmpty() && PlayerConnected);
}

void frmChat::cmdAddChat_Click()
{
    const State& s = Game();
    const QString t = StripTerminator(txtAddChat->text()).trimmed();
    AddChat(QStringLiteral(">>") + s.NetName + ChatMarker + t);
    SendMessage(QStringLiteral("CH} >") + s.NetName + ChatMarker + t);
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
    if (PlayerConnected)
        SendMessage(QStringLiteral("SC}") + QString::number(v));
    UpdatePlayerLabels();
}

// ---- The socket -------------------------------------------------------------

QString frmChat::LocalIP() const
{
    const QList<QHostAddress> all = QNetworkInterface::allAddresses();
    for (const QHostAddress& a : all)
        if (!a.isLoopback() && a.protocol() == QAbstractSocket::IPv4Protocol)
            return a.toString();
    for (const QHostAddress& a : all)
        if (!a.isLoopback())
            return a.toString();
    return QStringLiteral("127.0.0.1");
}

bool frmChat::Listening() const
{
    return server_ && server_->isListening();
}

int frmChat::ListeningPort() const
{
    return Listening() ? int(server_->serverPort()) : 0;
}

bool frmChat::Connected() const
{
    return comm_ && comm_->state() == QAbstractSocket::ConnectedState;
}

void frmChat::StartListening()
{
    const int port = Game().NetPort;
    if (!PortInRange(port)) {
        ReportSocketError(QAbstractSocket::UnknownSocketError, PortOutOfRange(port));
        return;
    }
    if (!server_) {
        server_ = new QTcpServer(this);
        server_->setMaxPendingConnections(1);
        connect(server_, &QTcpServer::newConnection, this,
                [this] { comm_ConnectionRequest(); }, Qt::QueuedConnection);
        connect(server_, &QTcpServer::acceptError, this,
                [this](QAbstractSocket::SocketError error) {
                    if (server_)
                        ReportSocketError(error, server_->errorString());
                });
    }
    if (!server_->listen(QHostAddress::Any, quint16(port)))
        ReportSocketError(server_->serverError(), server_->errorString());
}

void frmChat::StopListening()
{
    if (!server_)
        return;
    while (QTcpSocket* extra = server_->nextPendingConnection()) {
        extra->abort();
        extra->deleteLater();
    }
    server_->close();
}

void frmChat::StartConnecting()
{
    const State& s = Game();
    if (!PortInRange(s.NetPort)) {
        ReportSocketError(QAbstractSocket::UnknownSocketError, PortOutOfRange(s.NetPort));
        return;
    }
    auto* socket = new QTcpSocket(this);
    AdoptSocket(socket);
    connect(socket, &QAbstractSocket::connected, this, [this, socket] {
        // Socket options take effect only once the connection exists.
        socket->setSocketOption(QAbstractSocket::KeepAliveOption, 1);
        if (socket == comm_)
            comm_Connect();
    }, Qt::QueuedConnection);
    socket->connectToHost(s.NetHost, quint16(s.NetPort));
}

void frmChat::AdoptSocket(QTcpSocket* socket)
{
    comm_ = socket;
    socket->setParent(this);
    socket->setSocketOption(QAbstractSocket::KeepAliveOption, 1);
    // Queued, so that the receive procedure runs from the event loop and not
    // inside the socket's own signal: data that arrives while an effect
    // pumps messages is then received by a nested run, and a closed
    // connection is reported only after the data that came before it.
    connect(socket, &QIODevice::readyRead, this, [this, socket] {
        if (socket == comm_)
            comm_DataArrival();
    }, Qt::QueuedConnection);
    connect(socket, &QAbstractSocket::errorOccurred, this,
            [this, guard = QPointer<QTcpSocket>(socket)](QAbstractSocket::SocketError error) {
                if (!guard || guard != comm_)
                    return;
                if (guard->bytesAvailable() > 0)
                    comm_DataArrival(); // the other side's last words first
                if (!guard || guard != comm_)
                    return; // they were a "DQ": the connection ended properly
                comm_Error(int(error), guard->errorString());
            },
            Qt::QueuedConnection);
}

void frmChat::CloseSocket()
{
    QTcpSocket* socket = comm_;
    comm_ = nullptr;
    if (!socket)
        return;
    disconnect(socket, nullptr, this, nullptr);
    if (socket->state() == QAbstractSocket::UnconnectedState) {
        socket->deleteLater();
        return;
    }
    // Whatever was queued is handed to the network before the socket goes.
    connect(socket, &QAbstractSocket::disconnected, socket, &QObject::deleteLater);
    socket->flush();
    socket->disconnectFromHost();
    if (socket->state() == QAbstractSocket::UnconnectedState)
        socket->deleteLater();
}

void frmChat::comm_ConnectionRequest()
{
    if (!server_)
        return;
    QTcpSocket* incoming = server_->nextPendingConnection();
    if (!incoming)
        return;
    // One player at a time: no more knocking once this one is in.
    StopListening();
    CloseSocket();
    AdoptSocket(incoming);
    RecvBuffer.clear();
    AddChat(QStringLiteral("Remote Player Connecting ..."));
    SendMessage(QStringLiteral("PD}") + Game().NetName);
}

void frmChat::comm_Connect()
{
    AddChat(QStringLiteral("Connected ..."));
    SendMessage(QStringLiteral("PD}") + Game().NetName);
}

void frmChat::comm_DataArrival()
{
    while (comm_ && comm_->bytesAvailable() > 0) {
        const QByteArray chunk = comm_->readAll();
        ReceiveChunk(chunk);
    }
}

void frmChat::comm_Error(int number, const QString& description)
{
    const QString numberText =
        number >= 0 ? QStringLiteral(" ") + QString::number(number) : QString::number(number);
    PavixGames::MessageBox(this,
                           QStringLiteral("NetPlay Communication Error:\r\n") + numberText +
                               QStringLiteral(" - ") + description,
                           QStringLiteral("NetPlay Error"), PavixGames::MsgIcon::Exclamation);
}

void frmChat::ReportSocketError(QAbstractSocket::SocketError error, const QString& description)
{
    comm_Error(int(error), description);
}

// ---- Sending and receiving --------------------------------------------------

void frmChat::SendMessage(const QString& text)
{
    if (PavixGames::LogLevel() > 0) {
        ++SendCount;
        PavixGames::WriteLog(SendLog, Numbered(SendCount) + text, true);
    }
    if (!Connected()) {
        ReportSocketError(QAbstractSocket::NetworkError,
                          QStringLiteral("The connection is closed; the message was not sent."));
        return;
    }
    if (comm_->write(Frame(text)) < 0) {
        ReportSocketError(comm_->error(), comm_->errorString());
        return;
    }
    comm_->flush();
}

void frmChat::ReceiveChunk(const QByteArray& chunk)
{
    const QString text = FromWire(chunk);
    if (PavixGames::LogLevel() > 0) {
        ++GetCount;
        PavixGames::WriteLog(GetLog, Numbered(GetCount) + text, true);
    }
    RecvBuffer += text;
    QString message;
    // Each message leaves the buffer before it is acted on: its effect may
    // pump events, and a nested run must find only what is still to do.
    while (loaded_ && TakeMessage(RecvBuffer, message)) {
        if (const std::optional<Message> m = ParseMessage(message))
            Dispatch(*m);
    }
    if (RecvBuffer.size() > MaxPendingChars && !RecvBuffer.contains(QChar(TerminatorChar))) {
        const qsizetype dropped = RecvBuffer.size();
        RecvBuffer.clear();
        ReportSocketError(
            QAbstractSocket::UnknownSocketError,
            QStringLiteral("%1 bytes arrived without the end of a message; they were discarded.")
                .arg(dropped));
    }
}

void frmChat::Dispatch(const Message& m)
{
    State& s = Game();
    frmMain* main = MainForm();
    const QString& name = s.RemoteName;
    const QString stars = QStringLiteral("   ** ");

    switch (m.code) {
    case Code::PD:
        s.RemoteName = m.payload;
        PlayerConnected = true;
        if (s.NetIsHost) {
            AddChat(QStringLiteral("     Connected player's name: ") + s.RemoteName);
            AddChat(QStringLiteral("--------------------"));
            AddChat(QString());
            s.NetState = NetHostWithPlayer;
            cmdSwitch->setEnabled(true);
            if (main) {
                main->mnuGameNewBlue->setEnabled(false);
                main->mnuGameNewRed->setEnabled(false);
            }
            if (isMinimized())
                showNormal();
            raise();
            activateWindow();
        } else {
            AddChat(QStringLiteral("     Host's name: ") + s.RemoteName);
            AddChat(QStringLiteral("--------------------"));
            AddChat(QString());
            s.NetState = NetConnected;
        }
        UpdatePlayerLabels();
        txtAddChat_Change(); // a line typed while waiting can now be sent
        break;

    case Code::CH:
        AddChat(m.payload);
        if (!isActiveWindow())
            QApplication::alert(this);
        break;

    case Code::SC:
        AddChat(QString());
        AddChat(QStringLiteral("   ** Players have SWITCHED COLORS for next game."));
        AddChat(QString());
        s.NetColor = m.colour;
        UpdatePlayerLabels();
        break;

    case Code::DQ:
        if (s.NetIsHost) {
            AddChat(QString());
            AddChat(QStringLiteral("===================="));
            AddChat(QStringLiteral("     ***** ") + m.payload +
                    QStringLiteral(" has disconnected ..."));
            AddChat(QString());
            CloseSocket();
            lblBluePlayer->setText(s.NetName + QStringLiteral(" (host)"));
            SetBold(lblBluePlayer, true);
            lblRedPlayer->clear();
            SetBold(lblRedPlayer, false);
            StartListening();
            AddChat(QStringLiteral(" ..."));
            AddChat(QStringLiteral("Hosting NetPlay Game as ") + s.NetName + QStringLiteral("..."));
            AddChat(QStringLiteral("     IP: ") + LocalIP());
            AddChat(QStringLiteral("     Port: ") +
                    QString::number(Listening() ? ListeningPort() : s.NetPort));
            s.NetColor = Blue;
            PlayerConnected = false;
            cmdAddChat->setEnabled(false);
            cmdSwitch->setEnabled(false);
            s.NetGame = false;
            s.NetState = NetHosting;
        } else {
            AddChat(QString());
            AddChat(QStringLiteral("===================="));
            AddChat(QStringLiteral("     ***** Host ") + name +
                    QStringLiteral(" has disconnected ... closing."));
            AddChat(QString());
            PlayerConnected = false;
            cmdAddChat->setEnabled(false);
            cmdSwitch->setEnabled(false);
            CloseSocket();
            s.NetState = NetNone;
            s.NetGame = false;
        }
        break;

    case Code::NG:
        AddChat(QString());
        AddChat(stars + m.payload + QStringLiteral(" started a NEW GAME."));
        AddChat(QString());
        if (main)
            main->mnuGameNewTwo_Click();
        break;

    case Code::AP:
        switch (m.kind) {
        case CannonReady:
            AddChat(stars + name + QStringLiteral(" has added a CANNON to the board."));
            break;
        case Wizard:
            AddChat(stars + name + QStringLiteral(" has added a WIZARD to the board."));
            break;
        case Builder:
            AddChat(stars + name + QStringLiteral(" has added a BUILDER to the board."));
            break;
        case Wall:
            AddChat(stars + name + QStringLiteral(" has ADDED a WALL to the board."));
            break;
        default:
            break;
        }
        PlaceRemotePiece(m.owner, m.kind, m.col, m.row);
        DrawBoard();
        Show();
        break;

    case Code::RP:
        if (s.Board[m.col][m.row] == Wall)
            AddChat(stars + name + QStringLiteral(" has REMOVED a WALL from the board."));
        RemoveRemotePiece(m.col, m.row);
        DrawBoard();
        Show();
        break;

    case Code::MP:
        MoveRemotePiece(m.col, m.row, m.toCol, m.toRow);
        DrawBoard();
        Show();
        break;

    case Code::FC:
        AddChat(stars + name + QStringLiteral(" has FIRED a CANNON!"));
        ApplyRemoteShot(m.col, m.row, m.colour);
        break;

    case Code::ET:
        AddChat(stars + name + QStringLiteral("'s TURN has ENDED."));
        // Only the side on turn can end it; an "ET" at any other time (no
        // game here, a finished game) would restart play out of step.
        if (!Turrion::WaitingForRemote(s) || s.GameState == Turrion::PhaseGameOver ||
            s.ResumeState == Turrion::PhaseGameOver)
            break;
        Turrion::SimEndTurn();
        // The turn is back here: draw the player's eye to the board.
        if (main && s.NetGame && s.NetGameColor == s.CurrentPlayer && !main->isActiveWindow())
            QApplication::alert(main);
        break;

    case Code::SG:
        AddChat(stars + m.payload + QStringLiteral(" has SAVED the GAME to a file."));
        break;

    case Code::LF:
        AddChat(QString());
        AddChat(stars + name + QStringLiteral(" has LOADED a GAME from file."));
        AddChat(QString());
        ReceiveGameFile(m.payload);
        break;
    }
}

// ---- The other side's game actions -------------------------------------------

void frmChat::PlaceRemotePiece(int owner, int kind, int col, int row)
{
    if (!OnBoard(col, row))
        return;
    State& s = Game();
    s.Owner[col][row] = owner;
    s.Board[col][row] = kind;
}

void frmChat::MoveRemotePiece(int fromCol, int fromRow, int toCol, int toRow)
{
    // A move onto its own cell would clear the piece; no real move does that.
    if (!OnBoard(fromCol, fromRow) || !OnBoard(toCol, toRow) ||
        (fromCol == toCol && fromRow == toRow))
        return;
    State& s = Game();
    s.Owner[toCol][toRow] = s.Owner[fromCol][fromRow];
    s.Owner[fromCol][fromRow] = 0;
    s.Board[toCol][toRow] = s.Board[fromCol][fromRow];
    s.Board[fromCol][fromRow] = 0;
}

void frmChat::RemoveRemotePiece(int col, int row)
{
    if (!OnBoard(col, row))
        return;
    State& s = Game();
    s.Owner[col][row] = 0;
    s.Board[col][row] = 0;
}

void frmChat::ApplyRemoteShot(int col, int row, int shooter)
{
    if (!OnBoard(col, row))
        return;
    State& s = Game();
    if (s.Board[col][row] == King) {
        AddChat(QString());
        AddChat(QStringLiteral("  ** ") + s.RemoteName + QStringLiteral(" has WON the GAME!"));
        AddChat(QString());
        s.CursorCol = col;
        s.CursorRow = row;
        s.GameState = PhaseGameOver;
        s.ResumeState = PhaseGameOver;
        if (frmMain* main = MainForm())
            main->mnuTurnEndTurn->setEnabled(false);
        // The Fire over the King; the board keeps the King.
        DrawPieceSprite(Fire, shooter, col, row);
        Show();
        PauseSeconds(1.0);
        PlayGameSound("win.wav");
        return;
    }
    PlayGameSound("cb_hit.wav");
    if (col != MiddleColumn)
        PlaceRemotePiece(shooter, Fire, col, row);
    DrawBoard();
    Show();
}

void frmChat::ReceiveGameFile(const QString& payload)
{
    State& s = Game();
    const QString path = PavixGames::DataPath() + QStringLiteral("temp_NetPlay.trs");
    if (QFile::exists(path))
        QFile::remove(path);
    QFile file(path);
    const QByteArray bytes = ToWire(payload);
    const bool written = file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                         file.write(bytes) == bytes.size() && file.flush();
    const QString problem = file.errorString();
    file.close();
    if (written) {
        s.GameFileName = path;
        if (g_loadGameHook)
            g_loadGameHook();
        else
            LoadGame();
    } else {
        PavixGames::MessageBox(this,
                               QStringLiteral("The game sent by the other side could not be "
                                              "written to ") +
                                   path + QStringLiteral(":\r\n") + problem,
                               QStringLiteral("NetPlay Error"), PavixGames::MsgIcon::Exclamation);
    }
    QFile::remove(path);
    s.GameFileName.clear();
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

} // namespace NetPlay
