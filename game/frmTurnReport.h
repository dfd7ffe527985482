// The turn report shown at the start of every turn: the player's forces, the
// moves the turn gives and, when the player's portal is free, the choice of
// one new piece.
#pragma once

#include "art/Art.h"
#include "engine/gui/PictureBox.h"

#include <QDialog>
#include <functional>

class QGroupBox;
class QLabel;
class QPushButton;

namespace Turrion {

// A 42 by 42 pick box: a 40 by 40 picture inside a one-pixel sunken border.
class PickBox : public PictureBox {
    Q_OBJECT
public:
    explicit PickBox(const QString& controlName, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

class frmTurnReport : public QDialog {
    Q_OBJECT
public:
    explicit frmTurnReport(QWidget* parent = nullptr);

    QLabel* lblPlayer;
    QLabel* lblTurn;
    QGroupBox* fraStatus;
    QLabel* Label1;
    QLabel* lblNumWizards;
    QLabel* lblWizards;
    QLabel* lblMoves;
    QLabel* lblNumSmiths;
    QLabel* lblSmiths;
    QLabel* lblNumCannons;
    QLabel* lblCannons;
    QLabel* lblPortalBlocked;
    QLabel* lblPortalOpen;
    PickBox* picPickWizard;
    PickBox* picPickSmith;
    PickBox* picPickCannon;
    QPushButton* cmdNoPiece;
    QPushButton* cmdWizard;
    QPushButton* cmdBuilder;
    QPushButton* cmdCannon;
    PictureBox* picGrass;

    // Pieces of `kind` owned by `player` on the whole board.
    int CountPieces(int player, int kind) const;

    // Placement, counts, player and portal, for the player to move.
    void Form_Load();

    void picPickWizard_Click();
    void picPickSmith_Click();
    void picPickCannon_Click();
    void cmdWizard_Click();
    void cmdBuilder_Click();
    void cmdCannon_Click();
    void cmdNoPiece_Click();

    // Remembers the dialog's offset from the main window.
    void Form_Unload();

    // Every way of closing passes here, so the offset is always stored.
    void done(int result) override;

    static constexpr int ClientWidth = 325;
    static constexpr int ClientHeight = 241;

private:
    void Recruit(int kind);
    void PaintPick(PickBox* box, Art::Sheet kind, int player);
    bool unloaded_ = false;
};

// Opens the report, window-modal, for the player to move and returns at
// once. Once the player has chosen (or closed it: no recruit), RecruitKind
// holds the choice (0 when nothing is recruited) and `chosen` runs; a report
// closed by CloseTurnReport runs nothing.
void ShowTurnReport(std::function<void()> chosen);
bool TurnReportOpen();

// Closes an open report without a recruit (its game has been replaced).
void CloseTurnReport();

// Test seam: called with the open dialog as the first scheduled step after
// it opens; the hook may inspect it and click its buttons.
void SetTurnReportHook(std::function<void(frmTurnReport&)> hook);

} // namespace Turrion
