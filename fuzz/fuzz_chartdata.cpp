// The chart's sample text: reading is all or nothing, and what the chart writes reads back to
// exactly the same text.

#include "fuzzsupport.h"

#include <simpletimechart.h>

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

    const QString before = text(QStringLiteral(";"));
    if (!chart->setDataFromString(given, separator)) {
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
