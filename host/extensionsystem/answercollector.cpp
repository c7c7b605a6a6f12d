#include "answercollector.h"

#include <cstring>

namespace ExtensionSystem {

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
            m_hasPattern = true;
            return;
        }
    }
    if (m_hasPattern) {
        m_compiled[m_nextCompiled] = { std::move(m_patternText), m_pattern, true };
        m_nextCompiled = (m_nextCompiled + 1) % compiledKept;
    }
    m_patternText = answerPattern;
    m_hasPattern = true;
    m_pattern = QRegularExpression(
        QRegularExpression::anchoredPattern(QString::fromStdString(answerPattern)));
    m_pattern.optimize();
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

QString AnswerCollector::patternErrorString() const
{
    return m_pattern.isValid() ? QString() : m_pattern.errorString();
}

} // namespace ExtensionSystem
