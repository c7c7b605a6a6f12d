#include "ptypeer.h"

#include <QTimer>

#include <utility>

#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

PtyPeer::PtyPeer()
{
    m_clock.start();
    char name[128] = {};
    if (::openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0) {
        m_master = m_slave = -1;
        return;
    }
    m_slaveName = QString::fromLocal8Bit(name);
    // Raw from the start, so nothing is echoed before the port under test configures the line.
    // The slave stays open here: without it the master reads hang-ups whenever the port closes.
    termios mode {};
    ::tcgetattr(m_slave, &mode);
    ::cfmakeraw(&mode);
    ::tcsetattr(m_slave, TCSANOW, &mode);
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    m_notifier = std::make_unique<QSocketNotifier>(m_master, QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &PtyPeer::readMaster);
}

PtyPeer::~PtyPeer()
{
    unplug();
    if (m_slave >= 0)
        ::close(m_slave);
}

void PtyPeer::send(const QByteArray &data)
{
    if (m_master >= 0)
        (void)::write(m_master, data.constData(), size_t(data.size()));
}

void PtyPeer::sendAfter(const QByteArray &data, int ms)
{
    QTimer::singleShot(ms, Qt::PreciseTimer, this, [this, data] { send(data); });
}

void PtyPeer::unplug()
{
    m_notifier.reset();
    if (m_master >= 0)
        ::close(m_master);
    m_master = -1;
}

int PtyPeer::lineBaudRate() const
{
    termios mode {};
    if (m_slave < 0 || ::tcgetattr(m_slave, &mode) != 0)
        return -1;
    const speed_t speed = ::cfgetospeed(&mode);
    const std::pair<speed_t, int> rates[] = { { B9600, 9600 },
                                              { B19200, 19200 },
                                              { B38400, 38400 },
                                              { B57600, 57600 },
                                              { B115200, 115200 } };
    for (const auto &rate : rates)
        if (rate.first == speed)
            return rate.second;
    return 0;
}

void PtyPeer::readMaster()
{
    char buffer[256];
    for (;;) {
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n <= 0)
            return;
        const double now = elapsedMs();
        for (ssize_t i = 0; i < n; ++i) {
            const char c = buffer[i];
            rawReceived += c;
            characterMs << now;
            if (c == '/')
                m_pending = "/";
            else if (!m_pending.isEmpty())
                m_pending += c;
            if (c == '.' && !m_pending.isEmpty()) {
                const QByteArray request = m_pending;
                m_pending.clear();
                requests << request;
                requestEndMs << now;
                if (onRequest)
                    onRequest(request);
                if (m_master < 0)
                    return; // the script unplugged the line
            }
        }
    }
}
