#include "scanjob.h"

#include "hostlog.h"
#include "pluginloader.h"

#include <serialportinterface.h>

#include <QMutexLocker>
#include <QThread>

namespace Orbexa::Internal {

ScanJob::ScanJob(const QList<LoadedPlugin *> &plugins, const QStringList &ports,
                 PortFactory factory, PortCanceller canceller, QObject *parent)
    : QObject(parent)
    , m_plugins(plugins)
    , m_ports(ports)
    , m_factory(std::move(factory))
    , m_canceller(std::move(canceller))
{
    qRegisterMetaType<ExtensionSystem::SensorBasic>();
}

ScanJob::~ScanJob()
{
    cancel();
    wait();
    delete m_thread;
}

void ScanJob::start()
{
    if (m_thread)
        return;
    m_thread = QThread::create([this] { run(); });
    m_thread->setObjectName(QStringLiteral("Sensor scan"));
    connect(m_thread, &QThread::finished, this, [this] { emit finished(m_cancelled); });
    m_thread->start();
}

void ScanJob::cancel()
{
    m_cancelled = true;
    QMutexLocker locker(&m_portMutex);
    if (m_currentPort && m_canceller)
        m_canceller(m_currentPort);
}

bool ScanJob::isRunning() const
{
    return m_thread && m_thread->isRunning();
}

void ScanJob::wait()
{
    if (m_thread)
        m_thread->wait();
}

void ScanJob::run()
{
    for (int index = 0; index < m_ports.size() && !m_cancelled; ++index) {
        const QString port = m_ports.at(index);
        emit portStarted(index, port);
        bool found = false;
        for (int pluginIndex = 0; pluginIndex < m_plugins.size() && !found && !m_cancelled;
             ++pluginIndex) {
            std::unique_ptr<ExtensionSystem::SerialPortInterface> portObject = m_factory(port);
            if (!portObject)
                break;
            {
                QMutexLocker locker(&m_portMutex);
                m_currentPort = portObject.get();
            }
            std::unique_ptr<ExtensionSystem::SensorBasic> sensor
                = m_plugins.at(pluginIndex)->scanForSensor(portObject.get());
            {
                QMutexLocker locker(&m_portMutex);
                m_currentPort = nullptr;
            }
            // A result that arrives after the user cancelled is dropped: the port may have
            // given up half way, and the user no longer waits for it.
            if (sensor && !m_cancelled) {
                found = true;
                qCInfo(hostLog).noquote() << "Scan found group" << sensor->group() << "on" << port;
                emit sensorFound(pluginIndex, *sensor, port);
            }
        }
        emit portFinished(index, port, found);
    }
}

} // namespace Orbexa::Internal
