#pragma once

// quxctl as a user starts it, next to the test programs: in the C locale (or the language
// given), without broker credentials from the environment.

#include <QCoreApplication>
#include <QProcess>

struct QuxctlRun
{
    int status = -1; // -1: did not end in time, or crashed
    QString out;
    QString err;
};

inline void prepareQuxctl(QProcess &process, const QString &language = QStringLiteral("C.UTF-8"))
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : { "LANGUAGE", "QUX_MQTT_USERNAME", "QUX_MQTT_PASSWORD" })
        environment.remove(QLatin1String(name));
    environment.insert(QStringLiteral("LC_ALL"), language);
    process.setProcessEnvironment(environment);
    process.setProgram(QCoreApplication::applicationDirPath() + QStringLiteral("/quxctl"));
}

inline QuxctlRun runQuxctl(const QStringList &arguments,
                           const QString &language = QStringLiteral("C.UTF-8"))
{
    QProcess process;
    prepareQuxctl(process, language);
    process.setArguments(arguments);
    process.start();
    QuxctlRun run;
    if (!process.waitForFinished(60000))
        return run;
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}
