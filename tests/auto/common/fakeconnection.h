#pragma once

#include <communicationinterface.h>
#include <connectionmanager.h>
#include <portsettings.h>

#include <QPointer>

#include <string>
#include <vector>

// A connection without a line behind it, for tests of the code above the serial line: it keeps
// its settings, everything sent raw, and whether it was closed; frames get ids but no answers.
class FakeConnection : public ExtensionSystem::CommunicationInterface
{
public:
    explicit FakeConnection(const ExtensionSystem::PortSettings &settings = {})
        : settings(settings)
    {
    }
    void vSendRawData(std::string data) override { sent.push_back(data); }
    unsigned int uiSendDataFrame(DataFrame *) override { return ++lastId; }
    void vSetPortSettings(const ExtensionSystem::PortSettings &s) override { settings = s; }
    ExtensionSystem::PortSettings getPortSettings() override { return settings; }
    void vClose() override { closed = true; }

    ExtensionSystem::PortSettings settings;
    std::vector<std::string> sent;
    unsigned int lastId = 0;
    bool closed = false;
};

// While it lives, the host's connection manager opens fake connections on every port but those
// under /dev/missing, and each opening is recorded.
class FakePorts
{
public:
    FakePorts()
    {
        ExtensionSystem::ConnectionManager::instance()->setFactory(
            [this](const ExtensionSystem::PortSettings &settings,
                   QString *error) -> ExtensionSystem::CommunicationInterface * {
                if (settings.portName.startsWith(QLatin1String("/dev/missing"))) {
                    *error = QStringLiteral("No such port");
                    return nullptr;
                }
                opened << settings;
                auto *connection = new FakeConnection(settings);
                connections << connection;
                return connection;
            });
    }
    ~FakePorts() { ExtensionSystem::ConnectionManager::instance()->setFactory({}); }

    FakeConnection *last() const { return connections.isEmpty() ? nullptr : connections.last(); }

    QList<ExtensionSystem::PortSettings> opened;
    QList<QPointer<FakeConnection>> connections;
};
