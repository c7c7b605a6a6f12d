#pragma once

// A mosquitto broker of the test's own on free ports of 127.0.0.1, with three listeners: plain
// and open, plain with a password file, and TLS with a password file and a certificate from a
// test certificate authority made with openssl. A second authority, which signed nothing the
// broker shows, stands for a certificate that does not verify. Plus mosquitto_sub as the
// subscriber. Used by the publishing tests and the broker benchmark.

#include "testfiles.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QThread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

class BrokerProcess
{
public:
    static QString program()
    {
        const QString found = QStandardPaths::findExecutable(QStringLiteral("mosquitto"),
                                                             { "/usr/sbin", "/usr/local/sbin" });
        return found.isEmpty() ? QStandardPaths::findExecutable(QStringLiteral("mosquitto"))
                               : found;
    }
    static bool available()
    {
        return !program().isEmpty()
            && !QStandardPaths::findExecutable(QStringLiteral("mosquitto_sub")).isEmpty()
            && !QStandardPaths::findExecutable(QStringLiteral("mosquitto_passwd")).isEmpty()
            && !QStandardPaths::findExecutable(QStringLiteral("openssl")).isEmpty();
    }

    // A port nothing listens on now (the kernel's choice for an ephemeral bind).
    static int freePort()
    {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address = {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        int port = 0;
        if (::bind(fd, reinterpret_cast<sockaddr *>(&address), size) == 0
            && ::getsockname(fd, reinterpret_cast<sockaddr *>(&address), &size) == 0)
            port = ntohs(address.sin_port);
        ::close(fd);
        return port;
    }

    explicit BrokerProcess(const QString &dir)
        : m_dir(dir)
    {
    }
    ~BrokerProcess() { stop(); }

    static constexpr char user[] = "plant";
    static constexpr char password[] = "s3cret line";

    // Certificates, password and credentials files, the configuration; once.
    bool prepare()
    {
        const QString d = m_dir + QLatin1Char('/');
        TestFiles::write(d + "san.cnf", "subjectAltName=IP:127.0.0.1\n");
        TestFiles::write(d + "login", QByteArray(user) + '\n' + password + '\n');
        TestFiles::write(d + "wrong-login", QByteArray(user) + "\nnot the password\n");
        const QStringList key { "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1",
                                "-nodes" };
        if (!run("openssl",
                 QStringList { "req", "-x509" } + key
                     + QStringList { "-keyout", d + "ca.key", "-out", d + "ca.crt", "-days", "2",
                                     "-subj", "/CN=qux test authority" })
            || !run("openssl",
                    QStringList { "req", "-x509" } + key
                        + QStringList { "-keyout", d + "other.key", "-out", d + "other.crt",
                                        "-days", "2", "-subj", "/CN=another authority" })
            || !run("openssl",
                    QStringList { "req" } + key
                        + QStringList { "-keyout", d + "server.key", "-out", d + "server.csr",
                                        "-subj", "/CN=127.0.0.1" })
            || !run("openssl",
                    { "x509", "-req", "-in", d + "server.csr", "-CA", d + "ca.crt", "-CAkey",
                      d + "ca.key", "-CAcreateserial", "-out", d + "server.crt", "-days", "2",
                      "-extfile", d + "san.cnf" })
            || !run("mosquitto_passwd", { "-b", "-c", d + "passwords", user, password }))
            return false;
        choosePorts();
        return true;
    }

    // Starts the broker on the ports chosen, and waits until every listener takes connections.
    // A port chosen free can be taken by another test's process before the broker binds it;
    // then the broker starts again on new ports, up to three times.
    bool start()
    {
        for (int attempt = 0; attempt < 3; ++attempt) {
            if (attempt > 0)
                choosePorts();
            if (startOnce())
                return true;
        }
        return false;
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
    // What the broker printed (every attempt's).
    QByteArray output() { return m_output + m_process.readAll(); }

    QString plainUrl() const { return QStringLiteral("mqtt://127.0.0.1:%1").arg(m_plain); }
    QString loginUrl() const { return QStringLiteral("mqtt://127.0.0.1:%1").arg(m_login); }
    QString tlsUrl() const { return QStringLiteral("mqtts://127.0.0.1:%1").arg(m_tls); }
    QString file(const char *name) const { return m_dir + QLatin1Char('/') + QLatin1String(name); }
    int plainPort() const { return m_plain; }

    static bool accepts(int port)
    {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address = {};
        address.sin_family = AF_INET;
        address.sin_port = htons(quint16(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        const bool ok = ::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
        ::close(fd);
        return ok;
    }

private:
    void choosePorts()
    {
        m_plain = freePort();
        m_login = freePort();
        m_tls = freePort();
        const QString d = m_dir + QLatin1Char('/');
        const QString config = QStringLiteral("per_listener_settings true\npersistence false\n"
                                              "user root\nlog_dest stderr\n"
                                              "listener %1 127.0.0.1\nallow_anonymous true\n"
                                              "listener %2 127.0.0.1\nallow_anonymous false\n"
                                              "password_file %4passwords\n"
                                              "listener %3 127.0.0.1\nallow_anonymous false\n"
                                              "password_file %4passwords\ncafile %4ca.crt\n"
                                              "certfile %4server.crt\nkeyfile %4server.key\n")
                                   .arg(m_plain)
                                   .arg(m_login)
                                   .arg(m_tls)
                                   .arg(d);
        TestFiles::write(d + "mosquitto.conf", config.toUtf8());
    }

    bool startOnce()
    {
        stop();
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        m_process.start(program(), { "-c", m_dir + "/mosquitto.conf" });
        if (!m_process.waitForStarted(5000))
            return false;
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 10000) {
            if (accepts(m_plain) && accepts(m_login) && accepts(m_tls))
                return true;
            if (m_process.state() == QProcess::NotRunning)
                break;
            // Waiting on the broker's output keeps what it says for a failure's message.
            m_process.waitForReadyRead(20);
        }
        stop();
        m_output += m_process.readAll();
        return false;
    }

    static bool run(const QString &program, const QStringList &arguments)
    {
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(program, arguments);
        if (!process.waitForFinished(30000) || process.exitCode() != 0) {
            qWarning("%s failed: %s", qPrintable(program), process.readAll().constData());
            return false;
        }
        return true;
    }

    QString m_dir;
    int m_plain = 0;
    int m_login = 0;
    int m_tls = 0;
    QProcess m_process;
    QByteArray m_output;
};

// mosquitto_sub on the plain listener, every message as "topic<TAB>payload" (a sensor type
// holds a space).
class Subscriber
{
public:
    struct Message
    {
        QString topic;
        QByteArray payload;
    };

    bool start(int port, const QString &filter = QStringLiteral("qux/#"))
    {
        m_process.start(QStandardPaths::findExecutable(QStringLiteral("mosquitto_sub")),
                        { "-h", "127.0.0.1", "-p", QString::number(port), "-t", filter, "-F",
                          "%t\t%p", "-q", "1" });
        if (!m_process.waitForStarted(5000))
            return false;
        // mosquitto_sub prints nothing once subscribed; a short grace lets the subscription in.
        QThread::msleep(300);
        return true;
    }
    ~Subscriber()
    {
        m_process.terminate();
        m_process.waitForFinished(2000);
    }

    // Everything received so far.
    QList<Message> messages()
    {
        m_buffer += m_process.readAllStandardOutput();
        const int end = m_buffer.lastIndexOf('\n') + 1;
        for (const QByteArray &line : m_buffer.left(end).split('\n')) {
            const int tab = line.indexOf('\t');
            if (tab > 0)
                m_messages.append({ QString::fromUtf8(line.left(tab)), line.mid(tab + 1) });
        }
        m_buffer.remove(0, end);
        return m_messages;
    }
    // The payloads of the topics that end in `suffix`.
    QList<QByteArray> payloads(const QString &suffix)
    {
        QList<QByteArray> result;
        for (const Message &message : messages()) {
            if (message.topic.endsWith(suffix))
                result << message.payload;
        }
        return result;
    }
    void wait(int ms) { m_process.waitForReadyRead(ms); }

private:
    QProcess m_process;
    QByteArray m_buffer;
    QList<Message> m_messages;
};
