#pragma once

#include <communicationinterface.h>

#include <QPointer>

namespace DrumoSensorPlugin {
namespace Core {

using DataFrame = ExtensionSystem::CommunicationInterface::DataFrame;

// Runs one synchronous transaction: returns once the communication object has made every entry
// of the frame final, or at once when there is no line (the entries then keep status 0). The
// window runs it behind its progress dialog, tools and tests in a local event loop. Either way
// the caller's event loop keeps running meanwhile, so timers and queued signals are delivered.
class TransactionRunner
{
public:
    virtual ~TransactionRunner() = default;
    virtual void runTransaction(DataFrame &frame) = 0;
};

// Waits for the transaction in a local event loop: the runner of programs and tests without a
// window. The wait also ends when the connection object is destroyed.
class EventLoopRunner : public TransactionRunner
{
public:
    explicit EventLoopRunner(ExtensionSystem::CommunicationInterface *connection = nullptr);

    void setConnection(ExtensionSystem::CommunicationInterface *connection);
    ExtensionSystem::CommunicationInterface *connection() const { return m_connection; }

    void runTransaction(DataFrame &frame) override;

private:
    QPointer<ExtensionSystem::CommunicationInterface> m_connection;
};

} // namespace Core
} // namespace DrumoSensorPlugin
