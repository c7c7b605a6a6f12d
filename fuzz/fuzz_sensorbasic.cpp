// The host's catalogue entry reader on any text, and its nesting scan against a real XML reader.

#include "fuzzsupport.h"

#include <sensorbasic.h>
#include <xmlnesting.h>

#include <QXmlStreamReader>

#include <sstream>

using namespace ExtensionSystem;

namespace {
// The deepest nesting QXmlStreamReader finds, or -1 when it finds the text not well-formed.
int readerDepth(const std::string &document)
{
    QXmlStreamReader xml(QByteArray::fromStdString(document));
    int depth = 0;
    int deepest = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement())
            deepest = std::max(deepest, ++depth);
        else if (xml.isEndElement())
            --depth;
    }
    return xml.hasError() ? -1 : deepest;
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    silenceLogging();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char *>(data), size);

    // The entry's elements under one root, as a catalogue holds them: where the text is
    // well-formed, the scan sees exactly the reader's depth.
    const int depth = xmlNestingDepth(text, 1000);
    const int reader = readerDepth("<entry>" + text + "</entry>");
    if (reader >= 0 && reader <= 1000)
        FUZZ_CHECK(depth == reader - 1, "scan %d, reader %d", depth, reader - 1);

    SensorBasic sensor;
    std::stringstream in(text);
    const bool accepted = sensor.fromXMLStream(in);
    FUZZ_CHECK(in.peek() == std::char_traits<char>::eof(), "the stream was not consumed");
    if (accepted) {
        FUZZ_CHECK(depth <= maxXmlNesting, "accepted an entry nested %d deep", depth);
        FUZZ_CHECK(sensor.name().find_first_not_of(" \t\r\n") != std::string::npos, "blank name");
        FUZZ_CHECK(sensor.group() >= 0 && sensor.group() <= 255, "group %d", sensor.group());
        FUZZ_CHECK(!sensor.type().empty(), "no types");
        for (int type : sensor.type())
            FUZZ_CHECK(type >= 0 && type <= 255, "type %d", type);
    }
    return 0;
}
