#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class QAction;
class QComboBox;
class QToolBar;
class QWidget;

namespace Utils {
class ConnectionStatus;
}

namespace DrumoSensorPlugin {
namespace Core {

class ChartPresenter;
class SensorSession;
class TreeHandling;
struct WindowWaits;

// What the connect sequence asks of its window: the questions to the user, and the window's
// own settings around a connection.
class ConnectView
{
public:
    virtual ~ConnectView() = default;
    // A message box (QMessageBox icon and standard buttons); returns the button. A window that
    // was let go of shows nothing and answers what changes nothing.
    virtual int showMessage(int icon, const QString &title, const QString &text, int buttons) = 0;
    // Whose settings win: a ConnectionSwitchDialog::Choice.
    virtual int askConnectDirection() = 0;
    virtual void loadExpertMenuSetting() = 0;
    virtual void loadMeasuredTempSetting() = 0;
    virtual void saveWindowState() = 0;
    // The user's edits reach the sensor exactly while a sensor is connected.
    virtual void setEditsReachSensor(bool on) = 0;
};

// Connecting a window to its sensor: the port box, the connection switch dialog, the
// identification, going offline and the baud-rate change.
//
// A port chosen in the port box asks whose settings win, opens the port through the interface
// object (portSelected), identifies the sensor (up to two calls of identify(), each up to
// twelve requests while the host steps through the baud rates), then either writes the rows to
// the sensor and reads them back (PC -> Sensor) or reads the sensor into the rows (Sensor ->
// PC), and starts the live data. Every way ends in a clear state: connected, or "Offline" with
// the port closed.
//
// A port that cannot be opened at all (held by another program, or gone) leaves the window
// without a connection: the identification finds nothing there and the sequence fails as for a
// silent sensor.
//
// The sequences spin nested event loops (transactions, message boxes, the dialog); the
// controller checks after each that it still exists, since the host may destroy the window
// meanwhile.
class ConnectController : public QObject
{
    Q_OBJECT

public:
    struct Widgets
    {
        QWidget *window = nullptr;
        QToolBar *connectionToolbar = nullptr;
        QToolBar *sensorOperations = nullptr;
        QAction *liveData = nullptr;
        // The window's waits and the views whose painting reading or writing all holds back.
        WindowWaits *waits = nullptr;
        QWidget *tree = nullptr;
        QWidget *chart = nullptr;
    };

    ConnectController(SensorSession &session, TreeHandling &treeHandling, ChartPresenter &chart,
                      ConnectView &view, const Widgets &widgets, QObject *parent = nullptr);

    QComboBox *portBox() const { return m_portBox; }
    Utils::ConnectionStatus *status() const { return m_status; }
    // One character from the identification answer; empty while no sensor is connected.
    const QString &firmware() const { return m_firmware; }
    int lastPortIndex() const { return m_lastPortIndex; }

    // The host's list of ports; the port chosen stays selected when it is still there.
    void setPorts(const QStringList &ports);
    void retranslate();

    // Every row from the sensor, or to it, as one operation: no row's change is an edit.
    void readAll();
    void writeAll();

    bool identify();
    // The user chose entry `index` of the port box (0 "Offline").
    void choosePort(int index);
    // The host asks to connect to `port` without questions: the sensor's settings are read,
    // nothing is written.
    void autoConnect(const QString &port);
    void disconnectSensor();
    // Either the sensor is found again, or the window goes "Offline" (without a message).
    bool checkConnection();
    // More than 60 polls went unanswered: reconnect, or go offline with a message.
    void checkSilentSensor();

    bool confirmBaudRateChange();
    void refuseBaudRateChange();
    void baudRateWritten();

signals:
    // The port to open ("" closes it); the window passes it on to the interface object.
    void portSelected(const QString &port);
    // The window title, with firmware and rate or without.
    void titleChanged(bool showBaud);

private:
    int askDirection();
    void connectPcToSensor();
    void connectSensorToPc();
    bool identifyOpenedPort();
    bool enterConnected();
    bool identifyWithRetry();
    void connectSucceeded(bool pcToSensor);
    void connectFailed();
    void finishPortChoice();
    void startLiveData();
    bool isConnected() const;

    SensorSession &m_session;
    TreeHandling &m_treeHandling;
    ChartPresenter &m_chart;
    ConnectView &m_view;
    Widgets m_widgets;
    QComboBox *m_portBox = nullptr;
    Utils::ConnectionStatus *m_status = nullptr;
    QString m_firmware;
    // The port box's index after the last completed choice; Cancel goes back to it.
    int m_lastPortIndex = 0;
};

} // namespace Core
} // namespace DrumoSensorPlugin
