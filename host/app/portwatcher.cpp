#include "portwatcher.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QSerialPortInfo>

namespace Orbexa::Internal {

PortWatcher::PortWatcher(QObject *parent)
    : QObject(parent)
    , m_worker(new QObject)
    , m_source(&PortWatcher::systemPorts)
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
    m_source = source ? std::move(source) : PortSource(&PortWatcher::systemPorts);
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
