#pragma once

#include "communicationinterface.h"
#include "extensionsystem_global.h"

#include <QString>

#include <memory>

namespace ExtensionSystem {

// The host's connection on a real serial line: a QSerialPort at 8N1 without flow control that
// runs the transaction queue of CommunicationInterface.
//
// Timing details that CommunicationInterface leaves to the implementation:
// - The time-out of an entry starts when the last character of its frame has been handed to the
//   driver (bytesWritten). Input is discarded before each entry; while a paced frame is still
//   being sent, whatever arrives is discarded as well, since the sensor answers only after the
//   whole frame.
// - An invalid answer pattern counts as "does not match": status 2 once a complete answer is in.
// - An entry whose frame cannot be written within its pacing time plus one second finishes with
//   status 0, so a stuck driver cannot hold the queue.
// - Transactions queued while the port is closed finish with status 0 from the event loop.
// - ResourceError (adapter unplugged) and the other errors that make the device unusable close
//   the port; portFailed() follows from the event loop. Read and write errors that leave the
//   port usable are logged and the entry runs into its time-out.
//
// The object lives in one thread; it is driven by its timers and the port's notifications, it
// never blocks and never sleeps.
class EXTENSIONSYSTEM_EXPORT SerialCommunication : public CommunicationInterface
{
    Q_OBJECT

public:
    explicit SerialCommunication(QObject *parent = nullptr);
    // Pending transactions finish with status 0; emitFinished is emitted for each.
    ~SerialCommunication() override;

    // Opens settings.portName at settings.baudrate (a port already open is closed first).
    // Returns false and fills *errorMessage ("Cannot open <port>: <reason>") on failure.
    bool open(const PortSettings &settings, QString *errorMessage = nullptr);
    bool isOpen() const;
    // The reason of the last failure to open, or of the failure that closed the port.
    QString errorString() const;
    // Transactions queued or running.
    int pendingTransactions() const;

    void vSendRawData(std::string data) override;
    unsigned int uiSendDataFrame(DataFrame *frame) override;
    void vSetPortSettings(const PortSettings &settings) override;
    PortSettings getPortSettings() override;
    void vClose() override;

signals:
    // The port failed while open (for instance the adapter was unplugged) and has been closed.
    void portFailed(const QString &reason);

private:
    class Private;
    std::unique_ptr<Private> d;
};

} // namespace ExtensionSystem
