#include "streamoutput.h"

#include "texts.h"

namespace QuxCtl {

bool StreamOutput::open(const QString &fileName, bool portColumn, QString *error)
{
    m_portColumn = portColumn;
    if (fileName.isEmpty()) {
        if (!m_file.open(stdout, QIODevice::WriteOnly)) {
            *error = m_file.errorString();
            return false;
        }
    } else {
        m_file.setFileName(fileName);
        if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            *error = Texts::tr("%1 cannot be written: %2").arg(fileName, m_file.errorString());
            return false;
        }
    }
    m_out.setDevice(&m_file);
    m_out.setCodec("UTF-8");
    if (m_portColumn)
        m_out << Texts::tr("Port") << ';';
    m_out << m_csv.header();
    m_out.flush();
    return true;
}

bool StreamOutput::write(const QString &port, qint64 msecsSinceEpoch, double value)
{
    const QString line = m_csv.line(msecsSinceEpoch, value);
    QMutexLocker locker(&m_lock);
    if (m_failed)
        return false;
    if (m_portColumn)
        m_out << port << ';';
    m_out << line;
    m_out.flush(); // also pushes the file's own buffer, so that its error shows now
    m_failed = m_out.status() != QTextStream::Ok || m_file.error() != QFileDevice::NoError;
    if (m_failed) {
        // A write cut short (the disk filled up within it) fails without the system's reason;
        // pushing the rest once more brings it.
        m_file.unsetError();
        m_file.flush();
    }
    return !m_failed;
}

QString StreamOutput::errorString() const
{
    return m_file.error() != QFileDevice::NoError ? m_file.errorString()
                                                   : Texts::tr("write error");
}

} // namespace QuxCtl
