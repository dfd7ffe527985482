// The turn report: what it says, offers, records and where it opens.
#include "game/frmGraphics.h"
#include "game/Screen.h"
#include "game/frmMain.h"
#include "tests/support/TestSupport.h"
#include "game/frmTurnReport.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <tuple>

using namespace Turrion;

namespace {

class TurnReport : public TestSupport::GameTest {
protected:
    // A turn start of `player`; opens the report and runs `look` on it, which must close it.
    void Open(int player, int turn, std::function<void(frmTurnReport&)> look)
    {
        S().CurrentPlayer = player, S().TurnNumber = turn, S().GameState = S().ResumeState = PhaseTurnStart;
        bool ran = false;
        SetTurnReportHook([&](frmTurnReport& d) {
            ran = d.windowModality() == Qt::WindowModal;
            look(d);
            if (d.isVisible()) {
                ADD_FAILURE() << "the report was left open";
                d.reject();
            }
        });
        bool chosen = false;
        ShowTurnReport([&] { chosen = true; });
        EXPECT_TRUE(TurnReportOpen());
        TestSupport::Settle();
        EXPECT_TRUE(ran);
        EXPECT_FALSE(TurnReportOpen());
        EXPECT_TRUE(chosen) << "the turn goes on however the report closed";
    }
};

std::vector<QWidget*> Recruiting(frmTurnReport& d)
{
    return {d.cmdWizard, d.cmdBuilder, d.cmdCannon, d.picPickWizard, d.picPickSmith, d.picPickCannon};
}

// Pixels of Red's pick boxes other than grass OR sprite where the mask is white, the sprite where black.
int WrongRedPickPixels(frmTurnReport& d)
{
    const frmGraphics* g = GraphicsForm();
    const std::tuple<PictureBox*, QImage, int> picks[] = {{d.picPickWizard, g->picWizard->Picture(), 80},
                                                          {d.picPickSmith, g->picSmith->Picture(), 80},
                                                          {d.picPickCannon, g->picCannon->Picture(), 120}};
    int wrong = 0;
    for (const auto& [box, sheet, maskX] : picks)
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x) {
                const QRgb sprite = sheet.pixel(40 + x, y);
                const QRgb grass = g->picGrass->Picture().pixel(x, y);
                const QRgb want = sheet.pixel(maskX + x, y) & 0xFFFFFF ? grass | sprite : sprite;
                wrong += (box->Picture().pixel(x, y) | 0xFF000000u) != (want | 0xFF000000u);
            }
    return wrong;
}

} // namespace

TEST_F(TurnReport, CountsPortalAndRecruits)
{
    ClearBoard();
    Put(0, 1, Blue, King), Put(1, 0, Blue, Wizard), Put(2, 6, Blue, Wizard), Put(2, 2, Blue, Builder);
    Put(3, 3, Blue, CannonReady), Put(3, 5, Blue, CannonFired), Put(7, 6, Red, Wizard), Put(6, 5, Red, CannonReady);
    // Blue's portal is open; then any piece blocks Red's. A recruit that reaches a blocked
    // portal's dialog somehow is refused. The counts are the player's own.
    for (auto [owner, piece] : {std::pair{0, 0}, {Blue, int(Wall)}, {Red, int(King)}, {Red, int(Fire)}}) {
        const bool red = piece != 0;
        Put(8, 3, owner, piece);
        S().RecruitKind = 6; // left over from an earlier turn
        Open(red ? Red : Blue, 3, [red](frmTurnReport& d) {
            EXPECT_EQ(Game().RecruitKind, 0);
            const QStringList want = red ? QStringList{"Turrion - Red Player", "Red Player", "Turn #3", "1",
                                                       "(gives 6 Moves)", "0", "1", "&OK"}
                                         : QStringList{"Turrion - Blue Player", "Blue Player", "Turn #3", "2",
                                                       "(gives 9 Moves)", "1", "2", "&None"};
            EXPECT_EQ(QStringList({d.windowTitle(), d.lblPlayer->text(), d.lblTurn->text(), d.lblNumWizards->text(),
                                   d.lblMoves->text(), d.lblNumSmiths->text(), d.lblNumCannons->text(),
                                   d.cmdNoPiece->text()}), want);
            EXPECT_EQ(std::pair(d.lblPortalOpen->isVisible(), d.lblPortalBlocked->isVisible()), std::pair(!red, red));
            for (QWidget* w : Recruiting(d))
                EXPECT_EQ(w->isVisible(), !red) << w->objectName().toStdString();
            d.picPickWizard_Click();
        });
        EXPECT_EQ(S().RecruitKind, red ? 0 : int(Wizard));
    }

    // Red's portal free, Blue's taken (which does not matter to Red): the pick boxes show Red's
    // pieces; the buttons and pick boxes each recruit their kind (ways 0..5); None, Esc and the
    // close box nothing (ways 6..8).
    Put(8, 3, 0, Empty), Put(0, 3, Blue, King);
    const int kinds[] = {Wizard, Builder, CannonReady, Wizard, Builder, CannonReady, 0, 0, 0};
    for (int way = 0; way < 9; ++way) {
        Open(Red, 3, [way](frmTurnReport& d) {
            EXPECT_EQ(WrongRedPickPixels(d), 0);
            if (way < 6)
                QTest::mouseClick(Recruiting(d)[way], Qt::LeftButton);
            else
                way == 6 ? d.cmdNoPiece->click() : way == 7 ? QTest::keyClick(&d, Qt::Key_Escape) : void(d.close());
        });
        EXPECT_EQ(S().RecruitKind, kinds[way]) << way;
    }
}

TEST_F(TurnReport, OpensAtItsOffsetAndRemembersIt)
{
    const QPoint mainAt = form->frameGeometry().topLeft();
    TheScreen().ReportLeft = 30 * 15, TheScreen().ReportTop = 45 * 15; // twips
    for (int close = 0; close < 2; ++close) { // moved, then closed by a button or the close box
        Open(Blue, 1, [&](frmTurnReport& d) {
            EXPECT_EQ(d.frameGeometry().topLeft(), mainAt + QPoint(30 + 7 * close, 45 - 3 * close));
            d.move(d.frameGeometry().topLeft() + QPoint(7, -3));
            close ? void(d.close()) : d.cmdNoPiece->click();
        });
    }
    EXPECT_EQ(std::pair(TheScreen().ReportLeft, TheScreen().ReportTop), std::pair(44 * 15, 39 * 15));
}
