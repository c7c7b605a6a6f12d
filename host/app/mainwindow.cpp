#include "mainwindow.h"

#include "hostlog.h"
#include "languagemanager.h"
#include "logdock.h"
#include "pluginloader.h"
#include "portwatcher.h"
#include "sensorlistmodel.h"
#include "sensorsubwindow.h"
#include "sessionmanager.h"

#include <globals.h>
#include <networkport.h>

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDockWidget>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMdiArea>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QTreeView>
#include <QVBoxLayout>

namespace Orbexa::Internal {

namespace {
QSettings hostSettings()
{
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Halvorn"),
                     QStringLiteral("Orbexa"));
}
} // namespace

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
    , m_loader(new PluginLoader(this))
    , m_model(new SensorListModel(this))
    , m_ports(new PortWatcher(this))
    , m_language(new LanguageManager(this))
    , m_area(new QMdiArea)
    , m_sessions(new SessionManager(m_area, m_ports, this))
{
    setObjectName(QStringLiteral("OrbexaMainWindow"));
    setWindowIcon(style()->standardIcon(QStyle::SP_ComputerIcon));
    m_area->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_area->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_area->setActivationOrder(QMdiArea::ActivationHistoryOrder);
    setCentralWidget(m_area);

    createActions();
    createDocks();
    createMenus();

    m_portStatus = new QLabel;
    statusBar()->addPermanentWidget(m_portStatus);

    connect(m_area, &QMdiArea::subWindowActivated, this, &MainWindow::updateActions);
    connect(m_sessions, &SessionManager::sensorWindowsChanged, this, &MainWindow::updateActions);
    connect(m_ports, &PortWatcher::portsChanged, this, &MainWindow::updatePortStatus);
    connect(m_sessions, &SessionManager::reconnecting, this,
            [this](SensorSubWindow *window, const QString &port) {
                log(tr("%1 is back: reconnecting %2.").arg(port, window->sensorName()));
            });
    connect(m_language, &LanguageManager::languageChanged, this, [this](const QString &code) {
        for (QAction *action : m_languageGroup->actions())
            action->setChecked(action->data().toString() == code);
    });

    retranslate();
    updateActions();
    resize(1360, 860);
    m_ports->start();
}

MainWindow::~MainWindow()
{
    // The sub-windows go before the managers they report to.
    const QList<QMdiSubWindow *> windows = m_area->subWindowList();
    for (QMdiSubWindow *window : windows)
        delete window;
}

void MainWindow::createActions()
{
    m_openSensorAction
        = new QAction(style()->standardIcon(QStyle::SP_FileDialogDetailedView), QString(), this);
    connect(m_openSensorAction, &QAction::triggered, this, &MainWindow::openSelectedSensor);

    m_openSettingsAction
        = new QAction(style()->standardIcon(QStyle::SP_DialogOpenButton), QString(), this);
    m_openSettingsAction->setShortcut(QKeySequence::Open);
    connect(m_openSettingsAction, &QAction::triggered, this, &MainWindow::openSettingsFile);

    m_closeWindowAction = new QAction(this);
    m_closeWindowAction->setShortcut(QKeySequence::Close);
    connect(m_closeWindowAction, &QAction::triggered, m_area, &QMdiArea::closeActiveSubWindow);

    m_closeAllAction = new QAction(this);
    connect(m_closeAllAction, &QAction::triggered, m_sessions, &SessionManager::closeAll);

    m_exitAction = new QAction(this);
    m_exitAction->setShortcut(QKeySequence::Quit);
    m_exitAction->setMenuRole(QAction::QuitRole);
    connect(m_exitAction, &QAction::triggered, this, &QWidget::close);

    m_hideTreeAction = new QAction(this);
    m_hideTreeAction->setCheckable(true);
    connect(m_hideTreeAction, &QAction::toggled, this, &MainWindow::applyPropertyTreeVisibility);

    m_presentationAction = new QAction(this);
    m_presentationAction->setCheckable(true);
    m_presentationAction->setShortcut(Qt::Key_F11);
    connect(m_presentationAction, &QAction::toggled, this, &MainWindow::setPresentationMode);

    m_scanAction = new QAction(style()->standardIcon(QStyle::SP_BrowserReload), QString(), this);
    connect(m_scanAction, &QAction::triggered, this, &MainWindow::scanForSensors);

    m_preferencesAction = new QAction(this);
    m_preferencesAction->setMenuRole(QAction::PreferencesRole);
    connect(m_preferencesAction, &QAction::triggered, this, &MainWindow::showPreferences);

    m_tileAction = new QAction(this);
    connect(m_tileAction, &QAction::triggered, m_area, &QMdiArea::tileSubWindows);
    m_cascadeAction = new QAction(this);
    connect(m_cascadeAction, &QAction::triggered, m_area, &QMdiArea::cascadeSubWindows);
    m_nextAction = new QAction(this);
    m_nextAction->setShortcut(QKeySequence::NextChild);
    connect(m_nextAction, &QAction::triggered, m_area, &QMdiArea::activateNextSubWindow);
    m_previousAction = new QAction(this);
    m_previousAction->setShortcut(QKeySequence::PreviousChild);
    connect(m_previousAction, &QAction::triggered, m_area, &QMdiArea::activatePreviousSubWindow);

    m_pluginsAction = new QAction(this);
    connect(m_pluginsAction, &QAction::triggered, this, &MainWindow::showPlugins);
    m_aboutAction = new QAction(this);
    m_aboutAction->setMenuRole(QAction::AboutRole);
    connect(m_aboutAction, &QAction::triggered, this, &MainWindow::showAbout);

    m_languageGroup = new QActionGroup(this);
    m_languageGroup->setExclusive(true);
    for (const QString &code : LanguageManager::languages()) {
        auto action = new QAction(LanguageManager::languageName(code), m_languageGroup);
        action->setCheckable(true);
        action->setData(code);
        action->setChecked(code == m_language->language());
        connect(action, &QAction::triggered, this, [this, code] {
            m_chosenLanguage = code;
            setLanguage(code);
        });
    }
}

