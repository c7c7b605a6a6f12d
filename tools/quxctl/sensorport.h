#pragma once

#include "consoleview.h"
#include "exitstatus.h"

#include "model/memoryrows.h"
#include "model/sensor.h"
#include "parameters/sensorsession.h"
#include "parameters/transactionrunner.h"
#include "protocol/identification.h"

#include <QString>

#include <memory>
#include <vector>

namespace QuxCtl {

// The sensor types of the catalogue, with their whole records.
struct Catalogue
{
    QString path;
    std::vector<DrumoSensorPlugin::Core::Sensor> records;

    static Catalogue load(const QString &path);
    // The record of the type that reports this group and type number; null when none does.
    const DrumoSensorPlugin::Core::Sensor *find(int group, int type) const;
};

// One sensor on one serial port, worked on as the plug-in's window would: the host's serial
// connection, the plug-in's identification with its baud stepping, and a session on rows kept
// in memory, built from the catalogue's description of the sensor's type.
class SensorPort
{
public:
    SensorPort(const QString &portName, const Catalogue &catalogue);
    ~SensorPort();

    // Opens the port and finds the sensor. Success, NoAnswer (the port could not be opened or
    // nothing answered) or WrongSensor (a sensor the catalogue does not know); `message` says
    // what happened in the user's language.
    ExitStatus open(QString *message);

    const QString &portName() const { return m_portName; }
    const DrumoSensorPlugin::Core::Sensor &record() const { return m_record; }
    const DrumoSensorPlugin::Core::Identification &identification() const { return m_found; }
    QString firmware() const { return m_firmware; }
    int baudrate() const;
    // A network port: its line rate is its server's, neither stepped nor written.
    bool lineRateFixed() const { return m_session && m_session->state().lineRateFixed; }
    // Why the line closed under the session (adapter unplugged, connection dropped); empty
    // while it is open.
    QString lineLost() const;

    DrumoSensorPlugin::Core::SensorSession &session() { return *m_session; }
    DrumoSensorPlugin::Core::MemoryRows &rows() { return *m_rows; }
    ConsoleView &view() { return m_view; }
    ExtensionSystem::CommunicationInterface *connection() const { return m_connection.get(); }

private:
    QString m_portName;
    const Catalogue &m_catalogue;
    std::unique_ptr<ExtensionSystem::CommunicationInterface> m_connection;
    DrumoSensorPlugin::Core::EventLoopRunner m_runner;
    DrumoSensorPlugin::Core::Sensor m_record;
    DrumoSensorPlugin::Core::Identification m_found;
    QString m_firmware;
    ConsoleView m_view;
    std::unique_ptr<DrumoSensorPlugin::Core::MemoryRows> m_rows;
    std::unique_ptr<DrumoSensorPlugin::Core::SensorSession> m_session;
};

} // namespace QuxCtl
