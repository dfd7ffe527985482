// Small helpers for tests of the game logic, which run without Qt's GUI.
#pragma once

#include <QByteArray>
#include <QFile>
#include <initializer_list>

namespace LogicSupport {

// Bytes from small numbers: Bytes({1, 255, 13}).
inline QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(char(v));
    return out;
}

// A file's bytes (empty when it cannot be read); writing reports success.
inline QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
inline bool WriteAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

} // namespace LogicSupport
