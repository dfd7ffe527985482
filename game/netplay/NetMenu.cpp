#include "logic/GameState.h"
#include "game/frmMain.h"
#include "game/netplay/NetPlay.h"
#include "game/netplay/frmChat.h"
#include "game/netplay/frmConnect.h"

namespace Turrion {

void frmMain::mnuNetHost_Click()
{
    State& s = Game();
    // The NetPlay menu is disabled while the window is open; a shortcut
    // queued before that must not open a second connection.
    if (NetPlay::ChatWindowOpen())
        return;
    s.NetState = NetHosting;
    SetMenuEnabled(mnuNet, false);
    (new NetPlay::frmConnect(this))->Run([this] {
        if (Game().NetState > NetNone)
            NetPlay::ShowChatWindow();
        else
            SetMenuEnabled(mnuNet, true);
    });
}

void frmMain::mnuNetConnect_Click()
{
    State& s = Game();
    // The NetPlay menu is disabled while the window is open; a shortcut
    // queued before that must not open a second connection.
    if (NetPlay::ChatWindowOpen())
        return;
    s.NetState = NetConnecting;
    SetMenuEnabled(mnuNet, false);
    (new NetPlay::frmConnect(this))->Run([this] {
        if (Game().NetState == NetNone) {
            SetMenuEnabled(mnuNet, true);
            return;
        }
        SetMenuEnabled(mnuGameNew, false);
        mnuGameLoad->setEnabled(false);
        mnuGameSave->setEnabled(false);
        mnuHelpAbout->setEnabled(false);
        NetPlay::ShowChatWindow();
    });
}

} // namespace Turrion