void MainWindow::createMenus()
{
    m_fileMenu = menuBar()->addMenu(QString());
    m_fileMenu->addAction(m_openSensorAction);
    m_fileMenu->addAction(m_openSettingsAction);
    m_fileMenu->addSeparator();
    m_fileMenu->addAction(m_closeWindowAction);
    m_fileMenu->addAction(m_closeAllAction);
    m_fileMenu->addSeparator();
    m_fileMenu->addAction(m_exitAction);

    m_viewMenu = menuBar()->addMenu(QString());
    m_viewMenu->addAction(m_hideTreeAction);
    m_viewMenu->addAction(m_presentationAction);
    m_viewMenu->addSeparator();
    m_viewMenu->addAction(m_sensorDock->toggleViewAction());
    m_viewMenu->addAction(m_logDock->toggleViewAction());

    m_toolsMenu = menuBar()->addMenu(QString());
    m_toolsMenu->addAction(m_scanAction);
    m_toolsMenu->addSeparator();
    m_toolsMenu->addAction(m_preferencesAction);

    m_languageMenu = menuBar()->addMenu(QString());
    m_languageMenu->addActions(m_languageGroup->actions());

    m_windowMenu = menuBar()->addMenu(QString());
    connect(m_windowMenu, &QMenu::aboutToShow, this, &MainWindow::updateWindowMenu);
    updateWindowMenu();

    m_helpMenu = menuBar()->addMenu(QString());
    m_helpMenu->addAction(m_pluginsAction);
    m_helpMenu->addAction(m_aboutAction);

    m_toolBar = addToolBar(QString());
    m_toolBar->setObjectName(QStringLiteral("MainToolBar"));
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_toolBar->addAction(m_openSensorAction);
    m_toolBar->addAction(m_scanAction);
    m_toolBar->addAction(m_openSettingsAction);
}

void MainWindow::createDocks()
{
    m_sensorView = new QTreeView;
    m_sensorView->setModel(m_model);
    m_sensorView->setUniformRowHeights(true);
    m_sensorView->setAlternatingRowColors(true);
    m_sensorView->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_sensorView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_sensorView->header()->setStretchLastSection(true);
    for (int column :
         { SensorListModel::NameColumn, SensorListModel::GroupColumn, SensorListModel::TypeColumn })
        m_sensorView->header()->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    connect(m_sensorView, &QTreeView::activated, this, [this](const QModelIndex &index) {
        if (m_model->entry(index))
            openEntry(index, true);
    });
    connect(m_sensorView->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &MainWindow::updateActions);

    m_openButton = new QPushButton;
    connect(m_openButton, &QPushButton::clicked, this, &MainWindow::openSelectedSensor);
    m_scanButton = new QPushButton;
    connect(m_scanButton, &QPushButton::clicked, this, &MainWindow::scanForSensors);

    auto buttons = new QHBoxLayout;
    buttons->addWidget(m_openButton);
    buttons->addWidget(m_scanButton);
    buttons->addStretch();

    auto panel = new QWidget;
    auto layout = new QVBoxLayout(panel);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(m_sensorView);
    layout->addLayout(buttons);

    m_sensorDock = new QDockWidget;
    m_sensorDock->setObjectName(QStringLiteral("SensorDock"));
    m_sensorDock->setWidget(panel);
    addDockWidget(Qt::LeftDockWidgetArea, m_sensorDock);

    m_logDock = new LogDock;
    m_logDock->captureMessages();
    addDockWidget(Qt::BottomDockWidgetArea, m_logDock);
    resizeDocks({ m_sensorDock }, { 320 }, Qt::Horizontal);
    resizeDocks({ m_logDock }, { 140 }, Qt::Vertical);
}

