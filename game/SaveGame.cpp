#include "game/SaveGame.h"

#include "game/Drawing.h"
#include "game/GameFlow.h"
#include "game/frmMain.h"
#include "engine/gui/MessageBox.h"
#include "engine/PavixGames.h"
#include "engine/gui/PavixDialogs.h"
#include "game/netplay/NetPlay.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace Turrion {

const char* const SaveFileFilter = "Turrion Saves (*.trs)|*.trs";

namespace {

QString Shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

void Tell(const QString& text, const QString& caption)
{
    PavixGames::MessageBox(MainForm(), text, caption, PavixGames::MsgIcon::Exclamation);
}

void TellLoadFailed(const QString& path, const QString& why)
{
    // Before the first game there is no game in progress to reassure about.
    const bool gameExists = EffectivePhase(Game()) != PhaseNone;
    Tell("The game could not be loaded from\n" + Shown(path) + "\n\n" + why +
             (gameExists ? "\n\nThe game in progress has not been changed." : ""),
         "Load Turrion Game");
}

void DrawLoadedGame(const State& s)
{
    // A finished game is drawn by the game-over display within half a
    // second; it reads the fallen King from the cursor.
    if (s.GameState == PhaseGameOver)
        return;
    DrawBoard();
    DrawMovesPanel();
    if (s.GameState == PhaseMove)
        DrawSelector();
    Show();
}

} // namespace

bool SaveGameTo(const QString& path)
{
    State& s = Game();
    if (path.isEmpty())
        return false;

    QString why;
    const QByteArray bytes = SerializeGame(s, &why);
    if (bytes.isEmpty()) {
        Tell("This game cannot be saved to\n" + Shown(path) + "\n\n" + why +
                 "\n\nNo file has been changed.",
             "Save Turrion Game");
        return false;
    }

    // The new content goes to a temporary file beside the old one and
    // replaces it only once it is complete: a full disk or a vanished folder
    // must not cost the player the game saved before.
    // Unbuffered, so that a short write (a full disk) shows in the count
    // here: a buffered flush can drop the rest without setting an error.
    QSaveFile file(path);
    bool written = file.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    if (written && file.write(bytes) != bytes.size()) {
        written = false;
        why = "Not all of the game could be written (is the disk full?).";
    }
    if (written)
        written = file.commit();
    if (!written) {
        if (why.isEmpty())
            why = file.errorString();
        file.cancelWriting();
        Tell("The game could not be saved to\n" + Shown(path) + "\n\n" + why +
                 "\n\nAny earlier file of that name has been kept as it was.",
             "Save Turrion Game");
        return false;
    }

    s.GameFileName = path;
    if (s.NetGame)
        NetPlay::SendMessage("SG}" + s.NetName);
    return true;
}

bool SaveGame()
{
    return SaveGameTo(Game().GameFileName);
}

bool LoadGameFrom(const QString& path)
{
    State& s = Game();
    // The command line and the menu rely on a missing file being no news.
    if (path.isEmpty() || !QFileInfo::exists(path))
        return false;

    QByteArray bytes;
    QString why;
    if (!ReadSaveFile(path, bytes, why)) {
        TellLoadFailed(path, why);
        return false;
    }
    // Every byte is checked before anything of the running game changes.
    SavedGame game;
    why = ParseGame(bytes, game);
    if (!why.isEmpty()) {
        TellLoadFailed(path, why);
        return false;
    }

    if (s.NetState == NetHostWithPlayer) {
        // The byte 255 ends a message on the wire, so such a file would
        // arrive cut short; loading it here alone would split the game.
        if (bytes.contains(NetPlay::TerminatorByte)) {
            Tell("The game in\n" + Shown(path) +
                     "\ncannot be sent to the other player: it holds the byte 255, which "
                     "NetPlay cannot carry (a turn number or a move count of 255 does "
                     "this).\n\nThe game has not been loaded.",
                 "Load Turrion Game");
            return false;
        }
        // The other side gets the file before this side acts on it.
        NetPlay::SendGameFile(bytes);
    }

    LoadSavedGame(game, s);
    GameReplaced();
    s.GameFileName = path;
    DrawLoadedGame(s);

    if (frmMain* form = MainForm()) {
        form->mnuTurnEndTurn->setEnabled(s.GameState != PhaseGameOver);
        if (s.NetState != NetConnected && s.NetState != NetConnecting)
            form->mnuGameSave->setEnabled(true);
    }
    return true;
}

bool LoadGame()
{
    return LoadGameFrom(Game().GameFileName);
}

void frmMain::mnuGameLoad_Click()
{
    PavixGames::ShowOpenDialog(this, "Load Turrion Game", SaveFileFilter, QString(), OpenDialogFlags,
                               [](const QString& path) {
                                   if (!path.isEmpty())
                                       LoadGameFrom(path);
                               });
}

void frmMain::mnuGameSave_Click()
{
    State& s = Game();
    // The first save of a game asks for a name; later ones reuse it. A name
    // whose save failed is not kept, so the next Save asks again.
    if (!s.GameFileName.isEmpty()) {
        SaveGameTo(s.GameFileName);
        return;
    }
    // The game saved is the one in play when the name is chosen.
    PavixGames::ShowSaveDialog(this, "Save Turrion Game", SaveFileFilter, QString(), "trs",
                               SaveDialogFlags, [](const QString& path) {
                                   if (!path.isEmpty())
                                       SaveGameTo(path);
                               });
}

} // namespace Turrion
