// PavixGames' dialogs: the file dialogs and the shell, which need a window
// system, apart from the engine's core so that code without a window links
// no Gui.
#pragma once

#include <QString>
#include <cstdint>
#include <functional>

class QWidget;

namespace PavixGames {

void ShellOpen(QWidget* owner, const QString& target);

// filter is "|"-separated description/pattern pairs: "Turrion Saves (*.trs)|*.trs".
// Both open the dialog over `owner` (window-modal) and return at once;
// `chosen` runs with the path once the user has chosen, or with "" when the
// dialog is cancelled.
void ShowOpenDialog(QWidget* owner, const QString& title, const QString& filter,
                    const QString& initialFile, std::uint32_t flags,
                    std::function<void(const QString&)> chosen);
void ShowSaveDialog(QWidget* owner, const QString& title, const QString& filter,
                    const QString& initialFile, const QString& defaultExt, std::uint32_t flags,
                    std::function<void(const QString&)> chosen);

// Converts "Desc (*.a)|*.a|Other|*.b" into Qt's "Desc (*.a);;Other (*.b)".
QString ConvertFilter(const QString& filter);

// ---- Seams for tests -------------------------------------------------------

// Replaces the file dialogs. `save` tells which one; the return value is the
// dialog's answer, given before the call returns. Pass nullptr to use the real dialogs.
struct DialogRequest {
    bool save = false;
    QString title, filter, initialFile, defaultExt;
    std::uint32_t flags = 0;
};
void SetDialogHook(std::function<QString(const DialogRequest&)> hook);

// Replaces the shell "open" (for tests: records the target instead of
// starting a browser). Pass nullptr for the real QDesktopServices call.
void SetShellHook(std::function<void(const QString&)> hook);

// Forgets the dialog and shell hooks.
void ResetDialogsForTests();

} // namespace PavixGames
