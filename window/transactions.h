#pragma once

#include "parameters/transactionrunner.h"

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

// One of the window's nested waits (a transaction, a question, a message), counted while it
// lasts: the window's owner must not delete the window from under the code that waits
// (SensorWindow::isWaiting). Should the window go anyway (with a parent that is deleted), there
// is nothing left to count down.
class NestedWait
{
public:
    NestedWait(QObject *window, int &counter)
        : m_window(window)
        , m_counter(counter)
    {
        ++m_counter;
    }
    ~NestedWait()
    {
        if (m_window)
            --m_counter;
    }
    NestedWait(const NestedWait &) = delete;
    NestedWait &operator=(const NestedWait &) = delete;

private:
    QPointer<QObject> m_window;
    int &m_counter;
};

} // namespace Core
} // namespace DrumoSensorPlugin
