// The host's look at a settings file before opening it (which plug-in, which sensor type),
// against Qt's XML reader on the whole text: it reads no more than its limit, and a sensor it
// names is the root element's attributes as the whole-text reader sees them.

#include "fuzzsupport.h"

#include <settingsfilesensor.h>

#include <QBuffer>
#include <QXmlStreamReader>

using namespace Orbexa::Internal;

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    silenceLogging();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    QByteArray bytes(reinterpret_cast<const char *>(data), int(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    const SettingsFileSensor named = readSettingsFileSensor(&buffer);
    FUZZ_CHECK(buffer.pos() <= settingsFileHeadLimit, "read %lld bytes", buffer.pos());
    FUZZ_CHECK(named.error.isEmpty() == !named.sensorId.isEmpty(), "sensor and error disagree");
    if (!named.error.isEmpty())
        return 0;
    FUZZ_CHECK(!named.pluginId.isEmpty(), "a sensor without a plug-in");

    QXmlStreamReader whole(bytes);
    while (!whole.atEnd() && whole.readNext() != QXmlStreamReader::StartElement) { }
    if (whole.isStartElement()) {
        FUZZ_CHECK(whole.name() == QLatin1String("root"), "accepted another root element");
        FUZZ_CHECK(whole.attributes().value(QLatin1String("sensorid")) == named.sensorId,
                   "sensor differs from the whole-text reader");
        FUZZ_CHECK(whole.attributes().value(QLatin1String("pluginid")) == named.pluginId,
                   "plug-in differs from the whole-text reader");
    }
    return 0;
}
