#pragma once

#include "devicecommunication.h"
#include "extensionsystem_global.h"

#include <QString>

#include <memory>

namespace ExtensionSystem {

// The host's connection to a sensor behind a serial device server ("tcp://HOST:PORT"): a raw
// TCP connection that runs the transaction queue of DeviceCommunication exactly as the serial
// connection does, with the same answer collector, time-outs and status values.
//
// What differs from a serial line:
// - The line rate is set on the server. vSetPortSettings() keeps the other settings but never
//   changes the baud rate getPortSettings() reports: it stays the rate the port was opened with.
// - open() connects at once and waits at most connectTimeoutMs for the server; an unknown host,
//   a refused or a timed-out connection fail there with a message, like a missing device.
// - The time-out of an entry starts once its last character was handed to the socket (small
//   writes go out at once: Nagle's algorithm is off). Bytes received before that are dropped.
// - The server closing the connection, or any socket error while connected, closes the port:
//   the running entry and every pending transaction finish with status 0 from the event loop
//   and portFailed() follows, as for an unplugged adapter.
class EXTENSIONSYSTEM_EXPORT TcpCommunication : public DeviceCommunication
{
    Q_OBJECT

public:
    static constexpr int connectTimeoutMs = 3000;

    explicit TcpCommunication(QObject *parent = nullptr);
    ~TcpCommunication() override;

    // Connects to settings.portName ("tcp://HOST:PORT"). Returns false and fills
    // *errorMessage ("Cannot connect to <port>: <reason>") on failure.
    bool open(const PortSettings &settings, QString *errorMessage = nullptr);
    bool isOpen() const override;

    void vSendRawData(std::string data) override;
    void vSetPortSettings(const PortSettings &settings) override;
    PortSettings getPortSettings() override;
    void vClose() override;

protected:
    void writeCharacters(const char *data, int count) override;
    void closeDevice() override;

private:
    class Private;
    std::unique_ptr<Private> d;
};

} // namespace ExtensionSystem
