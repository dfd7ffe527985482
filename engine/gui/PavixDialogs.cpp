#include "engine/gui/PavixDialogs.h"

#include "engine/PavixGames.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QStringList>
#include <QUrl>

namespace PavixGames {

namespace {

std::function<QString(const DialogRequest&)> g_dialogHook;
std::function<void(const QString&)> g_shellHook;

// Common-dialog flag bits that have a counterpart in QFileDialog.
constexpr std::uint32_t kOverwritePrompt = 0x00000002;
constexpr std::uint32_t kFileMustExist = 0x00001000;

// "Desc|*.a;*.b" uses ';' between patterns; Qt wants spaces inside the
// parentheses.
QString QtPatternList(const QString& pattern)
{
    QStringList parts = pattern.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (QString& part : parts)
        part = part.trimmed();
    parts.removeAll(QString());
    return parts.join(QLatin1Char(' '));
}

void RunFileDialog(QWidget* owner, const DialogRequest& request,
                   std::function<void(const QString&)> chosen)
{
    if (g_dialogHook) {
        const QString answer = g_dialogHook(request);
        if (chosen)
            chosen(answer);
        return;
    }

    // Window-modal and without a loop of its own: the game goes on behind it.
    auto* dialogPtr = new QFileDialog(owner, request.title);
    QFileDialog& dialog = *dialogPtr;
    dialog.setAttribute(Qt::WA_DeleteOnClose);
    dialog.setWindowModality(Qt::WindowModal);
    const QString filters = ConvertFilter(request.filter);
    if (!filters.isEmpty())
        dialog.setNameFilters(filters.split(QStringLiteral(";;")));
    if (request.save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        QString suffix = request.defaultExt;
        while (suffix.startsWith(QLatin1Char('.')))
            suffix.remove(0, 1);
        if (!suffix.isEmpty())
            dialog.setDefaultSuffix(suffix);
        if (!(request.flags & kOverwritePrompt))
            dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode((request.flags & kFileMustExist) ? QFileDialog::ExistingFile
                                                             : QFileDialog::AnyFile);
    }
    if (!request.initialFile.isEmpty())
        dialog.selectFile(request.initialFile);

    QObject::connect(dialogPtr, &QDialog::finished, dialogPtr,
                     [dialogPtr, chosen = std::move(chosen)](int result) {
                         const QStringList files = dialogPtr->selectedFiles();
                         const QString path = result == QDialog::Accepted && !files.isEmpty()
                                                  ? files.first()
                                                  : QString();
                         if (chosen)
                             chosen(path);
                     });
    dialog.open();
}

} // namespace

void ShellOpen(QWidget* owner, const QString& target)
{
    Q_UNUSED(owner);
    if (g_shellHook) {
        g_shellHook(target);
    } else if (!target.isEmpty()) {
        const bool isAddress = target.startsWith(QStringLiteral("http://"), Qt::CaseInsensitive) ||
                               target.startsWith(QStringLiteral("https://"), Qt::CaseInsensitive);
        // The result is deliberately ignored: a missing browser or help page
        // is not worth interrupting the player for.
        QDesktopServices::openUrl(isAddress ? QUrl(target) : QUrl::fromLocalFile(target));
    }
    if (LogLevel() > 1)
        WriteLog(Engine().EngineLog, QStringLiteral("Processes request to open file: ") + target,
                 true);
}

void ShowOpenDialog(QWidget* owner, const QString& title, const QString& filter,
                    const QString& initialFile, std::uint32_t flags,
                    std::function<void(const QString&)> chosen)
{
    RunFileDialog(owner, DialogRequest{false, title, filter, initialFile, QString(), flags},
                  std::move(chosen));
}

void ShowSaveDialog(QWidget* owner, const QString& title, const QString& filter,
                    const QString& initialFile, const QString& defaultExt, std::uint32_t flags,
                    std::function<void(const QString&)> chosen)
{
    RunFileDialog(owner, DialogRequest{true, title, filter, initialFile, defaultExt, flags},
                  std::move(chosen));
}

QString ConvertFilter(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    // The list is description/pattern pairs; an empty entry ends it, and a
    // description left without a pattern is dropped.
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts[i];
        const QString& pattern = parts[i + 1];
        if (description.isEmpty() || pattern.isEmpty())
            break;
        const QString qtPattern = QtPatternList(pattern);
        if (qtPattern.isEmpty())
            break;
        if (description.contains(pattern)) {
            QString text = description;
            text.replace(pattern, qtPattern);
            out << text;
        } else {
            out << description + QStringLiteral(" (") + qtPattern + QLatin1Char(')');
        }
    }
    return out.join(QStringLiteral(";;"));
}

void SetDialogHook(std::function<QString(const DialogRequest&)> hook)
{
    g_dialogHook = std::move(hook);
}

void SetShellHook(std::function<void(const QString&)> hook)
{
    g_shellHook = std::move(hook);
}

void ResetDialogsForTests()
{
    g_dialogHook = nullptr;
    g_shellHook = nullptr;
}

} // namespace PavixGames
