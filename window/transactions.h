#pragma once

#include "parameters/transactionrunner.h"

#include <progressbarui.h>

#include <QList>
#include <QPointer>

#include <functional>

namespace DrumoSensorPlugin {
namespace Core {

// The window's runner: every synchronous transaction of its session goes through the window's
// sendDataFrame, behind the progress dialog.
class WindowTransactionRunner : public TransactionRunner
{
public:
    explicit WindowTransactionRunner(std::function<void(DataFrame &)> run)
        : m_run(std::move(run))
    {
    }

    void runTransaction(DataFrame &frame) override { m_run(frame); }

private:
    std::function<void(DataFrame &)> m_run;
};

// One of the window's nested waits (a transaction, a question, a message, a file's progress),
// counted while it lasts: the window's owner must not delete the window from under the code that
// waits (SensorWindow::isWaiting), it abandons it instead. The last wait of an abandoned window
// to end hands the window to deleteLater(): posted from there, the deletion waits until control
// is back in the event loop that runs the outermost waiting code's caller, so no code of the
// window is left on the stack. (deleteLater() called inside the wait would run in the wait's
// own loop.) Should the window go anyway (with a parent that is deleted), there is nothing left
// to count down.
class NestedWait;

// A window's nested waits: how many run, and whether its owner let go of it meanwhile (it then
// finishes without a line and without asking or telling anything).
struct WindowWaits
{
    int nested = 0;
    bool abandoned = false;
    // The progress dialog the window's transactions share, one after another: made once, it
    // spares each request of a sequence a dialog made and torn down while the line stands idle.
    QPointer<Utils::ProgressBarUi> progress;
    bool progressWaiting = false; // a transaction started inside its wait gets one of its own
    // The views whose painting a running sequence holds back (PaintHold), and how many holds.
    QList<QPointer<QWidget>> heldViews;
    int paintHolds = 0;
};

// Runs `frame` on `line` behind the progress dialog of `window`: its nested event loop keeps
// the window's timers and queued signals running while the transaction is on the line; only the
// completion of this transaction's id ends the wait.
void runBehindProgress(QWidget *window, WindowWaits *waits,
                       ExtensionSystem::CommunicationInterface *line, DataFrame *frame,
                       bool showUi);

class NestedWait
{
public:
    NestedWait(QObject *window, WindowWaits *waits)
        : m_window(window)
        , m_waits(waits)
    {
        ++m_waits->nested;
    }
    ~NestedWait()
    {
        if (m_window && --m_waits->nested == 0 && m_waits->abandoned)
            m_window->deleteLater();
    }
    NestedWait(const NestedWait &) = delete;
    NestedWait &operator=(const NestedWait &) = delete;

private:
    QPointer<QObject> m_window;
    WindowWaits *m_waits; // only used while m_window lives
};

} // namespace Core
} // namespace DrumoSensorPlugin
