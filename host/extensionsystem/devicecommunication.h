#pragma once

#include "communicationinterface.h"
#include "extensionsystem_global.h"

#include <QString>

#include <memory>

QT_BEGIN_NAMESPACE
class QIODevice;
QT_END_NAMESPACE

namespace ExtensionSystem {

// Runs the transaction queue of CommunicationInterface over a byte stream device: a serial line
// or a connection to a serial device server. Subclasses open and close the device, apply port
// settings and report the device's failures; what happens between a queued DataFrame and its
// emitFinished is the same for every device and lives here:
// - Input is discarded before each entry and, for a paced frame, again just before its last
//   character goes out; the time-out starts once that character was handed over (writeDrained()), and
//   nothing received before that moment can answer the frame.
// - The answer is cut out by AnswerCollector: a later "/" starts the frame over (line noise),
//   NUL and every other byte count. An invalid answer pattern counts as "does not match":
//   status 2 once a complete answer is in.
// - Transactions queued while the device is closed finish with status 0 from the event loop.
// - failPort() closes the device; the running entry and every pending transaction finish with
//   status 0 from the event loop, and portFailed() follows from it too.
//
// The object lives in one thread; it is driven by its timers and the device's notifications.
class EXTENSIONSYSTEM_EXPORT DeviceCommunication : public CommunicationInterface
{
    Q_OBJECT

public:
    ~DeviceCommunication() override;

    virtual bool isOpen() const = 0;
    // The reason of the last failure to open, or of the failure that closed the port.
    QString errorString() const;
    // Transactions queued or running.
    int pendingTransactions() const;

    unsigned int uiSendDataFrame(DataFrame *frame) override;

signals:
    // The port failed while open (an unplugged adapter, a broken connection) and has been closed.
    void portFailed(const QString &reason);

protected:
    explicit DeviceCommunication(QObject *parent = nullptr);

    // The device the transactions run over; set once by the subclass's constructor.
    void setDevice(QIODevice *device);
    // The port as given to open(), for messages.
    void setPortPath(const QString &path);
    QString portPath() const;
    void setErrorString(const QString &reason);
    // Looks at the device every few milliseconds while an entry runs, for devices whose
    // notifications can stall; also gives up an entry whose frame cannot be handed over.
    void enablePolling();

    // Drops what the device holds; may close a device that turns out to be dead.
    virtual void discardInput();
    // Hands `count` characters of a frame to the driver at once.
    virtual void writeCharacters(const char *data, int count) = 0;
    // True when the device has handed every written byte on.
    virtual bool writeDrained() const;
    // Moves what the driver holds into the device's buffer without waiting.
    virtual void fetchPending();
    // The device may hold input back until `characters` are there (0: report any input); a
    // read without waiting (fetchPending) is done with 0.
    virtual void setReadThreshold(int characters);
    // The time one character takes on the line, in ms; 0 when the device does not know.
    virtual double characterTimeMs() const;
    // Closes the device after a failure.
    virtual void closeDevice() = 0;

    // The device has written something: the frame may be complete now.
    void checkSent();
    // A write failed while the frame was going out: the entry finishes with status 0.
    void failSending();
    // The device became unusable: records the reason, closes it and fails everything pending.
    void failPort(const QString &reason);
    // Ends the running entry and finishes every pending transaction with status 0, emitting
    // emitFinished for each before it returns (unless a receiver deletes this object).
    void finishPending();

private:
    class Private;
    std::unique_ptr<Private> d;
};

} // namespace ExtensionSystem
