#include "pluginloader.h"

#include "hostlog.h"

#include <plugininterface.h>
#include <sensorbasic.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>

namespace Orbexa::Internal {

namespace {
QString textOf(LoadedPlugin::TextFunction function)
{
    const char *text = function ? function() : nullptr;
    return text ? QString::fromUtf8(text) : QString();
}
} // namespace

LoadedPlugin::~LoadedPlugin() = default;

bool LoadedPlugin::isSerial() const
{
    return m_communicationType.compare(QLatin1String("SERIAL"), Qt::CaseInsensitive) == 0;
}

std::list<ExtensionSystem::SensorBasic> LoadedPlugin::sensorMap() const
{
    std::list<ExtensionSystem::SensorBasic> sensors;
    m_sensorMap(sensors);
    return sensors;
}

std::unique_ptr<ExtensionSystem::SensorBasic>
LoadedPlugin::scanForSensor(ExtensionSystem::SerialPortInterface *port) const
{
    return std::unique_ptr<ExtensionSystem::SensorBasic>(m_scan(port));
}

ExtensionSystem::PluginInterface *
LoadedPlugin::createInterface(const ExtensionSystem::SensorBasic &sensor,
                              QMdiSubWindow *subWindow) const
{
    return m_interface(&sensor, subWindow);
}

const QStringList &LoadedPlugin::entryPointNames()
{
    static const QStringList names = {
        QStringLiteral("vInitialisePlugin"),   QStringLiteral("pcHalvornOrbexaPluginName"),
        QStringLiteral("pcPluginVersion"),     QStringLiteral("pcDescription"),
        QStringLiteral("pcCommunicationType"), QStringLiteral("vSensorMap"),
        QStringLiteral("scanForSensor"),       QStringLiteral("poGetInterfaceInstance"),
    };
    return names;
}

std::unique_ptr<LoadedPlugin> LoadedPlugin::load(const QString &fileName, QString *error)
{
    const QString shownName = QFileInfo(fileName).fileName();
    if (!QLibrary::isLibrary(fileName)) {
        *error = PluginLoader::tr("%1 is not a shared library; skipped.").arg(shownName);
        return {};
    }
    auto library = std::make_unique<QLibrary>(fileName);
    if (!library->load()) {
        *error
            = PluginLoader::tr("%1 could not be loaded: %2").arg(shownName, library->errorString());
        return {};
    }

    QList<QFunctionPointer> functions;
    QStringList missing;
    for (const QString &entry : entryPointNames()) {
        const QFunctionPointer function = library->resolve(entry.toLatin1().constData());
        if (!function)
            missing << entry;
        functions << function;
    }
    if (!missing.isEmpty()) {
        *error = PluginLoader::tr("%1 is not an Orbexa plug-in, it lacks %2; skipped.")
                     .arg(shownName, missing.join(QLatin1String(", ")));
        library->unload();
        return {};
    }

    std::unique_ptr<LoadedPlugin> plugin(new LoadedPlugin);
    plugin->m_fileName = fileName;
    reinterpret_cast<InitialiseFunction>(functions.at(0))();
    plugin->m_name = textOf(reinterpret_cast<TextFunction>(functions.at(1)));
    plugin->m_version = textOf(reinterpret_cast<TextFunction>(functions.at(2)));
    plugin->m_description = textOf(reinterpret_cast<TextFunction>(functions.at(3)));
    plugin->m_communicationType = textOf(reinterpret_cast<TextFunction>(functions.at(4)));
    plugin->m_sensorMap = reinterpret_cast<SensorMapFunction>(functions.at(5));
    plugin->m_scan = reinterpret_cast<ScanFunction>(functions.at(6));
    plugin->m_interface = reinterpret_cast<InterfaceFunction>(functions.at(7));
    if (plugin->m_name.isEmpty()) {
        *error = PluginLoader::tr("%1 gives no plug-in name; skipped.").arg(shownName);
        return {};
    }
    plugin->m_library = std::move(library);
    return plugin;
}

PluginLoader::PluginLoader(QObject *parent)
    : QObject(parent)
{
}

PluginLoader::~PluginLoader()
{
    qDeleteAll(m_plugins);
}

QString PluginLoader::defaultPluginDir()
{
    return QCoreApplication::applicationDirPath() + QLatin1String("/plugins");
}

int PluginLoader::loadFrom(const QString &dir)
{
    const QDir pluginDir(dir);
    if (!pluginDir.exists()) {
        m_messages.append({ true,
                            PluginLoader::tr("The plug-in folder %1 does not exist.")
                                .arg(QDir::toNativeSeparators(dir)) });
        qCWarning(hostLog).noquote() << m_messages.constLast().text;
        return 0;
    }

    int loaded = 0;
    const QFileInfoList files = pluginDir.entryInfoList(QDir::Files | QDir::Readable, QDir::Name);
    for (const QFileInfo &file : files) {
        QString error;
        std::unique_ptr<LoadedPlugin> plugin = LoadedPlugin::load(file.absoluteFilePath(), &error);
        if (!plugin) {
            m_messages.append({ true, error });
            qCWarning(hostLog).noquote() << error;
            continue;
        }
        if (LoadedPlugin *other = this->plugin(plugin->name())) {
            m_messages.append(
                { true,
                  PluginLoader::tr("%1: a plug-in named %2 is already loaded from %3; "
                                   "skipped.")
                      .arg(file.fileName(), plugin->name(),
                           QFileInfo(other->fileName()).fileName()) });
            qCWarning(hostLog).noquote() << m_messages.constLast().text;
            continue;
        }
        m_messages.append({ false,
                            PluginLoader::tr("Loaded plug-in %1 %2 (%3) from %4.")
                                .arg(plugin->name(), plugin->version(), plugin->communicationType(),
                                     file.fileName()) });
        qCInfo(hostLog).noquote() << m_messages.constLast().text;
        m_plugins.append(plugin.release());
        ++loaded;
    }
    return loaded;
}

LoadedPlugin *PluginLoader::plugin(const QString &name) const
{
    for (LoadedPlugin *plugin : m_plugins) {
        if (plugin->name() == name)
            return plugin;
    }
    return nullptr;
}

} // namespace Orbexa::Internal
