#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QSocketNotifier>
#include <QVector>

#include <functional>
#include <memory>

// The far end of a pseudo-terminal, driven from the test's event loop: it records every
// character with its arrival time, cuts requests from "/" to ".", and answers as the test's
// script says, at exactly the times the script asks for.
class PtyPeer : public QObject
{
    Q_OBJECT

public:
    PtyPeer();
    ~PtyPeer() override;

    bool isValid() const { return m_master >= 0; }
    QString portName() const { return m_slaveName; }

    // Milliseconds since the peer was created; the same clock as the timestamps below.
    double elapsedMs() const { return m_clock.nsecsElapsed() / 1e6; }

    // Called for every complete request; the default script stays silent.
    std::function<void(const QByteArray &request)> onRequest;

    void send(const QByteArray &data);
    void sendAfter(const QByteArray &data, int ms);
    // Closes the master side: the serial line hangs up as when an adapter is pulled out.
    void unplug();
    // Speed the line is currently set to (what the port applied), or -1.
    int lineBaudRate() const;

    QVector<QByteArray> requests;
    QVector<double> requestEndMs; // arrival time of each request's "."
    QByteArray rawReceived;
    QVector<double> characterMs; // arrival time of every received character

private:
    void readMaster();

    int m_master = -1;
    int m_slave = -1;
    QString m_slaveName;
    std::unique_ptr<QSocketNotifier> m_notifier;
    QElapsedTimer m_clock;
    QByteArray m_pending;
};
