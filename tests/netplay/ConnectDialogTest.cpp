// The connect dialog and the NetPlay menu.
#include "NetTestSupport.h"

#include <QApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QScrollBar>

using namespace NetTest;
using namespace Turrion;
using NetPlay::frmConnect;

namespace {

struct Seen {
    QString type;
    bool ipVisible = false;
    bool connectAtStart = false;
    QString ip, port;
    QRect geometry;
    QWidget* focus = nullptr;
    std::vector<QWidget*> tabOrder;
};

} // namespace

TEST_F(NetPlayTest, ConnectDialogEnablesConnectOnlyWhenFilledIn)
{
    Seen seen;
    std::vector<bool> enabled;
    frmConnect::SetShownHook([&](frmConnect& d) {
        seen.type = d.lblConnectType->text();
        seen.ipVisible = d.txtIP->isVisible() || d.lblIP->isVisible();
        seen.connectAtStart = d.cmdConnect->isEnabled();
        seen.port = d.txtPort->text();
        seen.geometry = d.frameGeometry();
        EXPECT_EQ(d.windowTitle(), "Turrion (NetPlay)");
        EXPECT_EQ(d.size(), QSize(271, 166));
        EXPECT_TRUE(d.lblConnectType->font().bold());
        d.txtName->setText("   ");
        enabled.push_back(d.cmdConnect->isEnabled());
        d.txtName->setText(" Ann ");
        enabled.push_back(d.cmdConnect->isEnabled());
        d.txtPort->setText(" ");
        enabled.push_back(d.cmdConnect->isEnabled());
        d.cmdCancel->click();
    });
    form->mnuNetHost_Click();
    EXPECT_EQ(seen.type, "Hosting ...");
    EXPECT_FALSE(seen.ipVisible);
    EXPECT_FALSE(seen.connectAtStart);
    EXPECT_EQ(seen.port, "3264");
    EXPECT_EQ(enabled, (std::vector<bool>{false, true, false}));
    // Centred over the main window.
    const QRect main = form->frameGeometry();
    EXPECT_NEAR(seen.geometry.center().x(), main.center().x(), 2);
    EXPECT_NEAR(seen.geometry.center().y(), main.center().y(), 2);
    // Cancel: nothing opens, nothing changes.
    EXPECT_EQ(S().NetState, NetNone);
    EXPECT_FALSE(Chat() && Chat()->Loaded());
    EXPECT_TRUE(frmMain::MenuEnabled(form->mnuNet));
    EXPECT_TRUE(form->mnuHelpAbout->isEnabled());

    enabled.clear();
    frmConnect::SetShownHook([&](frmConnect& d) {
        seen.type = d.lblConnectType->text();
        seen.ipVisible = d.txtIP->isVisible() && d.lblIP->isVisible();
        seen.ip = d.txtIP->text();
        seen.focus = QApplication::focusWidget();
        enabled.push_back(d.cmdConnect->isEnabled());
        d.txtName->setText("Bob");
        enabled.push_back(d.cmdConnect->isEnabled());
        d.txtIP->setText("  ");
        enabled.push_back(d.cmdConnect->isEnabled());
        d.txtIP->setText("localhost");
        enabled.push_back(d.cmdConnect->isEnabled());
        // Tab goes name, address, port, Connect.
        auto next = [](QWidget* w) {
            do
                w = w->nextInFocusChain();
            while (!(w->focusPolicy() & Qt::TabFocus) || !w->isVisible());
            return w;
        };
        seen.tabOrder = {next(d.txtName), next(d.txtIP), next(d.txtPort)};
        EXPECT_EQ(seen.tabOrder, (std::vector<QWidget*>{d.txtIP, d.txtPort, d.cmdConnect}));
        // Esc is Cancel.
        QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(&d, &esc);
    });
    form->mnuNetConnect_Click();
    EXPECT_EQ(seen.type, "Connecting ...");
    EXPECT_TRUE(seen.ipVisible);
    EXPECT_EQ(seen.ip, "localhost");
    EXPECT_EQ(enabled, (std::vector<bool>{false, true, false, true}));
    EXPECT_EQ(S().NetState, NetNone);
    EXPECT_TRUE(frmMain::MenuEnabled(form->mnuGameNew));
    EXPECT_TRUE(form->mnuGameLoad->isEnabled());
    EXPECT_FALSE(Chat() && Chat()->Loaded());

    // The close box counts as Cancel as well.
    frmConnect::SetShownHook([](frmConnect& d) { d.close(); });
    form->mnuNetConnect_Click();
    EXPECT_EQ(S().NetState, NetNone);
    EXPECT_FALSE(Chat() && Chat()->Loaded());
}

