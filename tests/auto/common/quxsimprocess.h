#pragma once

// quxsim, the simulated sensor program, serving on a pseudo-terminal behind a symbolic link,
// with its request log read back line by line. Used by the end-to-end connect tests and the
// connect benchmark.

#include <QByteArray>
#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <csignal>
#include <memory>

class QuxsimProcess
{
public:
    // One request as the sensor logged it.
    struct Entry
    {
        QDateTime at; // when it arrived
        QByteArray request; // the raw frame
        QString outcome; // "answered", "garbled", "silent", ...
        QByteArray answer; // what went back, empty when nothing
        int delayMs = 0;
    };

    // quxsim next to the test programs (`up` folders higher).
    static QString besideTests(int up = 0)
    {
        return QCoreApplication::applicationDirPath() + QStringLiteral("/..").repeated(up)
            + QStringLiteral("/quxsim");
    }

    // `dir` holds the link ("port") and the log ("requests.log"); without one, a temporary
    // folder of its own does, which goes with it.
    explicit QuxsimProcess(const QString &program = besideTests(), const QString &dir = QString())
        : m_ownDir(dir.isEmpty() ? std::make_unique<QTemporaryDir>() : nullptr)
        , m_dir(dir.isEmpty() ? m_ownDir->path() : dir)
        , m_program(program)
        , m_link(m_dir + QStringLiteral("/port"))
        , m_logPath(m_dir + QStringLiteral("/requests.log"))
    {
        m_process.setProcessChannelMode(QProcess::SeparateChannels);
    }
    ~QuxsimProcess() { stop(); }

    QString program() const { return m_program; }
    QString dir() const { return m_dir; }
    // A path in the link's folder.
    QString filePath(const QString &name) const { return m_dir + QLatin1Char('/') + name; }
    QString link() const { return m_link; }
    // The port it serves on last: the link, or "tcp://127.0.0.1:PORT" when started with
    // startTcp().
    QString port() const { return m_port; }

    // Starts quxsim with `options` and waits for it to serve.
    bool start(const QStringList &options = {})
    {
        stop();
        m_port = m_link;
        m_process.start(
            m_program,
            QStringList { QStringLiteral("--link"), m_link, QStringLiteral("--log"), m_logPath }
                + options);
        return m_process.waitForStarted(5000) && waitForLine("quxsim: serving");
    }

    // Starts quxsim on 127.0.0.1 only, without a pseudo-terminal: on `tcpPort`, or on a free
    // port when 0 (a restart after an unplug takes the port it had).
    bool startTcp(const QStringList &options = {}, int tcpPort = 0)
    {
        stop();
        m_process.start(m_program,
                        QStringList { QStringLiteral("--no-pty"), QStringLiteral("--tcp"),
                                      QString::number(tcpPort), QStringLiteral("--log"), m_logPath }
                            + options);
        if (!m_process.waitForStarted(5000) || !waitForLine("quxsim: serving"))
            return false;
        m_port = QString::fromUtf8(m_lastLine).section(QLatin1Char(' '), -1).trimmed();
        return m_port.startsWith(QLatin1String("tcp://"));
    }
    int tcpPort() const { return m_port.section(QLatin1Char(':'), -1).toInt(); }

    // Switches the sensor off and on (a baud rate written with "0?BR" applies then).
    bool powerCycle()
    {
        ::kill(pid_t(m_process.processId()), SIGHUP);
        return waitForLine("quxsim: power cycle");
    }

    bool waitForExit(int ms = 5000)
    {
        return m_process.state() == QProcess::NotRunning || m_process.waitForFinished(ms);
    }

    void stop()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.terminate();
        if (!m_process.waitForFinished(3000))
            m_process.kill();
        m_process.waitForFinished(1000);
    }

    // The requests logged since the last call.
    QList<Entry> take()
    {
        QList<Entry> entries;
        QFile file(m_logPath);
        if (!file.open(QIODevice::ReadOnly) || !file.seek(m_logOffset))
            return entries;
        static const QRegularExpression line(QStringLiteral(
            "^(\\S+) -?\\d+ ms  (\\S*)  -> (\\S+)(?: (\\S+))?(?: \\(delay (\\d+) ms\\))?"));
        // Only complete lines; a line being written is read next time.
        const QByteArray text = file.readAll();
        const int end = text.lastIndexOf('\n') + 1;
        m_logOffset += end;
        for (const QByteArray &bytes : text.left(end).split('\n')) {
            const QRegularExpressionMatch match = line.match(QString::fromUtf8(bytes));
            if (match.hasMatch())
                entries.append({ QDateTime::fromString(match.captured(1), Qt::ISODateWithMs),
                                 unescape(match.captured(2)), match.captured(3),
                                 unescape(match.captured(4)), match.captured(5).toInt() });
        }
        return entries;
    }

    // The frames of the requests logged since the last call.
    QList<QByteArray> takeRequests()
    {
        QList<QByteArray> requests;
        for (const Entry &entry : take())
            requests << entry.request;
        return requests;
    }

    static QByteArray unescape(const QString &text)
    {
        QByteArray bytes;
        for (int i = 0; i < text.size(); ++i) {
            if (text.at(i) == QLatin1Char('\\') && i + 3 < text.size()
                && text.at(i + 1) == QLatin1Char('x')) {
                bytes.append(char(text.mid(i + 2, 2).toInt(nullptr, 16)));
                i += 3;
            } else {
                bytes.append(text.at(i).toLatin1());
            }
        }
        return bytes;
    }

private:
    bool waitForLine(const char *start)
    {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 5000) {
            while (m_process.canReadLine()) {
                m_lastLine = m_process.readLine();
                if (m_lastLine.startsWith(start))
                    return true;
            }
            if (m_process.state() == QProcess::NotRunning)
                return false;
            m_process.waitForReadyRead(100);
        }
        return false;
    }

    std::unique_ptr<QTemporaryDir> m_ownDir;
    QString m_dir;
    QString m_program;
    QString m_link;
    QString m_logPath;
    QString m_port;
    QByteArray m_lastLine;
    qint64 m_logOffset = 0;
    QProcess m_process;
};
