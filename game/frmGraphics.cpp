#include "game/frmGraphics.h"

#include "game/Drawing.h"
#include "engine/gui/PictureBox.h"

static void InitAssets()
{
    // The window icon is a resource compiled into a static library; such
    // resources must be registered by hand.
    Q_INIT_RESOURCE(turrion_assets);
}

namespace {
frmGraphics* g_graphics = nullptr;

struct SheetBox { const char* name; Art::Sheet art; };
constexpr SheetBox kSheets[] = {
    {"picTitleScreen", Art::Sheet::Title},
    {"picBackground", Art::Sheet::Background},
    {"picKing", Art::Sheet::King},
    {"picWizard", Art::Sheet::Wizard},
    {"picSmith", Art::Sheet::Builder},
    {"picWall", Art::Sheet::Wall},
    {"picFire", Art::Sheet::Fire},
    {"picCannon", Art::Sheet::Cannon},
    {"picCannonBall", Art::Sheet::CannonBall},
    {"picSelector", Art::Sheet::Selector},
    {"picMoves", Art::Sheet::Moves},
    {"picNumbers", Art::Sheet::Numbers},
    {"picGrass", Art::Sheet::Grass},
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
    for (const SheetBox& sheet : kSheets)
        *boxes[i++] = new PictureBox(QString::fromLatin1(sheet.name), this);
    PaintSheets(Turrion::PixelScale());
}

double frmGraphics::PaintSheets(double scale)
{
    scale = Art::ClampScale(scale);
    for (const Sheet& sheet : Sheets()) {
        const QImage picture = Art::Paint(sheet.art, scale);
        sheet.box->resize(picture.size());
        sheet.box->SetPicture(picture);
    }
    return scale;
}

QList<frmGraphics::Sheet> frmGraphics::Sheets() const
{
    QList<Sheet> sheets;
    const PictureBox* const boxes[] = {picTitleScreen, picBackground, picKing, picWizard,
                                       picSmith, picWall, picFire, picCannon, picCannonBall,
                                       picSelector, picMoves, picNumbers, picGrass};
    int i = 0;
    for (const SheetBox& sheet : kSheets) {
        const QSize size = Art::BaseSize(sheet.art);
        sheets.append(
            {const_cast<PictureBox*>(boxes[i++]), sheet.art, size.width(), size.height()});
    }
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
