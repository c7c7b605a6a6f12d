#include "portwatcher.h"

#include <QFileInfo>
#include <QSerialPortInfo>

namespace Orbexa::Internal {

PortWatcher::PortWatcher(QObject *parent)
    : QObject(parent)
    , m_source(&PortWatcher::systemPorts)
{
    m_timer.setInterval(1000);
    connect(&m_timer, &QTimer::timeout, this, &PortWatcher::refresh);
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

QStringList PortWatcher::currentPorts() const
{
    QStringList ports = m_source();
    for (const QString &port : m_extraPorts) {
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
    const QStringList ports = currentPorts();
    if (m_refreshed && ports == m_ports)
        return;
    m_refreshed = true;
    m_ports = ports;
    emit portsChanged(m_ports);
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
