#pragma once

#include "commandline.h"
#include "exitstatus.h"

#include "files/settingsfile.h"

#include <QJsonObject>
#include <QMutex>
#include <QString>
#include <QTextStream>

namespace QuxCtl {

struct Catalogue;
class SensorPort;
class StreamOutput;

// What one command did on one port.
struct PortResult
{
    QString port;
    ExitStatus status = Success;
    QString sensorType; // empty until the sensor was identified
    QString message; // one line for the summary and for errors
    QString text; // the results, as text
    QJsonObject json; // the results, for --json
};

// Runs the invocation's command on a port. Several ports may run at once, each in a thread of
// its own: progress lines (to `progress`, standard error) are written whole under a lock and
// carry the port's name, results are returned.
class CommandRunner
{
public:
    CommandRunner(const Invocation &invocation, const Catalogue &catalogue, QTextStream &progress);

    // Where `stream` writes its samples; set before the ports run.
    void setStreamOutput(StreamOutput *output) { m_streamOutput = output; }

    PortResult run(const QString &port);

private:
    void identify(SensorPort &port, PortResult &result);
    void read(SensorPort &port, PortResult &result);
    void write(SensorPort &port, PortResult &result);
    void save(SensorPort &port, PortResult &result);
    void apply(SensorPort &port, PortResult &result);
    void diff(SensorPort &port, PortResult &result);
    void stream(SensorPort &port, PortResult &result);

    bool readFile(SensorPort &port, PortResult &result,
                  DrumoSensorPlugin::Core::SettingsDocument *document);
    // Lists the rows the sensor holds that differ from the file; returns their ids.
    QStringList compareWithFile(SensorPort &port, PortResult &result,
                                const DrumoSensorPlugin::Core::SettingsDocument &document,
                                bool afterApply);
    // Reads every parameter; false, with the result saying why, when the line was lost.
    bool readAll(SensorPort &port, PortResult &result);
    // False, with the result saying why, when the line closed under the command.
    bool lineKept(SensorPort &port, PortResult &result);
    // The rows as read from the sensor, as text lines and JSON.
    void listRows(SensorPort &port, PortResult &result, const QStringList &only = {});
    void say(const QString &line);

    const Invocation &m_invocation;
    const Catalogue &m_catalogue;
    QTextStream &m_progress;
    QMutex m_progressLock;
    StreamOutput *m_streamOutput = nullptr;
};

} // namespace QuxCtl
