#include "engine/gui/PavixSfxAPI.h"

#include <QAudioDevice>
#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QMediaDevices>
#include <QPointer>
#include <QSet>
#include <QSoundEffect>
#include <QUrl>

namespace PavixSfxAPI {

namespace {

std::function<void(const QString&)> g_playHook;

// One effect for the whole program: like the classic one-sound-at-a-time
// call, a new sound replaces whatever is still playing. Parented to the
// application so that it goes away before the audio system does.
QPointer<QSoundEffect> g_effect;

// Files that could not be played, by path, size and time of change, so a
// broken file is tried once and not again on every shot.
QSet<QString> g_unplayable;
QString g_currentKey;

QString FileKey(const QFileInfo& info)
{
    return info.absoluteFilePath() + QLatin1Char('|') + QString::number(info.size()) +
           QLatin1Char('|') + QString::number(info.lastModified().toMSecsSinceEpoch());
}

// Only RIFF/WAVE files are handed to the audio system: anything else would
// only produce a decoder warning.
bool LooksLikeWave(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(12);
    return head.size() == 12 && head.startsWith("RIFF") && head.mid(8, 4) == "WAVE";
}

void QuietMultimediaLog()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    // Sound is an extra: a missing back end or a bad file must not flood the
    // terminal while the game runs on.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.multimedia*=false"));
}

QSoundEffect* Effect()
{
    if (!g_effect) {
        g_effect = new QSoundEffect(QCoreApplication::instance());
        QObject::connect(g_effect.data(), &QSoundEffect::statusChanged, g_effect.data(), [] {
            if (g_effect && g_effect->status() == QSoundEffect::Error && !g_currentKey.isEmpty())
                g_unplayable.insert(g_currentKey);
        });
    }
    return g_effect.data();
}

} // namespace

void PlaySfx(const QString& path)
{
    if (path.isEmpty())
        return;
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile())
        return;
    if (g_playHook) {
        g_playHook(path);
        return;
    }
    if (!QCoreApplication::instance())
        return;
    QuietMultimediaLog();
    if (QMediaDevices::audioOutputs().isEmpty())
        return;

    const QString key = FileKey(info);
    if (g_unplayable.contains(key))
        return;
    if (!LooksLikeWave(path)) {
        g_unplayable.insert(key);
        return;
    }

    QSoundEffect* effect = Effect();
    effect->stop();
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (!device.isNull() && effect->audioDevice() != device)
        effect->setAudioDevice(device);
    g_currentKey = key;
    const QUrl url = QUrl::fromLocalFile(info.absoluteFilePath());
    if (effect->source() != url)
        effect->setSource(url);
    // Loading happens in the background; play() starts the sound as soon as
    // it is ready and never waits here.
    effect->play();
}

void SetPlayHook(std::function<void(const QString& path)> hook)
{
    g_playHook = std::move(hook);
}

} // namespace PavixSfxAPI
