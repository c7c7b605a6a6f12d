#include "exporttext.h"

#include "valueovertime.h"

#include <safefile.h>

#include <QCoreApplication>
#include <QDateTime>

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>

namespace Utils {

namespace {

const qint64 msPerHour = 3600 * 1000;
const qint64 msPerDay = 24 * msPerHour;
const int rowsPerProgress = 1 << 14;

QString fileProblemText(const ExtensionSystem::FileStatus &status)
{
    using ExtensionSystem::FileProblem;
    switch (status.problem) {
    case FileProblem::None:
        return QString();
    case FileProblem::Directory:
        return QCoreApplication::translate("Utils::ExportDialog", "it is a folder");
    case FileProblem::NotRegularFile:
        return QCoreApplication::translate("Utils::ExportDialog",
                                           "it is a device, pipe or socket, not a file");
    default:
        return status.reason;
    }
}

qint64 floorDiv(qint64 a, qint64 b)
{
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

inline char *twoDigits(char *out, int value)
{
    *out++ = char('0' + value / 10);
    *out++ = char('0' + value % 10);
    return out;
}

// Sample times as local "dd-MM-yyyy hh:mm:ss.zzz", the text QDateTime::toString gives with
// ASCII digits. Asking the system for the local time costs microseconds per sample, so the
// offset from UTC is asked at both ends of each hour of samples: when it is the same at both
// ends it holds for the whole hour (offsets change at most once within an hour), otherwise it
// is asked for every sample of that hour.
class LocalTimeText
{
public:
    // The text of `time` (ms since the epoch) into `out` (at least 24 characters) and its
    // length; -1 with the text in fallbackText for times that Qt writes otherwise.
    int write(double time, char *out)
    {
        if (!(std::fabs(time) < 9.2e18)) // no 64-bit millisecond count; also NaN
            return fallback(QDateTime());
        const qint64 ms = qint64(time);
        if (ms < 0) // Qt's local time before 1970 follows rules of its own
            return fallback(QDateTime::fromMSecsSinceEpoch(ms, Qt::LocalTime));
        const qint64 hour = floorDiv(ms, msPerHour);
        if (hour != m_hour) {
            m_hour = hour;
            m_offset = offset(hour * msPerHour);
            m_constant = m_offset == offset(hour * msPerHour + msPerHour - 1);
        }
        const qint64 local = ms + (m_constant ? m_offset : offset(ms));
        const qint64 day = floorDiv(local, msPerDay);
        const int msOfDay = int(local - day * msPerDay);
        int year, month, dayOfMonth;
        QDate::fromJulianDay(day + 2440588).getDate(&year, &month, &dayOfMonth);
        if (year < 1000 || year > 9999) // other widths: as Qt writes them
            return fallback(QDateTime::fromMSecsSinceEpoch(ms, Qt::LocalTime));
        char *p = twoDigits(out, dayOfMonth);
        *p++ = '-';
        p = twoDigits(p, month);
        *p++ = '-';
        p = twoDigits(p, year / 100);
        p = twoDigits(p, year % 100);
        *p++ = ' ';
        p = twoDigits(p, msOfDay / 3600000);
        *p++ = ':';
        p = twoDigits(p, msOfDay / 60000 % 60);
        *p++ = ':';
        p = twoDigits(p, msOfDay / 1000 % 60);
        *p++ = '.';
        *p++ = char('0' + msOfDay % 1000 / 100);
        p = twoDigits(p, msOfDay % 100);
        return int(p - out);
    }

    QString fallbackText;

private:
    static qint64 offset(qint64 ms)
    {
        return qint64(QDateTime::fromMSecsSinceEpoch(ms, Qt::LocalTime).offsetFromUtc()) * 1000;
    }

    int fallback(const QDateTime &time)
    {
        fallbackText = time.toString(QStringLiteral("dd-MM-yyyy hh:mm:ss.zzz"));
        return -1;
    }

    qint64 m_hour = std::numeric_limits<qint64>::min();
    qint64 m_offset = 0;
    bool m_constant = false;
};

// `value` with `decimals` decimals as QString::number(value, 'f', decimals) writes it, into
// `out` (at least 40 characters); its length, or -1 for values left to QString::number. Qt
// rounds a value exactly halfway away from zero where to_chars takes the even digit, and writes
// zero without a sign.
int writeFixed(double value, int decimals, char *out)
{
    if (!std::isfinite(value) || std::fabs(value) >= 1e15 || decimals < 0 || decimals > 17)
        return -1;
    if (value == 0.0)
        value = 0.0;
    // Exactly halfway: value × 2^(decimals + 1) is an odd integer.
    const double scaled = std::ldexp(value, decimals + 1);
    const bool tie = scaled == std::floor(scaled) && std::fmod(scaled, 2.0) != 0.0;
    if (!tie)
        return int(std::to_chars(out, out + 40, value, std::chars_format::fixed, decimals).ptr
                   - out);
    // The exact text has one decimal more, ending in 5: drop it and round the rest up.
    char *end = std::to_chars(out, out + 40, value, std::chars_format::fixed, decimals + 1).ptr;
    --end;
    if (decimals == 0)
        --end; // the point
    char *digit = end;
    char *first = out + (*out == '-');
    while (digit > first) {
        --digit;
        if (*digit == '.')
            continue;
        if (*digit != '9') {
            ++*digit;
            return int(end - out);
        }
        *digit = '0';
    }
    std::memmove(first + 1, first, size_t(end - first));
    *first = '1';
    return int(end - out) + 1;
}

// The export text as UTF-8 into `text`, handed to `flush` (when given) whenever it holds a
// megabyte or more, and at the end; false when `flush` refused.
bool exportBytes(const QList<const ValueOverTime *> &series, const QStringList &columns,
                 const QString &delimiter, int precision, int maxRows,
                 const std::function<void(int, int)> &progress, std::string &text,
                 const std::function<bool(const std::string &)> &flush)
{
    const QByteArray delimiterBytes = delimiter.toUtf8();
    const std::string_view separator(delimiterBytes.constData(), size_t(delimiterBytes.size()));
    text += columns.join(delimiter).toStdString();
    text += '\n';
    // Copies share the arrays; samples appended while progress is reported detach the
    // chart's store and leave these as they are.
    QList<ValueOverTime> copies;
    if (!series.isEmpty() && series.first()) {
        for (const ValueOverTime *s : series)
            copies.append(s ? *s : ValueOverTime());
    }
    int rows = copies.isEmpty() ? 0 : copies.first().size();
    if (maxRows >= 0)
        rows = qMin(rows, maxRows);
    const size_t flushBytes = 1 << 20;
    // About 35 characters per line of one series; more is grown into.
    text.reserve(flush ? flushBytes + 4096
                       : size_t(rows) * size_t(27 + copies.size() * (10 + separator.size())));
    LocalTimeText times;
    char buffer[64];
    for (int i = 0; i < rows; ++i) {
        const int length = times.write(copies.first().pxData()[i], buffer);
        if (length < 0)
            text += times.fallbackText.toStdString();
        else
            text.append(buffer, size_t(length));
        for (const ValueOverTime &s : copies) {
            text += separator;
            if (i >= s.size())
                continue;
            const double value = s.pyData()[i];
            const int valueLength = writeFixed(value, precision, buffer);
            if (valueLength < 0)
                text += QString::number(value, 'f', precision).toStdString();
            else
                text.append(buffer, size_t(valueLength));
        }
        text += '\n';
        if (flush && text.size() >= flushBytes) {
            if (!flush(text))
                return false;
            text.clear();
        }
        if (progress && (i + 1) % rowsPerProgress == 0)
            progress(i + 1, rows);
    }
    return !flush || flush(text);
}

} // namespace

QString exportText(const QList<const ValueOverTime *> &series, const QStringList &columns,
                   const QString &delimiter, int precision, int maxRows)
{
    return exportText(series, columns, delimiter, precision, maxRows, {});
}

QString exportText(const QList<const ValueOverTime *> &series, const QStringList &columns,
                   const QString &delimiter, int precision, int maxRows,
                   const std::function<void(int, int)> &progress)
{
    std::string text;
    exportBytes(series, columns, delimiter, precision, maxRows, progress, text, {});
    return QString::fromStdString(text);
}

QString exportText(const ValueOverTime &series, const QStringList &columns,
                   const QString &delimiter, int precision, int maxRows)
{
    return exportText(QList<const ValueOverTime *> { &series }, columns, delimiter, precision,
                      maxRows);
}

bool writeExportFile(const QString &fileName, const QString &text, QString *errorMessage)
{
    ExtensionSystem::SafeFileWriter file(fileName);
    if (file.open().ok()) {
        const QByteArray bytes = text.toUtf8();
        if (file.write(bytes.constData(), bytes.size()))
            file.commit();
    }
    if (errorMessage)
        *errorMessage = fileProblemText(file.status());
    return file.status().ok();
}

bool writeExportFile(const QString &fileName, const QList<const ValueOverTime *> &series,
                     const QStringList &columns, const QString &delimiter, int precision,
                     const std::function<void(int, int)> &progress, QString *errorMessage)
{
    ExtensionSystem::SafeFileWriter file(fileName);
    if (file.open().ok()) {
        std::string text;
        if (exportBytes(series, columns, delimiter, precision, -1, progress, text,
                        [&file](const std::string &bytes) {
                            return file.write(bytes.data(), qint64(bytes.size()));
                        }))
            file.commit();
    }
    if (errorMessage)
        *errorMessage = fileProblemText(file.status());
    return file.status().ok();
}

} // namespace Utils
