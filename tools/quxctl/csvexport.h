#pragma once

#include <QString>

namespace QuxCtl {

// The chart export's text, a line at a time: the header with the column names "Time" and
// "Signal" (in the user's language), then per sample its local time "dd-MM-yyyy hh:mm:ss.zzz"
// and its value with two decimals, joined by the delimiter, each line ending in "\n". The same
// text the window's export dialog writes for the same samples.
class CsvExport
{
public:
    explicit CsvExport(const QString &delimiter)
        : m_delimiter(delimiter)
    {
    }

    QString header() const;
    QString line(qint64 msecsSinceEpoch, double value) const;

private:
    QString m_delimiter;
};

} // namespace QuxCtl