TEST_F(NetPlayTest, ConnectDialogFillsTheNetPlayVariables)
{
    // Used on its own, so that nothing connects anywhere.
    frmConnect::SetShownHook([](frmConnect& d) {
        d.txtName->setText(QString::fromUtf8("  An\u00FFn  "));
        d.txtIP->setText("  127.0.0.1 ");
        d.txtPort->setText(" 4000 ");
        d.cmdConnect->click();
    });
    S().NetState = NetConnecting;
    {
        frmConnect dialog(form);
        EXPECT_EQ(dialog.Run(), int(QDialog::Accepted));
    }
    EXPECT_EQ(S().NetName, "Ann");
    EXPECT_EQ(S().NetHost, "127.0.0.1");
    EXPECT_EQ(S().NetPort, 4000);
    EXPECT_EQ(S().NetState, NetConnecting);
    EXPECT_FALSE(S().NetIsHost);

    frmConnect::SetShownHook([](frmConnect& d) {
        d.txtName->setText("Cy");
        d.txtPort->setText("12ab");
        d.cmdConnect->click();
    });
    S().NetState = NetHosting;
    {
        frmConnect dialog(form);
        dialog.Run();
    }
    EXPECT_EQ(S().NetPort, 12);
    EXPECT_EQ(S().NetState, NetHosting);
    EXPECT_TRUE(S().NetIsHost);
    EXPECT_EQ(S().NetHost, "127.0.0.1"); // a host does not touch the address
}

TEST_F(NetPlayTest, ClosingTheMainWindowAsksTheNetPlayWindowFirst)
{
    // Without a window the NetPlay calls are harmless.
    NetPlay::SendMessage("CH}x");
    NetPlay::AddChat("x");
    NetPlay::UnloadChatWindow();

    auto bob = HostWithPlayer("Ann", "Bob");
    ASSERT_TRUE(bob);

    // The newest line is always in view.
    for (int i = 0; i < 100; ++i)
        NetPlay::AddChat(QString("line %1").arg(i));
    QScrollBar* bar = Chat()->txtChat->verticalScrollBar();
    EXPECT_GT(bar->maximum(), 0);
    EXPECT_EQ(bar->value(), bar->maximum());
    // A line is one line, whatever it holds.
    NetPlay::AddChat("two\r\nlines");
    EXPECT_EQ(ChatLines().last(), "two  lines");

    answerYes = false;
    form->close();
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(Chat()->Loaded());
    EXPECT_FALSE(S().QuitFlag);
    EXPECT_TRUE(bob->received.isEmpty());

    answerYes = true;
    form->close();
    EXPECT_EQ(bob->Expect(W("DQ}Ann")), W("DQ}Ann"));
    EXPECT_FALSE(Chat()->Loaded());
    EXPECT_TRUE(S().QuitFlag);
}

TEST_F(NetPlayTest, NetPlayWindowKeepsItsPlaceBesideTheMainWindow)
{
    S().ChatLeft = 300; // twips: 20 pixels
    S().ChatTop = 150;
    Host("Ann");
    const QPoint main = form->frameGeometry().topLeft();
    EXPECT_EQ(Chat()->frameGeometry().topLeft(), main + QPoint(20, 10));

    Chat()->move(Chat()->pos() + QPoint(30, 4));
    Chat()->cmdDone->click();
    EXPECT_EQ(S().ChatLeft, 300 + 30 * 15);
    EXPECT_EQ(S().ChatTop, 150 + 4 * 15);

    // Never off the screen.
    S().ChatLeft = -10000000;
    S().ChatTop = 10000000;
    Host("Ann");
    const QRect screen = Chat()->screen()->availableGeometry();
    EXPECT_EQ(Chat()->frameGeometry().left(), 0);
    EXPECT_EQ(Chat()->frameGeometry().bottom(), screen.bottom());
}
