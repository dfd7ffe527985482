// A game driven through the main window's keys, recording NetPlay messages, chat and sounds.
#pragma once

#include "core/Drawing.h"
#include "core/GameState.h"
#include "core/frmGraphics.h"
#include "core/frmMain.h"
#include "engine/PavixSfxAPI.h"
#include "engine/PictureBox.h"
#include "netplay/NetPlay.h"
#include "rules/FireCannon.h"
#include "rules/Rules.h"
#include "tests/TestSupport.h"
#include "turnreport/frmTurnReport.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QStringList>
#include <QTest>
#include <vector>

class RulesGame : public TestSupport::GameTest {
protected:
    void SetUp() override
    {
        GameTest::SetUp();
        NetPlay::SetSendObserver([this](const QString& t) { sent << t; });
        NetPlay::SetChatObserver([this](const QString& t) { chat << t; });
        PavixSfxAPI::SetPlayHook([this](const QString& path) {
            sounds << path.mid(path.lastIndexOf('/') + 1);
        });
        for (const char* name : {"cannon.wav", "cb_hit.wav", "win.wav", "start.wav"})
            QFile(Path(name)).open(QIODevice::WriteOnly);
    }
    void TearDown() override
    {
        NetPlay::SetSendObserver(nullptr);
        NetPlay::SetChatObserver(nullptr);
        Turrion::SetShotFrameHook(nullptr);
        Turrion::SetTurnReportHook(nullptr);
        PavixSfxAPI::SetPlayHook(nullptr);
        GameTest::TearDown();
    }

    void MovePhase(int player, int moves)
    {
        ClearBoard();
        S().CurrentPlayer = player, S().MovesLeft = moves, S().TurnNumber = 1;
        S().GameState = S().ResumeState = Turrion::PhaseMove;
        form->KeyReady = true;
    }
    void NetPlayAs(int colour) { S().NetGame = true, S().NetGameColor = colour; }
    void Select(int col, int row)
    {
        S().CursorCol = col, S().CursorRow = row;
        Turrion::RedrawAll();
    }

    void Press(Qt::Key key, Qt::KeyboardModifiers mods = {}) { QTest::keyPress(form, key, mods); }
    void Release(Qt::Key key, Qt::KeyboardModifiers mods = {}) { QTest::keyRelease(form, key, mods); }
    void Tap(Qt::Key key, Qt::KeyboardModifiers mods = {}) { Press(key, mods), Release(key, mods); }
    // What X11 sends while a key is held: an auto-repeat release and press.
    void AutoRepeat(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QKeyEvent up(QEvent::KeyRelease, key, mods, QString(), true);
        QApplication::sendEvent(form, &up);
        QKeyEvent down(QEvent::KeyPress, key, mods, QString(), true);
        QApplication::sendEvent(form, &down);
    }

    static QImage Background() { return GraphicsForm()->picBackground->Picture(); }

    // Per region, pure yellow pixels shown that the plain board lacks: the game-over texts.
    std::vector<int> YellowText(std::initializer_list<QRect> regions)
    {
        const QImage shown = Screen().copy();
        Turrion::DrawBoard();
        const QImage& plain = BackBuffer();
        std::vector<int> counts;
        for (const QRect& r : regions) {
            int n = 0;
            for (int y = r.top(); y <= r.bottom(); ++y)
                for (int x = r.left(); x <= r.right(); ++x) {
                    const QRgb p = shown.pixel(x, y);
                    n += qRed(p) == 255 && qGreen(p) == 255 && qBlue(p) == 0 && p != plain.pixel(x, y);
                }
            counts.push_back(n);
        }
        return counts;
    }

    QStringList sent, chat, sounds;
};
