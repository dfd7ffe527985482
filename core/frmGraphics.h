// The hidden window that holds the sprite sheets. Each sheet is a picture box
// whose picture the graphics engine draws from directly.
#pragma once

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

    // Every sheet with its resource file, in the order the game numbers them.
    struct Sheet { PictureBox* box; const char* file; int width; int height; };
    QList<Sheet> Sheets() const;

private:
    PictureBox* AddSheet(const char* name, const char* file, int width, int height);
};

// The one sprite window of the process (created on first use).
frmGraphics* GraphicsForm();
// Releases the sprite window (after the graphics engine has let go of it).
void UnloadGraphicsForm();
