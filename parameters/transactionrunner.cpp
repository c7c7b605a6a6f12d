#include "parameters/transactionrunner.h"

#include <QEventLoop>

namespace DrumoSensorPlugin {
namespace Core {

EventLoopRunner::EventLoopRunner(ExtensionSystem::CommunicationInterface *connection)
    : m_connection(connection)
{
}

void EventLoopRunner::setConnection(ExtensionSystem::CommunicationInterface *connection)
{
    m_connection = connection;
}

void EventLoopRunner::runTransaction(DataFrame &frame)
{
    if (!m_connection)
        return;
    QEventLoop loop;
    // The id is known only after the call; completion is never reported from inside it.
    unsigned int id = 0;
    QObject::connect(m_connection, &ExtensionSystem::CommunicationInterface::emitFinished, &loop,
                     [&](unsigned int finished) {
                         if (finished == id)
                             loop.quit();
                     });
    QObject::connect(m_connection, &QObject::destroyed, &loop, &QEventLoop::quit);
    id = m_connection->uiSendDataFrame(&frame);
    loop.exec();
}

} // namespace Core
} // namespace DrumoSensorPlugin
