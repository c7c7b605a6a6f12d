#pragma once

// Whole files written and read in one call, for the tests' own files.

#include <QByteArray>
#include <QFile>
#include <QString>

namespace TestFiles {

// Writes `bytes` to `path`, replacing what was there; false when not all of it was written.
inline bool write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        && file.write(bytes) == bytes.size();
}

// The bytes of the file at `path`, or "(missing)" when it cannot be read.
inline QByteArray read(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

} // namespace TestFiles
