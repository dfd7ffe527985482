#include "engine/gui/MessageBox.h"

#include <QMessageBox>
#include <QPointer>

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

namespace {
QPointer<QMessageBox> g_last;

QMessageBox* MakeBox(QWidget* owner, const QString& text, const QString& caption, MsgIcon icon)
{
    auto* box = new QMessageBox(owner);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(owner ? Qt::WindowModal : Qt::ApplicationModal);
    box->setWindowTitle(caption);
    // Names and file names reach these texts; never read them as markup.
    box->setTextFormat(Qt::PlainText);
    box->setText(text);
    switch (icon) {
    case MsgIcon::Information: box->setIcon(QMessageBox::Information); break;
    case MsgIcon::Exclamation: box->setIcon(QMessageBox::Warning); break;
    case MsgIcon::Critical: box->setIcon(QMessageBox::Critical); break;
    case MsgIcon::Question: box->setIcon(QMessageBox::Question); break;
    }
    return box;
}
} // namespace

MsgResult MessageBox(QWidget* owner, const QString& text, const QString& caption, MsgIcon icon,
                     MsgButtons buttons)
{
    if (Hook())
        return Hook()(MessageRequest{text, caption, icon, buttons});
    QMessageBox* box = MakeBox(owner, text, caption, icon);
    box->setStandardButtons(QMessageBox::Ok);
    box->open();
    g_last = box;
    return MsgResult::OK;
}

QWidget* LastMessageBox()
{
    return g_last;
}

void Ask(QWidget* owner, const QString& text, const QString& caption,
         std::function<void(bool yes)> answered)
{
    if (Hook()) {
        const bool yes =
            Hook()(MessageRequest{text, caption, MsgIcon::Question, MsgButtons::YesNo}) == MsgResult::Yes;
        if (answered)
            answered(yes);
        return;
    }
    QMessageBox* box = MakeBox(owner, text, caption, MsgIcon::Question);
    box->setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box->setDefaultButton(QMessageBox::No);
    box->setEscapeButton(QMessageBox::No);
    QObject::connect(box, &QMessageBox::finished, box, [box, answered = std::move(answered)](int) {
        if (answered)
            answered(box->clickedButton() == box->button(QMessageBox::Yes));
    });
    box->open();
}

} // namespace PavixGames
