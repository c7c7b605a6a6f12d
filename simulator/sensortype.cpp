#include "sensortype.h"

#include <extensionsystem/xmlnesting.h>

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

// The simulator reads the catalogue without recursion, but it keeps the host's limit, so that it
// never offers sensor types from a catalogue the host would refuse.
static bool tooDeep(QXmlStreamReader &xml, int depth)
{
    if (depth <= ExtensionSystem::maxXmlNesting)
        return false;
    xml.raiseError(QStringLiteral("the catalogue is nested deeper than %1 elements")
                       .arg(ExtensionSystem::maxXmlNesting));
    return true;
}

// Reads one entry element, which stands at `entryDepth`; the reader is on its start tag. Only the
// names of the entry's children are looked at and only portsettings has a child of interest, so
// deeper elements are merely counted: every element costs the same however deep it lies.
static SensorType readEntry(QXmlStreamReader &xml, int entryDepth)
{
    SensorType type;
    type.group = -1;
    int depth = 0; // below the entry
    QString child; // the entry's child we are in
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            ++depth;
            if (tooDeep(xml, entryDepth + depth))
                break;
            if (depth == 1)
                child = xml.name().toString();
            if (depth == 1 && child == QLatin1String("name"))
                type.name = xml.readElementText().trimmed();
            else if (depth == 1 && child == QLatin1String("group"))
                readDecimal(xml.readElementText(), &type.group);
            else if (depth == 1 && child == QLatin1String("types"))
                type.types = readNumberList(xml.readElementText());
            else if (depth == 1 && child == QLatin1String("isdigital")) {
                int digital = 0;
                readDecimal(xml.readElementText(), &digital);
                type.isDigital = digital != 0;
            } else if (depth == 2 && child == QLatin1String("portsettings")
                       && xml.name() == QLatin1String("baudrate"))
                type.baudrates = readNumberList(xml.readElementText());
            else
                continue;
            --depth; // readElementText() consumed the end tag of the element
        } else if (xml.isEndElement()) {
            if (depth == 0)
                break;
            --depth;
        }
    }
    return type;
}

QList<SensorType> readCatalogue(const QString &path, QString *errorMessage)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (errorMessage)
            *errorMessage = file.errorString();
        return {};
    }
    return readCatalogue(&file, errorMessage);
}

QList<SensorType> readCatalogue(QIODevice *device, QString *errorMessage)
{
    QList<SensorType> result;
    QXmlStreamReader xml(device);
    int depth = 0;
    bool inDocument = false;
    bool inList = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            if (tooDeep(xml, ++depth))
                break;
            if (depth == 1) {
                inDocument = xml.name() == QLatin1String("document");
            } else if (depth == 2) {
                inList = inDocument && xml.name() == QLatin1String("sensorList");
            } else if (depth == 3 && inList) {
                const SensorType type = readEntry(xml, depth);
                --depth; // readEntry() consumed the entry's end tag
                if (!type.name.isEmpty() && type.group >= 0 && type.group <= 255
                    && !type.types.isEmpty())
                    result.append(type);
            }
        } else if (xml.isEndElement()) {
            --depth;
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
