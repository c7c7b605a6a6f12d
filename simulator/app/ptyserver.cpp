#include "ptyserver.h"

#include "pacedwriter.h"

#include <simulatedsensor.h>
#include <simulatorlog.h>

#include <QSocketNotifier>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace QuxSim {

static int rateOf(speed_t speed)
{
    switch (speed) {
    case B1200:
        return 1200;
    case B2400:
        return 2400;
    case B4800:
        return 4800;
    case B9600:
        return 9600;
    case B19200:
        return 19200;
    case B38400:
        return 38400;
    case B57600:
        return 57600;
    case B115200:
        return 115200;
    case B230400:
        return 230400;
    default:
        return 0;
    }
}

PtyServer::PtyServer(SimulatedSensor *sensor, QObject *parent)
    : QObject(parent)
    , m_sensor(sensor)
    , m_writer(new PacedWriter(
          sensor, [this] { return m_master >= 0; },
          [this](QByteArray &pending, int count) { return writeToHost(pending, count); }, this))
{
}

PtyServer::~PtyServer()
{
    closeTerminal();
}

bool PtyServer::open(QString *errorMessage)
{
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0) {
        *errorMessage = QString::fromLocal8Bit(std::strerror(errno));
        closeTerminal();
        return false;
    }
    m_portName = QString::fromLocal8Bit(::ptsname(m_master));
    // Holding the slave side open keeps the master readable (instead of failing with EIO)
    // while no host has the port open.
    m_slave = ::open(::ptsname(m_master), O_RDWR | O_NOCTTY);
    termios settings {};
    if (m_slave < 0 || ::tcgetattr(m_slave, &settings) != 0) {
        *errorMessage = QString::fromLocal8Bit(std::strerror(errno));
        closeTerminal();
        return false;
    }
    ::cfmakeraw(&settings);
    // Until a host applies its own settings, the port runs at the sensor's rate.
    speed_t speed = B38400;
    for (speed_t candidate : { B9600, B19200, B38400, B57600, B115200 }) {
        if (rateOf(candidate) == m_sensor->model().baudrate())
            speed = candidate;
    }
    ::cfsetispeed(&settings, speed);
    ::cfsetospeed(&settings, speed);
    ::tcsetattr(m_slave, TCSANOW, &settings);
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);

    m_notifier = new QSocketNotifier(m_master, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &PtyServer::readRequests);
    return true;
}

int PtyServer::hostBaudrate() const
{
    // On the master, the terminal calls act on the slave side: these are the host's settings.
    termios settings {};
    if (m_master < 0 || ::tcgetattr(m_master, &settings) != 0)
        return 0;
    return rateOf(::cfgetospeed(&settings));
}

void PtyServer::readRequests()
{
    QByteArray received;
    char buffer[512];
    for (;;) {
        const ssize_t count = ::read(m_master, buffer, sizeof buffer);
        if (count > 0) {
            received.append(buffer, int(count));
            continue;
        }
        if (count < 0 && errno == EINTR)
            continue;
        break;
    }
    if (received.isEmpty())
        return;
    m_writer->send(m_sensor->receive(received, hostBaudrate()));
    if (m_sensor->isUnplugged()) {
        closeTerminal();
        emit unplugged();
    }
}

qint64 PtyServer::writeToHost(QByteArray &pending, int count)
{
    const int host = hostBaudrate();
    if (host != 0 && host != m_sensor->model().baudrate()
        && m_sensor->faults().baudMismatch == FaultSettings::BaudMismatch::Garble) {
        // The host listens at another rate than the sensor talks (it stepped on while a late
        // answer was on its way): a real line delivers framing errors, never the answer.
        for (int i = 0; i < count; ++i)
            pending[i] = char(0x80 | (pending.at(i) & 0x7f));
    }
    const ssize_t written = ::write(m_master, pending.constData(), size_t(count));
    if (written < 0 && errno == EAGAIN)
        return -1; // nobody reads the port and its buffer is full: lost, as on a line
    return qMax<qint64>(written, 0);
}

void PtyServer::closeTerminal()
{
    delete m_notifier;
    m_notifier = nullptr;
    m_writer->clear();
    if (m_slave >= 0)
        ::close(m_slave);
    if (m_master >= 0)
        ::close(m_master);
    m_slave = -1;
    m_master = -1;
}

} // namespace QuxSim
