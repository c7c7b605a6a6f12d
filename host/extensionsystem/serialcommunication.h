#pragma once

#include "devicecommunication.h"
#include "extensionsystem_global.h"

#include <QString>

#include <memory>

namespace ExtensionSystem {

// The host's connection on a real serial line: a QSerialPort at 8N1 without flow control that
// runs the transaction queue of DeviceCommunication.
//
// Details of the serial line:
// - The frame is sent completely when its last character has been handed to the driver: the
//   port is flushed right after each write, so that moment is known. The time-out starts then.
// - What remains of the late-answer problem: characters that arrive after that moment are
//   taken, whatever request they answer. A sensor answering an earlier request later than that
//   request's time-out can therefore answer the next request too, when both have the same
//   answer pattern (repeated polls), and the line carries nothing that could tell them apart.
//   Time-outs above the sensor's reaction time avoid it; a sensor that is slower than the
//   time-out gets status 0 as long as its stale answer arrives before the next request is out.
// - An entry whose frame cannot be written within its pacing time plus one second finishes with
//   status 0, so a stuck driver cannot hold the queue.
// - ResourceError (adapter unplugged) and the other errors that make the device unusable close
//   the port; portFailed() follows from the event loop. Read and write errors that leave the
//   port usable are logged and the entry runs into its time-out.
//
// The object never blocks and never sleeps.
class EXTENSIONSYSTEM_EXPORT SerialCommunication : public DeviceCommunication
{
    Q_OBJECT

public:
    explicit SerialCommunication(QObject *parent = nullptr);
    // Pending transactions finish with status 0; emitFinished is emitted for each.
    ~SerialCommunication() override;

    // Opens settings.portName at settings.baudrate (a port already open is closed first).
    // Returns false and fills *errorMessage ("Cannot open <port>: <reason>") on failure.
    bool open(const PortSettings &settings, QString *errorMessage = nullptr);
    bool isOpen() const override;

    void vSendRawData(std::string data) override;
    void vSetPortSettings(const PortSettings &settings) override;
    PortSettings getPortSettings() override;
    void vClose() override;

protected:
    void discardInput() override;
    void writeCharacters(const char *data, int count) override;
    bool writeDrained() const override;
    void fetchPending() override;
    void setReadThreshold(int characters) override;
    double characterTimeMs() const override;
    void closeDevice() override;

private:
    class Private;
    std::unique_ptr<Private> d;
};

} // namespace ExtensionSystem
