#include "sensortype.h"

#include <QCoreApplication>
#include <QFile>
#include <QXmlStreamReader>

namespace QuxSim {

SensorType SensorType::fallback()
{
    SensorType type;
    type.name = QStringLiteral("QUX simulated");
    type.group = 1;
    type.types = { 1 };
    type.isDigital = true;
    type.baudrates = { 9600, 19200, 38400, 57600, 115200 };
    return type;
}

static bool readDecimal(const QString &text, int *value)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok, 10);
    if (ok)
        *value = v;
    return ok;
}

static QList<int> readNumberList(const QString &text)
{
    QList<int> numbers;
    const QStringList parts = text.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (const QString &part : parts) {
        int value = 0;
        if (readDecimal(part, &value))
            numbers.append(value);
    }
    return numbers;
}

// Reads one entry element; the reader stands on its start tag.
static SensorType readEntry(QXmlStreamReader &xml)
{
    SensorType type;
    type.group = -1;
    int depth = 0;
    QString path;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            ++depth;
            path = path.isEmpty() ? xml.name().toString() : path + '/' + xml.name().toString();
            if (path == QLatin1String("name"))
                type.name = xml.readElementText().trimmed();
            else if (path == QLatin1String("group"))
                readDecimal(xml.readElementText(), &type.group);
            else if (path == QLatin1String("types"))
                type.types = readNumberList(xml.readElementText());
            else if (path == QLatin1String("isdigital")) {
                int digital = 0;
                readDecimal(xml.readElementText(), &digital);
                type.isDigital = digital != 0;
            } else if (path == QLatin1String("portsettings/baudrate"))
                type.baudrates = readNumberList(xml.readElementText());
            else
                continue;
            // readElementText() consumed the end tag of the element.
            --depth;
            path = path.section('/', 0, -2);
        } else if (xml.isEndElement()) {
            if (depth == 0)
                break;
            --depth;
            path = path.section('/', 0, -2);
        }
    }
    return type;
}

QList<SensorType> readCatalogue(const QString &path, QString *errorMessage)
{
    QList<SensorType> result;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (errorMessage)
            *errorMessage = file.errorString();
        return result;
    }
    QXmlStreamReader xml(&file);
    QStringList stack;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            if (stack == QStringList { QStringLiteral("document"), QStringLiteral("sensorList") }) {
                const SensorType type = readEntry(xml);
                if (!type.name.isEmpty() && type.group >= 0 && type.group <= 255
                    && !type.types.isEmpty())
                    result.append(type);
                continue;
            }
            stack.append(xml.name().toString());
        } else if (xml.isEndElement()) {
            if (!stack.isEmpty())
                stack.removeLast();
        }
    }
    if (xml.hasError()) {
        if (errorMessage)
            *errorMessage = xml.errorString();
        result.clear();
    }
    return result;
}

QString defaultCataloguePath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/QUXfamily.xml");
}

bool findSensorType(const QList<SensorType> &catalogue, const QString &name, SensorType *result)
{
    if (!name.isEmpty()) {
        for (const SensorType &type : catalogue) {
            if (type.name == name) {
                *result = type;
                return true;
            }
        }
        return false;
    }
    for (const SensorType &type : catalogue) {
        if (type.isDigital) {
            *result = type;
            return true;
        }
    }
    if (catalogue.isEmpty())
        return false;
    *result = catalogue.first();
    return true;
}

} // namespace QuxSim
