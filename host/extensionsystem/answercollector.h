#pragma once

#include "extensionsystem_global.h"

#include <QByteArray>
#include <QRegularExpression>

#include <string>

namespace ExtensionSystem {

// Cuts one answer frame out of the bytes a line delivers, in whatever pieces they come, and
// decides its status. The serial and the simulated connection both use it, so both read a line
// the same way.
//
// A frame runs from a "/" to the next "."; a "/" before that "." starts the frame over, so line
// noise in front of an answer (a stray "/" included) never costs the answer. Bytes before the
// first "/" and after the "." are ignored. Every byte counts, NUL included: the pattern is
// applied to the whole frame as Latin-1 text, anchored at both ends.
//
// A frame is short: its two-digit length field describes at most 263 bytes. What runs on longer
// from a "/" is line noise (or a peer flooding the line): once it exceeds maxFrameBytes it is
// forgotten and the collector waits for the next "/", so memory stays bounded whatever the line
// sends until the time-out.
//
// Which bytes are fed is the connection's business: it feeds only what arrived after the
// request was sent completely.
class EXTENSIONSYSTEM_EXPORT AnswerCollector
{
public:
    // Status values of CommunicationInterface::DataFrameEntry.
    enum Status : quint32 { Incomplete = 0, Matches = 1, DoesNotMatch = 2 };
    // The longest frame taken, from "/" to "." inclusive.
    static constexpr qsizetype maxFrameBytes = 512;

    // Forgets what was collected and waits for an answer matching `answerPattern`. An invalid
    // pattern matches nothing. The compiled pattern is kept while it does not change.
    void start(const std::string &answerPattern);
    // Forgets what was collected; the pattern stays.
    void reset();

    // Takes the next received bytes. Returns true once the frame is complete; from then on
    // further bytes are ignored until the next start() or reset().
    bool feed(const char *data, qsizetype size);
    bool feed(const QByteArray &data) { return feed(data.constData(), data.size()); }

    // Characters still to come before the begun frame can be complete, from its length field
    // ("/" and two hex digits: the body's length less two); 0 while that is not known yet or
    // the frame holds more than the field announced (the "." decides then).
    int remainingCharacters() const;
    // The fewest characters an answer matching the pattern has; 0 when the pattern is beyond
    // the simple reading this takes (alternatives, repeated groups).
    int minimumLength() const { return m_minimumLength; }

    bool isComplete() const { return m_complete; }
    // Matches or DoesNotMatch once complete, Incomplete before.
    quint32 status() const { return m_status; }
    // The complete frame, or the frame begun so far (from its "/"); empty before any "/".
    const QByteArray &answer() const { return m_frame; }

    bool isPatternValid() const { return m_pattern.isValid(); }
    QString patternErrorString() const;

private:
    QRegularExpression m_pattern;
    std::string m_patternText;
    bool m_hasPattern = false;
    // Patterns used before, compiled.
    struct Compiled
    {
        std::string text;
        QRegularExpression pattern;
        int minimumLength = 0;
        bool used = false;
    };
    // Enough for the reads of a whole parameter set (about fifteen patterns) besides the live
    // poll's, so that a sequence run again compiles nothing.
    static constexpr int compiledKept = 24;
    Compiled m_compiled[compiledKept];
    int m_nextCompiled = 0;
    int m_minimumLength = 0;
    QByteArray m_frame;
    bool m_complete = false;
    quint32 m_status = Incomplete;
};

} // namespace ExtensionSystem
