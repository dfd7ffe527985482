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

// Shows a modal message box; returns the button pressed (No when a Yes/No box
// is closed another way).
MsgResult MessageBox(QWidget* owner, const QString& text, const QString& caption,
                     MsgIcon icon = MsgIcon::Exclamation, MsgButtons buttons = MsgButtons::OK);

// Seam for tests: when set, MessageBox calls it instead of showing a box.
struct MessageRequest {
    QString text, caption;
    MsgIcon icon;
    MsgButtons buttons;
};
void SetMessageBoxHook(std::function<MsgResult(const MessageRequest&)> hook);

} // namespace PavixGames
