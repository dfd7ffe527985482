// Saving and loading a full board (56 pieces, a 115-byte file): in memory
// (the file image and its checked reading) and through the file system
// (write to a temporary file and replace, read and apply with the redraw).
#include "bench/BenchSupport.h"
#include "game/SaveGame.h"

#include <QFile>
#include <benchmark/benchmark.h>
#include <cstring>

using namespace Turrion;

namespace {

constexpr int FullBoardFileBytes = 3 + 2 * 56;

void FullGame(State& s)
{
    BenchSupport::LiveGame(s);
    BenchSupport::FullBoard(s);
    s.TurnNumber = 42;
    s.MovesLeft = 15;
    s.FreshTurn = false;
    PutCursorOnKing(s, Blue);
}

bool SameBoard(const State& s, const SavedGame& g)
{
    return std::memcmp(s.Board, g.Board, sizeof s.Board) == 0 &&
           std::memcmp(s.Owner, g.Owner, sizeof s.Owner) == 0;
}

} // namespace

static void BM_SaveFullBoard(benchmark::State& state)
{
    State s;
    FullGame(s);
    QByteArray bytes;
    for (auto _ : state) {
        bytes = SerializeGame(s);
        benchmark::DoNotOptimize(bytes.data());
    }
    if (bytes.size() != FullBoardFileBytes)
        state.SkipWithError("unexpected file image size");
}
BENCHMARK(BM_SaveFullBoard);

static void BM_LoadFullBoard(benchmark::State& state)
{
    State source;
    FullGame(source);
    const QByteArray bytes = SerializeGame(source);
    State s;
    SavedGame game;
    for (auto _ : state) {
        const QString why = ParseGame(bytes, game);
        benchmark::DoNotOptimize(why.data());
        ApplySavedGame(game, s);
        benchmark::ClobberMemory();
    }
    if (!SameBoard(s, game) || std::memcmp(s.Board, source.Board, sizeof s.Board) != 0 ||
        s.TurnNumber != 42 || s.MovesLeft != 15)
        state.SkipWithError("the loaded game differs from the saved one");
}
BENCHMARK(BM_LoadFullBoard);

// SaveGameTo writes a temporary file beside the target and renames it over
// the old one.
static void BM_SaveFullBoardToFile(benchmark::State& state)
{
    BenchSupport::StartGame();
    State& s = Game();
    FullGame(s);
    const QString path = BenchSupport::Folder() + QStringLiteral("bench_save.trs");
    const int boxes = BenchSupport::MessageBoxes();
    bool ok = true;
    for (auto _ : state)
        ok = SaveGameTo(path) && ok;
    if (!ok || BenchSupport::MessageBoxes() != boxes || QFile(path).size() != FullBoardFileBytes)
        state.SkipWithError("the game was not saved");
}
BENCHMARK(BM_SaveFullBoardToFile)->Unit(benchmark::kMicrosecond);

// LoadGameFrom reads and checks the file, applies it and redraws the board,
// the Moves panel and the selector, and flips.
static void BM_LoadFullBoardFromFile(benchmark::State& state)
{
    BenchSupport::StartGame();
    State& s = Game();
    FullGame(s);
    const QString path = BenchSupport::Folder() + QStringLiteral("bench_load.trs");
    {
        QFile file(path);
        const QByteArray bytes = SerializeGame(s);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
            state.SkipWithError("cannot write the file to load");
            return;
        }
    }
    const State saved = s;
    const int boxes = BenchSupport::MessageBoxes();
    bool ok = true;
    for (auto _ : state)
        ok = LoadGameFrom(path) && ok;
    if (!ok || BenchSupport::MessageBoxes() != boxes ||
        std::memcmp(s.Board, saved.Board, sizeof s.Board) != 0 || s.TurnNumber != 42)
        state.SkipWithError("the game was not loaded");
}
BENCHMARK(BM_LoadFullBoardFromFile)->Unit(benchmark::kMicrosecond);
