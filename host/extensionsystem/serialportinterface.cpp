#include "serialportinterface.h"

namespace ExtensionSystem {

SerialPortInterface::~SerialPortInterface() = default;

} // namespace ExtensionSystem
