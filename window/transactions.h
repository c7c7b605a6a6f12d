#pragma once

#include "parameters/transactionrunner.h"

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

} // namespace Core
} // namespace DrumoSensorPlugin
