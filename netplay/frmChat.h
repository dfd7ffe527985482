// The NetPlay window: the one TCP connection, the player names, the chat, and
// the replay of the other side's messages on the shared game.
//
// One window object exists for the whole run; it is loaded (opened) and
// unloaded (closed) as the NetPlay menu and its user decide. The receive
// buffer and the message counters outlive an unload.
#pragma once

#include <QAbstractSocket>
#include <QByteArray>
#include <QPointer>
#include <QString>
#include <QTcpSocket>
#include <QWidget>
#include <functional>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTcpServer;

namespace NetPlay {

struct Message;

class frmChat : public QWidget {
    Q_OBJECT
public:
    explicit frmChat(QWidget* parent = nullptr);
    ~frmChat() override;

    QLabel* Label1;
    QLabel* lblBluePlayer;
    QLabel* Label2;
    QLabel* lblRedPlayer;
    QPushButton* cmdSwitch;
    QPushButton* cmdDone;
    QPlainTextEdit* txtChat;
    QLineEdit* txtAddChat;
    QPushButton* cmdAddChat;

    // Opens the window: placement, logs, and listening or connecting as
    // NetState says (1 hosting, otherwise connecting).
    void Form_Load();
    // Runs however the window closes. Sets `cancel` when the user chooses to
    // stay connected.
    void Form_Unload(bool& cancel);
    bool Loaded() const { return loaded_; }

    void SendMessage(const QString& text);
    // One line at the end of the transcript, scrolled into view.
    void AddChat(const QString& line);

    void cmdAddChat_Click();
    void txtAddChat_Change();
    void cmdSwitch_Click();
    void cmdDone_Click();

    // Socket events.
    void comm_ConnectionRequest();
    void comm_Connect();
    void comm_DataArrival();
    void comm_Error(int number, const QString& description);

    // The receive procedure after the socket has handed over its data: logs
    // the chunk, then cuts and acts on every complete message.
    void ReceiveChunk(const QByteArray& chunk);

    // The transcript as text: every line followed by "\n".
    QString ChatText() const;
    // The port being listened on (0 when not listening).
    int ListeningPort() const;
    bool Listening() const;
    bool Connected() const;
    // The connection's socket, or nullptr.
    QTcpSocket* Socket() const { return comm_; }

    // Window members that outlive an unload.
    QString RecvBuffer;
    int SendCount = 0;
    int GetCount = 0;
    int SendLog = 0;
    int GetLog = 0;
    // Reset at every opening.
    bool PlayerConnected = false;
    bool DoneClicked = false;

    // Seam for tests: replaces the loading of a received game file (the file
    // named by GameFileName exists while the hook runs). nullptr = LoadGame.
    static void SetLoadGameHook(std::function<void()> hook);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void UpdatePlayerLabels();
    bool Accepts(const Message& message) const;
    void Dispatch(const Message& message);
    void OtherSideLeft();
    void ConnectionLost(int number, const QString& description);
    void AnnounceHosting();
    void PlaceRemotePiece(int owner, int kind, int col, int row);
    void MoveRemotePiece(int fromCol, int fromRow, int toCol, int toRow);
    void RemoveRemotePiece(int col, int row);
    void ApplyRemoteShot(int col, int row, int shooter);
    void ReceiveGameFile(const QString& payload);

    void ResetControls();
    void StartListening();
    void StartConnecting();
    void AdoptSocket(QTcpSocket* socket);
    void CloseSocket();
    void StopListening();
    void ReportSocketError(QAbstractSocket::SocketError error, const QString& description);
    QString LocalIP() const;
    void PlaceWindow();
    void RememberPlacement();
    static void SetBold(QLabel* label, bool bold);

    QTcpServer* server_ = nullptr;
    QPointer<QTcpSocket> comm_;
    bool loaded_ = false;
    bool overflowReported_ = false;
};

// The one NetPlay window, created on first use.
frmChat* ChatWindow();
// The window if it exists, else nullptr.
frmChat* ExistingChatWindow();
// Loads (opens) the window as NetState says.
void ShowChatWindow();
// Destroys the window object and everything it kept (tests).
void DestroyChatWindowForTests();

} // namespace NetPlay
