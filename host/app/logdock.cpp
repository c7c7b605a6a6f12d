#include "logdock.h"

#include <QDateTime>
#include <QEvent>
#include <QMutex>
#include <QPlainTextEdit>
#include <QPointer>

namespace Orbexa::Internal {

namespace {
QMutex handlerMutex;
QPointer<LogDock> capturingDock;
QtMessageHandler previousHandler = nullptr;

void messageHandler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (previousHandler)
        previousHandler(type, context, message);
    if (type == QtDebugMsg || type == QtInfoMsg)
        return;
    // Qt's own platform chatter (and uncategorised output) means nothing to a user.
    const QLatin1String category(context.category ? context.category : "default");
    if (category == QLatin1String("default") || category.startsWith(QLatin1String("qt.")))
        return;
    QMutexLocker locker(&handlerMutex);
    if (capturingDock) {
        // Messages come from any thread; the dock is touched only in its own.
        QMetaObject::invokeMethod(capturingDock.data(), "append", Qt::QueuedConnection,
                                  Q_ARG(QString, message), Q_ARG(bool, true));
    }
}
} // namespace

LogDock::LogDock(QWidget *parent)
    : QDockWidget(parent)
    , m_view(new QPlainTextEdit)
{
    setObjectName(QStringLiteral("LogDock"));
    m_view->setReadOnly(true);
    m_view->setMaximumBlockCount(2000);
    m_view->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWidget(m_view);
    setWindowTitle(tr("Log"));
}

LogDock::~LogDock()
{
    if (m_capturing) {
        QMutexLocker locker(&handlerMutex);
        qInstallMessageHandler(previousHandler);
        previousHandler = nullptr;
        capturingDock = nullptr;
    }
}

void LogDock::captureMessages()
{
    QMutexLocker locker(&handlerMutex);
    if (m_capturing)
        return;
    m_capturing = true;
    capturingDock = this;
    previousHandler = qInstallMessageHandler(messageHandler);
}

QString LogDock::text() const
{
    return m_view->toPlainText();
}

void LogDock::append(const QString &text, bool error)
{
    const QString time = QTime::currentTime().toString(QStringLiteral("HH:mm:ss"));
    const QString html = QStringLiteral("<span style=\"color:gray\">%1</span>&nbsp; %2")
                             .arg(time,
                                  error ? QStringLiteral("<span style=\"color:#b00020\">%1</span>")
                                              .arg(text.toHtmlEscaped())
                                        : text.toHtmlEscaped());
    m_view->appendHtml(html);
}

void LogDock::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        setWindowTitle(tr("Log"));
    QDockWidget::changeEvent(event);
}

} // namespace Orbexa::Internal
