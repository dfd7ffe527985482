// A game driven through the main window's keys, recording NetPlay messages, chat and sounds.
#pragma once

#include "game/Drawing.h"
#include "game/frmGraphics.h"
#include "game/frmMain.h"
#include "game/modTurrion.h"
#include "engine/gui/PavixSfxAPI.h"
#include "game/netplay/NetPlay.h"
#include "game/FireCannon.h"
#include "tests/support/TestSupport.h"
#include "game/frmTurnReport.h"

#include <QApplication>
#include <QFileInfo>
#include <QKeyEvent>
#include <QTest>
#include <tuple>

using namespace Turrion;

class RulesGame : public TestSupport::GameTest {
protected:
    void SetUp() override
    {
        GameTest::SetUp();
        NetPlay::SetSendObserver([this](const QString& t) { sent << t; });
        NetPlay::SetChatObserver([this](const QString& t) { chat << t; });
        PavixSfxAPI::SetPlayHook([this](const QString& path) { sounds << QFileInfo(path).fileName(); });
        for (const char* name : {"cannon.wav", "cb_hit.wav", "win.wav", "start.wav"})
            QFile(Path(name)).open(QIODevice::WriteOnly);
    }
    void TearDown() override
    {
        NetPlay::SetSendObserver(nullptr), NetPlay::SetChatObserver(nullptr), PavixSfxAPI::SetPlayHook(nullptr);
        SetShotFrameHook(nullptr), SetTurnReportHook(nullptr);
        GameTest::TearDown();
    }

    // `player`'s move phase on an empty board; in a NetPlay game as `netColour` unless 0.
    void MovePhase(int player, int moves, int netColour = 0)
    {
        ClearBoard();
        S().CurrentPlayer = player, S().MovesLeft = moves, S().TurnNumber = 1;
        S().GameState = S().ResumeState = PhaseMove;
        S().NetGame = netColour != 0, S().NetGameColor = netColour;
        form->KeyReady = true;
    }
    void Select(int col, int row) { S().CursorCol = col, S().CursorRow = row, RedrawAll(); }

    void Press(Qt::Key key, Qt::KeyboardModifiers mods = {}) { QTest::keyPress(form, key, mods); }
    void Release(Qt::Key key, Qt::KeyboardModifiers mods = {}) { QTest::keyRelease(form, key, mods); }
    void Tap(Qt::Key key, Qt::KeyboardModifiers mods = {}) { Press(key, mods), Release(key, mods); }
    // What X11 sends while a key is held: an auto-repeat release and press.
    void AutoRepeat(Qt::Key key)
    {
        QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier, QString(), true);
        QApplication::sendEvent(form, &up);
        QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier, QString(), true);
        QApplication::sendEvent(form, &down);
    }
    static QImage Background() { return GraphicsForm()->picBackground->Picture(); }

    // Pure yellow pixels shown in `r` that the plain board lacks: the game-over texts.
    int Yellow(QRect r)
    {
        DrawBoard();
        int n = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                n += Screen().pixel(x, y) == 0xFFFFFF00u && BackBuffer().pixel(x, y) != 0xFFFFFF00u;
        return n;
    }

    QStringList sent, chat, sounds;
};
