#include "sensorport.h"

#include "texts.h"

#include "model/sensorcatalogue.h"

#include <communicationinterface.h>
#include <connectionmanager.h>
#include <globals.h>
#include <serialcommunication.h>
#include <tcpcommunication.h>

#include <QCoreApplication>

#include <algorithm>

using namespace DrumoSensorPlugin::Core;

namespace QuxCtl {

Catalogue Catalogue::load(const QString &path)
{
    Catalogue catalogue;
    catalogue.path = path;
    for (const ExtensionSystem::SensorBasic &entry : readSensorCatalogue(path))
        catalogue.records.push_back(findSensorInCatalogue(entry.name(), path));
    return catalogue;
}

const Sensor *Catalogue::find(int group, int type) const
{
    for (const Sensor &record : records) {
        const std::vector<int> &types = record.type();
        if (record.group() == group && std::find(types.begin(), types.end(), type) != types.end())
            return &record;
    }
    return nullptr;
}

SensorPort::SensorPort(const QString &portName, const Catalogue &catalogue)
    : m_portName(portName)
    , m_catalogue(catalogue)
{
}

SensorPort::~SensorPort()
{
    // The session first: its poller may still refer to the connection.
    m_session.reset();
    if (m_connection)
        m_connection->vClose();
}

int SensorPort::baudrate() const
{
    return m_connection ? m_connection->getPortSettings().baudrate : 0;
}

QString SensorPort::lineLost() const
{
    // Both close the line at once when it fails, so this is current also before their
    // (queued) failure signal arrives.
    if (auto serial = qobject_cast<ExtensionSystem::SerialCommunication *>(m_connection.get()))
        return serial->isOpen() ? QString() : serial->errorString();
    if (auto network = qobject_cast<ExtensionSystem::TcpCommunication *>(m_connection.get()))
        return network->isOpen() ? QString() : network->errorString();
    return QString();
}

ExitStatus SensorPort::open(QString *message)
{
    if (m_catalogue.records.empty()) {
        *message = Texts::tr("The catalogue %1 lists no sensor type.").arg(m_catalogue.path);
        return WrongSensor;
    }
    // The port's timing comes from the catalogue, as the plug-in takes it from the record of
    // the window's sensor type; the first type stands for all until the sensor says which it is.
    const Sensor &probe = m_catalogue.records.front();
    ExtensionSystem::PortSettings settings;
    settings.vInit();
    settings.portName = m_portName;
    const std::vector<int> rates = probe.getBaudrates();
    if (!rates.empty())
        settings.baudrate = rates.front();
    settings.characterDelay = probe.getCharacterDelay();
    settings.lineDelay = probe.getLineDelay();

    QString error;
    m_connection.reset(ExtensionSystem::ConnectionManager::defaultFactory()(settings, &error));
    if (!m_connection) {
        *message = Texts::tr("The port %1 could not be opened: %2").arg(m_portName, error);
        return NoAnswer;
    }
    m_runner.setConnection(m_connection.get());

    const IdentifyResult result = identifySensor(m_connection.get(), m_runner, probe);
    if (result.status == IdentifyResult::NoAnswer) {
        *message = Texts::tr("No sensor answered on %1.").arg(m_portName);
        return NoAnswer;
    }
    m_found = result.identification;
    m_firmware = result.firmware;
    const Sensor *record = m_catalogue.find(m_found.group, m_found.type);
    if (!record) {
        *message = Texts::tr("The sensor on %1 (group %2, type %3) is not in the catalogue.")
                       .arg(m_portName)
                       .arg(m_found.group)
                       .arg(m_found.type);
        return WrongSensor;
    }
    m_record = *record;

    ExtensionSystem::PortSettings found = m_connection->getPortSettings();
    found.characterDelay = m_record.getCharacterDelay();
    found.lineDelay = m_record.getLineDelay();
    m_connection->vSetPortSettings(found);

    m_rows = std::make_unique<MemoryRows>(m_record, ExtensionSystem::Globals::getLanguage());
    m_session = std::make_unique<SensorSession>(m_record, m_runner, *m_rows, m_view);
    m_session->setConnection(m_connection.get());
    m_session->state().connected = true;
    // No command reads the baud rate: the row shows the rate the sensor was found at.
    m_session->dispatcher().showLineBaudRate();
    QObject::connect(&m_session->events(), &SessionEvents::deferredWriteRequested,
                     &m_session->events(), [this] { m_view.markDeferred(); });
    // As the window's check: a sensor that is gone leaves the session offline, so the rest of
    // a bulk transfer sends nothing.
    m_view.setConnectionCheck([this] {
        const bool there = m_session->identify().status == IdentifyResult::Identified;
        if (!there)
            m_session->state().connected = false;
        return there;
    });
    return Success;
}

} // namespace QuxCtl
