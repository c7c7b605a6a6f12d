// The simulated sensor's request handling: the same bytes whole and in pieces give the same
// requests, outcomes and answers, and every frame it logs or sends obeys the frame rules of the
// simulator's frame code.

#include "fuzzsupport.h"

#include <simframe.h>
#include <simulatedsensor.h>

#include <memory>
#include <vector>

using namespace QuxSim;

namespace {
std::unique_ptr<SimulatedSensor> makeSensor(std::uint8_t flags)
{
    auto sensor = std::make_unique<SimulatedSensor>(
        SensorType::fallback(), [] { return 0; }, 7);
    FaultSettings faults;
    faults.corruptPercent = flags & 1 ? 50 : 0;
    faults.dropPercent = flags & 2 ? 30 : 0;
    faults.noiseBytes = flags & 4 ? 3 : 0;
    faults.foreignGroup = flags & 8;
    faults.unplugAfter = flags & 16 ? flags >> 5 : -1;
    sensor->setFaults(faults);
    return sensor;
}

QByteArray joined(const QList<SimulatedSensor::Output> &outputs)
{
    QByteArray bytes;
    for (const SimulatedSensor::Output &output : outputs)
        bytes += output.bytes;
    return bytes;
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
    const std::uint8_t flags = input.byte();
    std::vector<std::size_t> pieces(input.byte() % 8);
    for (std::size_t &piece : pieces)
        piece = input.byte() + 1;
    const std::string rest = input.rest();
    const QByteArray bytes = QByteArray::fromStdString(rest);

    const auto whole = makeSensor(flags);
    const QByteArray wholeAnswers = joined(whole->receive(bytes));
    const auto split = makeSensor(flags);
    QByteArray splitAnswers;
    for (std::size_t position = 0, i = 0; position < rest.size(); ++i) {
        const std::size_t n = pieces.empty() ? rest.size() : pieces[i % pieces.size()];
        splitAnswers += joined(split->receive(bytes.mid(int(position), int(n))));
        position += n;
    }
    FUZZ_CHECK(wholeAnswers == splitAnswers, "answers depend on how the bytes were split");
    const QList<RequestLogEntry> &log = whole->log().entries();
    FUZZ_CHECK(log.size() == split->log().entries().size(), "request counts differ");

    for (int i = 0; i < log.size(); ++i) {
        const RequestLogEntry &entry = log.at(i);
        const RequestLogEntry &other = split->log().entries().at(i);
        FUZZ_CHECK(entry.request == other.request && entry.outcome == other.outcome
                       && entry.answer == other.answer,
                   "entry %d differs", i);
        const QByteArray &request = entry.request;
        FUZZ_CHECK(request.startsWith('/') && request.endsWith('.') && request.count('/') == 1
                       && request.count('.') == 1 && request.size() <= Frame::maxLength,
                   "not a frame: %s", request.toHex().constData());
        FUZZ_CHECK(entry.body == Frame::decode(request), "body is not the decoded request");
        const QByteArray answerBody = Frame::decode(entry.answer);
        switch (entry.outcome) {
        case Outcome::Answered:
            if (!(flags & 4)) {
                FUZZ_CHECK(!answerBody.isEmpty() && Frame::build(answerBody) == entry.answer
                               && answerBody.startsWith('0'),
                           "answer is not a frame: %s", entry.answer.constData());
            }
            break;
        case Outcome::BadChecksum:
            FUZZ_CHECK(entry.body.isEmpty(), "a request with a good checksum was refused");
            break;
        default:
            break;
        }
    }
    return 0;
}
