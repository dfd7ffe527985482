#include "game/netplay/frmConnect.h"

#include "game/DialogLayout.h"
#include "logic/GameState.h"
#include "game/frmMain.h"
#include "logic/Protocol.h"
#include "game/netplay/SendableEntry.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace Turrion;

namespace Turrion::NetPlay {

namespace {

std::function<void(frmConnect&)> g_shownHook;

constexpr int Twips = frmMain::TwipsPerPixel;

} // namespace

frmConnect::frmConnect(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmConnect"));
    setWindowTitle(QStringLiteral("Turrion (NetPlay)"));
    setFixedSize(DialogPx(4065 / Twips), DialogPx(2490 / Twips));
    setModal(true);

    lblConnectType = new QLabel(this);
    lblConnectType->setObjectName(QStringLiteral("lblConnectType"));
    PlaceTwips(lblConnectType, 240, 120, 1935, 255);
    QFont bold = lblConnectType->font();
    bold.setBold(true);
    lblConnectType->setFont(bold);

    lblName = new QLabel(QStringLiteral("Name:"), this);
    lblName->setObjectName(QStringLiteral("lblName"));
    PlaceTwips(lblName, 240, 480, 735, 255);
    txtName = new QLineEdit(this);
    txtName->setObjectName(QStringLiteral("txtName"));
    PlaceTwips(txtName, 1080, 480, 2775, 285);
    txtName->setMaxLength(MaxNameLength);
    KeepSendable(txtName);

    lblIP = new QLabel(QStringLiteral("IP/Machine:"), this);
    lblIP->setObjectName(QStringLiteral("lblIP"));
    // The labels reach up to their text boxes, so that the colon is not cut
    // off in fonts wider than the one the layout was drawn for.
    PlaceTwips(lblIP, 120, 960, 1200 - 120 - 15, 255);
    txtIP = new QLineEdit(QStringLiteral("localhost"), this);
    txtIP->setObjectName(QStringLiteral("txtIP"));
    PlaceTwips(txtIP, 1200, 960, 1215, 285);

    lblPort = new QLabel(QStringLiteral("Port:"), this);
    lblPort->setObjectName(QStringLiteral("lblPort"));
    PlaceTwips(lblPort, 2520, 960, 3000 - 2520 - 15, 255);
    txtPort = new QLineEdit(QString::number(DefaultNetPort), this);
    txtPort->setObjectName(QStringLiteral("txtPort"));
    PlaceTwips(txtPort, 3000, 960, 735, 285);

    cmdConnect = new QPushButton(QStringLiteral("&Connect"), this);
    cmdConnect->setObjectName(QStringLiteral("cmdConnect"));
    PlaceTwips(cmdConnect, 960, 1440, 2055, 495);
    cmdConnect->setEnabled(false);
    // Enter confirms, and only when Connect is usable.
    cmdConnect->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    PlaceTwips(cmdCancel, 1320, 2040, 1335, 375);
    cmdCancel->setAutoDefault(false);

    for (QLabel* label : {lblConnectType, lblName, lblIP, lblPort})
        label->setTextFormat(Qt::PlainText);

    setTabOrder(txtName, txtIP);
    setTabOrder(txtIP, txtPort);
    setTabOrder(txtPort, cmdConnect);
    setTabOrder(cmdConnect, cmdCancel);

    connect(txtName, &QLineEdit::textChanged, this, [this] { txtName_Change(); });
    connect(txtIP, &QLineEdit::textChanged, this, [this] { txtIP_Change(); });
    connect(txtPort, &QLineEdit::textChanged, this, [this] { txtPort_Change(); });
    connect(cmdConnect, &QPushButton::clicked, this, [this] { cmdConnect_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
}

void frmConnect::SetShownHook(std::function<void(frmConnect&)> hook)
{
    g_shownHook = std::move(hook);
}

void frmConnect::Form_Load()
{
    State& s = Game();
    if (const frmMain* main = MainForm()) {
        const QRect frame = main->frameGeometry();
        const int mainLeft = main->LeftTwips();
        const int mainTop = main->TopTwips();
        const int mainWidth = frame.width() * Twips;
        const int mainHeight = frame.height() * Twips;
        const int width = frameGeometry().width() * Twips;
        const int height = frameGeometry().height() * Twips;
        const int left = mainLeft + mainWidth / 2 - width / 2;
        const int top = mainTop + mainHeight / 2 - height / 2;
        move(left / Twips, top / Twips);
    }
    if (s.NetState == NetHosting) {
        s.NetIsHost = true;
        lblIP->hide();
        txtIP->hide();
        lblConnectType->setText(QStringLiteral("Hosting ..."));
    } else {
        s.NetIsHost = false;
        lblConnectType->setText(QStringLiteral("Connecting ..."));
    }
    UpdateConnectEnabled();
    txtName->setFocus();
}

void frmConnect::Run(std::function<void()> closed)
{
    // Window-modal and without a loop of its own.
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::WindowModal);
    Form_Load();
    connect(this, &QDialog::finished, this, [closed = std::move(closed)](int) {
        if (closed)
            closed();
    });
    open();
    if (g_shownHook)
        g_shownHook(*this);
}

void frmConnect::UpdateConnectEnabled()
{
    const bool name = !txtName->text().trimmed().isEmpty();
    const bool port = !txtPort->text().trimmed().isEmpty();
    const bool host = !txtIP->text().trimmed().isEmpty();
    cmdConnect->setEnabled(Game().NetIsHost ? name && port : name && host && port);
}

void frmConnect::txtName_Change()
{
    UpdateConnectEnabled();
}

void frmConnect::txtIP_Change()
{
    UpdateConnectEnabled();
}

void frmConnect::txtPort_Change()
{
    UpdateConnectEnabled();
}

void frmConnect::cmdConnect_Click()
{
    State& s = Game();
    // The name travels in messages and is shown on both sides: the
    // terminator or a control character in it never reaches either.
    s.NetName = Sendable(txtName->text()).trimmed();
    s.NetPort = DecimalValue(txtPort->text().trimmed());
    if (s.NetIsHost) {
        s.NetState = NetHosting;
    } else {
        s.NetHost = txtIP->text().trimmed();
        s.NetState = NetConnecting;
    }
    accept();
}

void frmConnect::cmdCancel_Click()
{
    reject();
}

void frmConnect::reject()
{
    // Cancel, the close box and Esc all leave NetPlay closed.
    Game().NetState = NetNone;
    QDialog::reject();
}

} // namespace Turrion::NetPlay
