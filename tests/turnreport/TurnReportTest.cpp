// The turn report: what it says, offers, records and where it opens.
#include "core/DialogLayout.h"
#include "core/frmGraphics.h"
#include "core/frmMain.h"
#include "core/modTurrion.h"
#include "engine/PictureBox.h"
#include "tests/TestSupport.h"
#include "turnreport/frmTurnReport.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <tuple>

using namespace Turrion;

namespace {

class TurnReport : public TestSupport::GameTest {
protected:
    void TearDown() override
    {
        SetTurnReportHook(nullptr);
        GameTest::TearDown();
    }
    // Runs `look` on the open report; `look` must close it.
    void Open(std::function<void(frmTurnReport&)> look)
    {
        bool ran = false;
        SetTurnReportHook([&](frmTurnReport& d) {
            ran = d.isModal();
            look(d);
            if (d.isVisible()) {
                ADD_FAILURE() << "the report was left open";
                d.reject();
            }
        });
        ShowTurnReport();
        SetTurnReportHook(nullptr);
        EXPECT_TRUE(ran);
    }
    void Turn(int player, int turn)
    {
        ClearBoard(), S().CurrentPlayer = player, S().TurnNumber = turn;
        S().GameState = S().ResumeState = PhaseTurnStart;
    }
};

std::vector<QWidget*> Recruiting(frmTurnReport& d)
{
    return {d.cmdWizard, d.cmdBuilder, d.cmdCannon, d.picPickWizard, d.picPickSmith, d.picPickCannon};
}

} // namespace

TEST_F(TurnReport, BlueWithAnOpenPortal)
{
    Turn(Blue, 3);
    Put(0, 1, Blue, King), Put(1, 0, Blue, Wizard), Put(2, 6, Blue, Wizard), Put(2, 2, Blue, Builder);
    Put(3, 3, Blue, CannonReady), Put(3, 5, Blue, CannonFired);
    Put(7, 6, Red, Wizard), Put(6, 5, Red, CannonReady); // not Blue's
    S().RecruitKind = 6; // left over from an earlier turn
    Open([](frmTurnReport& d) {
        EXPECT_EQ(Game().RecruitKind, 0);
        EXPECT_EQ(d.windowTitle(), "Turrion - Blue Player");
        EXPECT_EQ(d.lblPlayer->palette().color(QPalette::WindowText), QColor(0, 0, 127));
        EXPECT_EQ(d.lblTurn->text(), "Turn #3");
        EXPECT_EQ(QStringList({d.lblNumWizards->text(), d.lblMoves->text(), d.lblNumSmiths->text(),
                               d.lblNumCannons->text()}),
                  QStringList({"2", "(gives 9 Moves)", "1", "2"}));
        EXPECT_TRUE(d.lblPortalOpen->isVisible() && !d.lblPortalBlocked->isVisible());
        EXPECT_EQ(d.cmdNoPiece->text(), "&None");
        for (QWidget* w : Recruiting(d))
            EXPECT_TRUE(w->isVisible()) << w->objectName().toStdString();
        d.reject();
    });

    // The buttons and pick boxes each recruit their kind (ways 0..5); None,
    // Esc and the close box recruit nothing (ways 6..8).
    const int kinds[] = {Wizard, Builder, CannonReady, Wizard, Builder, CannonReady, 0, 0, 0};
    for (int way = 0; way < 9; ++way) {
        Open([way](frmTurnReport& d) {
            if (way < 6)
                QTest::mouseClick(Recruiting(d)[way], Qt::LeftButton);
            else if (way == 6)
                d.cmdNoPiece->click();
            else if (way == 7)
                QTest::keyClick(&d, Qt::Key_Escape);
            else
                d.close();
        });
        EXPECT_EQ(S().RecruitKind, kinds[way]) << way;
    }
}

TEST_F(TurnReport, RedWithABlockedPortal)
{
    for (auto [owner, piece] : {std::pair{Blue, int(Wall)}, {Red, int(King)}, {Red, int(Fire)},
                                {Blue, int(Builder)}}) {
        Turn(Red, 7);
        Put(8, 3, owner, piece);
        Open([](frmTurnReport& d) {
            EXPECT_EQ(d.lblPlayer->text(), "Red Player");
            EXPECT_EQ(d.lblMoves->text(), "(gives 3 Moves)") << "no Wizard: three moves";
            EXPECT_TRUE(d.lblPortalBlocked->isVisible() && !d.lblPortalOpen->isVisible());
            EXPECT_EQ(d.cmdNoPiece->text(), "&OK");
            for (QWidget* w : Recruiting(d))
                EXPECT_FALSE(w->isVisible()) << w->objectName().toStdString();
            // Even a recruit that reaches the dialog somehow is refused.
            d.picPickWizard_Click();
        });
        EXPECT_EQ(S().RecruitKind, 0);
    }
    // Blue's portal does not matter to Red.
    Turn(Red, 1);
    Put(0, 3, Blue, King);
    Open([](frmTurnReport& d) { d.cmdCannon->click(); });
    EXPECT_EQ(S().RecruitKind, CannonReady);
}

