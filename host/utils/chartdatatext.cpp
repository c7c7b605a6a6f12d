// The chart's samples as text, for the settings file.
//
// A settings file may hold a million samples and more, so both directions avoid a heap string
// per number: numbers are written with std::to_chars into a small buffer and read with
// std::from_chars from the text in place; QLocale is asked only about a field the fast reader
// does not take, so that such a field is judged exactly as before.

#include "simpletimechart_p.h"

#include <QLocale>
#include <QVector>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <numeric>

namespace Utils {

namespace {

// Samples (or items read) between two progress reports.
const int progressStep = 1 << 14;

// Writes `value` as QString::number(value, 'g', 17) does: 17 significant digits, which read back
// bit for bit. Two differences, both only for the better: where the exact value lies halfway
// between two 17-digit texts, to_chars takes the even last digit and QString::number the one
// away from zero (both read back the same); and negative zero keeps its sign ("-0").
inline char *writeNumber(char *out, double value)
{
    if (!std::isfinite(value)) {
        const QByteArray text = QByteArray::number(value, 'g', 17);
        return std::copy(text.cbegin(), text.cend(), out);
    }
    return std::to_chars(out, out + 32, value, std::chars_format::general, 17).ptr;
}

inline bool isBlank(const QChar *begin, const QChar *end)
{
    return std::all_of(begin, end, [](QChar c) { return c.isSpace(); });
}

// One number of the text, surrounding white space allowed; false unless it is finite.
bool readNumber(const QChar *begin, const QChar *end, double *value)
{
    while (begin < end && begin->isSpace())
        ++begin;
    while (end > begin && (end - 1)->isSpace())
        --end;
    char ascii[64];
    const int length = int(end - begin);
    bool plain = length > 0 && length < int(sizeof ascii);
    for (int i = 0; plain && i < length; ++i) {
        const ushort c = begin[i].unicode();
        plain = c < 128;
        ascii[i] = char(c);
    }
    if (plain) {
        const char *first = ascii;
        if (*first == '+' && length > 1 && first[1] != '-' && first[1] != '+')
            ++first; // from_chars takes no plus sign; QLocale does
        const auto result = std::from_chars(first, ascii + length, *value);
        if (result.ec == std::errc() && result.ptr == ascii + length)
            return std::isfinite(*value);
    }
    bool ok = false;
    *value = QLocale::c().toDouble(QStringView(begin, end), &ok);
    return ok && std::isfinite(*value);
}

} // namespace

void SimpleTimeChart::dataToString(QString &text, const QString &separator) const
{
    dataToString(text, separator, TextProgress());
}

void SimpleTimeChart::dataToString(QString &text, const QString &separator,
                                   const TextProgress &progress) const
{
    text.clear();
    // A copy shares the arrays: samples that arrive while the progress is reported (which may
    // run the event loop) detach the chart's own store and leave these as they are.
    const ValueOverTime samples = d->samples;
    const int n = samples.size();
    if (n == 0)
        return;
    // Typical items (a time of 13 digits and two 17-digit values) take about 52 characters;
    // capacity reserved beyond what is written is never touched.
    text.reserve(int(qMin<qint64>(qint64(n) * (56 + separator.size()), 1 << 29)));
    const double *x = samples.pxData();
    const double *y = samples.pyData();
    const double *r = samples.pyRightData();
    char item[3 * 32 + 2];
    for (int i = 0; i < n; ++i) {
        if (i > 0)
            text += separator;
        char *end = writeNumber(item, x[i]);
        *end++ = ',';
        end = writeNumber(end, y[i]);
        *end++ = ',';
        end = writeNumber(end, r[i]);
        text += QLatin1String(item, int(end - item));
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
    // Read everything into a separate store first, so that a failure leaves the chart alone.
    ValueOverTime loaded;
    bool ordered = true;
    const QChar *const begin = text.constData();
    const QChar *const end = begin + text.size();
    if (!isBlank(begin, end)) {
        if (separator.isEmpty())
            return false;
        // With "," as separator the separator is the field delimiter too: numbers in threes.
        const bool commaSeparated = separator == QLatin1String(",");
        const QChar *const separatorBegin = separator.constData();
        const QChar *const separatorEnd = separatorBegin + separator.size();
        double fields[3];
        int fieldCount = 0;
        int items = 0;
        const QChar *p = begin;
        for (;;) {
            const QChar *itemEnd = std::search(p, end, separatorBegin, separatorEnd);
            const bool last = itemEnd == end;
            if (commaSeparated) {
                if (!readNumber(p, itemEnd, &fields[fieldCount++]))
                    return false;
            } else if (!(last && isBlank(p, itemEnd))) { // a trailing separator is allowed
                for (fieldCount = 0; fieldCount < 3; ++fieldCount) {
                    const QChar *fieldEnd
                        = fieldCount < 2 ? std::find(p, itemEnd, QLatin1Char(',')) : itemEnd;
                    if (fieldEnd == itemEnd && fieldCount < 2)
                        return false; // fewer than three fields
                    if (fieldCount == 2 && std::find(p, itemEnd, QLatin1Char(',')) != itemEnd)
                        return false; // more than three
                    if (!readNumber(p, fieldEnd, &fields[fieldCount]))
                        return false;
                    p = fieldEnd + 1;
                }
            }
            if (fieldCount == 3) {
                if (loaded.size() > 0 && fields[0] < loaded.pxData()[loaded.size() - 1])
                    ordered = false;
                const int before = loaded.size();
                loaded.append(fields[0], fields[1], fields[2]);
                if (loaded.size() == before)
                    return false; // out of memory
                fieldCount = 0;
            }
            if (progress && ++items % progressStep == 0)
                progress(int(itemEnd - begin), text.size());
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
        progress(text.size(), text.size());

    d->samples = loaded;
    d->updateValueLabel();
    d->followNewest(true);
    return true;
}

} // namespace Utils
