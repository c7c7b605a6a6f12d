#include "scanports.h"

#include "networkport.h"
#include "serialscanport.h"
#include "tcpscanport.h"

namespace ExtensionSystem {

std::unique_ptr<SerialPortInterface> makeScanPort(const QString &portName)
{
    if (NetworkPort::isNetworkPortName(portName))
        return std::make_unique<TcpScanPort>(portName);
    return std::make_unique<SerialScanPort>(portName);
}

void cancelScanPort(SerialPortInterface *port)
{
    if (auto network = dynamic_cast<TcpScanPort *>(port))
        network->cancel();
    else if (auto serial = dynamic_cast<SerialScanPort *>(port))
        serial->cancel();
}

} // namespace ExtensionSystem
