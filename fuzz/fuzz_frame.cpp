// The plug-in's frame code against the simulator's own copy of the frame rules: decoding any
// bytes, building and checksumming any body.

#include "fuzzsupport.h"

#include "protocol/frame.h"
#include <simframe.h>

using namespace DrumoSensorPlugin::Core;

namespace {
bool sevenBit(const std::string &text)
{
    for (char c : text) {
        if (static_cast<unsigned char>(c) > 0x7F)
            return false;
    }
    return true;
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
    const QByteArray bytes = QByteArray::fromStdString(text);

    // Decoding: the same body as the simulator, except where the plug-in's signed checksum of
    // 8-bit text prints more than two digits and so never matches.
    const std::string body = decodeFrame(text);
    const std::string reference = QuxSim::Frame::decode(bytes).toStdString();
    if (eightBitChecksum(text))
        FUZZ_CHECK(body.empty(), "decoded a frame with an 8-bit checksum");
    else
        FUZZ_CHECK(body == reference, "decode: plug-in \"%s\", simulator \"%s\"", body.c_str(),
                   reference.c_str());
    if (!body.empty())
        FUZZ_CHECK(body.size() == size - 6 && text.compare(3, body.size(), body) == 0,
                   "the body is not the middle of the frame");

    if (!text.empty() && sevenBit(text)) {
        FUZZ_CHECK(frameChecksum(text) == QuxSim::Frame::checksum(bytes).toStdString(),
                   "checksum differs");
    }
    // Building: bodies of at least two 7-bit characters whose length fits the length field.
    if (size >= 2 && size <= 257 && sevenBit(text)) {
        const std::string frame = buildFrame(text);
        FUZZ_CHECK(frame == QuxSim::Frame::build(bytes).toStdString(), "build differs");
        FUZZ_CHECK(decodeFrame(frame) == text, "a built frame does not decode to its body");
    }
    return 0;
}
