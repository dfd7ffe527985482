// The game's flow under NetPlay: what the other copy sends, the engine clock
// moving on and what the player does here, interleaved in any order, never
// crash the program, never lose or endlessly hoard the other copy's game
// messages and never leave the game in a state it cannot go on from.
//
// It runs the started program (offscreen, in a temporary folder, on the
// manual test clock) with its NetPlay window: the same frmMain procedures,
// GameFlow waits, turn reports and session as a player's copy. The session
// has a real loopback connection whose other end is a plain socket here
// that only swallows what this copy sends: without a connected socket every
// message this copy sends would end the connection at once. What the other
// copy sends is handed to the receive procedure directly.
//
// Input:
//   byte 0  the situation every run starts from
//     bit 0     this copy hosts (else it is the connecting side)
//     bits 1-2  0 no game yet (title picture), 1 this side's move phase,
//               2 the other side's turn, 3 a finished game
//     bit 3     inside a pause: the new game's, this side's end of turn, the
//               other side's end of turn, the second after the win
//     bit 4     the colours are switched (the host plays Red)
//     bits 5-6  what the turn reports recruit: none, Wizard, Builder, Cannon
//     bit 7     the host's peer confirms the games it takes; in a finished
//               game, the other side won
//   byte 1  how many of the following bytes are actions (at most 16)
//   then the actions, one byte each (top three bits the kind):
//     0  receive the next n = bits 0-4 bytes of the data (0: one message)
//     1  receive the next message 1 + bits 0-3 times; 0x3f: past the
//        bound of the held messages (lowered here to HoldLimit, so that a
//        flood costs a run no more than a few turns)
//     2  the clock moves on bits 0-4 x 50 ms, running what falls due
//     3  the next 1 + bits 0-2 scheduled steps run, whenever they are due
//     4  a key, pressed and released, bit 4 Shift: bits 0-3 Left, Up,
//        Right, Down, Tab, 1 to 8; 13, 14 Right, Left held down; 15 a release
//     5  bits 0-2: End Turn (0, 7), End Turn's shortcut queued before its
//        menu locked (1), New two-player game (2), About (3), Switch
//        Colours (4), New game against the computer (5), a key release (6)
//   6, 7 a click on the board cell bits 0-4
//   the rest  the data the other copy sends
// Whatever data is left after the actions arrives in one chunk; then the
// game settles: every step runs until nothing is left to wait for.
#include "ai/Opponent.h"
#include "engine/PavixGames.h"
#include "engine/PavixSteps.h"
#include "engine/gui/MessageBox.h"
#include "engine/gui/PavixSfxAPI.h"
#include "game/GameFlow.h"
#include "game/frmMain.h"
#include "game/frmTurnReport.h"
#include "game/modTurrion.h"
#include "game/netplay/frmChat.h"
#include "game/netplay/frmConnect.h"
#include "logic/GameState.h"
#include "logic/Protocol.h"
#include "session/Session.h"
#include "tests/fuzz/FuzzProgram.h"
#include "tests/fuzz/FuzzSupport.h"

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>

using FuzzSupport::Check;
using namespace Turrion;

