#include "communicationinterface.h"

namespace ExtensionSystem {

namespace {
// Registered once so that queued connections and QVariant can carry transactions.
const int registered = [] {
    qRegisterMetaType<CommunicationInterface::DataFrame>(
        "ExtensionSystem::CommunicationInterface::DataFrame");
    qRegisterMetaType<CommunicationInterface::DataFrame *>(
        "ExtensionSystem::CommunicationInterface::DataFrame*");
    qRegisterMetaType<PortSettings>("ExtensionSystem::PortSettings");
    return 0;
}();
} // namespace

CommunicationInterface::CommunicationInterface(QObject *parent)
    : QObject(parent)
{
    Q_UNUSED(registered)
}

CommunicationInterface::~CommunicationInterface() = default;

} // namespace ExtensionSystem
