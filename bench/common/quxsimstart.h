#pragma once

// Starts the quxsim next to the bench with the given options and waits for the port it serves.

#include <QCoreApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

namespace BenchQuxsim {

// The pseudo-terminal quxsim reports it serves, or an empty text when it did not start within
// five seconds of silence.
inline QString start(QProcess &process, const QStringList &arguments)
{
    process.start(QCoreApplication::applicationDirPath() + QStringLiteral("/quxsim"), arguments);
    static const QRegularExpression serving(QStringLiteral("^quxsim: serving .+ on (\\S+)$"));
    QString port;
    while (port.isEmpty() && process.waitForReadyRead(5000)) {
        while (process.canReadLine()) {
            const QRegularExpressionMatch match
                = serving.match(QString::fromLocal8Bit(process.readLine()).trimmed());
            if (match.hasMatch())
                port = match.captured(1);
        }
    }
    return port;
}

} // namespace BenchQuxsim
