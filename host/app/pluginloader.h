#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <list>
#include <memory>

class QLibrary;
class QMdiSubWindow;

namespace ExtensionSystem {
class PluginInterface;
class SensorBasic;
class SerialPortInterface;
} // namespace ExtensionSystem

namespace Orbexa::Internal {

// One plug-in library with its eight entry points resolved. The library stays loaded for the
// life of the process: interface objects and sensor records it handed out may outlive any
// point at which unloading would look safe.
class LoadedPlugin
{
public:
    using InitialiseFunction = void (*)();
    using TextFunction = const char *(*)();
    using SensorMapFunction = void (*)(std::list<ExtensionSystem::SensorBasic> &);
    using ScanFunction = ExtensionSystem::SensorBasic *(*)(ExtensionSystem::SerialPortInterface *);
    using InterfaceFunction
        = ExtensionSystem::PluginInterface *(*)(const ExtensionSystem::SensorBasic *,
                                                QMdiSubWindow *);

    ~LoadedPlugin();

    QString fileName() const { return m_fileName; }
    QString name() const { return m_name; }
    QString version() const { return m_version; }
    QString description() const { return m_description; }
    QString communicationType() const { return m_communicationType; }
    bool isSerial() const;

    // Fills the list with the plug-in's sensor types (the plug-in replaces its contents).
    std::list<ExtensionSystem::SensorBasic> sensorMap() const;
    // Probes one port; the caller owns the record. Blocking: call it off the GUI thread.
    std::unique_ptr<ExtensionSystem::SensorBasic>
    scanForSensor(ExtensionSystem::SerialPortInterface *port) const;
    // Creates the interface object for one sensor in `subWindow`; null when the plug-in
    // declines. The caller owns the object.
    ExtensionSystem::PluginInterface *createInterface(const ExtensionSystem::SensorBasic &sensor,
                                                      QMdiSubWindow *subWindow) const;

    // Loads and resolves the library; null with *error set when it is no usable plug-in.
    static std::unique_ptr<LoadedPlugin> load(const QString &fileName, QString *error);

    // The entry points the host resolves, by name, in the order they are checked.
    static const QStringList &entryPointNames();

private:
    LoadedPlugin() = default;

    std::unique_ptr<QLibrary> m_library;
    QString m_fileName;
    QString m_name;
    QString m_version;
    QString m_description;
    QString m_communicationType;
    SensorMapFunction m_sensorMap = nullptr;
    ScanFunction m_scan = nullptr;
    InterfaceFunction m_interface = nullptr;
};

// Loads every plug-in of a folder. Files that are no plug-in are reported, never fatal.
class PluginLoader : public QObject
{
    Q_OBJECT

public:
    struct Message
    {
        bool error = false;
        QString text;
    };

    explicit PluginLoader(QObject *parent = nullptr);
    ~PluginLoader() override;

    // <application dir>/plugins
    static QString defaultPluginDir();

    // Loads the plug-ins found in `dir` (files in name order) in addition to those loaded
    // before. Returns the number of plug-ins loaded by this call.
    int loadFrom(const QString &dir);

    const QList<LoadedPlugin *> &plugins() const { return m_plugins; }
    LoadedPlugin *plugin(const QString &name) const;
    const QList<Message> &messages() const { return m_messages; }

private:
    QList<LoadedPlugin *> m_plugins;
    QList<Message> m_messages;
};

} // namespace Orbexa::Internal
