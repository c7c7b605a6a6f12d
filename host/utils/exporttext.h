#pragma once

#include "utils_global.h"

#include <QStringList>

#include <functional>

namespace Utils {

class ValueOverTime;

// Text of a chart export: a header line with the column names joined by the delimiter, then
// one line per sample of the first series: its time (ms since the epoch, as local time
// "dd-MM-yyyy hh:mm:ss.zzz") followed by the value of every series at that index in fixed
// notation with `precision` decimals (empty when a series is shorter). Every line ends with
// "\n". maxRows < 0 means all samples.
UTILS_EXPORT QString exportText(const QList<const ValueOverTime *> &series,
                                const QStringList &columns, const QString &delimiter, int precision,
                                int maxRows = -1);
// The same, reporting now and then the lines written out of all (the report may run the event
// loop; samples appended meanwhile are not exported).
UTILS_EXPORT QString exportText(const QList<const ValueOverTime *> &series,
                                const QStringList &columns, const QString &delimiter, int precision,
                                int maxRows,
                                const std::function<void(int done, int total)> &progress);
UTILS_EXPORT QString exportText(const ValueOverTime &series, const QStringList &columns,
                                const QString &delimiter, int precision, int maxRows = -1);

// Replaces the file with the text in UTF-8, only by a complete one and only when it is a regular
// file or a new name (a folder, device, pipe or socket is refused). False, with the reason in
// `errorMessage`, when it cannot be written; the old file is then as it was.
UTILS_EXPORT bool writeExportFile(const QString &fileName, const QString &text,
                                  QString *errorMessage = nullptr);
// The export of all samples written as it is made, a megabyte at a time, without the whole text
// in memory.
UTILS_EXPORT bool writeExportFile(const QString &fileName,
                                  const QList<const ValueOverTime *> &series,
                                  const QStringList &columns, const QString &delimiter,
                                  int precision,
                                  const std::function<void(int done, int total)> &progress,
                                  QString *errorMessage = nullptr);

} // namespace Utils