TEST_F(TurnReport, FixedSizeAndPickPictures)
{
    Turn(Red, 1);
    Open([](frmTurnReport& d) {
        // The design's 325 by 241 pixels, grown with the desktop's font.
        EXPECT_TRUE(d.size() == QSize(DialogPx(325), DialogPx(241)) && d.minimumSize() == d.maximumSize());
        // Each pick box: grass OR sprite where the mask is white, Red's sprite where black.
        const frmGraphics* g = GraphicsForm();
        const QImage grass = g->picGrass->Picture();
        struct Pick { PictureBox* box; const QImage& sheet; int maskX; };
        const Pick picks[] = {{d.picPickWizard, g->picWizard->Picture(), 80},
                              {d.picPickSmith, g->picSmith->Picture(), 80},
                              {d.picPickCannon, g->picCannon->Picture(), 120}};
        for (const Pick& p : picks) {
            const QImage& shown = p.box->Picture();
            ASSERT_EQ(shown.size(), QSize(40, 40));
            int grassSeen = 0, spriteSeen = 0, wrong = 0;
            for (int y = 0; y < 40; ++y)
                for (int x = 0; x < 40; ++x) {
                    const QRgb m = p.sheet.pixel(p.maskX + x, y) | 0xFF000000u;
                    const QRgb sprite = p.sheet.pixel(40 + x, y) | 0xFF000000u;
                    const QRgb at = shown.pixel(x, y) | 0xFF000000u;
                    if (m == 0xFFFFFFFFu)
                        wrong += at != (grass.pixel(x, y) | sprite), ++grassSeen;
                    else if (m == 0xFF000000u)
                        wrong += at != sprite, ++spriteSeen;
                }
            EXPECT_EQ(wrong, 0);
            EXPECT_TRUE(grassSeen > 100 && spriteSeen > 50);
        }
        d.reject();
    });
}

TEST_F(TurnReport, OpensAtItsOffsetAndRemembersIt)
{
    Turn(Blue, 1);
    const QPoint mainAt = form->frameGeometry().topLeft();
    S().ReportLeft = 30 * 15, S().ReportTop = 45 * 15; // twips
    for (int close = 0; close < 2; ++close) {
        QPoint opened;
        Open([&](frmTurnReport& d) {
            opened = d.frameGeometry().topLeft();
            d.move(opened + QPoint(7, -3));
            close ? void(d.close()) : d.cmdNoPiece->click();
        });
        EXPECT_EQ(opened, mainAt + QPoint(30 + 7 * close, 45 - 3 * close));
    }
    EXPECT_EQ(std::pair(S().ReportLeft, S().ReportTop), std::pair(44 * 15, 39 * 15));

    // Far off the screen either way, it opens fully on the screen.
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    for (int far : {100000, -100000}) {
        S().ReportLeft = S().ReportTop = far * 15;
        Open([&](frmTurnReport& d) {
            const QRect at = d.frameGeometry();
            EXPECT_EQ(far > 0 ? at.bottomRight() : at.topLeft(),
                      far > 0 ? screen.bottomRight() : QPoint(0, 0));
            d.reject();
        });
    }
}

TEST_F(TurnReport, RecruitsReachThePortalAndCountFromTheNextTurn)
{
    int reports = 0;
    SetTurnReportHook([&](frmTurnReport& d) { (reports++ == 0 ? d.cmdWizard : d.cmdNoPiece)->click(); });
    form->mnuGameNewTwo_Click();
    MainLoopPass();
    // On the portal; the new Wizard counts from the next turn.
    EXPECT_EQ(std::tuple(S().Board[0][3], S().Owner[0][3], S().MovesLeft), std::tuple(int(Wizard), int(Blue), 6));
    form->mnuTurnEndTurn_Click();
    MainLoopPass();
    form->mnuTurnEndTurn_Click();
    EXPECT_EQ(S().MovesLeft, 9);
    MainLoopPass();
    EXPECT_EQ(reports, 3);
}
