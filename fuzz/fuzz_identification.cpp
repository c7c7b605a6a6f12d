// The identification reader: on the simulated sensor's answer (with line noise in front) it gives
// exactly the firmware, group and type the sensor put in; on any bytes it needs its "/" at the
// start position, reads nothing outside the text and gives each field as the unsigned number of
// the leading hex digits of its two characters.

#include "fuzzsupport.h"

#include "protocol/commands.h"
#include "protocol/identification.h"

#include <sensormodel.h>
#include <simframe.h>

#include <QRegularExpression>

#include <algorithm>

using namespace DrumoSensorPlugin::Core;

namespace {

int hexValue(char c)
{
    const char *const digits = "0123456789ABCDEF";
    for (int i = 0; i < 16; ++i) {
        if (c == digits[i] || (i >= 10 && c == digits[i] + ('a' - 'A')))
            return i;
    }
    return -1;
}

// Two characters at `position` (fewer at the end of the text): the value of the hex digits
// before the first character that is none.
int fieldValue(const std::string &text, std::size_t position)
{
    int value = 0;
    for (std::size_t i = position; i < position + 2 && i < text.size(); ++i) {
        if (hexValue(text[i]) < 0)
            break;
        value = value * 16 + hexValue(text[i]);
    }
    return value;
}

void checkAgainstSimulator(FuzzInput &input)
{
    QuxSim::SensorType type = QuxSim::SensorType::fallback();
    type.group = input.byte();
    type.types = { input.byte() };
    QuxSim::SensorModel model(type);
    const char firmware = char(input.byte());
    model.setFirmware(firmware);
    // Line noise never holds a "/" (the collector starts the frame at the last one).
    std::string noise = input.bytes(input.byte() % 16);
    noise.erase(std::remove(noise.begin(), noise.end(), '/'), noise.end());
    const QByteArray frame = QuxSim::Frame::build(*model.answer("0V"));
    const std::string answer = noise + frame.toStdString() + input.rest();

    const std::optional<Identification> read = parseIdentification(answer);
    FUZZ_CHECK(read, "no identification in %s", frame.constData());
    FUZZ_CHECK(read->group == type.group && read->type == type.types.first(),
               "group %d type %d, the sensor sent %d and %d", read->group, read->type, type.group,
               type.types.first());
    FUZZ_CHECK(read->firmware == firmware, "firmware");
    FUZZ_CHECK(read->firmwareDigit == std::max(0, hexValue(firmware)), "firmware digit");

    // Every answer with a firmware character the pattern allows matches it.
    static const QRegularExpression pattern(QRegularExpression::anchoredPattern(
        QString::fromLatin1(commandDefinition(Command::Identify).answerPattern)));
    const bool allowed
        = (firmware >= '0' && firmware <= '9') || (firmware >= 'A' && firmware <= 'Z');
    FUZZ_CHECK(pattern.match(QString::fromLatin1(frame)).hasMatch() == allowed,
               "pattern and the sensor's answer %s disagree", frame.constData());
}

void checkAnyText(FuzzInput &input)
{
    const std::size_t start = input.byte();
    const std::string text = input.rest();
    const std::optional<Identification> read = parseIdentification(text, start);
    const bool framed = start < text.size() && text[start] == '/';
    FUZZ_CHECK(bool(read) == framed, "read %d, a \"/\" at the start %d", bool(read), framed);
    if (read) {
        const char firmware = start + 6 < text.size() ? text[start + 6] : 0;
        FUZZ_CHECK(read->firmware == firmware, "firmware");
        FUZZ_CHECK(read->firmwareDigit == std::max(0, hexValue(firmware)), "firmware digit");
        FUZZ_CHECK(read->group == fieldValue(text, start + 8), "group %d", read->group);
        FUZZ_CHECK(read->type == fieldValue(text, start + 10), "type %d", read->type);
    }
    const std::size_t first = text.find('/');
    const std::optional<Identification> fromFirst = parseIdentification(text);
    FUZZ_CHECK(bool(fromFirst) == (first != std::string::npos), "the first \"/\"");
    if (fromFirst) {
        const Identification other = *parseIdentification(text, first);
        FUZZ_CHECK(fromFirst->group == other.group && fromFirst->type == other.type
                       && fromFirst->firmware == other.firmware,
                   "reading from the first \"/\" differs");
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    silenceLogging();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzInput input(data, size);
    if (input.byte() & 1)
        checkAgainstSimulator(input);
    else
        checkAnyText(input);
    return 0;
}
