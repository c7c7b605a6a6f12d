// The chart's samples as text, for the settings file.
//
// A settings file may hold a week of samples (some 8.5 million), so both directions work on
// bytes without a heap string per number: numbers are written with std::to_chars (the shortest
// text that reads back exactly); reading is ChartTextReader's.

#include "charttextreader.h"
#include "simpletimechart_p.h"

#include <charconv>
#include <cmath>

namespace Utils {

namespace {

// Samples between two progress reports.
const int progressStep = 1 << 14;

// The pieces handed out while writing: large enough that handing them on costs nothing.
const size_t pieceBytes = 1 << 20;

// The shortest text that reads back bit for bit; whole numbers (the times) without an exponent.
inline char *writeNumber(char *out, double value)
{
    if (!std::isfinite(value)) {
        const QByteArray text = QByteArray::number(value, 'g', 17);
        return std::copy(text.cbegin(), text.cend(), out);
    }
    if (value == std::trunc(value) && std::fabs(value) < 9007199254740992.0
        && !(value == 0 && std::signbit(value)))
        return std::to_chars(out, out + 32, static_cast<long long>(value)).ptr;
    return std::to_chars(out, out + 32, value).ptr;
}

} // namespace

void SimpleTimeChart::dataToString(QString &text, const QString &separator) const
{
    dataToString(text, separator, TextProgress());
}

void SimpleTimeChart::dataToString(QString &text, const QString &separator,
                                   const TextProgress &progress) const
{
    std::string bytes;
    const QByteArray separatorBytes = separator.toUtf8();
    dataToText(bytes, std::string_view(separatorBytes.constData(), size_t(separatorBytes.size())),
               progress);
    text = QString::fromUtf8(bytes.data(), int(bytes.size()));
}

void SimpleTimeChart::dataToText(std::string &text, std::string_view separator,
                                 const TextProgress &progress) const
{
    text.clear();
    // Room for the longest items (three numbers of at most 24 characters): capacity that is
    // never written takes no memory, and the text is never copied to grow.
    text.reserve(size_t(d->samples.size()) * (3 * 24 + 2 + separator.size()));
    dataToText(
        [&text](std::string_view piece) {
            text.append(piece);
            return true;
        },
        separator, progress);
}

bool SimpleTimeChart::dataToText(const TextPieces &out, std::string_view separator,
                                 const TextProgress &progress) const
{
    // A copy shares the arrays: samples that arrive while the progress is reported (which may
    // run the event loop) detach the chart's own store and leave these as they are.
    const ValueOverTime samples = d->samples;
    const int n = samples.size();
    const double *x = samples.pxData();
    const double *y = samples.pyData();
    const double *r = samples.pyRightData();
    // One buffer, reused: the longest item (three numbers of at most 32 characters) always fits
    // behind a piece that is not yet full.
    std::string buffer(pieceBytes + 3 * 32 + 2 + separator.size(), '\0');
    char *const first = &buffer[0];
    char *end = first;
    for (int i = 0; i < n; ++i) {
        if (i > 0)
            end = std::copy(separator.begin(), separator.end(), end);
        end = writeNumber(end, x[i]);
        *end++ = ',';
        end = writeNumber(end, y[i]);
        *end++ = ',';
        end = writeNumber(end, r[i]);
        if (size_t(end - first) >= pieceBytes) {
            if (!out(std::string_view(first, size_t(end - first))))
                return false;
            end = first;
        }
        if (progress && (i + 1) % progressStep == 0)
            progress(i + 1, n);
    }
    if (end > first && !out(std::string_view(first, size_t(end - first))))
        return false;
    if (progress && n > 0)
        progress(n, n);
    return true;
}

bool SimpleTimeChart::setDataFromString(const QString &text, const QString &separator)
{
    return setDataFromString(text, separator, TextProgress());
}

bool SimpleTimeChart::setDataFromString(const QString &text, const QString &separator,
                                        const TextProgress &progress)
{
    const QByteArray bytes = text.toUtf8();
    const QByteArray separatorBytes = separator.toUtf8();
    return setDataFromText(
        std::string_view(bytes.constData(), size_t(bytes.size())),
        std::string_view(separatorBytes.constData(), size_t(separatorBytes.size())), progress);
}

bool SimpleTimeChart::setDataFromText(std::string_view text, std::string_view separator,
                                      const TextProgress &progress)
{
    ChartTextReader reader(separator);
    reader.setProgress(progress, qint64(text.size()));
    if (!reader.append(text) || !reader.finish())
        return false;
    setData(reader.takeSamples());
    return true;
}

void SimpleTimeChart::setData(ValueOverTime samples)
{
    d->samples = samples;
    samples = ValueOverTime(); // not shared any more: what follows would copy them
    d->updateValueLabel();
    d->followNewest(true);
}

} // namespace Utils
