#pragma once

// A sensor window opened the way the host opens it (through its interface object, whose port
// choice registers a connection with the host's connection manager), plus what the connect
// tests look at: the baud rates the identification applied, and a user's choices in the port
// box and in the connection switch dialog.

#include "../common/modalanswerer.h"
#include "../parameters/messagerecorder.h"
#include "../window/windowprobe.h"
#include "plugin/sensorinterface.h"

#include <connectionmanager.h>
#include <connectionstatus.h>
#include <qttreepropertybrowser.h>
#include <sensorbasic.h>

#include <QComboBox>
#include <QPushButton>

#include <functional>
#include <memory>

namespace DrumoSensorPlugin {
namespace Core {

// Collects the identification's "BAUDRATE::: <rate>" traces while it lives.
class BaudTrace : public MessageRecorder
{
public:
    BaudTrace()
        : MessageRecorder([](const QMessageLogContext &, const QString &text) {
            return text.startsWith(QLatin1String("BAUDRATE::: "));
        })
    {
    }
    QList<int> take()
    {
        QList<int> rates;
        for (const QString &line : std::exchange(lines, {}))
            rates << line.mid(12).toInt();
        return rates;
    }
};

class ConnectRig
{
public:
    explicit ConnectRig(const char *sensorName = "QUX-T40 D")
    {
        ExtensionSystem::SensorBasic sensor;
        sensor.setName(sensorName);
        plugin = std::make_unique<SensorInterface>(&sensor, nullptr);
        window = plugin->sensorWindow();
        tester = std::make_unique<WindowProbe>(window);
    }
    ~ConnectRig()
    {
        tester.reset();
        plugin.reset();
    }

    QComboBox *portBox() const { return tester->connector().portBox(); }

    // The host's list of free ports.
    void offerPorts(const QStringList &ports) { plugin->vAvailablePortsUpdated(ports); }

    // The user picks `port` (or "Offline") in the port box.
    void choose(const QString &port)
    {
        const int index = portBox()->findText(port);
        QVERIFY2(index >= 0, qPrintable(port));
        portBox()->setCurrentIndex(index);
        inMainLoop([&] { emit portBox()->activated(index); });
    }

    // Runs `action` from the application's main event loop, where the host's user acts. Outside
    // of it (as in a test function), showing the splash-screen-type connection switch dialog
    // processes events before QDialog::exec() has its loop, and a dialog answered there would
    // never return.
    static void inMainLoop(const std::function<void()> &action)
    {
        QTimer::singleShot(0, qApp, [&action] {
            action();
            QCoreApplication::quit();
        });
        QCoreApplication::exec();
    }

    // The connection switch dialog will get a click on `button` ("pcToSensor", "sensorToPc",
    // "cancel").
    static void press(ModalAnswerer &answerer, const QString &button)
    {
        answerer.answerWith([button](QWidget *dialog) {
            if (auto pushButton = dialog->findChild<QPushButton *>(button))
                pushButton->click();
            else if (auto plain = qobject_cast<QDialog *>(dialog))
                plain->reject();
        });
    }

    bool isConnected() const { return tester->session().state().connected; }
    bool statusShown() const { return tester->connector().status()->isConnected(); }
    bool toolbarEnabled() const { return tester->toolbar("sensorOperationsToolbar")->isEnabled(); }
    bool portOpen() const { return window->connection() != nullptr; }
    QString title() const { return window->windowTitle(); }
    // Reading or writing all holds back the tree's and the chart's painting until it ends.
    bool viewsPaint() const
    {
        auto tree = window->findChild<QtTreePropertyBrowser *>();
        auto chart = window->findChild<QWidget *>(QStringLiteral("chartFrame"));
        return tree && chart && tree->updatesEnabled() && chart->updatesEnabled();
    }

    std::unique_ptr<SensorInterface> plugin;
    SensorWindow *window = nullptr;
    std::unique_ptr<WindowProbe> tester;
};

// The connect sequence's messages, as said() gives them.
const QString success = QStringLiteral("I|Sensor connections...|Successfuly connected ...");
const QString noAnswer = QStringLiteral(
    "C|Connecting to sensor...|The sensor did not respond, please make sure it is properly "
    "connected to the selected port and try again");

// What a dialog said, as "<icon>|<title>|<text>" with the icon as one letter (I, W, C, Q, or
// "-" for a dialog that is not a message box).
inline QStringList said(const ModalAnswerer &answerer)
{
    QStringList result;
    for (const ModalAnswerer::Seen &seen : answerer.seen()) {
        if (seen.className != QLatin1String("QMessageBox"))
            continue;
        const char *icon = seen.icon == QMessageBox::Information ? "I"
            : seen.icon == QMessageBox::Warning                  ? "W"
            : seen.icon == QMessageBox::Critical                 ? "C"
            : seen.icon == QMessageBox::Question                 ? "Q"
                                                                 : "-";
        result << QStringLiteral("%1|%2|%3").arg(QLatin1String(icon), seen.title, seen.text);
    }
    return result;
}

} // namespace Core
} // namespace DrumoSensorPlugin
