#pragma once

#include <sensorbasic.h>

#include <QList>
#include <QMutex>
#include <QObject>
#include <QStringList>

#include <atomic>
#include <functional>
#include <memory>

class QThread;

namespace ExtensionSystem {
class SerialPortInterface;
}

namespace Orbexa::Internal {

class LoadedPlugin;

// Runs the plug-ins' blocking scanForSensor over a list of ports in a worker thread, one port
// after the other, and reports per port. Each probe of a silent port takes seconds, so the
// job can be cancelled: the port being probed is told to give up, and no further port starts.
class ScanJob : public QObject
{
    Q_OBJECT

public:
    // Makes the port object for one port name; called in the worker thread.
    using PortFactory
        = std::function<std::unique_ptr<ExtensionSystem::SerialPortInterface>(const QString &)>;
    // Makes a probe in progress give up; called from the GUI thread while the worker uses the
    // port, so it must be thread-safe.
    using PortCanceller = std::function<void(ExtensionSystem::SerialPortInterface *)>;

    ScanJob(const QList<LoadedPlugin *> &plugins, const QStringList &ports, PortFactory factory,
            PortCanceller canceller, QObject *parent = nullptr);
    ~ScanJob() override; // cancels and waits

    void start();
    void cancel();
    bool isRunning() const;
    bool isCancelled() const { return m_cancelled; }
    void wait();

signals:
    void portStarted(int index, const QString &port);
    // `pluginIndex` indexes the plug-in list given to the constructor.
    void sensorFound(int pluginIndex, const ExtensionSystem::SensorBasic &sensor,
                     const QString &port);
    void portFinished(int index, const QString &port, bool found);
    void finished(bool cancelled);

private:
    void run();

    QList<LoadedPlugin *> m_plugins;
    QStringList m_ports;
    PortFactory m_factory;
    PortCanceller m_canceller;
    QThread *m_thread = nullptr;
    std::atomic<bool> m_cancelled { false };
    QMutex m_portMutex;
    ExtensionSystem::SerialPortInterface *m_currentPort = nullptr;
};

} // namespace Orbexa::Internal
