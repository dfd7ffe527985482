// The NetPlay connect dialog: the player's name, the port and, when
// connecting, the host. Confirming fills the NetPlay variables; cancelling
// (also by the close box or Esc) sets NetState to 0.
#pragma once

#include <QDialog>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace Turrion::NetPlay {

class frmConnect : public QDialog {
    Q_OBJECT
public:
    explicit frmConnect(QWidget* parent = nullptr);

    QLabel* lblConnectType;
    QLabel* lblName;
    QLineEdit* txtName;
    QLabel* lblIP;
    QLineEdit* txtIP;
    QLabel* lblPort;
    QLineEdit* txtPort;
    QPushButton* cmdConnect;
    QPushButton* cmdCancel;

    // Centres the dialog over the main window and sets it up for hosting or
    // connecting as NetState says.
    void Form_Load();
    // Connect is usable once every text the chosen mode needs is filled in.
    void txtName_Change();
    void txtIP_Change();
    void txtPort_Change();
    void cmdConnect_Click();
    void cmdCancel_Click();

    // Loads the dialog and runs it modally until it is closed.
    // Opens the dialog and returns at once; `closed` runs once it has
    // closed, with NetState set by the choice (NetNone when cancelled).
    void Run(std::function<void()> closed);

    // Seam for tests: called as soon as the dialog is open, so that a test
    // can type and click.
    static void SetShownHook(std::function<void(frmConnect&)> hook);

    // Names travel inside messages of at most 64 KiB together with a chat
    // line; a name has no use for more than this.
    static constexpr int MaxNameLength = 255;

public slots:
    void reject() override;

private:
    void UpdateConnectEnabled();
};

} // namespace Turrion::NetPlay