void MainWindow::retranslate()
{
    setWindowTitle(tr("Orbexa Sensor Configuration"));
    m_openSensorAction->setText(tr("&Open Sensor"));
    m_openSensorAction->setToolTip(tr("Opens the sensor selected in the sensor list"));
    m_openSettingsAction->setText(tr("Open &Settings..."));
    m_openSettingsAction->setToolTip(tr("Loads a sensor settings file (*.ovs) into the active "
                                        "sensor window"));
    m_closeWindowAction->setText(tr("&Close Window"));
    m_closeAllAction->setText(tr("Close &All Windows"));
    m_exitAction->setText(tr("E&xit"));
    m_hideTreeAction->setText(tr("&Hide Property Tree"));
    m_presentationAction->setText(tr("&Presentation Mode"));
    m_scanAction->setText(tr("&Scan for Sensors..."));
    m_scanAction->setToolTip(tr("Probes serial ports for connected sensors"));
    m_preferencesAction->setText(tr("&Preferences..."));
    m_tileAction->setText(tr("&Tile"));
    m_cascadeAction->setText(tr("&Cascade"));
    m_nextAction->setText(tr("Ne&xt Window"));
    m_previousAction->setText(tr("Pre&vious Window"));
    m_pluginsAction->setText(tr("&Plug-ins..."));
    m_aboutAction->setText(tr("&About Orbexa"));

    m_fileMenu->setTitle(tr("&File"));
    m_viewMenu->setTitle(tr("&View"));
    m_toolsMenu->setTitle(tr("&Tools"));
    m_languageMenu->setTitle(tr("&Language"));
    m_windowMenu->setTitle(tr("&Window"));
    m_helpMenu->setTitle(tr("&Help"));
    m_toolBar->setWindowTitle(tr("Main Toolbar"));

    m_sensorDock->setWindowTitle(tr("Sensors"));
    m_openButton->setText(tr("Open"));
    m_scanButton->setText(tr("Scan..."));
    m_model->retranslate();
    updatePortStatus();
}

void MainWindow::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QMainWindow::changeEvent(event);
}

void MainWindow::updateActions()
{
    const bool hasActive = m_sessions->activeSensorWindow() != nullptr;
    const bool hasWindows = !m_area->subWindowList().isEmpty();
    m_openSettingsAction->setEnabled(hasActive);
    m_closeWindowAction->setEnabled(hasActive);
    m_closeAllAction->setEnabled(hasWindows);
    m_tileAction->setEnabled(hasWindows);
    m_cascadeAction->setEnabled(hasWindows);
    m_nextAction->setEnabled(hasWindows);
    m_previousAction->setEnabled(hasWindows);
    const SensorEntry *entry = m_model->entry(m_sensorView->currentIndex());
    const bool canOpen = entry && entry->canOpen();
    m_openSensorAction->setEnabled(canOpen);
    m_openButton->setEnabled(canOpen);
    bool serial = false;
    for (const LoadedPlugin *plugin : m_loader->plugins())
        serial = serial || plugin->isSerial();
    m_scanAction->setEnabled(serial);
    m_scanButton->setEnabled(serial);
}

void MainWindow::updateWindowMenu()
{
    m_windowMenu->clear();
    m_windowMenu->addAction(m_tileAction);
    m_windowMenu->addAction(m_cascadeAction);
    m_windowMenu->addSeparator();
    m_windowMenu->addAction(m_nextAction);
    m_windowMenu->addAction(m_previousAction);
    const QList<QMdiSubWindow *> windows = m_area->subWindowList();
    if (!windows.isEmpty())
        m_windowMenu->addSeparator();
    for (int i = 0; i < windows.size(); ++i) {
        QMdiSubWindow *window = windows.at(i);
        const QString text = i < 9 ? QStringLiteral("&%1 %2").arg(i + 1).arg(window->windowTitle())
                                   : QStringLiteral("%1 %2").arg(i + 1).arg(window->windowTitle());
        QAction *action = m_windowMenu->addAction(text);
        action->setCheckable(true);
        action->setChecked(window == m_area->activeSubWindow());
        connect(action, &QAction::triggered, m_area,
                [this, window] { m_area->setActiveSubWindow(window); });
    }
}