namespace {

frmMain* form = nullptr;
int peer = -1;    // this end of the loopback connection
int recruit = 0;  // what the turn reports choose: 0 none, 1 Wizard, 2 Builder, 3 Cannon
constexpr int HoldLimit = 100;

NetPlay::Session& Net()
{
    return NetPlay::ExistingChatWindow()->Net();
}

// Lets Qt's own events run (a connection to take, caches to trim). The
// windows are not painted: what reaches the screen is not what this fuzzer
// checks, and painting them would cost more than the run.
void RunQtEvents()
{
    for (QWidget* window : QApplication::topLevelWidgets())
        window->setUpdatesEnabled(false);
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

QByteArray sent; // what this copy has sent, not yet a whole message

// Reads away whatever this copy has sent, so that its socket never backs up:
// every message is one the other copy reads.
void Swallow()
{
    char buffer[4096];
    qsizetype got;
    while (peer >= 0 && (got = recv(peer, buffer, sizeof buffer, MSG_DONTWAIT)) > 0)
        sent.append(buffer, got);
    for (qsizetype end; (end = sent.indexOf(NetPlay::TerminatorByte)) >= 0; sent.remove(0, end + 1))
        Check(NetPlay::ParseMessage(NetPlay::FromWire(sent.left(end))).has_value(),
              "every message this copy sends is well formed");
}

// A host with a player: the session listens on a free loopback port, a
// socket here connects, and its name arrives as the first message.
void Connect()
{
    State& s = Game();
    NetPlay::Session& net = Net();
    net.Close();
    if (peer >= 0)
        close(peer);
    peer = -1;
    sent.clear();
    s.ComputerColor = NoPlayer; // a game against the computer refuses players
    s.NetState = NetHosting;
    s.NetIsHost = true;
    s.NetPort = 0;
    net.Open();
    Check(net.Listening(), "the session listens on the loopback interface");
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(quint16(net.ListeningPort()));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    // libFuzzer's timer (SIGALRM) must not cut a connect short; a connect
    // that fails all the same is the machine's, not the game's, and is tried
    // again.
    sigset_t alarm, before;
    sigemptyset(&alarm);
    sigaddset(&alarm, SIGALRM);
    for (int attempt = 0; attempt < 3 && peer < 0; ++attempt) {
        peer = socket(AF_INET, SOCK_STREAM, 0);
        pthread_sigmask(SIG_BLOCK, &alarm, &before);
        const int made = peer >= 0 ? connect(peer, reinterpret_cast<const sockaddr*>(&address), sizeof address) : -1;
        const int error = errno;
        pthread_sigmask(SIG_SETMASK, &before, nullptr);
        if (made != 0) {
            std::fprintf(stderr, "loopback connect: %s\n", std::strerror(error));
            if (peer >= 0)
                close(peer);
            peer = -1;
        }
    }
    Check(peer >= 0, "the loopback connection is made");
    for (int i = 0; i < 1000 && !net.Connected(); ++i)
        RunQtEvents();
    Check(net.Connected(), "the session takes the loopback connection");
    net.ReceiveChunk(NetPlay::Frame(QStringLiteral("PD}Peer")));
    Check(net.PlayerConnected && s.NetState == NetHostWithPlayer, "the peer is the host's player");
    Swallow();
}

// The program and its NetPlay window, once.
void StartOnce()
{
    if (form)
        return;
    FuzzSupport::StartOffscreenProgram();
    PavixGames::SetMessageBoxHook([](const PavixGames::MessageRequest&) { return PavixGames::MsgResult::OK; });
    PavixSfxAPI::SetPlayHook([](const QString&) {});
    SetExitHook([] {});
    // The report answers as the situation says; a choice the portal does not
    // allow falls back to no recruit, so that every report closes.
    SetTurnReportHook([](frmTurnReport& r) {
        QPushButton* choice[] = {r.cmdNoPiece, r.cmdWizard, r.cmdBuilder, r.cmdCannon};
        QPushButton* chosen = choice[recruit];
        (chosen->isEnabled() ? chosen : r.cmdNoPiece)->click();
    });
    form = StartUp(QString());
    Check(form != nullptr, "the program starts");
    form->mnuGameStrength_Click(0); // the computer's turns stay quick
    NetPlay::frmConnect::SetShownHook([](NetPlay::frmConnect& d) {
        d.txtName->setText(QStringLiteral("Fuzz"));
        d.txtPort->setText(QStringLiteral("0"));
        d.cmdConnect->click();
    });
    form->mnuNetHost_Click();
    NetPlay::frmConnect::SetShownHook(nullptr);
    Check(NetPlay::ExistingChatWindow() && NetPlay::ExistingChatWindow()->Loaded(), "the NetPlay window opens");
    Net().SetHoldLimit(HoldLimit);
    Connect();
}

// A game exists (also behind the About picture).
bool GameExists(const State& s)
{
    return EffectivePhase(s) != PhaseNone;
}

// Nothing of a run outlives it: no step, no wait, no report. The transcript
// is emptied only now and then: rebuilding its document costs more than a
// short run.
void CleanUp()
{
    GameReplaced();
    PavixGames::DropAllSteps();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QPlainTextEdit* transcript = NetPlay::ExistingChatWindow()->txtChat;
    if (transcript->blockCount() > 2000)
        transcript->clear();
    Swallow();
    // Qt trims its caches (fonts, text layouts) on timers of the event
    // loop, which the runs otherwise never reach.
    static unsigned runs = 0;
    if (++runs % 256 == 0)
        RunQtEvents();
}

// Every run starts from the situation byte 0 chooses.
void Reset(unsigned situation)
{
    State& s = Game();
    CleanUp();
    NetPlay::Session& net = Net();
    if (!net.IsOpen() || !net.Connected() || !net.PlayerConnected || net.PendingMessages() > 0)
        Connect();
    net.RecvBuffer.clear();

    const bool host = situation & 1;
    const int kind = (situation >> 1) & 3;
    const bool pause = situation & 8;
    const bool switched = situation & 16;
    recruit = (situation >> 5) & 3;

    BeginGame(s);
    s.ComputerColor = NoPlayer;
    s.GameFileName.clear();
    s.FreshTurn = false;
    s.RecruitKind = Empty;
    s.NetIsHost = host;
    s.NetState = host ? NetHostWithPlayer : NetConnected;
    s.NetColor = host == switched ? Red : Blue;
    s.NetGameColor = s.NetColor;
    s.NetGame = kind != 0;
    s.NetGamesShared = s.NetGamesConfirmed = host ? 1 : 0;
    s.NetPeerConfirms = host && (situation & 128);
    s.NetGamesTaken = host ? 0 : 1;
    const int other = s.NetColor == Blue ? Red : Blue;
    if (kind == 0) {
        for (auto& column : s.Board)
            std::fill(std::begin(column), std::end(column), Empty);
        for (auto& column : s.Owner)
            std::fill(std::begin(column), std::end(column), NoPlayer);
        s.CurrentPlayer = NoPlayer;
        s.TurnNumber = 0;
        s.MovesLeft = 0;
        s.CursorCol = s.CursorRow = 0;
        s.GameState = PhaseOverlay;
        s.ResumeState = PhaseNone;
    } else {
        SetupBoard(s);
        s.CurrentPlayer = kind == 2 ? other : s.NetColor;
        if (kind == 3)
            s.CurrentPlayer = (situation & 128) ? other : s.NetColor; // the winner
        CountMoves(s);
        s.GameState = s.ResumeState = kind == 3 ? PhaseGameOver : PhaseMove;
        PutCursorOnKing(s, kind == 3 ? (s.CurrentPlayer == Blue ? Red : Blue) : s.CurrentPlayer);
    }

    // The menus as the NetPlay window leaves them for this side.
    frmMain::SetMenuEnabled(form->mnuGameNew, host);
    form->mnuGameNewTwo->setEnabled(true);
    form->mnuGameNewBlue->setEnabled(!host);
    form->mnuGameNewRed->setEnabled(!host);
    form->mnuGameLoad->setEnabled(host);
    form->mnuGameSave->setEnabled(host);
    form->mnuHelpAbout->setEnabled(host);
    form->mnuTurnEndTurn->setEnabled(kind == 1 || kind == 2);
    frmMain::SetMenuEnabled(form->mnuTurn, !WaitingForOther(s));
    NetPlay::ExistingChatWindow()->cmdSwitch->setEnabled(host);
    form->KeyReady = true;

    if (!pause) {
        Continue();
        return;
    }
    switch (kind) {
    case 0:
        form->mnuGameNewTwo_Click(); // the host starts one, or its "NG" arrived
        break;
    case 1:
        EndTurn();
        break;
    case 2:
        SimEndTurn();
        break;
    default:
        WinPause();
        break;
    }
}

// What holds between any two things that happen.
FUZZ_CHECKER void CheckAlways(bool trusted)
{
    const State& s = Game();
    NetPlay::Session& net = Net();
    FuzzSupport::CheckBoard(s);
    Check(s.GameState >= PhaseTurnStart && s.GameState <= PhaseGameOver, "a known phase");
    Check(s.ResumeState >= PhaseNone && s.ResumeState <= PhaseGameOver, "a known resume phase");
    Check(!GameExists(s) || s.CurrentPlayer == Blue || s.CurrentPlayer == Red, "a game has a player on turn");
    Check(s.MovesLeft >= 0 && s.MovesLeft <= 3 + 3 * Cols * Rows, "moves left in range");
    const Wait wait = Waiting();
    Check(s.Busy == (wait == Wait::Flight), "a shot is under way exactly while its flight is");
    Check(!s.TurnChanging || wait == Wait::EndTurnPause, "a turn changes hands only inside its pause");
    Check(net.IsOpen(), "nothing closes the NetPlay window's session");
    Check(net.PendingMessages() <= HoldLimit, "the held messages are bounded");
    Check(net.PendingMessages() == 0 || PavixGames::PendingSteps() > 0,
          "held messages always have a step coming that acts on them");
    Check(!net.RecvBuffer.contains(QChar(NetPlay::TerminatorChar)), "whole messages leave the buffer");
    Check(net.RecvBuffer.size() <= NetPlay::MaxPendingChars, "the receive buffer is bounded");
    Check(!s.NetGame || net.PlayerConnected, "no NetPlay game without the other side");
    Check(s.GameFileName.isEmpty(), "a received game leaves no file name behind");
    // Only this copy's own play (no message of the other copy acted on) is
    // held to the rules of a game in play: the other copy's actions are
    // taken as it checked them.
    if (trusted && GameExists(s)) {
        State shown = s;
        shown.GameState = EffectivePhase(s);
        const std::string why = AI::InvariantBreach(shown);
        if (!why.empty()) {
            std::fprintf(stderr, "breach: %s\n", why.c_str());
            Check(false, "this copy's own play keeps the game within its rules");
        }
    }
}

const int Keys[] = {37, 38, 39, 40, 9, '1', '2', '3', '4', '5', '6', '7', '8'};

void PressKey(unsigned action)
{
    const unsigned key = action & 15, shift = (action >> 4) & 1;
    if (key == 15) {
        form->Form_KeyUp(0, 0);
        return;
    }
    // 13 and 14 are Right and Left held down: no release follows.
    int code = key < 13 ? Keys[key] : key == 13 ? 39 : 37;
    form->Form_KeyDown(code, int(shift));
    if (key < 13)
        form->Form_KeyUp(code, int(shift));
}

void UseMenu(unsigned action)
{
    switch (action & 7) {
    case 0:
    case 7:
        form->mnuTurnEndTurn->trigger();
        break;
    case 1:
        // A shortcut queued before the menu was locked.
        form->mnuTurnEndTurn_Click();
        break;
    case 2:
        form->mnuGameNewTwo->trigger();
        break;
    case 3:
        form->mnuHelpAbout->trigger();
        break;
    case 4:
        NetPlay::ExistingChatWindow()->cmdSwitch->click();
        break;
    case 5:
        // Against the computer, which opens: only once nobody is connected.
        form->mnuGameNewRed->trigger();
        break;
    default:
        form->Form_KeyUp(0, 0);
        break;
    }
}

// Runs the scheduled steps until none is left, or the game is over with
// nothing to wait for (its blink never ends). False when it never rests.
bool Settle()
{
    for (int n = 0; n < 5000; ++n) {
        const State& s = Game();
        if (EffectivePhase(s) == PhaseGameOver && Waiting() == Wait::None)
            return true;
        if (!PavixGames::RunNextStep())
            return true;
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    StartOnce();
    const unsigned situation = data[0];
    const std::size_t actions = std::min<std::size_t>({data[1], 16, size - 2});
    const std::uint8_t* action = data + 2;
    const QByteArray wire(reinterpret_cast<const char*>(data + 2 + actions), qsizetype(size - 2 - actions));
    qsizetype at = 0;
    Reset(situation);
    NetPlay::Session& net = Net();
    bool trusted = true;
    CheckAlways(trusted);

    // The next message of the data with its terminator, or what is left.
    auto nextMessage = [&] {
        const qsizetype end = wire.indexOf(NetPlay::TerminatorByte, at);
        return wire.mid(at, end < 0 ? -1 : end + 1 - at);
    };
    auto receive = [&](const QByteArray& chunk) {
        if (chunk.isEmpty())
            return;
        trusted = trusted && !chunk.contains(NetPlay::TerminatorByte);
        const State& s = Game();
        const bool held = net.PendingMessages() > 0;
        const int confirmed = s.NetGamesConfirmed;
        const bool confirms = s.NetPeerConfirms;
        net.ReceiveChunk(chunk);
        // The other copy's confirmation of a game tells which game the
        // actions after it belong to: it must not overtake actions sent
        // before it that still wait.
        if (held)
            Check(s.NetGamesConfirmed == confirmed && s.NetPeerConfirms == confirms,
                  "a confirmation keeps its place behind the messages that wait");
    };

    for (std::size_t i = 0; i < actions; ++i) {
        const unsigned a = action[i];
        switch (a >> 5) {
        case 0: {
            const QByteArray chunk = (a & 31) ? wire.mid(at, a & 31) : nextMessage();
            at += chunk.size();
            receive(chunk);
            break;
        }
        case 1: {
            const QByteArray message = nextMessage();
            at += message.size();
            receive(message.repeated(a == 0x3f ? HoldLimit + 20 : 1 + (a & 15)));
            break;
        }
        case 2:
            PavixGames::AdvanceClock((a & 31) * 0.05);
            break;
        case 3:
            for (unsigned n = 0; n <= (a & 7); ++n)
                PavixGames::RunNextStep();
            break;
        case 4:
            PressKey(a);
            break;
        case 5:
            UseMenu(a);
            break;
        default:
            BoardClicked(int(a & 31) % Cols, int((a & 31) * 5) % Rows);
            break;
        }
        CheckAlways(trusted);
    }
    receive(wire.mid(at));
    CheckAlways(trusted);

    Check(Settle(), "the game comes to rest");
    CheckAlways(trusted);
    const State& s = Game();
    if (Waiting() == Wait::None) {
        Check(net.PendingMessages() == 0, "once the game rests, no message of the other copy still waits");
        Check(!(s.GameState == PhaseMove && !WaitingForOther(s) && s.MovesLeft <= 0),
              "a spent turn of this side ends by itself");
        Check(!(s.GameState == PhaseTurnStart && !WaitingForOther(s)),
              "this side's turn start leads through its report to the move phase");
        Check(s.GameState != PhaseGameOver || PavixGames::PendingSteps() > 0, "a finished game blinks on");
        if (PavixGames::PendingSteps() == 0)
            Check(frmMain::MenuEnabled(form->mnuTurn) == !WaitingForOther(s),
                  "the Turn menu is open exactly when this player plays the turn");
    }
    CleanUp();
    return 0;
}
