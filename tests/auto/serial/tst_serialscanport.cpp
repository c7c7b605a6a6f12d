// The blocking port object of the sensor scan against a pseudo-terminal peer: settings, clearing
// and cancelling. The whole scan through it, from the scan's worker thread against quxsim, is
// tst_hostscan's.

#include "ptypeer.h"

#include <serialscanport.h>

#include <QtTest>

#include <thread>

using namespace ExtensionSystem;

class tst_SerialScanPort : public QObject
{
    Q_OBJECT

private slots:
    void prepareClearCancel();
};

// Settings apply when the port is prepared; clearing drops what arrived; a cancel from another
// thread makes every later call a no-op, with input still waiting.
void tst_SerialScanPort::prepareClearCancel()
{
    PtyPeer peer;
    SerialScanPort port(peer.portName());
    PortSettings settings;
    settings.baudrate = 9600;
    port.vApplySettings(&settings);
    QVERIFY(!port.isOpen());
    port.vPrepare();
    QVERIFY2(port.isOpen(), qPrintable(port.errorString()));
    QCOMPARE(peer.lineBaudRate(), 9600);
    settings.baudrate = 115200;
    port.vApplySettings(&settings);
    port.vPrepare(); // reopens
    QCOMPARE(peer.lineBaudRate(), 115200);
    port.vClose();
    QVERIFY(!port.isOpen());

    port.vPrepare();
    peer.send("old answer");
    QTRY_COMPARE(port.iBytesAvailable(), 10);
    port.vClear();
    QCOMPARE(port.iBytesAvailable(), 0);
    peer.send("new");
    QTRY_COMPARE(port.iBytesAvailable(), 3);
    QCOMPARE(port.readAll(), std::string("new"));
    QCOMPARE(port.readAll(), std::string());

    peer.send("/070V81:0A0B55.");
    QTRY_VERIFY(port.iBytesAvailable() > 0);
    std::thread canceller([&] { port.cancel(); });
    canceller.join();
    QVERIFY(port.isCancelled());
    QCOMPARE(port.readAll(), std::string());
    QCOMPARE(port.iBytesAvailable(), 0);
    port.vSend("/000V49.");
    port.vPrepare();
    QVERIFY(!port.isOpen());
    QTest::qWait(30);
    QCOMPARE(peer.rawReceived, QByteArray());
}

QTEST_GUILESS_MAIN(tst_SerialScanPort)

#include "tst_serialscanport.moc"
