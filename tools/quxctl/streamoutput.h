#pragma once

#include "csvexport.h"

#include <QFile>
#include <QMutex>
#include <QString>
#include <QTextStream>

namespace QuxCtl {

// Where `stream` writes its samples: standard output or the --csv file, as the chart export's
// text. With several ports every port's samples go into the one CSV, each line led by a column
// "Port" with the port's name, in the order they arrive; the ports' threads share it, so every
// line is written whole under a lock.
class StreamOutput
{
public:
    // Opens the file (an empty name means standard output) and writes the header. False, with
    // *error set, when the file cannot be written.
    bool open(const QString &fileName, bool portColumn, QString *error);

    // Writes one sample's line and pushes it to the file. False once a write has failed (a full
    // disk): every sample written before is on the file, none after is taken.
    bool write(const QString &port, qint64 msecsSinceEpoch, double value);
    // Why the last write failed.
    QString errorString() const;

private:
    QMutex m_lock;
    QFile m_file;
    QTextStream m_out;
    CsvExport m_csv { QStringLiteral(";") };
    bool m_portColumn = false;
    bool m_failed = false;
};

} // namespace QuxCtl
