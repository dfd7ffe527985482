#include "game/frmTurnReport.h"

#include "engine/PavixSteps.h"
#include "game/Screen.h"

#include "game/DialogLayout.h"
#include "logic/GameState.h"
#include "game/frmGraphics.h"
#include "game/frmMain.h"

#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QPointer>
#include <map>
#include <tuple>
#include <utility>

namespace Turrion {

namespace {

std::function<void(frmTurnReport&)>& ReportHook()
{
    static std::function<void(frmTurnReport&)> hook;
    return hook;
}

// The design's font sizes in pixels: 8.25, 9.75 and 13.5 points at 96 dots
// per inch.
constexpr int Small = 11;
constexpr int Medium = 13;
constexpr int Large = 18;

// The desktop's family may run wider than the design's: shrink the font of
// a control a pixel at a time until its text fits the designed width.
void FitText(QWidget* control, const QString& text, int room)
{
    QFont font = control->font();
    QString plain = text;
    plain.remove(QLatin1Char('&'));
    while (font.pixelSize() > 8 && QFontMetrics(font).horizontalAdvance(plain) > room)
        font.setPixelSize(font.pixelSize() - 1);
    control->setFont(font);
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, QRect rect,
                  int pixelSize, bool bold)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(DialogRect(rect));
    label->setFont(DialogFont(pixelSize, bold));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setTextFormat(Qt::PlainText);
    FitText(label, text, label->width());
    return label;
}

void SetCaption(QPushButton* button, const QString& caption)
{
    // The report shows the same caption most turns: fitting it again would
    // only measure the same text.
    if (button->text() == caption)
        return;
    button->setText(caption);
    button->setFont(DialogFont(Small, false));
    FitText(button, caption, button->width() - 4);
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption, QRect rect)
{
    auto* button = new QPushButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(DialogRect(rect));
    SetCaption(button, caption);
    return button;
}

// dst = (dst AND src) or dst = (dst OR src) over a cell of `size` pixels,
// the way the board's sprites are drawn.
void Combine(QImage& dst, const QImage& src, int srcX, bool orOp, int size)
{
    for (int y = 0; y < size; ++y) {
        auto* d = reinterpret_cast<QRgb*>(dst.scanLine(y));
        if (y >= src.height())
            break;
        const auto* s = reinterpret_cast<const QRgb*>(src.constScanLine(y));
        for (int x = 0; x < size; ++x) {
            if (srcX + x >= src.width())
                break;
            const QRgb from = s[srcX + x];
            d[x] = (orOp ? (d[x] | from) : (d[x] & from)) | 0xFF000000u;
        }
    }
}

} // namespace

PickBox::PickBox(const QString& controlName, QWidget* parent) : PictureBox(controlName, parent)
{
    setCursor(Qt::PointingHandCursor);
}

void PickBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect r = rect();
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawLine(r.topLeft(), r.topRight());
    painter.drawLine(r.topLeft(), r.bottomLeft());
    painter.setPen(palette().color(QPalette::Light));
    painter.drawLine(r.bottomLeft(), r.bottomRight());
    painter.drawLine(r.topRight(), r.bottomRight());
    const QRect inner = r.adjusted(1, 1, -1, -1);
    if (Picture().isNull())
        painter.fillRect(inner, palette().color(QPalette::Window));
    else
        painter.drawImage(inner.topLeft(), Picture());
}

