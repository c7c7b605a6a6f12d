#include "connectionmanager.h"

namespace ExtensionSystem {

// Placeholder until the serial connection lands: no port can be opened.
ConnectionManager::Factory ConnectionManager::defaultFactory()
{
    return [](const PortSettings &, QString *errorMessage) -> CommunicationInterface * {
        if (errorMessage)
            *errorMessage = QStringLiteral("Serial connections are not available.");
        return nullptr;
    };
}

} // namespace ExtensionSystem
