#include "portsettings.h"

namespace ExtensionSystem {

PortSettings::PortSettings()
{
    vInit();
}

void PortSettings::vInit()
{
    portName.clear();
    baudrate = 38400;
    characterDelay = 0;
    lineDelay = 0;
    baudrateStep = 0;
}

const QList<int> &PortSettings::standardBaudrates()
{
    static const QList<int> rates{9600, 19200, 38400, 57600, 115200};
    return rates;
}

void PortSettings::vSetBaudrateDefault(int enable)
{
    if (enable == 0) {
        baudrateStep = 0;
        return;
    }
    if (baudrateStep == 0) {
        // The first attempt uses the rate the caller configured.
        baudrateStep = 1;
        return;
    }
    const QList<int> &rates = standardBaudrates();
    const int index = rates.indexOf(baudrate);
    baudrate = rates.at(index < 0 ? 0 : (index + 1) % rates.size());
    ++baudrateStep;
}

bool PortSettings::operator==(const PortSettings &other) const
{
    return portName == other.portName && baudrate == other.baudrate
           && characterDelay == other.characterDelay && lineDelay == other.lineDelay
           && baudrateStep == other.baudrateStep;
}

} // namespace ExtensionSystem
