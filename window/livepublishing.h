#pragma once

#include <QList>
#include <QObject>
#include <QString>

class QLabel;
class QStatusBar;
class QThread;

namespace DrumoSensorPlugin {
namespace Core {

class MqttPublisher;
class SensorSession;

// The window's live data to the broker of the host's preferences ("Publish live data"): the
// samples the poller read (not the repeats it plots while the sensor is silent), the output
// states, and the analog signal while the sensor drives an analog output, under the topics
// quxctl uses.
//
// While wanted, the broker connection is opened at the first sample read after the port was
// opened, under the base topic of that port; the port going away or changing closes it with
// "offline", as does the action unchecked or the window closed. Live data paused around a
// write keeps it. A start that failed for the settings' sake is not tried again until the
// action or the port changes.
//
// Each publisher runs on a thread of its own, where its connecting and its stop (which waits
// for "offline" to reach the broker) take place; a sample is only handed over. Neither the GUI
// thread nor the polling waits for the network. Its state shows in a label in the status bar.
class LivePublishing : public QObject
{
    Q_OBJECT

public:
    LivePublishing(SensorSession &session, QStatusBar *statusBar, QObject *parent = nullptr);
    // Publishes "offline" and waits (a few seconds at most) for the publishers to finish.
    ~LivePublishing() override;

    void setWanted(bool on);
    bool isWanted() const { return m_wanted; }
    // The window's port changed; empty when it went offline.
    void portChanged(const QString &port);

    bool isPublishing() const { return m_publisher != nullptr; }
    QString statusText() const;

private:
    void answerArrived() { m_fresh = true; }
    void sampleArrived(double temperature, double analogSignal);
    void outputStatesArrived(int states);
    bool start();
    void stop();
    void showRefused(const QString &reason);
    void setStatus(const QString &text);
    void reportLost(quint64 generation, const QString &reason, bool fatal);

    SensorSession &m_session;
    QLabel *m_status;
    bool m_wanted = false;
    bool m_failed = false;
    bool m_fresh = false;
    MqttPublisher *m_publisher = nullptr; // lives in m_thread
    QThread *m_thread = nullptr;
    // Threads of stopped publishers until they have finished.
    QList<QThread *> m_retiring;
    // Counts the publishers started: a signal of an earlier one changes nothing.
    quint64 m_generation = 0;
    QString m_where; // HOST:PORT
};

} // namespace Core
} // namespace DrumoSensorPlugin
