#pragma once

#include "mqttoptions.h"

#include <QString>
#include <QStringList>

namespace QuxCtl {

enum class Command { None, Identify, Read, Write, Save, Apply, Diff, Stream };

// What the user asked for. Parsing is kept apart from running, so it is checked without a port.
struct Invocation
{
    Command command = Command::None;
    QStringList ports; // --port, repeatable: the command runs on all at once
    int jobs = 0; // --jobs: at most this many ports at a time; 0 for all
    bool json = false; // --json: results for machines
    QStringList assignments; // write: ID=VALUE
    QString file; // save, apply, diff: the settings file
    int seconds = 10; // stream: how long
    bool secondsGiven = false; // with --mqtt a stream runs until stopped unless --seconds
    QString csvFile; // stream: --csv FILE instead of standard output
    MqttOptions mqtt; // stream: --mqtt and its options
    QString catalogue; // --catalogue: another catalogue than the one next to the program

    bool ok = true; // false: errorText says why
    bool helpRequested = false;
    bool versionRequested = false;
    QString errorText;
};

// `arguments` includes the program name first.
Invocation parseCommandLine(const QStringList &arguments);

// The whole --help text.
QString helpText();

} // namespace QuxCtl