frmTurnReport::frmTurnReport(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("frmTurnReport"));
    setWindowTitle(QStringLiteral("Turrion - Turn Report"));
    setFixedSize(DialogPx(ClientWidth), DialogPx(ClientHeight));
    setFont(DialogFont(Small, false));

    lblPlayer = MakeLabel(this, "lblPlayer", QStringLiteral("Blue Player"), {16, 32, 129, 25},
                          Large, true);
    lblTurn = MakeLabel(this, "lblTurn", QStringLiteral("Turn #1"), {16, 80, 129, 17}, Medium,
                        true);

    fraStatus = new QGroupBox(QStringLiteral("Current Status"), this);
    fraStatus->setObjectName(QStringLiteral("fraStatus"));
    fraStatus->setGeometry(DialogRect({160, 8, 145, 121}));
    fraStatus->setFont(DialogFont(Medium, true));
    Label1 = MakeLabel(fraStatus, "Label1", QStringLiteral("You currently have:"),
                       {8, 24, 121, 17}, Small, true);
    lblNumWizards = MakeLabel(fraStatus, "lblNumWizards", QStringLiteral("99"), {16, 48, 17, 17},
                              Small, false);
    lblWizards = MakeLabel(fraStatus, "lblWizards", QStringLiteral("Wizards"), {40, 48, 81, 17},
                           Small, true);
    lblMoves = MakeLabel(fraStatus, "lblMoves", QStringLiteral("(gives 99 Moves)"),
                         {48, 64, 81, 17}, Small, false);
    lblNumSmiths = MakeLabel(fraStatus, "lblNumSmiths", QStringLiteral("99"), {16, 80, 17, 17},
                             Small, false);
    lblSmiths = MakeLabel(fraStatus, "lblSmiths", QStringLiteral("Builders"), {40, 80, 81, 17},
                          Small, true);
    lblNumCannons = MakeLabel(fraStatus, "lblNumCannons", QStringLiteral("99"), {16, 96, 17, 17},
                              Small, false);
    lblCannons = MakeLabel(fraStatus, "lblCannons", QStringLiteral("Cannons"), {40, 96, 81, 17},
                           Small, true);

    lblPortalBlocked = MakeLabel(
        this, "lblPortalBlocked",
        QStringLiteral("Your Portal is blocked -- cannot add a new piece ..."), {8, 144, 305, 17},
        Small, true);
    lblPortalOpen = MakeLabel(
        this, "lblPortalOpen",
        QStringLiteral("Your Portal is open -- select a new piece to recruit ..."),
        {8, 144, 305, 17}, Small, true);

    auto pick = [this](const char* name, int x) {
        auto* box = new PickBox(QString::fromLatin1(name), this);
        // The picture keeps its 40 pixels; the box moves with the layout.
        box->setGeometry(DialogPx(x), DialogPx(168), 42, 42);
        return box;
    };
    picPickWizard = pick("picPickWizard", 48);
    picPickSmith = pick("picPickSmith", 112);
    picPickCannon = pick("picPickCannon", 176);

    cmdNoPiece = MakeButton(this, "cmdNoPiece", QStringLiteral("&No Piece"), {240, 168, 42, 42});
    cmdWizard = MakeButton(this, "cmdWizard", QStringLiteral("&Wizard"), {40, 216, 57, 17});
    cmdBuilder = MakeButton(this, "cmdBuilder", QStringLiteral("&Builder"), {104, 216, 57, 17});
    cmdCannon = MakeButton(this, "cmdCannon", QStringLiteral("&Cannon"), {168, 216, 57, 17});
    // Enter takes the harmless way on: no recruit (or OK when blocked).
    cmdNoPiece->setDefault(true);
    for (QPushButton* b : {cmdWizard, cmdBuilder, cmdCannon})
        b->setAutoDefault(false);

    picGrass = new PictureBox(QStringLiteral("picGrass"), this);
    picGrass->setGeometry(DialogRect({272, 192, 40, 40}));
    picGrass->hide();

    connect(picPickWizard, &PictureBox::Clicked, this, &frmTurnReport::picPickWizard_Click);
    connect(picPickSmith, &PictureBox::Clicked, this, &frmTurnReport::picPickSmith_Click);
    connect(picPickCannon, &PictureBox::Clicked, this, &frmTurnReport::picPickCannon_Click);
    connect(cmdWizard, &QPushButton::clicked, this, &frmTurnReport::cmdWizard_Click);
    connect(cmdBuilder, &QPushButton::clicked, this, &frmTurnReport::cmdBuilder_Click);
    connect(cmdCannon, &QPushButton::clicked, this, &frmTurnReport::cmdCannon_Click);
    connect(cmdNoPiece, &QPushButton::clicked, this, &frmTurnReport::cmdNoPiece_Click);
}

