// The NetPlay receive path: one chunk of 100 game messages from the other
// side, cut into messages, checked and acted on (board change, redraw into
// the back buffer, flip; chat lines for walls) by a hosting game whose
// NetPlay window is open. The engine runs at log level 1 as the program
// does, so the chunk is also appended to Host_Get.log.
#include "bench/BenchSupport.h"
#include "logic/GameState.h"
#include "engine/PavixGames.h"
#include "game/netplay/NetPlay.h"
#include "game/netplay/frmChat.h"

#include <QPlainTextEdit>
#include <benchmark/benchmark.h>
#include <cstring>

using namespace Turrion;

namespace {

NetPlay::frmChat* HostingChat()
{
    BenchSupport::StartGame();
    NetPlay::frmChat* chat = NetPlay::ExistingChatWindow();
    if (chat && chat->Loaded())
        return chat;
    State& s = Game();
    s.NetState = NetHosting;
    s.NetIsHost = true;
    s.NetName = QStringLiteral("Ann");
    s.NetPort = 0; // any free port: nobody connects
    NetPlay::ShowChatWindow();
    s.RemoteName = QStringLiteral("Bob");
    return NetPlay::ExistingChatWindow();
}

QByteArray Framed(const char* message)
{
    return QByteArray(message) + char(0xFF);
}

// 50 moves of the Red King down and back, and 25 pairs of placing and
// removing a piece on (6, 3): a Red Wall (each adds a chat line) or, with
// `walls` false, a Fire (no chat line). The board ends as it started.
QByteArray HundredMessages(bool walls)
{
    QByteArray chunk;
    for (int i = 0; i < 25; ++i) {
        chunk += Framed("MP}08010802");
        chunk += Framed("MP}08020801");
        chunk += Framed(walls ? "AP}2406031" : "AP}2506031");
        chunk += Framed("RP}0603");
    }
    return chunk;
}

bool SameBoard(const State& a, const State& b)
{
    return std::memcmp(a.Board, b.Board, sizeof a.Board) == 0 &&
           std::memcmp(a.Owner, b.Owner, sizeof a.Owner) == 0;
}

} // namespace

// Args: the engine's log level (1 as the program runs, 0 for comparison),
// and whether the placed piece is a Wall (chat lines) or a Fire.
static void BM_ReceiveHundredMessages(benchmark::State& state)
{
    const int logLevel = int(state.range(0));
    const bool walls = state.range(1) != 0;
    NetPlay::frmChat* chat = HostingChat();
    if (!chat || !chat->Loaded()) {
        state.SkipWithError("the NetPlay window did not open");
        return;
    }
    State& s = Game();
    BenchSupport::LiveGame(s);
    // This side (Blue) waits while the other side plays Red's turn.
    s.CurrentPlayer = Red;
    s.NetGame = true;
    s.NetGameColor = Blue;
    const State start = s;
    const int boxes = BenchSupport::MessageBoxes();

    // One message on its own first: it must really reach the board.
    chat->Net().ReceiveChunk(Framed(walls ? "AP}2406031" : "AP}2506031"));
    const bool placed = s.Board[6][3] == (walls ? Wall : Fire) && s.Owner[6][3] == Red;
    chat->Net().ReceiveChunk(Framed("RP}0603"));
    if (!placed || !SameBoard(s, start)) {
        state.SkipWithError("a received message did not change the board");
        return;
    }

    const QByteArray chunk = HundredMessages(walls);
    PavixGames::Engine().LogLevel = logLevel;
    for (auto _ : state) {
        chat->Net().ReceiveChunk(chunk);
        if (walls) {
            // 50 chat lines per chunk: keep the transcript short so that
            // every iteration does the same work.
            state.PauseTiming();
            chat->txtChat->clear();
            state.ResumeTiming();
        }
    }
    PavixGames::Engine().LogLevel = 1;

    if (!SameBoard(s, start) || !chat->Net().RecvBuffer.isEmpty())
        state.SkipWithError("the board or the receive buffer did not end as it started");
    if (BenchSupport::MessageBoxes() != boxes)
        state.SkipWithError("a message box came up");
    state.SetItemsProcessed(state.iterations() * 100);
    state.SetBytesProcessed(state.iterations() * chunk.size());
}
BENCHMARK(BM_ReceiveHundredMessages)
    ->ArgNames({"log", "walls"})
    ->Args({1, 1})
    ->Args({1, 0})
    ->Args({0, 1})
    ->Unit(benchmark::kMicrosecond);
