#pragma once

// Collects the log messages a test looks at while it lives; the others go on to the handler
// that was installed before.

#include <QLoggingCategory>
#include <QStringList>

#include <functional>

class MessageRecorder
{
public:
    using Filter = std::function<bool(const QMessageLogContext &context, const QString &text)>;

    explicit MessageRecorder(Filter takes)
        : m_takes(std::move(takes))
        , m_outer(s_current)
    {
        s_current = this;
        m_previous = qInstallMessageHandler(&MessageRecorder::handle);
    }
    ~MessageRecorder()
    {
        qInstallMessageHandler(m_previous);
        s_current = m_outer;
    }
    MessageRecorder(const MessageRecorder &) = delete;
    MessageRecorder &operator=(const MessageRecorder &) = delete;

    QStringList lines;

private:
    static void handle(QtMsgType type, const QMessageLogContext &context, const QString &text)
    {
        if (s_current && s_current->m_takes(context, text))
            s_current->lines << text;
        else if (s_current && s_current->m_previous)
            s_current->m_previous(type, context, text);
    }

    static inline MessageRecorder *s_current = nullptr;
    Filter m_takes;
    MessageRecorder *m_outer;
    QtMessageHandler m_previous = nullptr;
};
