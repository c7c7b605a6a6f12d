// The simulator's catalogue reader on any text: it never offers an entry the host would refuse,
// never reads a catalogue nested deeper than the host's limit, and takes linear time.

#include "fuzzsupport.h"

#include <sensortype.h>
#include <xmlnesting.h>

#include <QBuffer>

using namespace QuxSim;

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    silenceLogging();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    QByteArray bytes(reinterpret_cast<const char *>(data), int(size));
    QBuffer device(&bytes);
    device.open(QIODevice::ReadOnly);
    QString error;
    const QList<SensorType> types = readCatalogue(&device, &error);
    FUZZ_CHECK(types.isEmpty() || error.isEmpty(), "entries and an error at once");
    if (types.isEmpty())
        return 0;
    // Read without error: the text is well-formed, so the host's scan sees its real depth,
    // unless the reader decoded another encoding or a document type's subset hid markup.
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0 || data[i] > 0x7F)
            return 0;
    }
    if (bytes.contains("<!DOCTYPE"))
        return 0;
    const int depth = ExtensionSystem::xmlNestingDepth(
        std::string_view(reinterpret_cast<const char *>(data), size), 1000);
    FUZZ_CHECK(depth <= ExtensionSystem::maxXmlNesting, "read a catalogue nested %d deep", depth);
    for (const SensorType &type : types) {
        FUZZ_CHECK(!type.name.trimmed().isEmpty(), "entry without a name");
        FUZZ_CHECK(type.group >= 0 && type.group <= 255, "group %d", type.group);
        FUZZ_CHECK(!type.types.isEmpty(), "entry without types");
    }
    return 0;
}
