// The blocking port object of the sensor scan, used from a worker thread without an event loop
// while a scripted pseudo-terminal peer answers in the test's thread.

#include "ptypeer.h"

#include <serialscanport.h>

#include <QThread>
#include <QtTest>

#include <atomic>

using namespace ExtensionSystem;

class tst_SerialScanPort : public QObject
{
    Q_OBJECT

private slots:
    void findsIdentificationAnswer();
    void settingsApplyAtPrepare();
    void clearDropsReceived();
    void cancelMakesCallsNoOps();
};

namespace {
// Runs `work` in a plain thread (no event loop there) while this thread keeps serving the peer.
bool runInWorker(const std::function<void()> &work, int timeoutMs = 5000)
{
    std::atomic<bool> done { false };
    std::unique_ptr<QThread> thread(QThread::create([&] {
        work();
        done = true;
    }));
    thread->start();
    QElapsedTimer clock;
    clock.start();
    while (!done && clock.elapsed() < timeoutMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    thread->wait();
    return done;
}
} // namespace

void tst_SerialScanPort::findsIdentificationAnswer()
{
    // Noise, then the answer in pieces 20 ms apart: all of it is read.
    const QByteArrayList replyParts { "\xff\xfe", "/070V8", "1:0A0", "B55." };
    PtyPeer peer;
    QVERIFY(peer.isValid());
    peer.onRequest = [&](const QByteArray &request) {
        if (request != "/000V49.")
            return;
        for (int i = 0; i < replyParts.size(); ++i)
            peer.sendAfter(replyParts[i], 20 * i);
    };

    std::string received;
    QString portName;
    // The scan's own sequence, with a shorter wait for the answer.
    QVERIFY(runInWorker([&] {
        SerialScanPort port(peer.portName());
        port.vGetPortName(portName);
        PortSettings settings;
        settings.vInit();
        settings.portName = portName;
        port.vClose();
        settings.baudrate = 38400;
        port.vApplySettings(&settings);
        port.vPrepare();
        port.vSend(".");
        QThread::msleep(10);
        port.vSend("/000V49.");
        QThread::msleep(300);
        received = port.readAll();
        port.vClose();
    }));
    QCOMPARE(portName, peer.portName());
    QCOMPARE(peer.rawReceived, QByteArray("./000V49."));
    QCOMPARE(QByteArray::fromStdString(received), replyParts.join());
}

void tst_SerialScanPort::settingsApplyAtPrepare()
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
}

void tst_SerialScanPort::clearDropsReceived()
{
    PtyPeer peer;
    SerialScanPort port(peer.portName());
    port.vPrepare();
    peer.send("old answer");
    QTRY_COMPARE(port.iBytesAvailable(), 10);
    port.vClear();
    QCOMPARE(port.iBytesAvailable(), 0);
    peer.send("new");
    QTRY_COMPARE(port.iBytesAvailable(), 3);
    QCOMPARE(port.readAll(), std::string("new"));
    QCOMPARE(port.readAll(), std::string());
}

void tst_SerialScanPort::cancelMakesCallsNoOps()
{
    PtyPeer peer;
    SerialScanPort port(peer.portName());
    port.vPrepare();
    QVERIFY(port.isOpen());
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
