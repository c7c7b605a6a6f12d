#include "portwatcher.h"

#include <QDateTime>
#include <QEventLoop>
#include <QFileInfo>
#include <QSerialPortInfo>

#include <memory>

namespace Orbexa::Internal {

namespace {

// Asking the system for its ports enumerates every terminal device (tens of milliseconds of
// CPU, once a second, beside a live line that needs the CPU on time). A port that comes or goes
// adds or removes a node in the device folders, which changes their modification times: the
// ports are enumerated again when a time changed, and every tenth look regardless (a device
// whose details the system completes only after its node appeared).
class SystemPortCache
{
public:
    QStringList ports()
    {
        const QList<qint64> stamp = folderStamp();
        if (m_looks > 0 && m_looks < looksPerEnumeration && stamp == m_stamp) {
            ++m_looks;
            return m_ports;
        }
        m_stamp = stamp; // taken before: a change during the enumeration shows next time
        m_ports = PortWatcher::systemPorts();
        m_looks = 1;
        return m_ports;
    }

private:
    static constexpr int looksPerEnumeration = 10;

    static QList<qint64> folderStamp()
    {
        QList<qint64> stamp;
        for (const char *folder : { "/dev", "/dev/char", "/dev/serial/by-id" }) {
            const QFileInfo info(QString::fromLatin1(folder));
            stamp << (info.exists() ? info.lastModified().toMSecsSinceEpoch() : -1);
        }
        return stamp;
    }

    QList<qint64> m_stamp;
    QStringList m_ports;
    int m_looks = 0;
};

} // namespace

PortWatcher::PortWatcher(QObject *parent)
    : QObject(parent)
    , m_worker(new QObject)
    , m_source(changedSystemPorts())
{
    m_timer.setInterval(1000);
    connect(&m_timer, &QTimer::timeout, this, &PortWatcher::refresh);
    m_thread.setObjectName(QStringLiteral("PortWatcher"));
    m_worker->moveToThread(&m_thread);
    m_thread.start(QThread::LowPriority);
}

PortWatcher::~PortWatcher()
{
    // A look that still runs delivers to nobody: its queued call dies with this object.
    m_thread.quit();
    m_thread.wait();
    delete m_worker;
}

void PortWatcher::setExtraPorts(const QStringList &ports)
{
    m_extraPorts.clear();
    for (const QString &port : ports) {
        const QString trimmed = port.trimmed();
        if (!trimmed.isEmpty() && !m_extraPorts.contains(trimmed))
            m_extraPorts << trimmed;
    }
    refresh();
}

void PortWatcher::setSystemPortSource(PortSource source)
{
    m_source = source ? std::move(source) : changedSystemPorts();
    refresh();
}

QStringList PortWatcher::systemPorts()
{
    QStringList ports;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
        // Full device paths on Unix, so that they compare equal to the paths users type.
#ifdef Q_OS_UNIX
        ports << info.systemLocation();
#else
        ports << info.portName();
#endif
    }
    ports.sort();
    return ports;
}

// Each look runs on the worker thread after the previous one ended, so the cache is never used
// by two threads at once.
PortWatcher::PortSource PortWatcher::changedSystemPorts()
{
    auto cache = std::make_shared<SystemPortCache>();
    return [cache] { return cache->ports(); };
}

void PortWatcher::start()
{
    refresh();
    m_timer.start();
}

// Runs on the worker thread.
QStringList PortWatcher::lookUp(const PortSource &source, const QStringList &extraPorts)
{
    QStringList ports = source();
    for (const QString &port : extraPorts) {
        if (ports.contains(port))
            continue;
        if (port.contains(QLatin1Char('/')) && !QFileInfo::exists(port))
            continue;
        ports << port;
    }
    return ports;
}

void PortWatcher::refresh()
{
    if (m_looking) {
        m_lookAgain = true;
        return;
    }
    m_looking = true;
    QMetaObject::invokeMethod(
        m_worker,
        [this, source = m_source, extra = m_extraPorts] {
            const QStringList ports = lookUp(source, extra);
            QMetaObject::invokeMethod(
                this, [this, ports] { apply(ports); }, Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
}

void PortWatcher::apply(const QStringList &ports)
{
    m_looking = false;
    if (m_lookAgain) {
        // The extras or the source changed while the worker looked: that list may be stale.
        m_lookAgain = false;
        refresh();
        return;
    }
    const bool changed = !m_refreshed || ports != m_ports;
    m_refreshed = true;
    m_ports = ports;
    if (changed)
        emit portsChanged(m_ports);
    emit looked();
}

bool PortWatcher::waitForLook(int milliseconds)
{
    if (!m_looking)
        return true;
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, [&loop] { loop.exit(1); });
    connect(this, &PortWatcher::looked, &loop, [&loop] { loop.exit(0); });
    return loop.exec() == 0;
}

QStringList PortWatcher::freePorts(const QStringList &available, const QStringList &held)
{
    QStringList free;
    for (const QString &port : available) {
        if (!held.contains(port))
            free << port;
    }
    return free;
}

} // namespace Orbexa::Internal
