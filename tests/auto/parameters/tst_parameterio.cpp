// Single parameters against the simulated sensor: what an edit of each row sends, in °C and in
// °F, and that the sensor then holds the value (read back through the plug-in's own reads);
// answers that must not be taken.

#include "simulatedsession.h"

#include <QtTest>

using namespace DrumoSensorPlugin::Core;

using Requests = QList<QByteArray>;
Q_DECLARE_METATYPE(Requests)

namespace {

bool sameValue(const QVariant &actual, const QVariant &expected)
{
    return qAbs(actual.toDouble() - expected.toDouble()) < 1e-6;
}

// The rows as a freshly opened window on the same line reads them.
MemoryRows readBack(SimulatedSession &s)
{
    MemoryRows fresh(s.record);
    RecordingView view;
    SensorSession reader(s.record, s.lineRunner, fresh, view);
    reader.state().connected = true;
    reader.bulk().readAll();
    return fresh;
}

// Sensor and rows in step, as after connecting: the sensor's switching points 100.0 and
// 200.0 °C, its analog output from 20.0 to 300.0 °C, the unit given.
void connectInUnit(SimulatedSession &s, int unit)
{
    s.held().unit = unit;
    s.held().analogLow = 20.0;
    s.held().analogHigh = 300.0;
    s.session->bulk().readAll();
    s.takeRequests();
    s.view.calls.clear();
}

} // namespace

class tst_ParameterIo : public QObject
{
    Q_OBJECT

private slots:
    void editedRow_data();
    void editedRow();
    void unitChangeConvertsTheRows();
    void untakenAnswers_data();
    void untakenAnswers();
    void thresholdWrites_data();
    void thresholdWrites();
};

void tst_ParameterIo::editedRow_data()
{
    QTest::addColumn<QString>("sensor");
    QTest::addColumn<int>("unit");
    QTest::addColumn<QString>("id");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<Requests>("requests");
    QTest::addColumn<QVariant>("heldValue"); // read back; invalid: the row has no command

    auto row = [](const char *name, const char *sensor, int unit, const char *id, QVariant value,
                  Requests requests, QVariant held) {
        QTest::newRow(name) << QString(sensor) << unit << QString(id) << value << requests << held;
    };
    const char *D = "QUX-T40 D";
    const QVariant none;
    row("unit to F", D, 0, "unit", 1, { "0U1" }, 1);
    row("emissivity", D, 0, "emisivity", 0.5, { "0e050" }, 0.5);
    row("time", D, 0, "time", 5, { "0F5" }, 5);
    row("laser", D, 0, "laser", 1, { "0L01" }, 1);
    row("type 1", D, 0, "1type", 1, { "0A11" }, 1);
    row("circuit 1", D, 0, "1operateOutputs", 2, { "0O12" }, 2);
    row("switching point 1", D, 0, "1switchingOn", 150.5, { "0S11505", "0WD" }, 150.5);
    row("pin 2 analog", D, 0, "2A", 1, { "0T01", "0WC1", "0WC2" }, 1);
    row("type 2", D, 0, "2type", 1, { "0A21" }, 1);
    row("circuit 2", D, 0, "2operateOutputs", 1, { "0O21" }, 1);
    row("switching point 2 negative", D, 0, "2switchingOn", -5.0, { "0S2-050", "0WD" }, -5.0);
    row("analog signal", D, 0, "2analogoutput", 1, { "0Q01" }, 1);
    row("analog low", D, 0, "0v", 25.0, { "0pb0250" }, 25.0);
    row("analog low onto the high end", D, 0, "0v", 300.0, { "0pb3010" }, 301.0);
    row("analog high onto the low end", D, 0, "10v", 20.0, { "0pe0210" }, 21.0);
    row("analog high beyond the row", D, 0, "10v", 400.0, { "0pe3500" }, 350.0);
    row("chart temperature", D, 0, "readTemp", 1, {}, none);
    row("expert rows", D, 0, "ExpertMenu", 1, {}, none);
    row("unit to C", D, 1, "unit", 0, { "0U0" }, 0);
    row("emissivity in F", D, 1, "emisivity", 1.0, { "0e100" }, 1.0);
    row("switching point 1 in F", D, 1, "1switchingOn", 212.0, { "0U0", "0S11000", "0U1", "0WD" },
        212.0);
    row("switching point 2 lowest in F", D, 1, "2switchingOn", -13.0,
        { "0U0", "0S2-250", "0U1", "0WD" }, -13.0);
    row("pin 2 analog in F", D, 1, "2A", 1, { "0T01", "0U0", "0WC1", "0WC2", "0U1" }, 1);
    row("analog low in F", D, 1, "0v", 32.0, { "0U0", "0pb0000", "0U1" }, 32.0);
    row("analog high highest in F", D, 1, "10v", 662.0, { "0U0", "0pe3500", "0U1" }, 662.0);
    // The analog sensor's rows ("QUX-T40 DL" has the digital one's).
    row("analog sensor output (never read)", "QUX-T40 A", 0, "analogoutput", 1, { "0Q01" }, none);
    row("analog sensor high in F", "QUX-T40 A", 1, "10v", 392.0, { "0U0", "0pe2000", "0U1" },
        392.0);
}

