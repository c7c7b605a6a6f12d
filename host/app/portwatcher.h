#pragma once

#include <QObject>
#include <QStringList>
#include <QTimer>

#include <functional>

namespace Orbexa::Internal {

// Keeps the list of serial ports current: the system's ports plus the extra ones the user
// named (pseudo-terminals such as the simulator's are not listed by the system). Polls once a
// second and emits portsChanged only when the list differs from the last one.
class PortWatcher : public QObject
{
    Q_OBJECT

public:
    using PortSource = std::function<QStringList()>;

    explicit PortWatcher(QObject *parent = nullptr);

    // Extra ports given as paths are offered only while the path exists, so that a stopped
    // simulator drops out of the list; plain names are always offered.
    void setExtraPorts(const QStringList &ports);
    QStringList extraPorts() const { return m_extraPorts; }

    // Replaces the system's port list (tests).
    void setSystemPortSource(PortSource source);
    static QStringList systemPorts();

    void setInterval(int milliseconds) { m_timer.setInterval(milliseconds); }
    void start();
    void stop() { m_timer.stop(); }

    QStringList ports() const { return m_ports; }

    // The ports of `available` that are not in `held`, in the order of `available`.
    static QStringList freePorts(const QStringList &available, const QStringList &held);

public slots:
    void refresh();

signals:
    void portsChanged(const QStringList &ports);

private:
    QStringList currentPorts() const;

    QTimer m_timer;
    PortSource m_source;
    QStringList m_extraPorts;
    QStringList m_ports;
    bool m_refreshed = false;
};

} // namespace Orbexa::Internal
