#include "csvexport.h"

#include <QCoreApplication>
#include <QDateTime>

namespace QuxCtl {

QString CsvExport::header() const
{
    // The window's export dialog names its columns in the window's context.
    return QCoreApplication::translate("SensorWindow", "Time") + m_delimiter
        + QCoreApplication::translate("SensorWindow", "Signal") + QLatin1Char('\n');
}

QString CsvExport::line(qint64 msecsSinceEpoch, double value) const
{
    return QDateTime::fromMSecsSinceEpoch(msecsSinceEpoch)
               .toString(QStringLiteral("dd-MM-yyyy hh:mm:ss.zzz"))
        + m_delimiter + QString::number(value, 'f', 2) + QLatin1Char('\n');
}

} // namespace QuxCtl