// One edit as the window makes it (deferred rows written when their delay is over).
void tst_ParameterIo::editedRow()
{
    QFETCH(QString, sensor);
    QFETCH(int, unit);
    QFETCH(QString, id);
    QFETCH(QVariant, value);
    QFETCH(Requests, requests);
    QFETCH(QVariant, heldValue);

    SimulatedSession s(sensor.toUtf8().constData());
    connectInUnit(s, unit);
    s.edit(id, value);
    QCOMPARE(s.takeRequests(), requests);
    QCOMPARE(s.view.count(QStringLiteral("checkConnection")), 0);
    // The output states after a switching point reach the LEDs.
    QCOMPARE(s.view.calls.filter(QStringLiteral("updateLeds(")).size(),
             int(requests.contains("0WD")));
    if (!heldValue.isValid())
        return;
    const MemoryRows back = readBack(s);
    QVERIFY2(sameValue(back.value(id), heldValue), qPrintable(back.value(id).toString()));
}

// A unit written from the tree converts the temperature rows, their limits and lines; the
// values stored as last read for the analog ends stay as read.
void tst_ParameterIo::unitChangeConvertsTheRows()
{
    SimulatedSession s;
    connectInUnit(s, 0);
    const QStringList ids { "1switchingOn", "2switchingOn", "0v", "10v" };
    auto values = [&] {
        QList<double> result;
        for (const QString &id : ids)
            result << s.rows.doubleValue(id);
        return result;
    };

    s.edit(QStringLiteral("unit"), 1);
    QCOMPARE(values(), QList<double>({ 212.0, 392.0, 68.0, 572.0 }));
    QCOMPARE(s.rows.maximum(QStringLiteral("0v")), 662.0);
    QCOMPARE(s.rows.minimum(QStringLiteral("2switchingOn")), -13.0);
    QVERIFY(s.view.calls.contains(QStringLiteral("showSwitchingPoint(2,392)")));
    QVERIFY(s.view.calls.contains(QStringLiteral("thresholdsUnitChanged(1)")));
    QCOMPARE(s.state().analogHigh, 300.0);

    s.edit(QStringLiteral("unit"), 0);
    QCOMPARE(values(), QList<double>({ 100.0, 200.0, 20.0, 300.0 }));
    QCOMPARE(s.rows.maximum(QStringLiteral("1switchingOn")), 350.0);
    QCOMPARE(s.takeRequests(), Requests({ "0U1", "0U0" }));
    QCOMPARE(s.held().unit, 0);
}

