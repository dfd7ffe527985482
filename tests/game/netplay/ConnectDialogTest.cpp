// The connect dialog.
#include "NetTestSupport.h"

using namespace NetTest;
using namespace Turrion;
using NetPlay::frmConnect;

TEST_F(NetPlayTest, ConnectDialogEnablesConnectOnlyWhenFilledIn)
{
    std::vector<bool> enabled;
    auto fill = [&](frmConnect& d, std::vector<std::pair<QLineEdit*, const char*>> steps) {
        for (auto [field, text] : steps) {
            field->setText(text);
            enabled.push_back(d.cmdConnect->isEnabled());
        }
    };
    frmConnect::SetShownHook([&](frmConnect& d) {
        EXPECT_EQ(d.lblConnectType->text(), "Hosting ...");
        EXPECT_FALSE(d.txtIP->isVisible());
        fill(d, {{d.txtPort, "3264"}, {d.txtName, "   "}, {d.txtName, " Ann "}, {d.txtPort, " "}});
        d.cmdCancel->click();
    });
    form->mnuNetHost_Click();
    frmConnect::SetShownHook([&](frmConnect& d) {
        EXPECT_EQ(d.txtIP->text(), "localhost");
        fill(d, {{d.txtIP, "localhost"}, {d.txtName, "Bob"}, {d.txtIP, "  "}});
        d.cmdCancel->click();
    });
    form->mnuNetConnect_Click();
    EXPECT_EQ(enabled, (std::vector<bool>{false, false, true, false, false, true, false}));
    // Cancelled: nothing opens, nothing changes.
    EXPECT_EQ(S().NetState, NetNone);
    EXPECT_FALSE(Chat() && Chat()->Loaded());
    EXPECT_TRUE(form->mnuGameLoad->isEnabled());
}

TEST_F(NetPlayTest, ConnectDialogFillsTheNetPlayVariables)
{
    // Used on its own, so that nothing connects anywhere.
    frmConnect::SetShownHook([](frmConnect& d) {
        // What the wire cannot carry shows in the entry as it will arrive.
        d.txtName->setText(QString::fromUtf8("  An\u00FFn\t\u2603  "));
        EXPECT_EQ(d.txtName->text(), "  Ann ?  ");
        d.txtIP->setText("  127.0.0.1 ");
        d.txtPort->setText(" 4000 ");
        d.cmdConnect->click();
    });
    S().NetState = NetConnecting;
    int closed = 0;
    (new frmConnect(form))->Run([&] { ++closed; });
    EXPECT_EQ(closed, 1);
    EXPECT_EQ(std::tuple(S().NetName, S().NetHost, S().NetPort, S().NetIsHost),
              std::tuple(QString("Ann ?"), QString("127.0.0.1"), 4000, false));

    frmConnect::SetShownHook([](frmConnect& d) {
        d.txtName->setText("Cy");
        d.cmdConnect->click();
    });
    S().NetState = NetHosting;
    (new frmConnect(form))->Run(nullptr);
    EXPECT_TRUE(S().NetIsHost);
    EXPECT_EQ(S().NetHost, "127.0.0.1"); // a host does not touch the address
}