int frmTurnReport::CountPieces(int player, int kind) const
{
    return Turrion::CountPieces(Game(), player, kind);
}

void frmTurnReport::Form_Load()
{
    State& s = Game();
    const Screen& v = TheScreen();
    PlaceByMainWindow(this, v.ReportLeft, v.ReportTop);

    s.RecruitKind = 0;
    unloaded_ = false;

    const int player = s.CurrentPlayer;
    const int wizards = CountPieces(player, Wizard);
    lblNumWizards->setText(QString::number(wizards));
    lblMoves->setText(QStringLiteral("(gives ") + QString::number(3 * wizards + 3) +
                      QStringLiteral(" Moves)"));
    lblNumSmiths->setText(QString::number(CountPieces(player, Builder)));
    lblNumCannons->setText(
        QString::number(CountPieces(player, CannonReady) + CountPieces(player, CannonFired)));
    lblTurn->setText(QStringLiteral("Turn #") + QString::number(s.TurnNumber));

    const bool red = player == Red;
    setWindowTitle(red ? QStringLiteral("Turrion - Red Player")
                       : QStringLiteral("Turrion - Blue Player"));
    lblPlayer->setText(red ? QStringLiteral("Red Player") : QStringLiteral("Blue Player"));
    QPalette pal = lblPlayer->palette();
    pal.setColor(QPalette::WindowText, red ? QColor(127, 0, 0) : QColor(0, 0, 127));
    lblPlayer->setPalette(pal);
    const int portalCol = red ? 8 : 0;

    // The one report is shown again every turn: everything that differs
    // between an open and a blocked portal is set either way.
    const bool open = s.Board[portalCol][PortalRow] == Empty;
    lblPortalOpen->setVisible(open);
    lblPortalBlocked->setVisible(!open);
    for (QWidget* w : {static_cast<QWidget*>(picPickWizard), static_cast<QWidget*>(picPickSmith),
                       static_cast<QWidget*>(picPickCannon), static_cast<QWidget*>(cmdWizard),
                       static_cast<QWidget*>(cmdBuilder), static_cast<QWidget*>(cmdCannon)})
        w->setVisible(open);
    if (open) {
        const int drawAs = red ? Red : Blue;
        PaintPick(picPickWizard, Art::Sheet::Wizard, drawAs);
        PaintPick(picPickSmith, Art::Sheet::Builder, drawAs);
        PaintPick(picPickCannon, Art::Sheet::Cannon, drawAs);
    }
    SetCaption(cmdNoPiece, open ? QStringLiteral("&None") : QStringLiteral("&OK"));
    cmdNoPiece->setFocus();
}

namespace {
// A sheet as the art paints it at a scale: the same every time, so each is
// painted once. A report opens every turn, and painting is the slow part.
const QImage& Sheet(Art::Sheet kind, double scale)
{
    static std::map<std::pair<int, double>, QImage> painted;
    const auto key = std::pair(int(kind), scale);
    auto it = painted.find(key);
    if (it == painted.end())
        it = painted.emplace(key, Art::Paint(kind, scale)).first;
    return it->second;
}
} // namespace

void frmTurnReport::PaintPick(PickBox* box, Art::Sheet kind, int player)
{
    // Painted for the dialog's own screen, one picture pixel per device
    // pixel, whatever the board's zoom.
    const double k = Art::ClampScale(std::max(1.0, devicePixelRatioF()));
    const int cell = qRound(CellSize * k);
    if (picGrass->Picture().width() != cell)
        picGrass->SetPicture(Sheet(Art::Sheet::Grass, k));
    // The same few pictures every turn: each is composed once.
    static std::map<std::tuple<int, int, double>, QImage> composed;
    QImage& image = composed[std::tuple(int(kind), player, k)];
    if (image.isNull()) {
        image = picGrass->Picture().copy(0, 0, cell, cell);
        const QImage& sheet = Sheet(kind, k);
        const bool cannon = kind == Art::Sheet::Cannon;
        const int spriteX = player == Red ? 40 : 0;
        const int maskX = cannon ? (player == Red ? 120 : 80) : 80;
        Combine(image, sheet, qRound(maskX * k), false, cell);
        Combine(image, sheet, qRound(spriteX * k), true, cell);
        image.setDevicePixelRatio(k);
    }
    box->SetPicture(image);
    box->show();
}

