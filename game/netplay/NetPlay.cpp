#include "game/netplay/NetPlay.h"

#include "logic/GameState.h"
#include "logic/Protocol.h"
#include "game/netplay/frmChat.h"

namespace Turrion::NetPlay {

namespace {
std::function<void(const QString&)> g_sendObserver;
std::function<void(const QString&)> g_chatObserver;

// The window when it is open; with no open window there is nobody to talk to.
frmChat* OpenWindow()
{
    frmChat* chat = ExistingChatWindow();
    return chat && chat->Loaded() ? chat : nullptr;
}
} // namespace

void SendMessage(const QString& text)
{
    if (frmChat* chat = OpenWindow())
        chat->Net().SendMessage(text);
}

void SendGameMessage(const QString& text)
{
    if (!Turrion::Game().NetGame)
        return;
    if (g_sendObserver)
        g_sendObserver(text);
    SendMessage(text);
}

void GameChat(const QString& line)
{
    if (!Turrion::Game().NetGame)
        return;
    if (g_chatObserver)
        g_chatObserver(line);
    AddChat(line);
}

void SetSendObserver(std::function<void(const QString&)> observer)
{
    g_sendObserver = std::move(observer);
}

void SetChatObserver(std::function<void(const QString&)> observer)
{
    g_chatObserver = std::move(observer);
}

void AddChat(const QString& line)
{
    if (frmChat* chat = OpenWindow())
        chat->AddChat(line);
}

bool UnloadChatWindow(std::function<void()> closed)
{
    frmChat* chat = OpenWindow();
    return chat && chat->RequestClose(std::move(closed));
}

bool ChatWindowOpen()
{
    return OpenWindow() != nullptr;
}

void TakeWaitingMessages()
{
    if (frmChat* chat = OpenWindow())
        chat->Net().DrainPending();
}

void TurnPassed()
{
    if (frmChat* chat = OpenWindow())
        chat->Net().TurnPassed();
}

void SendGameFile(const QByteArray& fileBytes)
{
    // The loader refuses a file holding the byte 255 before it gets here:
    // the terminator would cut the message short.
    if (frmChat* chat = OpenWindow())
        chat->Net().SendMessage(QStringLiteral("LF}") + FromWire(fileBytes));
}

} // namespace Turrion::NetPlay
