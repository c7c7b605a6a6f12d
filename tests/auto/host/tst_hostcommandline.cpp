#include <commandline.h>

#include <QtTest>

using Orbexa::Internal::CommandLineOptions;
using Orbexa::Internal::parseCommandLine;

// The options that differ from their defaults, as "name=value" words.
static QString changed(const CommandLineOptions &options)
{
    QStringList words;
    const auto add = [&](const char *name, const QString &value, bool set) {
        if (set)
            words << QString::fromLatin1(name) + '=' + value;
    };
    add("ports", options.ports.join(','), !options.ports.isEmpty());
    add("sensors", options.sensors.join(','), !options.sensors.isEmpty());
    add("language", options.language, !options.language.isEmpty());
    add("presentation", QString(), options.presentation);
    add("screenshot", options.screenshot, !options.screenshot.isEmpty());
    add("quit", QString::number(options.quitAfterMs), options.quitAfterMs != -1);
    add("plugins", options.pluginDir, !options.pluginDir.isEmpty());
    add("help", QString(), options.helpRequested);
    add("version", QString(), options.versionRequested);
    add("file", options.settingsFile, !options.settingsFile.isEmpty());
    return words.join(' ');
}

class tst_HostCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void accepted_data();
    void accepted();
    void rejected_data();
    void rejected();
};

void tst_HostCommandLine::accepted_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("expected");

    QTest::newRow("nothing") << QStringList() << "";
    QTest::newRow("ports repeat, duplicates once")
        << QStringList { "--port", "/dev/pts/3", "--port=/tmp/link", "--port", "/dev/pts/3" }
        << "ports=/dev/pts/3,/tmp/link";
    QTest::newRow("sensor with port") << QStringList { "--sensor", "QUX-T40 D", "--port", "/tmp/q" }
                                      << "ports=/tmp/q sensors=QUX-T40 D";
    QTest::newRow("sensors repeat, one per port") << QStringList {
        "--sensor", "A", "--port", "/tmp/a", "--sensor", " B ", "--port", "/tmp/b"
    } << "ports=/tmp/a,/tmp/b sensors=A,B";
    QTest::newRow("language upper case") << QStringList { "--language", "DE" } << "language=de";
    QTest::newRow("screenshot with fractional quit")
        << QStringList { "--presentation", "--screenshot", "shot.png", "--quit-after", "2.5" }
        << "presentation= screenshot=shot.png quit=2500";
    QTest::newRow("quit at once") << QStringList { "--quit-after", "0" } << "quit=0";
    QTest::newRow("plug-in folder") << QStringList { "--plugins", "/opt/p" } << "plugins=/opt/p";
    QTest::newRow("help") << QStringList { "--help" } << "help=";
    QTest::newRow("version") << QStringList { "--version" } << "version=";
    QTest::newRow("settings file")
        << QStringList { "--port", "/tmp/q", "a b.ovs" } << "ports=/tmp/q file=a b.ovs";
}

void tst_HostCommandLine::accepted()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, expected);
    const CommandLineOptions options = parseCommandLine(QStringList("orbexa") + arguments);
    QVERIFY2(options.ok, qPrintable(options.errorText));
    QCOMPARE(changed(options), expected);
}

void tst_HostCommandLine::rejected_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("errorPart");

    QTest::newRow("unknown option") << QStringList { "--colour" } << "colour";
    QTest::newRow("port without value") << QStringList { "--port" } << "port";
    QTest::newRow("empty port") << QStringList { "--port", " " } << "--port";
    QTest::newRow("empty sensor") << QStringList { "--sensor", "" } << "--sensor";
    QTest::newRow("unknown language") << QStringList { "--language", "fr" } << "fr";
    QTest::newRow("quit after text") << QStringList { "--quit-after", "soon" } << "soon";
    QTest::newRow("quit after negative") << QStringList { "--quit-after", "-1" } << "-1";
    QTest::newRow("two files") << QStringList { "a.ovs", "b.ovs" } << "b.ovs";
    // Which network port names read is fuzz_networkport's; here the form the message asks for.
    QTest::newRow("network port out of range")
        << QStringList { "--port", "tcp://h:65536" } << "tcp://HOST:PORT";
}

// A wrong command line says what is wrong and shows the help.
void tst_HostCommandLine::rejected()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, errorPart);
    const CommandLineOptions options = parseCommandLine(QStringList("orbexa") + arguments);
    QVERIFY(!options.ok);
    QVERIFY2(options.errorText.contains(errorPart), qPrintable(options.errorText));
    QVERIFY(options.helpText.contains(QLatin1String("--screenshot")));
}

QTEST_GUILESS_MAIN(tst_HostCommandLine)
#include "tst_hostcommandline.moc"
