#pragma once

#include "quxsim_global.h"

#include <QByteArray>
#include <QList>
#include <QMetaType>
#include <QString>

#include <functional>
#include <memory>

QT_BEGIN_NAMESPACE
class QFile;
QT_END_NAMESPACE

namespace QuxSim {

// What became of one request frame that reached the sensor.
enum class Outcome {
    Answered, // answered as the protocol says
    Corrupted, // answered, with wrong checksum digits
    Dropped, // understood (and acted on), but the answer was lost
    Silent, // the sensor is silent
    Garbled, // host and sensor baud rates differ: unreadable bytes came back
    BadChecksum, // ignored: the request's checksum is wrong
    UnknownCommand, // ignored: no such command or an unacceptable value
    Unplugged, // the line is gone
};

QUXSIM_EXPORT QString outcomeName(Outcome outcome);

struct QUXSIM_EXPORT RequestLogEntry
{
    qint64 time = 0; // ms on the sensor's clock
    QByteArray request; // the raw request frame
    QByteArray body; // its body when the checksum was right, else empty
    QByteArray answer; // the answer frame as sent (empty when nothing was sent)
    Outcome outcome = Outcome::Answered;
    int delay = 0; // ms the answer was held back
    int noiseBytes = 0; // random bytes sent around the answer

    QString toString() const;
};

// Every request the sensor received, in order. The newest ones are kept in memory for tests (a
// ring of `capacity` entries, so that a long run does not grow without bound); every request is
// optionally appended, one line per request, to a file.
class QUXSIM_EXPORT RequestLog
{
public:
    static constexpr int defaultCapacity = 10000;

    RequestLog();
    ~RequestLog();

    void append(const RequestLogEntry &entry);
    // The newest entries, oldest first: at most capacity() of them.
    const QList<RequestLogEntry> &entries() const { return m_entries; }
    void clear() { m_entries.clear(); }
    // How many entries memory keeps; 0 keeps none (the file and the observer still see all).
    int capacity() const { return m_capacity; }
    void setCapacity(int capacity);
    // Entries that left memory because it was full.
    qint64 droppedCount() const { return m_dropped; }

    // The bodies of the requests in order; requests with a wrong checksum give their raw frame.
    QList<QByteArray> requests() const;
    int count(Outcome outcome) const;

    // Appends to the file from now on; an empty path stops writing. False when it cannot open.
    bool setFile(const QString &path, QString *errorMessage = nullptr);
    // The file's lines start with the arrival time to the microsecond instead of the millisecond.
    void setMicrosecondStamps(bool on) { m_microseconds = on; }

    // Called with every new entry (quxsim's --verbose prints them).
    void setObserver(std::function<void(const RequestLogEntry &)> observer);

private:
    QString stampNow() const;

    QList<RequestLogEntry> m_entries;
    int m_capacity = defaultCapacity;
    qint64 m_dropped = 0;
    bool m_microseconds = false;
    std::unique_ptr<QFile> m_file;
    std::function<void(const RequestLogEntry &)> m_observer;
};

} // namespace QuxSim

Q_DECLARE_METATYPE(QuxSim::Outcome)
