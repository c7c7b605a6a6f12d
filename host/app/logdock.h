#pragma once

#include <QDockWidget>

class QPlainTextEdit;

namespace Orbexa::Internal {

// The "Log" dock: what the host did and what went wrong (plug-ins skipped, sensors that could
// not be opened), plus the warnings of the libraries, which otherwise only reach a console
// the user does not see.
class LogDock : public QDockWidget
{
    Q_OBJECT

public:
    explicit LogDock(QWidget *parent = nullptr);
    ~LogDock() override;

    // Routes warnings and errors of the whole process here (while this dock lives).
    void captureMessages();

    QString text() const;

public slots:
    void append(const QString &text, bool error = false);

protected:
    void changeEvent(QEvent *event) override;

private:
    QPlainTextEdit *m_view;
    bool m_capturing = false;
};

} // namespace Orbexa::Internal
