// The NetPlay window: the player names, the chat and the buttons over the
// NetPlay session, which owns the connection.
//
// One window object exists for the whole run; it is loaded (opened) and
// unloaded (closed) as the NetPlay menu and its user decide. Its session,
// with the receive buffer and the message counters, outlives an unload.
#pragma once

#include "session/Session.h"

#include <QString>
#include <QWidget>
#include <QPointer>
#include <functional>
#include <memory>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace Turrion::NetPlay {

class GameLink;

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

    // Opens the window: placement, the own name, then the session listens or
    // connects as NetState says (1 hosting, otherwise connecting).
    void Form_Load();
    // Runs however the window closes. Sets `cancel` when the user chooses to
    // stay connected.
    void Form_Unload(bool& cancel);
    // Asks whether to leave NetPlay (unless End NetGame was pressed) and,
    // on Yes, closes the window and runs `closed`. False when the window
    // is not open; the question does not wait for its answer.
    bool RequestClose(std::function<void()> closed);
    bool Loaded() const { return session_->IsOpen(); }

    // One line at the end of the transcript, scrolled into view. Lines that
    // arrive together (a flood of them in one chunk) go in at once, as soon
    // as the event loop runs or the transcript is read.
    void AddChat(const QString& line);

    void cmdAddChat_Click();
    void txtAddChat_Change();
    void cmdSwitch_Click();
    void cmdDone_Click();

    // The transcript as text: every line followed by "\n".
    QString ChatText() const;
    // The connection the window shows.
    Session& Net() { return *session_; }

    // Reset at every opening.
    bool DoneClicked = false;

    // Seam for tests: replaces the loading of a received game file (the file
    // named by GameFileName exists while the hook runs). nullptr = LoadGame.
    static void SetLoadGameHook(std::function<void()> hook);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool asking_ = false;
    bool closingNow_ = false;
    QPointer<QWidget> problemShown_;

private:
    void UpdatePlayerLabels();
    void ResetControls();
    void PlaceWindow();
    void RememberPlacement();
    static void SetBold(QLabel* label, bool bold);

    void ShowNewLines() const;

    std::unique_ptr<GameLink> link_;
    Session* session_;
    mutable QString newLines_; // lines not yet in the transcript
};

// The one NetPlay window, created on first use.
frmChat* ChatWindow();
// The window if it exists, else nullptr.
frmChat* ExistingChatWindow();
// Loads (opens) the window as NetState says.
void ShowChatWindow();
// Destroys the window object and everything it kept (tests).
void DestroyChatWindowForTests();

} // namespace Turrion::NetPlay
