#pragma once

#include "brokersettings.h"

#include <QMainWindow>
#include <QPointer>
#include <QStringList>

class QAction;
class QActionGroup;
class QDockWidget;
class QLabel;
class QMdiArea;
class QMenu;
class QPushButton;
class QToolBar;
class QTreeView;

namespace Orbexa::Internal {

class LanguageManager;
class LogDock;
class PluginLoader;
class PortWatcher;
class SensorListModel;
class SensorSubWindow;
class SessionManager;

// The host's main window: an MDI area for the sensor windows, the sensor list and the log as
// docks, and the menus through which the user drives the plug-ins.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // Loads the plug-ins of `dir` (empty: the folder next to the program) and lists their
    // sensor types.
    void loadPlugins(const QString &dir = QString());
    // Ports given for this run (command line), offered with the preference ports.
    void setCommandLinePorts(const QStringList &ports);
    // Opens the catalogue type `name`; with a port, asks it to connect there. Problems go to
    // the log only, since nobody may be there to answer a message box.
    SensorSubWindow *openSensorByName(const QString &name, const QString &port = QString());
    // Opens a window for the sensor type a settings file was saved for and loads the file into
    // it; with a port, then connects there. Problems go to the log, as above.
    SensorSubWindow *openSettingsFileInItsWindow(const QString &fileName,
                                                 const QString &port = QString());

    void setLanguage(const QString &code);
    void setPresentationMode(bool on);
    bool isPresentationMode() const;

    // Persistence in the user's configuration (organisation "Halvorn", application "Orbexa").
    void readSettings();
    void writeSettings() const;

    PluginLoader *pluginLoader() const { return m_loader; }
    SensorListModel *sensorModel() const { return m_model; }
    SessionManager *sessions() const { return m_sessions; }
    PortWatcher *portWatcher() const { return m_ports; }
    QMdiArea *mdiArea() const { return m_area; }
    QTreeView *sensorView() const { return m_sensorView; }
    LogDock *logDock() const { return m_logDock; }

public slots:
    void log(const QString &text, bool error = false);
    void openSelectedSensor();
    void openSettingsFile();
    void scanForSensors();
    void showPlugins();
    void showPreferences();
    void showAbout();

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void createActions();
    void createMenus();
    void createDocks();
    void retranslate();
    void updateActions();
    void updateWindowMenu();
    void updatePortStatus();
    void applyPropertyTreeVisibility();
    void applyExtraPorts();
    SensorSubWindow *openEntry(const QModelIndex &index, bool interactive);

    PluginLoader *m_loader;
    SensorListModel *m_model;
    PortWatcher *m_ports;
    LanguageManager *m_language;
    QMdiArea *m_area;
    SessionManager *m_sessions;

    QDockWidget *m_sensorDock = nullptr;
    QTreeView *m_sensorView = nullptr;
    QPushButton *m_openButton = nullptr;
    QPushButton *m_scanButton = nullptr;
    LogDock *m_logDock = nullptr;
    QToolBar *m_toolBar = nullptr;
    QLabel *m_portStatus = nullptr;

    QMenu *m_fileMenu = nullptr;
    QMenu *m_viewMenu = nullptr;
    QMenu *m_toolsMenu = nullptr;
    QMenu *m_languageMenu = nullptr;
    QMenu *m_windowMenu = nullptr;
    QMenu *m_helpMenu = nullptr;

    QAction *m_openSensorAction = nullptr;
    QAction *m_openSettingsAction = nullptr;
    QAction *m_closeWindowAction = nullptr;
    QAction *m_closeAllAction = nullptr;
    QAction *m_exitAction = nullptr;
    QAction *m_hideTreeAction = nullptr;
    QAction *m_presentationAction = nullptr;
    QAction *m_scanAction = nullptr;
    QAction *m_preferencesAction = nullptr;
    QAction *m_tileAction = nullptr;
    QAction *m_cascadeAction = nullptr;
    QAction *m_nextAction = nullptr;
    QAction *m_previousAction = nullptr;
    QAction *m_pluginsAction = nullptr;
    QAction *m_aboutAction = nullptr;
    QActionGroup *m_languageGroup = nullptr;

    QStringList m_preferencePorts;
    QStringList m_networkPorts; // tcp://HOST:PORT from the preferences
    BrokerSettings m_broker; // read by the plug-ins from the settings file
    QStringList m_commandLinePorts;
    QStringList m_lastPorts;
    bool m_presentation = false;
    QString m_lastSettingsDir;
    QString m_chosenLanguage;
    // What presentation mode hid, to be shown again when it ends.
    QList<QPointer<QWidget>> m_hiddenForPresentation;
};

} // namespace Orbexa::Internal
