// The hidden window that holds the sprite sheets. Each sheet is a picture box
// whose picture the graphics engine draws from directly; the pictures are
// painted by the art library when the window is made.
#pragma once

#include "art/Art.h"

#include <QWidget>

class PictureBox;

class frmGraphics : public QWidget {
    Q_OBJECT
public:
    explicit frmGraphics(QWidget* parent = nullptr);

    PictureBox* picTitleScreen;
    PictureBox* picBackground;
    PictureBox* picKing;
    PictureBox* picWizard;
    PictureBox* picSmith;
    PictureBox* picWall;
    PictureBox* picFire;
    PictureBox* picCannon;
    PictureBox* picCannonBall;
    PictureBox* picSelector;
    PictureBox* picMoves;
    PictureBox* picNumbers;
    PictureBox* picGrass;

    // Every sheet with the art it shows and its size in the 1x layout, in the
    // order the game numbers them.
    struct Sheet { PictureBox* box; Art::Sheet art; int width; int height; };
    QList<Sheet> Sheets() const;

    // Paints every sheet afresh at a whole scale (clamped to what the art
    // offers) and returns the scale used. Each box keeps its QImage object
    // and takes the size of its new picture; picture numbers assigned to the
    // boxes must be assigned again, as the engine keeps their sizes.
    double PaintSheets(double scale);
};

// The one sprite window of the process (created on first use).
frmGraphics* GraphicsForm();
// Releases the sprite window (after the graphics engine has let go of it).
void UnloadGraphicsForm();
