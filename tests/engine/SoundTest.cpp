// Sound: which files reach the player, and that playing never blocks or fails.
#include "EngineFixture.h"

#include <QDir>

using namespace PavixSfxAPI;
using TestSupport::WriteAll;

namespace {

// A tiny valid PCM wave: 8 kHz, mono, 8-bit, 80 samples of silence.
QByteArray SilentWave()
{
    QByteArray wave = "RIFF" + TestSupport::Bytes({116, 0, 0, 0}) + "WAVEfmt ";
    wave += TestSupport::Bytes({16, 0, 0, 0, 1, 0, 1, 0, 0x40, 0x1F, 0, 0, 0x40, 0x1F, 0, 0, 1, 0, 8, 0});
    return wave + "data" + TestSupport::Bytes({80, 0, 0, 0}) + QByteArray(80, char(0x80));
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
    ASSERT_TRUE(WriteAll(start, SilentWave()));
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
    const QStringList files = {Path(QStringLiteral("start.wav")), Path(QStringLiteral("cb_hit.wav")),
                               Path(QStringLiteral("win.wav")), Path(QStringLiteral("absent.wav"))};
    ASSERT_TRUE(WriteAll(files[0], SilentWave()));
    ASSERT_TRUE(WriteAll(files[1], QByteArray("not a wave file at all")));
    ASSERT_TRUE(WriteAll(files[2], SilentWave().left(20)));
    // A hang here fails the run through the test's time limit.
    for (int i = 0; i < 3; ++i) {
        for (const QString& file : files)
            PlaySfx(file);
        PavixGames::DoEvents();
    }
}
