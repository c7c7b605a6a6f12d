#include "csvexport.h"

#include "texts.h"

#include <QCoreApplication>
#include <QDateTime>

namespace QuxCtl {

QString CsvExport::header() const
{
    // The column names of the window's chart export.
    return QCoreApplication::translate(windowContext, "Time") + m_delimiter
        + QCoreApplication::translate(windowContext, "Signal") + QLatin1Char('\n');
}

QString CsvExport::line(qint64 msecsSinceEpoch, double value) const
{
    return QDateTime::fromMSecsSinceEpoch(msecsSinceEpoch)
               .toString(QStringLiteral("dd-MM-yyyy hh:mm:ss.zzz"))
        + m_delimiter + QString::number(value, 'f', 2) + QLatin1Char('\n');
}

} // namespace QuxCtl
