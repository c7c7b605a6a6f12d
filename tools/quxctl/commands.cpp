#include "commands.h"

#include "csvexport.h"
#include "filecomparison.h"
#include "mqttstream.h"
#include "rowvalues.h"
#include "sensorport.h"
#include "stopsignals.h"
#include "streamoutput.h"
#include "texts.h"

#include "files/propertytext.h"
#include "files/settingsfile.h"
#include "parameters/livepoller.h"
#include "parameters/parametertable.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QEventLoop>
#include <QFile>
#include <QJsonArray>
#include <QTimer>

using namespace DrumoSensorPlugin::Core;

namespace QuxCtl {

namespace {

QString baudRateRefusedText()
{
    return Texts::tr("The baud rate of a network port is set on its serial device server; the "
                     "sensor's baud rate was not changed.");
}

// Decimals of a row as the tree shows them after reading all.
int decimalsOf(SensorPort &port, const QString &id)
{
    return port.rows().decimals(id);
}

} // namespace

CommandRunner::CommandRunner(const Invocation &invocation, const Catalogue &catalogue,
                             QTextStream &progress)
    : m_invocation(invocation)
    , m_catalogue(catalogue)
    , m_progress(progress)
{
}

void CommandRunner::say(const QString &line)
{
    QMutexLocker locker(&m_progressLock);
    m_progress << line << '\n';
    m_progress.flush();
}

PortResult CommandRunner::run(const QString &portName)
{
    PortResult result;
    result.port = portName;
    result.json.insert(QStringLiteral("port"), portName);

    say(Texts::tr("%1: looking for the sensor...").arg(portName));
    SensorPort port(portName, m_catalogue);
    result.status = port.open(&result.message);
    if (result.status != Success) {
        result.json.insert(QStringLiteral("error"), result.message);
        return result;
    }
    result.sensorType = QString::fromStdString(port.record().name());
    result.json.insert(QStringLiteral("sensorType"), result.sensorType);
    if (port.lineRateFixed())
        say(Texts::tr("%1: %2 found").arg(portName, result.sensorType));
    else
        say(Texts::tr("%1: %2 found at %3 baud")
                .arg(portName, result.sensorType)
                .arg(port.baudrate()));

    switch (m_invocation.command) {
    case Command::Identify:
        identify(port, result);
        break;
    case Command::Read:
        read(port, result);
        break;
    case Command::Write:
        write(port, result);
        break;
    case Command::Save:
        save(port, result);
        break;
    case Command::Apply:
        apply(port, result);
        break;
    case Command::Diff:
        diff(port, result);
        break;
    case Command::Stream:
        stream(port, result);
        break;
    case Command::None:
        break;
    }
    if (result.status != Success && result.status != Differs)
        result.json.insert(QStringLiteral("error"), result.message);
    return result;
}

bool CommandRunner::readAll(SensorPort &port, PortResult &result)
{
    say(Texts::tr("%1: reading all parameters...").arg(port.portName()));
    port.session().bulk().readAll();
    return lineKept(port, result);
}

bool CommandRunner::lineKept(SensorPort &port, PortResult &result)
{
    const QString reason = port.lineLost();
    if (reason.isEmpty())
        return true;
    result.status = NoAnswer;
    result.message = Texts::tr("The connection to %1 was lost: %2").arg(port.portName(), reason);
    return false;
}

void CommandRunner::identify(SensorPort &port, PortResult &result)
{
    const Identification &found = port.identification();
    result.json.insert(QStringLiteral("group"), found.group);
    result.json.insert(QStringLiteral("type"), found.type);
    result.json.insert(QStringLiteral("firmware"), port.firmware());
    // A network port's rate is set on its server and unknown here.
    if (!port.lineRateFixed())
        result.json.insert(QStringLiteral("baudrate"), port.baudrate());
    result.text
        = Texts::tr("port:        %1\nsensor type: %2\ngroup:       %3\ntype:        %4\n"
                    "firmware:    %5\nbaud rate:   %6\n")
              .arg(port.portName(), result.sensorType)
              .arg(found.group)
              .arg(found.type)
              .arg(port.firmware().isEmpty() ? Texts::tr("(not readable)") : port.firmware())
              .arg(port.lineRateFixed() ? Texts::tr("set on the server")
                                        : QString::number(port.baudrate()));
    result.message = Texts::tr("identified");
}

void CommandRunner::listRows(SensorPort &port, PortResult &result, const QStringList &only)
{
    MemoryRows &rows = port.rows();
    QJsonArray parameters;
    for (const QString &id : rows.ids()) {
        if (!hasValue(rows, id) || (!only.isEmpty() && !only.contains(id)))
            continue;
        const QString value = valueText(rows, id, decimalsOf(port, id));
        const QString item = itemText(rows, id);
        QJsonObject row;
        row.insert(QStringLiteral("id"), id);
        row.insert(QStringLiteral("caption"), rows.caption(id));
        row.insert(QStringLiteral("value"), QJsonValue::fromVariant(rows.value(id)));
        if (!item.isEmpty())
            row.insert(QStringLiteral("item"), item);
        parameters.append(row);
        result.text += QStringLiteral("%1\t%2\t%3%4\n")
                           .arg(id, rows.caption(id), value,
                                item.isEmpty() ? QString() : QStringLiteral("\t") + item);
    }
    result.json.insert(QStringLiteral("parameters"), parameters);
}

void CommandRunner::read(SensorPort &port, PortResult &result)
{
    if (!readAll(port, result))
        return;
    listRows(port, result);
    result.message = Texts::tr("read");
}

// Each assignment as an edit in the window: the row takes the value as its editor would, the
// row's dispatch writes it (a row typed digit by digit at once, as its delayed write would),
// then everything is read back.
void CommandRunner::write(SensorPort &port, PortResult &result)
{
    MemoryRows &rows = port.rows();
    SensorSession &session = port.session();
    if (!readAll(port, result))
        return;

    // Every assignment is checked before the first is written: a typo leaves the sensor as
    // it was.
    QStringList written;
    QStringList texts;
    for (const QString &assignment : m_invocation.assignments) {
        const int equals = assignment.indexOf(QLatin1Char('='));
        const QString id = assignment.left(equals).trimmed();
        const ParsedValue parsed = parseValue(rows, id, assignment.mid(equals + 1));
        if (!parsed.value.isValid()) {
            result.status = BadArguments;
            result.message = parsed.error;
            return;
        }
        written << id;
        texts << assignment.mid(equals + 1);
    }

    for (int i = 0; i < written.size(); ++i) {
        const QString &id = written.at(i);
        // Taken as the row's editor takes it now: an earlier assignment may have changed the
        // unit, and with it the row's limits.
        const ParsedValue parsed = parseValue(rows, id, texts.at(i));
        if (parsed.limited)
            say(Texts::tr("%1: %2 limited to %3")
                    .arg(port.portName(), id)
                    .arg(parsed.value.toDouble()));
        // As in the tree: choosing the value a row already has is no edit, nothing is sent.
        if (sameValue(rows, id, rows.value(id), parsed.value, decimalsOf(port, id))) {
            say(Texts::tr("%1: %2 already holds that value").arg(port.portName(), id));
            continue;
        }
        // The window hides these rows then, and the dispatch sends nothing for them.
        if (isPin2OutputParameter(id) && session.io().pin2Analog() != 0) {
            say(Texts::tr("%1: %2 is not sent while pin 2 is an analog output")
                    .arg(port.portName(), id));
            written.removeAt(i);
            texts.removeAt(i);
            --i;
            continue;
        }
        say(Texts::tr("%1: writing %2...").arg(port.portName(), id));
        rows.setValue(id, parsed.value);
        session.dispatcher().apply(id, rows.value(id));
        if (port.view().takeDeferred())
            session.dispatcher().writeDeferred(id);
        if (!session.state().connected) {
            result.status = NoAnswer;
            result.message
                = Texts::tr("The sensor stopped answering while %1 was written.").arg(id);
            return;
        }
        if (port.view().baudRateRefused()) {
            result.status = WriteFailed;
            result.message = baudRateRefusedText();
            return;
        }
    }
    // What the rows hold now is what the sensor should give back: a unit written among the
    // assignments has converted the temperature rows written before it.
    QList<QVariant> wanted;
    for (const QString &id : qAsConst(written))
        wanted << rows.value(id);
    if (port.view().baudRateChanged()) {
        result.message
            = Texts::tr("written; the new baud rate applies after the sensor is switched "
                        "off and on");
        listRows(port, result, written);
        return;
    }

    say(Texts::tr("%1: reading back...").arg(port.portName()));
    session.bulk().readAll();
    if (!lineKept(port, result))
        return;
    listRows(port, result, written);
    QStringList refused;
    for (int i = 0; i < written.size(); ++i) {
        if (!heldAsWritten(rows, written.at(i), rows.value(written.at(i)), wanted.at(i),
                           decimalsOf(port, written.at(i))))
            refused << written.at(i);
    }
    if (refused.isEmpty()) {
        result.message = Texts::tr("written and read back");
    } else {
        result.status = WriteFailed;
        result.message = Texts::tr("The sensor holds other values for: %1")
                             .arg(refused.join(QStringLiteral(", ")));
    }
}

void CommandRunner::save(SensorPort &port, PortResult &result)
{
    QString error;
    // A name that cannot be saved to is refused before the sensor is read in full.
    if (!checkSettingsTarget(m_invocation.file, &error)) {
        result.status = FileRefused;
        result.message = settingsWriteMessage(m_invocation.file, error);
        return;
    }
    if (!readAll(port, result))
        return;
    // No chart: a window that loads the file keeps an empty chart.
    const SettingsDocument document
        = settingsDocument(port.record().name(), port.rows(), std::string());
    if (!writeSettingsFile(m_invocation.file, document, &error)) {
        result.status = FileRefused;
        result.message = settingsWriteMessage(m_invocation.file, error);
        return;
    }
    result.json.insert(QStringLiteral("file"), m_invocation.file);
    result.text = Texts::tr("%1: saved to %2\n").arg(port.portName(), m_invocation.file);
    result.message = Texts::tr("saved to %1").arg(m_invocation.file);
}

// The file for this sensor, refused as the window refuses it. False when refused (the result
// then says why).
bool CommandRunner::readFile(SensorPort &port, PortResult &result, SettingsDocument *document)
{
    const SettingsReadResult read = readSettingsFile(m_invocation.file, port.record().name());
    if (read.error == SettingsError::None && !read.document.propertyText) {
        result.status = FileRefused;
        result.message = Texts::tr("%1 holds no parameters.").arg(m_invocation.file);
        return false;
    }
    if (read.error != SettingsError::None) {
        result.status = read.error == SettingsError::OtherSensor ? WrongSensor : FileRefused;
        result.message = settingsMessage(read);
        return false;
    }
    *document = read.document;
    return true;
}

// As the window loads a file while connected: the rows take the file's values (temperatures of
// either unit accepted), then every row is written with the values as they stand; afterwards
// the sensor is read back and compared with the file.
void CommandRunner::apply(SensorPort &port, PortResult &result)
{
    SettingsDocument document;
    if (!readFile(port, result, &document))
        return;
    SensorSession &session = port.session();
    if (!readAll(port, result))
        return;
    session.io().widenTemperatureRanges();
    applyPropertyText(port.rows(), *document.propertyText);

    say(Texts::tr("%1: writing all parameters...").arg(port.portName()));
    session.state().deferValueWrites = false;
    session.bulk().writeAll();
    session.state().deferValueWrites = true;
    if (!lineKept(port, result))
        return;
    if (!session.state().connected) {
        result.status = NoAnswer;
        result.message = Texts::tr("The sensor stopped answering while the file was written.");
        return;
    }
    if (port.view().baudRateChanged())
        say(Texts::tr("%1: the new baud rate applies after the sensor is switched off and on")
                .arg(port.portName()));
    if (port.view().baudRateRefused())
        say(port.portName() + QStringLiteral(": ") + baudRateRefusedText());

    say(Texts::tr("%1: reading back...").arg(port.portName()));
    session.bulk().readAll();
    if (!lineKept(port, result))
        return;
    const QStringList differing = compareWithFile(port, result, document, true);
    if (differing.isEmpty()) {
        result.message = Texts::tr("applied and read back");
    } else {
        result.status = WriteFailed;
        result.message = Texts::tr("The sensor holds other values for: %1")
                             .arg(differing.join(QStringLiteral(", ")));
    }
}

QStringList CommandRunner::compareWithFile(SensorPort &port, PortResult &result,
                                           const SettingsDocument &document, bool afterApply)
{
    QStringList ids;
    QJsonArray differences;
    for (const RowDifference &difference :
         compareWithPropertyText(port.rows(), *document.propertyText, afterApply)) {
        ids << difference.id;
        QJsonObject row;
        row.insert(QStringLiteral("id"), difference.id);
        row.insert(QStringLiteral("caption"), difference.caption);
        row.insert(QStringLiteral("sensor"), difference.sensorText);
        row.insert(QStringLiteral("file"), difference.fileText);
        differences.append(row);
        result.text += QStringLiteral("%1\t%2\t%3: %4\t%5: %6\n")
                           .arg(difference.id, difference.caption, Texts::tr("sensor"),
                                difference.sensorText, Texts::tr("file"), difference.fileText);
    }
    result.json.insert(QStringLiteral("differences"), differences);
    return ids;
}

void CommandRunner::diff(SensorPort &port, PortResult &result)
{
    SettingsDocument document;
    if (!readFile(port, result, &document))
        return;
    if (!readAll(port, result))
        return;
    const QStringList differing = compareWithFile(port, result, document, false);
    if (differing.isEmpty()) {
        result.message = Texts::tr("the sensor holds the file's values");
    } else {
        result.status = Differs;
        result.message = Texts::tr("%n parameter(s) differ", nullptr, differing.size());
    }
}

// The window's live polling, same rhythm and sample rules, each sample written as a line of
// the chart export as it comes.
void CommandRunner::stream(SensorPort &port, PortResult &result)
{
    SensorSession &session = port.session();
    // The temperature the chart would plot: the row "readTemp" chooses.
    session.bulk().readAll();
    session.state().measuredTemp
        = port.rows().enumIndex(parameterWith(MeasuredTemperature).rowId()) != 0;

    // With a broker the CSV text is written only when asked for with --csv (main() then opens no
    // stream output).
    MqttStream mqtt(m_invocation.mqtt, port, m_progress);
    if (mqtt.enabled() && !mqtt.open(&result.message)) {
        result.status = BrokerUnreachable;
        return;
    }

    int samples = 0;
    bool lost = false;
    QEventLoop loop;
    LivePoller &poller = session.poller();
    // A sample that could not be written (a full disk) ends the stream: none is lost unseen.
    bool writeFailed = false;
    QObject::connect(&poller, &LivePoller::sampleReady, &loop, [&](double temperature, double) {
        if (writeFailed)
            return;
        // A line that went away ends the stream at once: the last sample repeated for a silent
        // poll would be written for a sensor that is no longer there.
        if (!port.lineLost().isEmpty()) {
            loop.quit();
            return;
        }
        if (m_streamOutput
            && !m_streamOutput->write(port.portName(), QDateTime::currentMSecsSinceEpoch(),
                                      temperature)) {
            writeFailed = true;
            loop.quit();
            return;
        }
        ++samples;
    });
    mqtt.attach(poller);
    const StopSignals stop;
    QObject::connect(&stop, &StopSignals::received, &loop, &QEventLoop::quit);
    QObject::connect(&poller, &LivePoller::sensorSilent, &loop, [&] {
        say(Texts::tr("%1: no answer for a while, looking for the sensor...").arg(port.portName()));
        if (!port.view().checkConnection()) {
            lost = true;
            loop.quit();
        }
    });
    const bool untilStopped = mqtt.enabled() && !m_invocation.secondsGiven;
    if (untilStopped)
        say(Texts::tr("%1: streaming until stopped...").arg(port.portName()));
    else
        say(Texts::tr("%1: streaming for %2 s...").arg(port.portName()).arg(m_invocation.seconds));
    poller.setLiveData(true);
    poller.poll();
    if (!untilStopped)
        QTimer::singleShot(m_invocation.seconds * 1000, &loop, &QEventLoop::quit);
    loop.exec();
    poller.setLiveData(false);
    mqtt.stop();

    result.json.insert(QStringLiteral("samples"), samples);
    if (!lineKept(port, result))
        return;
    if (writeFailed) {
        result.status = FileRefused;
        result.message = Texts::tr("Writing %1 failed after %2 samples: %3")
                             .arg(m_invocation.csvFile.isEmpty() ? Texts::tr("the output")
                                                                 : m_invocation.csvFile)
                             .arg(samples)
                             .arg(m_streamOutput->errorString());
    } else if (lost) {
        result.status = NoAnswer;
        result.message = Texts::tr("The sensor stopped answering after %1 samples.").arg(samples);
    } else {
        result.message = Texts::tr("%1 samples").arg(samples);
    }
}

} // namespace QuxCtl
