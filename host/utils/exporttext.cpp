#include "exporttext.h"

#include "valueovertime.h"

#include <QDateTime>
#include <QFile>

namespace Utils {

QString exportText(const QList<const ValueOverTime *> &series, const QStringList &columns,
                   const QString &delimiter, int precision, int maxRows)
{
    QString text = columns.join(delimiter);
    text += QLatin1Char('\n');
    const ValueOverTime *first = series.isEmpty() ? nullptr : series.first();
    if (!first)
        return text;
    int rows = first->size();
    if (maxRows >= 0)
        rows = qMin(rows, maxRows);
    const QString timeFormat = QStringLiteral("dd-MM-yyyy hh:mm:ss.zzz");
    for (int i = 0; i < rows; ++i) {
        const qint64 ms = qint64(first->pxData()[i]);
        text += QDateTime::fromMSecsSinceEpoch(ms, Qt::LocalTime).toString(timeFormat);
        for (const ValueOverTime *s : series) {
            text += delimiter;
            if (s && i < s->size())
                text += QString::number(s->pyData()[i], 'f', precision);
        }
        text += QLatin1Char('\n');
    }
    return text;
}

QString exportText(const ValueOverTime &series, const QStringList &columns,
                   const QString &delimiter, int precision, int maxRows)
{
    return exportText(QList<const ValueOverTime *> { &series }, columns, delimiter, precision,
                      maxRows);
}

bool writeExportFile(const QString &fileName, const QString &text)
{
    // Replace, never append: remove first, then write from the start.
    if (QFile::exists(fileName) && !QFile::remove(fileName))
        return false;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadWrite))
        return false;
    const QByteArray bytes = text.toUtf8();
    const bool ok = file.write(bytes) == bytes.size();
    file.close();
    return ok;
}

} // namespace Utils
