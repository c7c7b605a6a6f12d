#include "plugin/sensorscan.h"

#include "plugin/pluginlog.h"
#include "protocol/identification.h"

#include <portsettings.h>
#include <serialportinterface.h>

#include <QThread>

#include <cstring>
#include <string>

namespace DrumoSensorPlugin {
namespace Core {

namespace {

constexpr int scanAttempts = 5;
constexpr int scanBaudrate = 38400;
// The shortest text that can hold an identification answer's group and type digits.
constexpr std::size_t minimumAnswerSize = 13;
// Line noise before the answer is tolerated up to these positions.
constexpr std::size_t maximumStartPosition = 50;
constexpr std::size_t maximumEndPosition = 100;

} // namespace

ExtensionSystem::SensorBasic *scanPortForSensor(ExtensionSystem::SerialPortInterface *port,
                                                const ScanTiming &timing)
{
    if (!port)
        return nullptr;

    ExtensionSystem::PortSettings settings;
    settings.vInit();
    port->vGetPortName(settings.portName);

    std::string buffer;
    std::size_t start = std::string::npos;
    bool answered = false;
    for (int attempt = 0; attempt < scanAttempts && !answered; ++attempt) {
        port->vClose();
        settings.baudrate = scanBaudrate;
        port->vApplySettings(&settings);
        port->vPrepare();
        // A lone "." ends whatever half frame a sensor may still be collecting.
        port->vSend(".");
        QThread::msleep(timing.wakeUpPause);
        port->vSend(identificationFrame());
        QThread::msleep(timing.answerPause);

        const std::string received = port->readAll();
        buffer.assign(received.c_str(), std::strlen(received.c_str()));
        if (buffer.size() < minimumAnswerSize)
            continue;
        start = buffer.find('/');
        const std::size_t end = buffer.find('.');
        answered = start < maximumStartPosition && end < maximumEndPosition;
    }

    if (!answered) {
        port->vClose();
        qCDebug(pluginLog) << "No sensor answered on" << settings.portName;
        return nullptr;
    }

    // At least 13 characters with the "/" below 50: the fields are all there.
    const Identification found = parseIdentification(buffer, start).value_or(Identification());
    auto *sensor = new ExtensionSystem::SensorBasic;
    sensor->setGroup(found.group);
    sensor->setType({ found.type });
    sensor->setFirmwareVersion({ found.firmwareDigit });
    // Marks records that come from a scan rather than from the catalogue.
    sensor->setCcustomDescription("DrumoResponse");
    port->vClose();
    return sensor;
}

} // namespace Core
} // namespace DrumoSensorPlugin
