#include "engine/gui/MessageBox.h"

#include <QMessageBox>

namespace PavixGames {

namespace {
std::function<MsgResult(const MessageRequest&)>& Hook()
{
    static std::function<MsgResult(const MessageRequest&)> hook;
    return hook;
}
} // namespace

void SetMessageBoxHook(std::function<MsgResult(const MessageRequest&)> hook)
{
    Hook() = std::move(hook);
}

MsgResult MessageBox(QWidget* owner, const QString& text, const QString& caption, MsgIcon icon,
                     MsgButtons buttons)
{
    if (Hook())
        return Hook()(MessageRequest{text, caption, icon, buttons});
    QMessageBox box(owner);
    box.setWindowTitle(caption);
    // Names and file names reach these texts; never read them as markup.
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    switch (icon) {
    case MsgIcon::Information: box.setIcon(QMessageBox::Information); break;
    case MsgIcon::Exclamation: box.setIcon(QMessageBox::Warning); break;
    case MsgIcon::Critical: box.setIcon(QMessageBox::Critical); break;
    case MsgIcon::Question: box.setIcon(QMessageBox::Question); break;
    }
    if (buttons == MsgButtons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::No);
        box.setEscapeButton(QMessageBox::No);
        return box.exec() == QMessageBox::Yes ? MsgResult::Yes : MsgResult::No;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return MsgResult::OK;
}

} // namespace PavixGames
