#include "consoleview.h"

#include <communicationinterface.h>

namespace QuxCtl {

void ConsoleView::setConnection(ExtensionSystem::CommunicationInterface *connection)
{
    m_connection = connection;
}

bool ConsoleView::takeDeferred()
{
    const bool deferred = m_deferred;
    m_deferred = false;
    return deferred;
}

int ConsoleView::currentBaudRateIndex() const
{
    if (!m_connection)
        return -1;
    static const int rates[] = { 9600, 19200, 38400, 57600, 115200 };
    const int rate = m_connection->getPortSettings().baudrate;
    for (int index = 0; index < 5; ++index) {
        if (rates[index] == rate)
            return index;
    }
    return -1;
}

} // namespace QuxCtl
