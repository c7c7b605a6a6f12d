#pragma once

#include <portsettings.h>
#include <serialportinterface.h>

#include <QString>
#include <QStringList>

#include <atomic>
#include <deque>
#include <string>

// A serial port without a line behind it: records every call in order and hands out one
// prepared text per read (nothing once they are used up). Once `cancelled`, it reports a
// failed port, as a scan's cancel makes a blocked port do.
class FakeSerialPort : public ExtensionSystem::SerialPortInterface
{
public:
    explicit FakeSerialPort(std::deque<std::string> answers = {},
                            const QString &portName = "/dev/ttyQUX0")
        : m_answers(std::move(answers))
        , m_portName(portName)
    {
    }

    void vApplySettings(ExtensionSystem::PortSettings *settings) override
    {
        calls << QString("apply %1 %2").arg(settings->portName).arg(settings->baudrate);
    }
    void vGetPortName(QString &portName) override
    {
        calls << "name";
        portName = m_portName;
    }
    void vPrepare() override { calls << "prepare"; }
    void vClose() override { calls << "close"; }
    void vClear() override { calls << "clear"; }
    void vSend(const std::string &text) override
    {
        calls << "send " + QString::fromStdString(text);
    }
    int iBytesAvailable() override
    {
        return cancelled ? -1 : m_answers.empty() ? 0 : int(m_answers.front().size());
    }
    std::string readAll() override
    {
        calls << "read";
        if (m_answers.empty())
            return {};
        std::string answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    }

    QStringList calls;
    std::atomic<bool> cancelled { false };

private:
    std::deque<std::string> m_answers;
    QString m_portName;
};
