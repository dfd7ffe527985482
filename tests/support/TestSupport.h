// Shared fixtures: a started game in a throw-away program folder.
#pragma once

#include "logic/GameState.h"
#include "game/modTurrion.h"
#include "engine/PavixGames.h"
#include "engine/gui/PavixDialogs.h"
#include "tests/support/LogicSupport.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <functional>
#include <initializer_list>
#include <memory>
#include <vector>

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
    void Start(const QString& commandLine = QString()) { form = Turrion::StartUp(commandLine); }
    QString Path(const QString& name) const { return dir_.path() + "/" + name; }
    Turrion::State& S() { return Turrion::Game(); }
    // The back buffer of the game's viewport.
    const QImage& BackBuffer() const;
    // What the view shows on the screen.
    const QImage& Screen() const;
    // A 40x40 cell of an image.
    static QImage Cell(const QImage& image, int col, int row) { return image.copy(col * 40, row * 40, 40, 40); }
    // Empties the board.
    void ClearBoard();
    void Put(int col, int row, int owner, int piece) { S().Owner[col][row] = owner, S().Board[col][row] = piece; }

    bool autoStart = true;
    QTemporaryDir dir_;
    Turrion::frmMain* form = nullptr;
};

// A GameTest whose message boxes are answered OK and their texts recorded;
// the file dialogs it opens are recorded and answered `dialogAnswer`, and
// what it hands to the desktop is recorded.
class MessageGameTest : public GameTest {
protected:
    void SetUp() override;
    void TearDown() override;
    std::vector<QString> messages, opened;
    std::vector<PavixGames::DialogRequest> dialogs;
    QString dialogAnswer;
};

// Runs the game's scheduled steps on the test clock, one time at a time,
// until `when` holds (checked first); false when it never does.
bool StepUntil(const std::function<bool()>& when);
// Runs the game's scheduled steps until none is left (a finished game stops
// at its blink): every pause, flight and computer's action is over.
void Settle();

using LogicSupport::Bytes;
using LogicSupport::ReadAll;
using LogicSupport::WriteAll;

} // namespace TestSupport
