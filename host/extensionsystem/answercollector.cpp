#include "answercollector.h"

#include <cstdlib>
#include <cstring>

namespace ExtensionSystem {

namespace {
// The fewest characters a pattern of literals, escapes, classes, "." and quantifiers matches;
// groups count as their contents. 0 for anything else: a quantified group or an alternative.
int shortestMatch(const std::string &pattern)
{
    int total = 0;
    int last = 0; // what the last atom added, for a quantifier after it
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        switch (c) {
        case '|':
            return 0;
        case '^':
        case '$':
            continue;
        case '(':
        case ')':
            if (c == ')' && i + 1 < pattern.size()
                && std::strchr("?*+{", pattern[i + 1]) != nullptr)
                return 0;
            last = 0;
            if (c == '(' && i + 1 < pattern.size() && pattern[i + 1] == '?')
                return 0;
            continue;
        case '?':
        case '*':
            total -= last;
            last = 0;
            continue;
        case '+':
            last = 0;
            continue;
        case '{': {
            const std::size_t close = pattern.find('}', i);
            if (close == std::string::npos)
                return 0;
            const int count = std::atoi(pattern.c_str() + i + 1);
            total += last * (count - 1);
            last = 0;
            i = close;
            continue;
        }
        case '[': {
            // A "]" right after "[" or "[^" is a member of the class.
            std::size_t close = i + 1;
            if (close < pattern.size() && pattern[close] == '^')
                ++close;
            close = pattern.find(']', close + 1);
            if (close == std::string::npos)
                return 0;
            i = close;
            break;
        }
        case '\\':
            ++i;
            break;
        default:
            break;
        }
        last = 1;
        total += 1;
    }
    return total > 0 ? total : 0;
}
} // namespace

void AnswerCollector::start(const std::string &answerPattern)
{
    reset();
    if (m_hasPattern && m_patternText == answerPattern)
        return; // polling repeats one pattern: compile it once
    // The live polling alternates a few patterns; each compiled once.
    for (Compiled &compiled : m_compiled) {
        if (compiled.used && compiled.text == answerPattern) {
            std::swap(compiled.text, m_patternText);
            std::swap(compiled.pattern, m_pattern);
            std::swap(compiled.minimumLength, m_minimumLength);
            m_hasPattern = true;
            return;
        }
    }
    if (m_hasPattern) {
        m_compiled[m_nextCompiled] = { std::move(m_patternText), m_pattern, m_minimumLength, true };
        m_nextCompiled = (m_nextCompiled + 1) % compiledKept;
    }
    m_patternText = answerPattern;
    m_hasPattern = true;
    m_pattern = QRegularExpression(
        QRegularExpression::anchoredPattern(QString::fromStdString(answerPattern)));
    m_pattern.optimize();
    m_minimumLength = shortestMatch(answerPattern);
}

void AnswerCollector::reset()
{
    m_frame.clear();
    m_complete = false;
    m_status = Incomplete;
}

bool AnswerCollector::feed(const char *data, qsizetype size)
{
    const char *const end = data + size;
    while (!m_complete && data < end) {
        if (m_frame.isEmpty()) {
            const auto *slash
                = static_cast<const char *>(std::memchr(data, '/', size_t(end - data)));
            if (!slash)
                return false;
            m_frame = QByteArray(1, '/');
            data = slash + 1;
            continue;
        }
        const char *stop = data;
        while (stop < end && *stop != '/' && *stop != '.')
            ++stop;
        const bool tooLong = m_frame.size() + (stop - data) + (stop == end ? 0 : 1) > maxFrameBytes;
        if (stop == end) {
            if (tooLong)
                m_frame.clear();
            else
                m_frame.append(data, int(end - data));
            return false;
        }
        if (*stop == '/') {
            m_frame = QByteArray(1, '/');
        } else if (tooLong) {
            m_frame.clear(); // the "." ends noise, not a frame
        } else {
            m_frame.append(data, int(stop - data + 1));
            m_complete = true;
            // fromLatin1(QByteArray) would stop at a NUL; the length given keeps every byte.
            const QString text = QString::fromLatin1(m_frame.constData(), m_frame.size());
            m_status
                = m_pattern.isValid() && m_pattern.match(text).hasMatch() ? Matches : DoesNotMatch;
        }
        data = stop + 1;
    }
    return m_complete;
}

int AnswerCollector::remainingCharacters() const
{
    if (m_complete || m_frame.size() < 3)
        return 0;
    const auto digit = [](char c) {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    };
    const int high = digit(m_frame.at(1));
    const int low = digit(m_frame.at(2));
    if (high < 0 || low < 0)
        return 0;
    // "/", the length field, the body (two more than the field says), two checksum digits, ".".
    const int frameLength = 3 + (high * 16 + low + 2) + 3;
    return frameLength > m_frame.size() ? frameLength - int(m_frame.size()) : 0;
}

QString AnswerCollector::patternErrorString() const
{
    return m_pattern.isValid() ? QString() : m_pattern.errorString();
}

} // namespace ExtensionSystem
