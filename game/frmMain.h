// The main window: the board view and the menu bar. Its handlers carry the
// game's procedure names and work on the shared game state; the key handlers
// live with the rules, the NetPlay menu with NetPlay.
#pragma once

#include "logic/Keys.h"

#include <QMainWindow>

class PictureBox;
class QAction;
class QIcon;
class QMenu;

namespace Turrion {


// Translates a Qt key event into the virtual-key code of the rules, or 0 for
// a key the game has no code for. Keypad digits are not main-row digits.
int VirtualKeyFromEvent(const class QKeyEvent& event);
int ModifierMask(Qt::KeyboardModifiers modifiers);

class frmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit frmMain(QWidget* parent = nullptr);
    ~frmMain() override;

    PictureBox* picViewPort;

    // Menus and items, named as in the menu tree.
    QMenu* mnuGame;
    QMenu* mnuGameNew;
    QAction* mnuGameNewTwo;
    QAction* mnuGameNewBlue;
    QAction* mnuGameNewRed;
    QMenu* mnuGameStrength;
    QAction* mnuGameStrengthLevel[3]; // Easy, Normal, Hard
    QAction* mnuGameLoad;
    QAction* mnuGameSave;
    QAction* mnuGameSfx;
    QAction* mnuGameExit;
    QMenu* mnuView;
    QAction* mnuViewZoomIn;
    QAction* mnuViewZoomOut;
    QAction* mnuViewZoomAuto;
    QAction* mnuViewZoom[4]; // 1x .. 4x
    QMenu* mnuNet;
    QAction* mnuNetHost;
    QAction* mnuNetConnect;
    QMenu* mnuTurn;
    QAction* mnuTurnEndTurn;
    QMenu* mnuHelp;
    QAction* mnuHelpHelpFile;
    QAction* mnuHelpWebsite;
    QAction* mnuHelpMsgBoard;
    QAction* mnuHelpAbout;

    // The window's key latch: one action per key press.
    bool KeyReady = false;

    // Placement, font and key latch when the window loads.
    void Form_Load();
    // Remembers the window's place, writes the settings and shuts down.
    void Form_Unload();

    // Key handlers (the rules). keyCode is consumed by setting it to 0.
    void Form_KeyDown(int& keyCode, int shift);
    void Form_KeyUp(int keyCode, int shift);

    // Menu handlers.
    void mnuGameNewTwo_Click();
    void mnuGameNewBlue_Click();
    void mnuGameNewRed_Click();
    void mnuGameStrength_Click(int strength);
    void mnuGameLoad_Click();
    void mnuGameSave_Click();
    void mnuGameSfx_Click();
    void mnuGameExit_Click();
    void mnuViewZoomIn_Click();
    void mnuViewZoomOut_Click();
    void mnuViewZoomAuto_Click();
    void mnuViewZoom_Click(int zoom);
    void mnuNetHost_Click();
    void mnuNetConnect_Click();
    void mnuTurnEndTurn_Click();
    void mnuHelpHelpFile_Click();
    void mnuHelpWebsite_Click();
    void mnuHelpMsgBoard_Click();
    void mnuHelpAbout_Click();
    void picViewPort_MouseUp(Qt::MouseButton button, QPoint pos);

    // The view at `choice` times the board's size (0: the automatic choice
    // for this screen), painted sharp for the screen's pixel density; the
    // choice is remembered. Before the view has pictures only its size
    // changes.
    void SetZoom(int choice);
    // The zoom in use, 1..4, and the largest this screen allows.
    int Zoom() const { return zoom_; }
    int LargestZoom() const;
    // The automatic zoom is chosen again (the NetPlay window opened or
    // closed) and the window kept on the screen; a chosen zoom stays.
    void FitAutomaticZoom();

    // Enables or disables a whole menu (its title in the bar and its items).
    static void SetMenuEnabled(QMenu* menu, bool enabled);
    static bool MenuEnabled(const QMenu* menu);
    // The menu and every menu above it are enabled.
    static bool MenuChainEnabled(const QMenu* menu);
    bool SoundOn() const;

    // Window placement in twips (pixels x 15), as the settings file keeps it.
    int LeftTwips() const;
    int TopTwips() const;
    static constexpr int TwipsPerPixel = 15;

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void BuildMenus();
    // A new game: two players, or against the computer playing `computerColor`.
    void StartGame(int computerColor);
    // Moves the window back onto its screen after its size changed.
    void KeepOnScreen();
    int zoom_ = 1;
    bool closing_ = false;
    QWidget* client_ = nullptr;
};

// The one main window of the process, or nullptr.
frmMain* MainForm();

// The program icon at every size in assets/icons, for the main window.
QIcon WindowIcon();

// Places a window that remembers its offset from the main window (in twips):
// at that offset, or, while it has never been placed (0, 0), beside the main
// window where it does not cover the board; always kept on the screen.
void PlaceByMainWindow(QWidget* window, int offsetLeft, int offsetTop);

// Plays a sound from the program folder if the sound switch is on.
void PlayGameSound(const char* fileName);


// Web addresses of the Help menu.
extern const char* const WebsiteUrl;
extern const char* const MessageBoardUrl;

} // namespace Turrion