void tst_ParameterIo::untakenAnswers_data()
{
    QTest::addColumn<QString>("read");
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QByteArray>("answer"); // empty: no answer
    QTest::addColumn<bool>("taken");
    QTest::addColumn<QString>("row");
    QTest::addColumn<QVariant>("rowAfter");

    auto frame = [](const char *body) { return QByteArray::fromStdString(buildFrame(body)); };
    auto badChecksum = [&](const char *body) {
        QByteArray answer = frame(body);
        answer.replace(answer.size() - 3, 2,
                       answer.mid(answer.size() - 3, 2) == "00" ? "01" : "00");
        return answer;
    };
    auto row = [](const char *name, const char *read, const char *request, QByteArray answer,
                  bool taken, const char *rowId, QVariant after) {
        QTest::newRow(name) << QString(read) << QByteArray(request) << answer << taken
                            << QString(rowId) << after;
    };
    // Only silence and a wrong checksum fail a read; whatever else came reads as a number (a
    // letter as 0), in one request.
    row("silence", "laser", "0WL", {}, false, "laser", 0);
    row("wrong checksum", "laser", "0WL", badChecksum("0WL1"), false, "laser", 0);
    row("unit, checksum not checked", "unit", "0WU", badChecksum("0WU1"), true, "unit", 1);
    row("item the row lacks", "laser", "0WL", frame("0WL7"), true, "laser", 0);
    row("body without value", "time", "0WF", frame("0WF"), true, "time", 0);
    row("letter for the value", "time", "0WF", frame("0WFA"), true, "time", 0);
    row("switching point above the limit", "switching", "0WC1", frame("0WC14000"), true,
        "1switchingOn", 350.0);
    // The value goes in before the limits of the new unit: the °C row's maximum holds it.
    row("switching point in F into a C row", "switching in F", "0WC1", frame("0WC13000"), true,
        "1switchingOn", 350.0);
    row("analog low below the limit", "low", "0Wb", frame("0Wb-300"), true, "0v", -25.0);
}

// Temperatures beyond the limits are limited.
void tst_ParameterIo::untakenAnswers()
{
    QFETCH(QString, read);
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, answer);
    QFETCH(bool, taken);
    QFETCH(QString, row);
    QFETCH(QVariant, rowAfter);

    SimulatedSession s("QUX-T40 D", SimulatedSession::Scripted);
    s.scripted.script = [&](const QByteArray &body) -> std::optional<std::string> {
        if (body != request)
            return s.scripted.modelAnswer(body);
        return answer.isEmpty() ? std::nullopt : std::optional(answer.toStdString());
    };
    s.state().analogLow = 99.0;
    ParameterIo &io = s.io();
    const QMap<QString, std::function<bool()>> reads {
        { "laser", [&] { return io.bReadLaser(); } },
        { "unit", [&] { return io.bReadUnit(); } },
        { "time", [&] { return io.bReadTime(); } },
        { "switching", [&] { return io.bReadSwitchingPoint(1); } },
        { "switching in F",
          [&] {
              s.rows.setValue("unit", 1);
              return io.bReadSwitchingPoint(1);
          } },
        { "low", [&] { return io.bReadAnalogLow(); } },
    };
    QCOMPARE(reads.value(read)(), taken);
    QVERIFY2(sameValue(s.rows.value(row), rowAfter), qPrintable(s.rows.value(row).toString()));
    QCOMPARE(s.takeRequests(), Requests({ request }));
    if (read == QLatin1String("switching") && taken)
        QCOMPARE(s.view.calls, QStringList({ "showReadSwitchingPoint(1,350)" }));
    if (read == QLatin1String("low"))
        QCOMPARE(s.state().analogLow, taken ? -25.0 : 99.0);
}

void tst_ParameterIo::thresholdWrites_data()
{
    QTest::addColumn<int>("output");
    QTest::addColumn<int>("type");
    QTest::addColumn<Requests>("requests");
    QTest::newRow("switching, output 1") << int('1') << 1 << Requests { "0O0a1S0104" };
    QTest::newRow("colour, output 2")
        << int('2') << 0 << Requests { "0O0a2R0201", "0O0a2G0202", "0O0a2B0203" };
    QTest::newRow("level, output 1") << int('1') << 2 << Requests { "0O0a1L0105" };
    QTest::newRow("no such type") << int('1') << 3 << Requests {};
}

// One transaction per call, one request per component of the type, the stored hex text of each.
void tst_ParameterIo::thresholdWrites()
{
    QFETCH(int, output);
    QFETCH(int, type);
    QFETCH(Requests, requests);
    SimulatedSession s;
    QSignalSpy finished(s.connection.get(), &ExtensionSystem::CommunicationInterface::emitFinished);
    QVERIFY(s.io().setThresholds(output, type, &RecordingView::thresholdHex));
    QCOMPARE(finished.count(), 1);
    QCOMPARE(s.takeRequests(), requests);
    QCOMPARE(s.held().thresholds.size(), requests.size());
}

QTEST_GUILESS_MAIN(tst_ParameterIo)

#include "tst_parameterio.moc"