void MainWindow::updatePortStatus()
{
    const QStringList ports = m_ports->ports();
    m_portStatus->setText(ports.isEmpty() ? tr("No serial port")
                                          : tr("%n serial port(s)", nullptr, ports.size()));
    m_portStatus->setToolTip(ports.join(QLatin1Char('\n')));
}

void MainWindow::log(const QString &text, bool error)
{
    m_logDock->append(text, error);
    if (error)
        statusBar()->showMessage(text, 8000);
}

void MainWindow::loadPlugins(const QString &dir)
{
    const QString pluginDir = dir.isEmpty() ? PluginLoader::defaultPluginDir() : dir;
    const int before = m_loader->messages().size();
    m_loader->loadFrom(pluginDir);
    const QList<PluginLoader::Message> &messages = m_loader->messages();
    for (int i = before; i < messages.size(); ++i)
        log(messages.at(i).text, messages.at(i).error);

    for (LoadedPlugin *plugin : m_loader->plugins()) {
        const std::list<ExtensionSystem::SensorBasic> sensors = plugin->sensorMap();
        m_model->setCatalogue(plugin, sensors);
        log(tr("%1 lists %n sensor type(s).", nullptr, int(sensors.size())).arg(plugin->name()));
    }
    if (m_loader->plugins().isEmpty())
        log(tr("No plug-in was loaded from %1.").arg(pluginDir), true);
    m_sensorView->expandAll();
    const QModelIndex first = m_model->index(0, 0);
    if (first.isValid() && m_model->rowCount(first) > 0)
        m_sensorView->setCurrentIndex(m_model->index(0, 0, first));
    updateActions();
}

void MainWindow::setCommandLinePorts(const QStringList &ports)
{
    m_commandLinePorts = ports;
    applyExtraPorts();
}

// Network ports go to the box's list directly: the port watcher lists devices that exist.
void MainWindow::applyExtraPorts()
{
    QStringList serial;
    QStringList network = m_networkPorts;
    for (const QString &port : m_commandLinePorts + m_preferencePorts + m_lastPorts) {
        QStringList &list
            = ExtensionSystem::NetworkPort::isNetworkPortName(port) ? network : serial;
        if (!list.contains(port))
            list << port;
    }
    m_ports->setExtraPorts(serial);
    m_sessions->setNetworkPorts(network);
}

void MainWindow::openSelectedSensor()
{
    openEntry(m_sensorView->currentIndex(), true);
}

SensorSubWindow *MainWindow::openSensorByName(const QString &name, const QString &port)
{
    const QModelIndex index = m_model->findCatalogueSensor(name);
    if (!index.isValid()) {
        log(tr("No plug-in offers a sensor named \"%1\".").arg(name), true);
        return nullptr;
    }
    // Ports are looked up on a thread of their own. A window offered a list without the port it
    // is to connect to would not connect (its box does not hold the port), so a look still on
    // its way is waited for.
    if (!port.isEmpty() && !m_ports->ports().contains(port))
        m_ports->waitForLook(2000);
    m_sensorView->setCurrentIndex(index);
    SensorSubWindow *window = openEntry(index, false);
    if (window && !port.isEmpty()) {
        log(tr("Connecting %1 to %2.").arg(window->sensorName(), port));
        window->autoConnect(port);
    }
    return window;
}

SensorSubWindow *MainWindow::openEntry(const QModelIndex &index, bool interactive)
{
    const SensorEntry *entry = m_model->entry(index);
    if (!entry)
        return nullptr;
    if (!entry->canOpen()) {
        const QString text = tr("No sensor type of the catalogue has group %1 and type %2, so "
                                "the sensor found on %3 cannot be opened.")
                                 .arg(entry->foundGroup)
                                 .arg(entry->foundType)
                                 .arg(entry->port);
        log(text, true);
        if (interactive)
            QMessageBox::information(this, tr("Open Sensor"), text);
        return nullptr;
    }
    // Copies: the entry may go when the list changes while the plug-in works.
    const ExtensionSystem::SensorBasic sensor = entry->sensor;
    const QString port = entry->found ? entry->port : QString();
    QString error;
    SensorSubWindow *window = m_sessions->openSensor(entry->plugin, sensor, &error);
    if (!window) {
        log(error, true);
        if (interactive)
            QMessageBox::warning(this, tr("Open Sensor"), error);
        return nullptr;
    }
    if (m_presentationAction->isChecked() || m_hideTreeAction->isChecked())
        window->sendUpdate(true);
    log(tr("Opened %1.").arg(window->sensorName()));
    if (!port.isEmpty())
        window->autoConnect(port);
    return window;
}

