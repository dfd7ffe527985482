// Shared fixtures: a started game in a throw-away program folder.
#pragma once

#include "core/GameState.h"
#include "tests/LogicSupport.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <functional>
#include <initializer_list>
#include <memory>
#include <vector>

namespace Turrion {
class frmMain;
}

namespace TestSupport {

// Resets the engine, the graphics and the game, and points the program
// folder at `folder`.
void ResetAll(const QString& folder);

// A started program (engine, settings, main window, viewport, sprites, the
// title shown) in a fresh temporary folder; shut down afterwards without
// ending the test process.
class GameTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Runs start-up now (called by SetUp unless `autoStart` is false).
    void Start(const QString& commandLine = QString());
    QString Path(const QString& name) const { return dir_.path() + "/" + name; }
    Turrion::State& S() { return Turrion::Game(); }
    // The back buffer of the game's viewport.
    const QImage& BackBuffer() const;
    // What the view shows on the screen.
    const QImage& Screen() const;
    // A 40x40 cell of an image.
    static QImage Cell(const QImage& image, int col, int row);
    // Empties the board.
    void ClearBoard();
    void Put(int col, int row, int owner, int piece);

    bool autoStart = true;
    QTemporaryDir dir_;
    Turrion::frmMain* form = nullptr;
};

// A GameTest whose message boxes are answered OK and their texts recorded.
class MessageGameTest : public GameTest {
protected:
    void SetUp() override;
    void TearDown() override;
    std::vector<QString> messages;
};

// Runs `action` once, from inside the first event pump of the game's own
// waits (a pause, the flight) at which `when` holds: a player's action in
// the middle of a pause, through the real event path.
void RunWhen(std::function<bool()> when, std::function<void()> action);

using LogicSupport::Bytes;
using LogicSupport::ReadAll;
using LogicSupport::WriteAll;
// Every field a load may touch, compared one by one so that a failure names it.
void ExpectSameGame(const Turrion::State& a, const Turrion::State& b);

} // namespace TestSupport
