// Sound: which files reach the player, and that playing never blocks or fails.
#include "EngineFixture.h"

#include <QDir>

using namespace PavixSfxAPI;

namespace {

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// A tiny valid PCM wave: 8 kHz, mono, 8-bit, 80 samples of silence.
QByteArray SilentWave()
{
    auto le32 = [](quint32 v) {
        QByteArray b(4, '\0');
        for (int i = 0; i < 4; ++i)
            b[i] = char((v >> (8 * i)) & 0xFF);
        return b;
    };
    auto le16 = [](quint16 v) {
        QByteArray b(2, '\0');
        b[0] = char(v & 0xFF);
        b[1] = char(v >> 8);
        return b;
    };
    const QByteArray samples(80, char(0x80));
    QByteArray wave = "RIFF" + le32(36 + samples.size()) + "WAVE";
    wave += "fmt " + le32(16) + le16(1) + le16(1) + le32(8000) + le32(8000) + le16(1) + le16(8);
    wave += "data" + le32(quint32(samples.size())) + samples;
    return wave;
}

} // namespace

class SoundTest : public EngineFixture {
protected:
    void SetUp() override
    {
        EngineFixture::SetUp();
        SetPlayHook([this](const QString& path) { played_ << path; });
    }

    QStringList played_;
};

TEST_F(SoundTest, MissingFileIsNotPlayed)
{
    const QString start = Path(QStringLiteral("start.wav"));
    WriteFile(start, SilentWave());
    PlaySfx(Path(QStringLiteral("cannon.wav")));
    PlaySfx(QString());
    PlaySfx(start);
    PlaySfx(start);
    EXPECT_EQ(played_, (QStringList{start, start})) << "an existing file plays on every call";
}

TEST_F(SoundTest, FolderIsNotPlayed)
{
    ASSERT_TRUE(QDir(dir_.path()).mkdir(QStringLiteral("win.wav")));
    PlaySfx(Path(QStringLiteral("win.wav")));
    EXPECT_TRUE(played_.isEmpty());
}

TEST_F(SoundTest, WithoutHookPlayingReturnsAtOnceWhateverTheFile)
{
    SetPlayHook(nullptr);
    const QString good = Path(QStringLiteral("start.wav"));
    const QString broken = Path(QStringLiteral("cb_hit.wav"));
    const QString truncated = Path(QStringLiteral("win.wav"));
    WriteFile(good, SilentWave());
    WriteFile(broken, QByteArray("not a wave file at all"));
    WriteFile(truncated, SilentWave().left(20));

    // A hang here fails the run through the test's time limit.
    for (int i = 0; i < 3; ++i) {
        PlaySfx(good);
        PlaySfx(broken);
        PlaySfx(truncated);
        PlaySfx(Path(QStringLiteral("absent.wav")));
        PavixGames::DoEvents();
    }
}
