// Message boxes, the one way the game tells its user something went wrong or
// asks a yes/no question.
#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace PavixGames {

enum class MsgIcon { Information, Exclamation, Critical, Question };
enum class MsgButtons { OK, YesNo };
enum class MsgResult { OK, Yes, No };

// Shows a message box over `owner` (window-modal) and returns at once: the
// program goes on while the user reads it. Returns OK.
MsgResult MessageBox(QWidget* owner, const QString& text, const QString& caption,
                     MsgIcon icon = MsgIcon::Exclamation, MsgButtons buttons = MsgButtons::OK);
// The box MessageBox showed last, while it is open (none under the hook).
QWidget* LastMessageBox();

// Asks a yes/no question over `owner` (window-modal) and returns at once;
// `answered` runs with true for Yes once the user has answered (No when the
// box is closed another way or its owner goes first).
void Ask(QWidget* owner, const QString& text, const QString& caption,
         std::function<void(bool yes)> answered);

// Seam for tests: when set, MessageBox and Ask call it instead of showing a
// box, and Ask answers with what it returns, before it returns.
struct MessageRequest {
    QString text, caption;
    MsgIcon icon;
    MsgButtons buttons;
};
void SetMessageBoxHook(std::function<MsgResult(const MessageRequest&)> hook);

} // namespace PavixGames
