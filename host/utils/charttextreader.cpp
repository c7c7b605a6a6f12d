// Reading the chart text without a heap string per number: numbers are read with
// std::from_chars from the text in place; QLocale is asked only about a field the fast reader
// does not take, so that such a field is judged as the chart has always judged it.

#include "charttextreader.h"

#include <QLocale>
#include <QString>
#include <QVector>

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstring>
#include <numeric>

namespace Utils {

namespace {

// Items read between two progress reports.
const int progressStep = 1 << 14;

inline bool isCSpace(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

bool isBlank(const char *begin, const char *end)
{
    return std::all_of(begin, end, isCSpace);
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

const char *findChar(const char *from, const char *end, char c)
{
    const void *found = std::memchr(from, c, size_t(end - from));
    return found ? static_cast<const char *>(found) : end;
}

} // namespace

ChartTextReader::ChartTextReader(std::string_view separator)
    : m_separator(separator)
    , m_commaSeparated(separator == ",") // the separator is the field delimiter too
{
}

void ChartTextReader::setProgress(const Progress &progress, qint64 totalBytes)
{
    m_progress = progress;
    m_totalBytes = totalBytes;
}

void ChartTextReader::restart()
{
    *this = ChartTextReader(m_separator);
}

bool ChartTextReader::fail()
{
    m_failed = true;
    m_nonBlank = true; // only a text with more than white space can fail
    m_tail = std::string();
    m_samples = ValueOverTime();
    return false;
}

bool ChartTextReader::item(const char *begin, const char *end, bool last)
{
    bool read;
    if (m_commaSeparated) {
        read = readNumber(begin, end, &m_fields[m_fieldCount]);
        m_fieldCount += read ? 1 : 0;
    } else if (last && isBlank(begin, end)) {
        return true; // a trailing separator
    } else {
        const char *comma1 = findChar(begin, end, ',');
        const char *comma2 = comma1 < end ? findChar(comma1 + 1, end, ',') : end;
        read = comma2 < end && findChar(comma2 + 1, end, ',') == end
            && readNumber(begin, comma1, &m_fields[0])
            && readNumber(comma1 + 1, comma2, &m_fields[1])
            && readNumber(comma2 + 1, end, &m_fields[2]);
        m_fieldCount = read ? 3 : 0;
    }
    if (!read) {
        // A text of nothing but white space reads as no samples, separators and all.
        if (m_nonBlank || !isBlank(begin, end))
            return fail();
        m_blankFailure = true;
        return true;
    }
    if (m_blankFailure)
        return fail();
    m_nonBlank = true;
    if (m_fieldCount == 3) {
        const int before = m_samples.size();
        if (before > 0 && m_fields[0] < m_samples.pxData()[before - 1])
            m_ordered = false;
        if (before == INT_MAX)
            return fail(); // more than a chart holds
        m_samples.append(m_fields[0], m_fields[1], m_fields[2]);
        if (m_samples.size() == before)
            return fail(); // out of memory
        m_fieldCount = 0;
    }
    if (m_progress && ++m_items % progressStep == 0) {
        qint64 done = m_bytes;
        qint64 total = qMax(m_totalBytes, done);
        while (total > INT_MAX) {
            done >>= 10;
            total >>= 10;
        }
        m_progress(int(done), int(total));
    }
    return true;
}

bool ChartTextReader::append(std::string_view piece)
{
    if (m_failed)
        return false;
    const char *p = piece.data();
    const char *const end = p + piece.size();
    if (m_separator.empty()) {
        if (!isBlank(p, end))
            return fail();
        return true;
    }
    const size_t width = m_separator.size();
    const auto findSeparator = [this, width, end](const char *from) {
        if (width == 1)
            return findChar(from, end, m_separator[0]);
        return std::search(from, end, m_separator.begin(), m_separator.end());
    };
    if (!m_tail.empty()) {
        // The item held back ends in this piece, or a separator starts in it and ends here.
        const size_t held = std::min(m_tail.size(), width - 1);
        std::string joint = m_tail.substr(m_tail.size() - held);
        joint.append(p, std::min(piece.size(), width - 1));
        const size_t across = joint.find(m_separator);
        const char *itemEnd = end;
        if (across != std::string::npos && across < held) {
            m_tail.resize(m_tail.size() - held + across);
            p += across + width - held;
        } else {
            itemEnd = findSeparator(p);
            m_tail.append(p, size_t(itemEnd - p));
            if (itemEnd == end) {
                m_bytes += qint64(piece.size());
                return true; // still no end to it
            }
            p = itemEnd + width;
        }
        if (!item(m_tail.data(), m_tail.data() + m_tail.size(), false))
            return false;
        m_tail.clear();
    }
    const qint64 start = m_bytes;
    for (;;) {
        const char *itemEnd = findSeparator(p);
        if (itemEnd == end) {
            m_tail.assign(p, size_t(end - p));
            break;
        }
        m_bytes = start + (itemEnd - piece.data());
        if (!item(p, itemEnd, false))
            return false;
        p = itemEnd + width;
    }
    m_bytes = start + qint64(piece.size());
    return true;
}

bool ChartTextReader::finish()
{
    if (!m_failed && !m_separator.empty())
        item(m_tail.data(), m_tail.data() + m_tail.size(), true);
    m_tail = std::string();
    if (!m_nonBlank) {
        m_samples = ValueOverTime();
        m_failed = false;
        return true;
    }
    if (m_failed || m_blankFailure || m_fieldCount != 0)
        return fail(); // unreadable, or numbers not in threes

    if (!m_ordered) {
        // Drawing needs the times in order; text written by the chart already is.
        const int n = m_samples.size();
        QVector<int> order(n);
        std::iota(order.begin(), order.end(), 0);
        const double *x = m_samples.pxData();
        std::stable_sort(order.begin(), order.end(), [x](int a, int b) { return x[a] < x[b]; });
        ValueOverTime sorted;
        sorted.reserve(n);
        for (int i : order)
            sorted.append(x[i], m_samples.pyData()[i], m_samples.pyRightData()[i]);
        if (sorted.size() != n)
            return fail(); // out of memory
        m_samples = sorted;
        m_ordered = true;
    }
    if (m_progress)
        m_progress(1, 1);
    return true;
}

ValueOverTime ChartTextReader::takeSamples()
{
    ValueOverTime samples = m_samples;
    m_samples = ValueOverTime();
    return samples;
}

} // namespace Utils
