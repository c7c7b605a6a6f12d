// The chart's samples as text, for the settings file.
//
// A settings file may hold a week of samples (some 8.5 million), so both directions work on
// bytes without a heap string per number: numbers are written with std::to_chars (the shortest
// text that reads back exactly) and read with std::from_chars from the text in place; QLocale is
// asked only about a field the fast reader does not take, so that such a field is judged as the
// chart has always judged it.

#include "simpletimechart_p.h"

#include <QLocale>
#include <QVector>

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstring>
#include <numeric>

namespace Utils {

namespace {

// Samples (or items read) between two progress reports.
const int progressStep = 1 << 14;

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

inline bool isCSpace(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// Progress in ints, however long the text.
void report(const SimpleTimeChart::TextProgress &progress, qint64 done, qint64 total)
{
    while (total > INT_MAX) {
        done >>= 10;
        total >>= 10;
    }
    progress(int(done), int(total));
}

// One number of the text, surrounding white space allowed; false unless it is finite.
bool readNumber(const char *begin, const char *end, double *value)
{
    while (begin < end && isCSpace(*begin))
        ++begin;
    while (end > begin && isCSpace(end[-1]))
        --end;
    const char *first = begin;
    if (end - first > 1 && *first == '+' && first[1] != '-' && first[1] != '+')
        ++first; // from_chars takes no plus sign; QLocale does
    if (first < end && end - first < 64) {
        const auto result = std::from_chars(first, end, *value);
        if (result.ec == std::errc() && result.ptr == end)
            return std::isfinite(*value);
    }
    if (begin == end)
        return false;
    bool ok = false;
    *value = QLocale::c().toDouble(QString::fromUtf8(begin, int(end - begin)).trimmed(), &ok);
    return ok && std::isfinite(*value);
}

bool isBlank(const char *begin, const char *end)
{
    return std::all_of(begin, end, isCSpace);
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
    // A copy shares the arrays: samples that arrive while the progress is reported (which may
    // run the event loop) detach the chart's own store and leave these as they are.
    const ValueOverTime samples = d->samples;
    const int n = samples.size();
    if (n == 0)
        return;
    // Room for the longest items (three numbers of at most 24 characters): capacity that is
    // never written takes no memory, and the text is never copied to grow.
    text.reserve(size_t(n) * (3 * 24 + 2 + separator.size()));
    const double *x = samples.pxData();
    const double *y = samples.pyData();
    const double *r = samples.pyRightData();
    char item[3 * 32 + 2];
    for (int i = 0; i < n; ++i) {
        if (i > 0)
            text.append(separator);
        char *end = writeNumber(item, x[i]);
        *end++ = ',';
        end = writeNumber(end, y[i]);
        *end++ = ',';
        end = writeNumber(end, r[i]);
        text.append(item, size_t(end - item));
        if (progress && (i + 1) % progressStep == 0)
            progress(i + 1, n);
    }
    if (progress)
        progress(n, n);
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
    // Read everything into a separate store first, so that a failure leaves the chart alone.
    ValueOverTime loaded;
    bool ordered = true;
    const char *const begin = text.data();
    const char *const end = begin + text.size();
    if (!isBlank(begin, end)) {
        if (separator.empty())
            return false;
        // With "," as separator the separator is the field delimiter too: numbers in threes.
        const bool commaSeparated = separator == ",";
        const auto findSeparator = [&separator, end](const char *from) {
            if (separator.size() == 1) {
                const void *found = std::memchr(from, separator[0], size_t(end - from));
                return found ? static_cast<const char *>(found) : end;
            }
            return std::search(from, end, separator.begin(), separator.end());
        };
        double fields[3];
        int fieldCount = 0;
        int items = 0;
        const char *p = begin;
        for (;;) {
            const char *itemEnd = findSeparator(p);
            const bool last = itemEnd == end;
            if (commaSeparated) {
                if (!readNumber(p, itemEnd, &fields[fieldCount++]))
                    return false;
            } else if (!(last && isBlank(p, itemEnd))) { // a trailing separator is allowed
                const char *comma1
                    = static_cast<const char *>(std::memchr(p, ',', size_t(itemEnd - p)));
                const char *comma2 = comma1 ? static_cast<const char *>(
                                         std::memchr(comma1 + 1, ',', size_t(itemEnd - comma1 - 1)))
                                            : nullptr;
                if (!comma2 || std::memchr(comma2 + 1, ',', size_t(itemEnd - comma2 - 1)))
                    return false; // not three fields
                if (!readNumber(p, comma1, &fields[0])
                    || !readNumber(comma1 + 1, comma2, &fields[1])
                    || !readNumber(comma2 + 1, itemEnd, &fields[2]))
                    return false;
                fieldCount = 3;
            }
            if (fieldCount == 3) {
                if (loaded.size() > 0 && fields[0] < loaded.pxData()[loaded.size() - 1])
                    ordered = false;
                const int before = loaded.size();
                if (before == INT_MAX)
                    return false; // more than a chart holds
                loaded.append(fields[0], fields[1], fields[2]);
                if (loaded.size() == before)
                    return false; // out of memory
                fieldCount = 0;
            }
            if (progress && ++items % progressStep == 0)
                report(progress, itemEnd - begin, end - begin);
            if (last)
                break;
            p = itemEnd + separator.size();
        }
        if (fieldCount != 0)
            return false; // numbers not in threes
    }

    if (!ordered) {
        // Drawing needs the times in order; text written by the chart already is.
        const int n = loaded.size();
        QVector<int> order(n);
        std::iota(order.begin(), order.end(), 0);
        const double *x = loaded.pxData();
        std::stable_sort(order.begin(), order.end(), [x](int a, int b) { return x[a] < x[b]; });
        ValueOverTime sorted;
        sorted.reserve(n);
        for (int i : order)
            sorted.append(x[i], loaded.pyData()[i], loaded.pyRightData()[i]);
        if (sorted.size() != n)
            return false; // out of memory
        loaded = sorted;
    }
    if (progress)
        report(progress, end - begin, end - begin);

    d->samples = loaded;
    d->updateValueLabel();
    d->followNewest(true);
    return true;
}

} // namespace Utils
