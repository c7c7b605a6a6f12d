#pragma once

// Answers the modal dialogs a test provokes (message boxes, the connection switch dialog,
// file dialogs), the way a user would, and records what they said.
//
//     ModalAnswerer answerer;
//     answerer.answer(QMessageBox::Ok);              // the next box gets Ok
//     answerer.answerWith([](QWidget *dialog) { ... });  // or anything else
//     window->doSomething();
//     QCOMPARE(answerer.seen().size(), 1);
//     QCOMPARE(answerer.seen().first().text, "...");
//
// It polls for QApplication::activeModalWidget() every few milliseconds from the event loop,
// which runs inside every modal exec(). A dialog for which no answer is queued is rejected (a
// message box gets its escape button) and recorded with `unanswered` set, so a test never hangs
// on an unexpected dialog.

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QList>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

#include <functional>

class ModalAnswerer : public QObject
{
public:
    struct Seen
    {
        QString className;
        QString title;
        QString text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        bool unanswered = false;
    };

    explicit ModalAnswerer(QObject *parent = nullptr)
        : QObject(parent)
    {
        m_timer.setInterval(5);
        connect(&m_timer, &QTimer::timeout, this, &ModalAnswerer::poll);
        m_timer.start();
    }

    // The next dialog is a message box; press its `button`.
    void answer(QMessageBox::StandardButton button)
    {
        m_answers.append([button](QWidget *dialog) {
            auto *box = qobject_cast<QMessageBox *>(dialog);
            if (box && box->button(button))
                box->button(button)->click();
            else if (auto *plain = qobject_cast<QDialog *>(dialog))
                plain->reject();
        });
    }

    // The next dialog is handled by `handler`, which must close it.
    void answerWith(std::function<void(QWidget *)> handler)
    {
        m_answers.append(std::move(handler));
    }

    const QList<Seen> &seen() const { return m_seen; }
    QStringList texts() const
    {
        QStringList result;
        for (const Seen &s : m_seen)
            result << s.text;
        return result;
    }
    int pending() const { return m_answers.size(); }
    void clear()
    {
        m_seen.clear();
        m_answers.clear();
    }

private:
    void poll()
    {
        QWidget *dialog = QApplication::activeModalWidget();
        if (!dialog || !dialog->isVisible() || dialog == m_handling)
            return;
        // A transaction's progress dialog appears after a delay on a slow machine and closes
        // itself when the answer comes; it asks nothing, so it is neither answered nor counted.
        if (dialog->inherits("Utils::ProgressBarUi"))
            return;
        m_handling = dialog;
        Seen seen;
        seen.className = QString::fromLatin1(dialog->metaObject()->className());
        seen.title = dialog->windowTitle();
        if (auto *box = qobject_cast<QMessageBox *>(dialog)) {
            seen.text = box->text();
            seen.icon = box->icon();
        }
        QPointer<QWidget> guard(dialog);
        if (m_answers.isEmpty()) {
            seen.unanswered = true;
            m_seen.append(seen);
            if (auto *box = qobject_cast<QMessageBox *>(dialog); box && box->escapeButton())
                box->escapeButton()->click();
            else if (auto *plain = qobject_cast<QDialog *>(dialog))
                plain->reject();
        } else {
            m_seen.append(seen);
            m_answers.takeFirst()(dialog);
        }
        m_handling = nullptr;
    }

    QTimer m_timer;
    QList<std::function<void(QWidget *)>> m_answers;
    QList<Seen> m_seen;
    QWidget *m_handling = nullptr;
};
