// Shared set-up of the engine tests: every test runs the engine in a fresh
// temporary folder and leaves no module state behind.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "engine/PavixGDI.h"
#include "engine/PavixGames.h"
#include "engine/PavixSfxAPI.h"
#include "tests/TestSupport.h"

class EngineFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        PavixGDI::ResetForTests();
        PavixGames::ResetForTests();
        PavixGames::SetAppPathOverride(dir_.path());
    }

    void TearDown() override
    {
        PavixGDI::ResetForTests();
        PavixGames::ResetForTests();
        PavixGames::SetAppPathOverride(QString());
        PavixGames::UseSteppingTestClock();
        PavixSfxAPI::SetPlayHook(nullptr);
    }

    QString Path(const QString& name) const { return dir_.filePath(name); }
    QString EngineLogPath() const { return Path(QStringLiteral("engine.log")); }

    static QByteArray ReadBytes(const QString& path) { return TestSupport::ReadAll(path); }

    // The file's lines without their CR LF ends. Fails the test when a line
    // ends any other way.
    static QStringList ReadLines(const QString& path)
    {
        const QByteArray bytes = ReadBytes(path);
        if (bytes.isEmpty())
            return {};
        EXPECT_TRUE(bytes.endsWith("\r\n")) << "log does not end with CR LF";
        QStringList lines = QString::fromUtf8(bytes).split(QStringLiteral("\r\n"));
        lines.removeLast(); // after the final CR LF
        for (const QString& line : lines)
            EXPECT_FALSE(line.contains(QLatin1Char('\n')) || line.contains(QLatin1Char('\r')));
        return lines;
    }

    // Whether `line` is a time stamp followed exactly by `rest`.
    static bool IsStamped(const QString& line, const QString& rest)
    {
        static const QRegularExpression stamp(QStringLiteral(
            "^[1-9][0-9]?-(Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec)-[0-9]{4}, "
            "[0-2][0-9]:[0-5][0-9]:[0-5][0-9]"));
        const QRegularExpressionMatch match = stamp.match(line);
        return match.hasMatch() && line.mid(match.capturedLength()) == rest;
    }

    QTemporaryDir dir_;
};
