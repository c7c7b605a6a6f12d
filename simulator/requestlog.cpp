#include "requestlog.h"

#include <QDateTime>
#include <QFile>

#include <algorithm>
#include <chrono>

namespace QuxSim {

QString outcomeName(Outcome outcome)
{
    switch (outcome) {
    case Outcome::Answered:
        return QStringLiteral("answered");
    case Outcome::Corrupted:
        return QStringLiteral("corrupted");
    case Outcome::Dropped:
        return QStringLiteral("dropped");
    case Outcome::Silent:
        return QStringLiteral("silent");
    case Outcome::Garbled:
        return QStringLiteral("garbled");
    case Outcome::BadChecksum:
        return QStringLiteral("bad-checksum");
    case Outcome::UnknownCommand:
        return QStringLiteral("unknown");
    case Outcome::Unplugged:
        return QStringLiteral("unplugged");
    }
    return QString();
}

// Control characters and bytes above 0x7E would break the one-line-per-request file.
static QString printable(const QByteArray &bytes)
{
    QString text;
    for (char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (u >= 0x20 && u < 0x7F && u != '\\')
            text += QLatin1Char(c);
        else
            text += QStringLiteral("\\x%1").arg(u, 2, 16, QLatin1Char('0'));
    }
    return text;
}

QString RequestLogEntry::toString() const
{
    QString text = QStringLiteral("%1 ms  %2  -> %3")
                       .arg(time)
                       .arg(printable(request), outcomeName(outcome));
    if (!answer.isEmpty())
        text += QStringLiteral(" %1").arg(printable(answer));
    if (delay > 0)
        text += QStringLiteral(" (delay %1 ms)").arg(delay);
    if (noiseBytes > 0)
        text += QStringLiteral(" (+%1 noise bytes)").arg(noiseBytes);
    return text;
}

RequestLog::RequestLog() = default;
RequestLog::~RequestLog() = default;

void RequestLog::append(const RequestLogEntry &entry)
{
    if (m_capacity > 0)
        m_entries.append(entry);
    else
        ++m_dropped;
    setCapacity(m_capacity);
    if (m_file) {
        const QString line = stampNow() + QLatin1Char(' ') + entry.toString() + QLatin1Char('\n');
        m_file->write(line.toUtf8());
        m_file->flush();
    }
    if (m_observer)
        m_observer(entry);
}

// The arrival time in UTC, ISO 8601: milliseconds, or microseconds (three more fraction digits,
// which readers of the millisecond form round away) for timing a line closely.
QString RequestLog::stampNow() const
{
    const qint64 us = std::chrono::duration_cast<std::chrono::microseconds>(
                          std::chrono::system_clock::now().time_since_epoch())
                          .count();
    const QDateTime at = QDateTime::fromMSecsSinceEpoch(us / 1000, Qt::UTC);
    if (!m_microseconds)
        return at.toString(Qt::ISODateWithMs);
    return at.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz"))
        + QStringLiteral("%1Z").arg(us % 1000, 3, 10, QLatin1Char('0'));
}

void RequestLog::setCapacity(int capacity)
{
    m_capacity = std::max(0, capacity);
    while (m_entries.size() > m_capacity) {
        m_entries.removeFirst(); // constant time for QList
        ++m_dropped;
    }
}

QList<QByteArray> RequestLog::requests() const
{
    QList<QByteArray> result;
    for (const RequestLogEntry &entry : m_entries)
        result.append(entry.body.isEmpty() ? entry.request : entry.body);
    return result;
}

int RequestLog::count(Outcome outcome) const
{
    return int(std::count_if(m_entries.begin(), m_entries.end(),
                             [outcome](const RequestLogEntry &e) { return e.outcome == outcome; }));
}

bool RequestLog::setFile(const QString &path, QString *errorMessage)
{
    m_file.reset();
    if (path.isEmpty())
        return true;
    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) {
        if (errorMessage)
            *errorMessage = file->errorString();
        return false;
    }
    m_file = std::move(file);
    return true;
}

void RequestLog::setObserver(std::function<void(const RequestLogEntry &)> observer)
{
    m_observer = std::move(observer);
}

} // namespace QuxSim
