#pragma once

#include "extensionsystem_global.h"
#include "portsettings.h"

#include <QObject>

#include <list>
#include <string>

namespace ExtensionSystem {

// The host's connection to one serial port. Requests travel as transactions: a DataFrame of
// entries, each a request frame with the pattern its answer must match. Transactions run one at
// a time in the order they were queued; every time value is in milliseconds.
//
// For each entry: input still waiting in the receive buffer is discarded, the frame is sent
// (characterDelay ms between characters when above 0), then characters are collected until a
// frame from a "/" to the next "." is complete or `timeout` ms have passed since the last
// character was sent. Characters that arrive before the frame was sent completely are dropped
// (they cannot answer it); a "/" before the "." starts the frame over, so line noise in front of
// the answer does not cost it. `answer` receives the frame (from its "/", also when it stayed
// incomplete); `status` is
//   1  the complete answer matches `answerPattern` (anchored regular expression),
//   2  a complete answer arrived that does not match,
//   0  nothing complete arrived in time, or the port failed.
//
// uiSendDataFrame() returns a new transaction id at once (ids start at 1 and are never 0);
// emitFinished(id) follows from the event loop once every entry is final, never from inside
// uiSendDataFrame(). The DataFrame stays owned by the caller and is not referenced after
// emitFinished. A port error, vClose() or the destruction of the object finishes every pending
// transaction with status 0, so nobody waits forever.
class EXTENSIONSYSTEM_EXPORT CommunicationInterface : public QObject
{
    Q_OBJECT

public:
    struct DataFrameEntry
    {
        std::string frame;
        std::string answerPattern;
        std::string answer;
        quint32 status = 0;
        double timeout = 1000.0;
        quint32 characterDelay = 0;
        quint32 reserved = 0;
    };
    using DataFrame = std::list<DataFrameEntry>;

    explicit CommunicationInterface(QObject *parent = nullptr);
    ~CommunicationInterface() override;

    // Writes the text to the port as it is, outside the transaction queue.
    virtual void vSendRawData(std::string data) = 0;
    virtual unsigned int uiSendDataFrame(DataFrame *frame) = 0;
    // Applies new settings to the open port (the baud rate changes at once).
    virtual void vSetPortSettings(const PortSettings &settings) = 0;
    virtual PortSettings getPortSettings() = 0;

    // Closes the port; pending transactions finish with status 0 and emitFinished is emitted
    // for each before this returns. Used by the connection manager before it releases the object.
    virtual void vClose() = 0;

signals:
    void emitFinished(unsigned int id);
};

} // namespace ExtensionSystem

Q_DECLARE_METATYPE(ExtensionSystem::CommunicationInterface::DataFrame)
Q_DECLARE_METATYPE(ExtensionSystem::CommunicationInterface::DataFrame *)
