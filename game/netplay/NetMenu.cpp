#include "logic/GameState.h"
#include "game/frmMain.h"
#include "game/netplay/frmChat.h"
#include "game/netplay/frmConnect.h"

namespace Turrion {

namespace {
// The NetPlay menu is disabled while the window is open; a shortcut queued
// before that must not open a second connection.
bool ChatWindowOpen()
{
    const NetPlay::frmChat* chat = NetPlay::ExistingChatWindow();
    return chat && chat->Loaded();
}
} // namespace

void frmMain::mnuNetHost_Click()
{
    State& s = Game();
    if (ChatWindowOpen())
        return;
    s.NetState = NetHosting;
    {
        NetPlay::frmConnect dialog(this);
        dialog.Run();
    }
    if (s.NetState > NetNone) {
        SetMenuEnabled(mnuNet, false);
        NetPlay::ShowChatWindow();
    }
}

void frmMain::mnuNetConnect_Click()
{
    State& s = Game();
    if (ChatWindowOpen())
        return;
    s.NetState = NetConnecting;
    {
        NetPlay::frmConnect dialog(this);
        dialog.Run();
    }
    if (s.NetState > NetNone) {
        SetMenuEnabled(mnuGameNew, false);
        mnuGameLoad->setEnabled(false);
        mnuGameSave->setEnabled(false);
        SetMenuEnabled(mnuNet, false);
        mnuHelpAbout->setEnabled(false);
        NetPlay::ShowChatWindow();
    }
}

} // namespace Turrion
