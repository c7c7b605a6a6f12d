#include "connectionmanager.h"

#include "networkport.h"
#include "serialcommunication.h"
#include "tcpcommunication.h"

namespace ExtensionSystem {

namespace {
template<typename Connection>
CommunicationInterface *openConnection(const PortSettings &settings, QString *errorMessage)
{
    auto connection = std::make_unique<Connection>();
    if (!connection->open(settings, errorMessage))
        return nullptr;
    return connection.release();
}
} // namespace

// Opens the settings' port: "tcp://HOST:PORT" connects to a serial device server, any other
// name is a serial device opened at the settings' baud rate. Both open() calls say why a port
// could not be opened (missing, busy, refused, no permission) and the manager shows that text.
ConnectionManager::Factory ConnectionManager::defaultFactory()
{
    return [](const PortSettings &settings, QString *errorMessage) -> CommunicationInterface * {
        if (NetworkPort::isNetworkPortName(settings.portName))
            return openConnection<TcpCommunication>(settings, errorMessage);
        return openConnection<SerialCommunication>(settings, errorMessage);
    };
}

} // namespace ExtensionSystem
