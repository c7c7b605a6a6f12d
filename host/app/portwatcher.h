#pragma once

#include <QObject>
#include <QStringList>
#include <QThread>
#include <QTimer>

#include <functional>

namespace Orbexa::Internal {

// Keeps the list of serial ports current: the system's ports plus the extra ones the user
// named (pseudo-terminals such as the simulator's are not listed by the system). Looks once a
// second and emits portsChanged only when the list differs from the last one.
//
// Asking the system for its ports takes milliseconds (device enumeration), so it never runs on
// the thread that owns the watcher: a worker thread of the watcher's own does it and delivers
// the list by a queued call. refresh() therefore only asks for a look; ports() is the list of
// the last one. A look asked for while one runs is made after it.
class PortWatcher : public QObject
{
    Q_OBJECT

public:
    // Called on the watcher's worker thread.
    using PortSource = std::function<QStringList()>;

    explicit PortWatcher(QObject *parent = nullptr);
    ~PortWatcher() override;

    // Extra ports given as paths are offered only while the path exists, so that a stopped
    // simulator drops out of the list; plain names are always offered.
    void setExtraPorts(const QStringList &ports);
    QStringList extraPorts() const { return m_extraPorts; }

    // Replaces the system's port list (tests); it must be safe to call from another thread.
    // Without one, the watcher asks systemPorts() again only when the device folders changed.
    void setSystemPortSource(PortSource source);
    static QStringList systemPorts();
    static PortSource changedSystemPorts();

    void setInterval(int milliseconds) { m_timer.setInterval(milliseconds); }
    void start();
    void stop() { m_timer.stop(); }

    QStringList ports() const { return m_ports; }
    // Waits (in an event loop) until the looks asked for so far have delivered; false on
    // time-out.
    bool waitForLook(int milliseconds = 5000);

    // The ports of `available` that are not in `held`, in the order of `available`.
    static QStringList freePorts(const QStringList &available, const QStringList &held);

public slots:
    void refresh();

signals:
    void portsChanged(const QStringList &ports);
    // A look delivered its list (changed or not).
    void looked();

private:
    static QStringList lookUp(const PortSource &source, const QStringList &extraPorts);
    void apply(const QStringList &ports);

    QTimer m_timer;
    QThread m_thread;
    QObject *m_worker; // lives in m_thread
    PortSource m_source;
    QStringList m_extraPorts;
    QStringList m_ports;
    bool m_refreshed = false;
    bool m_looking = false;
    bool m_lookAgain = false;
};

} // namespace Orbexa::Internal
