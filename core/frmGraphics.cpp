#include "core/frmGraphics.h"

#include "engine/PictureBox.h"

#include <QPainter>

static void InitAssets()
{
    // Resources compiled into a static library must be registered by hand.
    Q_INIT_RESOURCE(turrion_assets);
}

namespace {
frmGraphics* g_graphics = nullptr;

struct SheetFile { const char* name; const char* file; int width; int height; };
constexpr SheetFile kSheets[] = {
    {"picTitleScreen", "title.png", 360, 280},
    {"picBackground", "background.png", 360, 280},
    {"picKing", "king.png", 120, 40},
    {"picWizard", "wizard.png", 120, 40},
    {"picSmith", "smith.png", 120, 40},
    {"picWall", "wall.png", 120, 40},
    {"picFire", "fire.png", 120, 40},
    {"picCannon", "cannon.png", 160, 40},
    {"picCannonBall", "cannonball.png", 160, 80},
    {"picSelector", "selector.png", 80, 40},
    {"picMoves", "moves.png", 40, 80},
    {"picNumbers", "numbers.png", 200, 40},
    {"picGrass", "grass.png", 40, 40},
};
} // namespace

frmGraphics::frmGraphics(QWidget* parent) : QWidget(parent)
{
    InitAssets();
    setObjectName("frmGraphics");
    setWindowTitle("Turrion Graphics");
    PictureBox** boxes[] = {&picTitleScreen, &picBackground, &picKing, &picWizard, &picSmith,
                            &picWall, &picFire, &picCannon, &picCannonBall, &picSelector,
                            &picMoves, &picNumbers, &picGrass};
    int i = 0;
    for (const SheetFile& sheet : kSheets)
        *boxes[i++] = AddSheet(sheet.name, sheet.file, sheet.width, sheet.height);
}

PictureBox* frmGraphics::AddSheet(const char* name, const char* file, int width, int height)
{
    auto* box = new PictureBox(QString::fromLatin1(name), this);
    box->resize(width, height);
    QImage image(QStringLiteral(":/assets/") + QString::fromLatin1(file));
    // A sheet of the wrong size or a missing resource would break the frame
    // arithmetic of the drawing code; draw a plain placeholder instead.
    if (image.size() != QSize(width, height)) {
        QImage fallback(width, height, QImage::Format_RGB32);
        fallback.fill(Qt::black);
        if (!image.isNull()) {
            QPainter painter(&fallback);
            painter.drawImage(0, 0, image);
        }
        image = fallback;
    }
    box->SetPicture(image.convertToFormat(QImage::Format_RGB32));
    return box;
}

QList<frmGraphics::Sheet> frmGraphics::Sheets() const
{
    QList<Sheet> sheets;
    const PictureBox* const boxes[] = {picTitleScreen, picBackground, picKing, picWizard,
                                       picSmith, picWall, picFire, picCannon, picCannonBall,
                                       picSelector, picMoves, picNumbers, picGrass};
    int i = 0;
    for (const SheetFile& sheet : kSheets)
        sheets.append({const_cast<PictureBox*>(boxes[i++]), sheet.file, sheet.width, sheet.height});
    return sheets;
}

frmGraphics* GraphicsForm()
{
    if (!g_graphics)
        g_graphics = new frmGraphics;
    return g_graphics;
}

void UnloadGraphicsForm()
{
    delete g_graphics;
    g_graphics = nullptr;
}
