// The chart's sample text: reading is all or nothing, and what the chart writes reads back to
// exactly the same text.

#include "fuzzsupport.h"

#include <charttextreader.h>
#include <simpletimechart.h>
#include <valueovertime.h>

#include <algorithm>

#include <QApplication>

using Utils::SimpleTimeChart;

namespace {
const char *const separators[] = { ";", "\n", "\r\n", "|", ",", "\t", "", " ; " };
SimpleTimeChart *chart = nullptr;

QString text(const QString &separator)
{
    QString result;
    chart->dataToString(result, separator);
    return result;
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    silenceLogging();
    // Never destroyed: the offscreen platform does not free its screen at the end, and what is
    // still reachable at exit is no leak.
    new QApplication(*argc, *argv);
    chart = new SimpleTimeChart;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzInput input(data, size);
    const QString separator
        = QString::fromLatin1(separators[input.byte() % (sizeof separators / sizeof *separators)]);
    const std::string rest = input.rest();
    const QString given = QString::fromUtf8(rest.data(), int(rest.size()));

    // In pieces of any size, the text reads as it reads whole.
    const size_t piece = 1 + size % 13;
    const QByteArray utf8 = given.toUtf8();
    const std::string_view whole(utf8.constData(), size_t(utf8.size()));
    Utils::ChartTextReader reader(separator.toStdString());
    for (size_t at = 0; at < whole.size(); at += piece)
        reader.append(whole.substr(at, piece));
    const bool readInPieces = reader.finish();
    const Utils::ValueOverTime samples = reader.takeSamples();

    const QString before = text(QStringLiteral(";"));
    const bool read = chart->setDataFromString(given, separator);
    const Utils::ValueOverTime &held = *chart->poData();
    const auto same = [&held, &samples](const double *a, const double *b) {
        return std::equal(a, a + samples.size(), b);
    };
    FUZZ_CHECK(read == readInPieces
                   && (!read
                       || (held.size() == samples.size() && same(held.pxData(), samples.pxData())
                           && same(held.pyData(), samples.pyData())
                           && same(held.pyRightData(), samples.pyRightData()))),
               "read in pieces of %zu otherwise", piece);
    if (!read) {
        FUZZ_CHECK(text(QStringLiteral(";")) == before, "a refused text changed the chart");
        return 0;
    }
    // Round trip: written with any separator, read back, written again: the same text.
    const QString written = text(separator.isEmpty() ? QStringLiteral(";") : separator);
    const QString readSeparator = separator.isEmpty() ? QStringLiteral(";") : separator;
    FUZZ_CHECK(chart->setDataFromString(written, readSeparator), "own text refused: %s",
               qPrintable(written.left(200)));
    FUZZ_CHECK(text(readSeparator) == written, "round trip changed the samples");
    return 0;
}
