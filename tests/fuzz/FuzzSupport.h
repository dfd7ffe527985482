// The checks of the fuzz targets: a property the program guarantees that
// does not hold is reported and stops the run, so that libFuzzer keeps the
// input and the replay fails.
#pragma once

#include "logic/GameState.h"

#include <cstdio>
#include <cstdlib>

// The checks run after every chunk; instrumenting their comparisons for
// coverage would only slow the fuzzer down and teach it nothing.
#if defined(__clang__)
#define FUZZ_CHECKER __attribute__((no_sanitize("coverage")))
#else
#define FUZZ_CHECKER
#endif

namespace FuzzSupport {

FUZZ_CHECKER inline void Check(bool holds, const char* what)
{
    if (holds)
        return;
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::fflush(stderr);
    std::abort();
}

// Every piece code and owner in range, and the cursor on the board: nothing
// read from outside ever indexes beyond them.
FUZZ_CHECKER inline void CheckBoard(const Turrion::State& s)
{
    for (int c = 0; c < Turrion::Cols; ++c)
        for (int r = 0; r < Turrion::Rows; ++r) {
            Check(s.Board[c][r] >= Turrion::Empty && s.Board[c][r] <= Turrion::CannonFired, "piece 0..7");
            Check(s.Owner[c][r] >= 0 && s.Owner[c][r] <= Turrion::Red, "owner 0..2");
        }
    Check(Turrion::OnBoard(s.CursorCol, s.CursorRow), "cursor on the board");
}

} // namespace FuzzSupport
