// Sound: which files reach the player, and that playing never blocks or fails.
#include "EngineFixture.h"

#include <QCoreApplication>
#include <QDir>

using namespace PavixSfxAPI;
using TestSupport::Bytes;
using TestSupport::WriteAll;

class SoundTest : public EngineFixture {};

TEST_F(SoundTest, OnlyExistingFilesReachThePlayerEveryTime)
{
    QStringList played;
    SetPlayHook([&](const QString& path) { played << path; });
    const QString start = Path(QStringLiteral("start.wav")), folder = Path(QStringLiteral("win.wav"));
    ASSERT_TRUE(WriteAll(start, "RIFF") && QDir().mkdir(folder));
    for (const QString& file : {Path(QStringLiteral("cannon.wav")), QString(), start, folder, start})
        PlaySfx(file);
    EXPECT_EQ(played, (QStringList{start, start}));
}

TEST_F(SoundTest, WithoutHookPlayingReturnsAtOnceWhateverTheFile)
{
    const QString cut = Path(QStringLiteral("cb_hit.wav")), other = Path(QStringLiteral("win.wav"));
    ASSERT_TRUE(WriteAll(cut, "RIFF" + Bytes({116, 0, 0, 0}) + "WAVEfmt ") && WriteAll(other, "not a wave"));
    for (int i = 0; i < 3; ++i) // a hang here fails the run through the test's time limit
        PlaySfx(cut), PlaySfx(other), PlaySfx(Path(QStringLiteral("absent.wav"))), QCoreApplication::processEvents();
}
