#pragma once

#include <communicationinterface.h>
#include <portsettings.h>

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
