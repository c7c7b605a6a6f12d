#include "connectionmanager.h"

#include "serialcommunication.h"

namespace ExtensionSystem {

// Opens the settings' port at the settings' baud rate. SerialCommunication::open() logs why a
// port could not be opened (missing, busy, no permission) and the manager shows that text.
ConnectionManager::Factory ConnectionManager::defaultFactory()
{
    return [](const PortSettings &settings, QString *errorMessage) -> CommunicationInterface * {
        auto connection = std::make_unique<SerialCommunication>();
        if (!connection->open(settings, errorMessage))
            return nullptr;
        return connection.release();
    };
}

} // namespace ExtensionSystem