void frmTurnReport::Recruit(int kind)
{
    // A click that reaches a report already closed (its game was replaced)
    // chooses nothing.
    if (!TurnReportOpen())
        return;
    State& s = Game();
    // The recruit is put on the portal cell as it is: never over a piece
    // that blocks the portal, whatever way the choice arrived.
    const int portalCol = s.CurrentPlayer == Red ? 8 : 0;
    s.RecruitKind = s.Board[portalCol][PortalRow] == Empty ? kind : Empty;
    accept();
}

void frmTurnReport::picPickWizard_Click() { Recruit(Wizard); }
void frmTurnReport::picPickSmith_Click() { Recruit(Builder); }
void frmTurnReport::picPickCannon_Click() { Recruit(CannonReady); }
void frmTurnReport::cmdWizard_Click() { picPickWizard_Click(); }
void frmTurnReport::cmdBuilder_Click() { picPickSmith_Click(); }
void frmTurnReport::cmdCannon_Click() { picPickCannon_Click(); }
void frmTurnReport::cmdNoPiece_Click() { Recruit(Empty); }

void frmTurnReport::Form_Unload()
{
    Screen& v = TheScreen();
    const frmMain* main = MainForm();
    const QPoint at = frameGeometry().topLeft();
    v.ReportLeft = at.x() * frmMain::TwipsPerPixel - (main ? main->LeftTwips() : 0);
    v.ReportTop = at.y() * frmMain::TwipsPerPixel - (main ? main->TopTwips() : 0);
}

void frmTurnReport::done(int result)
{
    if (!unloaded_) {
        unloaded_ = true;
        Form_Unload();
    }
    QDialog::done(result);
}

void SetTurnReportHook(std::function<void(frmTurnReport&)> hook)
{
    ReportHook() = std::move(hook);
}

namespace {
// One report serves every turn: built once, hidden between turns.
QPointer<frmTurnReport> g_report;
bool g_reportOpen = false;
int g_reportShowings = 0; // tells one showing from the next
std::function<void()> g_chosen;

void ReportClosed(int result)
{
    // Closed because its game is gone: nothing goes on from it.
    if (!g_reportOpen)
        return;
    g_reportOpen = false;
    // Closed without a choice (Esc, the close box): no recruit.
    if (result != QDialog::Accepted)
        Game().RecruitKind = Empty;
    // The keyboard goes back to the board, so that the turn's keys and
    // shortcuts work at once (without a window manager nobody else gives
    // it back).
    if (frmMain* main = MainForm())
        main->activateWindow();
    if (const std::function<void()> chosen = std::exchange(g_chosen, nullptr))
        chosen();
}
} // namespace

void ShowTurnReport(std::function<void()> chosen)
{
    frmMain* main = MainForm();
    if (!g_report || g_report->parentWidget() != main) {
        delete g_report.data();
        g_report = new frmTurnReport(main);
        // Window-modal and without a loop of its own: the game goes on
        // (timers, the other copy's messages) while the player chooses.
        g_report->setWindowModality(Qt::WindowModal);
        QObject::connect(g_report.data(), &QDialog::finished, g_report.data(), ReportClosed);
    }
    frmTurnReport* dialog = g_report;
    g_chosen = std::move(chosen);
    g_reportOpen = true;
    const int showing = ++g_reportShowings;
    dialog->Form_Load();
    dialog->open();
    if (ReportHook()) {
        PavixGames::After(0, [showing] {
            if (showing == g_reportShowings && TurnReportOpen() && ReportHook())
                ReportHook()(*g_report);
        });
    }
}

bool TurnReportOpen()
{
    return g_reportOpen && g_report;
}

void CloseTurnReport()
{
    if (TurnReportOpen()) {
        g_reportOpen = false;
        g_chosen = nullptr;
        Game().RecruitKind = Empty;
        g_report->reject();
    }
}

} // namespace Turrion
