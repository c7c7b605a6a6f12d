#include <commandline.h>

#include <QtTest>

using Orbexa::Internal::CommandLineOptions;
using Orbexa::Internal::parseCommandLine;

class tst_HostCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void accepted_data();
    void accepted();
    void rejected_data();
    void rejected();
    void helpAndVersion();
};

void tst_HostCommandLine::accepted_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("ports");
    QTest::addColumn<QString>("sensor");
    QTest::addColumn<QString>("language");
    QTest::addColumn<bool>("presentation");
    QTest::addColumn<QString>("screenshot");
    QTest::addColumn<int>("quitAfterMs");
    QTest::addColumn<QString>("pluginDir");

    QTest::newRow("nothing") << QStringList() << QStringList() << QString() << QString() << false
                             << QString() << -1 << QString();
    QTest::newRow("ports repeat, duplicates once")
        << QStringList { "--port", "/dev/pts/3", "--port=/tmp/link", "--port", "/dev/pts/3" }
        << QStringList { "/dev/pts/3", "/tmp/link" } << QString() << QString() << false << QString()
        << -1 << QString();
    QTest::newRow("sensor with port")
        << QStringList { "--sensor", "QUX-T40 D", "--port", "/tmp/qux" }
        << QStringList { "/tmp/qux" } << "QUX-T40 D" << QString() << false << QString() << -1
        << QString();
    QTest::newRow("language upper case")
        << QStringList { "--language", "DE" } << QStringList() << QString() << "de" << false
        << QString() << -1 << QString();
    QTest::newRow("screenshot with fractional quit")
        << QStringList { "--presentation", "--screenshot", "shot.png", "--quit-after", "2.5" }
        << QStringList() << QString() << QString() << true << "shot.png" << 2500 << QString();
    QTest::newRow("quit at once") << QStringList { "--quit-after", "0" } << QStringList()
                                  << QString() << QString() << false << QString() << 0 << QString();
    QTest::newRow("plug-in folder")
        << QStringList { "--plugins", "/opt/plugins" } << QStringList() << QString() << QString()
        << false << QString() << -1 << "/opt/plugins";
}

void tst_HostCommandLine::accepted()
{
    QFETCH(QStringList, arguments);
    arguments.prepend(QStringLiteral("orbexa"));
    const CommandLineOptions options = parseCommandLine(arguments);
    QVERIFY2(options.ok, qPrintable(options.errorText));
    QTEST(options.ports, "ports");
    QTEST(options.sensor, "sensor");
    QTEST(options.language, "language");
    QTEST(options.presentation, "presentation");
    QTEST(options.screenshot, "screenshot");
    QTEST(options.quitAfterMs, "quitAfterMs");
    QTEST(options.pluginDir, "pluginDir");
    QVERIFY(!options.helpRequested);
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
    QTest::newRow("positional") << QStringList { "file.ovs" } << "file.ovs";
}

void tst_HostCommandLine::rejected()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, errorPart);
    arguments.prepend(QStringLiteral("orbexa"));
    const CommandLineOptions options = parseCommandLine(arguments);
    QVERIFY(!options.ok);
    QVERIFY2(options.errorText.contains(errorPart), qPrintable(options.errorText));
    QVERIFY(options.helpText.contains(QLatin1String("--screenshot")));
}

void tst_HostCommandLine::helpAndVersion()
{
    CommandLineOptions options = parseCommandLine({ "orbexa", "--help" });
    QVERIFY(options.ok);
    QVERIFY(options.helpRequested);
    for (const char *option : { "--port", "--sensor", "--language", "--presentation",
                                "--screenshot", "--quit-after", "--plugins" })
        QVERIFY2(options.helpText.contains(QLatin1String(option)), option);
    options = parseCommandLine({ "orbexa", "--version" });
    QVERIFY(options.ok);
    QVERIFY(options.versionRequested);
}

QTEST_GUILESS_MAIN(tst_HostCommandLine)
#include "tst_hostcommandline.moc"
