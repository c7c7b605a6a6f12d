#include "report.h"

#include "texts.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>

namespace QuxCtl {

namespace {

QString padded(const QString &text, int width)
{
    return text.leftJustified(width, QLatin1Char(' '));
}

} // namespace

ExitStatus report(const Invocation &invocation, const QList<PortResult> &results, QTextStream &out,
                  QTextStream &err)
{
    ExitStatus status = Success;
    for (const PortResult &result : results) {
        if (result.status != Success && status == Success)
            status = result.status;
    }

    if (invocation.json) {
        QJsonArray ports;
        for (const PortResult &result : results) {
            QJsonObject port = result.json;
            port.insert(QStringLiteral("status"), int(result.status));
            ports.append(port);
        }
        QJsonObject document;
        document.insert(QStringLiteral("ports"), ports);
        document.insert(QStringLiteral("status"), int(status));
        out << QJsonDocument(document).toJson(QJsonDocument::Indented);
        out.flush();
        return status;
    }

    for (const PortResult &result : results) {
        if (results.size() > 1 && !result.text.isEmpty())
            out << "== " << result.port << '\n';
        out << result.text;
        if (result.status != Success)
            err << result.port << ": " << result.message << '\n';
    }
    if (results.size() > 1) {
        int portWidth = Texts::tr("Port").size();
        int typeWidth = Texts::tr("Sensor type").size();
        for (const PortResult &result : results) {
            portWidth = qMax(portWidth, result.port.size());
            typeWidth = qMax(typeWidth, result.sensorType.size());
        }
        out << '\n'
            << padded(Texts::tr("Port"), portWidth) << "  "
            << padded(Texts::tr("Sensor type"), typeWidth) << "  " << Texts::tr("Status") << "  "
            << Texts::tr("Result") << '\n';
        for (const PortResult &result : results) {
            out << padded(result.port, portWidth) << "  " << padded(result.sensorType, typeWidth)
                << "  " << padded(QString::number(int(result.status)), Texts::tr("Status").size())
                << "  " << result.message << '\n';
        }
    }
    out.flush();
    err.flush();
    return status;
}

} // namespace QuxCtl