void MainWindow::applyPropertyTreeVisibility()
{
    m_sessions->broadcastUpdate(m_hideTreeAction->isChecked() || m_presentationAction->isChecked());
}

bool MainWindow::isPresentationMode() const
{
    return m_presentation;
}

void MainWindow::setPresentationMode(bool on)
{
    if (m_presentationAction->isChecked() != on) {
        m_presentationAction->setChecked(on); // comes back here through toggled
        return;
    }
    if (m_presentation == on)
        return;
    m_presentation = on;
    ExtensionSystem::Globals::setPresentationMode(on);
    if (on) {
        for (QWidget *widget :
             { static_cast<QWidget *>(m_sensorDock), static_cast<QWidget *>(m_logDock),
               static_cast<QWidget *>(m_toolBar) }) {
            if (widget->isVisibleTo(this)) {
                m_hiddenForPresentation << widget;
                widget->hide();
            }
        }
    } else {
        for (const QPointer<QWidget> &widget : qAsConst(m_hiddenForPresentation)) {
            if (widget)
                widget->show();
        }
        m_hiddenForPresentation.clear();
    }
    applyPropertyTreeVisibility();
    log(on ? tr("Presentation mode on.") : tr("Presentation mode off."));
}

void MainWindow::setLanguage(const QString &code)
{
    const QStringList files = m_language->setLanguage(code);
    if (code != QLatin1String("en") && files.isEmpty())
        log(tr("No translation for \"%1\" was found in %2.")
                .arg(code, LanguageManager::translationDir()),
            true);
}

void MainWindow::readSettings()
{
    QSettings settings = hostSettings();
    settings.beginGroup(QStringLiteral("MainWindow"));
    restoreGeometry(settings.value(QStringLiteral("geometry")).toByteArray());
    restoreState(settings.value(QStringLiteral("state")).toByteArray());
    m_hideTreeAction->setChecked(
        settings.value(QStringLiteral("hidePropertyTree"), false).toBool());
    settings.endGroup();
    m_lastSettingsDir = settings.value(QStringLiteral("Files/lastSettingsDir")).toString();
    m_preferencePorts = settings.value(QStringLiteral("Ports/extra")).toStringList();
    m_networkPorts = settings.value(QStringLiteral("Ports/network")).toStringList();
    // Ports given on the last command line are offered again (while they exist), so that a
    // simulator restarted on the same link is found without repeating --port.
    m_lastPorts = settings.value(QStringLiteral("Ports/last")).toStringList();
    applyExtraPorts();
    m_sessions->setReconnectWhenPortReturns(
        settings.value(QStringLiteral("Ports/reconnect"), false).toBool());
    m_broker = BrokerSettings::read(settings);
    m_chosenLanguage = settings.value(QStringLiteral("language")).toString();
    if (!m_chosenLanguage.isEmpty() && m_chosenLanguage != m_language->language())
        setLanguage(m_chosenLanguage);
}

void MainWindow::writeSettings() const
{
    QSettings settings = hostSettings();
    settings.beginGroup(QStringLiteral("MainWindow"));
    settings.setValue(QStringLiteral("geometry"), saveGeometry());
    // Presentation mode hides the docks only for now; the saved layout is the normal one.
    if (!m_presentation)
        settings.setValue(QStringLiteral("state"), saveState());
    settings.setValue(QStringLiteral("hidePropertyTree"), m_hideTreeAction->isChecked());
    settings.endGroup();
    settings.setValue(QStringLiteral("Files/lastSettingsDir"), m_lastSettingsDir);
    settings.setValue(QStringLiteral("Ports/extra"), m_preferencePorts);
    settings.setValue(QStringLiteral("Ports/reconnect"), m_sessions->reconnectWhenPortReturns());
    settings.setValue(QStringLiteral("Ports/network"), m_networkPorts);
    m_broker.write(settings);
    if (!m_commandLinePorts.isEmpty())
        settings.setValue(QStringLiteral("Ports/last"), m_commandLinePorts);
    // Only the menu's choice is kept; --language applies to one run.
    if (!m_chosenLanguage.isEmpty())
        settings.setValue(QStringLiteral("language"), m_chosenLanguage);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (!m_sessions->closeAll()) {
        event->ignore();
        return;
    }
    writeSettings();
    event->accept();
}

} // namespace Orbexa::Internal
