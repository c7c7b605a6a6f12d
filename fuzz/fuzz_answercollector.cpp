// The host's answer collector fed the same bytes in arbitrary pieces, against a reference that
// looks at all bytes at once.

#include "fuzzsupport.h"

#include <answercollector.h>

#include <QRegularExpression>

#include <vector>

using ExtensionSystem::AnswerCollector;

namespace {
// Patterns of real requests, the open one and an invalid one.
const char *const patterns[] = {
    "/(.*)\\.",
    "/070V8[0-9A-Z]{1,1}:[0-9A-F]{6,6}\\.",
    "/[0-9A-F]{2,2}0D0[0-9A-Z]{3,3}:[0-9A-Z]{6,6}\\.",
    "/030WD[0-9A-F]{4,4}\\.",
    "/[0-9A-F]{2,2}0Wb[-]{0,1}[0-9A-F]{5,6}\\.",
    "/(.*).",
    "/(0V8.",
};

struct Expected
{
    bool complete = false;
    std::string frame;
};

// A frame ends at the first "." that has a "/" before it and starts at the last "/" before it;
// a run from a "/" that grows longer than the longest frame is dropped.
Expected reference(const std::string &data)
{
    Expected result;
    std::size_t start = std::string::npos;
    for (std::size_t i = 0; i < data.size(); ++i) {
        if (data[i] == '/') {
            start = i;
        } else if (start != std::string::npos
                   && i - start + 1 > std::size_t(AnswerCollector::maxFrameBytes)) {
            start = std::string::npos;
        } else if (data[i] == '.' && start != std::string::npos) {
            result.complete = true;
            result.frame = data.substr(start, i - start + 1);
            return result;
        }
    }
    if (start != std::string::npos)
        result.frame = data.substr(start);
    return result;
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
    const char *pattern = patterns[input.byte() % (sizeof patterns / sizeof *patterns)];
    std::vector<std::size_t> pieces(input.byte() % 8);
    for (std::size_t &piece : pieces)
        piece = std::size_t(input.byte()) + 1;
    const std::string bytes = input.rest();

    const Expected expected = reference(bytes);
    const QRegularExpression re(QRegularExpression::anchoredPattern(QString::fromLatin1(pattern)));
    const quint32 status = !expected.complete ? 0u
        : re.isValid()
            && re.match(QString::fromLatin1(expected.frame.data(), int(expected.frame.size())))
                   .hasMatch()
        ? 1u
        : 2u;

    static AnswerCollector collector; // reused across inputs, as a connection reuses it
    collector.start(pattern);
    std::size_t position = 0;
    for (std::size_t i = 0; position < bytes.size(); ++i) {
        const std::size_t piece = pieces.empty() ? bytes.size() : pieces[i % pieces.size()];
        const std::size_t n = std::min(piece, bytes.size() - position);
        const bool complete = collector.feed(bytes.data() + position, qsizetype(n));
        FUZZ_CHECK(complete == collector.isComplete(), "feed() and isComplete() disagree");
        position += n;
    }
    FUZZ_CHECK(collector.isComplete() == expected.complete, "complete: %d, expected %d",
               int(collector.isComplete()), int(expected.complete));
    FUZZ_CHECK(collector.answer().toStdString() == expected.frame, "answer differs");
    FUZZ_CHECK(collector.status() == status, "status %u, expected %u", collector.status(), status);
    // Any byte but a newline matches the open pattern: a complete frame always fits it.
    if (pattern == patterns[0] && expected.complete
        && expected.frame.find('\n') == std::string::npos)
        FUZZ_CHECK(collector.status() == 1u, "the open pattern did not match");
    return 0;
}
