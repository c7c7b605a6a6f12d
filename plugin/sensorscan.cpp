#include "plugin/sensorscan.h"

#include "plugin/pluginlog.h"

#include <portsettings.h>
#include <serialportinterface.h>

#include <QThread>

#include <cstring>
#include <sstream>
#include <string>

namespace DrumoSensorPlugin {
namespace Core {

namespace {

constexpr int scanAttempts = 5;
constexpr int scanBaudrate = 38400;
// The frame with body "0V"; a sensor answers "/070V8" + firmware + ":" + six hex digits + ".".
const char identificationRequest[] = "/000V49.";
// The shortest text that can hold an identification answer's group and type digits.
constexpr std::size_t minimumAnswerSize = 13;
// Line noise before the answer is tolerated up to these positions.
constexpr std::size_t maximumStartPosition = 50;
constexpr std::size_t maximumEndPosition = 100;

// A hexadecimal number of `count` characters at `position`, 0 when they do not read as hex.
int hexAt(const std::string &text, std::size_t position, std::size_t count)
{
    if (position >= text.size())
        return 0;
    std::istringstream stream(text.substr(position, count));
    int value = 0;
    stream >> std::hex >> value;
    return stream.fail() ? 0 : value;
}

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
        port->vSend(identificationRequest);
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

    auto *sensor = new ExtensionSystem::SensorBasic;
    sensor->setGroup(hexAt(buffer, start + 8, 2));
    sensor->setType({ hexAt(buffer, start + 10, 2) });
    sensor->setFirmwareVersion({ hexAt(buffer, start + 6, 1) });
    // Marks records that come from a scan rather than from the catalogue.
    sensor->setCcustomDescription("DrumoResponse");
    port->vClose();
    return sensor;
}

} // namespace Core
} // namespace DrumoSensorPlugin
