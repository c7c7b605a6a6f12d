#pragma once

#include "extensionsystem_global.h"

#include <QString>
#include <QList>
#include <QMetaType>

namespace ExtensionSystem {

// Settings of one serial connection. Delays are in milliseconds.
class EXTENSIONSYSTEM_EXPORT PortSettings
{
public:
    PortSettings();

    // Back to the defaults: no port, 38400 baud, no delays, auto-baud step 0.
    void vInit();

    // Auto-baud for identification: with a non-zero argument, the first call after the step
    // was reset keeps the current rate, every further call moves to the next standard rate
    // (9600, 19200, 38400, 57600, 115200, then 9600 again). Zero resets the step.
    void vSetBaudrateDefault(int enable);

    static const QList<int> &standardBaudrates();

    bool operator==(const PortSettings &other) const;
    bool operator!=(const PortSettings &other) const { return !(*this == other); }

    QString portName;
    int baudrate;
    int characterDelay;
    int lineDelay;
    int baudrateStep;
};

} // namespace ExtensionSystem

Q_DECLARE_METATYPE(ExtensionSystem::PortSettings)
